// The procedures window, opened by a double click on a module row of the
// main window: the module's procedures, all of the project's, sorting,
// export, and modules that give none.
#include "gui_fixture.h"

#include "analysis/procedure_table.h"
#include "output/export.h"
#include "output/table_export.h"
#include "desktop/procedures_window.h"
#include "widgets/text_table_model.h"

namespace zorvika::test {
namespace {

class Procedures : public GuiTest {
protected:
    // Project Alpha: a standard module with two procedures, a class with one, a missing form.
    void chooseAlpha()
    {
        sources.write("A/Module1.bas", "Attribute VB_Name = \"Module1\"\r\nPublic Function One() As Long\r\n"
                                       "    If One Then One = 1 Else One = 2\r\nEnd Function\r\n\r\n"
                                       "Private Sub Two()\r\n    For i = 1 To 2: Next\r\nEnd Sub\r\n");
        sources.write("A/Class1.cls", kClassCls);
        choose(sources.write("A/a.vbp", projectText("Alpha", "1.2.3",
                                                    "Module=Module1; Module1.bas\r\nClass=Class1; Class1.cls\r\n"
                                                    "Form=Missing.frm\r\n")));
    }

    // Double-clicks the row of `module` in the main list and runs `script` in the window it opens.
    void withProcedures(const std::string& module, const std::function<void(ProceduresWindow&)>& script)
    {
        const std::vector<std::string> modules = column(*main->results(), ColModule);
        const auto at = std::find(modules.begin(), modules.end(), module);
        ASSERT_NE(at, modules.end());
        const QModelIndex index = main->results()->index(static_cast<int>(at - modules.begin()), 0);
        bool ran = false;
        services.onModal = [&](QDialog& dialog) {
            auto* window = qobject_cast<ProceduresWindow*>(&dialog);
            ASSERT_NE(window, nullptr);
            EXPECT_TRUE(window->isModal());
            EXPECT_EQ(window->parentWidget(), main.get());
            ran = true;
            script(*window);
        };
        QWidget* viewport = main->resultsView()->viewport();
        const QPoint point = main->resultsView()->visualRect(index).center();
        // A click selects the row, as the first click of a user's double click does; the
        // offscreen platform hands QTest's double click to an unselected row as a press alone.
        QTest::mouseClick(viewport, Qt::LeftButton, {}, point);
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, point);
        services.onModal = nullptr;
        ASSERT_TRUE(ran);
    }

    static std::vector<std::string> names(const ProceduresWindow& window)
    {
        std::vector<std::string> out;
        for (const auto& row : window.procedures()->displayRows())
            out.push_back(row[1]);
        return out;
    }
};

TEST_F(Procedures, DoubleClickShowsTheModulesProceduresAndTheButtonAllOfTheProject)
{
    useEnglishTable();
    open();
    chooseAlpha();
    withProcedures("Module1.bas", [&](ProceduresWindow& w) {
        EXPECT_EQ(w.windowTitle(), QStringLiteral("Procedures - Module1.bas"));
        EXPECT_EQ(w.procedures()->titles().at(ProcStatements), "Statements");
        EXPECT_EQ(w.procedures()->displayRows(),
                  (TextTable{{"Module1.bas", "One", "Function", "2", "3", "3", "3", "5", "2", "2", "0"},
                             {"Module1.bas", "Two", "Sub", "6", "3", "3", "3", "4", "2", "2", "1"}}));
        EXPECT_EQ(w.summaryLabel(0)->text(),
                  QStringLiteral("Sub 1, Function 1, Property Get 0, Property Let 0, Property Set 0, Declare 0, Event 0"));
        EXPECT_EQ(w.summaryLabel(1)->text(),
                  QStringLiteral("LLOC 6, Statements 9, CC total 4, highest CC 2, Longest One (3)"));

        EXPECT_EQ(w.allButton()->text(), QStringLiteral("All Procedures"));
        click(w.allButton());
        EXPECT_TRUE(w.showsAll());
        // Sorted by the module column, as the list starts: Class1.cls before Module1.bas.
        EXPECT_EQ(names(w), (std::vector<std::string>{"Run", "One", "Two"}));
        EXPECT_EQ(w.windowTitle(), QStringLiteral("Procedures - Alpha"));
        EXPECT_EQ(w.allButton()->text(), QStringLiteral("This Module"));
        click(w.allButton());
        EXPECT_EQ(names(w), (std::vector<std::string>{"One", "Two"}));
    });
}

TEST_F(Procedures, HeaderClicksSortAndTheExportWritesTheShownOrderWithTheTotalsRow)
{
    useEnglishTable();
    open();
    chooseAlpha();
    const auto target = sources / "procs.csv";
    withProcedures("Module1.bas", [&](ProceduresWindow& w) {
        // Each click sorts by its column and flips the order: descending, then ascending.
        clickHeader(w.proceduresView(), ProcStatements);
        EXPECT_EQ(names(w), (std::vector<std::string>{"One", "Two"}));
        clickHeader(w.proceduresView(), ProcStatements);
        EXPECT_EQ(names(w), (std::vector<std::string>{"Two", "One"}));
        services.saveAnswers.push_back(QString::fromStdString(target.string()));
        click(w.exportButton());
    });
    ASSERT_EQ(services.saveDialogs.size(), 1u);
    EXPECT_EQ(services.saveDialogs[0].proposedName, QString::fromStdString("Alpha_Module1.bas_" + todayText()));
    EXPECT_EQ(readFile(target),
              "Module File,Procedure,Kind,First Line,Span,Code Lines,LLOC,Statements,CC,CC2,Depth\r\n"
              "Module1.bas,Two,Sub,6,3,3,3,4,2,2,1\r\n"
              "Module1.bas,One,Function,2,3,3,3,5,2,2,0\r\n"
              "Total,2,,,6,6,6,9,4,4,1\r\n");
    ASSERT_FALSE(services.messages.empty());
    EXPECT_EQ(services.messages.back().text, QStringLiteral("The list has been exported."));
}

TEST_F(Procedures, AnInvalidModuleGivesAnEmptyListAndNothingToExport)
{
    useEnglishTable();
    open();
    chooseAlpha();
    withProcedures("Missing.frm", [&](ProceduresWindow& w) {
        EXPECT_EQ(w.procedures()->rowCount(), 0);
        // A module that is not there says so, not a line of zeros.
        EXPECT_EQ(w.summaryLabel(0)->text(), QStringLiteral("The module file was not found: Missing.frm"));
        click(w.exportButton());
        // The whole project is still one click away.
        click(w.allButton());
        EXPECT_EQ(w.procedures()->rowCount(), 3);
    });
    EXPECT_TRUE(services.saveDialogs.empty());
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].text, QStringLiteral("There is nothing to export: the list is empty."));
}

TEST_F(Procedures, GermanCaptionsComeFromTheGermanTable)
{
    program.write("tips.dll", readFile(std::string(ZORVIKA_SOURCE_DIR) + "/resources/tips.de.dll"));
    open();
    chooseAlpha();
    withProcedures("Class1.cls", [&](ProceduresWindow& w) {
        EXPECT_EQ(w.windowTitle(), QStringLiteral("Prozeduren - Class1.cls"));
        EXPECT_EQ(w.procedures()->titles().at(ProcStatements), "Anweisungen");
        EXPECT_EQ(w.allButton()->text(), QStringLiteral("Alle Prozeduren"));
        EXPECT_EQ(names(w), (std::vector<std::string>{"Run"}));
    });
}

} // namespace
} // namespace zorvika::test

namespace zorvika::test {
namespace {

// Figures sort as numbers where a user sorts figures: the procedures' figure
// columns on a header click, and any column of the main list through its
// menu's "as numbers" (its header click keeps the text order).
TEST_F(Procedures, FigureColumnsSortAsNumbers)
{
    useEnglishTable();
    open();
    // Procedures at lines 2, 10 and 100 (by text "10" < "100" < "2").
    std::string body = "Attribute VB_Name = \"M\"\r\nSub A()\r\nEnd Sub\r\n";
    while (std::count(body.begin(), body.end(), '\n') < 9)
        body += "\r\n";
    body += "Sub B()\r\nEnd Sub\r\n";
    while (std::count(body.begin(), body.end(), '\n') < 99)
        body += "\r\n";
    body += "Sub C()\r\nEnd Sub\r\n";
    sources.write("M.bas", body);
    sources.write("Big.bas", std::string("Attribute VB_Name = \"B\"\r\n") + std::string(100, 'x') + "\r\n");
    choose(sources.write("p.vbp", projectText("P", "1.0.0", "Module=M; M.bas\r\nModule=B; Big.bas\r\nModule=X; Gone.bas\r\n")));
    withProcedures("M.bas", [&](ProceduresWindow& w) {
        clickHeader(w.proceduresView(), ProcFirstLine);
        EXPECT_EQ(names(w), (std::vector<std::string>{"C", "B", "A"})); // the first click: descending
        clickHeader(w.proceduresView(), ProcFirstLine);
        EXPECT_EQ(names(w), (std::vector<std::string>{"A", "B", "C"}));
    });
    // The main list's "A" as numbers: descending, then ascending; the missing module last both ways.
    main->results()->sortAsNumbers(ColA);
    EXPECT_EQ(column(*main->results(), ColModule), (std::vector<std::string>{"M.bas", "Big.bas", "Gone.bas"}));
    main->results()->sortAsNumbers(ColA);
    EXPECT_EQ(column(*main->results(), ColModule), (std::vector<std::string>{"Big.bas", "M.bas", "Gone.bas"}));
    clickHeader(main->resultsView(), ColA);
    EXPECT_FALSE(main->results()->sortState().numeric);
}

} // namespace
} // namespace zorvika::test
