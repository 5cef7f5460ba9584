// The platform layer on POSIX systems (Linux).
#include "platform.h"

#include "errors.h"
#include "romimage.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace wmb {

int ioCodeFromSystemError(SystemErrorCode code) noexcept
{
    return ioCodeFromErrno(code);
}

void throwSystemError(SystemErrorCode code)
{
    throwErrno(code);
}

const SystemErrorCode TooManyLinksError = ELOOP;

namespace {

int fdOf(std::intptr_t handle)
{
    return static_cast<int>(handle);
}

FileKind kindOf(mode_t mode)
{
    return S_ISREG(mode) ? FileKind::Plain : S_ISDIR(mode) ? FileKind::Folder
        : S_ISFIFO(mode)                   ? FileKind::Pipe
        : S_ISCHR(mode) || S_ISBLK(mode)   ? FileKind::Device
        : S_ISSOCK(mode)                   ? FileKind::Socket
        : S_ISLNK(mode)                    ? FileKind::Link
                                           : FileKind::Other;
}

FileStatus statusOf(const struct stat &st)
{
    return {kindOf(st.st_mode), static_cast<std::uint32_t>(st.st_mode & 07777), st.st_uid, st.st_gid,
            static_cast<std::uint32_t>(st.st_nlink)};
}

template <class Call>
auto retryInterrupted(Call call)
{
    for (;;) {
        const auto result = call();
        if (result >= 0 || errno != EINTR)
            return result;
    }
}

} // namespace

FileStatus fileStatus(const std::string &path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? statusOf(st) : FileStatus{};
}

FileStatus linkStatus(const std::string &path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? statusOf(st) : FileStatus{};
}

std::optional<std::string> followLink(const std::string &path)
{
    if (linkStatus(path).kind != FileKind::Link)
        return std::nullopt;
    char target[4096];
    const ssize_t length = ::readlink(path.c_str(), target, sizeof target);
    if (length < 0)
        throwErrno(errno);
    if (static_cast<std::size_t>(length) == sizeof target)
        throwErrno(ENAMETOOLONG);
    const std::string next(target, static_cast<std::size_t>(length));
    return next.starts_with('/') ? next : folderOf(path) + "/" + next;
}

std::string folderOf(const std::string &path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

std::string pathInFolder(const std::string &folder, const std::string &name)
{
    return folder.ends_with('/') ? folder + name : folder + "/" + name;
}

SystemFile::SystemFile(SystemFile &&other) noexcept : mHandle(std::exchange(other.mHandle, -1)) {}

SystemFile &SystemFile::operator=(SystemFile &&other) noexcept
{
    std::swap(mHandle, other.mHandle);
    return *this;
}

SystemFile::~SystemFile()
{
    if (mHandle >= 0)
        ::close(fdOf(mHandle));
}

bool SystemFile::isOpen() const noexcept
{
    return mHandle >= 0;
}

SystemFile SystemFile::openExisting(const std::string &path, Access access)
{
    const int flags = access == Access::Read ? O_RDONLY : access == Access::Write ? O_WRONLY : O_RDWR;
    // O_NONBLOCK keeps a FIFO from blocking the open; it is refused below.
    const int fd = retryInterrupted([&] { return ::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK); });
    if (fd < 0)
        throwErrno(errno);
    SystemFile file;
    file.mHandle = fd;
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        throwErrno(errno);
    if (!S_ISREG(st.st_mode))
        throw InOutError(IoAccessDenied);
    return file;
}

SystemFile SystemFile::createNew(const std::string &path, SystemErrorCode &error)
{
    // O_EXCL with mode 0644 rather than mkstemp: the kernel applies the umask
    // (and any default ACL of the folder), so a new file gets the mode an
    // ordinary new file would, without reading the process's umask.
    const int fd = retryInterrupted(
        [&] { return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644); });
    SystemFile file;
    if (fd < 0)
        error = errno;
    else
        file.mHandle = fd;
    return file;
}

std::size_t SystemFile::read(void *data, std::size_t n)
{
    const ssize_t got = retryInterrupted([&] { return ::read(fdOf(mHandle), data, n); });
    if (got < 0)
        throwErrno(errno);
    return static_cast<std::size_t>(got);
}

std::size_t SystemFile::readAt(std::int64_t offset, void *data, std::size_t n)
{
    const ssize_t got = retryInterrupted([&] { return ::pread(fdOf(mHandle), data, n, static_cast<off_t>(offset)); });
    if (got < 0)
        throwErrno(errno);
    return static_cast<std::size_t>(got);
}

void SystemFile::write(const void *data, std::size_t n)
{
    const auto *bytes = static_cast<const char *>(data);
    for (std::size_t done = 0; done < n;) {
        const ssize_t put = retryInterrupted([&] { return ::write(fdOf(mHandle), bytes + done, n - done); });
        if (put < 0)
            throwErrno(errno);
        if (put == 0)
            throw InOutError(IoDiskFull);
        done += static_cast<std::size_t>(put);
    }
}

void SystemFile::writeAt(std::int64_t offset, const void *data, std::size_t n)
{
    const auto *bytes = static_cast<const char *>(data);
    for (std::size_t done = 0; done < n;) {
        const ssize_t put = retryInterrupted([&] {
            return ::pwrite(fdOf(mHandle), bytes + done, n - done, static_cast<off_t>(offset + done));
        });
        if (put < 0)
            throwErrno(errno);
        if (put == 0)
            throw InOutError(IoDiskFull);
        done += static_cast<std::size_t>(put);
    }
}

void SystemFile::sync()
{
    if (retryInterrupted([&] { return ::fsync(fdOf(mHandle)); }) != 0)
        throwErrno(errno);
}

std::int64_t SystemFile::size()
{
    struct stat st {};
    if (::fstat(fdOf(mHandle), &st) != 0)
        throwErrno(errno);
    return static_cast<std::int64_t>(st.st_size);
}

void SystemFile::truncate(std::int64_t size)
{
    if (::ftruncate(fdOf(mHandle), static_cast<off_t>(size)) != 0)
        throwErrno(errno);
}

void SystemFile::reserve(std::int64_t size)
{
    if (size <= 0)
        return;
    const int err = ::posix_fallocate(fdOf(mHandle), 0, static_cast<off_t>(size));
    if (err == ENOSPC || err == EDQUOT || err == EFBIG)
        throwErrno(err);
}

bool SystemFile::takeOver(const FileStatus &old)
{
    struct stat now {};
    if (::fstat(fdOf(mHandle), &now) != 0)
        throwErrno(errno);
    if ((now.st_uid != old.owner || now.st_gid != old.group) && ::fchown(fdOf(mHandle), old.owner, old.group) != 0)
        return false;
    if (::fchmod(fdOf(mHandle), old.mode & 07777) != 0)
        throwErrno(errno);
    return true;
}

void SystemFile::close()
{
    if (::close(fdOf(std::exchange(mHandle, -1))) != 0)
        throwErrno(errno);
}

bool isAlreadyExists(SystemErrorCode code) noexcept
{
    return code == EEXIST;
}

bool refusesNewFiles(SystemErrorCode code) noexcept
{
    return code == EACCES || code == EPERM || code == EROFS || code == ENAMETOOLONG;
}

void replaceFile(const std::string &from, const std::string &to)
{
    if (::rename(from.c_str(), to.c_str()) != 0)
        throwErrno(errno);
}

void removeFile(const std::string &path) noexcept
{
    ::unlink(path.c_str());
}

namespace {
bool sameInode(const struct stat &a, const struct stat &b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }
} // namespace

// A running write holds a lock on its temporary file; the lock goes with the
// process, so a killed writer's file is free to take.
bool SystemFile::holdAsTemporary(const std::string &path)
{
    const int fd = fdOf(mHandle);
    if (retryInterrupted([&] { return ::flock(fd, LOCK_EX); }) != 0)
        return true;   // a file system without locks: nothing else can take it either
    struct stat held {};
    struct stat named {};
    return ::fstat(fd, &held) == 0 && ::lstat(path.c_str(), &named) == 0 && sameInode(held, named);
}

void removeUnheldTemporary(const std::string &path) noexcept
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return;
    struct stat held {};
    struct stat named {};
    // Unlinked while the lock is held, and only the file locked: a writer
    // that made a new file of the same name meanwhile keeps it.
    if (::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
        ::lstat(path.c_str(), &named) == 0 && sameInode(held, named))
        ::unlink(path.c_str());
    ::close(fd);
}

void syncFolder(const std::string &folder) noexcept
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

bool sameFile(const std::string &a, const std::string &b)
{
    struct stat sa {};
    struct stat sb {};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

unsigned long processId() noexcept
{
    return static_cast<unsigned long>(::getpid());
}

std::string currentDirectory()
{
    std::string buf(PATH_MAX, '\0');
    for (;;) {
        if (::getcwd(buf.data(), buf.size()))
            return std::string(buf.c_str());
        if (errno != ERANGE || buf.size() > (1u << 20))
            return {};
        buf.resize(buf.size() * 2);
    }
}

std::string executableDirectory()
{
    std::string buf(PATH_MAX + 1, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size() - 1);
    if (n <= 0)
        return {};
    buf.resize(static_cast<std::size_t>(n));
    const auto slash = buf.rfind('/');
    return slash == std::string::npos ? std::string(".") : buf.substr(0, slash);
}

std::vector<std::string> commandLineArguments(int argc, char **argv)
{
    return std::vector<std::string>(argv, argv + argc);
}

void setBinaryStandardOutput() {}

std::optional<int> streamNamedBy(const std::string &path)
{
    if (path == "/dev/stdout")
        return STDOUT_FILENO;
    if (path == "/dev/stderr")
        return STDERR_FILENO;
    constexpr std::string_view fdFolder = "/dev/fd/";
    if (!path.starts_with(fdFolder) || path.size() == fdFolder.size() || path.size() > fdFolder.size() + 6)
        return std::nullopt;
    int fd = 0;
    for (const char c : path.substr(fdFolder.size())) {
        if (c < '0' || c > '9')
            return std::nullopt;
        fd = fd * 10 + (c - '0');
    }
    return fd;
}

void writeStream(int fd, const void *data, std::size_t n)
{
    const auto *bytes = static_cast<const char *>(data);
    for (std::size_t done = 0; done < n;) {
        const ssize_t put = retryInterrupted([&] { return ::write(fd, bytes + done, n - done); });
        if (put < 0)
            throwErrno(errno);
        if (put == 0)
            throw InOutError(IoDiskFull);
        done += static_cast<std::size_t>(put);
    }
}

static_assert(sizeof(sigset_t) <= 128, "InterruptHold keeps the previous signal mask");

InterruptHold::InterruptHold()
{
    sigset_t held;
    sigemptyset(&held);
    for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT})
        sigaddset(&held, sig);
    sigset_t previous;
    sigprocmask(SIG_BLOCK, &held, &previous);
    std::memcpy(mPrevious, &previous, sizeof previous);
}

InterruptHold::~InterruptHold()
{
    sigset_t previous;
    std::memcpy(&previous, mPrevious, sizeof previous);
    sigprocmask(SIG_SETMASK, &previous, nullptr);
}

} // namespace wmb
