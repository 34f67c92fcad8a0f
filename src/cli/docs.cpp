#include "cli/docs.h"

#include "cli/commands.h"

#include <stdexcept>

namespace zorvika {

namespace {

// Text as roff shows it literally: backslashes and minus signs escaped, and
// a line never starting with a control character.
std::string roff(std::string_view text)
{
    std::string out;
    for (char c : text) {
        if (c == '\\')
            out += "\\e";
        else if (c == '-')
            out += "\\-";
        else
            out += c;
    }
    if (!out.empty() && (out[0] == '.' || out[0] == '\''))
        out.insert(0, "\\&");
    return out;
}

// "[\fB\-\-format\fR \fBtsv\fR|\fBcsv\fR]", "[\fB\-\-compare\fR \fIV1 V2\fR]":
// one option in brackets, on a line of its own.
std::string synopsisOption(const OptionSpec& option)
{
    std::string out = "[\\fB" + roff(option.name) + "\\fR";
    for (std::size_t i = 0; i < option.choices.size(); ++i)
        out.append(i ? "|\\fB" : " \\fB").append(roff(option.choices[i])).append("\\fR");
    if (option.choices.empty() && !option.values.empty()) {
        out += " \\fI";
        for (std::size_t i = 0; i < option.values.size(); ++i)
            out.append(i ? " " : "").append(roff(option.values[i]));
        out += "\\fR";
    }
    return out + "]\n";
}

std::string synopsisOf(const CommandSpec& command)
{
    std::string out = ".B zorvika\\-cli " + roff(command.name) + "\n";
    if (!command.operands.empty())
        out += ".I " + roff(command.operands) + "\n";
    for (const OptionSpec& option : command.options)
        out += synopsisOption(option);
    return out;
}

std::string optionList(const CommandSpec& command)
{
    std::string out;
    auto item = [&](char shortName, std::string_view name, std::string_view values, std::string_view help) {
        out += ".TP\n.B ";
        if (shortName)
            out += "\\-" + std::string(1, shortName) + ", ";
        out += roff(name);
        if (!values.empty())
            out += " \\fI" + roff(values) + "\\fR";
        out.append("\n").append(roff(help)).append("\n");
    };
    for (const OptionSpec& option : command.options) {
        std::string values;
        if (!option.choices.empty()) {
            for (std::size_t i = 0; i < option.choices.size(); ++i)
                values.append(i ? "|" : "").append(option.choices[i]);
        } else {
            for (std::size_t i = 0; i < option.values.size(); ++i)
                values.append(i ? " " : "").append(option.values[i]);
        }
        item(option.shortName, option.name, values, option.help);
    }
    item(kHelpOption.shortName, kHelpOption.name, "", kHelpOption.help);
    item(kVersionOption.shortName, kVersionOption.name, "", kVersionOption.help);
    return out;
}

const CommandSpec* commandNamed(std::string_view name)
{
    for (const CommandSpec* command : allCommands())
        if (command->name == name)
            return command;
    return nullptr;
}

// The words of a shell list, quoted for the script's double quotes.
std::string words(const std::vector<std::string>& items)
{
    std::string out;
    for (const std::string& item : items)
        out += (out.empty() ? "" : " ") + item;
    return out;
}

} // namespace

std::string manualPage(std::string_view templateText)
{
    std::string out;
    std::size_t start = 0;
    while (start < templateText.size()) {
        const std::size_t end = templateText.find('\n', start);
        const std::string_view line =
            templateText.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        start = end == std::string_view::npos ? templateText.size() : end + 1;
        if (line == "@SYNOPSIS@") {
            for (const CommandSpec* command : allCommands())
                out += synopsisOf(*command) + ".br\n";
            out += ".B zorvika\\-cli\n.RI [ COMMAND ]\n.B \\-\\-help\n|\n.B \\-\\-version\n";
        } else if (line.starts_with("@OPTIONS ") && line.ends_with("@")) {
            const std::string_view name = line.substr(9, line.size() - 10);
            const CommandSpec* command = commandNamed(name);
            if (!command)
                throw std::invalid_argument("the manual page's template names no command " + std::string(name));
            out += optionList(*command);
        } else {
            out.append(line);
            out += '\n';
        }
    }
    return out;
}

std::string bashCompletion()
{
    std::string out =
        "# bash completion for zorvika-cli, made from the program's tables of options.\n"
        "_zorvika_cli()\n"
        "{\n"
        "    local cur prev words cword\n"
        "    _init_completion || return\n"
        "\n";
    std::vector<std::string> commands;
    for (const CommandSpec* command : allCommands())
        commands.emplace_back(command->name);
    out += "    if [[ $cword -eq 1 ]]; then\n"
           "        COMPREPLY=($(compgen -W \"" + words(commands) + " --help -h --version -V\" -- \"$cur\"))\n"
           "        return\n"
           "    fi\n"
           "    local command=${words[1]}\n"
           "    case $command in\n";
    for (const CommandSpec* command : allCommands()) {
        std::vector<std::string> options;
        std::vector<std::string> folders, files, free;
        std::string choices;
        for (const OptionSpec& option : command->options) {
            options.emplace_back(option.name);
            if (option.shortName)
                options.push_back(std::string("-") + option.shortName);
            std::vector<std::string> forms{std::string(option.name)};
            if (option.shortName)
                forms.push_back(std::string("-") + option.shortName);
            for (const std::string& form : forms) {
                if (!option.choices.empty()) {
                    std::vector<std::string> c(option.choices.begin(), option.choices.end());
                    choices += "            " + form + ") COMPREPLY=($(compgen -W \"" + words(c)
                               + "\" -- \"$cur\")); return ;;\n";
                } else if (option.values.size() == 1 && option.values[0] == "DIR") {
                    folders.push_back(form);
                } else if (option.values.size() == 1 && option.values[0] == "PATH") {
                    files.push_back(form);
                } else if (!option.values.empty()) {
                    free.push_back(form);
                }
            }
        }
        for (const InfoOption& info : {kHelpOption, kVersionOption}) {
            options.emplace_back(info.name);
            options.push_back(std::string("-") + info.shortName);
        }
        auto joinedCase = [](const std::vector<std::string>& forms) {
            std::string s;
            for (const std::string& f : forms)
                s += (s.empty() ? "" : " | ") + f;
            return s;
        };
        out += "        " + std::string(command->name) + ")\n"
               "            case $prev in\n";
        out += choices;
        if (!folders.empty())
            out += "            " + joinedCase(folders) + ") _filedir -d; return ;;\n";
        if (!files.empty())
            out += "            " + joinedCase(files) + ") _filedir; return ;;\n";
        if (!free.empty())
            out += "            " + joinedCase(free) + ") return ;;\n";
        out += "            esac\n"
               "            if [[ $cur == -* ]]; then\n"
               "                COMPREPLY=($(compgen -W \"" + words(options) + "\" -- \"$cur\"))\n"
               "                return\n"
               "            fi\n";
        if (command->name == "history") {
            out += "            local folder=() i\n"
                   "            for ((i = 2; i < cword; i++)); do\n"
                   "                [[ ${words[i]} == --program-folder ]] && folder=(--program-folder \"${words[i + 1]}\")\n"
                   "            done\n"
                   "            local names\n"
                   "            if [[ $cword -eq 2 ]]; then\n"
                   "                names=$(\"${words[0]}\" history \"${folder[@]}\" 2>/dev/null)\n"
                   "            else\n"
                   "                names=$(\"${words[0]}\" history \"${words[2]}\" \"${folder[@]}\" 2>/dev/null)\n"
                   "            fi\n"
                   "            local IFS=$'\\n'\n"
                   "            COMPREPLY=($(compgen -W \"$names\" -- \"$cur\"))\n";
        } else {
            out += "            _filedir '@(vbp|vbg|VBP|VBG)'\n";
        }
        out += "            ;;\n";
    }
    out += "    esac\n"
           "} &&\n"
           "    complete -F _zorvika_cli zorvika-cli\n";
    return out;
}

} // namespace zorvika
