// ZORVIKA, the desktop program: the main window on the folder of the program.
// A project or group file given as the one operand ("Open with" in a file
// manager) is opened as if it had been chosen in the open dialog.
// `--help` and `--version` print and end before any window (or display) is
// needed; `--program-folder DIR` and `--language en|de` work as for the
// command line.
#include "base/message_language.h"
#include "base/platform.h"
#include "desktop/desktop_context.h"
#include "desktop/logos.h"
#include "desktop/main_window.h"
#include "desktop/qt_language.h"
#include "shell/desktop_arguments.h"
#include "widgets/gui_font.h"
#include "widgets/qt_desktop_services.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QTimer>

#include <iostream>

namespace {

// Prints what an argument reading that is not `Run` asks for; the exit status.
int endWithoutWindow(const zorvika::DesktopArguments& parsed)
{
    using Action = zorvika::DesktopArguments::Action;
    if (parsed.action == Action::Help) {
        std::cout << zorvika::desktopHelp() << std::flush;
        return 0;
    }
    if (parsed.action == Action::Version) {
        std::cout << zorvika::desktopVersion() << std::flush;
        return 0;
    }
    std::cerr << "zorvika: " << parsed.error << "; try 'zorvika --help'\n";
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    using Action = zorvika::DesktopArguments::Action;
    const auto early = zorvika::parseDesktopArguments({argv + (argc > 0 ? 1 : 0), argv + argc}, false);
    if (early.action != Action::Run)
        return endWithoutWindow(early);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ZORVIKA"));
    QApplication::setDesktopFileName(QStringLiteral("zorvika"));
    // Qt has taken its own options out: what is left is the program's.
    std::vector<std::string> args;
    for (const QString& arg : QApplication::arguments().mid(1))
        args.push_back(arg.toStdString());
    const auto parsed = zorvika::parseDesktopArguments(args, true);
    if (parsed.action != Action::Run)
        return endWithoutWindow(parsed);

    zorvika::ProgramFolder folder = zorvika::ProgramFolder::ofExecutable();
    const std::filesystem::path shippedTables = folder.root;
    if (parsed.programFolder)
        folder = zorvika::givenProgramFolder(zorvika::pathFromUtf8(*parsed.programFolder), folder);
    folder = zorvika::withMessageTable(folder, shippedTables,
                                       parsed.language ? zorvika::languageOfOption(*parsed.language) : std::nullopt,
                                       zorvika::LocaleVariables::ofEnvironment());
    if (!folder.unusable.empty()) {
        // Nothing is made anywhere else, least of all in the current folder.
        std::cerr << "zorvika: " << folder.unusable << '\n';
        QMessageBox::warning(nullptr, QStringLiteral("ZORVIKA"), QString::fromStdString(folder.unusable));
        return 1;
    }
    std::error_code ec;
    // As for the command line, a program folder that is not there yet is made.
    std::filesystem::create_directories(folder.dataRoot(), ec);
    if (parsed.language && !std::filesystem::is_regular_file(folder.messageTable(), ec)) {
        std::cerr << "zorvika: " << zorvika::utf8Of(folder.messageTable()) << ": the message table of --language "
                  << *parsed.language << " is missing\n";
        return 1;
    }

    QApplication::setFont(zorvika::windowFont());
    QApplication::setWindowIcon(zorvika::productIcon());
    zorvika::QtDesktopServices services;
    zorvika::DesktopContext context(folder, services);
    zorvika::MainWindow window(context);
    // After the window's start-up, which makes sure the message table is there.
    const auto qtTexts = zorvika::installQtTranslations(context.messages());
    window.show();
    if (parsed.file) {
        const QString file = QFileInfo(QString::fromStdString(*parsed.file)).absoluteFilePath();
        QTimer::singleShot(0, &window, [&window, &context, file] {
            context.runCommand(&window, [&] { window.chooseFile(file); });
        });
    }
    return QApplication::exec();
}
