#include "widgets/clickable_picture.h"

#include <QMouseEvent>

namespace zorvika {

ClickablePicture::ClickablePicture(QWidget* parent) : QLabel(parent) { setCursor(Qt::PointingHandCursor); }

void ClickablePicture::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

} // namespace zorvika
