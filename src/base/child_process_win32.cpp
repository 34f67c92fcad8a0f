// Running a child program on Windows: CreateProcess into a job object of its
// own, which a time-out (or an interrupt) ends whole, every process the
// child started included.
#include "base/shared_win32.h"
#include "base/child_process.h"

#include "base/interrupt_cleanup.h"
#include "base/system_failure.h"
#include "base/system_paths.h"
#include "base/system_processes.h"

namespace zorvika {

namespace fs = std::filesystem;

namespace {

// One argument as CommandLineToArgvW reads it back: quoted when it holds a
// space, a tab or a quote, with the backslashes before a quote doubled.
std::wstring quoted(const std::wstring& arg)
{
    if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos)
        return arg;
    std::wstring out = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        if (c == L'"')
            out.append(backslashes * 2 + 1, L'\\');
        else
            out.append(backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, L'\\');
    out += L'"';
    return out;
}

class Handle {
public:
    explicit Handle(HANDLE h = nullptr) : h_(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
    ~Handle()
    {
        if (h_)
            ::CloseHandle(h_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }

private:
    HANDLE h_;
};

std::string lastErrorText()
{
    return systemReason(EIO) + " (Windows error " + std::to_string(::GetLastError()) + ")";
}

} // namespace

ChildExit runChild(const fs::path& program, const std::vector<std::string>& args,
                   std::chrono::milliseconds timeLimit, const fs::path& logFile)
{
    SECURITY_ATTRIBUTES inherit {sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    const Handle input(::CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING,
                                     0, nullptr));
    const Handle output(logFile.empty()
                            ? ::CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                            OPEN_EXISTING, 0, nullptr)
                            : ::CreateFileW(logFile.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                            &inherit, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    const Handle job(::CreateJobObjectW(nullptr, nullptr));
    if (!input || !output || !job)
        return fail(RunError::NotStarted, "cannot prepare a process: " + lastErrorText());
    // Closing the job's last handle ends what is left in it, should this
    // program itself end first.
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits {};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    ::SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits);

    std::wstring commandLine = quoted(program.native());
    for (const std::string& arg : args)
        commandLine += L" " + quoted(pathFromUtf8(arg).native());

    STARTUPINFOW startup {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input.get();
    startup.hStdOutput = output.get();
    startup.hStdError = output.get();
    PROCESS_INFORMATION started {};

    // Started (held until it is in the job) and registered in one step: an
    // interrupt from here on ends the whole job too.
    auto lock = cleanupLock();
    if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                          CREATE_SUSPENDED | CREATE_NO_WINDOW | CREATE_UNICODE_ENVIRONMENT, nullptr, nullptr, &startup,
                          &started)) {
        const DWORD code = ::GetLastError();
        if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND)
            return systemFailure(ENOENT).about(utf8Of(program)).as(RunError::NotStarted);
        return fail(RunError::NotStarted, program.string() + ": " + lastErrorText());
    }
    const Handle process(started.hProcess);
    const Handle thread(started.hThread);
    if (!::AssignProcessToJobObject(job.get(), process.get())) {
        ::TerminateProcess(process.get(), 1);
        ::WaitForSingleObject(process.get(), INFINITE);
        return fail(RunError::NotStarted, program.string() + ": cannot be given a job of its own: " + lastErrorText());
    }
    CleanupEntry group(CleanupKind::ProcessGroup, {}, reinterpret_cast<std::intptr_t>(job.get()));
    lock.unlock();
    ::ResumeThread(thread.get());

    const auto limit = static_cast<DWORD>(std::min<long long>(timeLimit.count(), 0x7FFFFFFELL));
    const bool ended = ::WaitForSingleObject(process.get(), limit) == WAIT_OBJECT_0;
    // Whatever the child started and left running goes with it.
    endProcessGroup(reinterpret_cast<std::intptr_t>(job.get()));
    if (::WaitForSingleObject(process.get(), 5000) != WAIT_OBJECT_0) {
        ::TerminateProcess(process.get(), 1);
        ::WaitForSingleObject(process.get(), INFINITE);
    }
    group.release();
    if (!ended)
        return timedOutChild(program, timeLimit);
    DWORD code = 0;
    ::GetExitCodeProcess(process.get(), &code);
    return static_cast<int>(code);
}

} // namespace zorvika
