#pragma once
// The text-file operations written the plain way, a line at a time: counting
// lines, finding a line, reading the last line, appending a line. The
// counting itself uses the one-pass scanner (analysis/line_counter.h); this
// is the reference the scanner is checked against, by the tests and by the
// line-scan fuzz target. Lines end as `forEachLine` says.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace zorvika {

// Number of lines of a text.
std::int64_t countLinesInText(std::string_view text);
// 1-based number of the first line that begins with `prefix` (compared
// without regard to ASCII case); 0 when no line does.
std::int64_t findLineInText(std::string_view text, std::string_view prefix);
// The last line, without its line end; empty for an empty text.
std::string_view lastLineOfText(std::string_view text);

// The same, on a file named by path. An unreadable file counts 0 lines,
// finds nothing and has an empty last line.
std::int64_t CountLines(const std::filesystem::path& file);
std::int64_t FindLine(const std::filesystem::path& file, std::string_view text, bool option = false);
std::string ReadLastLine(const std::filesystem::path& file);
// Adds `line` and CR LF at the end of the file.
bool AppendLine(const std::filesystem::path& file, std::string_view line);

} // namespace zorvika
