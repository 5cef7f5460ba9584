// The ROM image: an existing file opened read-write, read and written at
// absolute offsets. It is never created, truncated or grown.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace wmb {

// Opens an existing plain file with the given access flags (O_RDONLY,
// O_RDWR); never creates one. A folder, device or pipe is refused with
// InOutError 5 ("File access denied"): the open is non-blocking, so a pipe
// cannot hang it. Returns the descriptor; other failures throw InOutError.
int openPlainFile(const std::string &path, int flags);

class RomFile {
public:
    RomFile() = default;
    RomFile(const RomFile &) = delete;
    RomFile &operator=(const RomFile &) = delete;
    RomFile(RomFile &&other) noexcept;
    RomFile &operator=(RomFile &&other) noexcept;
    ~RomFile();

    // Binds the file name; nothing is opened yet.
    void assign(std::string path);
    const std::string &path() const noexcept { return mPath; }
    bool assigned() const noexcept { return !mPath.empty(); }

    // Opens the bound file O_RDWR (no O_CREAT) in place of any open handle.
    // Throws InOutError (2 missing, 5 read-only, a folder or anything else
    // that is not a plain file such as a device, ...); the handle open
    // before then stays open, so a file whose name is gone can still be read.
    void open();
    // Opens the bound file for reading only (O_RDONLY), for programs that
    // only look at levels: a read-only image can be read. Writes then fail
    // with "File access denied".
    void openForReading();
    void close() noexcept;
    bool isOpen() const noexcept { return mFd >= 0; }

    // readAt, writeAt, sync and size throw InOutError 103 when not open.
    // Reads n bytes at offset; a file that ends first throws InOutError 100.
    void readAt(std::int64_t offset, std::uint8_t *data, std::size_t n);
    // Writes n bytes at offset. Throws InOutError; never extends the file
    // (a write that would is refused with 100 before anything is written).
    void writeAt(std::int64_t offset, const std::uint8_t *data, std::size_t n);
    // Flushes the written bytes to the disk (fsync).
    void sync();
    std::int64_t size();
    // The whole file as the open handle reads it, of at most
    // MaxWholeFileSize bytes (larger: RuntimeError).
    std::string readAll();

private:
    void openWith(int flags);

    std::string mPath;
    int mFd = -1;
};

} // namespace wmb
