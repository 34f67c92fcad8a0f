#include "output/snapshot_store.h"

#include "output/snapshot_format.h"

#include "base/file_io.h"
#include "base/program_folder.h"

#include "base/platform.h"
#include "base/text_codec.h"


namespace zorvika {

namespace fs = std::filesystem;

bool isStorableName(std::string_view name)
{
    if (name.empty() || name == "." || name == ".." || name.starts_with(kTempFilePrefix))
        return false;
    for (char ch : name) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7F || c == '/' || c == '\\')
            return false;
    }
    return systemAcceptsFileName(name);
}

bool isStoredEntryName(std::string_view name)
{
    if (name.empty() || name == "." || name == ".." || name.starts_with(kTempFilePrefix))
        return false;
    for (char c : name)
        if (c == '\0' || c == '/' || (kWindowsFileSystem && c == '\\'))
            return false;
    return true;
}

Result<void, SaveError> saveSnapshot(const ProgramFolder& folder, std::string_view name, std::string_view version,
                                     const std::vector<ModuleRow>& rows, std::string_view totalsText,
                                     Durability durability)
{
    using Saved = Result<void, SaveError>;
    auto named = [&](const Failure<SaveError>& failure) -> Saved {
        // Joined as text: a name that is no name of the system ("a:b" is a
        // drive on Windows) still shows as it was given.
        const std::string separator(1, static_cast<char>(fs::path::preferred_separator));
        return failure.about(utf8Of(folder.store() / "") + std::string(name) + separator + std::string(version));
    };
    auto refuse = [&](SaveError kind, const std::string& why) { return named(fail(kind, why)); };
    const Result<OpenFolder> openedStore = OpenFolder::open(folder.store());
    if (!openedStore)
        return named(openedStore.failure().as(SaveError::NoStore));
    const OpenFolder& store = *openedStore;
    if (!isStorableName(name))
        return refuse(SaveError::BadName, "the project name \"" + toDisplayText(name) + "\" cannot name a folder");
    // Both names are checked before anything is made: nothing is made for
    // a snapshot that is not stored.
    if (!isStorableName(version))
        return refuse(SaveError::BadVersion, "the version \"" + toDisplayText(version) + "\" cannot name a file");
    const std::string nameText(name);
    const Result<void, MakeError> made = store.makeFolder(nameText);
    if (!made && made.kind() != MakeError::Exists)
        return named(made.failure().as(SaveError::Failed));
    // A project folder this call made goes again when its snapshot cannot be
    // stored (only while it is empty: another run may have stored into it).
    auto unmake = [&](const Failure<SaveError>& failure) {
        if (made)
            static_cast<void>(store.removeFolder(nameText));
        return named(failure);
    };
    // Opened without following a link, so nothing is written outside the store.
    const Result<OpenFolder> openedProject = store.child(nameText, true);
    if (!openedProject) {
        const auto entry = store.entry(nameText);
        const bool isLink = entry && entry->kind == EntryKind::Link;
        return unmake(isLink ? fail(SaveError::Failed, "the project folder is a symbolic link; nothing is "
                                                       "written through it")
                             : openedProject.failure().as(SaveError::Failed));
    }
    const OpenFolder& project = *openedProject;
    const std::string versionText(version);
    if (const auto entry = project.entry(versionText); entry && entry->readOnly)
        return refuse(SaveError::ReadOnly, "read-only; the stored snapshot is kept");
    if (const Outcome written = writeFileBetween(store, project, versionText, snapshotText(rows, totalsText), durability);
        !written)
        return unmake(written.failure().as(SaveError::Failed));
    return {};
}

} // namespace zorvika
