// ZORVIKA, the desktop program: the main window on the folder of the program.
// A project or group file given as the one argument ("Open with" in a file
// manager) is opened as if it had been chosen in the open dialog.
#include "desktop/desktop_context.h"
#include "desktop/logos.h"
#include "desktop/main_window.h"
#include "desktop/qt_language.h"
#include "widgets/gui_font.h"
#include "widgets/qt_desktop_services.h"

#include <QApplication>
#include <QFileInfo>
#include <QTimer>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ZORVIKA"));
    QApplication::setDesktopFileName(QStringLiteral("zorvika"));
    QApplication::setFont(zorvika::windowFont());
    QApplication::setWindowIcon(zorvika::productIcon());
    zorvika::QtDesktopServices services;
    zorvika::DesktopContext context(zorvika::ProgramFolder::ofExecutable(), services);
    zorvika::MainWindow window(context);
    // After the window's start-up, which makes sure the message table is there.
    const auto qtTexts = zorvika::installQtTranslations(context.messages());
    window.show();
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() == 2) {
        const QString file = QFileInfo(arguments.at(1)).absoluteFilePath();
        QTimer::singleShot(0, &window, [&window, &context, file] {
            context.runCommand(&window, [&] { window.chooseFile(file); });
        });
    }
    return QApplication::exec();
}
