#pragma once
// Running an outside program to its end within a time limit: no shell, no
// input, its output into a file, and every process it starts ended with it
// when the time runs out.
#include "base/result.h"

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zorvika {

// Why a child gave no exit status of its own.
enum class RunError { NotStarted, TimedOut, Killed };

// The exit status of a child that ran to its end, or why there is none.
using ChildExit = Result<int, RunError>;

// Starts `program` (a path, not looked up) with `args` in a process group of
// its own, standard input from /dev/null, standard output and error appended
// to `logFile` (discarded when empty), and waits at most `timeLimit`. On time-
// out the whole group is killed and reaped before this returns; so is any
// process of the group still running after the program itself has ended.
ChildExit runChild(const std::filesystem::path& program, const std::vector<std::string>& args,
                   std::chrono::milliseconds timeLimit, const std::filesystem::path& logFile = {});

// What `runChild` gives for a child it ended when its time ran out.
ChildExit timedOutChild(const std::filesystem::path& program, std::chrono::milliseconds timeLimit);

// The first of `names` found as an executable regular file in a folder of
// `searchPath` (a PATH-style list separated by ':', ';' on Windows, where
// "name" also finds "name.exe"; an empty entry is the
// current folder, as the shell has it).
std::optional<std::filesystem::path> findProgram(const std::vector<std::string>& names, std::string_view searchPath);

// The same, in the PATH of this process (nothing when PATH is unset).
std::optional<std::filesystem::path> findProgramOnPath(const std::vector<std::string>& names);

} // namespace zorvika
