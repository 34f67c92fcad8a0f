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
    // One of the program's own icons (components/icons.h).
    void setProgramIcon(const char* name);
    // A button that shows only its icon: the text of a message key as its
    // tooltip and accessible name.
    void setIconOnlyText(const QString& text);

protected:
    // Enter and Return press a focused button, as the space bar does.
    void keyPressEvent(QKeyEvent* event) override;

signals:
    void clickedIndex(int index);

private:
    int index_;
};

} // namespace zorvika
