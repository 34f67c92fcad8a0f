#include "widgets/fitted_label.h"

#include "widgets/gui_font.h"

#include <QPainter>

namespace zorvika {

FittedLabel::FittedLabel(QWidget* parent, bool bold) : QLabel(parent)
{
    setFont(windowFont(bold));
    setTextFormat(Qt::PlainText);
}

void FittedLabel::setFittedText(const QString& text)
{
    setText(text);
    const QSize hint = sizeHint();
    int width = hint.width();
    if (parentWidget()) {
        const int room = parentWidget()->width() - x() - px(90);
        width = std::max(0, std::min(width, room));
    }
    cut_ = width < hint.width();
    setToolTip(cut_ ? text : QString());
    resize(width, std::max(px(195), hint.height()));
}

void FittedLabel::keepBefore(const QWidget* next, int leftmost)
{
    const int end = next->x() - 4;
    const int needed = sizeHint().width();
    if (x() + needed <= end)
        return;
    const int left = std::max(leftmost, end - needed);
    move(left, y());
    const int width = std::max(0, std::min(needed, end - left));
    cut_ = width < needed;
    setToolTip(cut_ ? text() : QString());
    resize(width, height());
}

void FittedLabel::paintEvent(QPaintEvent* event)
{
    if (!cut_) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter p(this);
    p.setPen(palette().color(foregroundRole()));
    p.setFont(font());
    const QString shown = fontMetrics().elidedText(text(), Qt::ElideRight, width());
    p.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter, shown);
}

} // namespace zorvika
