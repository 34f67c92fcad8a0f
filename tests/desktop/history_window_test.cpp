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
    MainWindow& w = open();
    choose(group);
    click(w.button(MainWindow::Command::Next));
    click(w.button(MainWindow::Command::Previous)); // back on Alpha
    const auto mainRows = w.results()->displayRows();
    const QString mainTotals = w.totalsLabel()->text();
    // The same click through the window system reaches the main window when nothing is open above it.
    const std::size_t before = services.openDialogs.size();
    QTest::mouseClick(w.windowHandle(), Qt::LeftButton, {}, w.button(MainWindow::Command::Choose)->geometry().center());
    QApplication::processEvents();
    ASSERT_EQ(services.openDialogs.size(), before + 1);

    withHistory([&](HistoryWindow& his) {
        EXPECT_TRUE(his.isModal());
        EXPECT_EQ(his.parentWidget(), &w);
        EXPECT_EQ(his.designSize(), QSize(702, 341)); // 10530 by 5115 twips
        // The design's size, or wider by what a caption drawn wider needs (Windows' Tahoma).
        EXPECT_EQ(his.size(), his.minimumSize());
        EXPECT_EQ(his.height(), 341);
        EXPECT_LE(his.width(), 702 + 20) << "a few pixels at most";
        EXPECT_EQ(his.windowTitle(), QStringLiteral("Version History"));
        EXPECT_EQ(his.projectLabel()->text(), QStringLiteral("Project:"));
        EXPECT_EQ(his.exportButton()->text(), QStringLiteral("Export"));
        EXPECT_EQ(his.closeButton()->text(), QStringLiteral("Close"));
        QStringList projects;
        for (int i = 0; i < his.projectBox()->count(); ++i)
            projects << his.projectBox()->itemText(i);
        projects.sort();
        EXPECT_EQ(projects, (QStringList{"Alpha", "Beta"}));

        // The user picks Alpha: its version and rows show, with the totals line.
        his.projectBox()->setCurrentIndex(his.projectBox()->findText(QStringLiteral("Alpha")));
        EXPECT_EQ(his.versionBox()->currentText(), QStringLiteral("1.2.3"));
        EXPECT_EQ(his.results()->rowCount(), 3);
        EXPECT_EQ(his.totalsLabel()->text(), mainTotals);
        std::vector<std::string> mainNames;
        for (const auto& r : mainRows)
            mainNames.push_back(r.cells[0]);
        EXPECT_EQ(column(*his.results(), 0), mainNames);

        // While it is open the main window takes no clicks: a click is
        // delivered through the window system, as the user's would be.
        const std::size_t dialogs = services.openDialogs.size();
        services.openAnswers.push_back(QStringLiteral("/nonexistent.vbp"));
        const QPoint onChoose = w.button(MainWindow::Command::Choose)->geometry().center();
        QTest::mouseClick(w.windowHandle(), Qt::LeftButton, {}, onChoose);
        QApplication::processEvents();
        EXPECT_EQ(services.openDialogs.size(), dialogs);
        EXPECT_TRUE(his.isVisible());
    });
    EXPECT_EQ(services.modalCount, 1);
}

TEST_F(History, HeaderClicksFlipTheOrderStartingFromColumnZeroAscending)
{
    const auto group = writeGroup();
    open();
    choose(group);
    withHistory([&](HistoryWindow& his) {
        EXPECT_EQ(his.results()->sortState().column, 0);
        EXPECT_FALSE(his.results()->sortState().descending);
        EXPECT_EQ(column(*his.results(), 0), (std::vector<std::string>{"Class1.cls", "Missing.frm", "Module1.bas"}));
        clickHeader(his.resultsView(), ColP);
        EXPECT_EQ(his.results()->sortState().column, ColP);
        EXPECT_TRUE(his.results()->sortState().descending);
        EXPECT_EQ(column(*his.results(), ColP), (std::vector<std::string>{"6", "3", ""}));
        clickHeader(his.resultsView(), ColModule);
        EXPECT_FALSE(his.results()->sortState().descending);
        EXPECT_EQ(column(*his.results(), 0), (std::vector<std::string>{"Class1.cls", "Missing.frm", "Module1.bas"}));
    });
}

TEST_F(History, ExportsTheShownSnapshotUnderItsOwnProjectAndVersion)
{
    useEnglishTable();
    const auto group = writeGroup();
    MainWindow& w = open();
    choose(group);
    click(w.button(MainWindow::Command::Next)); // the main window now shows Beta
    const auto target = sources / "alpha.csv";
    withHistory([&](HistoryWindow& his) {
        his.projectBox()->setCurrentIndex(his.projectBox()->findText(QStringLiteral("Alpha")));
        services.saveAnswers.push_back(QString::fromStdString(target.string()));
        click(his.exportButton());
        ASSERT_EQ(services.saveDialogs.size(), 1u);
        EXPECT_EQ(services.saveDialogs[0].proposedName, QString::fromStdString("Alpha_1.2.3_" + todayText()));
        EXPECT_EQ(readFile(target),
                  exportText(his.results()->displayRows(),
                             totalsValues(his.totalsLabel()->text().toStdString(), MessageTable(folder()).totalsWords()),
                             ExportFormat::Comma));
    });
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].text, QStringLiteral("The list has been exported."));
}

TEST_F(History, DeletingTheOnlyVersionEmptiesTheBoxAndKeepsTheProject)
{
    const auto group = writeGroup();
    open();
    choose(group);
    withHistory([&](HistoryWindow& his) {
        ASSERT_EQ(his.projectBox()->currentText(), QStringLiteral("Alpha"));
        click(his.deleteVersionButton());
        EXPECT_TRUE(services.messages.empty());
        EXPECT_FALSE(std::filesystem::exists(program / "verhis" / "Alpha" / "1.2.3"));
        EXPECT_TRUE(std::filesystem::is_directory(program / "verhis" / "Alpha"));
        EXPECT_EQ(his.versionBox()->count(), 0);
        EXPECT_EQ(his.results()->rowCount(), 0);
        EXPECT_EQ(his.projectBox()->currentText(), QStringLiteral("Alpha"));
        // Nothing left to delete: no message, nothing happens.
        click(his.deleteVersionButton());
        EXPECT_TRUE(services.messages.empty());
    });
}

TEST_F(History, DeletingAProjectSelectsTheNextOneAndLoadsItsFirstVersion)
{
    const auto group = writeGroup();
    MainWindow& w = open();
    choose(group);
    click(w.button(MainWindow::Command::Next));
    withHistory([&](HistoryWindow& his) {
        his.projectBox()->setCurrentIndex(his.projectBox()->findText(QStringLiteral("Alpha")));
        services.questionAnswers = {true, true};
        click(his.deleteProjectButton());
        EXPECT_EQ(services.questions.size(), 1u);
        EXPECT_TRUE(services.messages.empty());
        EXPECT_FALSE(std::filesystem::exists(program / "verhis" / "Alpha"));
        ASSERT_EQ(his.projectBox()->count(), 1);
        EXPECT_EQ(his.projectBox()->currentText(), QStringLiteral("Beta"));
        EXPECT_EQ(his.versionBox()->currentText(), QStringLiteral("2.0.0"));
        EXPECT_EQ(his.results()->rowCount(), 1);
        click(his.deleteProjectButton());
        EXPECT_EQ(his.projectBox()->count(), 0);
        EXPECT_EQ(his.versionBox()->count(), 0);
        EXPECT_EQ(his.results()->rowCount(), 0);
        EXPECT_TRUE(his.totalsLabel()->text().isEmpty());
        // With no project selected the store folder itself stays, and "DEL" tells it.
        click(his.deleteProjectButton());
        EXPECT_EQ(services.questions.size(), 2u); // nothing to ask about
        ASSERT_EQ(services.messages.size(), 1u);
        EXPECT_EQ(services.messages[0].icon, MessageIcon::Warning);
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
    withHistory([&](HistoryWindow& his) {
        const QString totals = his.totalsLabel()->text();
        click(his.deleteVersionButton());
        ASSERT_EQ(services.messages.size(), 1u);
        EXPECT_EQ(services.messages[0].text,
                  QStringLiteral("The item could not be deleted: it is read-only, in use, or you lack the rights."));
        EXPECT_EQ(services.messages[0].icon, MessageIcon::Warning);
        EXPECT_TRUE(std::filesystem::exists(file));
        EXPECT_EQ(his.versionBox()->currentText(), QStringLiteral("1.2.3"));
        EXPECT_EQ(his.results()->rowCount(), 3);
        EXPECT_EQ(his.totalsLabel()->text(), totals);
        services.questionAnswers = {true};
        click(his.deleteProjectButton()); // the read-only file keeps its folder
        EXPECT_EQ(services.messages.size(), 2u);
        EXPECT_TRUE(std::filesystem::exists(file));
    });
}

TEST_F(History, AnEmptyStoreOpensEmptyAndItsExportSaysNoRecord)
{
    useEnglishTable();
    open();
    withHistory([&](HistoryWindow& his) {
        EXPECT_EQ(his.projectBox()->count(), 0);
        EXPECT_EQ(his.versionBox()->count(), 0);
        EXPECT_EQ(his.results()->rowCount(), 0);
        EXPECT_TRUE(his.totalsLabel()->text().isEmpty());
        click(his.exportButton());
        ASSERT_EQ(services.messages.size(), 1u);
        EXPECT_EQ(services.messages[0].text, QStringLiteral("There is nothing to export: the list is empty."));
        EXPECT_TRUE(services.saveDialogs.empty());
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
    withHistory([&](HistoryWindow& his) {
        EXPECT_EQ(his.results()->rowCount(), 3);
        EXPECT_TRUE(his.totalsLabel()->text().isEmpty());
        click(his.closeButton());
        EXPECT_FALSE(his.isVisible());
    });
}

} // namespace
} // namespace zorvika::test

namespace zorvika::test {
namespace {

// Whatever the history lists can be shown and deleted: versions whose names
// the program itself would not store (a backslash, a leading space) go from
// the disk when deleted, and the box lists the versions in version order.
TEST_F(History, EveryListedVersionIsShownAndDeletedInVersionOrder)
{
    useEnglishTable();
    const auto group = writeGroup();
    open();
    choose(group);
    const std::string stored = readFile(program / "verhis" / "Alpha" / "1.2.3");
    // A backslash in a version is a file name's character on POSIX systems
    // only; on Windows it parts folders.
#ifdef _WIN32
    const std::vector<const char*> odd = {" lead"};
    const QStringList oddListed = {" lead"};
#else
    const std::vector<const char*> odd = {"a\\b", " lead"};
    const QStringList oddListed = {" lead", "a\\b"};
#endif
    for (const char* version : odd)
        program.write(std::string("verhis/Alpha/") + version, stored);
    for (const char* version : {"1.2.12", "1.2.119"})
        program.write(std::string("verhis/Alpha/") + version, stored);
    click(main->button(MainWindow::Command::Next)); // Beta, stored after Alpha
    withHistory([&](HistoryWindow& his) {
        // It opens on the project the main window shows, not on the first one.
        EXPECT_EQ(his.projectBox()->currentText(), QStringLiteral("Beta"));
        his.projectBox()->setCurrentIndex(his.projectBox()->findText(QStringLiteral("Alpha")));
        QStringList listed;
        for (int i = 0; i < his.versionBox()->count(); ++i)
            listed << his.versionBox()->itemText(i);
        EXPECT_EQ(listed, QStringList({"1.2.3", "1.2.12", "1.2.119"}) + oddListed);
        for (const char* version : odd) {
            SCOPED_TRACE(version);
            his.versionBox()->setCurrentIndex(his.versionBox()->findText(QString::fromLatin1(version)));
            EXPECT_EQ(his.results()->rowCount(), 3);
            click(his.deleteVersionButton());
            EXPECT_TRUE(services.messages.empty()) << services.messages.front().text.toStdString();
            EXPECT_FALSE(std::filesystem::exists(program / "verhis" / "Alpha" / version));
            EXPECT_EQ(his.versionBox()->findText(QString::fromLatin1(version)), -1);
        }
    });
}

} // namespace
} // namespace zorvika::test
