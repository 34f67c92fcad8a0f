#pragma once
// Counting one project of the selection, as choose, previous and next do:
// the properties, the rows, the totals text and the rows in list order.
#include "analysis/line_counter.h"
#include "analysis/project_reader.h"
#include "analysis/results.h"
#include "base/result.h"

#include <cstddef>
#include <string>
#include <vector>

namespace zorvika {

class MessageTable;
struct Selection;

struct ProjectRun {
    ProjectInfo info;            // the project's eight properties
    std::vector<ModuleRow> rows; // one per module entry, in the order of the project file
    ProjectTotals totals;
    std::string totalsText;      // the totals line under the list
    Outcome readable;            // whether the project file could be read, and why not (then it counts as empty)
};

// Counts the project at `index` of the selection from the working-copy text
// that this run wrote: the properties and the rows come from the same text,
// whatever other runs do with the working-copy folder meanwhile. The window
// and the command line both count through here.
ProjectRun runProject(const Selection& selection, std::size_t index, const MessageTable& messages);
class SourceTree;
// The same, reading the modules from `tree` (the tree the selection was made in).
ProjectRun runProject(const Selection& selection, std::size_t index, const MessageTable& messages, SourceTree& tree);

} // namespace zorvika
