#include "toolrun.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <grp.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

namespace toolrun {

TempDir::TempDir()
{
    std::random_device seed;
    for (int attempt = 0; mPath.empty(); ++attempt) {
        const auto path = std::filesystem::temp_directory_path() / ("wmbtool-test-" + std::to_string(seed()));
        if (std::filesystem::create_directory(path))
            mPath = path.generic_string();
        else if (attempt == 100)
            throw std::runtime_error("cannot make a temporary folder");
    }
    std::filesystem::permissions(mPath, std::filesystem::perms(0755));
}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::permissions(mPath, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    // Files made read-only in a test must go too (Windows will not delete them).
    for (const auto &entry : std::filesystem::recursive_directory_iterator(mPath, ec))
        std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(mPath, ec);
}

#ifdef _WIN32
namespace {

std::wstring wide(const std::string &text)
{
    std::wstring out(text.size() + 1, L'\0');
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, out.data(), static_cast<int>(out.size()));
    out.resize(n > 0 ? static_cast<std::size_t>(n - 1) : 0);
    return out;
}

// One argument as the C runtime of the child splits the command line.
std::wstring quoted(const std::wstring &arg)
{
    if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos)
        return arg;
    std::wstring out = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        out.push_back(c);
    }
    out.append(backslashes * 2, L'\\');
    return out + L"\"";
}

HANDLE inheritableFile(const std::string &path)
{
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return ::CreateFileW(wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
}

} // namespace

// Windows has no other user to become: a read-only attribute binds
// everyone, so asNobody changes nothing.
ToolResult runTool(const std::vector<std::string> &args, const std::string &workDir, bool)
{
    const std::string program = std::string(WMB_BIN_DIR) + "/wmbtool.exe";
    std::wstring commandLine = quoted(wide(program));
    for (const std::string &arg : args)
        commandLine += L" " + quoted(wide(arg));
    const TempDir outputs;
    const HANDLE out = inheritableFile(outputs.file("out"));
    const HANDLE err = inheritableFile(outputs.file("err"));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process{};
    const std::wstring folder = wide(workDir);
    ToolResult result;
    if (::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                         workDir.empty() ? nullptr : folder.c_str(), &startup, &process)) {
        ::WaitForSingleObject(process.hProcess, INFINITE);
        DWORD status = 0;
        if (::GetExitCodeProcess(process.hProcess, &status))
            result.status = static_cast<int>(status);
        ::CloseHandle(process.hProcess);
        ::CloseHandle(process.hThread);
    }
    ::CloseHandle(out);
    ::CloseHandle(err);
    result.out = readBytes(outputs.file("out"));
    result.err = readBytes(outputs.file("err"));
    return result;
}
#else
namespace {

constexpr uid_t NobodyId = 65534;

std::string readFd(int fd)
{
    std::string text;
    char buf[4096];
    ::lseek(fd, 0, SEEK_SET);
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n <= 0)
            break;
        text.append(buf, static_cast<std::size_t>(n));
    }
    return text;
}

} // namespace

ToolResult runTool(const std::vector<std::string> &args, const std::string &workDir, bool asNobody)
{
    // Everything the child needs is prepared before fork.
    const std::string program = std::string(WMB_BIN_DIR) + "/wmbtool";
    std::vector<std::string> argStore{program};
    argStore.insert(argStore.end(), args.begin(), args.end());
    std::vector<char *> argv;
    for (std::string &a : argStore)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const int outFd = ::memfd_create("wmbtool-out", 0);
    const int errFd = ::memfd_create("wmbtool-err", 0);
    if (outFd < 0 || errFd < 0)
        throw std::runtime_error("memfd_create failed");
    const bool drop = asNobody && ::geteuid() == 0;

    const pid_t pid = ::fork();
    if (pid == 0) {
        if (!workDir.empty() && ::chdir(workDir.c_str()) != 0)
            ::_exit(126);
        if (drop && (::setgroups(0, nullptr) != 0 || ::setgid(NobodyId) != 0 || ::setuid(NobodyId) != 0))
            ::_exit(126);
        ::dup2(outFd, STDOUT_FILENO);
        ::dup2(errFd, STDERR_FILENO);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    ToolResult result;
    int status = 0;
    if (pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status))
        result.status = WEXITSTATUS(status);
    result.out = readFd(outFd);
    result.err = readFd(errFd);
    ::close(outFd);
    ::close(errFd);
    return result;
}

#endif

std::string readBytes(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeBytes(const std::string &path, const std::string &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

bool exists(const std::string &path)
{
    std::error_code ec;
    const auto type = std::filesystem::symlink_status(path, ec).type();
    return type != std::filesystem::file_type::not_found && type != std::filesystem::file_type::none;
}

std::vector<std::string> listFolder(const std::string &path)
{
    std::vector<std::string> names;
    for (const auto &entry : std::filesystem::directory_iterator(path))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string copyDemoRom(const TempDir &dir, const std::string &name)
{
    const std::string path = dir.file(name);
    writeBytes(path, readBytes(WMB_DEMO_ROM));
    std::filesystem::permissions(path, std::filesystem::perms(0644));
    return path;
}

} // namespace toolrun
