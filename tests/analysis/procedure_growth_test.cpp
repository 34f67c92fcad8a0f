// The procedure metrics take time in proportion to the module's length,
// whatever its shape: each shape below, built at two sizes, one twice the
// other, takes at most three times as long at the larger (a quadratic rule
// takes four times, and at these sizes seconds). Each shape's figures are
// checked too, as a function of its size.
#include "analysis/procedure_metrics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <string>

using namespace zorvika;

namespace {

enum class Figure { Statements, Cc, Cc2, Depth, Lloc, Span, Procedures };

std::int64_t figureOf(const ModuleMetrics& m, Figure f)
{
    if (f == Figure::Procedures)
        return static_cast<std::int64_t>(m.procedures.size());
    if (m.procedures.empty())
        return -1;
    const ProcedureMetrics& p = m.procedures.front();
    switch (f) {
    case Figure::Statements: return p.statements;
    case Figure::Cc: return p.cc;
    case Figure::Cc2: return p.cc2;
    case Figure::Depth: return p.depth;
    case Figure::Lloc: return p.lloc;
    case Figure::Span: return p.span;
    case Figure::Procedures: break;
    }
    return -1;
}

struct Shape {
    const char* what;
    std::string head;  // after the header line
    std::string unit;  // repeated
    std::string tail;
    Figure figure;     // of the first procedure (or the procedures' number)
    std::int64_t perUnit;
    std::int64_t base;
};

std::string moduleOf(const Shape& s, std::size_t units)
{
    std::string text = "Attribute VB_Name = \"G\"\r\n" + s.head;
    text.reserve(text.size() + units * s.unit.size() + s.tail.size());
    for (std::size_t i = 0; i < units; ++i)
        text += s.unit;
    return text + s.tail;
}

// The analysis as a file is read: in pieces of 64 KiB.
ModuleMetrics analyzeInPieces(const std::string& text)
{
    ModuleAnalyzer analyzer(1);
    for (std::size_t at = 0; at < text.size(); at += 65536)
        analyzer.feed(std::string_view(text).substr(at, 65536));
    return analyzer.finish();
}

// The smallest step of the processor clock, in seconds.
double clockTick()
{
    const std::clock_t start = std::clock();
    std::clock_t now = start;
    while (now == start)
        now = std::clock();
    return static_cast<double>(now - start) / CLOCKS_PER_SEC;
}

// The processor time of the analysis of each text, the least of a few runs
// taken in turns: the time of this process alone, so that other work on the
// machine's cores does not count, and the two texts under the same conditions.
std::pair<double, double> bestSeconds(const std::string& small, const std::string& large)
{
    auto seconds = [](const std::string& text) {
        const std::clock_t start = std::clock();
        const ModuleMetrics m = analyzeInPieces(text);
        const double took = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
        EXPECT_FALSE(m.procedures.empty());
        return took;
    };
    double a = 1e9, b = 1e9;
    for (int run = 0; run < 7; ++run) {
        a = std::min(a, seconds(small));
        b = std::min(b, seconds(large));
    }
    return {a, b};
}

} // namespace

TEST(ProcedureGrowth, EveryShapeTakesTimeInProportionToItsSize)
{
    const std::string sub = "Sub G()\r\n";
    const std::string end = "\r\nEnd Sub\r\n";
    const Shape shapes[] = {
        {"a Next after each Then of one line", sub + "For i = 1 To 2\r\nIf a", " Then Next", end, Figure::Statements, 1, 4},
        {"an On without GoTo after each Then", sub + "If a", " Then On x", end, Figure::Statements, 1, 3},
        {"the labels of one On GoTo", sub + "On x GoTo L0", ", L1", end, Figure::Cc, 1, 2},
        {"the labels of one On GoSub after Then", sub + "If a Then On x GoSub L0", ", L1", end, Figure::Cc, 1, 3},
        {"the loops of one Next", sub + "Next a", ", b", end, Figure::Statements, 0, 3},
        {"an Else after each statement", sub + "If a Then x", " Else x", end, Figure::Statements, 1, 4},
        {"statements between colons", sub, "x = 1: ", "y = 2" + end, Figure::Statements, 1, 3},
        {"a line number on each line", sub, "10 x = 1: L1: y = 2\r\n", "End Sub\r\n", Figure::Statements, 3, 2},
        {"a label on each line", sub, "L1: y = 2\r\n", "End Sub\r\n", Figure::Statements, 1, 2},
        {"continued lines of one statement", sub + "x = 1", " + _\r\n 1", end, Figure::Span, 1, 3},
        {"continued lines of one If", sub + "If a", " _\r\n And b", " Then x = 1" + end, Figure::Cc2, 1, 2},
        {"a comment continued", sub + "' note", " _\r\n more", end, Figure::Span, 1, 3},
        {"a Rem continued", sub + "x = 1: Rem note", " _\r\n more", end, Figure::Statements, 0, 3},
        {"a string of doubled quotes and colons", sub + "If a Then x = \"", "a\"\"b:", "\"" + end, Figure::Statements, 0, 4},
        {"strings and colons", sub + "If a Then x = 1", ": x = \"a:b\"", end, Figure::Statements, 1, 4},
        {"an unclosed string", sub + "If a Then x = \"", "a: b ", end, Figure::Statements, 0, 4},
        {"dates", sub + "If a Then x = 0", " + #1/2/2000 10:00:00 AM#", end, Figure::Statements, 0, 4},
        {"hashes that close no date", sub + "If a Then x = 0", " + #1/2", end, Figure::Statements, 0, 4},
        {"hashes between words", sub + "If a Then x = 0", " # b", end, Figure::Statements, 0, 4},
        {"bracketed names", sub + "If a Then x = 0", " + [a b]", end, Figure::Statements, 0, 4},
        {"an unclosed bracket", sub + "If a Then x = [", "a ", end, Figure::Statements, 0, 4},
        {"members", sub + "If a Then x = a", ".b!c", end, Figure::Statements, 0, 4},
        {"And in one condition", sub + "If a", " And b", " Then x = 1" + end, Figure::Cc2, 1, 2},
        {"the values of one Case", sub + "Select Case x\r\nCase 0", ", 1", "\r\nEnd Select" + end, Figure::Cc, 0, 2},
        {"a Case on each line", sub + "Select Case x\r\n", "Case 1: y = 1\r\n", "End Select" + end, Figure::Cc, 1, 1},
        {"blocks nested deeper and deeper", sub, "If a Then\r\nFor i = 1 To 2\r\nDo While b\r\n", "End Sub\r\n", Figure::Depth, 3, 0},
        {"#If branches", sub, "#If A Then\r\nx = 1\r\n#Else\r\nx = 2\r\n#End If\r\n", "End Sub\r\n", Figure::Lloc, 5, 2},
        {"procedures, all of one name", "", "Sub P(a)\r\nx = 1\r\nEnd Sub\r\n", "", Figure::Procedures, 1, 0},
        {"procedures on one line", "", "Sub P: End Sub: ", "\r\n", Figure::Procedures, 1, 0},
        {"procedures on one continued line", "", "Function F(): End Function _\r\n: ", "\r\n", Figure::Procedures, 1, 0},
        {"one long name", "Sub G", "a1", "()" + end, Figure::Statements, 0, 2},
        {"blank and comment lines", sub, "\r\n  ' note\r\n", "End Sub\r\n", Figure::Span, 2, 2},
    };
    // Processor time that ticks coarsely (Windows counts it in 15.6 ms)
    // cannot tell the two sizes apart; the figures are still checked.
#if defined(ZORVIKA_SANITIZED) || defined(_WIN32)
    // The sanitizers' bookkeeping would be timed; Windows counts processor
    // time in steps of 15.6 ms, too coarse for these sizes.
    const bool timed = false;
#else
    const bool timed = clockTick() < 0.002;
#endif
    constexpr std::size_t kBytes = 300 * 1024;
    for (const Shape& s : shapes) {
        SCOPED_TRACE(s.what);
        const std::size_t units = std::max<std::size_t>(1, kBytes / s.unit.size());
        const std::string small = moduleOf(s, units);
        const std::string large = moduleOf(s, 2 * units);
        const ModuleMetrics whole = analyzeModuleText(large, 1);
        EXPECT_EQ(figureOf(whole, s.figure), s.base + s.perUnit * static_cast<std::int64_t>(2 * units));
        EXPECT_EQ(figureOf(analyzeInPieces(large), s.figure), figureOf(whole, s.figure));
        if (!timed)
            continue;
        const auto [smallTime, largeTime] = bestSeconds(small, large);
        const double ratio = largeTime / std::max(smallTime, 1e-6);
        EXPECT_LT(ratio, 3.0) << "twice the size took " << ratio << " times as long";
    }
    if (!timed)
        GTEST_SKIP() << "the growth was not timed here (a sanitized build, or a processor clock of "
                     << clockTick() << " s steps); the figures were checked";
}
