#pragma once
// A shared library loaded when it is first needed rather than linked: a
// program then starts without it and the libraries it pulls in, and only
// the commands that use it pay for loading it.
#include <string>

namespace zorvika {

class SharedLibrary {
public:
    // Loads the library by its shared-object name; `error()` says why not,
    // naming the system's `package` that holds it when one is given.
    explicit SharedLibrary(const char* soname, const char* package = nullptr);
    bool loaded() const { return handle_ != nullptr; }
    const std::string& error() const { return error_; }

    // Binds `function` to the library's symbol `name`; false (and `error()`
    // set) when the library lacks it.
    template <typename F>
    bool bind(const char* name, F& function)
    {
        function = reinterpret_cast<F>(symbol(name));
        return function != nullptr;
    }

private:
    void* symbol(const char* name);
    void* handle_ = nullptr;
    std::string soname_;
    std::string error_;
};

} // namespace zorvika
