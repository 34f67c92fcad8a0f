#include "analysis/results.h"

#include "base/line_reader.h"

#include <algorithm>
#include <numeric>
#include <optional>

namespace zorvika {

void SortState::columnClicked(int clickedColumn)
{
    if (clickedColumn < 0 || clickedColumn >= kColumnCount)
        return;
    column = clickedColumn;
    descending = !descending;
}

int compareCellTexts(std::string_view a, std::string_view b)
{
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto x = static_cast<unsigned char>(lowerAscii(a[i]));
        const auto y = static_cast<unsigned char>(lowerAscii(b[i]));
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

std::vector<std::size_t> sortedOrderBy(std::size_t count, bool descending,
                                       const std::function<std::string_view(std::size_t)>& cellOf)
{
    // Each row's text is asked for once; the sort then compares the texts
    // themselves, never calling back.
    std::vector<std::string_view> keys(count);
    for (std::size_t i = 0; i < count; ++i)
        keys[i] = cellOf(i);
    std::vector<std::size_t> order(count);
    std::iota(order.begin(), order.end(), std::size_t{0});
    // Rows already in order (a stored snapshot usually is) stay as they are.
    bool inOrder = true;
    for (std::size_t i = 1; i < count && inOrder; ++i) {
        const int c = compareCellTexts(keys[i - 1], keys[i]);
        inOrder = descending ? c >= 0 : c <= 0;
    }
    if (inOrder)
        return order;
    if (descending)
        std::stable_sort(order.begin(), order.end(),
                         [&](std::size_t x, std::size_t y) { return compareCellTexts(keys[x], keys[y]) > 0; });
    else
        std::stable_sort(order.begin(), order.end(),
                         [&](std::size_t x, std::size_t y) { return compareCellTexts(keys[x], keys[y]) < 0; });
    return order;
}

std::vector<std::size_t> sortedOrderByNumber(std::size_t count, bool descending,
                                             const std::function<std::string_view(std::size_t)>& cellOf)
{
    std::vector<std::optional<std::int64_t>> keys(count);
    for (std::size_t i = 0; i < count; ++i)
        keys[i] = parseFigure(cellOf(i));
    std::vector<std::size_t> order(count);
    std::iota(order.begin(), order.end(), std::size_t{0});
    // The rows with a number first, the rest after them in their own order.
    const auto numbered = std::stable_partition(order.begin(), order.end(), [&](std::size_t i) { return keys[i].has_value(); });
    std::stable_sort(order.begin(), numbered, [&](std::size_t x, std::size_t y) {
        return descending ? *keys[x] > *keys[y] : *keys[x] < *keys[y];
    });
    return order;
}

std::vector<std::size_t> sortedOrder(const std::vector<ModuleRow>& rows, const SortState& sort)
{
    const auto col = static_cast<std::size_t>(std::clamp(sort.column, 0, kColumnCount - 1));
    if (sort.numeric && col >= ColP)
        return sortedOrderByNumber(rows.size(), sort.descending,
                                   [&](std::size_t i) -> std::string_view { return rows[i].cells[col]; });
    return sortedOrderBy(rows.size(), sort.descending,
                         [&](std::size_t i) -> std::string_view { return rows[i].cells[col]; });
}

void sortRows(std::vector<ModuleRow>& rows, const SortState& sort)
{
    // The order applied in place, cycle by cycle: no second set of rows.
    std::vector<std::size_t> order = sortedOrder(rows, sort);
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (order[i] == i || order[i] == order.size())
            continue;
        // Position i takes row order[i], whose place takes order[order[i]], ...
        ModuleRow held = std::move(rows[i]);
        std::size_t at = i;
        for (;;) {
            const std::size_t from = order[at];
            order[at] = order.size();
            if (from == i) {
                rows[at] = std::move(held);
                break;
            }
            rows[at] = std::move(rows[from]);
            at = from;
        }
    }
}

std::vector<ModuleRow> sortedRows(const std::vector<ModuleRow>& rows, const SortState& sort)
{
    return rowsInOrder(rows, sortedOrder(rows, sort));
}

} // namespace zorvika
