#pragma once
#include "analysis/module_row.h"
#include "cli/cli.h"
#include "temp_folder.h"

#include <sstream>

namespace zorvika::test {

struct CliResult {
    int status;
    std::string out;
    std::string err;
};

// Runs the command line in this process with a temporary program folder
// that holds the shipped message table.
class Cli {
public:
    Cli()
    {
        std::filesystem::copy_file(std::filesystem::path(ZORVIKA_SOURCE_DIR) / "resources" / "tips.dll",
                                   program / "tips.dll");
    }
    CliResult run(std::vector<std::string> args) const
    {
        // Right after the command, so that a `--` among the arguments leaves it an option.
        const auto at = args.begin() + (args.empty() ? 0 : 1);
        args.insert(at, {"--program-folder", program.path().string()});
        std::ostringstream out, err;
        CliContext context;
        context.defaultProgramFolder = "/nonexistent-default-folder";
        const int status = runCli(args, out, err, context);
        return {status, out.str(), err.str()};
    }
    TempFolder program;
};

inline std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::string line;
    std::istringstream in(text);
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        out.push_back(line);
    }
    return out;
}

// A stored "Form" row with the four base figures and their six differences.
inline ModuleRow formRow(std::string path, int p, int a, int c, int b)
{
    ModuleRow r;
    r.cells[ColModule] = std::move(path);
    r.cells[ColType] = "Form";
    const int values[10] = {p, a, c, b, p - c, p - b, p - c - b, a - c, a - b, a - c - b};
    for (int k = 0; k < 10; ++k)
        r.cells[ColP + k] = std::to_string(values[k]);
    return r;
}

// The text with every CR removed: a file's CR LF lines as LF lines.
inline std::string withoutCr(std::string text)
{
    std::erase(text, '\r');
    return text;
}

} // namespace zorvika::test
