#include "analysis/line_counter.h"

#include "analysis/path_resolver.h"
#include "analysis/project_reader.h"
#include "components/file_io.h"
#include "components/text_codec.h"

namespace zorvika {

ModuleScan scanModuleText(std::string_view text)
{
    static constexpr char kExposed[] = "attribute vb_exposed";
    static constexpr std::size_t kExposedLen = sizeof kExposed - 1;
    ModuleScan scan;
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p < end) {
        ++scan.lines;
        const char* const start = p;
        if (scan.exposedLine == 0 && static_cast<std::size_t>(end - p) >= kExposedLen) {
            std::size_t i = 0;
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
        while (p < end && (*p == ' ' || *p == '\t'))
            ++p;
        if (p == end || *p == '\r' || *p == '\n')
            ++scan.blankLines;
        else if (*p == '\'')
            ++scan.commentLines;
        while (p < end && *p != '\r' && *p != '\n')
            ++p;
        if (p < end) {
            if (*p == '\r' && p + 1 < end && p[1] == '\n')
                p += 2;
            else
                ++p;
        }
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
