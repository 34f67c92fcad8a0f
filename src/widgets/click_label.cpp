#include "widgets/click_label.h"

#include <QMouseEvent>

namespace zorvika {

ClickLabel::ClickLabel(int index, QWidget* parent) : QLabel(parent), index_(index)
{
    setCursor(Qt::PointingHandCursor);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clickedIndex(index_);
    QLabel::mouseReleaseEvent(event);
}

} // namespace zorvika
