#pragma once
// Which shipped message table a program reads: the user's language, or
// the one chosen with `--language`.
#include "base/program_folder.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace zorvika {

// The languages a table is shipped in.
enum class TableLanguage { English, German };

// "en" or "de", the values `--language` takes; nothing for any other text.
std::optional<TableLanguage> languageOfOption(std::string_view value);
// The language of a locale or language name ("de", "de_AT.UTF-8", "en_GB@euro");
// nothing when no table is shipped in it.
std::optional<TableLanguage> languageOfLocale(std::string_view name);
// "tips.dll" (English) or "tips.de.dll".
std::string_view shippedTableName(TableLanguage language);

// The variables that name the user's language, as gettext reads them.
struct LocaleVariables {
    std::string language;   // LANGUAGE: a list of languages, separated by ':'
    std::string lcAll;      // LC_ALL
    std::string lcMessages; // LC_MESSAGES
    std::string lang;       // LANG

    static LocaleVariables ofEnvironment();
};

// The user's language: the first of LANGUAGE's entries that a table is
// shipped in (LANGUAGE counts only where the locale is not "C" or
// "POSIX"), else the language of the first set one of LC_ALL, LC_MESSAGES
// and LANG; English when none names a shipped one.
TableLanguage userLanguage(const LocaleVariables& locale);

// The folder with the message table it reads. `chosen` (`--language`)
// takes that shipped table from `shippedTables`. Without it, a program that
// keeps its data apart (an installed one) reads the user's own "tips.dll"
// in its data folder when there is one, else the shipped table of the
// user's language; one that keeps everything in one folder (the build
// folder, `--program-folder`) reads that folder's "tips.dll".
ProgramFolder withMessageTable(ProgramFolder folder, const std::filesystem::path& shippedTables,
                               std::optional<TableLanguage> chosen, const LocaleVariables& locale);

} // namespace zorvika
