#include "cli/options.h"

#include <algorithm>

namespace zorvika {

namespace {

constexpr std::string_view kProgram = "zorvika-cli";

std::string joined(const std::vector<std::string_view>& items, std::string_view between)
{
    std::string out;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i)
            out += between;
        out += items[i];
    }
    return out;
}

// "--format tsv|csv|json", "--compare V1 V2", "--save".
std::string optionForm(const OptionSpec& option)
{
    std::string out(option.name);
    if (!option.choices.empty()) {
        out += ' ';
        out += joined(option.choices, "|");
    } else {
        for (std::string_view v : option.values) {
            out += ' ';
            out += v;
        }
    }
    return out;
}

const OptionSpec* findOption(const CommandSpec& command, std::string_view name)
{
    const auto it = std::find_if(command.options.begin(), command.options.end(),
                                 [&](const OptionSpec& o) { return o.name == name; });
    return it == command.options.end() ? nullptr : &*it;
}

void checkChoice(const OptionSpec& option, const std::string& value)
{
    if (option.choices.empty() || std::find(option.choices.begin(), option.choices.end(), value) != option.choices.end())
        return;
    std::string list;
    for (std::size_t i = 0; i < option.choices.size(); ++i)
        list += (i == 0 ? "" : i + 1 == option.choices.size() ? " or " : ", ") + std::string(option.choices[i]);
    throw UsageError{std::string(option.name) + " takes " + list};
}

} // namespace

std::optional<std::string> ParsedArgs::value(std::string_view option) const
{
    const auto it = options.find(option);
    if (it == options.end() || it->second.empty())
        return std::nullopt;
    return it->second.front();
}

ParsedArgs parseArguments(const CommandSpec& command, const std::vector<std::string>& args)
{
    ParsedArgs parsed;
    // `--help` before any `--` wins over every other mistake on the line.
    for (const std::string& a : args) {
        if (a == "--")
            break;
        if (a == "--help" || a == "-h") {
            parsed.help = true;
            return parsed;
        }
    }
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (optionsEnded || a == "-" || !a.starts_with("-")) {
            parsed.operands.push_back(a);
            continue;
        }
        if (a == "--") {
            optionsEnded = true;
            continue;
        }
        const std::size_t equals = a.find('=');
        const std::string name = a.substr(0, equals);
        const OptionSpec* option = findOption(command, name);
        if (!option)
            throw UsageError{"unexpected argument " + a};
        std::vector<std::string> values;
        if (equals != std::string::npos) {
            if (option->values.size() != 1)
                throw UsageError{name + " takes no value after ="};
            values.push_back(a.substr(equals + 1));
        } else {
            if (args.size() - i - 1 < option->values.size())
                throw UsageError{name + " needs " + joined(option->values, " ")};
            values.assign(args.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                          args.begin() + static_cast<std::ptrdiff_t>(i + 1 + option->values.size()));
            i += option->values.size();
        }
        if (!values.empty())
            checkChoice(*option, values.front());
        parsed.options[name] = std::move(values);
    }
    if (parsed.operands.size() < command.minOperands)
        throw UsageError{std::string(command.name) + " needs " + std::string(command.operands)};
    if (parsed.operands.size() > command.maxOperands)
        throw UsageError{"unexpected argument " + parsed.operands[command.maxOperands]};
    return parsed;
}

std::string synopsis(const CommandSpec& command)
{
    std::string out(kProgram);
    out += ' ';
    out += command.name;
    if (!command.operands.empty()) {
        out += ' ';
        out += command.operands;
    }
    for (const OptionSpec& option : command.options) {
        out += " [";
        out += optionForm(option);
        out += ']';
    }
    return out;
}

std::string helpText(const CommandSpec& command)
{
    std::string out = "usage: " + synopsis(command) + "\n\n" + std::string(command.summary) + "\n\noptions:\n";
    std::vector<std::string> forms;
    std::size_t width = std::string_view("-h, --help").size();
    for (const OptionSpec& option : command.options) {
        forms.push_back(optionForm(option));
        width = std::max(width, forms.back().size());
    }
    auto line = [&](const std::string& form, std::string_view help) {
        out += "  " + form + std::string(width - form.size() + 2, ' ') + std::string(help) + "\n";
    };
    for (std::size_t i = 0; i < forms.size(); ++i)
        line(forms[i], command.options[i].help);
    line("-h, --help", "print this text and exit");
    out += "  --" + std::string(width, ' ') + "ends the options: every later argument is an operand\n";
    return out;
}

} // namespace zorvika
