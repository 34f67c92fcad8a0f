#pragma once
// Counting one project of the selection, as choose, previous and next do:
// the properties, the rows, the totals text and the rows in list order.
#include "analysis/line_counter.h"
#include "analysis/project_reader.h"
#include "analysis/results.h"

#include <cstddef>
#include <string>
#include <vector>

namespace zorvika {

class MessageTable;
struct Selection;

struct ProjectRun {
    ProjectInfo info;            // `upsShowProjectInfo`
    std::vector<ModuleRow> rows; // `upsCountProject`, in the order of the project file
    ProjectTotals totals;
    std::string totalsText;      // the caption of `lblT`
};

ProjectRun runProject(const Selection& selection, std::size_t index, const MessageTable& messages);

} // namespace zorvika
