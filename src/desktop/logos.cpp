#include "desktop/logos.h"

#include <QFont>
#include <QIcon>
#include <QPainter>

// The application icon's sizes, rendered from resources/icons/zorvika.svg,
// live in their own resource file; a static library needs it named once.
static void initIconResource()
{
    static bool done = false;
    if (!done) {
        Q_INIT_RESOURCE(zorvika_icon);
        done = true;
    }
}

namespace zorvika {

namespace {

const QColor kInk(0x1f, 0x3a, 0x5f);
const QColor kAccent(0xf2, 0x8c, 0x28);
const QColor kPaper(0xf7, 0xf9, 0xfc);

} // namespace

QPixmap productLogo(int size)
{
    return productIcon().pixmap(size, size);
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
    initIconResource();
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/zorvika/icon/%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace zorvika
