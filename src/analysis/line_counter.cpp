#include "analysis/line_counter.h"

#include "analysis/path_resolver.h"
#include "analysis/project_reader.h"
#include "components/file_io.h"
#include "components/text_codec.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>
#include <unistd.h>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zorvika {

namespace {

constexpr char kExposed[] = "attribute vb_exposed";
constexpr int kExposedLen = sizeof kExposed - 1;

inline bool isLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

// The first CR or LF at or after p, or end: one pass over the bytes, sixteen
// at a time where the processor has SSE2.
inline const char* findLineEnd(const char* p, const char* const end)
{
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    while (end - p >= 64) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16));
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 32));
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 48));
        const __m128i ma = _mm_or_si128(_mm_cmpeq_epi8(a, cr), _mm_cmpeq_epi8(a, lf));
        const __m128i mb = _mm_or_si128(_mm_cmpeq_epi8(b, cr), _mm_cmpeq_epi8(b, lf));
        const __m128i mc = _mm_or_si128(_mm_cmpeq_epi8(c, cr), _mm_cmpeq_epi8(c, lf));
        const __m128i md = _mm_or_si128(_mm_cmpeq_epi8(d, cr), _mm_cmpeq_epi8(d, lf));
        const int any = _mm_movemask_epi8(_mm_or_si128(_mm_or_si128(ma, mb), _mm_or_si128(mc, md)));
        if (any != 0) {
            const std::uint64_t bits = static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(ma)))
                                       | static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(mb))) << 16
                                       | static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(mc))) << 32
                                       | static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(md))) << 48;
            return p + __builtin_ctzll(bits);
        }
        p += 64;
    }
    while (end - p >= 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const int m = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf)));
        if (m != 0)
            return p + __builtin_ctz(static_cast<unsigned>(m));
        p += 16;
    }
#endif
    while (p < end && !isLineEnd(*p))
        ++p;
    return p;
}

} // namespace

void ModuleScanner::feed(std::string_view chunk)
{
    const char* p = chunk.data();
    const char* const end = p + chunk.size();
    if (pendingCr_ && p < end) {
        pendingCr_ = false;
        if (*p == '\n')
            ++p;
    }
    while (p < end) {
        if (!inLine_) {
            inLine_ = true;
            decided_ = false;
            prefix_ = scan_.exposedLine == 0 ? 0 : -1;
            ++scan_.lines;
        }
        if (prefix_ >= 0) {
            const char* q = p;
            while (prefix_ < kExposedLen && q < end) {
                char c = *q++;
                if (c >= 'A' && c <= 'Z')
                    c = static_cast<char>(c - 'A' + 'a');
                if (c != kExposed[prefix_]) {
                    prefix_ = -1;
                    break;
                }
                ++prefix_;
            }
            if (prefix_ == kExposedLen) {
                scan_.exposedLine = scan_.lines;
                prefix_ = -1;
            }
        }
        if (!decided_) {
            while (p < end && (*p == ' ' || *p == '\t'))
                ++p;
            if (p == end)
                return;
            if (!isLineEnd(*p)) {
                decided_ = true;
                if (*p == '\'')
                    ++scan_.commentLines;
            }
        }
        const char* lineEnd = findLineEnd(p, end);
        if (lineEnd == end)
            return; // the line goes on in the next piece
        if (!decided_)
            ++scan_.blankLines;
        inLine_ = false;
        prefix_ = -1;
        if (*lineEnd == '\r') {
            if (lineEnd + 1 == end)
                pendingCr_ = true;
            p = (lineEnd + 1 < end && lineEnd[1] == '\n') ? lineEnd + 2 : lineEnd + 1;
        } else {
            p = lineEnd + 1;
        }
    }
}

ModuleScan ModuleScanner::finish()
{
    if (inLine_ && !decided_)
        ++scan_.blankLines;
    inLine_ = false;
    pendingCr_ = false;
    return scan_;
}

ModuleScan scanModuleText(std::string_view text)
{
    ModuleScanner scanner;
    scanner.feed(text);
    return scanner.finish();
}

namespace {

constexpr std::size_t kChunk = 256 * 1024;
// The kernel copies into a page-aligned buffer several times faster than
// into one that starts a few bytes past a page boundary.
constexpr std::size_t kBufferAlignment = 4096;

} // namespace

ModuleReader::ModuleReader()
    : buffer_(static_cast<char*>(std::aligned_alloc(kBufferAlignment, kChunk)))
{
    if (!buffer_)
        throw std::bad_alloc();
}

ModuleReader::~ModuleReader()
{
    std::free(buffer_);
}

std::size_t ModuleReader::FileKeyHash::operator()(const FileKey& k) const
{
    std::uint64_t h = k.inode * 0x9E3779B97F4A7C15ull;
    h ^= k.device + 0x632BE59BD9B4E019ull + (h << 6) + (h >> 2);
    h ^= k.size + static_cast<std::uint64_t>(k.nanoseconds) + (h << 6) + (h >> 2);
    return static_cast<std::size_t>(h);
}

std::optional<ModuleScan> ModuleReader::scanOpened(int fd, const struct stat& info)
{
    const FileKey key{static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
                      static_cast<std::uint64_t>(info.st_size), static_cast<std::int64_t>(info.st_mtim.tv_sec),
                      static_cast<std::int64_t>(info.st_mtim.tv_nsec)};
    if (auto known = scanned_.find(key); known != scanned_.end()) {
        ::close(fd);
        return known->second;
    }
    std::uint64_t left = info.st_size > 0 ? static_cast<std::uint64_t>(info.st_size) : 0;
    ModuleScanner scanner;
    while (left > 0) {
        const ssize_t r = ::read(fd, buffer_, static_cast<std::size_t>(std::min<std::uint64_t>(left, kChunk)));
        if (r < 0 && errno == EINTR)
            continue;
        if (r < 0) {
            ::close(fd);
            return std::nullopt;
        }
        if (r == 0)
            break;
        scanner.feed(std::string_view(buffer_, static_cast<std::size_t>(r)));
        left -= static_cast<std::uint64_t>(r);
    }
    ::close(fd);
    const ModuleScan scan = scanner.finish();
    scanned_.emplace(key, scan);
    return scan;
}

std::optional<ModuleScan> ModuleReader::scan(const std::filesystem::path& projectFolder, std::string_view entry)
{
    if (entry.empty() || isDriveLetterPath(entry))
        return std::nullopt;
    // The path as written, with "/" for "\": most entries name their file
    // exactly, and then one open finds it.
    exactPath_.clear();
    if (entry.front() != '\\' && entry.front() != '/') {
        exactPath_ = projectFolder.native();
        if (!exactPath_.empty() && exactPath_.back() != '/')
            exactPath_ += '/';
    }
    const std::size_t from = exactPath_.size();
    exactPath_ += entry;
    std::replace(exactPath_.begin() + static_cast<std::ptrdiff_t>(from), exactPath_.end(), '\\', '/');
    ReadStatus status;
    struct stat info {};
    int fd = openRegularFile(exactPath_.c_str(), status, info);
    // Opened, the path exists as written, which is what resolving would
    // give first; a path that exists as something else than a regular
    // file is no module either way.
    if (fd < 0 && status != ReadStatus::NotRegular) {
        const auto resolved = resolver_.resolve(projectFolder, entry);
        if (resolved)
            fd = openRegularFile(resolved->c_str(), status, info);
    }
    if (fd < 0)
        return std::nullopt;
    return scanOpened(fd, info);
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
    ModuleReader reader;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::string& path = entries[i];
        ModuleRow& row = result.rows[i];
        row.cells[ColModule] = toDisplayText(path);
        const std::optional<ModuleScan> scan = reader.scan(projectFolder, path);
        if (!scan) {
            row.cells[ColType] = kTypeInvalid;
            continue;
        }
        row.cells[ColType] = moduleTypeOf(path);
        const ModuleFigures figures = figuresFromScan(*scan, isStandardModulePath(path));
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
