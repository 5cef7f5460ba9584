#include "romfile.h"

#include "errors.h"
#include "wholefile.h"

#include <limits>
#include <utility>

namespace wmb {

namespace {
// A read of a file that is not open: the runtime's "File not open".
constexpr int IoFileNotOpen = 103;

// Offsets below 0 or past what a file offset holds lie outside any file.
bool spanFits(std::int64_t offset, std::size_t n)
{
    return offset >= 0
        && n <= static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max() - offset);
}
} // namespace

RomFile::RomFile(RomFile &&other) noexcept
    : mPath(std::move(other.mPath)), mFile(std::move(other.mFile))
{
}

RomFile &RomFile::operator=(RomFile &&other) noexcept
{
    if (this != &other) {
        close();
        mPath = std::move(other.mPath);
        mFile = std::move(other.mFile);
    }
    return *this;
}

RomFile::~RomFile() = default;

void RomFile::assign(std::string path)
{
    close();
    mPath = std::move(path);
}

void RomFile::open()
{
    openWith(SystemFile::Access::ReadWrite);
}

void RomFile::openForReading()
{
    openWith(SystemFile::Access::Read);
}

void RomFile::openWith(SystemFile::Access access)
{
    SystemFile file = SystemFile::openExisting(mPath, access);
    close();
    mFile = std::move(file);
}

void RomFile::close() noexcept
{
    mFile = SystemFile();
}

void RomFile::readAt(std::int64_t offset, std::uint8_t *data, std::size_t n)
{
    if (!mFile)
        throw InOutError(IoFileNotOpen);
    if (!spanFits(offset, n))
        throw InOutError(IoReadBeyondEnd);
    std::size_t done = 0;
    while (done < n) {
        const std::size_t got = mFile.readAt(offset + static_cast<std::int64_t>(done), data + done, n - done);
        if (got == 0)
            throw InOutError(IoReadBeyondEnd);
        done += got;
    }
}

void RomFile::writeAt(std::int64_t offset, const std::uint8_t *data, std::size_t n)
{
    if (!mFile)
        throw InOutError(IoFileNotOpen);
    if (!spanFits(offset, n) || static_cast<std::int64_t>(offset + n) > size())
        throw InOutError(IoReadBeyondEnd);
    mFile.writeAt(offset, data, n);
}

void RomFile::sync()
{
    if (!mFile)
        throw InOutError(IoFileNotOpen);
    mFile.sync();
}

std::int64_t RomFile::size()
{
    if (!mFile)
        throw InOutError(IoFileNotOpen);
    return mFile.size();
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
