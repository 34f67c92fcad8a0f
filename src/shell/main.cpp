// ZORVIKA, the desktop program: the main window on the folder of the program.
// A project or group file given as the one argument ("Open with" in a file
// manager) is opened as if it had been chosen in the open dialog.
#include "about/logos.h"
#include "components/qt/qt_utility.h"
#include "shell/frm_pub_main.h"
#include "shell/qt_language.h"
#include "widgets/gui_font.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QTimer>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ZORVIKA"));
    QApplication::setDesktopFileName(QStringLiteral("zorvika"));
    QApplication::setFont(zorvika::windowFont());
    QApplication::setWindowIcon(zorvika::productIcon());
    zorvika::QtUtility utility;
    const zorvika::ProgramFolder folder = zorvika::ProgramFolder::ofExecutable();
    if (!folder.unusable.empty()) {
        // Nothing is made anywhere else, least of all in the current folder.
        QMessageBox::warning(nullptr, QStringLiteral("ZORVIKA"), QString::fromStdString(folder.unusable));
        return 1;
    }
    zorvika::frmPubMain window(folder, utility);
    // After the window's start-up, which makes sure the message table is there.
    const auto qtTexts = zorvika::installQtTranslations(window.messages());
    window.show();
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() == 2) {
        const QString file = QFileInfo(arguments.at(1)).absoluteFilePath();
        QTimer::singleShot(0, &window, [&window, file] { window.runCommand(&window, [&] { window.chooseFile(file); }); });
    }
    return QApplication::exec();
}
