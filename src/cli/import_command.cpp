// `zorvika-cli import`: one snapshot per tag or revision of a git repository.
#include "analysis/module_row.h"
#include "base/interrupt_cleanup.h"
#include "base/platform.h"
#include "cli/commands.h"
#include "revisions/revision_import.h"
#include "shell/message_table.h"


namespace zorvika {

namespace fs = std::filesystem;

const CommandSpec& importCommand()
{
    static const CommandSpec spec{
        "import",
        "FILE [PATTERN]",
        1,
        2,
        "Counts a project or group at each selected revision of its git repository, oldest first, and stores each\n"
        "run as count --save would; prints one line per project counted and a summary.",
        {
            {"--tags", {}, "every tagged revision, or those whose tags match PATTERN (a glob, as \"v*\")", {}},
            {"--revisions", {"A..B"}, "the commits of a range (or all history up to one revision)", {}},
            {"--every", {"N"}, "with --revisions: every N-th commit, counted back from the newest", {}, 0, NumberRange{1}},
            {"--git-dir", {"DIR"}, "the repository to read (default: the one that holds FILE)", {}},
            programFolderOption(),
            languageOption(),
        },
    };
    return spec;
}

int runImportCommand(const ParsedArgs& args, const CommandRun& run)
{
    const std::string& file = args.operands.front();
    const bool tags = args.has("--tags");
    const auto range = args.value("--revisions");
    if (tags == range.has_value())
        throw UsageError{"import takes either --tags or --revisions A..B"};
    if (!tags && args.operands.size() > 1)
        throw UsageError{"a PATTERN goes with --tags"};
    std::uint64_t every = 1;
    if (const auto n = args.number("--every")) {
        if (tags)
            throw UsageError{"--every goes with --revisions"};
        every = static_cast<std::uint64_t>(*n);
    }
    std::ostream& out = run.out;
    std::ostream& err = run.err;
    // The git library starts while the program folder is made ready.
    const GitLibraryStart gitStart;
    std::error_code ec;
    fs::create_directories(run.folder.dataRoot(), ec);
    ensureWorkFiles(run.folder);
    const MessageTable messages(run.folder);
    if (const Outcome table = messages.usable(); !table)
        return failWith(err, table.reason());
    auto repository = openRepositoryFile(pathFromUtf8(file), pathFromUtf8(args.value("--git-dir").value_or("")));
    if (!repository)
        return failWith(err, repository.reason());
    const std::optional<std::string> pattern =
        tags ? std::optional<std::string>(args.operands.size() > 1 ? args.operands[1] : "") : std::nullopt;
    std::vector<std::string> warnings;
    const auto revisions = importRevisions(*repository->repository, pattern, range.value_or(""), every, &warnings);
    if (!revisions)
        return failWith(err, revisions.reason());
    for (const std::string& warning : warnings)
        err << "zorvika-cli: warning: " << warning << '\n';

    const bool progress = isTerminal(standardError());
    const DeferredInterrupt interrupts; // Ctrl-C stops after the revision being counted
    bool stopped = false;
    const ImportSummary summary = importHistory(
        *repository, file, *revisions, run.folder, messages,
        [&](const ImportLine& line) {
            out << line.commit.id << '\t' << commitDateText(line.commit) << '\t' << line.name << '\t'
                << line.version << '\t';
            if (line.skipped.empty())
                out << line.pureCode;
            else
                out << "skipped: " << line.skipped;
            out << '\n';
        },
        [&](std::size_t i) {
            if (DeferredInterrupt::requested()) {
                stopped = true;
                return false;
            }
            if (progress)
                err << "\rrevision " << i + 1 << " of " << revisions->size() << std::flush;
            return true;
        });
    if (progress)
        err << '\n';
    out << "revisions: " << summary.counted << " counted, " << summary.stored << " snapshots stored, "
        << summary.absent + summary.unstorable << " skipped (" << summary.absent << " without the project file, "
        << summary.unstorable << " with an unstorable name)" << (stopped ? ", stopped by an interrupt" : "") << '\n';
    if (!summary.error.empty())
        return failWith(err, summary.error);
    // An interrupt that came after the last revision still ends the run as one.
    return DeferredInterrupt::requested() ? DeferredInterrupt::exitStatus() : 0;
}

} // namespace zorvika
