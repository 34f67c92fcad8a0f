// How paths are written on Windows: UTF-16 for the system and UTF-8 inside
// the program; short names for libraries that open files with narrow
// calls; the names the system keeps for devices.
#include "base/shared_win32.h"
#include "base/system_paths.h"

#include "base/system_processes.h"
#include "base/text_codec.h"

namespace zorvika {

namespace fs = std::filesystem;

std::wstring wideOf(std::string_view utf8)
{
    if (utf8.empty())
        return {};
    const int n = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()),
                                        nullptr, 0);
    if (n <= 0)
        return {};
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
    return wide;
}

std::string utf8OfWide(std::wstring_view wide)
{
    if (wide.empty())
        return {};
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                        nullptr);
    if (n <= 0)
        return {};
    std::string text(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), n, nullptr, nullptr);
    return text;
}

fs::path pathFromUtf8(std::string_view utf8)
{
    // A name that is not UTF-8 comes from a Windows-1252 text (a VB6
    // project file): it is read in that page.
    if (!isValidUtf8(utf8))
        return fs::path(wideOf(windows1252ToUtf8(utf8)));
    return fs::path(wideOf(utf8));
}

std::string utf8Of(const fs::path& path) { return utf8OfWide(path.native()); }

std::optional<std::string> narrowFolderPath(const fs::path& folder)
{
    auto ascii = [](const std::wstring& w) {
        for (const wchar_t c : w)
            if (c == 0 || c > 0x7E)
                return false;
        return true;
    };
    std::wstring wide = folder.native();
    if (!ascii(wide)) {
        const DWORD n = ::GetShortPathNameW(folder.c_str(), nullptr, 0);
        if (n == 0)
            return std::nullopt;
        wide.assign(n, L'\0');
        wide.resize(::GetShortPathNameW(folder.c_str(), wide.data(), n));
        if (wide.empty() || !ascii(wide))
            return std::nullopt;
    }
    return utf8OfWide(wide);
}

bool systemAcceptsFileName(std::string_view name)
{
    if (name.empty() || name.back() == '.' || name.back() == ' ')
        return false;
    for (const char c : name)
        if (c == '<' || c == '>' || c == ':' || c == '"' || c == '|' || c == '?' || c == '*')
            return false;
    // Device names stay devices with any extension ("CON.txt", "lpt1.bas").
    std::string stem(name.substr(0, name.find('.')));
    while (!stem.empty() && stem.back() == ' ')
        stem.pop_back();
    for (char& c : stem)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    if (stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL" || stem == "CONIN$" || stem == "CONOUT$")
        return false;
    if (stem.size() == 4 && (stem.starts_with("COM") || stem.starts_with("LPT")) && stem[3] >= '0' && stem[3] <= '9')
        return false;
    return true;
}

std::optional<fs::path> executablePath()
{
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0)
            return std::nullopt;
        if (n < buffer.size()) {
            buffer.resize(n);
            return fs::path(buffer);
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::string homeFolder() { return environmentVariable("USERPROFILE").value_or(std::string()); }

} // namespace zorvika
