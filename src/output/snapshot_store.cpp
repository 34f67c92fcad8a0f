#include "output/snapshot_store.h"

#include "components/file_io.h"
#include "shell/message_table.h"

#include <system_error>

namespace zorvika {

namespace fs = std::filesystem;

bool isStorableName(std::string_view name)
{
    if (name.empty() || name == "." || name == "..")
        return false;
    for (char ch : name) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7F || c == '/' || c == '\\')
            return false;
    }
    return true;
}

std::string snapshotLine(const ModuleRow& row)
{
    std::string line;
    for (std::size_t i = 0; i < row.cells.size(); ++i) {
        if (i > 0)
            line += ':';
        line += row.cells[i];
    }
    return line;
}

std::string snapshotText(const std::vector<ModuleRow>& rows, std::string_view totalsText)
{
    std::string text;
    text.reserve(rows.size() * 64 + totalsText.size() + 2);
    for (const ModuleRow& row : rows) {
        text += snapshotLine(row);
        text += "\r\n";
    }
    text.append(totalsText);
    text += "\r\n";
    return text;
}

SaveStatus saveSnapshot(const ProgramFolder& folder, std::string_view name, std::string_view version,
                        const std::vector<ModuleRow>& rows, std::string_view totalsText)
{
    std::error_code ec;
    if (!fs::is_directory(folder.store(), ec))
        return SaveStatus::NoStore;
    if (!isStorableName(name))
        return SaveStatus::BadName;
    const fs::path projectFolder = folder.store() / std::string(name);
    if (!fs::is_directory(projectFolder, ec) && !fs::create_directory(projectFolder, ec))
        return SaveStatus::Failed;
    if (!isStorableName(version))
        return SaveStatus::BadVersion;
    const fs::path file = projectFolder / std::string(version);
    if (isReadOnlyFile(file))
        return SaveStatus::ReadOnly;
    if (!writeFileAtomically(file, snapshotText(rows, totalsText), nullptr, folder.store()))
        return SaveStatus::Failed;
    return SaveStatus::Stored;
}

} // namespace zorvika
