#include "widgets/super_button.h"

#include "widgets/icons.h"

#include <QKeyEvent>

namespace zorvika {

SuperButton::SuperButton(int index, QWidget* parent) : QPushButton(parent), index_(index)
{
    setAutoDefault(false);
    setIconSize(QSize(16, 16));
    connect(this, &QPushButton::clicked, this, [this] { emit clickedIndex(index_); });
}

void SuperButton::setProgramIcon(const char* name) { setIcon(programIcon(QString::fromLatin1(name))); }

void SuperButton::setIconOnlyText(const QString& text)
{
    setToolTip(text);
    setAccessibleName(text);
}

void SuperButton::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier && isEnabled()) {
        event->accept();
        click();
        return;
    }
    QPushButton::keyPressEvent(event);
}

} // namespace zorvika
