#include "analysis/line_counter.h"

#include "analysis/path_resolver.h"
#include "analysis/project_reader.h"
#include "components/file_io.h"
#include "components/text_codec.h"

#include <cstring>

namespace zorvika {

ModuleScan scanModuleText(std::string_view text)
{
    static constexpr char kExposed[] = "attribute vb_exposed";
    static constexpr std::size_t kExposedLen = sizeof kExposed - 1;
    ModuleScan scan;
    const char* p = text.data();
    const char* const end = p + text.size();
    // The next LF at or after p, found with memchr and kept until p passes
    // it, so that a file of CR line ends is still read in one pass.
    const char* nextLf = nullptr;
    while (p < end) {
        ++scan.lines;
        const char* const start = p;
        while (p < end && (*p == ' ' || *p == '\t'))
            ++p;
        if (p == end || *p == '\r' || *p == '\n')
            ++scan.blankLines;
        else if (*p == '\'')
            ++scan.commentLines;
        if (scan.exposedLine == 0 && static_cast<std::size_t>(end - start) >= kExposedLen
            && (start[0] | 0x20) == 'a') {
            std::size_t i = 1;
            while (i < kExposedLen) {
                char c = start[i];
                if (c >= 'A' && c <= 'Z')
                    c = static_cast<char>(c - 'A' + 'a');
                if (c != kExposed[i])
                    break;
                ++i;
            }
            if (i == kExposedLen)
                scan.exposedLine = scan.lines;
        }
        if (!nextLf || nextLf < p) {
            nextLf = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
            if (!nextLf)
                nextLf = end;
        }
        const char* cr = static_cast<const char*>(std::memchr(p, '\r', static_cast<std::size_t>(nextLf - p)));
        if (cr) {
            p = (cr + 1 == nextLf) ? nextLf + 1 : cr + 1;
        } else {
            p = nextLf + 1;
        }
        if (p > end)
            p = end;
    }
    return scan;
}

ModuleFigures figuresFromScan(const ModuleScan& scan, bool standardModule)
{
    ModuleFigures f;
    f.allLines = scan.lines;
    f.headerLines = standardModule ? 1 : scan.exposedLine;
    f.commentLines = scan.commentLines;
    f.blankLines = scan.blankLines;
    return f;
}

ProjectCount countProjectText(std::string_view projectText, const std::filesystem::path& projectFolder)
{
    ProjectCount result;
    const std::vector<std::string> entries = readModuleEntries(projectText);
    result.rows.resize(entries.size());
    PathResolver resolver;
    std::string data;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::string& path = entries[i];
        ModuleRow& row = result.rows[i];
        row.cells[ColModule] = toDisplayText(path);
        const auto resolved = resolver.resolve(projectFolder, path);
        if (!resolved || readRegularFile(*resolved, data) != ReadStatus::Ok) {
            row.cells[ColType] = kTypeInvalid;
            continue;
        }
        row.cells[ColType] = moduleTypeOf(path);
        const ModuleFigures figures = figuresFromScan(scanModuleText(data), isStandardModulePath(path));
        const auto values = figures.columns();
        for (std::size_t k = 0; k < values.size(); ++k)
            row.cells[ColP + k] = figureText(values[k]);
        result.totals.add(figures);
    }
    return result;
}

ProjectCount countProject(const std::filesystem::path& workingCopy, const std::filesystem::path& projectFolder)
{
    std::string text;
    if (readRegularFile(workingCopy, text) != ReadStatus::Ok)
        return {};
    return countProjectText(text, projectFolder);
}

} // namespace zorvika
