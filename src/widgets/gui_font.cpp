#include "widgets/gui_font.h"

#include <QDialog>
#include <QFile>
#include <QFontDatabase>

namespace zorvika {

void loadWindowFonts()
{
    static bool loaded = false;
    if (loaded)
        return;
    loaded = true;
    if (QFontDatabase::families().contains(QStringLiteral("Tahoma")))
        return;
    // Wine ships a free Tahoma outside the fontconfig folders. Only its
    // regular face is taken: its bold face shows no bold at 8.25 pt, while
    // the emboldened regular face does.
    const QString file = QStringLiteral("/usr/share/wine/fonts/tahoma.ttf");
    if (QFile::exists(file))
        QFontDatabase::addApplicationFont(file);
}

QString windowFontFamily()
{
    static const QString family = [] {
        loadWindowFonts();
        if (QFontDatabase::families().contains(QStringLiteral("Tahoma")))
            return QStringLiteral("Tahoma");
        return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    }();
    return family;
}

QFont windowFont(bool bold)
{
    QFont font(windowFontFamily());
    font.setPointSizeF(8.25);
    font.setBold(bold);
    return font;
}

void makeFixedDialog(QDialog& dialog, QSize client)
{
    dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                          | Qt::MSWindowsFixedSizeDialogHint);
    dialog.setFont(windowFont());
    dialog.setFixedSize(client);
    dialog.setSizeGripEnabled(false);
}

} // namespace zorvika
