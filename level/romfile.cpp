#include "romfile.h"

#include "errors.h"
#include "wholefile.h"

#include <cerrno>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace wmb {

namespace {
// A read of a file that is not open: the runtime's "File not open".
constexpr int IoFileNotOpen = 103;

// Offsets below 0 or past what off_t holds lie outside any file.
bool spanFits(std::int64_t offset, std::size_t n)
{
    return offset >= 0
        && n <= static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max() - offset);
}
} // namespace

RomFile::RomFile(RomFile &&other) noexcept
    : mPath(std::move(other.mPath)), mFd(std::exchange(other.mFd, -1))
{
}

RomFile &RomFile::operator=(RomFile &&other) noexcept
{
    if (this != &other) {
        close();
        mPath = std::move(other.mPath);
        mFd = std::exchange(other.mFd, -1);
    }
    return *this;
}

RomFile::~RomFile()
{
    close();
}

void RomFile::assign(std::string path)
{
    close();
    mPath = std::move(path);
}

int openPlainFile(const std::string &path, int flags)
{
    int fd;
    do {
        fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        throwErrno(errno);
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int err = errno;
        ::close(fd);
        throwErrno(err);
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        throw InOutError(IoAccessDenied);
    }
    return fd;
}

void RomFile::open()
{
    openWith(O_RDWR);
}

void RomFile::openForReading()
{
    openWith(O_RDONLY);
}

void RomFile::openWith(int flags)
{
    const int fd = openPlainFile(mPath, flags);
    close();
    mFd = fd;
}

void RomFile::close() noexcept
{
    if (mFd >= 0) {
        ::close(mFd);
        mFd = -1;
    }
}

void RomFile::readAt(std::int64_t offset, std::uint8_t *data, std::size_t n)
{
    if (mFd < 0)
        throw InOutError(IoFileNotOpen);
    if (!spanFits(offset, n))
        throw InOutError(IoReadBeyondEnd);
    std::size_t done = 0;
    while (done < n) {
        const ssize_t got = ::pread(mFd, data + done, n - done, static_cast<off_t>(offset + done));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            throwErrno(errno);
        }
        if (got == 0)
            throw InOutError(IoReadBeyondEnd);
        done += static_cast<std::size_t>(got);
    }
}

void RomFile::writeAt(std::int64_t offset, const std::uint8_t *data, std::size_t n)
{
    if (mFd < 0)
        throw InOutError(IoFileNotOpen);
    if (!spanFits(offset, n) || static_cast<std::int64_t>(offset + n) > size())
        throw InOutError(IoReadBeyondEnd);
    std::size_t done = 0;
    while (done < n) {
        const ssize_t put = ::pwrite(mFd, data + done, n - done, static_cast<off_t>(offset + done));
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

void RomFile::sync()
{
    if (mFd < 0)
        throw InOutError(IoFileNotOpen);
    int result;
    do {
        result = ::fsync(mFd);
    } while (result != 0 && errno == EINTR);
    if (result != 0)
        throwErrno(errno);
}

std::int64_t RomFile::size()
{
    if (mFd < 0)
        throw InOutError(IoFileNotOpen);
    struct stat st {};
    if (::fstat(mFd, &st) != 0)
        throwErrno(errno);
    return static_cast<std::int64_t>(st.st_size);
}

std::string RomFile::readAll()
{
    const std::int64_t n = size();
    if (static_cast<std::uint64_t>(n) > MaxWholeFileSize)
        throw RuntimeError("The file is larger than 64 MiB");
    std::string bytes(static_cast<std::size_t>(n), '\0');
    readAt(0, reinterpret_cast<std::uint8_t *>(bytes.data()), bytes.size());
    return bytes;
}

} // namespace wmb
