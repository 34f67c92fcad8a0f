#pragma once
// A main window on a fresh program folder, its dialogs answered by a
// recording services, and small projects written for the tests.
#include "analysis/results.h"
#include "desktop/history_window.h"
#include "recording_services.h"
#include "desktop/desktop_context.h"
#include "desktop/main_window.h"
#include "temp_folder.h"
#include "widgets/fitted_label.h"
#include "widgets/results_model.h"
#include "widgets/results_view.h"
#include "widgets/icon_button.h"

#include <QApplication>
#include <QHeaderView>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace zorvika::test {

// A module file of four lines: a header line, a code line, a comment, a blank line.
inline constexpr const char* kModuleBas = "Attribute VB_Name = \"Module1\"\r\nOption Explicit\r\n' note\r\n\r\n";
inline constexpr const char* kClassCls =
    "VERSION 1.0 CLASS\r\nBEGIN\r\nEND\r\nAttribute VB_Name = \"Class1\"\r\nAttribute VB_Exposed = False\r\n"
    "Option Explicit\r\n\r\n' one\r\n' two\r\nPublic Sub Run()\r\nEnd Sub\r\n";

inline std::string projectText(const std::string& name, const std::string& version3, const std::string& modules)
{
    // version3 is "major minor revision" separated by dots
    const auto d1 = version3.find('.');
    const auto d2 = version3.find('.', d1 + 1);
    return "Type=Exe\r\n" + modules + "Name=\"" + name + "\"\r\nMajorVer=" + version3.substr(0, d1)
           + "\r\nMinorVer=" + version3.substr(d1 + 1, d2 - d1 - 1) + "\r\nRevisionVer=" + version3.substr(d2 + 1)
           + "\r\nVersionCompanyName=\"Firma\"\r\n";
}

class GuiTest : public ::testing::Test {
protected:
    TempFolder program;
    TempFolder sources;
    RecordingServices services;
    std::unique_ptr<DesktopContext> context;
    std::unique_ptr<MainWindow> main;

    ProgramFolder folder() const { return ProgramFolder{program.path()}; }

    void useEnglishTable() { program.write("tips.dll", readFile(std::string(ZORVIKA_SOURCE_DIR) + "/resources/tips.dll")); }

    // The main window on the program folder; `spreadsheets` makes the
    // spreadsheet component of its exports (the system's by default).
    MainWindow& open(SpreadsheetMaker spreadsheets = {})
    {
        main.reset();
        context = std::make_unique<DesktopContext>(folder(), services, std::move(spreadsheets));
        main = std::make_unique<MainWindow>(*context);
        main->show();
        QApplication::processEvents();
        return *main;
    }

    // A group of three projects: A\a.vbp (startup, three modules), B\b.vbp and c.vbp.
    std::filesystem::path writeGroup()
    {
        sources.write("A/Module1.bas", kModuleBas);
        sources.write("A/Class1.cls", kClassCls);
        sources.write("A/a.vbp", projectText("Alpha", "1.2.3",
                                             "Module=Module1; Module1.bas\r\nClass=Class1; Class1.cls\r\n"
                                             "Form=Missing.frm\r\n"));
        sources.write("B/Module1.bas", kModuleBas);
        sources.write("B/b.vbp", projectText("Beta", "2.0.0", "Module=Module1; Module1.bas\r\n"));
        sources.write("c.vbp", projectText("Gamma", "0.0.1", "Module=Shared; A\\Module1.bas\r\n"));
        return sources.write("all.vbg", "VBGROUP 5.0\r\nStartupProject=A\\a.vbp\r\nProject=B\\b.vbp\r\nProject=c.vbp\r\n");
    }

    void click(QAbstractButton* button)
    {
        ASSERT_NE(button, nullptr);
        QTest::mouseClick(button, Qt::LeftButton);
    }

    void clickHeader(ResultsView* view, int column)
    {
        QHeaderView* header = view->header();
        const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    }

    // The pointer moved to `at` in `widget`, as the window system reports a move.
    static void moveMouse(QWidget* widget, QPoint at)
    {
        QWidget* window = widget->window();
        QTest::mouseMove(window->windowHandle(), widget->mapTo(window, at));
    }

    void choose(const std::filesystem::path& file)
    {
        services.openAnswers.push_back(QString::fromStdString(file.string()));
        click(main->button(MainWindow::Command::Choose));
    }

    static std::vector<std::string> column(const ResultsModel& model, int c)
    {
        std::vector<std::string> out;
        for (const ModuleRow& row : model.displayRows())
            out.push_back(row.cells[static_cast<std::size_t>(c)]);
        return out;
    }

    // Opens the history window, runs `script` while it is open, and closes it.
    void withHistory(const std::function<void(HistoryWindow&)>& script)
    {
        bool ran = false;
        services.onModal = [&](QDialog& dialog) {
            auto* his = qobject_cast<HistoryWindow*>(&dialog);
            ASSERT_NE(his, nullptr);
            ran = true;
            script(*his);
        };
        click(main->button(MainWindow::Command::History));
        services.onModal = nullptr;
        ASSERT_TRUE(ran);
    }
};

} // namespace zorvika::test
