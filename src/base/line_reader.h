#pragma once
// Splitting a text into lines the way every reader of this program does:
// CR, CR LF and LF each end a line; the end of the last line does not start
// another one; an empty text has no line.
#include "base/byte_scan.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zorvika {

// Where the next line begins, given where this one stops (at `end`, or at
// its CR, LF or CR LF).
inline const char* afterLineEnd(const char* stop, const char* end)
{
    if (stop == end)
        return end;
    if (*stop == '\r' && stop + 1 < end && stop[1] == '\n')
        return stop + 2;
    return stop + 1;
}

template <typename F>
void forEachLine(std::string_view text, F&& onLine)
{
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p < end) {
        const char* stop = nextOfClass<ByteClass::LineEnd>(p, end);
        std::string_view line(p, static_cast<std::size_t>(stop - p));
        p = afterLineEnd(stop, end);
        onLine(line);
    }
}

std::vector<std::string_view> splitLines(std::string_view text);

// A text saved by a Windows editor as UTF-8 may begin with a byte-order
// mark; the line readers skip it so that the first line reads as written.
std::string_view withoutUtf8Bom(std::string_view text);

// The one lower-casing of the program: ASCII letters only, every other byte
// (UTF-8 and Windows-1252 letters included) as it is. The prefix tests
// compare against lower-case ASCII keys; names and cells compare without
// regard to ASCII letter case.
constexpr char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
std::string lowerAsciiText(std::string_view text);

bool startsWithNoCase(std::string_view text, std::string_view lowerPrefix);
bool equalsNoCase(std::string_view a, std::string_view b);

// Turns every CR LF into LF, in place (text made for files, as standard
// output shows it).
void toLfLineEnds(std::string& text);

// Removes spaces (only U+0020) at both ends.
std::string_view trimSpaces(std::string_view text);
// Removes spaces and tabs at both ends.
std::string_view trimBlanks(std::string_view text);

} // namespace zorvika
