// Shared libraries on Linux and other POSIX systems: dlopen and dlsym.
#include "base/system_libraries.h"

#include <dlfcn.h>

namespace zorvika {

void* loadLibrary(const char* name, std::string& error)
{
    // Lazy: the library's own calls are bound as they are first made, so a
    // library that pulls in many others (libgit2: Kerberos, OpenSSL) loads
    // faster; the functions the program takes are looked up at once.
    void* handle = ::dlopen(name, RTLD_LAZY | RTLD_LOCAL);
    if (!handle) {
        const char* why = ::dlerror();
        error = why ? why : "";
    }
    return handle;
}

void* librarySymbol(void* library, const char* name) { return ::dlsym(library, name); }

} // namespace zorvika
