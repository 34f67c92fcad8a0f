#pragma once
// What the POSIX files of the system layer share (files_posix.cpp defines it).
#include "base/system_files.h"

struct stat;

namespace zorvika {

// What a `stat` record tells, as the program keeps it.
EntryInfo infoFromStat(const struct stat& st);

} // namespace zorvika
