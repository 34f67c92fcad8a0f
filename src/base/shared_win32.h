#pragma once
// What the Windows files of the system layer share: Windows' own API
// (without its min and max macros and its rarely used parts) and the
// helpers below. Each of those files includes this first.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "base/result.h"
#include "base/system_files.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace zorvika {

// files_win32.cpp: errno's value for a code of the system, and for its last
// error (errno is set to it too); the failure of the last error.
int errnoOf(unsigned long error);
int lastErrno();
Failure<> lastFailure();

// paths_win32.cpp: UTF-16 for the system from UTF-8, and back.
std::wstring wideOf(std::string_view utf8);
std::string utf8OfWide(std::wstring_view wide);

// files_win32.cpp: what `path` is (`follow` false looks at a link itself);
// a descriptor of the C library over the handle `h` (closed on failure).
std::optional<EntryInfo> queryPath(const std::filesystem::path& path, bool follow);
Result<FileHandle> descriptorOf(void* h, int flags);

} // namespace zorvika
