#include "toolrun.h"

#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace toolrun {

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

TempDir::TempDir()
{
    std::string pattern = std::filesystem::temp_directory_path().string() + "/wmbtool-test-XXXXXX";
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    mPath = pattern;
    ::chmod(mPath.c_str(), 0755);
}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::permissions(mPath, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(mPath, ec);
}

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
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
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
    ::chmod(path.c_str(), 0644);
    return path;
}

} // namespace toolrun
