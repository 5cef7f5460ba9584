// The ROM image: an existing file opened read-write, read and written at
// absolute offsets. It is never created, truncated or grown.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform.h"

namespace wmb {

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

    // Opens the bound file for reading and writing (never creating it) in
    // place of any open handle.
    // Throws InOutError (2 missing, 5 read-only, a folder or anything else
    // that is not a plain file such as a device, ...); the handle open
    // before then stays open, so a file whose name is gone can still be read.
    void open();
    // Opens the bound file for reading only, for programs that
    // only look at levels: a read-only image can be read. Writes then fail
    // with "File access denied".
    void openForReading();
    void close() noexcept;
    bool isOpen() const noexcept { return mFile.isOpen(); }

    // readAt, writeAt, sync and size throw InOutError 103 when not open.
    // Reads n bytes at offset; a file that ends first throws InOutError 100.
    void readAt(std::int64_t offset, std::uint8_t *data, std::size_t n);
    // Writes n bytes at offset. Throws InOutError; never extends the file
    // (a write that would is refused with 100 before anything is written).
    void writeAt(std::int64_t offset, const std::uint8_t *data, std::size_t n);
    // Flushes the written bytes to the disk.
    void sync();
    std::int64_t size();
    // The whole file as the open handle reads it, of at most
    // MaxWholeFileSize bytes (larger: RuntimeError).
    std::string readAll();

private:
    void openWith(SystemFile::Access access);

    std::string mPath;
    SystemFile mFile;
};

} // namespace wmb
