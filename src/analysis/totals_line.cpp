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

namespace {

bool isAsciiDigit(char c)
{
    return c >= '0' && c <= '9';
}

using TotalsTexts = std::array<std::string, 10>;

// The ten pieces of `figures` split at ", ", when there are exactly ten and
// each is a figure: a caption can never pass for a figure or join one.
std::optional<TotalsTexts> tenFigures(std::string_view figures)
{
    TotalsTexts values;
    std::size_t count = 0;
    for (;;) {
        const auto sep = figures.find(", ");
        if (count == values.size())
            return std::nullopt;
        const std::string_view piece = figures.substr(0, sep);
        if (!parseFigure(piece))
            return std::nullopt;
        values[count++] = std::string(piece);
        if (sep == std::string_view::npos)
            break;
        figures.remove_prefix(sep + 2);
    }
    if (count != values.size())
        return std::nullopt;
    return values;
}

// The text exactly as `totalsText` makes it with these words: TOTAL, the
// row count, a space, MODULES, the figures, a space, ORDER. Each word is
// taken off where it stands, so a word that is empty, holds digits or ", "
// moves nothing.
std::optional<TotalsTexts> valuesOfOwnLine(std::string_view text, const TotalsWords& words)
{
    if (!text.starts_with(words.total))
        return std::nullopt;
    text.remove_prefix(words.total.size());
    std::size_t digits = 0;
    while (digits < text.size() && isAsciiDigit(text[digits]))
        ++digits;
    if (digits == 0 || digits == text.size() || text[digits] != ' ')
        return std::nullopt;
    text.remove_prefix(digits + 1);
    if (!text.starts_with(words.modules))
        return std::nullopt;
    text.remove_prefix(words.modules.size());
    if (text.size() < words.order.size() + 1 || !text.ends_with(words.order))
        return std::nullopt;
    text.remove_suffix(words.order.size());
    if (!text.ends_with(' '))
        return std::nullopt;
    text.remove_suffix(1);
    return tenFigures(text);
}

} // namespace

std::optional<std::array<std::string, 10>> totalsValues(std::string_view totalsText, const TotalsWords& words)
{
    if (auto own = valuesOfOwnLine(totalsText, words))
        return own;
    // A line written under other words (a snapshot stored with another
    // table): the text after the first MODULES, less ORDER's length at the
    // end, without surrounding spaces.
    const auto at = totalsText.find(words.modules);
    if (at == std::string_view::npos)
        return std::nullopt;
    const std::size_t from = at + words.modules.size();
    const std::size_t to = std::max(from, totalsText.size() - std::min(totalsText.size(), words.order.size()));
    // Neither end may fall inside a figure: a cut figure would pass for another.
    auto inFigure = [&](std::size_t cut) {
        return cut > 0 && cut < totalsText.size() && isAsciiDigit(totalsText[cut - 1]) && isAsciiDigit(totalsText[cut]);
    };
    if (inFigure(from) || inFigure(to))
        return std::nullopt;
    return tenFigures(trimSpaces(totalsText.substr(from, to - from)));
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
