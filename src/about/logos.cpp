#include "about/logos.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace zorvika {

namespace {

const QColor kInk(0x1f, 0x3a, 0x5f);
const QColor kAccent(0xf2, 0x8c, 0x28);
const QColor kPaper(0xf7, 0xf9, 0xfc);

// Lines of code of falling length, read as a bar chart: what the program counts.
void drawBars(QPainter& p, const QRectF& area, const QColor& colour)
{
    const qreal lengths[] = {0.95, 0.7, 0.85, 0.45, 0.6};
    const qreal step = area.height() / 5.0;
    for (int i = 0; i < 5; ++i) {
        QRectF bar(area.left(), area.top() + i * step + step * 0.18, area.width() * lengths[i], step * 0.64);
        p.fillRect(bar, colour);
    }
}

} // namespace

QPixmap productLogo(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    QLinearGradient back(0, 0, 0, s);
    back.setColorAt(0, kInk.lighter(135));
    back.setColorAt(1, kInk);
    p.setPen(Qt::NoPen);
    p.setBrush(back);
    p.drawRoundedRect(QRectF(1, 1, s - 2, s - 2), s * 0.18, s * 0.18);

    QColor faint = kPaper;
    faint.setAlpha(70);
    drawBars(p, QRectF(s * 0.16, s * 0.16, s * 0.68, s * 0.68), faint);

    // The "Z": two strokes joined by the diagonal.
    QPainterPath z;
    z.moveTo(s * 0.22, s * 0.24);
    z.lineTo(s * 0.78, s * 0.24);
    z.lineTo(s * 0.30, s * 0.76);
    z.lineTo(s * 0.80, s * 0.76);
    QPen pen(kAccent, s * 0.11, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawPath(z);
    return pixmap;
}

QPixmap companyLogo()
{
    const int w = 141;
    const int h = 56;
    QPixmap pixmap(w, h);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(kPaper);
    p.drawRoundedRect(QRectF(0.75, 0.75, w - 1.5, h - 1.5), 6, 6);

    p.drawPixmap(6, 8, productLogo(40));

    QFont title(QStringLiteral("Sans Serif"));
    title.setStyleHint(QFont::SansSerif);
    title.setPixelSize(17);
    title.setBold(true);
    title.setLetterSpacing(QFont::AbsoluteSpacing, 0.5);
    p.setFont(title);
    p.setPen(kInk);
    p.drawText(QRectF(50, 8, w - 54, 22), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("ZORVIKA"));

    p.fillRect(QRectF(51, 31, w - 60, 2), kAccent);

    QFont sub(title);
    sub.setPixelSize(9);
    sub.setBold(false);
    sub.setLetterSpacing(QFont::AbsoluteSpacing, 0.2);
    p.setFont(sub);
    p.drawText(QRectF(51, 35, w - 56, 14), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("VB6 code metrics"));
    return pixmap;
}

QIcon productIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64})
        icon.addPixmap(productLogo(size));
    return icon;
}

} // namespace zorvika
