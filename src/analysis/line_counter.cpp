#include "analysis/line_counter.h"

#include "analysis/path_resolver.h"
#include "analysis/project_reader.h"
#include "analysis/source_tree.h"
#include "components/file_io.h"
#include "components/text_codec.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace zorvika {

namespace {

constexpr char kExposed[] = "attribute vb_exposed";
constexpr int kExposedLen = sizeof kExposed - 1;

inline bool isLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

} // namespace

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
    const char* p = chunk.data();
    const char* const end = p + chunk.size();
    if (pendingCr_ && p < end) {
        pendingCr_ = false;
        if (*p == '\n')
            ++p;
    }
    // The next LF at or after p, found with memchr and kept until p passes
    // it, so that a text of CR line ends is still read in one pass.
    const char* nextLf = nullptr;
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
            while (p < end && isLineLeadBlank(*p))
                ++p;
            if (p == end)
                return;
            if (!isLineEnd(*p)) {
                decided_ = true;
                if (lineKindOf(*p) == LineKind::Comment)
                    ++scan_.commentLines;
            }
        }
        if (!nextLf || nextLf < p) {
            nextLf = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
            if (!nextLf)
                nextLf = end;
        }
        const char* cr = static_cast<const char*>(std::memchr(p, '\r', static_cast<std::size_t>(nextLf - p)));
        const char* lineEnd = cr ? cr : nextLf;
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
    if (bomSeen_ > 0 && bomSeen_ < 3) {
        const int matched = bomSeen_;
        bomSeen_ = -1;
        feedText(std::string_view("\xEF\xBB\xBF", static_cast<std::size_t>(matched)));
    }
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

bool scanModuleFile(const std::filesystem::path& path, std::string& buffer, ModuleScan& scan)
{
    constexpr std::size_t kChunk = 256 * 1024;
    ReadStatus status;
    std::uint64_t left = 0;
    const int fd = openRegularFile(path, status, left);
    if (fd < 0)
        return false;
    if (buffer.size() < kChunk)
        buffer.resize(kChunk);
    ModuleScanner scanner;
    while (left > 0) {
        const ssize_t r = ::read(fd, buffer.data(), static_cast<std::size_t>(std::min<std::uint64_t>(left, kChunk)));
        if (r < 0 && errno == EINTR)
            continue;
        if (r < 0) {
            ::close(fd);
            return false;
        }
        if (r == 0)
            break;
        scanner.feed(std::string_view(buffer.data(), static_cast<std::size_t>(r)));
        left -= static_cast<std::uint64_t>(r);
    }
    ::close(fd);
    scan = scanner.finish();
    return true;
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

ProjectCount countProjectText(std::string_view projectText, const std::filesystem::path& projectFolder)
{
    FileSystemTree tree;
    return countProjectText(projectText, projectFolder, tree);
}

ProjectCount countProjectText(std::string_view projectText, const std::filesystem::path& projectFolder,
                              SourceTree& tree)
{
    ProjectCount result;
    const std::vector<std::string> entries = readModuleEntries(projectText);
    result.rows.resize(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::string& path = entries[i];
        ModuleRow& row = result.rows[i];
        row.cells[ColModule] = toDisplayText(path);
        const auto resolved = tree.resolve(projectFolder, path);
        ModuleScan scan;
        if (!resolved || !tree.scan(*resolved, scan)) {
            row.cells[ColType] = kTypeInvalid;
            continue;
        }
        row.cells[ColType] = moduleTypeOf(path);
        const ModuleFigures figures = figuresFromScan(scan, isStandardModulePath(path));
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
