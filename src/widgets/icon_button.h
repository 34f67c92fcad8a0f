#pragma once
// The buttons of the windows: a caption and one of the program's own icons
// (widgets/icons.h), or the icon alone with its command as the tooltip and
// accessible name. Enter presses a focused button, as the space bar does.
#include <QPushButton>

namespace zorvika {

class IconButton : public QPushButton {
    Q_OBJECT
public:
    IconButton(const char* icon, QWidget* parent);
    // A button that shows only its icon: `text` is its tooltip and accessible name.
    void setIconOnlyText(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace zorvika
