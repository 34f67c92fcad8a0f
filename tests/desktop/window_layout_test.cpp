// The windows grow: each opens at its design size, cannot be made smaller,
// and gives the room it grows by to its list or chart (the list's first
// column, the module's path, taking the new width).
#include "gui_fixture.h"

#include "desktop/growth_window.h"
#include "desktop/procedures_window.h"
#include "widgets/growth_chart.h"

#include <QHeaderView>

namespace zorvika::test {
namespace {

class WindowLayout : public GuiTest {
protected:
    // Grows `window` by (dx, dy) and checks that `grower` took all of it and
    // everything else kept its size; then makes it smaller than its design.
    static void checkGrowth(QWidget& window, QSize design, QWidget* grower, ResultsView* list)
    {
        QApplication::processEvents();
        ASSERT_EQ(window.size(), design);
        EXPECT_EQ(window.minimumSize(), design);
        const QSize before = grower->size();
        const int firstColumn = list->header()->sectionSize(0);
        const int secondColumn = list->header()->sectionSize(1);
        window.resize(design + QSize(200, 150));
        QApplication::processEvents();
        EXPECT_EQ(grower->width(), before.width() + 200);
        EXPECT_GE(grower->height(), before.height()); // the chart or the list below it takes the height
        EXPECT_EQ(list->header()->sectionSize(0), firstColumn + 200) << "the path column takes the width";
        EXPECT_EQ(list->header()->sectionSize(1), secondColumn);
        window.resize(design - QSize(100, 100));
        QApplication::processEvents();
        EXPECT_EQ(window.size(), design);
        EXPECT_EQ(grower->size(), before);
    }
};

TEST_F(WindowLayout, EveryWindowGivesTheRoomItGrowsByToItsListOrChart)
{
    const auto group = writeGroup();
    MainWindow& w = open();
    choose(group);
    checkGrowth(w, MainWindow::designSize(), w.resultsView(), w.resultsView());

    bool seen = false;
    withHistory([&](HistoryWindow& his) {
        checkGrowth(his, HistoryWindow::designSize(), his.resultsView(), his.resultsView());
        // One answer for the growth window, set before it opens.
        services.onModal = [&](QDialog& dialog) {
            auto* growth = qobject_cast<GrowthWindow*>(&dialog);
            ASSERT_NE(growth, nullptr);
            checkGrowth(*growth, GrowthWindow::designSize(), growth->chart(), growth->comparisonView());
            seen = true;
        };
        his.showGrowth();
    });
    EXPECT_TRUE(seen);

    seen = false;
    services.onModal = [&](QDialog& dialog) {
        auto* procedures = qobject_cast<ProceduresWindow*>(&dialog);
        ASSERT_NE(procedures, nullptr);
        checkGrowth(*procedures, ProceduresWindow::designSize(), procedures->proceduresView(),
                    procedures->proceduresView());
        seen = true;
    };
    emit w.resultsView()->openRow(0);
    services.onModal = nullptr;
    EXPECT_TRUE(seen);
}

} // namespace
} // namespace zorvika::test
