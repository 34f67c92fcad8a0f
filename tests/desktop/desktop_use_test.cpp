// The windows as a user meets them: the real file dialogs and question box
// driven through the services's seam, icons and tooltips, texts that fit,
// the keyboard, and failures told in the table's words.
#include "gui_fixture.h"

#include "widgets/qt_desktop_services.h"
#include "output/export.h"
#include "desktop/help_window.h"
#include "desktop/links.h"
#include "widgets/gui_font.h"
#include "desktop/qt_language.h"
#include "widgets/fitted_label.h"
#include "widgets/gui_text.h"
#include "widgets/text_fit.h"
#include "widgets/sorted_table_model.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionHeader>
#include <QToolTip>

#include <deque>

namespace zorvika::test {
namespace {

std::string shippedTable(const std::string& name) { return readFile(std::string(ZORVIKA_SOURCE_DIR) + "/resources/" + name); }

// A main window whose dialogs are Qt's own, each handed to the next step of
// a script while it is open.
class RealDialogs : public GuiTest {
protected:
    QtDesktopServices real;
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

    MainWindow& openReal()
    {
        main.reset();
        context = std::make_unique<DesktopContext>(folder(), real);
        main = std::make_unique<MainWindow>(*context);
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
        click(main->button(MainWindow::Command::Choose));
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
    click(main->button(MainWindow::Command::Choose));
    ASSERT_EQ(main->propertyBox(1)->text(), QStringLiteral("2026.1.249"));

    const QString proposed = QString::fromStdString("PhotoDemon_2026.1.249_" + todayText());
    TempFolder out;
    const QString outDir = QString::fromStdString(out.path().string());
    steps.push_back([&](QDialog& d) {
        auto* dialog = qobject_cast<QFileDialog*>(&d);
        ASSERT_NE(dialog, nullptr);
        // It opens where the project was chosen.
        EXPECT_EQ(dialog->directory().absolutePath(), QDir(QString::fromStdString((sources / "P").string())).absolutePath());
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
    click(main->button(MainWindow::Command::Export));
    const auto csv = out.path() / (proposed.toStdString() + ".csv");
    ASSERT_TRUE(std::filesystem::exists(csv));
    EXPECT_EQ(readFile(csv).rfind("Module File,Type,P,", 0), 0u);

    // The next export opens where this one was written, on the type chosen
    // last; the user goes back to tab text and Enter writes it.
    steps.push_back([&](QDialog& d) {
        EXPECT_EQ(qobject_cast<QFileDialog*>(&d)->directory().absolutePath(), QDir(outDir).absolutePath());
        EXPECT_EQ(typeBox(d)->currentIndex(), 1);
        EXPECT_EQ(nameField(d)->text(), proposed + ".csv");
        QTest::keyClick(typeBox(d), Qt::Key_Up);
        QTest::keyClick(nameField(d), Qt::Key_Return);
    });
    expectMessage(QStringLiteral("The list has been exported."));
    click(main->button(MainWindow::Command::Export));
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
        auto* his = qobject_cast<HistoryWindow*>(&d);
        ASSERT_NE(his, nullptr);
        his->projectBox()->setCurrentIndex(his->projectBox()->findText(QStringLiteral("Alpha")));
        // Enter on the question answers No: nothing is deleted.
        steps.push_back([](QDialog& q) {
            auto* box = qobject_cast<QMessageBox*>(&q);
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->text(), QStringLiteral("Delete every stored version of this project? This cannot be undone."));
            EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::No));
            QTest::keyClick(box, Qt::Key_Return);
        });
        click(his->deleteProjectButton());
        EXPECT_TRUE(std::filesystem::is_directory(program / "verhis" / "Alpha"));
        EXPECT_EQ(his->projectBox()->currentText(), QStringLiteral("Alpha"));
        // Yes deletes it.
        steps.push_back([](QDialog& q) {
            auto* box = qobject_cast<QMessageBox*>(&q);
            ASSERT_NE(box, nullptr);
            QTest::mouseClick(box->button(QMessageBox::Yes), Qt::LeftButton);
        });
        click(his->deleteProjectButton());
        EXPECT_FALSE(std::filesystem::exists(program / "verhis" / "Alpha"));
        // One version goes without a question.
        his->projectBox()->setCurrentIndex(his->projectBox()->findText(QStringLiteral("Beta")));
        click(his->deleteVersionButton());
        EXPECT_FALSE(std::filesystem::exists(program / "verhis" / "Beta" / "2.0.0"));
    });
    click(main->button(MainWindow::Command::History));
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
    for (IconButton* button : window.findChildren<IconButton*>()) {
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
    for (ResultsView* list : window.findChildren<ResultsView*>()) {
        // The room the style gives each caption of a column that is not the sort column.
        QHeaderView* header = list->header();
        for (int c = 0; c < header->count(); ++c) {
            QStyleOptionHeader option;
            option.initFrom(header);
            option.rect = QRect(0, 0, header->sectionSize(c), header->height());
            const QRect room = header->style()->subElementRect(QStyle::SE_HeaderLabel, &option, header);
            const QString caption = list->model()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
            if (header->fontMetrics().horizontalAdvance(caption) > room.width())
                faults.push_back("cut header: " + caption.toStdString());
        }
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
    MainWindow& w = open();
    choose(vbp);
    EXPECT_EQ(cutOrCovered(w), std::vector<std::string>{});
    // A version longer than the design's box widens it: it shows whole.
    EXPECT_FALSE(textIsCut(w.propertyBox(1)));
    EXPECT_GT(w.propertyBox(1)->width(), px(540));
    EXPECT_EQ(w.propertyBox(0)->toolTip(), QString()) << "a name that fits needs no tooltip";

    withHistory([&](HistoryWindow& his) {
        EXPECT_EQ(cutOrCovered(his), std::vector<std::string>{});
        EXPECT_EQ(his.versionBox()->currentText(), QStringLiteral("2026.1.249"));
        EXPECT_FALSE(textIsCut(his.versionBox()));
        EXPECT_GE(his.versionBox()->view()->minimumWidth(), his.versionBox()->fontMetrics().horizontalAdvance("2026.1.249"));
        services.onModal = [&](QDialog& trend) { EXPECT_EQ(cutOrCovered(trend), std::vector<std::string>{}); };
        click(his.growthButton());
    });
    services.onModal = [&](QDialog& procedures) { EXPECT_EQ(cutOrCovered(procedures), std::vector<std::string>{}); };
    emit w.resultsView()->openRow(0);
    services.onModal = [&](QDialog& about) { EXPECT_EQ(cutOrCovered(about), std::vector<std::string>{}); };
    click(w.button(MainWindow::Command::About));
    EXPECT_EQ(services.modalCount, 4);
}

// A translator's captions longer than the design's room: each shows whole,
// its box and the rest of its row move over, and the window grows; a box
// whose text is longer than the box shows it as its tooltip.
TEST_F(GuiTest, CaptionsLongerThanTheirRoomMoveTheirBoxesOverAndTheWindowGrows)
{
    std::string table = shippedTable("tips.dll");
    for (const auto& [line, longer] : {std::pair{"VER=Version:", "VER=Version of the product:"},
                                       {"PRODUCT=Product:", "PRODUCT=Name of the product:"},
                                       {"PROJECT2=Project:", "PROJECT2=Project of the snapshots:"},
                                       {"VERSION2=Version:", "VERSION2=Stored version:"}}) {
        const auto at = table.find(line);
        ASSERT_NE(at, std::string::npos) << line;
        table.replace(at, std::string_view(line).size(), longer);
    }
    const std::string prompt = "PROMPT=";
    table.insert(table.find(prompt) + prompt.size(), "Sorting: click a column header once to sort the list by it, and a second time to turn the order around. ");
    program.write("tips.dll", table);
    const std::string name(60, 'N');
    sources.write("P/Module1.bas", kModuleBas);
    const auto vbp = sources.write("P/p.vbp", projectText(name, "1.0.0", "Module=Module1; Module1.bas\r\n"));

    MainWindow& w = open();
    choose(vbp);
    EXPECT_EQ(cutOrCovered(w), std::vector<std::string>{});
    EXPECT_GT(w.minimumWidth(), MainWindow::designSize().width()) << "the long hint widens the window";
    EXPECT_EQ(restOn(w.propertyBox(0)), QString::fromStdString(name));
    w.resize(w.minimumSize() + QSize(px(1500), 0));
    QApplication::processEvents();
    EXPECT_EQ(cutOrCovered(w), std::vector<std::string>{}) << "a wider window";

    withHistory([&](HistoryWindow& his) {
        EXPECT_EQ(cutOrCovered(his), std::vector<std::string>{});
        EXPECT_EQ(restOn(his.projectBox()), QString::fromStdString(name));
    });
}

// Where a header draws its caption when the column is not sorted.
QRect captionInk(QHeaderView* header, int column)
{
    QStyleOptionHeader option;
    option.initFrom(header);
    option.rect = QRect(header->sectionViewportPosition(column), 0, header->sectionSize(column), header->height());
    const QRect label = header->style()->subElementRect(QStyle::SE_HeaderLabel, &option, header);
    const QVariant aligned = header->model()->headerData(column, Qt::Horizontal, Qt::TextAlignmentRole);
    const int alignment = aligned.isValid() ? aligned.toInt() : int(header->defaultAlignment());
    const QString caption = header->model()->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    return header->fontMetrics().boundingRect(label, alignment | Qt::AlignVCenter, caption);
}

// Sorting by a column draws a mark in its header and leaves every pixel of
// its caption as it was: the mark covers no letter, however narrow the column.
TEST_P(ShippedTable, TheSortMarkLeavesEveryCaptionWhole)
{
    sources.write("P/Module1.bas", kModuleBas);
    const auto vbp = sources.write("P/p.vbp", projectText("P", "1.0.0", "Module=Module1; Module1.bas\r\n"));
    MainWindow& w = open();
    choose(vbp);
    QHeaderView* header = w.resultsView()->header();
    SortedTableModel* list = w.resultsView()->list();
    auto grab = [&] {
        QApplication::processEvents();
        return header->grab().toImage().convertToFormat(QImage::Format_RGB32);
    };
    list->columnClicked(1);
    const QImage sortedByType = grab();
    list->columnClicked(0);
    const QImage sortedByModule = grab();
    for (int c = 1; c < header->count(); ++c) {
        list->columnClicked(c);
        const QImage sorted = grab();
        const QImage& plain = c == 1 ? sortedByModule : sortedByType;
        const QString caption = list->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
        SCOPED_TRACE(caption.toStdString());
        const QRect ink = captionInk(header, c);
        const QRect section(header->sectionViewportPosition(c), 0, header->sectionSize(c), header->height());
        int inkPixels = 0, markPixels = 0, covered = 0;
        for (int y = section.top(); y <= section.bottom(); ++y)
            for (int x = section.left(); x <= section.right(); ++x) {
                const bool inInk = ink.contains(x, y);
                if (inInk && qGray(plain.pixel(x, y)) < 128)
                    ++inkPixels;
                if (sorted.pixel(x, y) != plain.pixel(x, y))
                    ++(inInk ? covered : markPixels);
            }
        EXPECT_GT(inkPixels, 0) << "the caption is drawn where its room says";
        EXPECT_EQ(covered, 0) << "the mark changed pixels of the caption";
        EXPECT_GT(markPixels, 4) << "no sort mark is drawn";
    }
}

TEST_P(ShippedTable, IconOnlyButtonsHaveTheirOwnIconsTooltipsAndNames)
{
    MainWindow& w = open();
    const MessageTable table(folder());
    std::vector<std::pair<IconButton*, const char*>> iconOnly;
    using Command = MainWindow::Command;
    for (auto [command, key] : {std::pair{Command::Help, "TIP HELP"}, {Command::Forum, "TIP FORUM"},
                                {Command::Home, "TIP HOME"}, {Command::Mail, "TIP MAIL"},
                                {Command::VersionCheck, "TIP UPDATE"}, {Command::About, "TIP ABOUT"}})
        iconOnly.emplace_back(w.button(command), key);
    withHistory([&](HistoryWindow& his) {
        std::vector<std::pair<IconButton*, const char*>> all = iconOnly;
        all.emplace_back(his.deleteProjectButton(), "TIP DELPROJECT");
        all.emplace_back(his.deleteVersionButton(), "TIP DELVERSION");
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
    MainWindow& openActive()
    {
        useEnglishTable();
        MainWindow& w = open();
        w.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
        return w;
    }
};

TEST_F(Keyboard, TabFollowsTheLayoutTopToBottomLeftToRight)
{
    MainWindow& w = openActive();
    const std::vector<QWidget*> expected = {
        w.button(MainWindow::Command::Choose),  w.button(MainWindow::Command::History), w.button(MainWindow::Command::Export), w.button(MainWindow::Command::Exit), w.button(MainWindow::Command::Previous),
        w.button(MainWindow::Command::Next),    w.propertyBox(0),          w.propertyBox(1),          w.propertyBox(2),       w.propertyBox(3),
        w.propertyBox(4),          w.propertyBox(5),          w.propertyBox(6),          w.propertyBox(7),       w.resultsView(),
        w.button(MainWindow::Command::Help),    w.button(MainWindow::Command::Forum),   w.button(MainWindow::Command::Home),    w.button(MainWindow::Command::Mail), w.button(MainWindow::Command::VersionCheck),
        w.button(MainWindow::Command::About),   w.button(MainWindow::Command::Choose)};
    w.button(MainWindow::Command::Choose)->setFocus(Qt::OtherFocusReason);
    for (std::size_t i = 1; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), expected[i]) << "Tab " << i;
    }
}

TEST_F(Keyboard, EnterPressesTheFocusedButtonAndCommandKeysRunTheirCommands)
{
    std::filesystem::create_directories(program / "help");
    program.write("help/index.html", "<html><body>help</body></html>");
    MainWindow& w = openActive();
    w.button(MainWindow::Command::History)->setFocus(Qt::TabFocusReason);
    QTest::keyClick(w.button(MainWindow::Command::History), Qt::Key_Return);
    EXPECT_EQ(services.modalCount, 1);
    w.activateWindow();
    w.button(MainWindow::Command::About)->setFocus(Qt::TabFocusReason);
    QTest::keyClick(w.button(MainWindow::Command::About), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(services.modalCount, 2);

    QTest::keyClick(&w, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(services.openDialogs.size(), 1u);
    QTest::keyClick(&w, Qt::Key_H, Qt::ControlModifier);
    EXPECT_EQ(services.modalCount, 3);
    QTest::keyClick(&w, Qt::Key_E, Qt::ControlModifier); // the empty list has nothing to export
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].text, QStringLiteral("There is nothing to export: the list is empty."));
    QTest::keyClick(&w, Qt::Key_F1);
    ASSERT_NE(w.context().helpWindow(), nullptr);
    EXPECT_TRUE(w.context().helpWindow()->isVisible());
}

TEST_F(Keyboard, TheContextMenuSortsAnyColumnAndCtrlCCopiesTheSelectedRows)
{
    const auto group = writeGroup();
    MainWindow& w = openActive();
    choose(group);
    ResultsView* list = w.resultsView();
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
    QStringList texts;
    for (const QAction* action : menu->actions())
        texts << action->text();
    // The row's procedures first, then sorting by this column as texts or as numbers, by any column, copying.
    ASSERT_EQ(texts, (QStringList{"Show the procedures of this module", QString(), "Sort by this column",
                                  "Sort by this column as numbers", "Sort by", QString(), "Copy rows"}));
    QTest::keyClick(menu, Qt::Key_Down);
    QTest::keyClick(menu, Qt::Key_Down);
    QTest::keyClick(menu, Qt::Key_Return);
    EXPECT_EQ(w.results()->sortState().column, ColModule);
    EXPECT_TRUE(w.results()->sortState().descending);
    EXPECT_EQ(w.resultsView()->header()->sortIndicatorOrder(), Qt::DescendingOrder);

    // "Sort by", then the fourth column (A): sorted by it, the order flipped again.
    menu = openMenu();
    ASSERT_NE(menu, nullptr);
    for (int i = 0; i < menu->actions().size() && (!menu->activeAction() || menu->activeAction()->text() != "Sort by"); ++i)
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
    MainWindow& w = open();
    services.linkOpens = false; // no browser, no mail program
    click(w.button(MainWindow::Command::Forum));
    click(w.button(MainWindow::Command::Mail));
    ASSERT_EQ(services.messages.size(), 2u);
    // The address follows, so the user can open it by hand.
    EXPECT_EQ(services.messages[0].text, qtext(table.get("NO BROWSER")) + "\n" + links::kForum);
    EXPECT_EQ(services.messages[1].text, qtext(table.get("NO MAILER")) + "\nsupport@zorvika.example");
    EXPECT_EQ(services.messages[1].icon, MessageIcon::Warning);

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
        services.messages.clear();
        choose(c.file);
        ASSERT_EQ(services.messages.size(), 1u) << c.key;
        EXPECT_EQ(services.messages[0].text, qtext(table.get(c.key)) + "\n" + QString::fromStdString(c.file.string()));
    }
}

} // namespace
} // namespace zorvika::test
