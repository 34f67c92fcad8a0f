#include "components/ini_reader.h"

#include "base/file_io.h"
#include "base/line_reader.h"

namespace zorvika {

std::string readIniValueFromText(std::string_view text, std::string_view section, std::string_view key)
{
    bool inSection = false;
    bool found = false;
    std::string value;
    const std::string_view wantedKey = trimBlanks(key);
    forEachLine(withoutUtf8Bom(text), [&](std::string_view rawLine) {
        if (found)
            return;
        const std::string_view line = trimBlanks(rawLine);
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            inSection = equalsNoCase(trimBlanks(line.substr(1, line.size() - 2)), section);
            return;
        }
        if (!inSection)
            return;
        const auto eq = line.find('=');
        if (eq == std::string_view::npos)
            return;
        if (!equalsNoCase(trimBlanks(line.substr(0, eq)), wantedKey))
            return;
        std::string_view v = trimBlanks(line.substr(eq + 1));
        if (v.size() >= 2 && v.front() == '"' && v.back() == '"')
            v = v.substr(1, v.size() - 2);
        value.assign(v);
        found = true;
    });
    return value;
}

std::string ReadIniValue(const std::filesystem::path& file, std::string_view section, std::string_view key)
{
    const auto text = readRegularFile(file);
    if (!text)
        return {};
    return readIniValueFromText(*text, section, key);
}

} // namespace zorvika
