// Shared libraries on Windows: LoadLibrary and GetProcAddress, the reason
// for a library that cannot be loaded in the system's words.
#include "base/shared_win32.h"
#include "base/system_libraries.h"

#include "base/system_paths.h"

namespace zorvika {

void* loadLibrary(const char* name, std::string& error)
{
    HMODULE library = ::LoadLibraryW(pathFromUtf8(name).c_str());
    if (!library) {
        const DWORD code = ::GetLastError();
        wchar_t* text = nullptr;
        ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
        error = text ? utf8OfWide(text) : "error " + std::to_string(code);
        while (!error.empty() && (error.back() == '\n' || error.back() == '\r' || error.back() == ' '))
            error.pop_back();
        if (text)
            ::LocalFree(text);
    }
    return reinterpret_cast<void*>(library);
}

void* librarySymbol(void* library, const char* name)
{
    return reinterpret_cast<void*>(::GetProcAddress(reinterpret_cast<HMODULE>(library), name));
}

} // namespace zorvika
