#include "base/message_language.h"

#include "base/line_reader.h"
#include "base/system_processes.h"

#include <system_error>

namespace zorvika {

namespace fs = std::filesystem;

std::optional<TableLanguage> languageOfOption(std::string_view value)
{
    if (value == "en")
        return TableLanguage::English;
    if (value == "de")
        return TableLanguage::German;
    return std::nullopt;
}

std::optional<TableLanguage> languageOfLocale(std::string_view name)
{
    // The language is the part before the territory, the code set and the
    // modifier: "de" of "de_AT.UTF-8@euro".
    const std::size_t end = name.find_first_of("_-.@");
    return languageOfOption(lowerAsciiText(name.substr(0, end)));
}

std::string_view shippedTableName(TableLanguage language)
{
    return language == TableLanguage::German ? "tips.de.dll" : "tips.dll";
}

LocaleVariables LocaleVariables::ofEnvironment()
{
    auto read = [](const char* name) { return environmentVariable(name).value_or(std::string()); };
    return {read("LANGUAGE"), read("LC_ALL"), read("LC_MESSAGES"), read("LANG")};
}

TableLanguage userLanguage(const LocaleVariables& locale)
{
    std::string_view messages = locale.lcAll;
    if (messages.empty())
        messages = locale.lcMessages;
    if (messages.empty())
        messages = locale.lang;
    // gettext: LANGUAGE is ignored under the "C" locale, which an unset
    // locale is.
    const bool plainLocale = messages.empty() || messages == "C" || messages == "POSIX";
    if (!plainLocale) {
        std::string_view list = locale.language;
        while (!list.empty()) {
            const std::size_t colon = list.find(':');
            if (const auto language = languageOfLocale(list.substr(0, colon)))
                return *language;
            list = colon == std::string_view::npos ? std::string_view() : list.substr(colon + 1);
        }
    }
    return languageOfLocale(messages).value_or(TableLanguage::English);
}

ProgramFolder withMessageTable(ProgramFolder folder, const fs::path& shippedTables,
                               std::optional<TableLanguage> chosen, const LocaleVariables& locale)
{
    std::error_code ec;
    if (chosen) {
        folder.table = shippedTables / shippedTableName(*chosen);
        return folder;
    }
    if (folder.data.empty())
        return folder;
    const fs::path own = folder.data / "tips.dll";
    if (fs::is_regular_file(own, ec)) {
        folder.table = own;
        return folder;
    }
    const fs::path shipped = shippedTables / shippedTableName(userLanguage(locale));
    if (fs::is_regular_file(shipped, ec))
        folder.table = shipped;
    return folder;
}

} // namespace zorvika
