#include "text_file_reference.h"

#include <fstream>

#include "base/file_io.h"
#include "base/line_reader.h"

#include <cstdio>

namespace zorvika {

std::int64_t countLinesInText(std::string_view text)
{
    std::int64_t n = 0;
    forEachLine(withoutUtf8Bom(text), [&](std::string_view) { ++n; });
    return n;
}

std::int64_t findLineInText(std::string_view text, std::string_view prefix)
{
    const std::string lower = lowerAsciiText(prefix);
    std::int64_t n = 0;
    std::int64_t found = 0;
    forEachLine(withoutUtf8Bom(text), [&](std::string_view line) {
        ++n;
        if (found == 0 && startsWithNoCase(line, lower))
            found = n;
    });
    return found;
}

std::string_view lastLineOfText(std::string_view text)
{
    std::string_view last;
    forEachLine(withoutUtf8Bom(text), [&](std::string_view line) { last = line; });
    return last;
}

std::int64_t CountLines(const std::filesystem::path& file)
{
    const auto read = readRegularFile(file);
    if (!read)
        return 0;
    return countLinesInText(*read);
}

std::int64_t FindLine(const std::filesystem::path& file, std::string_view text, bool)
{
    const auto data = readRegularFile(file);
    if (!data)
        return 0;
    return findLineInText(*data, text);
}

std::string ReadLastLine(const std::filesystem::path& file)
{
    const auto data = readRegularFile(file);
    if (!data)
        return {};
    return std::string(lastLineOfText(*data));
}

bool AppendLine(const std::filesystem::path& file, std::string_view line)
{
    std::ofstream f(file, std::ios::binary | std::ios::app);
    f << line << "\r\n";
    f.close();
    return !f.fail();
}

} // namespace zorvika
