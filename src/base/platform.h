#pragma once
// What the program needs from the operating system, one header per
// question: how paths are written (system_paths.h), files (system_files.h),
// folders (system_folders.h), the running process (system_processes.h) and
// shared libraries (system_libraries.h); running another program is
// child_process.h. Each is implemented once for POSIX systems
// ("<question>_posix.cpp") and once for Windows ("<question>_win32.cpp");
// the build chooses one side. Everything else in the program is written
// against these headers and never calls the system itself.
//
// Failures carry the system's reason as the C library words errno (Windows'
// own codes are translated), with its common cause: see system_failure.h.
// This header gathers them all, for a file that needs several.
#include "base/system_failure.h"
#include "base/system_files.h"
#include "base/system_folders.h"
#include "base/system_libraries.h"
#include "base/system_paths.h"
#include "base/system_processes.h"
