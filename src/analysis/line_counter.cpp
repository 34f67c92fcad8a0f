#include "analysis/line_counter.h"

#include "analysis/path_resolver.h"
#include "analysis/project_reader.h"
#include "analysis/source_tree.h"
#include "base/byte_scan.h"
#include "base/file_io.h"
#include "base/line_reader.h"
#include "base/text_codec.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

namespace zorvika {

namespace {

constexpr char kExposed[] = "attribute vb_exposed";
constexpr int kExposedLen = sizeof kExposed - 1;

// The five masks of 64 bytes at p: bit i for byte i.
struct BlockMasks {
    std::uint64_t cr = 0, lf = 0, blanks = 0, quotes = 0, letterA = 0;
};

// `withA`: the letter A is looked for only until the header key is found.
template <bool withA>
inline BlockMasks masksOf(const char* p)
{
    const ByteBlock block(p);
    BlockMasks m;
    m.cr = block.mask<ByteClass::Cr>();
    m.lf = block.mask<ByteClass::Lf>();
    m.blanks = block.mask<ByteClass::Blank>();
    m.quotes = block.mask<ByteClass::Apostrophe>();
    if constexpr (withA)
        m.letterA = block.mask<ByteClass::LetterA>();
    return m;
}

// The bits set, in a few plain instructions: built for any x86-64, the
// compiler's own count would be a call into its run-time library for every
// block.
inline int bitCount(std::uint64_t x)
{
#if defined(__POPCNT__)
    return __builtin_popcountll(x);
#else
    x -= (x >> 1) & 0x5555555555555555ULL;
    x = (x & 0x3333333333333333ULL) + ((x >> 2) & 0x3333333333333333ULL);
    x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0FULL;
    return static_cast<int>((x * 0x0101010101010101ULL) >> 56);
#endif
}

} // namespace

void ModuleScanner::matchExposed(const char* p, const char* end, int matched, std::int64_t line)
{
    pendingPrefix_ = -1;
    while (matched < kExposedLen && p < end) {
        if (lowerAscii(*p++) != kExposed[matched])
            return;
        ++matched;
    }
    if (matched == kExposedLen)
        scan_.exposedLine = line;
    else if (p == end) {
        pendingPrefix_ = matched; // the piece ended inside the key
        pendingLine_ = line;
    }
}

void ModuleScanner::block(const char* p, const char* chunkEnd, std::size_t length, std::uint64_t cr,
                          std::uint64_t lf, std::uint64_t blanks, std::uint64_t quotes, std::uint64_t letterA)
{
    const std::uint64_t valid = length == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << length) - 1;
    const std::uint64_t ends = cr | lf;
    // An LF right after a CR ends nothing and begins nothing: the line
    // begins after it.
    const std::uint64_t joined = lf & ((cr << 1) | (lastCr_ ? 1 : 0));
    const std::uint64_t lineEnds = ends & ~joined;
    const std::uint64_t starts = ((ends << 1) | (startNext_ ? 1 : 0)) & ~joined & valid;
    // Adding a line's start into the run of blanks it begins with carries
    // to the run's end: the line's first character other than tab or space.
    // A line still open in blanks from the last block comes in as the carry.
    std::uint64_t sum = 0;
    const bool carry1 = __builtin_add_overflow(blanks, starts, &sum);
    const bool carry2 = __builtin_add_overflow(sum, std::uint64_t{undecided_ ? 1u : 0u}, &sum);
    const std::uint64_t first = sum & ~blanks;
    scan_.blankLines += bitCount(first & valid & ends);
    scan_.commentLines += bitCount(first & valid & quotes);
    if (scan_.exposedLine == 0) {
        for (std::uint64_t candidates = starts & letterA; candidates != 0 && scan_.exposedLine == 0;
             candidates &= candidates - 1) {
            const int at = __builtin_ctzll(candidates);
            const std::uint64_t before = (std::uint64_t{1} << at) - 1;
            matchExposed(p + at, chunkEnd, 0, ended_ + bitCount(lineEnds & before) + 1);
        }
    }
    ended_ += bitCount(lineEnds);
    const std::size_t last = length - 1;
    startNext_ = (ends >> last) & 1;
    lastCr_ = (cr >> last) & 1;
    undecided_ = length == 64 ? (carry1 || carry2) : ((first >> length) & 1) != 0;
}

void ModuleScanner::feed(std::string_view chunk)
{
    static constexpr std::string_view kBom = "\xEF\xBB\xBF";
    if (bomSeen_ >= 0) {
        std::size_t i = 0;
        while (bomSeen_ < 3 && i < chunk.size() && chunk[i] == kBom[static_cast<std::size_t>(bomSeen_)]) {
            ++bomSeen_;
            ++i;
        }
        if (bomSeen_ < 3 && i == chunk.size())
            return; // the piece ended inside what may still be a mark
        const int matched = bomSeen_;
        bomSeen_ = -1;
        if (matched < 3)
            feedText(kBom.substr(0, static_cast<std::size_t>(matched))); // no mark: those bytes are text
        chunk.remove_prefix(i);
    }
    feedText(chunk);
}

void ModuleScanner::feedText(std::string_view chunk)
{
    if (chunk.empty())
        return;
    const char* p = chunk.data();
    const char* const end = p + chunk.size();
    any_ = true;
    if (pendingPrefix_ >= 0)
        matchExposed(p, end, pendingPrefix_, pendingLine_);
    for (; end - p >= 64; p += 64) {
        const BlockMasks m = scan_.exposedLine == 0 ? masksOf<true>(p) : masksOf<false>(p);
        block(p, end, 64, m.cr, m.lf, m.blanks, m.quotes, m.letterA);
    }
    if (p < end) {
        // The last bytes through a padded copy; the padding is none of the
        // five kinds and lies outside `valid`.
        alignas(16) char tail[64] = {};
        const auto length = static_cast<std::size_t>(end - p);
        std::memcpy(tail, p, length);
        BlockMasks m = masksOf<true>(tail);
        const std::uint64_t valid = (std::uint64_t{1} << length) - 1;
        block(p, end, length, m.cr & valid, m.lf & valid, m.blanks & valid, m.quotes & valid, m.letterA & valid);
    }
}

ModuleScan ModuleScanner::finish()
{
    if (bomSeen_ > 0 && bomSeen_ < 3) {
        const int matched = bomSeen_;
        bomSeen_ = -1;
        feedText(std::string_view("\xEF\xBB\xBF", static_cast<std::size_t>(matched)));
    }
    // The last line counts when the text does not end with a line end; it
    // is blank when it held nothing but tabs and spaces.
    const bool openLine = any_ && !startNext_;
    if (openLine && undecided_)
        ++scan_.blankLines;
    scan_.lines = ended_ + (openLine ? 1 : 0);
    ended_ = scan_.lines;
    startNext_ = true;
    undecided_ = false;
    lastCr_ = false;
    pendingPrefix_ = -1;
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
    : buffer_(static_cast<char*>(::operator new(kChunk, std::align_val_t(kBufferAlignment))))
{
}

ModuleReader::~ModuleReader()
{
    ::operator delete(buffer_, std::align_val_t(kBufferAlignment));
}

void ModuleReader::expect(std::size_t entries)
{
    scanned_.reserve(entries);
}

std::size_t ModuleReader::hashOf(const FileKey& k)
{
    std::uint64_t h = k.inode * 0x9E3779B97F4A7C15ull;
    h ^= k.device + 0x632BE59BD9B4E019ull + (h << 6) + (h >> 2);
    h ^= k.size + static_cast<std::uint64_t>(k.nanoseconds) + (h << 6) + (h >> 2);
    h ^= h >> 29;
    return static_cast<std::size_t>(h);
}

const ModuleScan* ModuleReader::find(const FileKey& key) const
{
    if (slots_.empty())
        return nullptr;
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t at = hashOf(key) & mask;; at = (at + 1) & mask) {
        const std::uint32_t slot = slots_[at];
        if (slot == 0)
            return nullptr;
        if (scanned_[slot - 1].key == key)
            return &scanned_[slot - 1].scan;
    }
}

void ModuleReader::remember(const FileKey& key, const ModuleScan& scan)
{
    if (scanned_.size() >= std::numeric_limits<std::uint32_t>::max() - 1)
        return; // more files than any project names: read again rather than kept
    scanned_.push_back({key, scan});
    if (scanned_.size() * 2 > slots_.size()) {
        std::vector<std::uint32_t> larger(std::max<std::size_t>(64, slots_.size() * 2), 0);
        while (scanned_.capacity() * 2 > larger.size())
            larger.resize(larger.size() * 2);
        const std::size_t mask = larger.size() - 1;
        for (std::size_t i = 0; i < scanned_.size(); ++i) {
            std::size_t at = hashOf(scanned_[i].key) & mask;
            while (larger[at] != 0)
                at = (at + 1) & mask;
            larger[at] = static_cast<std::uint32_t>(i + 1);
        }
        slots_ = std::move(larger);
        return;
    }
    const std::size_t mask = slots_.size() - 1;
    std::size_t at = hashOf(key) & mask;
    while (slots_[at] != 0)
        at = (at + 1) & mask;
    slots_[at] = static_cast<std::uint32_t>(scanned_.size());
}

std::optional<ModuleScan> ModuleReader::scanOpened(const FileHandle& fd, const EntryInfo& info)
{
    const FileKey key{info.device, info.fileId, info.size, info.seconds, info.nanoseconds};
    if (const ModuleScan* known = find(key))
        return *known;
    std::uint64_t left = info.size;
    ModuleScanner scanner;
    while (left > 0) {
        const Result<std::size_t> r =
            readSome(fd.get(), buffer_, static_cast<std::size_t>(std::min<std::uint64_t>(left, kChunk)));
        if (!r)
            return std::nullopt;
        if (*r == 0)
            break;
        scanner.feed(std::string_view(buffer_, *r));
        left -= *r;
    }
    const ModuleScan scan = scanner.finish();
    remember(key, scan);
    return scan;
}

std::optional<ModuleScan> ModuleReader::scan(const std::filesystem::path& projectFolder, std::string_view entry)
{
    if (entry.empty() || (!kDriveLetterPaths && isDriveLetterPath(entry)))
        return std::nullopt;
    // The path as written, with "/" for "\": most entries name their file
    // exactly, and then one open finds it.
    exactPath_.clear();
    if (entry.front() != '\\' && entry.front() != '/' && !isDriveLetterPath(entry)) {
        exactPath_ = utf8Of(projectFolder);
        if (!exactPath_.empty() && exactPath_.back() != '/')
            exactPath_ += '/';
    }
    const std::size_t from = exactPath_.size();
    exactPath_ += entry;
    std::replace(exactPath_.begin() + static_cast<std::ptrdiff_t>(from), exactPath_.end(), '\\', '/');
    Result<OpenedFile, ReadError> opened = openRegularFile(exactPath_.c_str());
    // Opened, the path exists as written, which is what resolving would
    // give first; a path that exists as something else than a regular
    // file is no module either way.
    if (!opened && opened.kind() != ReadError::NotRegular) {
        const auto resolved = resolver_.resolve(projectFolder, entry);
        if (resolved)
            opened = openRegularFile(*resolved);
    }
    if (!opened)
        return std::nullopt;
    return scanOpened(opened->handle, opened->info);
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

std::int64_t headerLinesOf(std::string_view text, bool standardModule)
{
    if (standardModule)
        return figuresFromScan(ModuleScan{}, true).headerLines;
    constexpr std::size_t kPiece = 16 * 1024;
    ModuleScanner scanner;
    for (std::size_t at = 0; at < text.size() && scanner.exposedLineSoFar() == 0; at += kPiece)
        scanner.feed(text.substr(at, kPiece));
    return figuresFromScan(scanner.finish(), false).headerLines;
}

namespace {

ProjectCount countEntries(const std::vector<std::string>& entries, const std::filesystem::path& projectFolder,
                          SourceTree& tree)
{
    ProjectCount result;
    result.rows.resize(entries.size());
    tree.expect(entries.size());
    tree.prepare(projectFolder, entries);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::string& path = entries[i];
        ModuleRow& row = result.rows[i];
        row.cells[ColModule] = toDisplayText(path);
        const std::optional<ModuleScan> scan = tree.scanModule(projectFolder, path);
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

} // namespace

ProjectCount countProjectText(std::string_view projectText, const std::filesystem::path& projectFolder,
                              SourceTree& tree)
{
    return countEntries(readModuleEntries(projectText), projectFolder, tree);
}

ProjectCount countProjectText(std::string_view projectText, const std::filesystem::path& projectFolder)
{
    FileSystemTree tree;
    return countProjectText(projectText, projectFolder, tree);
}

ProjectCount countProject(const std::filesystem::path& workingCopy, const std::filesystem::path& projectFolder)
{
    std::vector<std::string> entries;
    {
        // The project's text is let go before the modules are read.
        const auto text = readRegularFile(workingCopy);
        if (!text)
            return {};
        entries = readModuleEntries(*text);
    }
    entries.shrink_to_fit();
    FileSystemTree tree;
    return countEntries(entries, projectFolder, tree);
}

} // namespace zorvika
