#include "analysis/module_row.h"

#include <algorithm>
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

std::optional<std::int64_t> parseFigure(std::string_view text)
{
    std::int64_t value = 0;
    const auto res = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || res.ec != std::errc() || res.ptr != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::string figureText(std::int64_t value)
{
    char buf[24];
    auto res = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, res.ptr);
}

} // namespace zorvika
