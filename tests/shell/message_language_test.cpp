// Which message table a program reads: the user's language from the
// locale variables, the user's own table, or the one `--language` chose.
#include "base/message_language.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

using namespace zorvika;
namespace fs = std::filesystem;

namespace {

struct LocaleCase {
    const char* name;
    LocaleVariables locale;
    TableLanguage expected;
};

void PrintTo(const LocaleCase& c, std::ostream* os) { *os << c.name; }

class UserLanguage : public ::testing::TestWithParam<LocaleCase> {};

TEST_P(UserLanguage, FollowsGettextsOrderOfTheVariables)
{
    EXPECT_EQ(userLanguage(GetParam().locale), GetParam().expected);
}

using L = TableLanguage;
INSTANTIATE_TEST_SUITE_P(
    Cases, UserLanguage,
    ::testing::Values(LocaleCase{"NothingSet", {}, L::English}, LocaleCase{"Lang", {"", "", "", "de_DE.UTF-8"}, L::German},
                      LocaleCase{"LangWithModifier", {"", "", "", "de_AT@euro"}, L::German},
                      LocaleCase{"UpperCaseLanguage", {"", "", "", "DE"}, L::German},
                      LocaleCase{"MessagesBeforeLang", {"", "", "en_GB.UTF-8", "de_DE.UTF-8"}, L::English},
                      LocaleCase{"AllBeforeMessages", {"", "de_CH.UTF-8", "en_US.UTF-8", ""}, L::German},
                      LocaleCase{"LanguageListBeforeLocale", {"fr:de:en", "", "", "en_US.UTF-8"}, L::German},
                      LocaleCase{"LanguageListFirstShippedWins", {"en_GB:de", "", "", "de_DE.UTF-8"}, L::English},
                      LocaleCase{"LanguageIgnoredUnderC", {"de", "C", "", ""}, L::English},
                      LocaleCase{"LanguageIgnoredWithoutLocale", {"de", "", "", ""}, L::English},
                      LocaleCase{"LanguageWithoutShippedEntry", {"fr:it", "", "", "de_DE.UTF-8"}, L::German},
                      LocaleCase{"OtherLocaleIsEnglish", {"", "", "", "fr_FR.UTF-8"}, L::English},
                      LocaleCase{"PrefixIsNoLanguage", {"", "", "", "deu_DE"}, L::English}),
    [](const auto& info) { return std::string(info.param.name); });

struct TableCase {
    const char* name;
    std::vector<std::string> files; // made below the temporary folder
    bool installed;                 // the data folder kept apart ("data")
    std::optional<TableLanguage> chosen;
    std::string lang;  // LANG
    std::string table; // the table read, below the temporary folder
};

void PrintTo(const TableCase& c, std::ostream* os) { *os << c.name; }

class MessageTableChoice : public ::testing::TestWithParam<TableCase> {};

TEST_P(MessageTableChoice, PicksTheShippedOwnOrChosenTable)
{
    const TableCase& c = GetParam();
    test::TempFolder dir;
    for (const std::string& file : c.files)
        dir.write(file, "[Message & Text]\n");
    ProgramFolder folder{dir / "share", c.installed ? dir / "data" : fs::path()};
    if (!c.installed)
        folder.root = dir / "bin";
    const ProgramFolder chosen = withMessageTable(folder, folder.root, c.chosen, {"", "", "", c.lang});
    EXPECT_EQ(chosen.messageTable(), dir / c.table);
    EXPECT_EQ(chosen.root, folder.root);
    EXPECT_EQ(chosen.store(), folder.store());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MessageTableChoice,
    ::testing::Values(
        TableCase{"InstalledEnglish", {"share/tips.dll", "share/tips.de.dll"}, true, {}, "en_US.UTF-8", "share/tips.dll"},
        TableCase{"InstalledGerman", {"share/tips.dll", "share/tips.de.dll"}, true, {}, "de_DE.UTF-8", "share/tips.de.dll"},
        TableCase{"InstalledUsersOwnTableWins", {"share/tips.de.dll", "data/tips.dll"}, true, {}, "de_DE.UTF-8",
                  "data/tips.dll"},
        TableCase{"InstalledChosenBeatsOwnTable", {"share/tips.dll", "data/tips.dll"}, true, L::English, "de_DE",
                  "share/tips.dll"},
        TableCase{"InstalledGermanNotShipped", {"share/tips.dll"}, true, {}, "de_DE.UTF-8", "share/tips.dll"},
        TableCase{"BuildFolderKeepsItsTable", {"bin/tips.dll", "bin/tips.de.dll"}, false, {}, "de_DE.UTF-8", "bin/tips.dll"},
        TableCase{"BuildFolderChosenGerman", {"bin/tips.dll", "bin/tips.de.dll"}, false, L::German, "", "bin/tips.de.dll"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace

TEST(MessageTableChoice, ChosenTableIsNeverMadeEmpty)
{
    // Only the folder's own "tips.dll" is made when missing; a chosen table
    // that is not there stays missing, so that the caller can tell.
    test::TempFolder dir;
    const ProgramFolder folder = withMessageTable(ProgramFolder{dir.path()}, dir.path(), L::German, {});
    ensureWorkFiles(folder);
    EXPECT_FALSE(fs::exists(dir / "tips.de.dll"));
    EXPECT_TRUE(fs::is_directory(folder.store()));
}
