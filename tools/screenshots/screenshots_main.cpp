// Pictures of the windows for the documentation, made without a display:
// the main window after choosing a group, the history window on its first
// stored snapshot, the about window, the procedures window of the first
// module in the list, and, given a trend project, the growth
// window of that project, and the main window enlarged.
//
//   zorvika-screenshots PROGRAM_FOLDER CHOSEN_FILE OUTPUT_FOLDER [TREND_PROJECT]
//
// PROGRAM_FOLDER holds the message table; its working folders and snapshot
// store are filled by the run. For the trend the real project is counted
// once, and the versions before it are stored as the snapshots of a project
// that grew module by module: version 0.k.0 holds the first k eighths of the
// counted rows, with their totals line.
#include "desktop/about_window.h"
#include "desktop/desktop_context.h"
#include "desktop/growth_window.h"
#include "desktop/history_window.h"
#include "desktop/logos.h"
#include "desktop/main_window.h"
#include "desktop/qt_language.h"
#include "history/history_store.h"
#include "history/trend.h"
#include "output/snapshot_store.h"
#include "recording_services.h"
#include "widgets/gui_font.h"
#include "widgets/results_model.h"
#include "widgets/results_view.h"
#include "widgets/text_table_model.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QPixmap>

#include <cstdio>
#include <iostream>

namespace {

bool save(QWidget& window, const QString& file)
{
    QApplication::processEvents();
    const QPixmap picture = window.grab();
    if (!picture.save(file)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
        return false;
    }
    std::printf("%s (%dx%d)\n", qPrintable(file), picture.width(), picture.height());
    return true;
}

// Stores eight earlier versions of the counted project as growing prefixes of its rows.
void storeEarlierVersions(zorvika::MainWindow& main)
{
    const std::vector<zorvika::ModuleRow> rows = main.results()->displayRows();
    const std::string name = main.projectName().toStdString();
    for (std::size_t k = 1; k <= 8; ++k) {
        const std::vector<zorvika::ModuleRow> part(rows.begin(), rows.begin() + static_cast<std::ptrdiff_t>(rows.size() * k / 9));
        const std::string line =
            zorvika::totalsText(part.size(), zorvika::summedTotals(part), main.context().messages().totalsWords());
        if (const auto saved =
                zorvika::saveSnapshot(main.context().folder(), name, "0." + std::to_string(k) + ".0", part, line);
            !saved)
            std::cerr << "zorvika-screenshots: " << saved.reason() << '\n';
    }
}

} // namespace

int main(int argc, char** argv)
{
    using Command = zorvika::MainWindow::Command;
    QApplication app(argc, argv);
    if (argc != 4 && argc != 5) {
        std::fprintf(stderr, "usage: zorvika-screenshots PROGRAM_FOLDER CHOSEN_FILE OUTPUT_FOLDER [TREND_PROJECT]\n");
        return 2;
    }
    QApplication::setFont(zorvika::windowFont());
    QApplication::setWindowIcon(zorvika::productIcon());
    const QString outDir = QString::fromLocal8Bit(argv[3]);
    QDir().mkpath(outDir);

    zorvika::RecordingServices services;
    zorvika::DesktopContext context(zorvika::ProgramFolder{argv[1]}, services);
    zorvika::MainWindow main(context);
    const auto qtTexts = zorvika::installQtTranslations(context.messages());
    main.show();
    services.openAnswers.push_back(QString::fromLocal8Bit(argv[2]));
    main.run(Command::Choose);
    bool ok = services.messages.empty();
    ok = save(main, outDir + QStringLiteral("/main-window.png")) && ok;

    services.onModal = [&](QDialog& dialog) { ok = save(dialog, outDir + QStringLiteral("/history-window.png")) && ok; };
    main.run(Command::History);
    services.onModal = [&](QDialog& dialog) { ok = save(dialog, outDir + QStringLiteral("/about-window.png")) && ok; };
    main.run(Command::About);
    services.onModal = [&](QDialog& dialog) { ok = save(dialog, outDir + QStringLiteral("/procedures-window.png")) && ok; };
    emit main.resultsView()->openRow(0);
    services.onModal = nullptr;

    // The main window enlarged: the list takes the room; sorted by its
    // narrowest caption, "P - C - B", to show the sort mark beside whole text.
    main.resize(main.size() * 5 / 4);
    main.resultsView()->list()->columnClicked(8);
    ok = save(main, outDir + QStringLiteral("/main-window-enlarged.png")) && ok;
    main.resize(zorvika::MainWindow::designSize());

    if (argc == 5) {
        services.openAnswers.push_back(QString::fromLocal8Bit(argv[4]));
        main.run(Command::Choose);
        const std::string project = main.projectName().toStdString();
        // Versions imported from a repository beforehand are shown as they
        // are; without them, earlier versions are made up from the rows.
        if (zorvika::listVersions(context.folder(), project).size() <= 1)
            storeEarlierVersions(main);
        // One answer for both windows, so that no answer replaces the running one.
        services.onModal = [&](QDialog& dialog) {
            if (auto* history = qobject_cast<zorvika::HistoryWindow*>(&dialog)) {
                history->showGrowth();
            } else if (auto* growth = qobject_cast<zorvika::GrowthWindow*>(&dialog)) {
                growth->versionBox(0)->setCurrentIndex(0);
                growth->comparison()->columnClicked(4); // the added modules first
                ok = save(dialog, outDir + QStringLiteral("/trend-window.png")) && ok;
            }
        };
        main.run(Command::History);
        services.onModal = nullptr;
    }
    for (const zorvika::RecordedMessage& m : services.messages)
        std::fprintf(stderr, "message: %s\n", qPrintable(m.text));
    return ok ? 0 : 1;
}
