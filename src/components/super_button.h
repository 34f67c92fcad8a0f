#pragma once
// The picture button of the windows: a caption, an icon, and a click that
// carries the button's index in its array.
#include <QIcon>
#include <QPushButton>

namespace zorvika {

class SuperButton : public QPushButton {
    Q_OBJECT
public:
    SuperButton(int index, QWidget* parent);
    int index() const { return index_; }
    // An icon of the desktop's theme, or Qt's standard icon when the theme has none.
    void setThemeIcon(const char* themeName, int standardPixmap);

signals:
    void clickedIndex(int index);

private:
    int index_;
};

} // namespace zorvika
