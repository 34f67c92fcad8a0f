#include "base/shared_library.h"

#include "base/platform.h"

#include <string>

namespace zorvika {

Outcome loadLibraryFunctions(const char* soname, const char* package, std::initializer_list<LibraryFunction> functions)
{
    std::string why;
    void* library = loadLibrary(soname, why);
    if (!library)
        return Outcome::failure(std::string("the library ") + soname + " cannot be loaded"
                                + (package && *package ? std::string(" (it comes with the package ") + package + ")" : "")
                                + (why.empty() ? "" : ": " + why));
    for (const LibraryFunction& function : functions) {
        void* address = librarySymbol(library, function.name());
        if (!address)
            return Outcome::failure(std::string("the library ") + soname + " lacks " + function.name());
        function.bind(address);
    }
    return {};
}

} // namespace zorvika
