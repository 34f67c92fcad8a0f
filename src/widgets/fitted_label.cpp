#include "widgets/fitted_label.h"

#include "widgets/design_layout.h"
#include "widgets/gui_font.h"

#include <QEvent>
#include <QPainter>

namespace zorvika {

FittedLabel::FittedLabel(QWidget* parent, bool bold) : QLabel(parent)
{
    setFont(windowFont(bold));
    setTextFormat(Qt::PlainText);
    if (parent)
        parent->installEventFilter(this);
}

void FittedLabel::setFittedText(const QString& text)
{
    setText(text);
    fit();
}

void FittedLabel::fit()
{
    const QSize hint = sizeHint();
    int width = hint.width();
    if (parentWidget()) {
        const int room = parentWidget()->width() - x() - px(90);
        width = std::max(0, std::min(width, room));
    }
    cut_ = width < hint.width();
    setToolTip(cut_ ? text() : QString());
    resize(width, std::max(px(195), hint.height()));
}

void FittedLabel::placeBefore(DesignLayout& layout, int nextLeft, int leftmost)
{
    const int end = nextLeft - 4;
    if (x() + neededWidth() > end)
        move(std::min(x(), std::max(leftmost, end - neededWidth())), y());
    // The room before the control; the layout widens it by what the text lacks.
    layout.addWidget(this, QRect(x(), y(), std::max(0, end - x()), height()), Follow::OwnSize,
                     [this] { return neededWidth(); });
}

bool FittedLabel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        fit();
    return QLabel::eventFilter(watched, event);
}

void FittedLabel::moveEvent(QMoveEvent* event)
{
    QLabel::moveEvent(event);
    fit();
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
