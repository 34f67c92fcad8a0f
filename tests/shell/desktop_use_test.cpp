// The windows as a user meets them: the real file dialogs and question box
// driven through the utility's seam, icons and tooltips, texts that fit,
// the keyboard, and failures told in the table's words.
#include "gui_fixture.h"

#include "components/qt/qt_utility.h"
#include "output/export.h"
#include "shell/help_window.h"
#include "shell/qt_language.h"
#include "widgets/fitted_label.h"
#include "widgets/gui_text.h"
#include "widgets/text_fit.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QStyle>
#include <QStyleOptionButton>
#include <QToolTip>

#include <deque>

namespace zorvika::test {
namespace {

std::string shippedTable(const std::string& name) { return readFile(std::string(ZORVIKA_SOURCE_DIR) + "/resources/" + name); }

// A main window whose dialogs are Qt's own, each handed to the next step of
// a script while it is open.
class RealDialogs : public GuiTest {
protected:
    QtUtility real;
    std::deque<std::function<void(QDialog&)>> steps;

    void SetUp() override
    {
        real.script = [this](QDialog& dialog) {
            if (steps.empty()) {
                ADD_FAILURE() << "a dialog nobody expected: " << dialog.metaObject()->className() << " "
                              << dialog.windowTitle().toStdString();
                return;
            }
            auto step = std::move(steps.front());
            steps.pop_front();
            step(dialog);
        };
    }

    frmPubMain& openReal()
    {
        main = std::make_unique<frmPubMain>(folder(), real);
        main->show();
        QApplication::processEvents();
        return *main;
    }

    static QLineEdit* nameField(QDialog& dialog) { return dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit")); }
    static QComboBox* typeBox(QDialog& dialog) { return dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo")); }

    // The user types the path into the open dialog and presses Enter.
    void chooseReal(const std::filesystem::path& file)
    {
        steps.push_back([file](QDialog& d) {
            ASSERT_NE(qobject_cast<QFileDialog*>(&d), nullptr);
            QLineEdit* name = nameField(d);
            ASSERT_NE(name, nullptr);
            name->setText(QString::fromStdString(file.string()));
            QTest::keyClick(name, Qt::Key_Return);
        });
        click(main->sbt(BtnChoose));
    }

    // The next dialog is a message box with `text`; Enter closes it.
    void expectMessage(const QString& text)
    {
        steps.push_back([text](QDialog& d) {
            auto* box = qobject_cast<QMessageBox*>(&d);
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->text(), text);
            QTest::keyClick(box, Qt::Key_Return);
        });
    }
};

TEST_F(RealDialogs, TheProposedNameSurvivesEveryTypeAndEnterWritesTheSelectedType)
{
    useEnglishTable();
    sources.write("P/Module1.bas", kModuleBas);
    const auto vbp = sources.write("P/p.vbp", projectText("PhotoDemon", "2026.1.249", "Module=Module1; Module1.bas\r\n"));
    openReal();
    // The open dialog shows projects and groups together first.
    steps.push_back([&](QDialog& d) {
        auto* dialog = qobject_cast<QFileDialog*>(&d);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->selectedNameFilter(), QStringLiteral("VB Project or Group (*.vbp *.vbg)"));
        nameField(d)->setText(QString::fromStdString(vbp.string()));
        QTest::keyClick(nameField(d), Qt::Key_Return);
    });
    click(main->sbt(BtnChoose));
    ASSERT_EQ(main->txt(1)->text(), QStringLiteral("2026.1.249"));

    const QString proposed = QString::fromStdString("PhotoDemon_2026.1.249_" + todayText());
    TempFolder out;
    const QString outDir = QString::fromStdString(out.path().string());
    steps.push_back([&](QDialog& d) {
        auto* dialog = qobject_cast<QFileDialog*>(&d);
        ASSERT_NE(dialog, nullptr);
        // It opens where the project was chosen.
        EXPECT_EQ(dialog->directory().absolutePath(), QString::fromStdString((sources / "P").string()));
        dialog->setDirectory(outDir);
        QLineEdit* name = nameField(d);
        QComboBox* types = typeBox(d);
        ASSERT_NE(name, nullptr);
        ASSERT_NE(types, nullptr);
        EXPECT_EQ(types->count(), 5);
        EXPECT_EQ(name->text(), proposed + ".txt");
        // Each type in turn, picked with the keyboard: only the extension changes.
        const struct {
            Qt::Key key;
            const char* ending;
        } moves[] = {{Qt::Key_Down, ".csv"}, {Qt::Key_Down, ".xls"}, {Qt::Key_Down, ".xlsx"},
                     {Qt::Key_Down, ".xlsx"}, // every file: the name stays
                     {Qt::Key_Up, ".xlsx"},   {Qt::Key_Up, ".xls"},  {Qt::Key_Up, ".csv"}};
        for (const auto& m : moves) {
            QTest::keyClick(types, m.key);
            EXPECT_EQ(name->text(), proposed + m.ending) << types->currentText().toStdString();
        }
        // The user takes the extension away; Enter writes the selected type all the same.
        name->setText(proposed);
        QTest::keyClick(name, Qt::Key_Return);
    });
    expectMessage(QStringLiteral("The list has been exported."));
    click(main->sbt(BtnExport));
    const auto csv = out.path() / (proposed.toStdString() + ".csv");
    ASSERT_TRUE(std::filesystem::exists(csv));
    EXPECT_EQ(readFile(csv).rfind("Module File,Type,P,", 0), 0u);

    // The next export opens where this one was written; Enter on the proposed name writes tab text.
    steps.push_back([&](QDialog& d) {
        EXPECT_EQ(qobject_cast<QFileDialog*>(&d)->directory().absolutePath(), outDir);
        QTest::keyClick(nameField(d), Qt::Key_Return);
    });
    expectMessage(QStringLiteral("The list has been exported."));
    click(main->sbt(BtnExport));
    const auto txt = out.path() / (proposed.toStdString() + ".txt");
    ASSERT_TRUE(std::filesystem::exists(txt));
    EXPECT_EQ(readFile(txt).rfind("Module File\tType\tP\t", 0), 0u);
    EXPECT_TRUE(steps.empty());
}

TEST_F(RealDialogs, DeletingAProjectAsksFirstAndNoIsTheDefault)
{
    useEnglishTable();
    const auto group = writeGroup();
    openReal();
    chooseReal(group);
    ASSERT_TRUE(std::filesystem::is_directory(program / "verhis" / "Alpha"));
    steps.push_back([&](QDialog& d) {
        auto* his = qobject_cast<frmPubHis*>(&d);
        ASSERT_NE(his, nullptr);
        his->cbb(0)->setCurrentIndex(his->cbb(0)->findText(QStringLiteral("Alpha")));
        // Enter on the question answers No: nothing is deleted.
        steps.push_back([](QDialog& q) {
            auto* box = qobject_cast<QMessageBox*>(&q);
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->text(), QStringLiteral("Delete every stored version of this project? This cannot be undone."));
            EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::No));
            QTest::keyClick(box, Qt::Key_Return);
        });
        click(his->sbt(HisDeleteProject));
        EXPECT_TRUE(std::filesystem::is_directory(program / "verhis" / "Alpha"));
        EXPECT_EQ(his->cbb(0)->currentText(), QStringLiteral("Alpha"));
        // Yes deletes it.
        steps.push_back([](QDialog& q) {
            auto* box = qobject_cast<QMessageBox*>(&q);
            ASSERT_NE(box, nullptr);
            QTest::mouseClick(box->button(QMessageBox::Yes), Qt::LeftButton);
        });
        click(his->sbt(HisDeleteProject));
        EXPECT_FALSE(std::filesystem::exists(program / "verhis" / "Alpha"));
        // One version goes without a question.
        his->cbb(0)->setCurrentIndex(his->cbb(0)->findText(QStringLiteral("Beta")));
        click(his->sbt(HisDeleteVersion));
        EXPECT_FALSE(std::filesystem::exists(program / "verhis" / "Beta" / "2.0.0"));
    });
    click(main->sbt(BtnHistory));
    EXPECT_TRUE(steps.empty());
}

TEST_F(RealDialogs, QtsOwnButtonsSpeakTheTablesLanguage)
{
    const struct {
        const char* table;
        const char* yes;
    } cases[] = {{"tips.dll", "&Yes"}, {"tips.de.dll", "&Ja"}};
    for (const auto& c : cases) {
        program.write("tips.dll", shippedTable(c.table));
        const auto translator = installQtTranslations(MessageTable(folder()));
        EXPECT_EQ(translator != nullptr, std::string(c.table) != "tips.dll") << c.table;
        QMessageBox box(QMessageBox::Question, QString(), QString(), QMessageBox::Yes | QMessageBox::No);
        EXPECT_EQ(box.button(QMessageBox::Yes)->text(), QString::fromUtf8(c.yes)) << c.table;
    }
}

// Both shipped tables, for what every caption must do in either language.
class ShippedTable : public GuiTest, public ::testing::WithParamInterface<const char*> {
protected:
    void SetUp() override { program.write("tips.dll", shippedTable(GetParam())); }
};

// Every label whose text is cut or covered by a control beside it, by name.
std::vector<std::string> cutOrCovered(QWidget& window)
{
    std::vector<std::string> faults;
    for (FittedLabel* label : window.findChildren<FittedLabel*>()) {
        if (label->text().isEmpty())
            continue;
        if (label->isCut())
            faults.push_back("cut: " + label->text().toStdString());
        for (QObject* sibling : label->parentWidget()->children()) {
            auto* control = qobject_cast<QWidget*>(sibling);
            if (control && control != label && control->isVisible() && !qobject_cast<QLabel*>(control)
                && control->geometry().intersects(label->geometry()))
                faults.push_back("covered: " + label->text().toStdString() + " by "
                                 + control->metaObject()->className());
        }
    }
    for (SuperButton* button : window.findChildren<SuperButton*>()) {
        // The room the style gives the button's icon and caption.
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        option.icon = button->icon();
        option.iconSize = button->iconSize();
        const QRect room = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        const int needed = button->fontMetrics().horizontalAdvance(button->text())
                           + (button->icon().isNull() ? 0 : button->iconSize().width() + 4);
        if (!button->text().isEmpty() && needed > room.width())
            faults.push_back("cut button: " + button->text().toStdString());
    }
    return faults;
}

// The tooltip that shows when the pointer rests on `box` (empty for none).
QString restOn(QWidget* box)
{
    QToolTip::hideText();
    const QPoint at = box->rect().center();
    QHelpEvent rest(QEvent::ToolTip, at, box->mapToGlobal(at));
    QApplication::sendEvent(box, &rest);
    return QToolTip::isVisible() ? QToolTip::text() : QString();
}

TEST_P(ShippedTable, NoCaptionIsCutOrCoveredAndWideBoxesShowTheirTextAsTooltip)
{
    sources.write("P/Module1.bas", kModuleBas);
    const auto vbp = sources.write("P/p.vbp", projectText("PhotoDemon", "2026.1.249", "Module=Module1; Module1.bas\r\n"));
    frmPubMain& w = open();
    choose(vbp);
    EXPECT_EQ(cutOrCovered(w), std::vector<std::string>{});
    // The version box is narrower than this version: resting on it shows it whole.
    EXPECT_TRUE(textIsCut(w.txt(1)));
    EXPECT_EQ(restOn(w.txt(1)), QStringLiteral("2026.1.249"));
    EXPECT_EQ(w.txt(0)->toolTip(), QString()) << "a name that fits needs no tooltip";

    withHistory([&](frmPubHis& his) {
        EXPECT_EQ(cutOrCovered(his), std::vector<std::string>{});
        EXPECT_EQ(his.cbb(1)->currentText(), QStringLiteral("2026.1.249"));
        EXPECT_EQ(restOn(his.cbb(1)), QStringLiteral("2026.1.249"));
        EXPECT_GE(his.cbb(1)->view()->minimumWidth(), his.cbb(1)->fontMetrics().horizontalAdvance("2026.1.249"));
        utility.onModal = [&](QDialog& trend) { EXPECT_EQ(cutOrCovered(trend), std::vector<std::string>{}); };
        click(his.sbt(HisTrend));
    });
    utility.onModal = [&](QDialog& about) { EXPECT_EQ(cutOrCovered(about), std::vector<std::string>{}); };
    click(w.sbt(BtnAbout));
    EXPECT_EQ(utility.modalCount, 3);
}

TEST_P(ShippedTable, IconOnlyButtonsHaveTheirOwnIconsTooltipsAndNames)
{
    frmPubMain& w = open();
    const MessageTable table(folder());
    std::vector<std::pair<SuperButton*, const char*>> iconOnly;
    for (auto [index, key] : {std::pair{BtnHelp, "TIP HELP"}, {BtnForum, "TIP FORUM"}, {BtnHome, "TIP HOME"},
                              {BtnMail, "TIP MAIL"}, {BtnVersionCheck, "TIP UPDATE"}, {BtnAbout, "TIP ABOUT"}})
        iconOnly.emplace_back(w.sbt(index), key);
    withHistory([&](frmPubHis& his) {
        std::vector<std::pair<SuperButton*, const char*>> all = iconOnly;
        all.emplace_back(his.sbt(HisDeleteProject), "TIP DELPROJECT");
        all.emplace_back(his.sbt(HisDeleteVersion), "TIP DELVERSION");
        std::vector<QImage> pictures;
        for (auto [button, key] : all) {
            SCOPED_TRACE(key);
            EXPECT_TRUE(button->text().isEmpty());
            EXPECT_EQ(button->toolTip(), qtext(table.get(key)));
            EXPECT_FALSE(button->toolTip().isEmpty());
            EXPECT_EQ(button->accessibleName(), button->toolTip());
            ASSERT_FALSE(button->icon().isNull());
            pictures.push_back(button->icon().pixmap(16).toImage());
        }
        // Every button shows a picture of its own.
        for (std::size_t i = 0; i < pictures.size(); ++i)
            for (std::size_t j = i + 1; j < pictures.size(); ++j)
                EXPECT_NE(pictures[i], pictures[j]) << all[i].second << " and " << all[j].second;
    });
}

INSTANTIATE_TEST_SUITE_P(English, ShippedTable, ::testing::Values("tips.dll"));
INSTANTIATE_TEST_SUITE_P(German, ShippedTable, ::testing::Values("tips.de.dll"));

class Keyboard : public GuiTest {
protected:
    frmPubMain& openActive()
    {
        useEnglishTable();
        frmPubMain& w = open();
        w.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
        return w;
    }
};

TEST_F(Keyboard, TabFollowsTheLayoutTopToBottomLeftToRight)
{
    frmPubMain& w = openActive();
    const std::vector<QWidget*> expected = {
        w.sbt(BtnChoose),  w.sbt(BtnHistory), w.sbt(BtnExport), w.sbt(BtnExit), w.sbt(BtnPrevious),
        w.sbt(BtnNext),    w.txt(0),          w.txt(1),          w.txt(2),       w.txt(3),
        w.txt(4),          w.txt(5),          w.txt(6),          w.txt(7),       w.lsv(),
        w.sbt(BtnHelp),    w.sbt(BtnForum),   w.sbt(BtnHome),    w.sbt(BtnMail), w.sbt(BtnVersionCheck),
        w.sbt(BtnAbout),   w.sbt(BtnChoose)};
    w.sbt(BtnChoose)->setFocus(Qt::OtherFocusReason);
    for (std::size_t i = 1; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), expected[i]) << "Tab " << i;
    }
}

TEST_F(Keyboard, EnterPressesTheFocusedButtonAndCommandKeysRunTheirCommands)
{
    std::filesystem::create_directories(program / "help");
    program.write("help/index.html", "<html><body>help</body></html>");
    frmPubMain& w = openActive();
    w.sbt(BtnHistory)->setFocus(Qt::TabFocusReason);
    QTest::keyClick(w.sbt(BtnHistory), Qt::Key_Return);
    EXPECT_EQ(utility.modalCount, 1);
    w.activateWindow();
    w.sbt(BtnAbout)->setFocus(Qt::TabFocusReason);
    QTest::keyClick(w.sbt(BtnAbout), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(utility.modalCount, 2);

    QTest::keyClick(&w, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(utility.openDialogs.size(), 1u);
    QTest::keyClick(&w, Qt::Key_H, Qt::ControlModifier);
    EXPECT_EQ(utility.modalCount, 3);
    QTest::keyClick(&w, Qt::Key_E, Qt::ControlModifier); // the empty list has nothing to export
    ASSERT_EQ(utility.messages.size(), 1u);
    EXPECT_EQ(utility.messages[0].text, QStringLiteral("There is nothing to export: the list is empty."));
    QTest::keyClick(&w, Qt::Key_F1);
    ASSERT_NE(w.helpWindow(), nullptr);
    EXPECT_TRUE(w.helpWindow()->isVisible());
}

TEST_F(Keyboard, TheContextMenuSortsAnyColumnAndCtrlCCopiesTheSelectedRows)
{
    const auto group = writeGroup();
    frmPubMain& w = openActive();
    choose(group);
    ResultsView* list = w.lsv();
    list->setFocus(Qt::TabFocusReason);
    QTest::keyClick(list, Qt::Key_Home); // the first row, column 0
    ASSERT_EQ(list->currentIndex().row(), 0);

    // The menu key, then "Sort by this column" on column 0: the order flips.
    auto openMenu = [&]() -> QMenu* {
        // The menu key, as the X11 platform delivers it to the focused list
        // (the headless platform makes no context event of the key itself).
        QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(), list->mapToGlobal(QPoint()));
        QApplication::sendEvent(list, &key);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        EXPECT_NE(menu, nullptr);
        return menu;
    };
    QMenu* menu = openMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->actions().at(0)->text(), QStringLiteral("Sort by this column"));
    QTest::keyClick(menu, Qt::Key_Down);
    QTest::keyClick(menu, Qt::Key_Return);
    EXPECT_EQ(w.results()->sortState().column, ColModule);
    EXPECT_TRUE(w.results()->sortState().descending);
    EXPECT_EQ(w.lsv()->header()->sortIndicatorOrder(), Qt::DescendingOrder);

    // "Sort by", then the fourth column (A): sorted by it, the order flipped again.
    menu = openMenu();
    ASSERT_NE(menu, nullptr);
    QTest::keyClick(menu, Qt::Key_Down);
    QTest::keyClick(menu, Qt::Key_Down);
    QTest::keyClick(menu, Qt::Key_Right);
    auto* columns = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(columns, nullptr);
    ASSERT_NE(columns, menu);
    ASSERT_EQ(columns->activeAction(), columns->actions().at(0)) << "opened on its first column";
    for (int i = 0; i < ColA; ++i)
        QTest::keyClick(columns, Qt::Key_Down);
    QTest::keyClick(columns, Qt::Key_Return);
    EXPECT_EQ(w.results()->sortState().column, ColA);
    EXPECT_FALSE(w.results()->sortState().descending);
    EXPECT_EQ(column(*w.results(), ColA), (std::vector<std::string>{"", "11", "4"}));

    // Two rows selected with the keyboard, copied as tab text under the headers.
    QApplication::clipboard()->clear();
    QTest::keyClick(list, Qt::Key_Home);
    QTest::keyClick(list, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
    const auto rows = w.results()->displayRows();
    auto line = [](const std::vector<std::string>& cells) {
        QStringList parts;
        for (const auto& c : cells)
            parts << QString::fromStdString(c);
        return parts.join(QLatin1Char('\t')) + "\r\n";
    };
    const std::vector<std::string> headers = {"Module", "Type", "P", "A", "C", "B", "P - C", "P - B", "P - C - B",
                                              "A - C", "A - B", "A - C - B"};
    const QString expected = line(headers) + line({rows[0].cells.begin(), rows[0].cells.end()})
                             + line({rows[1].cells.begin(), rows[1].cells.end()});
    EXPECT_EQ(QApplication::clipboard()->text(), expected);
}

TEST_F(GuiTest, FailuresAreToldInTheTablesWords)
{
    program.write("tips.dll", shippedTable("tips.de.dll"));
    const MessageTable table(folder());
    frmPubMain& w = open();
    utility.documentResult = 0; // no browser, no mail program
    click(w.sbt(BtnForum));
    click(w.sbt(BtnMail));
    ASSERT_EQ(utility.messages.size(), 2u);
    EXPECT_EQ(utility.messages[0].text, qtext(table.get("NO BROWSER")));
    EXPECT_EQ(utility.messages[1].text, qtext(table.get("NO MAILER")));
    EXPECT_EQ(utility.messages[1].icon, MessageIcon::Warning);

    // A chosen file that gives no project: the table's words, then the file.
    const auto notProject = sources.write("x.vbp", "just some text\r\n");
    const auto emptyGroup = sources.write("g.vbg", "VBGROUP 5.0\r\n");
    const struct {
        std::filesystem::path file;
        const char* key;
    } cases[] = {{sources / "missing.vbp", "OPEN MISSING"},
                 {sources.path(), "OPEN NOTFILE"},
                 {notProject, "NOT PROJECT"},
                 {emptyGroup, "NO PROJECTS"}};
    for (const auto& c : cases) {
        utility.messages.clear();
        choose(c.file);
        ASSERT_EQ(utility.messages.size(), 1u) << c.key;
        EXPECT_EQ(utility.messages[0].text, qtext(table.get(c.key)) + "\n" + QString::fromStdString(c.file.string()));
    }
}

} // namespace
} // namespace zorvika::test
