// The desktop program's own arguments, read without a display: before Qt
// has taken its options out, and after.
#include "shell/desktop_arguments.h"

#include <gtest/gtest.h>

using namespace zorvika;

namespace {

using Action = DesktopArguments::Action;
const std::string kNone = "(none)";

struct ArgumentsCase {
    const char* name;
    std::vector<std::string> args;
    bool qtOptionsTaken;
    Action action;
    std::string file;          // kNone: none
    std::string programFolder; // kNone: none
    std::string language;      // kNone: none
    std::string error;         // a part of the error line
};

void PrintTo(const ArgumentsCase& c, std::ostream* os) { *os << c.name; }

class DesktopArgumentsReading : public ::testing::TestWithParam<ArgumentsCase> {};

TEST_P(DesktopArgumentsReading, GivesTheActionAndTheValues)
{
    const ArgumentsCase& c = GetParam();
    const DesktopArguments parsed = parseDesktopArguments(c.args, c.qtOptionsTaken);
    EXPECT_EQ(parsed.action, c.action) << parsed.error;
    auto shown = [](const std::optional<std::string>& value) { return value.value_or(kNone); };
    EXPECT_EQ(shown(parsed.file), c.file);
    EXPECT_EQ(shown(parsed.programFolder), c.programFolder);
    EXPECT_EQ(shown(parsed.language), c.language);
    if (c.error.empty())
        EXPECT_EQ(parsed.error, "");
    else
        EXPECT_NE(parsed.error.find(c.error), std::string::npos) << parsed.error;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DesktopArgumentsReading,
    ::testing::Values(
        ArgumentsCase{"Nothing", {}, true, Action::Run, kNone, kNone, kNone, ""},
        ArgumentsCase{"OneFile", {"a.vbp"}, true, Action::Run, "a.vbp", kNone, kNone, ""},
        ArgumentsCase{"FolderAndFile", {"--program-folder", "/d", "x.vbg"}, true, Action::Run, "x.vbg", "/d", kNone, ""},
        ArgumentsCase{"FileBeforeFolderWithEquals", {"x.vbp", "--program-folder=/d"}, true, Action::Run, "x.vbp",
                      "/d", kNone, ""},
        ArgumentsCase{"Language", {"--language", "de"}, true, Action::Run, kNone, kNone, "de", ""},
        ArgumentsCase{"ValueLooksLikeAnOption", {"--program-folder", "--help"}, true, Action::Run, kNone, "--help", kNone,
                      ""},
        ArgumentsCase{"DashesEndTheOptions", {"--", "--version"}, true, Action::Run, "--version", kNone, kNone, ""},
        ArgumentsCase{"DashIsAFile", {"-"}, true, Action::Run, "-", kNone, kNone, ""},
        ArgumentsCase{"Help", {"a.vbp", "--help"}, true, Action::Help, kNone, kNone, kNone, ""},
        ArgumentsCase{"ShortHelp", {"-h"}, true, Action::Help, kNone, kNone, kNone, ""},
        ArgumentsCase{"VersionBeforeQt", {"-platform", "offscreen", "--version"}, false, Action::Version, kNone, kNone, kNone,
                      ""},
        ArgumentsCase{"QtOptionsLeftBeforeQt", {"-style", "fusion", "a.vbp", "b.vbp"}, false, Action::Run, kNone, kNone,
                      kNone, ""},
        ArgumentsCase{"UnknownLongOptionBeforeQt", {"--frobnicate"}, false, Action::Error, kNone, kNone, kNone,
                      "unknown option --frobnicate"},
        ArgumentsCase{"UnknownShortOptionAfterQt", {"-x"}, true, Action::Error, kNone, kNone, kNone, "unknown option -x"},
        ArgumentsCase{"TwoFiles", {"a.vbp", "b.vbp"}, true, Action::Error, kNone, kNone, kNone, "only one FILE"},
        ArgumentsCase{"MissingValue", {"--program-folder"}, false, Action::Error, kNone, kNone, kNone,
                      "--program-folder needs a value"},
        ArgumentsCase{"EmptyFolder", {"--program-folder="}, true, Action::Error, kNone, kNone, kNone,
                      "--program-folder needs a folder"},
        ArgumentsCase{"OtherLanguage", {"--language", "fr"}, false, Action::Error, kNone, kNone, kNone,
                      "--language takes en or de"},
        ArgumentsCase{"SwitchWithValue", {"--help=1"}, true, Action::Error, kNone, kNone, kNone, "unknown option --help=1"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace

TEST(DesktopArgumentsReading, HelpNamesEveryOptionTheReaderTakes)
{
    const std::string help = desktopHelp();
    for (const char* option : {"--program-folder DIR", "--language en|de", "--help", "--version", "FILE"})
        EXPECT_NE(help.find(option), std::string::npos) << option;
    EXPECT_TRUE(desktopVersion().starts_with("zorvika ")) << desktopVersion();
    EXPECT_TRUE(desktopVersion().ends_with("\n"));
}
