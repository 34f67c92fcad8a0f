#include "cli/cli.h"
#include "base/platform.h"
#include "cli/fd_output.h"
#include "components/spreadsheet_factory.h"
#include "shell/message_table.h"

#include <iostream>
#include <new>

int main(int argc, char** argv)
{
    std::ios::sync_with_stdio(false);
    std::vector<std::string> args = zorvika::startProcess(argc, argv);
    zorvika::FdOutputBuffer stdoutBuffer(zorvika::standardOutput());
    std::ostream out(&stdoutBuffer);
    int status = 1;
    try {
        zorvika::CliContext context;
        const zorvika::ProgramFolder folder = zorvika::ProgramFolder::ofExecutable();
        context.defaultProgramFolder = folder.root;
        context.defaultDataFolder = folder.data;
        context.defaultFolderProblem = folder.unusable;
        context.locale = zorvika::LocaleVariables::ofEnvironment();
        const auto spreadsheet = zorvika::makeSystemSpreadsheet();
        context.spreadsheet = spreadsheet.get();
        status = zorvika::runCli(args, out, std::cerr, context);
    } catch (const std::bad_alloc&) {
        std::cerr << "zorvika-cli: out of memory\n";
        return 1;
    }
    out.flush();
    if (!stdoutBuffer.failure().empty()) {
        std::cerr << "zorvika-cli: standard output: " << stdoutBuffer.failure() << '\n';
        return 1;
    }
    return status;
}
