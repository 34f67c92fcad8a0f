#include "base/shared_library.h"

#include <dlfcn.h>

namespace zorvika {

SharedLibrary::SharedLibrary(const char* soname) : soname_(soname)
{
    handle_ = ::dlopen(soname, RTLD_NOW | RTLD_LOCAL);
    if (!handle_) {
        const char* why = ::dlerror();
        error_ = std::string("the library ") + soname + " cannot be loaded" + (why ? std::string(": ") + why : "");
    }
}

void* SharedLibrary::symbol(const char* name)
{
    if (!handle_)
        return nullptr;
    void* found = ::dlsym(handle_, name);
    if (!found && error_.empty())
        error_ = "the library " + soname_ + " lacks " + name;
    return found;
}

} // namespace zorvika
