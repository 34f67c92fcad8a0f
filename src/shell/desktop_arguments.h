#pragma once
// The desktop program's own arguments: `zorvika [FILE] [--program-folder DIR]
// [--language en|de]`, `--help` and `--version`. Read without a display, so
// that the help and the version are printed before any window is made.
#include <optional>
#include <string>
#include <vector>

namespace zorvika {

struct DesktopArguments {
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    std::string error;                        // for Error: what is wrong, one line
    std::optional<std::string> programFolder; // --program-folder DIR
    std::optional<std::string> language;      // --language en|de
    std::optional<std::string> file;          // the project or group to open
};

// Reads `args` (without the program's name). Before Qt has taken out its
// own options (`qtOptionsTaken` false), an unknown option with one dash
// (`-platform`, `-style`) and the operands are left to the second reading,
// after Qt has taken them; only the program's own options are checked.
DesktopArguments parseDesktopArguments(const std::vector<std::string>& args, bool qtOptionsTaken);

// The text `--help` prints and the line `--version` prints, each ending in LF.
std::string desktopHelp();
std::string desktopVersion();

} // namespace zorvika
