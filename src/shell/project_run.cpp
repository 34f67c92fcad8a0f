#include "shell/project_run.h"

#include "analysis/source_tree.h"
#include "shell/message_table.h"
#include "shell/selection.h"

namespace zorvika {

ProjectRun runProject(const Selection& selection, std::size_t index, const MessageTable& messages)
{
    FileSystemTree tree;
    return runProject(selection, index, messages, tree);
}

ProjectRun runProject(const Selection& selection, std::size_t index, const MessageTable& messages, SourceTree& tree)
{
    ProjectRun run;
    if (index >= selection.size())
        return run;
    const std::string& text = selection.projectTexts[index];
    run.readable = selection.projectReads[index];
    run.info = projectInfoFromText(text);
    ProjectCount count = countProjectText(text, selection.projectFolders[index], tree);
    run.rows = std::move(count.rows);
    run.totals = count.totals;
    run.totalsText = totalsText(run.rows.size(), run.totals, messages.totalsWords());
    return run;
}

} // namespace zorvika
