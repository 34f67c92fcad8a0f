#include "base/shared_library.h"

#include "base/platform.h"

namespace zorvika {

SharedLibrary::SharedLibrary(const char* soname, const char* package) : soname_(soname)
{
    std::string why;
    handle_ = loadLibrary(soname, why);
    if (!handle_)
        error_ = std::string("the library ") + soname + " cannot be loaded"
                 + (package && *package ? std::string(" (it comes with the package ") + package + ")" : "")
                 + (why.empty() ? "" : ": " + why);
}

void* SharedLibrary::symbol(const char* name)
{
    if (!handle_)
        return nullptr;
    void* found = librarySymbol(handle_, name);
    if (!found && error_.empty())
        error_ = "the library " + soname_ + " lacks " + name;
    return found;
}

} // namespace zorvika
