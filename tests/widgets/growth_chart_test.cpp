// The growth chart's decisions without painting: the value axis's round
// ticks, how many versions apart the axis names them, which dot the pointer
// is on, and what the tooltip says where lines meet.
#include "widgets/growth_chart.h"

#include <QFontMetrics>

#include <gtest/gtest.h>

#include <cmath>

namespace zorvika::test {
namespace {

TEST(ValueScale, RoundStepsThatShowTheHighestFigure)
{
    struct Case {
        double highest;
        int intervals;
        double top, step;
    };
    for (const Case& c : std::vector<Case>{{0, 4, 10, 5},            // an empty chart still has an axis
                                           {9, 4, 10, 5},            // 9.45 fits under 10
                                           {10, 4, 15, 5},           // 10.5 does not
                                           {2257, 4, 3000, 1000},    // 593 a step rounds up to 1000
                                           {2257, 12, 2400, 200},    // a taller axis: finer steps
                                           {210000, 4, 300000, 100000},
                                           {1900, 4, 2000, 500},     // 499 rounds to 500, not to 1000
                                           {150, 0, 200, 200}}) {    // no intervals asked: one
        SCOPED_TRACE(c.highest);
        const ValueScale scale = valueScale(c.highest, c.intervals);
        EXPECT_DOUBLE_EQ(scale.top, c.top);
        EXPECT_DOUBLE_EQ(scale.step, c.step);
    }
    // For any figure: whole steps of 1, 2 or 5 times a power of ten, the
    // figure below the top, and no empty step above what it needs.
    for (double highest = 1; highest < 1e9; highest *= 1.37) {
        SCOPED_TRACE(highest);
        const ValueScale scale = valueScale(highest, 4);
        const double steps = scale.top / scale.step;
        EXPECT_NEAR(steps, std::round(steps), 1e-9);
        const double mantissa = scale.step / std::pow(10.0, std::floor(std::log10(scale.step) + 1e-12));
        EXPECT_TRUE(std::abs(mantissa - 1) < 1e-9 || std::abs(mantissa - 2) < 1e-9 || std::abs(mantissa - 5) < 1e-9)
            << mantissa;
        EXPECT_GE(scale.top, highest * 1.05);
        EXPECT_LT(scale.top - scale.step, std::max(10.0, highest * 1.05));
        EXPECT_GE(steps, 2);
        EXPECT_LE(steps, 4);
    }
}

TEST(LabelStep, TheSmallestStepWhoseNamesStandApart)
{
    struct Case {
        std::size_t count;
        double room;
        int widest, gap;
        std::size_t step;
    };
    for (const Case& c : std::vector<Case>{{0, 600, 70, 16, 1},
                                           {1, 10, 70, 16, 1},
                                           {10, 1000, 50, 16, 1},   // 100 pixels each: every one
                                           {10, 860, 70, 16, 1},    // exactly 86 each: still every one
                                           {10, 850, 70, 16, 2},
                                           {50, 600, 70, 16, 8},    // 12 each: 86 needs 8 of them
                                           {50, 0, 70, 16, 50},     // no room: the first alone
                                           {5, 100, 500, 16, 5}}) { // wider than the axis: the first alone
        SCOPED_TRACE(testing::Message() << c.count << " in " << c.room);
        EXPECT_EQ(labelStep(c.count, c.room, c.widest, c.gap), c.step);
    }
}

TEST(NearestPoint, TheNearestWithinTheRadiusTheFirstOnATie)
{
    const std::vector<QPointF> dots = {{10, 10}, {20, 10}, {20, 10}, {50, 50}};
    struct Case {
        QPointF at;
        std::optional<std::size_t> found;
    };
    for (const Case& c : std::vector<Case>{{{10, 10}, 0},
                                           {{14, 10}, 0},           // 4 from the first, 6 from the second
                                           {{16, 10}, 1},           // two dots at one place: the first of them
                                           {{50, 58}, 3},           // on the radius
                                           {{50, 58.5}, std::nullopt},
                                           {{35, 30}, std::nullopt}}) {
        SCOPED_TRACE(testing::Message() << c.at.x() << "," << c.at.y());
        EXPECT_EQ(nearestPoint(dots, c.at, 8), c.found);
    }
    EXPECT_EQ(nearestPoint({}, {0, 0}, 8), std::nullopt);
}

GrowthChart::Series line(const char* name, std::vector<double> values)
{
    return {QString::fromLatin1(name), Qt::black, std::move(values)};
}

TEST(GrowthChart, TheTooltipNamesEveryLineThatMeetsAtTheDot)
{
    GrowthChart chart;
    chart.resize(500, 300);
    chart.setData({"1.0", "2.0"}, {line("A", {4, 9}), line("B", {4, 7}), line("C", {3, 9})});
    struct Case {
        int line, index;
        const char* text;
    };
    for (const Case& c : std::vector<Case>{{0, 0, "1.0\nA: 4\nB: 4"},
                                           {1, 0, "1.0\nA: 4\nB: 4"},
                                           {2, 0, "1.0\nC: 3"},
                                           {2, 1, "2.0\nA: 9\nC: 9"},
                                           {3, 0, ""},
                                           {0, 2, ""},
                                           {-1, 0, ""}}) {
        SCOPED_TRACE(testing::Message() << c.line << "/" << c.index);
        EXPECT_EQ(chart.pointText(c.line, c.index), QString::fromLatin1(c.text));
    }
    // Where two dots lie on one another the pointer finds the first line's, whose text names both.
    EXPECT_EQ(chart.pointAt(chart.pointPosition(1, 0)), std::make_pair(0, 0));
    EXPECT_EQ(chart.pointAt(chart.pointPosition(1, 1)), std::make_pair(1, 1));
}

TEST(GrowthChart, AtEverySizeTheNamesStandWholeApartAndTheDotsInsideThePlot)
{
    QStringList versions;
    std::vector<double> figures;
    for (int k = 0; k < 50; ++k) {
        versions << QStringLiteral("2026.1.%1").arg(200 + k);
        figures.push_back(1000 + 40 * k);
    }
    GrowthChart chart;
    chart.setValueTitle(QStringLiteral("Lines"));
    chart.setData(versions, {line("P", figures)});
    const int widest = QFontMetrics(chart.font()).horizontalAdvance(versions.last());
    std::size_t named = 0;
    for (const QSize size : {QSize(300, 200), QSize(690, 280), QSize(1000, 400), QSize(2500, 800),
                              // room for every name, whatever the font
                              QSize(60 * (widest + 16) + 200, 300)}) {
        SCOPED_TRACE(testing::Message() << size.width() << "x" << size.height());
        chart.resize(size);
        const auto labels = chart.versionLabels();
        ASSERT_FALSE(labels.empty());
        EXPECT_EQ(labels.front().text, versions.first());
        for (std::size_t i = 0; i < labels.size(); ++i) {
            EXPECT_TRUE(chart.rect().contains(labels[i].place)) << labels[i].text.toStdString();
            if (i > 0)
                EXPECT_GE(labels[i].place.left() - labels[i - 1].place.right(), 16 - 1);
        }
        // A wider chart names more versions, and all of them once there is room.
        EXPECT_GE(labels.size(), named);
        named = labels.size();
        if (chart.plotArea().width() >= 50 * (widest + 16))
            EXPECT_EQ(labels.size(), 50u);
        for (int i : {0, 25, 49})
            EXPECT_TRUE(chart.plotArea().contains(chart.pointPosition(0, i))) << i;
        EXPECT_GE(chart.scale().top, figures.back());
    }
    EXPECT_EQ(named, 50u);
}

} // namespace
} // namespace zorvika::test
