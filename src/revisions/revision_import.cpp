#include "revisions/revision_import.h"

#include "base/platform.h"

#include "analysis/results.h"
#include "output/snapshot_store.h"
#include "shell/message_table.h"

#include <algorithm>
#include <cerrno>
#include <ctime>

namespace zorvika {

namespace fs = std::filesystem;

Result<RepositoryFile> openRepositoryFile(const fs::path& file, const fs::path& gitDir)
{
    std::error_code ec;
    const fs::path absolute = fs::absolute(file, ec).lexically_normal();
    auto repository = GitRepository::open(absolute.parent_path(), gitDir);
    if (!repository)
        return Result<RepositoryFile>::failureOf(repository);
    RepositoryFile found;
    found.repository = std::move(repository).value();
    const fs::path& workTree = found.repository->workTree();
    if (workTree.empty()) {
        // A bare repository: the file is named by its path in the tree.
        found.treePath = (fs::path("/") / file.relative_path()).lexically_normal();
        return found;
    }
    const fs::path root = fs::weakly_canonical(workTree, ec);
    const fs::path relative = fs::weakly_canonical(absolute, ec).lexically_relative(root);
    if (relative.empty() || *relative.begin() == "..")
        return fail(file.string() + ": not inside the work tree of " + workTree.string());
    found.treePath = fs::path("/") / relative;
    return found;
}

RevisionRun countRevision(RepositoryFile& file, const fs::path& userName, const GitCommit& commit,
                          const ProgramFolder& folder, const MessageTable& messages, BlobScans& scans)
{
    RevisionRun run;
    run.commit = commit;
    RevisionTree tree(*file.repository, commit, scans);
    const Result<std::string, ReadError> contents = tree.read(file.treePath);
    if (!tree.objectsRead()) {
        // A tree on the way that cannot be read is no absent file.
        run.error = commit.id + ": " + tree.objectsRead().reason();
        return run;
    }
    if (!contents && contents.kind() == ReadError::Missing) {
        run.absent = true;
        return run;
    }
    Result<Selection, SelectionError> chosen = makeSelection(userName, file.treePath, folder, tree);
    if (!chosen) {
        run.error = commit.id + ": " + (tree.objectsRead() ? chosen.reason() : tree.objectsRead().reason());
        return run;
    }
    for (std::size_t k = 0; k < chosen->size(); ++k)
        run.projects.push_back(runProject(*chosen, k, messages, tree));
    if (!tree.objectsRead()) {
        // A corrupt or missing object: nothing of this revision counts.
        run.error = commit.id + ": " + tree.objectsRead().reason();
        run.projects.clear();
        return run;
    }
    run.selection = std::move(chosen).value();
    return run;
}

Result<std::vector<GitCommit>> importRevisions(GitRepository& repository, std::optional<std::string> tagPattern,
                                               const std::string& range, std::uint64_t every,
                                               std::vector<std::string>* warnings)
{
    auto commits = tagPattern ? repository.tagged(*tagPattern, warnings) : repository.range(range);
    if (!commits || every <= 1)
        return commits;
    std::vector<GitCommit> picked;
    const std::size_t n = commits->size();
    for (std::size_t i = 0; i < n; ++i)
        if ((n - 1 - i) % every == 0)
            picked.push_back((*commits)[i]);
    return picked;
}

std::vector<std::string> importTargetNames(RepositoryFile& file, const fs::path& userName, const GitCommit& newest,
                                           const ProgramFolder& folder, const MessageTable& messages)
{
    BlobScans scans;
    const RevisionRun run = countRevision(file, userName, newest, folder, messages, scans);
    std::vector<std::string> names;
    for (const ProjectRun& project : run.projects)
        if (project.readable
            && std::find(names.begin(), names.end(), project.info.name()) == names.end())
            names.push_back(project.info.name());
    return names;
}

std::string commitDateText(const GitCommit& commit)
{
    const std::time_t local = static_cast<std::time_t>(commit.time + commit.offsetMinutes * 60);
    const std::tm tm = universalTime(local);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &tm);
    const int offset = (commit.offsetMinutes < 0 ? -commit.offsetMinutes : commit.offsetMinutes) % (100 * 60);
    char zone[16];
    std::snprintf(zone, sizeof zone, " %c%02d%02d", commit.offsetMinutes < 0 ? '-' : '+', offset / 60, offset % 60);
    return std::string(buf) + zone;
}

static void importRevisionsInto(ImportSummary& summary, RepositoryFile& file, const fs::path& userName,
                                const std::vector<GitCommit>& revisions, const ProgramFolder& folder,
                                const MessageTable& messages, const std::function<void(const ImportLine&)>& onLine,
                                const std::function<bool(std::size_t)>& keepGoing)
{
    BlobScans scans;
    for (std::size_t i = 0; i < revisions.size(); ++i) {
        if (keepGoing && !keepGoing(i))
            break;
        // What the revision before read stays for this one; older trees and
        // scans go.
        file.repository->beginRevision();
        scans.beginRevision();
        const RevisionRun run = countRevision(file, userName, revisions[i], folder, messages, scans);
        if (!run.error.empty()) {
            summary.error = run.error;
            break;
        }
        if (run.absent) {
            ++summary.absent;
            onLine({revisions[i], {}, {}, 0, false, "project file absent"});
            continue;
        }
        ++summary.counted;
        for (const ProjectRun& project : run.projects) {
            ImportLine line{revisions[i], project.info.name(), project.info.version(),
                            project.totals.tp - project.totals.tc - project.totals.tb, false, {}};
            if (!project.readable) {
                line.skipped = project.readable.reason();
            } else {
                // Stored in the list's order, as "count --save" stores it.
                const auto rows = sortedRows(project.rows, SortState{});
                // Flushed to the disk together at the end: one flush, not one a revision.
                const auto saved =
                    saveSnapshot(folder, line.name, line.version, rows, project.totalsText, Durability::Unsynced);
                line.stored = saved.ok();
                if (!saved && (saved.kind() == SaveError::BadName || saved.kind() == SaveError::BadVersion)) {
                    line.skipped = "unstorable name";
                    ++summary.unstorable;
                } else if (!saved) {
                    summary.error = saved.reason();
                }
            }
            summary.stored += line.stored;
            onLine(line);
            if (!summary.error.empty())
                return;
        }
    }
}

ImportSummary importHistory(RepositoryFile& file, const fs::path& userName, const std::vector<GitCommit>& revisions,
                            const ProgramFolder& folder, const MessageTable& messages,
                            const std::function<void(const ImportLine&)>& onLine,
                            const std::function<bool(std::size_t)>& keepGoing)
{
    ImportSummary summary;
    // What was stored is flushed whatever ends the import: its end, an
    // interrupt, a failing revision, or an error thrown on the way.
    auto flush = [&] {
        if (summary.stored == 0)
            return;
        if (const Outcome synced = syncFileSystem(folder.store()); !synced) {
            const std::string failed = folder.store().string() + ": " + synced.reason();
            summary.error = summary.error.empty() ? failed : summary.error + "; and " + failed;
        }
    };
    try {
        importRevisionsInto(summary, file, userName, revisions, folder, messages, onLine, keepGoing);
    } catch (...) {
        flush();
        throw;
    }
    flush();
    return summary;
}

} // namespace zorvika
