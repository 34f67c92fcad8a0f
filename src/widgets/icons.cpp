#include "widgets/icons.h"

#include <QFile>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

// The resources live in a static library: they are registered before the first use.
static void registerIcons() { Q_INIT_RESOURCE(icons); }

namespace zorvika {

QIcon programIcon(const QString& name)
{
    static const bool registered = [] {
        registerIcons();
        return true;
    }();
    (void)registered;
    QSvgRenderer renderer(QStringLiteral(":/icons/%1.svg").arg(name));
    if (!renderer.isValid())
        return {};
    QIcon icon;
    for (int size : {16, 32}) {
        QPixmap picture(size, size);
        picture.fill(Qt::transparent);
        QPainter painter(&picture);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(picture);
    }
    return icon;
}

} // namespace zorvika
