// The trend window opened from the history window: versions in version
// order, the chart's values, the comparison list, its sorting and export.
#include "gui_fixture.h"

#include "desktop/growth_window.h"
#include "desktop/import_dialog.h"
#include "widgets/growth_chart.h"
#include "widgets/text_table_model.h"

#include <QRadioButton>

#include <QComboBox>
#include <QLabel>
#include <QHelpEvent>
#include <QToolTip>

namespace zorvika::test {
namespace {

class Trend : public GuiTest {
protected:
    // Counts project Alpha as `version` with the given module lines and
    // returns the sum of its rows' "P - C - B".
    long long countAlpha(const std::string& version, const std::string& modules)
    {
        const auto vbp = sources.write("A/a.vbp", projectText("Alpha", version, modules));
        choose(vbp);
        long long sum = 0;
        for (const ModuleRow& row : main->results()->displayRows())
            if (!row.cells[ColPminusCminusB].empty())
                sum += std::stoll(row.cells[ColPminusCminusB]);
        return sum;
    }

    // Opens the history on `project`, then its trend window, runs `script` in it.
    void withTrend(const QString& project, const std::function<void(GrowthWindow&)>& script)
    {
        bool ran = false;
        withHistory([&](HistoryWindow& his) {
            his.projectBox()->setCurrentIndex(his.projectBox()->findText(project));
            services.onModal = [&](QDialog& dialog) {
                auto* trend = qobject_cast<GrowthWindow*>(&dialog);
                ASSERT_NE(trend, nullptr);
                EXPECT_TRUE(trend->isModal());
                EXPECT_EQ(trend->parentWidget(), &his);
                ran = true;
                script(*trend);
            };
            click(his.growthButton());
        });
        ASSERT_TRUE(ran);
    }

    static std::vector<double> ys(const GrowthWindow& t, int line) { return t.chart()->series(line).values; }

    static std::vector<std::string> comparisonColumn(const TextTableModel& model, std::size_t c)
    {
        std::vector<std::string> out;
        for (const auto& row : model.displayRows())
            out.push_back(row[c]);
        return out;
    }
};

TEST_F(Trend, VersionsInNumberOrderWithTheTotalsOfEachSnapshot)
{
    useEnglishTable();
    sources.write("A/Module1.bas", kModuleBas);
    sources.write("A/Class1.cls", kClassCls);
    open();
    // Counted out of order: 1.10.0 first, then 1.9.0.
    const long long v110 = countAlpha("1.10.0", "Module=Module1; Module1.bas\r\nClass=Class1; Class1.cls\r\n");
    const long long v19 = countAlpha("1.9.0", "Module=Module1; Module1.bas\r\n");
    // A snapshot stored without a totals line: its figures are summed from its rows.
    program.write("verhis/Alpha/1.2.0", "Old.bas:Module:10:12:2:1:8:9:7:10:11:9\r\n"
                                        "Gone.frm:Invalid::::::::::\r\n"
                                        "Two.bas:Module:5:6:1:1:4:4:3:5:5:4\r\n");
    program.write("verhis/Alpha/beta", "Old.bas:Module:1:1:0:0:1:1:1:1:1:1\r\n");

    withTrend(QStringLiteral("Alpha"), [&](GrowthWindow& t) {
        EXPECT_EQ(t.windowTitle(), QStringLiteral("Growth over Versions - Alpha"));
        EXPECT_EQ(t.size(), GrowthWindow::designSize());
        std::vector<std::string> versions;
        for (const TrendPoint& p : t.points())
            versions.push_back(p.version);
        EXPECT_EQ(versions, (std::vector<std::string>{"1.2.0", "1.9.0", "1.10.0", "beta"}));

        EXPECT_EQ(t.chart()->series(PureCodeLine).name, QStringLiteral("P - C - B"));
        EXPECT_EQ(ys(t, PureCodeLine), (std::vector<double>{10, double(v19), double(v110), 1}));
        EXPECT_EQ(ys(t, CommentLine), (std::vector<double>{3, 1, 3, 0}));
        EXPECT_EQ(ys(t, BlankLine), (std::vector<double>{2, 1, 2, 0}));
        EXPECT_FALSE(t.points()[0].fromTotalsLine);
        EXPECT_TRUE(t.points()[1].fromTotalsLine);
        EXPECT_EQ(t.chart()->versions(), (QStringList{"1.2.0", "1.9.0", "1.10.0", "beta"}));
        for (int i = 1; i < 4; ++i) // one place per version, in order
            EXPECT_LT(t.pointPosition(PureCodeLine, i - 1).x(), t.pointPosition(PureCodeLine, i).x());
        EXPECT_EQ(t.pointText(PureCodeLine, 2), QStringLiteral("1.10.0\nP - C - B: %1").arg(v110));
        EXPECT_EQ(t.pointText(BlankLine, 0), QStringLiteral("1.2.0\nB: 2"));
        EXPECT_EQ(t.pointText(BlankLine, 4), QString());
        // The pointer resting on the third point shows that point.
        moveMouse(t.chart(), t.pointPosition(PureCodeLine, 2) + QPoint(2, 1));
        EXPECT_EQ(QToolTip::text(), t.pointText(PureCodeLine, 2));
        EXPECT_EQ(t.chart()->seriesCount(), 3);
        // Where "C" and "B" meet (both 0 in beta) the pointer on the dot names both lines.
        moveMouse(t.chart(), t.pointPosition(BlankLine, 3) + QPoint(-1, 1));
        EXPECT_EQ(QToolTip::text(), QStringLiteral("beta\nC: 0\nB: 0"));
    });
}

TEST_F(Trend, ComparesTwoPickedVersionsModuleByModule)
{
    useEnglishTable();
    sources.write("A/Module1.bas", kModuleBas);
    sources.write("A/Class1.cls", kClassCls);
    sources.write("A/New.bas", "Attribute VB_Name = \"New\"\r\nPublic x\r\nPublic y\r\n");
    open();
    countAlpha("1.0.0", "Module=Module1; Module1.bas\r\nClass=Class1; Class1.cls\r\n");
    countAlpha("1.1.0", "Module=Module1; Module1.bas\r\nModule=New; New.bas\r\n");

    withTrend(QStringLiteral("Alpha"), [&](GrowthWindow& t) {
        EXPECT_EQ(t.versionLabel(0)->text(), QStringLiteral("First Version"));
        EXPECT_LT(t.versionLabel(0)->geometry().right(), t.versionBox(0)->x());
        EXPECT_LT(t.versionBox(0)->geometry().right(), t.versionLabel(1)->x());
        EXPECT_LT(t.versionBox(1)->geometry().right(), t.exportButton()->x());
        // By default the last version against the one before it.
        EXPECT_EQ(t.versionBox(0)->currentText(), QStringLiteral("1.0.0"));
        EXPECT_EQ(t.versionBox(1)->currentText(), QStringLiteral("1.1.0"));
        const TextTableModel& list = *t.comparison();
        EXPECT_EQ(list.headerData(3, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Difference"));
        EXPECT_EQ(comparisonColumn(list, 0), (std::vector<std::string>{"Class1.cls", "Module1.bas", "New.bas"}));
        EXPECT_EQ(comparisonColumn(list, 4), (std::vector<std::string>{"removed", "", "added"}));
        EXPECT_EQ(comparisonColumn(list, 2)[0], "");
        EXPECT_EQ(comparisonColumn(list, 1)[2], "");
        EXPECT_EQ(comparisonColumn(list, 3)[1], "0");
        EXPECT_EQ(comparisonColumn(list, 3)[2], comparisonColumn(list, 2)[2]);

        // Header clicks sort by text and flip the order each time.
        clickHeader(t.comparisonView(), 4);
        EXPECT_EQ(list.sortState().column, 4);
        EXPECT_TRUE(list.sortState().descending);
        EXPECT_EQ(comparisonColumn(list, 4), (std::vector<std::string>{"removed", "added", ""}));
        clickHeader(t.comparisonView(), 0);
        EXPECT_FALSE(list.sortState().descending);
        EXPECT_EQ(comparisonColumn(list, 0).front(), "Class1.cls");

        // The same version on both sides: nothing added, nothing removed, no difference.
        t.versionBox(0)->setCurrentIndex(1);
        EXPECT_EQ(comparisonColumn(list, 0), (std::vector<std::string>{"Module1.bas", "New.bas"}));
        EXPECT_EQ(comparisonColumn(list, 3), (std::vector<std::string>{"0", "0"}));
        EXPECT_EQ(comparisonColumn(list, 4), (std::vector<std::string>{"", ""}));
    });
}

TEST_F(Trend, ExportsTheComparisonAsShownAndReportsFailures)
{
    useEnglishTable();
    sources.write("A/Module1.bas", kModuleBas);
    open();
    countAlpha("1.0.0", "Module=Module1; Module1.bas\r\n");
    countAlpha("2.0.0", "Module=Module1; Module1.bas\r\nModule=Gone; Gone.bas\r\n");
    TempFolder out;
    const auto csv = out.path() / "cmp.csv";
    services.saveAnswers.push_back(QString::fromStdString(csv.string()));
    services.saveAnswers.push_back(QString::fromStdString((out.path() / "no" / "such" / "x.txt").string()));
    services.messages.clear();

    withTrend(QStringLiteral("Alpha"), [&](GrowthWindow& t) {
        click(t.exportButton());
        ASSERT_EQ(services.saveDialogs.size(), 1u);
        EXPECT_TRUE(services.saveDialogs[0].proposedName.startsWith(QStringLiteral("Alpha_1.0.0-2.0.0_")));
        ASSERT_EQ(services.messages.size(), 1u);
        EXPECT_EQ(services.messages[0].text, QStringLiteral("The list has been exported."));
        EXPECT_EQ(readFile(csv), "Module,First Version,Second Version,Difference,Change\r\n"
                                 "Gone.bas,,,0,added\r\n"
                                 "Module1.bas,1,1,0,\r\n");

        click(t.exportButton());
        ASSERT_EQ(services.messages.size(), 2u);
        EXPECT_EQ(services.messages[1].icon, MessageIcon::Warning);
        EXPECT_TRUE(services.messages[1].text.contains(QStringLiteral("x.txt"))) << services.messages[1].text.toStdString();
    });
}

TEST_F(Trend, OneVersionOrNoneLeavesNothingToCompare)
{
    useEnglishTable();
    sources.write("A/Module1.bas", kModuleBas);
    open();
    countAlpha("1.0.0", "Module=Module1; Module1.bas\r\n");
    withTrend(QStringLiteral("Alpha"), [&](GrowthWindow& t) {
        ASSERT_EQ(t.points().size(), 1u);
        EXPECT_EQ(t.versionBox(0)->currentText(), QStringLiteral("1.0.0"));
        EXPECT_EQ(t.versionBox(1)->currentText(), QStringLiteral("1.0.0"));
        EXPECT_EQ(comparisonColumn(*t.comparison(), 3), (std::vector<std::string>{"0"}));
    });
    // The last version deleted: the project folder stays, empty.
    withHistory([&](HistoryWindow& his) { click(his.deleteVersionButton()); });
    services.messages.clear();
    withTrend(QStringLiteral("Alpha"), [&](GrowthWindow& t) {
        EXPECT_TRUE(t.points().empty());
        EXPECT_TRUE(t.chart()->series(PureCodeLine).values.empty());
        EXPECT_EQ(t.versionBox(0)->count(), 0);
        EXPECT_EQ(t.comparison()->rowCount(), 0);
        click(t.exportButton());
    });
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].text, QStringLiteral("There is nothing to export: the list is empty."));
    EXPECT_TRUE(services.saveDialogs.empty());
}

// The chart's version labels as it draws them, left to right.
std::vector<GrowthChart::AxisLabel> versionLabels(const GrowthWindow& t)
{
    std::vector<GrowthChart::AxisLabel> labels = t.chart()->versionLabels();
    std::sort(labels.begin(), labels.end(), [](const auto& a, const auto& b) { return a.place.x() < b.place.x(); });
    return labels;
}

// Whole labels that stand apart, inside the chart.
void expectReadableLabels(const GrowthWindow& t)
{
    const auto labels = versionLabels(t);
    ASSERT_GE(labels.size(), 5u);
    const QRect inside = t.chart()->rect();
    const QFontMetrics metrics = t.chart()->fontMetrics();
    for (std::size_t i = 0; i < labels.size(); ++i) {
        const QString text = labels[i].text;
        EXPECT_TRUE(text.startsWith(QStringLiteral("2026."))) << text.toStdString();
        EXPECT_FALSE(text.contains(QStringLiteral("..."))) << text.toStdString();
        EXPECT_GE(labels[i].place.width(), metrics.horizontalAdvance(text)) << text.toStdString();
        EXPECT_TRUE(inside.contains(labels[i].place)) << text.toStdString();
        if (i > 0) {
            EXPECT_FALSE(labels[i - 1].place.intersects(labels[i].place))
                << labels[i - 1].text.toStdString() << " runs into " << text.toStdString();
        }
    }
}

TEST_F(Trend, FiftyVersionsShowWholeLabelsThePointerFindsEachPointAndTheWindowGrows)
{
    useEnglishTable();
    for (int k = 0; k < 50; ++k) {
        const int p = 1000 + 40 * k, c = 300 + 5 * k, b = 60 + 2 * k, a = p + 20;
        const std::vector<int> f = {p, a, c, b, p - c, p - b, p - c - b, a - c, a - b, a - c - b};
        std::string line = "M.bas:Module";
        for (int v : f)
            line.append(":").append(std::to_string(v));
        program.write("verhis/Big/2026.1." + std::to_string(200 + k), line + "\r\n");
    }
    open();
    withTrend(QStringLiteral("Big"), [&](GrowthWindow& t) {
        ASSERT_EQ(t.points().size(), 50u);
        QApplication::processEvents();
        expectReadableLabels(t);

        // Real pointer moves: each point under the pointer shows its own text.
        for (int s : {PureCodeLine, CommentLine, BlankLine})
            for (int i : {0, 1, 13, 24, 48, 49}) {
                moveMouse(t.chart(), t.pointPosition(s, i) + QPoint(1, -1));
                EXPECT_TRUE(QToolTip::isVisible()) << s << "/" << i;
                EXPECT_EQ(QToolTip::text(), t.pointText(s, i)) << s << "/" << i;
            }
        // Resting there (the tooltip event that follows a pause) keeps the point's text.
        const QPoint on = t.pointPosition(CommentLine, 24);
        moveMouse(t.chart(), on);
        QHelpEvent rest(QEvent::ToolTip, on, t.chart()->mapToGlobal(on));
        QApplication::sendEvent(t.chart(), &rest);
        EXPECT_TRUE(QToolTip::isVisible());
        EXPECT_EQ(QToolTip::text(), t.pointText(CommentLine, 24));
        // Away from every point, nothing shows.
        const QPoint away = t.pointPosition(PureCodeLine, 0) - QPoint(0, 40); // above the highest line
        ASSERT_FALSE(t.pointAt(away));
        moveMouse(t.chart(), away);
        EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 2000)) << QToolTip::text().toStdString();

        // The window grows; the chart takes the room, the row and the list follow.
        const QSize before = t.chart()->size();
        const QRect list = t.comparisonView()->geometry();
        t.resize(t.width() + 300, t.height() + 200);
        QApplication::processEvents();
        EXPECT_EQ(t.chart()->size(), before + QSize(300, 200));
        EXPECT_EQ(t.comparisonView()->geometry(), list.translated(0, 200).adjusted(0, 0, 300, 0));
        EXPECT_LT(t.chart()->geometry().bottom(), t.versionBox(0)->y());
        EXPECT_LT(t.versionBox(1)->geometry().right(), t.exportButton()->x());
        EXPECT_LE(t.closeButton()->geometry().right(), t.width());
        expectReadableLabels(t);
        moveMouse(t.chart(), t.pointPosition(CommentLine, 30));
        EXPECT_EQ(QToolTip::text(), t.pointText(CommentLine, 30));
    });
}

TEST_F(Trend, NeedsAStoredProject)
{
    useEnglishTable();
    open();
    withHistory([&](HistoryWindow& his) {
        EXPECT_EQ(his.growthButton()->text(), QStringLiteral("Growth"));
        // The fifth button stands right of the close button, inside the unchanged window.
        EXPECT_GT(his.growthButton()->x(), his.closeButton()->geometry().right());
        EXPECT_LE(his.growthButton()->geometry().right(), his.width());
        EXPECT_EQ(his.size(), his.minimumSize());
        click(his.growthButton());
    });
    EXPECT_EQ(services.modalCount, 1);
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].text, QStringLiteral("There is nothing to export: the list is empty."));
}

} // namespace
} // namespace zorvika::test

namespace zorvika::test {
namespace {

// Imports from a git repository made with the git command: the growth
// window shows the stored versions as new points and says how many were
// stored; a file that names another project is stored there only after a
// Yes, and the history window lists that project at once; a file outside
// any repository is told.
TEST_F(Trend, ImportFromAGitRepositoryAddsItsVersionsAsPoints)
{
#ifdef _WIN32
    GTEST_SKIP() << "makes its repositories with the git command and a POSIX shell";
#endif
    useEnglishTable();
    open();
    countAlpha("1.0.0", "Module=M; m.bas\r\n");
    auto run = [](const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()); };
    auto makeRepository = [&](const std::string& folder, const std::string& project) {
        const std::filesystem::path repo = sources / folder;
        std::filesystem::create_directories(repo);
        const std::string git = "git -C '" + repo.string() + "' ";
        EXPECT_EQ(run(git + "init -q && " + git + "config user.email t@t.invalid && " + git + "config user.name t"), 0);
        for (const char* version : {"2.0.0", "2.1.0"}) {
            sources.write(folder + "/a.vbp", projectText(project, version, "Module=M; m.bas\r\n"));
            sources.write(folder + "/m.bas", std::string("Attribute VB_Name = \"M\"\r\nx = ") + version + "\r\n");
            EXPECT_EQ(run(git + "add -A && " + git + "commit -qm v && " + git + "tag v" + version), 0);
        }
        return repo / "a.vbp";
    };
    const auto alpha = makeRepository("repo", "Alpha");
    const auto beta = makeRepository("other", "Beta");
    bool ran = false;
    withHistory([&](HistoryWindow& his) {
        his.projectBox()->setCurrentIndex(his.projectBox()->findText(QStringLiteral("Alpha")));
        // One answer for every window this test opens, so that no answer
        // replaces the one that is running.
        std::function<void(GrowthWindow&)> script;
        services.onModal = [&](QDialog& dialog) {
            if (auto* choice = qobject_cast<ImportDialog*>(&dialog)) {
                choice->tagsChoice()->setChecked(true);
                choice->accept();
            } else if (auto* trend = qobject_cast<GrowthWindow*>(&dialog)) {
                ran = true;
                script(*trend);
            }
        };
        script = [&](GrowthWindow& trend) {
            ASSERT_EQ(trend.points().size(), 1u);
            auto choose = [&](const std::filesystem::path& file) {
                services.messages.clear();
                services.questions.clear();
                services.openAnswers.push_back(QString::fromStdString(file.string()));
                click(trend.importButton());
            };
            choose(alpha);
            ASSERT_EQ(trend.points().size(), 3u);
            EXPECT_EQ(trend.points()[2].version, "2.1.0");
            EXPECT_EQ(trend.chart()->series(PureCodeLine).values.size(), 3u);
            EXPECT_EQ(trend.versionBox(1)->currentText(), QStringLiteral("2.1.0"));
            EXPECT_TRUE(services.questions.empty());
            ASSERT_EQ(services.messages.size(), 1u);
            EXPECT_EQ(services.messages[0].text, main->context().text("IMPORTDONE").arg(2).arg("Alpha"));
            // The history window behind lists the new versions at once.
            EXPECT_EQ(his.versionBox()->count(), 3);
            EXPECT_EQ(his.projectBox()->currentText(), QStringLiteral("Alpha"));

            // Another project's file: asked first; No stores nothing.
            choose(beta);
            ASSERT_EQ(services.questions.size(), 1u);
            EXPECT_EQ(services.questions[0], main->context().text("IMPORTOTHER").arg("Beta", "Alpha"));
            EXPECT_TRUE(services.messages.empty());
            EXPECT_EQ(his.projectBox()->findText(QStringLiteral("Beta")), -1);
            // Yes stores into Beta and says so; the history lists Beta, this chart stays Alpha's.
            services.questionAnswers.push_back(true);
            choose(beta);
            ASSERT_EQ(services.messages.size(), 1u);
            EXPECT_EQ(services.messages[0].text, main->context().text("IMPORTDONE").arg(2).arg("Beta"));
            EXPECT_NE(his.projectBox()->findText(QStringLiteral("Beta")), -1);
            EXPECT_EQ(his.projectBox()->currentText(), QStringLiteral("Alpha"));
            EXPECT_EQ(trend.points().size(), 3u);

            choose(sources / "A/a.vbp"); // in no repository
            ASSERT_EQ(services.messages.size(), 1u);
            EXPECT_TRUE(services.messages[0].text.startsWith(main->context().text("NOREPO")));
            EXPECT_EQ(trend.points().size(), 3u);
        };
        click(his.growthButton());
    });
    EXPECT_TRUE(ran);
}

} // namespace
} // namespace zorvika::test
