// The export of the main window's list: the messages, the save dialog and
// the files it writes.
#include "gui_fixture.h"

#include "output/export.h"
#include "widgets/busy_box.h"

#include <QTimer>

#include <atomic>
#include <chrono>
#include <thread>

#include <QLabel>
#include <QLineEdit>

namespace zorvika::test {
namespace {

using Export = GuiTest;

// A spreadsheet application that writes its cells as lines, to see what it was given.
class FakeSheet final : public Spreadsheet {
public:
    bool available() override { return true; }
    Outcome write(const std::filesystem::path& path, const SheetCells& cells) override
    {
        std::ofstream out(path, std::ios::binary);
        for (const auto& row : cells) {
            for (const auto& cell : row)
                out << cell << '|';
            out << '\n';
        }
        return {};
    }
};

// A spreadsheet application that takes its time: it writes only when released.
class SlowSheet final : public Spreadsheet {
public:
    std::atomic<bool> released{false};
    bool available() override { return true; }
    Outcome write(const std::filesystem::path& path, const SheetCells&) override
    {
        while (!released)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        std::ofstream(path, std::ios::binary) << "sheet";
        return {};
    }
};

TEST_F(Export, WhileTheSpreadsheetIsWrittenABusyBoxAndTheWaitCursorShow)
{
    useEnglishTable();
    const auto group = writeGroup();
    SlowSheet* slow = nullptr;
    open([&] {
        auto sheet = std::make_unique<SlowSheet>();
        slow = sheet.get();
        return sheet;
    });
    choose(group);
    const auto target = sources / "book.xls";
    services.saveAnswers.push_back(QString::fromStdString(target.string()));
    bool seen = false;
    bool waitCursor = false;
    bool stayedOnEscape = false;
    QTimer::singleShot(100, [&] {
        auto* box = qobject_cast<BusyBox*>(QApplication::activeModalWidget());
        seen = box && box->isVisible() && box->text() == QStringLiteral("Writing the spreadsheet...");
        waitCursor = QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
        if (box) {
            QTest::keyClick(box, Qt::Key_Escape);
            stayedOnEscape = box->isVisible();
        }
        slow->released = true;
    });
    click(main->button(MainWindow::Command::Export));
    EXPECT_TRUE(seen);
    EXPECT_TRUE(waitCursor);
    EXPECT_TRUE(stayedOnEscape) << "Escape must not end the box before the work";
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(readFile(target), "sheet");
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].text, QStringLiteral("The list has been exported."));
}

TEST_F(Export, AnEmptyListShowsNoRecordBeforeAnyDialog)
{
    useEnglishTable();
    MainWindow& w = open();
    click(w.button(MainWindow::Command::Export));
    EXPECT_TRUE(services.saveDialogs.empty());
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].text, QStringLiteral("There is nothing to export: the list is empty."));
    EXPECT_EQ(services.messages[0].icon, MessageIcon::Information);
}

TEST_F(Export, TheListIsWrittenAsTabTextWithTheTotalsRow)
{
    useEnglishTable();
    const auto group = writeGroup();
    MainWindow& w = open();
    choose(group);
    const auto target = sources / "out.txt";
    services.saveAnswers.push_back(QString::fromStdString(target.string()));
    click(w.button(MainWindow::Command::Export));

    ASSERT_EQ(services.saveDialogs.size(), 1u);
    const RecordedDialog& d = services.saveDialogs[0];
    EXPECT_EQ(d.title, QStringLiteral("Export List"));
    EXPECT_EQ(d.proposedName, QString::fromStdString("Alpha_1.2.3_" + todayText()));
    EXPECT_EQ(d.type, 0); // tab text, until another type is chosen
    EXPECT_EQ(d.types, (FileTypes{{"Text File (Tab Separated) (*.txt)", "*.txt"},
                                  {"Comma Separated Values (*.csv)", "*.csv"},
                                  {"Excel Workbook (*.xls)", "*.xls"},
                                  {"Excel Workbook 2007 (*.xlsx)", "*.xlsx"},
                                  {"All Files (*.*)", "*.*"}}));
    EXPECT_EQ(qtNameFilters(d.types).last(), QStringLiteral("All Files (*)"));

    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].text, QStringLiteral("The list has been exported."));
    const std::string text = readFile(target);
    EXPECT_EQ(text, exportText(w.results()->displayRows(),
                               totalsValues(w.totalsLabel()->text().toStdString(), MessageTable(folder()).totalsWords()),
                               ExportFormat::Tab));
    EXPECT_EQ(text.rfind("Module File\tType\tP\tA\t", 0), 0u);
    EXPECT_NE(text.find("\r\n \tTotal\t"), std::string::npos);
}

TEST_F(Export, AnUpperCaseCsvEndingGivesTheCommaFile)
{
    useEnglishTable();
    const auto group = writeGroup();
    MainWindow& w = open();
    choose(group);
    const auto target = sources / "OUT.CSV";
    services.saveAnswers.push_back(QString::fromStdString(target.string()));
    click(w.button(MainWindow::Command::Export));
    const std::string text = readFile(target);
    EXPECT_EQ(text.rfind("Module File,Type,P,A,C,B,", 0), 0u);
    EXPECT_NE(text.find("\r\n ,Total,"), std::string::npos);
}

TEST_F(Export, CancellingTheSaveDialogWritesNothingAndSaysNothing)
{
    const auto group = writeGroup();
    MainWindow& w = open();
    choose(group);
    click(w.button(MainWindow::Command::Export));
    EXPECT_EQ(services.saveDialogs.size(), 1u);
    EXPECT_TRUE(services.messages.empty());
}

// A file that cannot be written is named with the reason instead of a
// success; the system's common reasons are said in the table's language.
TEST_F(Export, AFileThatCannotBeWrittenIsNamedWithTheReasonInTheTablesWords)
{
    const auto group = writeGroup();
    const struct {
        std::filesystem::path target;
        const char* reasonKey;
    } cases[] = {{sources / "no-such-folder" / "out.txt", "SYS NOFILE"}, {"/dev/full", "SYS FULL"}};
    for (const char* table : {"tips.dll", "tips.de.dll"}) {
        program.write("tips.dll", readFile(std::string(ZORVIKA_SOURCE_DIR) + "/resources/" + table));
        MainWindow& w = open();
        choose(group);
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(table) + " " + c.target.string());
            services.messages.clear();
            services.saveAnswers.push_back(QString::fromStdString(c.target.string()));
            click(w.button(MainWindow::Command::Export));
            ASSERT_EQ(services.messages.size(), 1u);
            const QString& said = services.messages[0].text;
            EXPECT_EQ(services.messages[0].icon, MessageIcon::Warning);
            EXPECT_TRUE(said.startsWith(w.context().text("EXPORT FAIL")));
            EXPECT_TRUE(said.contains(QString::fromStdString(c.target.string())));
            EXPECT_TRUE(said.endsWith(w.context().text(c.reasonKey))) << said.toStdString();
            EXPECT_FALSE(said.contains(QStringLiteral("directory")) || said.contains(QStringLiteral("device")))
                << "the system's own words are replaced: " << said.toStdString();
        }
        EXPECT_FALSE(std::filesystem::exists(cases[0].target));
    }
}

TEST_F(Export, WithoutASpreadsheetApplicationAnXlsExportSaysExcelAndKeepsTheOldFile)
{
    useEnglishTable();
    const auto group = writeGroup();
    // The system's spreadsheet may be real: this window has none.
    open([] { return std::make_unique<NoSpreadsheet>(); });
    choose(group);
    const auto target = sources.write("old.XLS", "old");
    services.saveAnswers.push_back(QString::fromStdString(target.string()));
    click(main->button(MainWindow::Command::Export));
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].text, QStringLiteral("The spreadsheet application cannot be started. Nothing was written."));
    EXPECT_EQ(services.messages[0].icon, MessageIcon::None);
    EXPECT_EQ(readFile(target), "old");
}

TEST_F(Export, AnXlsExportHandsTheCellsToTheSpreadsheet)
{
    useEnglishTable();
    const auto group = writeGroup();
    open([] { return std::make_unique<FakeSheet>(); });
    choose(group);
    const auto target = sources / "book.xls";
    services.saveAnswers.push_back(QString::fromStdString(target.string()));
    click(main->button(MainWindow::Command::Export));
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].text, QStringLiteral("The list has been exported."));
    const std::string sheet = readFile(target);
    EXPECT_EQ(sheet.rfind("Module File|Type|P|", 0), 0u);
    EXPECT_NE(sheet.find("\n|Total|"), std::string::npos);
}

} // namespace
} // namespace zorvika::test

namespace zorvika::test {
namespace {

// Every window's export refuses a file that its list was read from (also
// through a link): a warning names it, and it stays as it was.
TEST_F(Export, AFileTheListWasReadFromIsRefusedAndKept)
{
    useEnglishTable();
    const auto group = writeGroup();
    MainWindow& w = open();
    choose(group);
    std::error_code linkError; // links are not to be had everywhere on Windows
    std::filesystem::create_symlink(sources / "A" / "Module1.bas", sources / "link.bas", linkError);
    struct Case {
        const char* name;
        std::filesystem::path target;
        std::function<void(const std::filesystem::path&)> exportTo;
    };
    auto fromMain = [&](const std::filesystem::path& target) {
        services.saveAnswers.push_back(QString::fromStdString(target.string()));
        click(w.button(MainWindow::Command::Export));
    };
    auto fromHistory = [&](const std::filesystem::path& target) {
        withHistory([&](HistoryWindow& his) {
            services.saveAnswers.push_back(QString::fromStdString(target.string()));
            click(his.exportButton());
        });
    };
    const Case cases[] = {
        {"the group file", sources / "all.vbg", fromMain},
        {"the project file", sources / "A" / "a.vbp", fromMain},
        {"a module", sources / "A" / "Module1.bas", fromMain},
        {"a module through a link", sources / (linkError ? "A/Module1.bas" : "link.bas"), fromMain},
        {"the message table", program / "tips.dll", fromMain},
        {"the shown snapshot", program / "verhis" / "Alpha" / "1.2.3", fromHistory},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string before = readFile(c.target);
        services.messages.clear();
        c.exportTo(c.target);
        ASSERT_EQ(services.messages.size(), 1u);
        EXPECT_EQ(services.messages[0].icon, MessageIcon::Warning);
        EXPECT_TRUE(services.messages[0].text.startsWith(w.context().text("EXPORT FAIL")));
        EXPECT_EQ(readFile(c.target), before);
    }
}

} // namespace
} // namespace zorvika::test
