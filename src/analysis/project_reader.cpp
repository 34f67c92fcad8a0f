#include "analysis/project_reader.h"

#include "base/file_io.h"
#include "base/line_reader.h"
#include "base/text_codec.h"
#include "components/ini_reader.h"

namespace zorvika {

std::vector<std::string> readModuleEntries(std::string_view projectText)
{
    std::vector<std::string> paths;
    forEachLine(withoutUtf8Bom(projectText), [&](std::string_view line) {
        for (const ModuleKind& k : kModuleKinds) {
            if (!startsWithNoCase(line, k.entryKey))
                continue;
            std::string_view path;
            if (k.nameThenPath) {
                const auto first = line.find(';');
                if (first == std::string_view::npos)
                    continue;
                path = line.substr(first + 1);
                const auto second = path.find(';');
                if (second != std::string_view::npos)
                    path = path.substr(0, second);
            } else {
                path = line.substr(k.entryKey.size());
            }
            paths.emplace_back(trimSpaces(path));
        }
    });
    return paths;
}

ProjectInfo projectInfoFromText(std::string_view text)
{
    auto value = [&](std::string_view key) { return toDisplayText(readIniValueFromText(text, "Info", key)); };
    ProjectInfo info;
    info.values[0] = value("Name");
    info.values[1] = value("MajorVer") + "." + value("MinorVer") + "." + value("RevisionVer");
    info.values[2] = value("VersionProductName");
    info.values[3] = value("Description");
    info.values[4] = value("VersionComments");
    info.values[5] = value("VersionCompanyName");
    info.values[6] = value("VersionLegalCopyright");
    info.values[7] = value("VersionLegalTrademarks");
    return info;
}

ProjectInfo readProjectInfo(const std::filesystem::path& workingCopy)
{
    const auto text = readRegularFile(workingCopy);
    return projectInfoFromText(text ? std::string_view(*text) : std::string_view());
}

} // namespace zorvika
