// The platform layer on Windows: the running program, its command line and
// its console.
#include "platform.h"

#include "platform_windows_text.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cwchar>
#include <fcntl.h>
#include <io.h>

namespace wmb {

unsigned long processId() noexcept
{
    return ::GetCurrentProcessId();
}

std::string executableDirectory()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0)
            return {};
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        if (path.size() > (1u << 16))
            return {};
        path.resize(path.size() * 2);
    }
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::string(".") : utf8(path.data(), slash);
}

std::string currentDirectory()
{
    const DWORD n = ::GetCurrentDirectoryW(0, nullptr);
    if (n == 0)
        return {};
    std::wstring path(n, L'\0');
    const DWORD length = ::GetCurrentDirectoryW(n, path.data());
    return length == 0 || length >= n ? std::string() : utf8(path.data(), length);
}

std::vector<std::string> commandLineArguments(int argc, char **argv)
{
    int n = 0;
    LPWSTR *wideArgs = ::CommandLineToArgvW(::GetCommandLineW(), &n);
    if (wideArgs == nullptr)
        return std::vector<std::string>(argv, argv + argc);
    std::vector<std::string> args;
    for (int i = 0; i < n; ++i)
        args.push_back(utf8(wideArgs[i], std::wcslen(wideArgs[i])));
    ::LocalFree(wideArgs);
    return args;
}

void setBinaryStandardOutput()
{
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);
}

std::optional<int> streamNamedBy(const std::string &)
{
    return std::nullopt;
}

void writeStream(int fd, const void *data, std::size_t n)
{
    const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
    if (handle == INVALID_HANDLE_VALUE)
        throwSystemError(ERROR_INVALID_HANDLE);
    const auto *bytes = static_cast<const char *>(data);
    for (std::size_t done = 0; done < n;) {
        DWORD put = 0;
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(n - done, std::size_t{1} << 30));
        if (!::WriteFile(handle, bytes + done, chunk, &put, nullptr))
            throwSystemError(static_cast<SystemErrorCode>(::GetLastError()));
        done += put;
    }
}

namespace {
std::atomic<int> holds{0};

// Runs on a thread of its own when the console sends Ctrl+C, Ctrl+Break or
// a close: waits for the hold to end, then lets the default handler end the
// program.
BOOL WINAPI waitForRelease(DWORD)
{
    while (holds.load() > 0)
        ::Sleep(10);
    return FALSE;
}
} // namespace

InterruptHold::InterruptHold() : mPrevious{}
{
    if (holds++ == 0)
        ::SetConsoleCtrlHandler(waitForRelease, TRUE);
}

InterruptHold::~InterruptHold()
{
    if (--holds == 0)
        ::SetConsoleCtrlHandler(waitForRelease, FALSE);
}

} // namespace wmb
