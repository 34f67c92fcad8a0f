#include "analysis/procedure_metrics.h"

#include "analysis/line_counter.h"
#include "analysis/module_stream.h"
#include "analysis/project_reader.h"
#include "analysis/source_tree.h"
#include "base/text_codec.h"

#include <algorithm>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>

namespace zorvika {

namespace {

// Threads that analyse the modules of a project at once: this machine's
// cores, and no more than a few (each holds one piece of a module).
std::size_t analysisWorkers()
{
    static const std::size_t workers = std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, 4);
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
    // entry, opens it while it holds the tree (which serves one caller at a
    // time) and reads and analyses it in pieces on its own, into the entry's
    // own place, so the result is the same in any order of work.
    std::mutex treeLock;
    std::size_t next = 0;          // the next entry to take, under treeLock
    std::exception_ptr failure;    // the first failure of any worker, under treeLock
    auto work = [&] {
        try {
            PieceBuffer buffer; // the modules a worker reads share it
            for (;;) {
                std::size_t i = 0;
                std::unique_ptr<ModuleStream> stream;
                {
                    const std::lock_guard<std::mutex> hold(treeLock);
                    if (next == entries.size() || failure)
                        return;
                    i = next++;
                    if (const auto resolved = tree.resolve(projectFolder, entries[i]))
                        stream = tree.openModule(*resolved);
                }
                const std::string& path = entries[i];
                ModuleAnalysis& module = result[i];
                module.module = toDisplayText(path);
                if (stream)
                    module.metrics = analyzeStream(*stream, buffer, isStandardModulePath(path));
                module.type = module.metrics ? std::string(moduleTypeOf(path)) : std::string(kTypeInvalid);
            }
        } catch (...) {
            const std::lock_guard<std::mutex> hold(treeLock);
            if (!failure)
                failure = std::current_exception();
        }
    };
    const std::size_t workers = std::min<std::size_t>(entries.size(), analysisWorkers());
    std::vector<std::thread> helpers;
    for (std::size_t k = 1; k < workers; ++k) {
        try {
            helpers.emplace_back(work);
        } catch (const std::system_error&) {
            break; // no more threads to be had: fewer workers do the same work
        }
    }
    work();
    for (std::thread& helper : helpers)
        helper.join();
    if (failure)
        std::rethrow_exception(failure);
    return result;
}

} // namespace zorvika
