#include "base/scratch_folder.h"

#include "base/file_io.h"
#include "base/interrupt_cleanup.h"

#include <cerrno>
#include <cstdlib>

namespace zorvika {

namespace fs = std::filesystem;

ScratchFolder::ScratchFolder(const std::string& stem)
{
    std::error_code ec;
    fs::path base = fs::temp_directory_path(ec);
    if (ec)
        base = "/tmp";
    std::string pattern = (base / (stem + "-XXXXXX")).string();
    const auto lock = cleanupLock();
    if (::mkdtemp(pattern.data()) == nullptr) {
        made_ = Outcome::failure(base.string() + ": " + systemReason(errno));
        return;
    }
    path_ = pattern;
    cleanup_ = addCleanup(CleanupKind::Folder, pattern);
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
