// Timings of the desktop program, measured inside it without a display:
// choosing a generated project of 20,000 modules until its rows show, a
// header click on its list, and opening the history window on its snapshot
// until its rows show, and opening the trend window of a project with 200
// stored versions of 2,000 modules each until its chart shows. Target: each
// under 300 ms.
//
//   build/bench/zorvika-gui-bench [--runs N] [--modules N]
#include "desktop/desktop_context.h"
#include "desktop/growth_window.h"
#include "desktop/history_window.h"
#include "desktop/main_window.h"
#include "recording_services.h"
#include "widgets/gui_font.h"
#include "widgets/results_model.h"
#include "widgets/results_view.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr double kTargetMs = 300.0;

// A project of `count` standard modules, each file of 40 lines.
fs::path writeProject(const fs::path& dir, int count)
{
    fs::create_directories(dir / "src");
    std::ofstream vbp(dir / "big.vbp", std::ios::binary);
    vbp << "Type=Exe\r\n";
    std::string body = "Attribute VB_Name = \"M\"\r\nOption Explicit\r\n";
    for (int i = 0; i < 38; ++i)
        body.append(i % 5 == 0 ? "' comment\r\n" : (i % 7 == 0 ? "\r\n" : "    x = x + 1\r\n"));
    for (int i = 0; i < count; ++i) {
        std::string file = "m";
        file.append(std::to_string(i)).append(".bas");
        vbp << "Module=M" << i << "; src\\" << file << "\r\n";
        std::ofstream(dir / "src" / file, std::ios::binary) << body;
    }
    vbp << "Name=\"Big\"\r\nMajorVer=1\r\nMinorVer=0\r\nRevisionVer=0\r\n";
    return dir / "big.vbp";
}

// A store holding `versions` snapshots of project "Trend", each of `count`
// module lines without a totals line, so that every point is summed from rows.
void writeTrendStore(const fs::path& program, int versions, int count)
{
    const fs::path dir = program / "verhis" / "Trend";
    fs::create_directories(dir);
    for (int v = 0; v < versions; ++v) {
        std::string text;
        for (int m = 0; m < count + v; ++m) {
            text.append("src\\m").append(std::to_string(m)).append(".bas:Module:38:40:8:5:30:33:25:32:35:27\r\n");
        }
        std::ofstream(dir / ("1." + std::to_string(v) + ".0"), std::ios::binary) << text;
    }
}

struct Series {
    const char* name;
    std::vector<double> ms;
    double median() const
    {
        std::vector<double> s = ms;
        std::sort(s.begin(), s.end());
        return s.empty() ? 0 : s[s.size() / 2];
    }
    double max() const { return ms.empty() ? 0 : *std::max_element(ms.begin(), ms.end()); }
};

// Paints the widget and everything in it now, as the display would.
void paintNow(QWidget& widget)
{
    widget.repaint();
    QApplication::processEvents();
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int runs = 5;
    int modules = 20000;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string flag = argv[i];
        if (flag == "--runs")
            runs = std::max(1, std::atoi(argv[i + 1]));
        else if (flag == "--modules")
            modules = std::max(1, std::atoi(argv[i + 1]));
    }
    QApplication::setFont(zorvika::windowFont());

    char pattern[] = "/tmp/zorvika-gui-bench-XXXXXX";
    if (!::mkdtemp(pattern))
        return 2;
    const fs::path root = pattern;
    const fs::path project = writeProject(root / "project", modules);
    fs::create_directories(root / "program");

    using Command = zorvika::MainWindow::Command;
    zorvika::RecordingServices utility;
    zorvika::DesktopContext context(zorvika::ProgramFolder{root / "program"}, utility);
    zorvika::MainWindow window(context);
    window.show();
    QApplication::processEvents();

    Series choose{"choose project until its rows show", {}};
    Series header{"header click (sort by column A)", {}};
    Series history{"open history on its snapshot", {}};
    int shownRows = 0;
    int historyRows = 0;
    for (int r = 0; r < runs; ++r) {
        utility.openAnswers.push_back(QString::fromStdString(project.string()));
        QElapsedTimer t;
        t.start();
        window.run(Command::Choose);
        paintNow(window);
        choose.ms.push_back(t.nsecsElapsed() / 1e6);
        shownRows = window.results()->rowCount();

        QHeaderView* head = window.resultsView()->header();
        const QPoint at(head->sectionViewportPosition(zorvika::ColA) + 5, head->height() / 2);
        t.restart();
        QTest::mouseClick(head->viewport(), Qt::LeftButton, {}, at);
        paintNow(window);
        header.ms.push_back(t.nsecsElapsed() / 1e6);

        utility.onModal = [&](QDialog& dialog) {
            paintNow(dialog);
            history.ms.push_back(t.nsecsElapsed() / 1e6);
            if (auto* his = qobject_cast<zorvika::HistoryWindow*>(&dialog))
                historyRows = his->results()->rowCount();
        };
        t.restart();
        window.run(Command::History);
        utility.onModal = nullptr;
    }

    // The trend of a project with 200 versions of about 2,000 modules.
    constexpr int kVersions = 200;
    constexpr int kTrendModules = 2000;
    fs::create_directories(root / "trend-program");
    writeTrendStore(root / "trend-program", kVersions, kTrendModules);
    zorvika::DesktopContext trendContext(zorvika::ProgramFolder{root / "trend-program"}, utility);
    zorvika::MainWindow trendMain(trendContext);
    Series trend{"open trend of 200 versions", {}};
    std::size_t trendPoints = 0;
    for (int r = 0; r < runs; ++r) {
        QElapsedTimer t;
        // One answer for both windows, so that no answer replaces the running one.
        utility.onModal = [&](QDialog& dialog) {
            if (auto* his = qobject_cast<zorvika::HistoryWindow*>(&dialog)) {
                t.start();
                his->showGrowth();
            } else if (auto* growth = qobject_cast<zorvika::GrowthWindow*>(&dialog)) {
                paintNow(dialog);
                trend.ms.push_back(t.nsecsElapsed() / 1e6);
                trendPoints = growth->points().size();
            }
        };
        trendMain.run(Command::History);
        utility.onModal = nullptr;
    }

    std::printf("GUI timings, %d modules, %d runs (ms)\n", modules, runs);
    std::printf("%-40s %10s %10s\n", "step", "median", "max");
    bool ok = shownRows == modules && historyRows == modules && trendPoints == kVersions;
    for (const Series* s : {&choose, &header, &history, &trend}) {
        std::printf("%-40s %10.1f %10.1f\n", s->name, s->median(), s->max());
        ok = ok && s->median() < kTargetMs;
    }
    std::printf("trend points %zu\n", trendPoints);
    std::printf("rows shown: main %d, history %d; target: median under %.0f ms: %s\n", shownRows, historyRows,
                kTargetMs, ok ? "met" : "NOT MET");
    std::error_code ec;
    fs::remove_all(root, ec);
    return ok ? 0 : 1;
}
