#include "components/scratch_folder.h"

#include "components/file_io.h"
#include "components/interrupt_cleanup.h"

#include <cerrno>
#include <cstdlib>

namespace zorvika {

namespace fs = std::filesystem;

ScratchFolder::ScratchFolder(const std::string& stem, std::string* error)
{
    std::error_code ec;
    fs::path base = fs::temp_directory_path(ec);
    if (ec)
        base = "/tmp";
    std::string pattern = (base / (stem + "-XXXXXX")).string();
    const auto lock = cleanupLock();
    if (::mkdtemp(pattern.data()) == nullptr) {
        if (error)
            *error = base.string() + ": " + systemReason(errno);
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
    std::error_code ec;
    // Files left without write permission must not keep the folder.
    for (auto it = fs::recursive_directory_iterator(path_, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec))
        if (!it->is_symlink())
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

} // namespace zorvika
