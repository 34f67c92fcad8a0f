#include "base/program_folder.h"

#include "base/file_io.h"
#include "base/system_folders.h"
#include "base/system_paths.h"
#include "base/system_processes.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <system_error>
#include <vector>

namespace zorvika {

namespace fs = std::filesystem;

namespace {

// The installed folders relative to the install prefix, as the build set them.
#ifndef ZORVIKA_INSTALL_BINDIR
#define ZORVIKA_INSTALL_BINDIR "bin"
#endif
#ifndef ZORVIKA_INSTALL_DATADIR
#define ZORVIKA_INSTALL_DATADIR "share"
#endif

// The prefix that `folder` is the program folder of ("/usr" for "/usr/bin"),
// or nothing when its last names are not the install's program folder.
std::optional<fs::path> installPrefixOf(fs::path folder)
{
    folder = folder.lexically_normal();
    if (!folder.empty() && !folder.has_filename())
        folder = folder.parent_path();
    const fs::path bindir = fs::path(ZORVIKA_INSTALL_BINDIR).lexically_normal();
    std::vector<fs::path> names(bindir.begin(), bindir.end());
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
        if (it->empty() || folder.filename() != *it)
            return std::nullopt;
        folder = folder.parent_path();
    }
    return folder;
}

} // namespace

ProgramFolder programFolderFor(const fs::path& executableFolder, std::string_view xdgDataHome, std::string_view home)
{
    std::error_code ec;
    const std::optional<fs::path> prefix = installPrefixOf(executableFolder);
    const fs::path shared = prefix ? *prefix / ZORVIKA_INSTALL_DATADIR / "zorvika" : fs::path();
    const bool besideShared = prefix && fs::is_regular_file(shared / "tips.dll", ec);
    const bool marked = fs::is_regular_file(executableFolder / kInstallMarker, ec);
    if (!besideShared && !marked && canWriteInto(executableFolder))
        return {executableFolder};
    fs::path data = !xdgDataHome.empty() && pathFromUtf8(xdgDataHome).is_absolute()
                        ? pathFromUtf8(xdgDataHome)
                        : pathFromUtf8(home) / ".local" / "share";
    const bool sharedExists = prefix && fs::is_directory(shared, ec);
    ProgramFolder folder{sharedExists ? shared : executableFolder, data / "zorvika"};
    if (!data.is_absolute()) {
        // Made relative to the current folder it would land wherever the
        // program was started.
        folder.unusable = std::string("no home folder to keep tempprjfiles and verhis in: set ")
                          + (kWindowsFileSystem ? "LOCALAPPDATA" : "XDG_DATA_HOME or HOME")
                          + ", or give --program-folder";
    }
    return folder;
}

ProgramFolder givenProgramFolder(const fs::path& dir, const ProgramFolder& own)
{
    ProgramFolder folder{dir};
    if (!own.data.empty())
        folder.shipped = own.root;
    return folder;
}

fs::path ProgramFolder::messageTable() const
{
    if (!table.empty())
        return table;
    fs::path own = root / "tips.dll";
    if (shipped.empty())
        return own;
    std::error_code ec;
    return fs::exists(fs::symlink_status(own, ec)) ? own : shipped / "tips.dll";
}

ProgramFolder ProgramFolder::ofExecutable()
{
    std::error_code ec;
    const std::optional<fs::path> exe = executablePath();
    if (!exe)
        return {fs::current_path(ec)};
    // The user's own data folder: XDG's on POSIX systems, the local
    // application data on Windows.
    const std::optional<std::string> xdg = environmentVariable(kWindowsFileSystem ? "LOCALAPPDATA" : "XDG_DATA_HOME");
    return programFolderFor(exe->parent_path(), xdg ? *xdg : "", homeFolder());
}

void ensureWorkFiles(const ProgramFolder& folder)
{
    if (!folder.unusable.empty())
        return;
    std::error_code ec;
    if (!folder.data.empty())
        fs::create_directories(folder.data, ec);
    if (!fs::is_directory(folder.workingCopies(), ec))
        fs::create_directory(folder.workingCopies(), ec);
    if (!fs::is_directory(folder.store(), ec))
        fs::create_directory(folder.store(), ec);
    if (folder.table.empty() && folder.shipped.empty() && !fs::exists(fs::symlink_status(folder.messageTable(), ec))) {
        // An empty table, so that the program finds one; a failure shows
        // when the table is read.
        static_cast<void>(writeFileAtomically(folder.messageTable(), {}, {}, Durability::Unsynced));
    }
    removeStaleTemporaryFiles(folder.store());
    removeStaleTemporaryFiles(folder.workingCopies());
}

void removeStaleTemporaryFiles(const fs::path& store)
{
    // A write that was killed (SIGKILL, a crash) leaves its temporary file
    // beside its target; one older than ten minutes belongs to no running
    // write.
    std::error_code ec;
    const auto limit = fs::file_time_type::clock::now() - std::chrono::minutes(10);
    for (fs::directory_iterator it(store, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code fileError;
        if (it->path().filename().string().starts_with(kTempFilePrefix) && it->is_regular_file(fileError)
            && it->last_write_time(fileError) < limit && !fileError)
            fs::remove(it->path(), fileError);
    }
}

} // namespace zorvika
