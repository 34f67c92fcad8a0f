#include "widgets/icon_button.h"

#include "widgets/icons.h"

#include <QKeyEvent>

namespace zorvika {

IconButton::IconButton(const char* icon, QWidget* parent) : QPushButton(parent)
{
    setAutoDefault(false);
    setIconSize(QSize(16, 16));
    if (icon)
        setIcon(programIcon(QString::fromLatin1(icon)));
}

void IconButton::setIconOnlyText(const QString& text)
{
    setToolTip(text);
    setAccessibleName(text);
}

void IconButton::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier && isEnabled()) {
        event->accept();
        click();
        return;
    }
    QPushButton::keyPressEvent(event);
}

} // namespace zorvika
