#include "analysis/module_row.h"

#include <charconv>

namespace zorvika {

static std::array<std::int64_t, 10> differences(std::int64_t p, std::int64_t a, std::int64_t c, std::int64_t b)
{
    return {p, a, c, b, p - c, p - b, p - c - b, a - c, a - b, a - c - b};
}

std::array<std::int64_t, 10> ModuleFigures::columns() const
{
    return differences(partLines(), allLines, commentLines, blankLines);
}

void ProjectTotals::add(const ModuleFigures& f)
{
    tp += f.partLines();
    ta += f.allLines;
    tc += f.commentLines;
    tb += f.blankLines;
}

std::array<std::int64_t, 10> ProjectTotals::columns() const
{
    return differences(tp, ta, tc, tb);
}

std::string figureText(std::int64_t value)
{
    char buf[24];
    auto res = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, res.ptr);
}

} // namespace zorvika
