// The history window on the snapshots the main window stored: listing,
// loading, sorting, exporting and deleting.
#include "gui_fixture.h"

#include "output/export.h"

#include <QComboBox>
#include <QLabel>

namespace zorvika::test {
namespace {

using History = GuiTest;

TEST_F(History, ShowsTheStoredSnapshotsOfEveryCountedProject)
{
    useEnglishTable();
    const auto group = writeGroup();
    frmPubMain& w = open();
    choose(group);
    click(w.sbt(BtnNext));
    click(w.sbt(BtnPrevious)); // back on Alpha
    const auto mainRows = w.results()->displayRows();
    const QString mainTotals = w.lblT()->text();
    // The same click through the window system reaches the main window when nothing is open above it.
    const std::size_t before = utility.openDialogs.size();
    QTest::mouseClick(w.windowHandle(), Qt::LeftButton, {}, w.sbt(BtnChoose)->geometry().center());
    QApplication::processEvents();
    ASSERT_EQ(utility.openDialogs.size(), before + 1);

    withHistory([&](frmPubHis& his) {
        EXPECT_TRUE(his.isModal());
        EXPECT_EQ(his.parentWidget(), &w);
        EXPECT_EQ(his.size(), QSize(702, 341)); // 10530 by 5115 twips
        EXPECT_EQ(his.windowTitle(), QStringLiteral("Version History"));
        EXPECT_EQ(his.lbl(0)->text(), QStringLiteral("Project:"));
        EXPECT_EQ(his.sbt(HisExport)->text(), QStringLiteral("Export"));
        EXPECT_EQ(his.sbt(HisClose)->text(), QStringLiteral("Close"));
        QStringList projects;
        for (int i = 0; i < his.cbb(0)->count(); ++i)
            projects << his.cbb(0)->itemText(i);
        projects.sort();
        EXPECT_EQ(projects, (QStringList{"Alpha", "Beta"}));

        // The user picks Alpha: its version and rows show, with the totals line.
        his.cbb(0)->setCurrentIndex(his.cbb(0)->findText(QStringLiteral("Alpha")));
        EXPECT_EQ(his.cbb(1)->currentText(), QStringLiteral("1.2.3"));
        EXPECT_EQ(his.results()->rowCount(), 3);
        EXPECT_EQ(his.lblT()->text(), mainTotals);
        std::vector<std::string> mainNames;
        for (const auto& r : mainRows)
            mainNames.push_back(r.cells[0]);
        EXPECT_EQ(column(*his.results(), 0), mainNames);

        // While it is open the main window takes no clicks: a click is
        // delivered through the window system, as the user's would be.
        const std::size_t dialogs = utility.openDialogs.size();
        utility.openAnswers.push_back({QStringLiteral("/nonexistent.vbp")});
        const QPoint onChoose = w.sbt(BtnChoose)->geometry().center();
        QTest::mouseClick(w.windowHandle(), Qt::LeftButton, {}, onChoose);
        QApplication::processEvents();
        EXPECT_EQ(utility.openDialogs.size(), dialogs);
        EXPECT_TRUE(his.isVisible());
    });
    EXPECT_EQ(w.history(), nullptr);
    EXPECT_EQ(utility.modalCount, 1);
}

TEST_F(History, HeaderClicksFlipTheOrderStartingFromColumnZeroAscending)
{
    const auto group = writeGroup();
    open();
    choose(group);
    withHistory([&](frmPubHis& his) {
        EXPECT_EQ(his.results()->sortState().column, 0);
        EXPECT_FALSE(his.results()->sortState().descending);
        EXPECT_EQ(column(*his.results(), 0), (std::vector<std::string>{"Class1.cls", "Missing.frm", "Module1.bas"}));
        clickHeader(his.lsv(), ColP);
        EXPECT_EQ(his.results()->sortState().column, ColP);
        EXPECT_TRUE(his.results()->sortState().descending);
        EXPECT_EQ(column(*his.results(), ColP), (std::vector<std::string>{"6", "3", ""}));
        clickHeader(his.lsv(), ColModule);
        EXPECT_FALSE(his.results()->sortState().descending);
        EXPECT_EQ(column(*his.results(), 0), (std::vector<std::string>{"Class1.cls", "Missing.frm", "Module1.bas"}));
    });
}

TEST_F(History, ExportsTheShownSnapshotUnderItsOwnProjectAndVersion)
{
    useEnglishTable();
    const auto group = writeGroup();
    frmPubMain& w = open();
    choose(group);
    click(w.sbt(BtnNext)); // the main window now shows Beta
    const auto target = sources / "alpha.csv";
    withHistory([&](frmPubHis& his) {
        his.cbb(0)->setCurrentIndex(his.cbb(0)->findText(QStringLiteral("Alpha")));
        utility.saveAnswers.push_back(QString::fromStdString(target.string()));
        click(his.sbt(HisExport));
        ASSERT_EQ(utility.saveDialogs.size(), 1u);
        EXPECT_EQ(utility.saveDialogs[0].initialName, QString::fromStdString("Alpha_1.2.3_" + todayText()));
        EXPECT_EQ(readFile(target),
                  exportText(his.results()->displayRows(),
                             totalsValues(his.lblT()->text().toStdString(), MessageTable(folder()).totalsWords()),
                             ExportFormat::Comma));
    });
    ASSERT_EQ(utility.messages.size(), 1u);
    EXPECT_EQ(utility.messages[0].text, QStringLiteral("The list has been exported."));
}

TEST_F(History, DeletingTheOnlyVersionEmptiesTheBoxAndKeepsTheProject)
{
    const auto group = writeGroup();
    open();
    choose(group);
    withHistory([&](frmPubHis& his) {
        ASSERT_EQ(his.cbb(0)->currentText(), QStringLiteral("Alpha"));
        click(his.sbt(HisDeleteVersion));
        EXPECT_TRUE(utility.messages.empty());
        EXPECT_FALSE(std::filesystem::exists(program / "verhis" / "Alpha" / "1.2.3"));
        EXPECT_TRUE(std::filesystem::is_directory(program / "verhis" / "Alpha"));
        EXPECT_EQ(his.cbb(1)->count(), 0);
        EXPECT_EQ(his.results()->rowCount(), 0);
        EXPECT_EQ(his.cbb(0)->currentText(), QStringLiteral("Alpha"));
        // Nothing left to delete: no message, nothing happens.
        click(his.sbt(HisDeleteVersion));
        EXPECT_TRUE(utility.messages.empty());
    });
}

TEST_F(History, DeletingAProjectSelectsTheNextOneAndLoadsItsFirstVersion)
{
    const auto group = writeGroup();
    frmPubMain& w = open();
    choose(group);
    click(w.sbt(BtnNext));
    withHistory([&](frmPubHis& his) {
        his.cbb(0)->setCurrentIndex(his.cbb(0)->findText(QStringLiteral("Alpha")));
        utility.questionAnswers = {true, true};
        click(his.sbt(HisDeleteProject));
        EXPECT_EQ(utility.questions.size(), 1u);
        EXPECT_TRUE(utility.messages.empty());
        EXPECT_FALSE(std::filesystem::exists(program / "verhis" / "Alpha"));
        ASSERT_EQ(his.cbb(0)->count(), 1);
        EXPECT_EQ(his.cbb(0)->currentText(), QStringLiteral("Beta"));
        EXPECT_EQ(his.cbb(1)->currentText(), QStringLiteral("2.0.0"));
        EXPECT_EQ(his.results()->rowCount(), 1);
        click(his.sbt(HisDeleteProject));
        EXPECT_EQ(his.cbb(0)->count(), 0);
        EXPECT_EQ(his.cbb(1)->count(), 0);
        EXPECT_EQ(his.results()->rowCount(), 0);
        EXPECT_TRUE(his.lblT()->text().isEmpty());
        // With no project selected the store folder itself stays, and "DEL" tells it.
        click(his.sbt(HisDeleteProject));
        EXPECT_EQ(utility.questions.size(), 2u); // nothing to ask about
        ASSERT_EQ(utility.messages.size(), 1u);
        EXPECT_EQ(utility.messages[0].icon, MessageIcon::Exclamation);
        EXPECT_TRUE(std::filesystem::is_directory(program / "verhis"));
    });
}

TEST_F(History, AReadOnlySnapshotIsNotDeletedAndDelIsShown)
{
    useEnglishTable();
    const auto group = writeGroup();
    open();
    choose(group);
    const auto file = program / "verhis" / "Alpha" / "1.2.3";
    std::filesystem::permissions(file, std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
    withHistory([&](frmPubHis& his) {
        const QString totals = his.lblT()->text();
        click(his.sbt(HisDeleteVersion));
        ASSERT_EQ(utility.messages.size(), 1u);
        EXPECT_EQ(utility.messages[0].text,
                  QStringLiteral("The item could not be deleted: it is read-only, in use, or you lack the rights."));
        EXPECT_EQ(utility.messages[0].icon, MessageIcon::Exclamation);
        EXPECT_TRUE(std::filesystem::exists(file));
        EXPECT_EQ(his.cbb(1)->currentText(), QStringLiteral("1.2.3"));
        EXPECT_EQ(his.results()->rowCount(), 3);
        EXPECT_EQ(his.lblT()->text(), totals);
        utility.questionAnswers = {true};
        click(his.sbt(HisDeleteProject)); // the read-only file keeps its folder
        EXPECT_EQ(utility.messages.size(), 2u);
        EXPECT_TRUE(std::filesystem::exists(file));
    });
}

TEST_F(History, AnEmptyStoreOpensEmptyAndItsExportSaysNoRecord)
{
    useEnglishTable();
    open();
    withHistory([&](frmPubHis& his) {
        EXPECT_EQ(his.cbb(0)->count(), 0);
        EXPECT_EQ(his.cbb(1)->count(), 0);
        EXPECT_EQ(his.results()->rowCount(), 0);
        EXPECT_TRUE(his.lblT()->text().isEmpty());
        click(his.sbt(HisExport));
        ASSERT_EQ(utility.messages.size(), 1u);
        EXPECT_EQ(utility.messages[0].text, QStringLiteral("There is nothing to export: the list is empty."));
        EXPECT_TRUE(utility.saveDialogs.empty());
    });
}

TEST_F(History, ALastLineWithoutTheTotal2WordShowsNoTotalsAndBadLinesAreSkipped)
{
    useEnglishTable();
    program.write("verhis/P/1.0.0", "a.bas:Module:1:2:0:0:1:1:1:2:2:2\r\n"
                                     "C:\\x.bas:Module:1:2:0:0:1:1:1:2:2:2\r\n"
                                     "\r\n"
                                     ":::::::::::\r\n"
                                     "total: 1 modules\r\n");
    open();
    withHistory([&](frmPubHis& his) {
        EXPECT_EQ(his.results()->rowCount(), 3);
        EXPECT_TRUE(his.lblT()->text().isEmpty());
        click(his.sbt(HisClose));
        EXPECT_FALSE(his.isVisible());
    });
}

} // namespace
} // namespace zorvika::test
