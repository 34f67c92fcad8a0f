#pragma once
// A shared library loaded when it is first needed rather than linked: a
// program then starts without it and the libraries it pulls in, and only
// the commands that use it pay for loading it.
//
// A user of one lists the functions it takes once, by the names of the
// library's header, and declares and binds them from that list:
//
//     #define ZLIB_FUNCTIONS(X) X(inflate) X(inflateEnd)
//     struct Zlib {
//         ZLIB_FUNCTIONS(ZORVIKA_LIBRARY_POINTER)
//         Outcome loaded = loadLibraryFunctions("libz.so.1", "zlib1g", {ZLIB_FUNCTIONS(ZORVIKA_LIBRARY_FUNCTION)});
//     };
#include "base/result.h"

#include <initializer_list>
#include <type_traits>

namespace zorvika {

// One function the library is to give: its symbol's name and the pointer,
// of the function's own type, that takes its address.
class LibraryFunction {
public:
    template <typename F>
        requires std::is_function_v<F>
    LibraryFunction(const char* name, F*& function) : name_(name), slot_(&function), assign_(&assign<F>)
    {
    }
    const char* name() const { return name_; }
    void bind(void* address) const { assign_(slot_, address); }

private:
    template <typename F>
    static void assign(void* slot, void* address)
    {
        *static_cast<F**>(slot) = reinterpret_cast<F*>(address);
    }
    const char* name_;
    void* slot_;
    void (*assign_)(void* slot, void* address);
};

// Loads the library by its shared-object name (it stays loaded for the life
// of the program) and binds every one of `functions`. Nothing, or why not:
// "the library <soname> cannot be loaded (it comes with the package
// <package>): <the system's reason>" (the package named when one is given),
// or "the library <soname> lacks <the first function missing>".
Outcome loadLibraryFunctions(const char* soname, const char* package, std::initializer_list<LibraryFunction> functions);

} // namespace zorvika

// A member pointer for the library function `name`, of the type its header
// declares it with.
#define ZORVIKA_LIBRARY_POINTER(name) decltype(&::name) name = nullptr;
// That member in the list given to loadLibraryFunctions.
#define ZORVIKA_LIBRARY_FUNCTION(name) ::zorvika::LibraryFunction(#name, name),
