// Writes the manual page of zorvika-cli (from its template) or its bash
// completion, made from the commands' tables: `zorvika-cli-docs man
// TEMPLATE OUT` or `zorvika-cli-docs completion OUT`. Run by the build.
#include "base/file_io.h"
#include "base/platform.h"
#include "cli/docs.h"

#include <exception>
#include <iostream>

int main(int argc, char** argv)
{
    const std::vector<std::string> args = zorvika::startProcess(argc, argv);
    try {
        std::string text;
        std::string target;
        if (args.size() == 3 && args[0] == "man") {
            const auto templateText = zorvika::readRegularFile(zorvika::pathFromUtf8(args[1]));
            if (!templateText) {
                std::cerr << "zorvika-cli-docs: " << args[1] << ": cannot be read\n";
                return 1;
            }
            text = zorvika::manualPage(*templateText);
            target = args[2];
        } else if (args.size() == 2 && args[0] == "completion") {
            text = zorvika::bashCompletion();
            target = args[1];
        } else {
            std::cerr << "usage: zorvika-cli-docs man TEMPLATE OUT | completion OUT\n";
            return 2;
        }
        if (const zorvika::Outcome written = zorvika::writeFileAtomically(zorvika::pathFromUtf8(target), text, {},
                                                                           zorvika::Durability::Unsynced);
            !written) {
            std::cerr << "zorvika-cli-docs: " << target << ": " << written.reason() << '\n';
            return 1;
        }
    } catch (const std::exception& e) {
        std::cerr << "zorvika-cli-docs: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
