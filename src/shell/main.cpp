// ZORVIKA, the desktop program: the main window on the folder of the program.
#include "about/logos.h"
#include "components/gui_font.h"
#include "components/qt_utility.h"
#include "shell/frm_pub_main.h"
#include "shell/qt_language.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ZORVIKA"));
    QApplication::setFont(zorvika::windowFont());
    QApplication::setWindowIcon(zorvika::productIcon());
    zorvika::QtUtility utility;
    zorvika::frmPubMain window(zorvika::ProgramFolder::ofExecutable(), utility);
    // After the window's start-up, which makes sure the message table is there.
    const auto qtTexts = zorvika::installQtTranslations(window.messages());
    window.show();
    return QApplication::exec();
}
