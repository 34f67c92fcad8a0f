// The running program on Windows: its arguments read as wide characters,
// the console set to UTF-8, the environment in UTF-16, console events as
// interrupts, and a child's group as a job object.
#include "base/shared_win32.h"
#include "base/system_processes.h"


#include <shellapi.h>

#include <cstdlib>
#include <fcntl.h>
#include <io.h>

namespace zorvika {

std::vector<std::string> startProcess(int, char**)
{
    // Bytes go out as written: in text mode every "\r\n" would become
    // "\r\r\n".
    ::_setmode(1, _O_BINARY);
    // The console shows the UTF-8 the program writes; the page it had comes
    // back when the program ends.
    static const UINT consolePage = ::GetConsoleOutputCP();
    if (consolePage != 0 && consolePage != CP_UTF8 && ::SetConsoleOutputCP(CP_UTF8))
        std::atexit([] { ::SetConsoleOutputCP(consolePage); });
    // The arguments as the system has them: the narrow ones are in the
    // ANSI page, which cannot hold every name.
    std::vector<std::string> args;
    int count = 0;
    if (wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count)) {
        for (int i = 1; i < count; ++i)
            args.push_back(utf8OfWide(wide[i]));
        ::LocalFree(wide);
    }
    return args;
}

std::optional<std::string> environmentVariable(const char* name)
{
    const std::wstring wideName = wideOf(name);
    const DWORD n = ::GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
    if (n == 0)
        return std::nullopt;
    std::wstring value(n, L'\0');
    const DWORD got = ::GetEnvironmentVariableW(wideName.c_str(), value.data(), n);
    value.resize(got);
    return utf8OfWide(value);
}

char pathListSeparator() { return ';'; }

std::vector<std::string> programFileNames(const std::string& name)
{
    if (name.find('.') != std::string::npos)
        return {name};
    return {name + ".exe", name};
}

std::tm localTime(std::time_t when)
{
    std::tm local {};
    ::localtime_s(&local, &when);
    return local;
}

std::tm universalTime(std::time_t when)
{
    std::tm utc {};
    ::gmtime_s(&utc, &when);
    return utc;
}

unsigned long processNumber() { return ::GetCurrentProcessId(); }

namespace {

void (*gOnInterrupt)(int) = nullptr;

BOOL WINAPI onConsoleEvent(DWORD event)
{
    // Called on a thread of its own; the program ends there or goes on.
    if (!gOnInterrupt)
        return FALSE;
    const int signal = event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT ? 2 : event == CTRL_CLOSE_EVENT ? 1 : 15;
    gOnInterrupt(signal);
    return TRUE;
}

} // namespace

void installInterruptHandler(void (*onInterrupt)(int))
{
    gOnInterrupt = onInterrupt;
    ::SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

void endByInterrupt(int signal)
{
    // The status Windows gives a program that Ctrl-C ended.
    ::ExitProcess(signal == 2 ? 0xC000013AU : static_cast<UINT>(128 + signal));
}

void endProcessGroup(std::intptr_t group)
{
    const auto job = reinterpret_cast<HANDLE>(group);
    ::TerminateJobObject(job, 1);
    for (int i = 0; i < 200; ++i) {
        JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting {};
        if (!::QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &accounting, sizeof accounting,
                                         nullptr)
            || accounting.ActiveProcesses == 0)
            break;
        ::Sleep(10);
    }
}

} // namespace zorvika
