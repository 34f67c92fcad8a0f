#pragma once
// The running program as the system sees it: its arguments and console,
// its environment and local time, its number among the processes, the
// interrupts the user sends it, and ending a group of the processes it
// started (see `runChild` for starting one).
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

namespace zorvika {

// Prepares the process: standard output written as bytes (no line-end
// conversion), the console showing UTF-8. Gives the command-line arguments
// as UTF-8 (on Windows read from the system as wide characters; `argv`
// elsewhere).
std::vector<std::string> startProcess(int argc, char** argv);

// An environment variable as UTF-8; nothing when unset.
std::optional<std::string> environmentVariable(const char* name);
// The separator of a PATH-style list, and the names a program's file may
// have for a name given without its extension.
char pathListSeparator();
std::vector<std::string> programFileNames(const std::string& name);

// The local time of `when`, and the time in UTC.
std::tm localTime(std::time_t when);
std::tm universalTime(std::time_t when);

// A number that differs between processes running at the same time.
unsigned long processNumber();

// Calls `onInterrupt` with the signal's number, on a thread of its own, when
// the user interrupts the program (SIGINT, SIGTERM, SIGHUP; Ctrl-C, Ctrl-
// Break or closing the console on Windows). A signal this process ignores
// (a background job's SIGINT) stays ignored.
void installInterruptHandler(void (*onInterrupt)(int));
// Ends the program as the interrupt `signal` would have.
[[noreturn]] void endByInterrupt(int signal);
// Ends every process of a child's group (see `runChild`) and waits a moment
// for its leader to be gone.
void endProcessGroup(std::intptr_t group);

} // namespace zorvika
