#include "base/scratch_folder.h"

#include "base/file_io.h"
#include "base/interrupt_cleanup.h"
#include "base/system_folders.h"
#include "base/system_paths.h"

namespace zorvika {

namespace fs = std::filesystem;

ScratchFolder::ScratchFolder(const std::string& stem)
{
    std::error_code ec;
    fs::path base = fs::temp_directory_path(ec);
    if (ec)
        base = "/tmp";
    const auto lock = cleanupLock();
    const Result<fs::path> made = makeUniqueFolder(base / pathFromUtf8(stem + "-"));
    if (!made) {
        made_ = made.failure().about(utf8Of(base));
        return;
    }
    path_ = *made;
    cleanup_ = addCleanup(CleanupKind::Folder, path_);
}

ScratchFolder::~ScratchFolder()
{
    if (path_.empty())
        return;
    // Removed while holding the clean-up lock, so an interrupt meanwhile
    // waits for it instead of racing it.
    const auto lock = cleanupLock();
    dropCleanup(cleanup_);
    removeFolderTree(path_);
}

} // namespace zorvika
