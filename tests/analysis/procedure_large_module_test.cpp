// A module larger than any whole-file read takes (256 MiB) is analysed in
// pieces like any other, and its figures are exact.
#include "analysis/procedure_metrics.h"
#include "base/file_io.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace zorvika;

TEST(ProcedureLargeModule, AModuleOverTheWholeFileLimitHasItsFigures)
{
    test::TempFolder folder;
    std::string unit = "Sub P()\r\n";
    for (int i = 0; i < 50; ++i)
        unit += "    x = x + 1 ' add\r\n";
    unit += "End Sub\r\n";
    std::string block;
    while (block.size() < (1u << 20))
        block += unit;
    const std::int64_t perBlock = static_cast<std::int64_t>(block.size() / unit.size());
    const std::int64_t blocks = static_cast<std::int64_t>(kMaxWholeFileSize / block.size()) + 2;
    {
        std::ofstream out(folder / "Big.bas", std::ios::binary);
        out << "Attribute VB_Name = \"Big\"\r\n";
        for (std::int64_t k = 0; k < blocks; ++k)
            out << block;
    }
    ASSERT_GT(std::filesystem::file_size(folder / "Big.bas"), kMaxWholeFileSize);
    const std::vector<ModuleAnalysis> modules = analyzeProjectText("Module=Big; Big.bas\r\n", folder.path());
    ASSERT_EQ(modules.size(), 1u);
    ASSERT_TRUE(modules[0].metrics);
    const ModuleMetrics& m = *modules[0].metrics;
    const std::int64_t procedures = blocks * perBlock;
    EXPECT_EQ(m.byKind[0], procedures);
    EXPECT_EQ(m.lloc, procedures * 52);
    EXPECT_EQ(m.statements, procedures * 52);
    EXPECT_EQ(m.totalCc, procedures);
    EXPECT_EQ(m.longestSpan, 52);
    ASSERT_EQ(static_cast<std::int64_t>(m.procedures.size()), procedures);
    EXPECT_EQ(m.procedures.back().firstLine, 2 + (procedures - 1) * 52);
    EXPECT_EQ(m.procedures.back().codeLines, 52);
    EXPECT_TRUE(m.procedures.back().definedTwice);
}
