#include "revisions/loose_object.h"

#include "base/file_io.h"
#include "base/platform.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace zorvika {

namespace {

// git refuses a loose object whose header is longer than this.
constexpr std::size_t kMaxHeader = 32;
// zlib's densest stream: about 1032 bytes out for each byte in.
constexpr std::uint64_t kMaxInflateRatio = 1032;

bool knownType(std::string_view type)
{
    return type == "commit" || type == "tree" || type == "blob" || type == "tag";
}

class Inflater {
public:
    explicit Inflater(int fd) : fd_(fd), in_(64 * 1024) { ok_ = inflateInit(&z_) == Z_OK; }
    ~Inflater()
    {
        if (ok_)
            inflateEnd(&z_);
    }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;
    bool ready() const { return ok_; }

    // One step of inflating into [out, out + room): reads more of the file
    // when the input is used up. Returns what came out, or -1 with `error`;
    // `ended` once the stream is whole. A step that can neither read nor
    // inflate is the stream cut short, so each step makes progress or ends.
    long long step(unsigned char* out, std::size_t room, std::string& error)
    {
        if (z_.avail_in == 0 && !atEnd_) {
            const Result<std::size_t> n = readSome(fd_, reinterpret_cast<char*>(in_.data()), in_.size());
            if (!n) {
                error = n.reason();
                return -1;
            }
            atEnd_ = *n == 0;
            z_.next_in = in_.data();
            z_.avail_in = static_cast<uInt>(*n);
        }
        z_.next_out = out;
        z_.avail_out = static_cast<uInt>(std::min<std::size_t>(room, std::size_t{1} << 30));
        const uInt before = z_.avail_out;
        const int rc = inflate(&z_, Z_NO_FLUSH);
        const long long produced = static_cast<long long>(before - z_.avail_out);
        if (rc == Z_STREAM_END) {
            ended = true;
            return produced;
        }
        if (rc == Z_OK || (rc == Z_BUF_ERROR && !(z_.avail_in == 0 && atEnd_)))
            return produced;
        error = rc == Z_BUF_ERROR ? "the object is cut short"
                                  : std::string("the object's data is damaged") + (z_.msg ? std::string(" (") + z_.msg + ")" : "");
        return -1;
    }

    bool ended = false;

private:
    int fd_;
    std::vector<unsigned char> in_;
    z_stream z_{};
    bool ok_ = false;
    bool atEnd_ = false;
};

} // namespace

LooseObject readLooseObject(const std::filesystem::path& file, const std::function<char*(std::size_t)>& allocate,
                            const std::function<void(char*)>& release)
{
    LooseObject object;
    auto damaged = [&](std::string why) {
        if (object.data && release)
            release(object.data);
        object.data = nullptr;
        object.status = LooseStatus::Damaged;
        object.reason = std::move(why);
        return object;
    };
    const Result<FileHandle> opened = openForReading(file);
    if (!opened) {
        if (opened.failure().cause == Cause::NoSuchFile)
            return object; // Missing
        return damaged(opened.reason());
    }
    const FileHandle& fd = *opened;
    const auto info = infoOf(fd.get());
    if (!info || info->kind != EntryKind::File)
        return damaged("not a regular file");
    Inflater inflater(fd.get());
    if (!inflater.ready())
        return damaged("out of memory");

    // The header, and whatever of the bytes came out with it.
    unsigned char head[kMaxHeader + 64];
    std::size_t got = 0;
    const unsigned char* nul = nullptr;
    std::string error;
    while (!(nul = static_cast<const unsigned char*>(std::memchr(head, 0, got)))) {
        if (got > kMaxHeader || inflater.ended)
            return damaged("the object's header does not parse");
        const long long n = inflater.step(head + got, sizeof head - got, error);
        if (n < 0)
            return damaged(error);
        got += static_cast<std::size_t>(n);
    }
    const std::string_view header(reinterpret_cast<const char*>(head), static_cast<std::size_t>(nul - head));
    const auto space = header.find(' ');
    if (space == std::string_view::npos || header.size() > kMaxHeader || !knownType(header.substr(0, space))
        || space + 1 == header.size())
        return damaged("the object's header does not parse");
    std::uint64_t size = 0;
    for (const char c : header.substr(space + 1)) {
        if (c < '0' || c > '9' || size > (std::uint64_t{1} << 58))
            return damaged("the object's header does not parse");
        size = size * 10 + static_cast<std::uint64_t>(c - '0');
    }
    object.type = std::string(header.substr(0, space));
    object.size = size;
    const std::uint64_t fileSize = static_cast<std::uint64_t>(info->size);
    if (size > fileSize * kMaxInflateRatio + 1024 || size >= SIZE_MAX)
        return damaged("the object's header gives a size that its file cannot hold");
    if (!allocate) {
        object.status = LooseStatus::Ok;
        return object;
    }

    object.data = allocate(static_cast<std::size_t>(size) + 1);
    if (!object.data)
        return damaged("out of memory");
    const std::size_t early = got - static_cast<std::size_t>(nul + 1 - head);
    if (early > size)
        return damaged("the object holds more bytes than its header says");
    std::memcpy(object.data, nul + 1, early);
    std::uint64_t have = early;
    unsigned char extra = 0;
    while (!inflater.ended) {
        const bool full = have == size;
        const long long n = full ? inflater.step(&extra, 1, error)
                                 : inflater.step(reinterpret_cast<unsigned char*>(object.data) + have,
                                                 static_cast<std::size_t>(size - have), error);
        if (n < 0)
            return damaged(error);
        if (full && n > 0)
            return damaged("the object holds more bytes than its header says");
        have += static_cast<std::uint64_t>(n);
    }
    if (have != size)
        return damaged("the object holds fewer bytes than its header says");
    object.data[size] = 0;
    object.status = LooseStatus::Ok;
    return object;
}

} // namespace zorvika
