#include "cli/cli.h"
#include "components/spreadsheet_factory.h"
#include "shell/message_table.h"

#include <iostream>

int main(int argc, char** argv)
{
    std::ios::sync_with_stdio(false);
    std::vector<std::string> args(argv + 1, argv + argc);
    zorvika::CliContext context;
    const zorvika::ProgramFolder folder = zorvika::ProgramFolder::ofExecutable();
    context.defaultProgramFolder = folder.root;
    context.defaultDataFolder = folder.data;
    const auto spreadsheet = zorvika::makeSystemSpreadsheet();
    context.spreadsheet = spreadsheet.get();
    const int status = zorvika::runCli(args, std::cout, std::cerr, context);
    std::cout.flush();
    return status;
}
