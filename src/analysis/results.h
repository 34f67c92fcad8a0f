#pragma once
// The results list's rules that need no display: the ordering of rows by
// the text of one column.
#include "analysis/module_row.h"
#include "analysis/totals_line.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zorvika {

// The sort state of a list: it starts on column 0 ascending; every header
// click sorts the clicked column and flips the order, whichever column it is.
struct SortState {
    int column = 0;
    bool descending = false;
    // The figure columns (2 to 11) by their numbers rather than their texts
    // (the command line's order); the lists of the windows keep the texts.
    bool numeric = false;
    void columnClicked(int clickedColumn);
};

// Compares two cell texts as texts, without regard to ASCII letter case:
// "10" comes before "9" and the empty text before everything.
int compareCellTexts(std::string_view a, std::string_view b);

// The positions 0 to count - 1 ordered by the text `cellOf` gives for each
// (the sort column's cell), descending when the sort state says so; rows
// with equal texts keep their order. Every list of the program sorts so.
std::vector<std::size_t> sortedOrderBy(std::size_t count, bool descending,
                                       const std::function<std::string_view(std::size_t)>& cellOf);

// The same by the number each text holds: rows whose text is no number (the
// empty cells of an "Invalid" row) come after all others in either
// direction; rows with equal numbers keep their order.
std::vector<std::size_t> sortedOrderByNumber(std::size_t count, bool descending,
                                             const std::function<std::string_view(std::size_t)>& cellOf);

// Copies of `rows` in `order` (positions into `rows`).
template <typename Row>
std::vector<Row> rowsInOrder(const std::vector<Row>& rows, const std::vector<std::size_t>& order)
{
    std::vector<Row> out;
    out.reserve(order.size());
    for (std::size_t i : order)
        out.push_back(rows[i]);
    return out;
}

// The positions of `rows` in the order the list shows them: by the sort
// column alone; rows with equal texts keep their order in `rows`.
std::vector<std::size_t> sortedOrder(const std::vector<ModuleRow>& rows, const SortState& sort);
std::vector<ModuleRow> sortedRows(const std::vector<ModuleRow>& rows, const SortState& sort);
// The same order, given to `rows` themselves.
void sortRows(std::vector<ModuleRow>& rows, const SortState& sort);

} // namespace zorvika
