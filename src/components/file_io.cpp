#include "components/file_io.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace zorvika {

namespace fs = std::filesystem;

std::string systemReason(int errnoValue)
{
    return std::strerror(errnoValue);
}

int openRegularFile(const char* path, ReadStatus& status, struct stat& st)
{
    // O_NONBLOCK: opening a FIFO must not wait for a writer; it is then
    // refused by the fstat test below. It has no effect on reading a
    // regular file.
    const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        status = (errno == ENOENT || errno == ENOTDIR) ? ReadStatus::Missing : ReadStatus::Unreadable;
        return -1;
    }
    st = {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        status = S_ISREG(st.st_mode) ? ReadStatus::Unreadable : ReadStatus::NotRegular;
        ::close(fd);
        return -1;
    }
    status = ReadStatus::Ok;
    return fd;
}

int openRegularFile(const fs::path& path, ReadStatus& status, std::uint64_t& size)
{
    struct stat st {};
    const int fd = openRegularFile(path.c_str(), status, st);
    if (fd >= 0)
        size = st.st_size > 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
    return fd;
}

ReadStatus readRegularFile(const fs::path& path, std::string& out)
{
    out.clear();
    ReadStatus status;
    std::uint64_t size = 0;
    const int fd = openRegularFile(path, status, size);
    if (fd < 0)
        return status;
    out.resize(static_cast<std::size_t>(size));
    std::size_t got = 0;
    for (;;) {
        if (got == out.size())
            out.resize(out.size() < 4096 ? 4096 : out.size() * 2);
        const ssize_t r = ::read(fd, out.data() + got, out.size() - got);
        if (r < 0) {
            if (errno == EINTR)
                continue;
            ::close(fd);
            out.clear();
            return ReadStatus::Unreadable;
        }
        if (r == 0)
            break;
        got += static_cast<std::size_t>(r);
    }
    out.resize(got);
    ::close(fd);
    return ReadStatus::Ok;
}

bool isRegularFile(const fs::path& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool isReadOnlyFile(const fs::path& path)
{
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return false;
    return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

static std::string randomSuffix()
{
    static thread_local std::mt19937_64 rng{std::random_device{}() ^ static_cast<unsigned long>(::getpid())};
    static const char digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string s;
    for (int i = 0; i < 12; ++i)
        s += digits[rng() % 36];
    return s;
}

// A scratch file is simply truncated and written.
static bool writeFileInPlace(const fs::path& target, std::string_view data, std::string* error)
{
    const int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0) {
        if (error)
            *error = systemReason(errno);
        return false;
    }
    const char* p = data.data();
    std::size_t left = data.size();
    while (left > 0) {
        const ssize_t w = ::write(fd, p, left);
        if (w < 0 && errno == EINTR)
            continue;
        if (w < 0) {
            if (error)
                *error = systemReason(errno);
            ::close(fd);
            return false;
        }
        p += w;
        left -= static_cast<std::size_t>(w);
    }
    if (::close(fd) != 0) {
        if (error)
            *error = systemReason(errno);
        return false;
    }
    return true;
}

bool writeFileAtomically(const fs::path& target, std::string_view data, std::string* error,
                         const fs::path& tempDir, Durability durability)
{
    auto fail = [&](int err) {
        if (error)
            *error = systemReason(err);
        return false;
    };
    if (isReadOnlyFile(target))
        return fail(EACCES);
    if (durability == Durability::Scratch)
        return writeFileInPlace(target, data, error);
    const fs::path dir = tempDir.empty() ? target.parent_path() : tempDir;
    fs::path temp;
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        temp = (dir.empty() ? fs::path(".") : dir) / (std::string(kTempFilePrefix) + randomSuffix());
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return fail(errno);
    }
    if (fd < 0)
        return fail(EEXIST);
    const char* p = data.data();
    std::size_t left = data.size();
    while (left > 0) {
        const ssize_t w = ::write(fd, p, left);
        if (w < 0) {
            if (errno == EINTR)
                continue;
            const int err = errno;
            ::close(fd);
            ::unlink(temp.c_str());
            return fail(err);
        }
        p += w;
        left -= static_cast<std::size_t>(w);
    }
    if ((durability == Durability::Synced && ::fsync(fd) != 0) || ::close(fd) != 0) {
        const int err = errno;
        ::unlink(temp.c_str());
        return fail(err);
    }
    // Keep the mode of a file that is replaced (less the umask the new file got).
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode))
        ::chmod(temp.c_str(), st.st_mode & 07777);
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        const int err = errno;
        ::unlink(temp.c_str());
        return fail(err);
    }
    return true;
}

} // namespace zorvika
