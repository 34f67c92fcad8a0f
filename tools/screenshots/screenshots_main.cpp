// Pictures of the windows for the documentation, made without a display:
// the main window after choosing a group, the history window on its first
// stored snapshot, the about window, the procedures window of the first
// module in the list, and, given a trend project, the trend
// window of that project.
//
//   zorvika-screenshots PROGRAM_FOLDER CHOSEN_FILE OUTPUT_FOLDER [TREND_PROJECT]
//
// PROGRAM_FOLDER holds the message table; its working folders and snapshot
// store are filled by the run. For the trend the real project is counted
// once, and the versions before it are stored as the snapshots of a project
// that grew module by module: version 0.k.0 holds the first k eighths of the
// counted rows, with their totals line.
#include "about/frm_pub_about.h"
#include "about/logos.h"
#include "history/frm_pub_his.h"
#include "history/frm_pub_trend.h"
#include "history/history_store.h"
#include "history/trend.h"
#include "output/snapshot_store.h"
#include "recording_utility.h"
#include "shell/frm_pub_main.h"
#include "shell/qt_language.h"
#include "widgets/gui_font.h"
#include "widgets/results_model.h"
#include "widgets/results_view.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QPixmap>

#include <cstdio>

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
void storeEarlierVersions(zorvika::frmPubMain& main)
{
    const std::vector<zorvika::ModuleRow> rows = main.results()->displayRows();
    const std::string name = main.txt(0)->text().toStdString();
    for (std::size_t k = 1; k <= 8; ++k) {
        const std::vector<zorvika::ModuleRow> part(rows.begin(), rows.begin() + static_cast<std::ptrdiff_t>(rows.size() * k / 9));
        const std::string line =
            zorvika::totalsText(part.size(), zorvika::summedTotals(part), main.messages().totalsWords());
        zorvika::saveSnapshot(main.folder(), name, "0." + std::to_string(k) + ".0", part, line);
    }
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc != 4 && argc != 5) {
        std::fprintf(stderr, "usage: zorvika-screenshots PROGRAM_FOLDER CHOSEN_FILE OUTPUT_FOLDER [TREND_PROJECT]\n");
        return 2;
    }
    QApplication::setFont(zorvika::windowFont());
    QApplication::setWindowIcon(zorvika::productIcon());
    const QString outDir = QString::fromLocal8Bit(argv[3]);
    QDir().mkpath(outDir);

    zorvika::RecordingUtility utility;
    zorvika::frmPubMain main(zorvika::ProgramFolder{argv[1]}, utility);
    const auto qtTexts = zorvika::installQtTranslations(main.messages());
    main.show();
    utility.openAnswers.push_back({QString::fromLocal8Bit(argv[2])});
    main.sbt_Click(zorvika::BtnChoose);
    bool ok = utility.messages.empty();
    ok = save(main, outDir + QStringLiteral("/main-window.png")) && ok;

    utility.onModal = [&](QDialog& dialog) { ok = save(dialog, outDir + QStringLiteral("/history-window.png")) && ok; };
    main.sbt_Click(zorvika::BtnHistory);
    utility.onModal = [&](QDialog& dialog) { ok = save(dialog, outDir + QStringLiteral("/about-window.png")) && ok; };
    main.sbt_Click(zorvika::BtnAbout);
    utility.onModal = [&](QDialog& dialog) { ok = save(dialog, outDir + QStringLiteral("/procedures-window.png")) && ok; };
    emit main.lsv()->doubleClicked(main.results()->index(0, 0));

    if (argc == 5) {
        utility.openAnswers.push_back({QString::fromLocal8Bit(argv[4])});
        main.sbt_Click(zorvika::BtnChoose);
        const QString project = main.txt(0)->text();
        // Versions imported from a repository beforehand are shown as they
        // are; without them, earlier versions are made up from the rows.
        if (zorvika::listVersions(main.folder(), project.toStdString()).size() <= 1)
            storeEarlierVersions(main);
        utility.onModal = [&](QDialog& dialog) {
            auto* his = qobject_cast<zorvika::frmPubHis*>(&dialog);
            if (!his)
                return;
            his->cbb(0)->setCurrentIndex(his->cbb(0)->findText(project));
            utility.onModal = [&](QDialog& trend) {
                if (auto* window = qobject_cast<zorvika::frmPubTrend*>(&trend)) {
                    window->cbb(0)->setCurrentIndex(0);
                    window->lsv_ColumnClick(5); // the added modules first
                }
                ok = save(trend, outDir + QStringLiteral("/trend-window.png")) && ok;
            };
            his->sbt_Click(zorvika::HisTrend);
        };
        main.sbt_Click(zorvika::BtnHistory);
        utility.onModal = nullptr;
    }
    for (const zorvika::RecordedMessage& m : utility.messages)
        std::fprintf(stderr, "message: %s\n", qPrintable(m.text));
    return ok ? 0 : 1;
}
