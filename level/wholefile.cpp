// Reading and writing whole files: the level file, the export, wmbtool's
// outputs and the copies of ROM images.
#include "wholefile.h"

#include "errors.h"
#include "romfile.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace wmb {

std::string readWholeFile(const std::string &path)
{
    const int fd = openPlainFile(path, O_RDONLY);
    std::string bytes;
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            const int err = errno;
            ::close(fd);
            throwErrno(err);
        }
        if (got == 0)
            break;
        if (bytes.size() + static_cast<std::size_t>(got) > MaxWholeFileSize) {
            ::close(fd);
            throw RuntimeError("The file is larger than 64 MiB");
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fd);
    return bytes;
}

namespace {
std::string folderOf(const std::string &path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

// A short name in the folder of path that no file has yet: ".wmb-" and 6
// letters or digits. It is not made from the file's own name, so a name as
// long as the file system allows can still be written through it.
std::string temporaryName(const std::string &path, unsigned attempt)
{
    static constexpr char Letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::uint64_t x = static_cast<std::uint64_t>(
                          std::chrono::steady_clock::now().time_since_epoch().count())
        ^ (static_cast<std::uint64_t>(::getpid()) << 32) ^ (std::uint64_t{attempt} * 0x9E3779B97F4A7C15u);
    x ^= x >> 31;
    x *= 0xBF58476D1CE4E5B9u;
    x ^= x >> 29;
    std::string name = folderOf(path) + "/.wmb-";
    for (int i = 0; i < 6; ++i, x /= 36)
        name.push_back(Letters[x % 36]);
    return name;
}

void writeAll(int fd, std::string_view bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (put < 0) {
            if (errno == EINTR)
                continue;
            throwErrno(errno);
        }
        if (put == 0)
            throw InOutError(IoDiskFull);
        done += static_cast<std::size_t>(put);
    }
}

// A descriptor closed on every way out.
class Descriptor {
public:
    Descriptor() = default;
    explicit Descriptor(int fd) : mFd(fd) {}
    Descriptor(Descriptor &&other) noexcept : mFd(std::exchange(other.mFd, -1)) {}
    Descriptor &operator=(Descriptor &&other) noexcept
    {
        std::swap(mFd, other.mFd);
        return *this;
    }
    ~Descriptor()
    {
        if (mFd >= 0)
            ::close(mFd);
    }
    int get() const { return mFd; }
    explicit operator bool() const { return mFd >= 0; }
    // Closes now, reporting a failed close (a delayed write error).
    void close()
    {
        const int closed = ::close(std::exchange(mFd, -1));
        if (closed != 0)
            throwErrno(errno);
    }

private:
    int mFd = -1;
};

// path with the symbolic links of its last part followed to the name they
// lead to, which need not exist yet (a dangling link names the file to make).
std::string followLinks(std::string path)
{
    for (int hops = 0;; ++hops) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return path;
        if (hops == 40)
            throwErrno(ELOOP);
        char target[4096];
        const ssize_t length = ::readlink(path.c_str(), target, sizeof target);
        if (length < 0)
            throwErrno(errno);
        if (static_cast<std::size_t>(length) == sizeof target)
            throwErrno(ENAMETOOLONG);
        const std::string next(target, static_cast<std::size_t>(length));
        path = next.starts_with('/') ? next : folderOf(path) + "/" + next;
    }
}

// Anything but a plain file is refused as an output: writing a pipe could
// block or feed another program, a device takes the bytes somewhere else,
// and a rename would replace either by a plain file.
[[noreturn]] void refuseNonFile(mode_t mode)
{
    const char *kind = S_ISDIR(mode) ? "a folder" : S_ISFIFO(mode) ? "a pipe"
        : S_ISCHR(mode) || S_ISBLK(mode)                       ? "a device"
        : S_ISSOCK(mode)                                        ? "a socket"
                                                                : "not a plain file";
    throw InOutError(IoAccessDenied, "", std::string(": the output is ") + kind + ", not a file");
}

// A new file beside target, or none when the folder refuses one (errno then
// says why). O_EXCL with mode 0644 rather than mkstemp: the kernel applies
// the umask (and any default ACL of the folder), so a new file gets the mode
// an ordinary new file would, without reading the process's umask.
Descriptor createBeside(const std::string &target, std::string &tempPath)
{
    for (unsigned attempt = 0;; ++attempt) {
        tempPath = temporaryName(target, attempt);
        const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0)
            return Descriptor(fd);
        if (errno != EEXIST && errno != EINTR)
            return {};
        if (attempt >= 100) {
            errno = EEXIST;
            return {};
        }
    }
}

// Gives the new file the owner, group and permission bits of the one it
// replaces. False when the owner or group cannot be given (another user's
// file that this one may write): the file is then rewritten in place.
bool takeOver(int fd, const struct stat &old)
{
    struct stat now {};
    if (::fstat(fd, &now) != 0)
        throwErrno(errno);
    if ((now.st_uid != old.st_uid || now.st_gid != old.st_gid) && ::fchown(fd, old.st_uid, old.st_gid) != 0)
        return false;
    if (::fchmod(fd, old.st_mode & 07777) != 0)
        throwErrno(errno);
    return true;
}

// The old file's own blocks receive the bytes: not atomic, so used only
// where no file can be made beside it. Room is asked for first, so a full
// disk fails before the old contents change.
void rewriteInPlace(Descriptor &fd, std::string_view bytes)
{
    if (!bytes.empty()) {
        const int err = ::posix_fallocate(fd.get(), 0, static_cast<off_t>(bytes.size()));
        if (err == ENOSPC || err == EDQUOT || err == EFBIG)
            throwErrno(err);
    }
    writeAll(fd.get(), bytes);
    if (::ftruncate(fd.get(), static_cast<off_t>(bytes.size())) != 0 || ::fsync(fd.get()) != 0)
        throwErrno(errno);
    fd.close();
}
} // namespace

void writeFileAtomically(const std::string &path, std::string_view bytes)
{
    const std::string target = followLinks(path);
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    Descriptor existing;
    if (exists) {
        if (!S_ISREG(old.st_mode))
            refuseNonFile(old.st_mode);
        // Asked of the file itself, so its mode, ACLs and a read-only mount
        // all count; the file is not changed by the question.
        existing = Descriptor(::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK));
        if (!existing)
            throwErrno(errno);
    }

    // A file of more than one name (hard links) is rewritten in place, so
    // every name still shows the one file; a rename would part this name
    // from the others.
    if (exists && old.st_nlink > 1)
        return rewriteInPlace(existing, bytes);

    std::string tempPath;
    Descriptor fd = createBeside(target, tempPath);
    if (!fd) {
        const int err = errno;
        if (!exists || (err != EACCES && err != EPERM && err != EROFS && err != ENAMETOOLONG))
            throwErrno(err);
        return rewriteInPlace(existing, bytes);
    }
    try {
        if (exists && !takeOver(fd.get(), old)) {
            ::unlink(tempPath.c_str());
            return rewriteInPlace(existing, bytes);
        }
        writeAll(fd.get(), bytes);
        if (::fsync(fd.get()) != 0)
            throwErrno(errno);
        fd.close();
        if (::rename(tempPath.c_str(), target.c_str()) != 0)
            throwErrno(errno);
    } catch (...) {
        ::unlink(tempPath.c_str());
        throw;
    }
    // Make the rename itself durable; the file is in place either way.
    const Descriptor folder(::open(folderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder)
        ::fsync(folder.get());
}

bool fileExists(const std::string &path)
{
    // A plain file, or a link leading to one or to nothing (a dangling link
    // names the file the export would make): the export asks before it
    // replaces either. A folder, pipe or device is no file to replace.
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return false;
    return ::stat(path.c_str(), &st) != 0 || S_ISREG(st.st_mode);
}

} // namespace wmb
