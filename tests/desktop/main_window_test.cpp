// The main window driven as a user drives it: start-up, choose, next,
// previous, column clicks, links, help and the property boxes.
#include "gui_fixture.h"

#include "analysis/line_counter.h"
#include "output/snapshot_format.h"
#include "output/snapshot_store.h"
#include "desktop/help_window.h"
#include "desktop/links.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTextBrowser>

namespace zorvika::test {
namespace {

using Main = GuiTest;

TEST_F(Main, FirstStartInAnEmptyFolderCreatesTheWorkFilesAndShowsEmptyCaptions)
{
    MainWindow& w = open();
    EXPECT_TRUE(std::filesystem::is_directory(program / "tempprjfiles"));
    EXPECT_TRUE(std::filesystem::is_directory(program / "verhis"));
    ASSERT_TRUE(std::filesystem::is_regular_file(program / "tips.dll"));
    EXPECT_EQ(std::filesystem::file_size(program / "tips.dll"), 0u);
    EXPECT_EQ(w.windowTitle(), QString());
    EXPECT_EQ(w.button(MainWindow::Command::Choose)->text(), QString());
    EXPECT_EQ(w.button(MainWindow::Command::Previous)->text(), QStringLiteral("<"));
    EXPECT_EQ(w.button(MainWindow::Command::Next)->text(), QStringLiteral(">"));
    EXPECT_EQ(w.positionBox()->text(), QStringLiteral("  0/0"));
    const QStringList fixed = {"P", "A", "C", "B", "P - C", "P - B", "P - C - B", "A - C", "A - B", "A - C - B"};
    for (int c = 2; c < 12; ++c)
        EXPECT_EQ(w.results()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(), fixed[c - 2]);
    for (int i = 0; i < 8; ++i)
        EXPECT_TRUE(w.propertyBox(i)->text().isEmpty());
}

TEST_F(Main, CaptionsComeFromTheMessageTable)
{
    useEnglishTable();
    MainWindow& w = open();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("ZORVIKA - VB6 Code Line Counter"));
    EXPECT_EQ(w.button(MainWindow::Command::Choose)->text(), QStringLiteral("Choose Project/Group"));
    EXPECT_EQ(w.button(MainWindow::Command::History)->text(), QStringLiteral("Version History"));
    EXPECT_EQ(w.button(MainWindow::Command::Export)->text(), QStringLiteral("Export"));
    EXPECT_EQ(w.button(MainWindow::Command::Exit)->text(), QStringLiteral("Exit"));
    EXPECT_EQ(w.projectFrame()->title(), QStringLiteral("Project"));
    EXPECT_EQ(w.propertyLabel(0)->text(), QStringLiteral("Name:"));
    EXPECT_EQ(w.propertyLabel(7)->text(), QStringLiteral("Trademarks:"));
    EXPECT_EQ(w.results()->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Module"));
    EXPECT_EQ(w.results()->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Type"));
}

TEST_F(Main, OpensAtTheLayoutsSizeAndNeverShrinksBelowIt)
{
    MainWindow& w = open();
    EXPECT_EQ(w.size(), QSize(701, 579)); // 10515 by 8685 twips
    w.resize(300, 200);
    QApplication::processEvents();
    EXPECT_EQ(w.size(), QSize(701, 579));
    EXPECT_EQ(w.minimumSize(), QSize(701, 579));
}

TEST_F(Main, ChooseCountsTheFirstProjectOfTheGroupAndStoresItsSnapshot)
{
    useEnglishTable();
    const auto group = writeGroup();
    MainWindow& w = open();
    choose(group);

    ASSERT_EQ(services.openDialogs.size(), 1u);
    EXPECT_EQ(services.openDialogs[0].title, QStringLiteral("Choose VB Project/Group"));
    // Projects and groups together first, then the two types on their own.
    EXPECT_EQ(qtNameFilters(services.openDialogs[0].types),
              (QStringList{"VB Project or Group (*.vbp *.vbg)", "VB Project (*.vbp)", "VB Project Group (*.vbg)"}));
    EXPECT_TRUE(services.messages.empty());
    EXPECT_EQ(w.positionBox()->text(), QStringLiteral("  1/3"));
    EXPECT_EQ(w.propertyBox(0)->text(), QStringLiteral("Alpha"));
    EXPECT_EQ(w.propertyBox(1)->text(), QStringLiteral("1.2.3"));
    EXPECT_EQ(w.propertyBox(5)->text(), QStringLiteral("Firma"));

    // Sorted by column 0 ascending: Class1.cls, Missing.frm, Module1.bas.
    ASSERT_EQ(w.results()->rowCount(), 3);
    EXPECT_EQ(column(*w.results(), 0), (std::vector<std::string>{"Class1.cls", "Missing.frm", "Module1.bas"}));
    EXPECT_EQ(column(*w.results(), 1), (std::vector<std::string>{"ClassModule", "Invalid", "Module"}));
    const ModuleRow& bas = w.results()->displayRow(2);
    EXPECT_EQ(bas.cells[ColA], "4");
    EXPECT_EQ(bas.cells[ColP], "3");
    EXPECT_EQ(bas.cells[ColC], "1");
    EXPECT_EQ(bas.cells[ColB], "1");
    EXPECT_EQ(w.results()->data(w.results()->index(2, ColA), Qt::DisplayRole).toString(), QStringLiteral("4"));
    EXPECT_TRUE(w.totalsLabel()->text().startsWith(QStringLiteral("Total: 3 modules: ")));
    EXPECT_TRUE(w.totalsLabel()->text().endsWith(QStringLiteral(" (columns P to A - C - B)")));

    // The snapshot holds the rows in the list's order and the totals line last.
    const std::string stored = readFile(program / "verhis" / "Alpha" / "1.2.3");
    EXPECT_EQ(stored, snapshotText(w.results()->displayRows(), w.totalsLabel()->text().toStdString()));
    EXPECT_NE(stored.find("Missing.frm:Invalid::::::::::"), std::string::npos);
}

TEST_F(Main, NextAndPreviousMoveThroughTheGroupAndStopAtItsEnds)
{
    useEnglishTable();
    const auto group = writeGroup();
    MainWindow& w = open();
    click(w.button(MainWindow::Command::Previous)); // nothing chosen yet
    EXPECT_EQ(w.positionBox()->text(), QStringLiteral("  0/0"));
    choose(group);
    click(w.button(MainWindow::Command::Previous));
    EXPECT_EQ(w.positionBox()->text(), QStringLiteral("  1/3"));
    EXPECT_EQ(w.propertyBox(0)->text(), QStringLiteral("Alpha"));

    click(w.button(MainWindow::Command::Next));
    EXPECT_EQ(w.positionBox()->text(), QStringLiteral("  2/3"));
    EXPECT_EQ(w.propertyBox(0)->text(), QStringLiteral("Beta"));
    EXPECT_EQ(w.results()->rowCount(), 1);
    click(w.button(MainWindow::Command::Next));
    EXPECT_EQ(w.positionBox()->text(), QStringLiteral("  3/3"));
    EXPECT_EQ(w.propertyBox(0)->text(), QStringLiteral("Gamma"));
    // c.vbp names a module in another folder relative to its own.
    ASSERT_EQ(w.results()->rowCount(), 1);
    EXPECT_EQ(w.results()->displayRow(0).cells[ColA], "4");
    click(w.button(MainWindow::Command::Next));
    EXPECT_EQ(w.positionBox()->text(), QStringLiteral("  3/3"));
    EXPECT_EQ(w.propertyBox(0)->text(), QStringLiteral("Gamma"));

    click(w.button(MainWindow::Command::Previous));
    EXPECT_EQ(w.positionBox()->text(), QStringLiteral("  2/3"));
    EXPECT_EQ(w.propertyBox(0)->text(), QStringLiteral("Beta"));
    for (const char* p : {"Alpha/1.2.3", "Beta/2.0.0", "Gamma/0.0.1"})
        EXPECT_TRUE(std::filesystem::is_regular_file(program / "verhis" / p)) << p;
}

TEST_F(Main, ASingleProjectShowsOneOfOneAndPreviousAndNextDoNothing)
{
    writeGroup();
    MainWindow& w = open();
    choose(sources / "B/b.vbp");
    EXPECT_EQ(w.positionBox()->text(), QStringLiteral("  1/1"));
    click(w.button(MainWindow::Command::Next));
    click(w.button(MainWindow::Command::Previous));
    EXPECT_EQ(w.positionBox()->text(), QStringLiteral("  1/1"));
    EXPECT_EQ(w.propertyBox(0)->text(), QStringLiteral("Beta"));
}

// The windows show the application icon that is installed under hicolor.
TEST_F(Main, TheWindowsShowTheInstalledApplicationIcon)
{
    MainWindow& w = open();
    const QImage installed = QImage(QString::fromStdString(
        (std::filesystem::path(ZORVIKA_SOURCE_DIR) / "resources/icons/hicolor/48x48/apps/zorvika.png").string()))
                                 .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    ASSERT_FALSE(installed.isNull());
    const QImage shown = w.windowIcon().pixmap(48, 48).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(shown.size(), installed.size());
    EXPECT_TRUE(shown == installed) << "the icon differs from resources/icons/hicolor/48x48/apps/zorvika.png";
}

// "zorvika FILE" (the desktop entry's %f, "Open with"): no dialog, the same
// road as a choice in it, failures told the same way.
TEST_F(Main, AFileGivenToTheProgramOpensAsIfChosenInTheDialog)
{
    useEnglishTable();
    const auto group = writeGroup();
    MainWindow& w = open();
    w.chooseFile(QString::fromStdString(group.string()));
    EXPECT_TRUE(services.openDialogs.empty());
    EXPECT_TRUE(services.messages.empty());
    EXPECT_EQ(w.positionBox()->text(), QStringLiteral("  1/3"));
    EXPECT_EQ(w.propertyBox(0)->text(), QStringLiteral("Alpha"));
    EXPECT_EQ(readFile(program / "verhis" / "Alpha" / "1.2.3"),
              snapshotText(w.results()->displayRows(), w.totalsLabel()->text().toStdString()));

    w.chooseFile(QString::fromStdString((sources / "nowhere.vbp").string()));
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_TRUE(services.messages[0].text.contains(QStringLiteral("nowhere.vbp")));
    EXPECT_EQ(w.selection().size(), 3u);
}

TEST_F(Main, CancellingTheOpenDialogKeepsTheSelectionAndTheResults)
{
    const auto group = writeGroup();
    MainWindow& w = open();
    choose(group);
    const auto rows = w.results()->displayRows();
    click(w.button(MainWindow::Command::Choose)); // no answer: cancelled
    EXPECT_EQ(services.openDialogs.size(), 2u);
    EXPECT_EQ(w.positionBox()->text(), QStringLiteral("  1/3"));
    EXPECT_EQ(w.results()->rowCount(), static_cast<int>(rows.size()));
    EXPECT_TRUE(services.messages.empty());
}

TEST_F(Main, AnUnreadableChoiceIsToldAndKeepsTheEarlierSelection)
{
    const auto group = writeGroup();
    MainWindow& w = open();
    choose(group);
    choose(sources / "nowhere.vbg");
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_TRUE(services.messages[0].text.contains(QStringLiteral("nowhere.vbg")));
    EXPECT_EQ(services.messages[0].icon, MessageIcon::Warning);
    EXPECT_EQ(w.positionBox()->text(), QStringLiteral("  1/3"));
    EXPECT_EQ(w.selection().size(), 3u);
}

// What could not be read or written is told with the table's words, and
// the window keeps what it showed where nothing new was counted.
TEST_F(Main, FailuresOfTheCountingRoadAreToldInAWarningBox)
{
    useEnglishTable();
    writeGroup();
    const auto group = sources.write("broken.vbg", "VBGROUP 5.0\r\nProject=B\\b.vbp\r\nProject=gone.vbp\r\n");
    MainWindow& w = open();
    const QString noProject = w.context().text("NOPROJECT");
    const QString noSave = w.context().text("NOSAVE");
    const QString noChoice = w.context().text("NOCOPY");
    ASSERT_FALSE(noProject.isEmpty() || noSave.isEmpty() || noChoice.isEmpty());

    choose(group);
    EXPECT_TRUE(services.messages.empty());
    click(w.button(MainWindow::Command::Next));
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_TRUE(services.messages[0].text.startsWith(noProject));
    EXPECT_TRUE(services.messages[0].text.contains(QStringLiteral("gone.vbp")));

    // A version that cannot name a file: counted and shown, not stored.
    sources.write("d.vbp", "Name=\"Delta\"\r\nModule=M; A\\Module1.bas\r\n");
    choose(sources / "d.vbp");
    ASSERT_EQ(services.messages.size(), 2u);
    EXPECT_TRUE(services.messages[1].text.startsWith(noSave));
    EXPECT_EQ(w.results()->rowCount(), 1);

    // No working copy can be written: the earlier results stay.
    std::filesystem::remove_all(program / "tempprjfiles");
    program.write("tempprjfiles", "in the way");
    choose(sources / "B/b.vbp");
    ASSERT_EQ(services.messages.size(), 3u);
    EXPECT_TRUE(services.messages[2].text.startsWith(noChoice));
    EXPECT_EQ(w.propertyBox(0)->text(), QStringLiteral("Delta"));
}

TEST_F(Main, HeaderClicksFlipTheOrderWhicheverColumnIsClicked)
{
    const auto group = writeGroup();
    MainWindow& w = open();
    choose(group);
    clickHeader(w.resultsView(), ColA); // column 3, descending as text
    EXPECT_EQ(w.results()->sortState().column, ColA);
    EXPECT_TRUE(w.results()->sortState().descending);
    EXPECT_EQ(column(*w.results(), ColA), (std::vector<std::string>{"4", "11", ""}));
    EXPECT_EQ(w.resultsView()->header()->sortIndicatorSection(), ColA);
    EXPECT_EQ(w.resultsView()->header()->sortIndicatorOrder(), Qt::DescendingOrder);
    clickHeader(w.resultsView(), ColA);
    EXPECT_FALSE(w.results()->sortState().descending);
    EXPECT_EQ(column(*w.results(), ColA), (std::vector<std::string>{"", "11", "4"}));
    clickHeader(w.resultsView(), ColModule); // another column: the order flips again
    EXPECT_TRUE(w.results()->sortState().descending);
    EXPECT_EQ(column(*w.results(), 0), (std::vector<std::string>{"Module1.bas", "Missing.frm", "Class1.cls"}));
    EXPECT_EQ(w.resultsView()->header()->sortIndicatorOrder(), Qt::DescendingOrder);

    // The next run shows and stores its rows in that order.
    click(w.button(MainWindow::Command::Next));
    click(w.button(MainWindow::Command::Previous));
    EXPECT_EQ(column(*w.results(), 0), (std::vector<std::string>{"Module1.bas", "Missing.frm", "Class1.cls"}));
    const std::string stored = readFile(program / "verhis" / "Alpha" / "1.2.3");
    EXPECT_EQ(stored.rfind("Module1.bas:", 0), 0u);
}

TEST_F(Main, AHeaderClickOnTheEmptyListOnlySetsTheSortForTheNextRun)
{
    const auto group = writeGroup();
    MainWindow& w = open();
    clickHeader(w.resultsView(), ColType);
    EXPECT_EQ(w.results()->rowCount(), 0);
    choose(group);
    EXPECT_EQ(column(*w.results(), ColType), (std::vector<std::string>{"Module", "Invalid", "ClassModule"}));
}

TEST_F(Main, APropertyBoxSelectsItsWholeTextWhenItGetsTheFocus)
{
    const auto group = writeGroup();
    MainWindow& w = open();
    choose(group);
    w.activateWindow();
    w.propertyBox(0)->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    EXPECT_EQ(w.propertyBox(0)->selectedText(), QStringLiteral("Alpha"));
    w.propertyBox(2)->setFocus(Qt::TabFocusReason); // empty product name
    QApplication::processEvents();
    EXPECT_EQ(w.propertyBox(2)->selectedText(), QString());
    w.propertyBox(1)->setFocus(Qt::MouseFocusReason);
    QApplication::processEvents();
    EXPECT_EQ(w.propertyBox(1)->selectedText(), QStringLiteral("1.2.3"));
}

TEST_F(Main, LinkButtonsOpenTheProductsPages)
{
    MainWindow& w = open();
    for (auto command : {MainWindow::Command::Forum, MainWindow::Command::Home, MainWindow::Command::Mail,
                         MainWindow::Command::VersionCheck})
        click(w.button(command));
    ASSERT_EQ(services.links.size(), 4u);
    EXPECT_EQ(services.links[0], links::kForum);
    EXPECT_EQ(services.links[1], links::kProductHome);
    EXPECT_EQ(services.links[2], QStringLiteral("mailto:support@zorvika.example"));
    EXPECT_EQ(services.links[3],
              QStringLiteral("https://zorvika.example/newver.php?ver=1.00 Build 20080511&prod=ZORVIKA"));
}

TEST_F(Main, HelpOpensOneWindowAndASecondClickBringsItForward)
{
    std::filesystem::create_directories(program / "help");
    program.write("help/index.html", "<html><head><title>x</title></head><body><h1>ZORVIKA</h1></body></html>");
    MainWindow& w = open();
    click(w.button(MainWindow::Command::Help));
    QApplication::processEvents();
    ASSERT_NE(w.context().helpWindow(), nullptr);
    EXPECT_EQ(w.context().helpWindow()->windowTitle(), QStringLiteral("ZORVIKA Help"));
    EXPECT_TRUE(w.context().helpWindow()->browser()->toPlainText().contains(QStringLiteral("ZORVIKA")));
    HelpWindow* first = w.context().helpWindow();
    click(w.button(MainWindow::Command::Help));
    QApplication::processEvents();
    EXPECT_EQ(w.context().helpWindow(), first);
    EXPECT_EQ(countTopLevelWindows(QStringLiteral("ZORVIKA Help")), 1);
    ASSERT_EQ(services.countedTitles.size(), 2u);
    EXPECT_EQ(services.countedTitles[1], QStringLiteral("ZORVIKA Help"));

    // Closed, it can be opened again.
    first->close();
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(w.context().helpWindow(), nullptr);
    click(w.button(MainWindow::Command::Help));
    EXPECT_NE(w.context().helpWindow(), nullptr);
}

TEST_F(Main, AMissingHelpFileIsToldByTheHelpWindow)
{
    useEnglishTable();
    MainWindow& w = open();
    click(w.button(MainWindow::Command::Help));
    ASSERT_NE(w.context().helpWindow(), nullptr);
    EXPECT_TRUE(w.context().helpWindow()->browser()->toPlainText().contains(QStringLiteral("not found")));
}

TEST_F(Main, ExitClosesTheWindowAndKeepsTheWorkFiles)
{
    const auto group = writeGroup();
    MainWindow& w = open();
    choose(group);
    std::filesystem::remove_all(program / "tempprjfiles" / "nothing");
    click(w.button(MainWindow::Command::Exit));
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(std::filesystem::is_directory(program / "verhis" / "Alpha"));
    EXPECT_FALSE(std::filesystem::is_empty(program / "tempprjfiles"));
}

TEST_F(Main, AnEmptyMessageTableLeavesTheProgramUsable)
{
    const auto group = writeGroup();
    MainWindow& w = open();
    choose(group);
    EXPECT_EQ(w.results()->rowCount(), 3);
    EXPECT_TRUE(w.totalsLabel()->text().startsWith(QStringLiteral("3")));
    EXPECT_TRUE(std::filesystem::is_regular_file(program / "verhis" / "Alpha" / "1.2.3"));
}

TEST_F(Main, TheGermanTableTranslatesTheProgramWhenItReplacesTipsDll)
{
    program.write("tips.dll", readFile(std::string(ZORVIKA_SOURCE_DIR) + "/resources/tips.de.dll"));
    const auto group = writeGroup();
    MainWindow& w = open();
    EXPECT_EQ(w.button(MainWindow::Command::Exit)->text(), QStringLiteral("Beenden"));
    EXPECT_EQ(w.propertyLabel(5)->text(), QStringLiteral("Firmenname:"));
    choose(group);
    EXPECT_TRUE(w.totalsLabel()->text().startsWith(QStringLiteral("Summe: 3 Module: "))) << w.totalsLabel()->text().toStdString();
    withHistory([&](HistoryWindow& his) {
        EXPECT_EQ(his.windowTitle(), QStringLiteral("Versionsverlauf"));
        EXPECT_EQ(his.totalsLabel()->text(), w.totalsLabel()->text()); // "Summe" is TOTAL2
    });
}

TEST_F(Main, TheCorpusGroupCountsEveryProject)
{
    useEnglishTable();
    MainWindow& w = open();
    choose(corpus("SSTabEx/Group1.vbg"));
    ASSERT_TRUE(services.messages.empty());
    EXPECT_EQ(w.positionBox()->text(), QStringLiteral("  1/2"));
    EXPECT_GT(w.results()->rowCount(), 0);
    for (const ModuleRow& row : w.results()->displayRows())
        EXPECT_NE(row.cells[ColType], "Invalid") << row.cells[0];
    click(w.button(MainWindow::Command::Next));
    EXPECT_EQ(w.positionBox()->text(), QStringLiteral("  2/2"));
    EXPECT_GT(w.results()->rowCount(), 0);
}

} // namespace
} // namespace zorvika::test
