#pragma once
// Shared libraries loaded while the program runs, and the functions found
// in them.
#include <string>

namespace zorvika {

// A shared library loaded by its file name; nothing and the reason otherwise.
void* loadLibrary(const char* name, std::string& error);
// A function or object of a loaded library; nothing when it has none of
// that name.
void* librarySymbol(void* library, const char* name);

} // namespace zorvika
