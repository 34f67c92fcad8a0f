#include "analysis/totals_line.h"

#include "base/line_reader.h"

#include <algorithm>

namespace zorvika {

std::string totalsText(std::size_t rowCount, const ProjectTotals& totals, const TotalsWords& words)
{
    std::string text = words.total;
    text += std::to_string(rowCount);
    text += ' ';
    text += words.modules;
    const auto values = totals.columns();
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0)
            text += ", ";
        text += figureText(values[i]);
    }
    text += ' ';
    text += words.order;
    return text;
}

std::optional<std::array<std::string, 10>> totalsValues(std::string_view totalsText, const TotalsWords& words)
{
    const auto at = totalsText.find(words.modules);
    if (at == std::string_view::npos)
        return std::nullopt;
    std::string_view rest = totalsText.substr(at + words.modules.size());
    rest.remove_suffix(std::min(rest.size(), words.order.size()));
    rest = trimSpaces(rest);
    std::array<std::string, 10> values;
    std::size_t count = 0;
    for (;;) {
        const auto sep = rest.find(", ");
        if (count == values.size())
            return std::nullopt;
        values[count++] = std::string(rest.substr(0, sep));
        if (sep == std::string_view::npos)
            break;
        rest.remove_prefix(sep + 2);
    }
    if (count != values.size())
        return std::nullopt;
    return values;
}

std::optional<std::array<std::int64_t, 10>> totalsFigures(std::string_view line, const TotalsWords& words)
{
    const auto values = totalsValues(line, words);
    if (!values)
        return std::nullopt;
    std::array<std::int64_t, 10> totals{};
    for (std::size_t k = 0; k < values->size(); ++k) {
        const auto f = parseFigure((*values)[k]);
        if (!f)
            return std::nullopt;
        totals[k] = *f;
    }
    return totals;
}

} // namespace zorvika
