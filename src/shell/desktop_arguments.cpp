#include "shell/desktop_arguments.h"

#include "base/message_language.h"

#include <string_view>

namespace zorvika {

namespace {

// The options that take a value.
constexpr std::string_view kValueOptions[] = {"--program-folder", "--language"};

bool takesValue(std::string_view name)
{
    for (std::string_view option : kValueOptions)
        if (option == name)
            return true;
    return false;
}

DesktopArguments failed(std::string why)
{
    DesktopArguments result;
    result.action = DesktopArguments::Action::Error;
    result.error = std::move(why);
    return result;
}

} // namespace

DesktopArguments parseDesktopArguments(const std::vector<std::string>& args, bool qtOptionsTaken)
{
    DesktopArguments result;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg == "-" || !arg.starts_with('-')) {
            if (!qtOptionsTaken)
                continue;
            if (result.file)
                return failed("only one FILE may be given, not also " + arg);
            result.file = arg;
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        // Help and version end the reading; nothing else is used then.
        if (arg == "--help" || arg == "-h")
            return {DesktopArguments::Action::Help, {}, {}, {}, {}};
        if (arg == "--version" || arg == "-V")
            return {DesktopArguments::Action::Version, {}, {}, {}, {}};
        const std::size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        if (!takesValue(name)) {
            if (!qtOptionsTaken && !arg.starts_with("--"))
                continue; // one of Qt's, taken out by the second reading's time
            return failed("unknown option " + arg);
        }
        // The value is the next argument, whatever it looks like.
        std::string value;
        if (equals != std::string::npos) {
            value = arg.substr(equals + 1);
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            return failed(name + " needs a value");
        }
        if (name == "--program-folder") {
            if (value.empty())
                return failed("--program-folder needs a folder");
            result.programFolder = value;
        } else {
            if (!languageOfOption(value))
                return failed("--language takes en or de, not \"" + value + "\"");
            result.language = value;
        }
    }
    return result;
}

std::string desktopHelp()
{
    return "usage: zorvika [FILE] [--program-folder DIR] [--language en|de]\n"
           "       zorvika --help | --version\n"
           "\n"
           "ZORVIKA measures Visual Basic 6 code. The desktop program opens its main window;\n"
           "FILE, a project (.vbp) or group (.vbg), is opened as if chosen in the open dialog.\n"
           "\n"
           "options:\n"
           "  --program-folder DIR  the folder of tips.dll, tempprjfiles and verhis\n"
           "  --language en|de      read the shipped message table of this language\n"
           "  -h, --help            print this help and exit\n"
           "  -V, --version         print the program's version and exit\n"
           "\n"
           "Qt's own options (-platform NAME, -style NAME, ...) are taken as well.\n";
}

std::string desktopVersion()
{
    return std::string("zorvika ") + ZORVIKA_VERSION + "\n";
}

} // namespace zorvika
