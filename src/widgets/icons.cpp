#include "widgets/icons.h"

#include <QFile>

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
    const QString picture = QStringLiteral(":/icons/%1.png").arg(name);
    if (!QFile::exists(picture))
        return {};
    QIcon icon;
    icon.addFile(picture, QSize(16, 16));
    icon.addFile(QStringLiteral(":/icons/%1@2x.png").arg(name), QSize(32, 32));
    return icon;
}

} // namespace zorvika
