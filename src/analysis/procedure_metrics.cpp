#include "analysis/procedure_metrics.h"

#include "analysis/line_counter.h"
#include "analysis/module_stream.h"
#include "analysis/project_reader.h"
#include "analysis/source_tree.h"
#include "base/parallel.h"
#include "base/text_codec.h"

#include <algorithm>

namespace zorvika {

namespace {

// Threads that analyse the modules of a project at once: this machine's
// cores, and no more than a few (each holds one piece of a module).
std::size_t analysisWorkers()
{
    static const std::size_t workers = std::min<std::size_t>(machineThreads(), 4);
    return workers;
}

// The module's pieces through the analysis; nothing when it cannot be read to its end.
std::optional<ModuleMetrics> analyzeStream(ModuleStream& stream, PieceBuffer& buffer, bool standardModule)
{
    ModuleAnalyzer analyzer = ModuleAnalyzer::byHeaderRule(standardModule);
    for (;;) {
        std::string_view piece;
        if (!stream.next(buffer, piece))
            return std::nullopt;
        if (piece.empty())
            return analyzer.finish();
        analyzer.feed(piece);
    }
}

} // namespace

std::string_view procedureKindText(ProcedureKind kind)
{
    switch (kind) {
    case ProcedureKind::Sub: return "Sub";
    case ProcedureKind::Function: return "Function";
    case ProcedureKind::PropertyGet: return "Property Get";
    case ProcedureKind::PropertyLet: return "Property Let";
    case ProcedureKind::PropertySet: return "Property Set";
    }
    return {};
}

ModuleMetrics analyzeModuleText(std::string_view text, std::int64_t headerLines)
{
    ModuleAnalyzer analyzer(headerLines);
    analyzer.feed(text);
    return analyzer.finish();
}

std::optional<ModuleMetrics> analyzeModuleFile(const std::filesystem::path& path, bool standardModule)
{
    const std::unique_ptr<ModuleStream> stream = openFileStream(path);
    if (!stream)
        return std::nullopt;
    PieceBuffer buffer;
    return analyzeStream(*stream, buffer, standardModule);
}

std::vector<ModuleAnalysis> analyzeProjectText(std::string_view projectText, const std::filesystem::path& projectFolder)
{
    FileSystemTree tree;
    return analyzeProjectText(projectText, projectFolder, tree);
}

std::vector<ModuleAnalysis> analyzeProjectText(std::string_view projectText, const std::filesystem::path& projectFolder,
                                               SourceTree& tree)
{
    const std::vector<std::string> entries = readModuleEntries(projectText);
    std::vector<ModuleAnalysis> result(entries.size());
    // Modules are independent of each other: each worker takes the next
    // entry and opens it while it holds the loop's lock (the tree serves one
    // caller at a time, and so opens the entries in their order), then reads
    // and analyses it in pieces on its own, into the entry's own place, so
    // the result is the same in any order of work.
    const std::size_t workers = std::min<std::size_t>(entries.size(), analysisWorkers());
    std::vector<std::unique_ptr<ModuleStream>> opened(workers); // each worker's module
    std::vector<PieceBuffer> buffers(workers);                  // the modules a worker reads share it
    parallelFor(
        entries.size(), workers,
        [&](std::size_t i, std::size_t worker) {
            opened[worker].reset();
            if (const auto resolved = tree.resolve(projectFolder, entries[i]))
                opened[worker] = tree.openModule(*resolved);
        },
        [&](std::size_t i, std::size_t worker) {
            const std::unique_ptr<ModuleStream> stream = std::move(opened[worker]);
            const std::string& path = entries[i];
            ModuleAnalysis& module = result[i];
            module.module = toDisplayText(path);
            if (stream)
                module.metrics = analyzeStream(*stream, buffers[worker], isStandardModulePath(path));
            module.type = module.metrics ? std::string(moduleTypeOf(path)) : std::string(kTypeInvalid);
        });
    return result;
}

} // namespace zorvika
