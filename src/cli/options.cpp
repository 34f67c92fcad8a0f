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

const OptionSpec* findLong(const CommandSpec& command, std::string_view name)
{
    const auto it = std::find_if(command.options.begin(), command.options.end(),
                                 [&](const OptionSpec& o) { return o.name == name; });
    return it == command.options.end() ? nullptr : &*it;
}

const OptionSpec* findShort(const CommandSpec& command, char name)
{
    const auto it = std::find_if(command.options.begin(), command.options.end(),
                                 [&](const OptionSpec& o) { return o.shortName != 0 && o.shortName == name; });
    return it == command.options.end() ? nullptr : &*it;
}

// A value as a message quotes it: control characters shown as '?', so that
// the message stays one line.
std::string quoted(std::string_view value)
{
    std::string out = "'";
    for (char c : value)
        out += static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? '?' : c;
    return out + "'";
}

void checkValue(const OptionSpec& option, const std::string& value)
{
    if (option.number) {
        const auto n = parseWholeNumber(value);
        if (!n || *n < option.number->least || *n > option.number->most)
            throw UsageError{std::string(option.name) + " takes a whole number from "
                             + std::to_string(option.number->least) + " to " + std::to_string(option.number->most)
                             + ", not " + quoted(value)};
    }
    if (option.choices.empty() || std::find(option.choices.begin(), option.choices.end(), value) != option.choices.end())
        return;
    std::string list;
    for (std::size_t i = 0; i < option.choices.size(); ++i)
        list += (i == 0 ? "" : i + 1 == option.choices.size() ? " or " : ", ") + std::string(option.choices[i]);
    throw UsageError{std::string(option.name) + " takes " + list + ", not " + quoted(value)};
}

// One item of a command line.
struct Item {
    enum Kind { Operand, Option, Help, Version } kind = Operand;
    const OptionSpec* option = nullptr;
    std::vector<std::string> values; // the operand's text, or the option's values
};

// Splits the arguments into items by the table. A mistake is kept in
// `error` (the first one) and the walk goes on, so that a later `--help`
// still wins; the values an option takes are skipped, never read as options.
std::vector<Item> itemsOf(const CommandSpec& command, const std::vector<std::string>& args,
                          std::optional<UsageError>& error)
{
    std::vector<Item> items;
    auto fail = [&](std::string what) {
        if (!error)
            error = UsageError{std::move(what)};
    };
    // Takes the option's values from the arguments after position i.
    auto takeValues = [&](const OptionSpec& option, std::size_t& i, std::string_view shown) -> bool {
        if (args.size() - i - 1 < option.values.size()) {
            fail(std::string(shown) + " needs " + joined(option.values, " "));
            i = args.size();
            return false;
        }
        Item item{Item::Option, &option, {}};
        item.values.assign(args.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                           args.begin() + static_cast<std::ptrdiff_t>(i + 1 + option.values.size()));
        i += option.values.size();
        items.push_back(std::move(item));
        return true;
    };
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (optionsEnded || a == "-" || !a.starts_with("-")) {
            items.push_back({Item::Operand, nullptr, {a}});
            continue;
        }
        if (a == "--") {
            optionsEnded = true;
            continue;
        }
        if (a.starts_with("--")) {
            const std::size_t equals = a.find('=');
            const std::string name = a.substr(0, equals);
            if (name == kHelpOption.name || name == kVersionOption.name) {
                if (equals != std::string::npos)
                    fail(name + " takes no value");
                else
                    items.push_back({name == kHelpOption.name ? Item::Help : Item::Version, nullptr, {}});
                continue;
            }
            const OptionSpec* option = findLong(command, name);
            if (!option) {
                fail("unknown option " + quoted(name));
                continue;
            }
            if (equals == std::string::npos) {
                takeValues(*option, i, name);
            } else if (option->values.size() != 1) {
                fail(name + (option->values.empty() ? " takes no value" : " takes its values as separate arguments"));
            } else {
                items.push_back({Item::Option, option, {a.substr(equals + 1)}});
            }
            continue;
        }
        // "-d", "-dq", "-f json", "-fjson".
        for (std::size_t k = 1; k < a.size(); ++k) {
            const char c = a[k];
            const std::string shown = std::string("-") + c;
            if (c == kHelpOption.shortName || c == kVersionOption.shortName) {
                items.push_back({c == kHelpOption.shortName ? Item::Help : Item::Version, nullptr, {}});
                continue;
            }
            const OptionSpec* option = findShort(command, c);
            if (!option) {
                fail("unknown option " + quoted(shown));
                break;
            }
            if (option->values.empty()) {
                items.push_back({Item::Option, option, {}});
                continue;
            }
            if (k + 1 < a.size()) {
                if (option->values.size() != 1)
                    fail(shown + " takes its values as separate arguments");
                else
                    items.push_back({Item::Option, option, {a.substr(k + 1)}});
            } else {
                takeValues(*option, i, shown);
            }
            break;
        }
    }
    return items;
}

} // namespace

std::optional<std::int64_t> parseWholeNumber(std::string_view text)
{
    if (text.empty())
        return std::nullopt;
    std::int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        const int digit = c - '0';
        if (value > (INT64_MAX - digit) / 10)
            return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

std::optional<std::string> ParsedArgs::value(std::string_view option) const
{
    const auto it = options.find(option);
    if (it == options.end() || it->second.empty())
        return std::nullopt;
    return it->second.front();
}

std::vector<std::string> ParsedArgs::values(std::string_view option) const
{
    const auto it = options.find(option);
    return it == options.end() ? std::vector<std::string>() : it->second;
}

std::optional<std::int64_t> ParsedArgs::number(std::string_view option) const
{
    const auto v = value(option);
    return v ? parseWholeNumber(*v) : std::nullopt;
}

ParsedArgs parseArguments(const CommandSpec& command, const std::vector<std::string>& args)
{
    std::optional<UsageError> error;
    const std::vector<Item> items = itemsOf(command, args, error);
    ParsedArgs parsed;
    // `--help` (then `--version`) wins over every other mistake on the line.
    for (const Item& item : items)
        if (item.kind == Item::Help) {
            parsed.help = true;
            return parsed;
        }
    for (const Item& item : items)
        if (item.kind == Item::Version) {
            parsed.version = true;
            return parsed;
        }
    if (error)
        throw *error;
    for (const Item& item : items) {
        if (item.kind == Item::Operand) {
            parsed.operands.push_back(item.values.front());
            continue;
        }
        for (const std::string& v : item.values)
            checkValue(*item.option, v);
        std::vector<std::string>& kept = parsed.options[std::string(item.option->name)];
        if (item.option->repeatable)
            kept.insert(kept.end(), item.values.begin(), item.values.end());
        else
            kept = item.values;
    }
    if (parsed.operands.size() < command.minOperands)
        throw UsageError{std::string(command.name) + " needs " + std::string(command.operands)};
    if (parsed.operands.size() > command.maxOperands)
        throw UsageError{"unexpected argument " + quoted(parsed.operands[command.maxOperands])};
    return parsed;
}

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
    // "-f, --format tsv|csv|json", "    --save": the long names in one column.
    std::vector<std::pair<std::string, std::string_view>> lines;
    for (const OptionSpec& option : command.options)
        lines.emplace_back((option.shortName ? std::string("-") + option.shortName + ", " : std::string("    "))
                               + optionForm(option),
                           option.help);
    for (const InfoOption& info : {kHelpOption, kVersionOption})
        lines.emplace_back(std::string("-") + info.shortName + ", " + std::string(info.name), info.help);
    lines.emplace_back("    --", "ends the options: every later argument is an operand");
    std::size_t width = 0;
    for (const auto& line : lines)
        width = std::max(width, line.first.size());
    for (const auto& [form, help] : lines)
        out += "  " + form + std::string(width - form.size() + 2, ' ') + std::string(help) + "\n";
    return out;
}

} // namespace zorvika
