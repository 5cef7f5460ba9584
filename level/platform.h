// What the level core and the tools need from the operating system, in one
// place: files by handle, what a path names, where the program lives, and
// holding back a user's interrupt. platform_posix.cpp and
// platform_windows.cpp implement it; nothing else calls the system directly.
//
// Paths are UTF-8 text on every system; on Windows they become wide paths at
// the system's door, so any Unicode name works. Files are always binary.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wmb {

// A failed system call's own number: errno on POSIX systems, GetLastError()
// on Windows.
using SystemErrorCode = int;

// The input/output error number for a system error. POSIX: ioCodeFromErrno.
// Windows, whose numbers the runtime's messages are: 2, 4, 5 as they are;
// 3 and the other bad-path codes (123, 161, 206, 267) 3 "Invalid filename";
// 112 and 39 (disk full) 101; 38 (end of file) 100; any other its own number.
int ioCodeFromSystemError(SystemErrorCode code) noexcept;
[[noreturn]] void throwSystemError(SystemErrorCode code);

// The system error for a chain of links that does not end (ELOOP).
extern const SystemErrorCode TooManyLinksError;

// What a path names. Permission bits, owner and group are POSIX's; they are
// 0 on Windows, where a file's access is its own (ACLs, read-only flag).
enum class FileKind { Missing, Plain, Folder, Pipe, Device, Socket, Link, Other };
struct FileStatus {
    FileKind kind = FileKind::Missing;
    std::uint32_t mode = 0;
    std::uint32_t owner = 0;
    std::uint32_t group = 0;
    // How many names (hard links) the file has; 1 where the system cannot tell.
    std::uint32_t links = 1;
};
// Follows links; a dangling link, a missing file or one the system cannot
// look at is Missing.
FileStatus fileStatus(const std::string &path);
// The name itself: a symbolic link is Link.
FileStatus linkStatus(const std::string &path);
// Where the symbolic link at path leads (a relative target taken from the
// link's folder), or nothing when path is no link. Throws InOutError.
std::optional<std::string> followLink(const std::string &path);
// The folder part of path ("." for a bare name).
std::string folderOf(const std::string &path);
// The name in folder, as folderOf gives it.
std::string pathInFolder(const std::string &folder, const std::string &name);

// An open file, closed on every way out. Never inherited by child
// processes; the system's own handle stays inside.
class SystemFile {
public:
    enum class Access { Read, Write, ReadWrite };

    SystemFile() = default;
    SystemFile(SystemFile &&other) noexcept;
    SystemFile &operator=(SystemFile &&other) noexcept;
    SystemFile(const SystemFile &) = delete;
    SystemFile &operator=(const SystemFile &) = delete;
    ~SystemFile();

    // Opens an existing plain file; never creates or truncates one. A folder,
    // device or pipe is refused with InOutError 5 ("File access denied")
    // without waiting on it. Other failures throw InOutError.
    static SystemFile openExisting(const std::string &path, Access access);
    // Makes a new file at path for writing, mode 0644 less the umask; fails
    // if anything is there. On failure the result is not open and error says
    // why (see isAlreadyExists, refusesNewFiles).
    static SystemFile createNew(const std::string &path, SystemErrorCode &error);

    bool isOpen() const noexcept;
    explicit operator bool() const noexcept { return isOpen(); }

    // Reads up to n bytes at the current position or at offset; 0 at the end.
    std::size_t read(void *data, std::size_t n);
    std::size_t readAt(std::int64_t offset, void *data, std::size_t n);
    // Writes all n bytes at the current position or at offset.
    void write(const void *data, std::size_t n);
    void writeAt(std::int64_t offset, const void *data, std::size_t n);
    // Flushes the written bytes to the disk.
    void sync();
    std::int64_t size();
    void truncate(std::int64_t size);
    // Asks for room for size bytes, so that a full disk fails before the
    // file's contents change; a file system that cannot tell is let be.
    void reserve(std::int64_t size);
    // Gives this new file the owner, group and permission bits of the file
    // old describes. False when the owner or group cannot be given.
    bool takeOver(const FileStatus &old);
    // Marks this new file as the temporary file of a running write, so that
    // removeUnheldTemporary leaves it alone while it is open. False when
    // path no longer names it (another writer removed it as a leftover just
    // before): the caller makes another.
    bool holdAsTemporary(const std::string &path);
    // Closes now, reporting a failed close (a delayed write error).
    void close();

private:
    std::intptr_t mHandle = -1;
};

// Classes of the error of SystemFile::createNew.
bool isAlreadyExists(SystemErrorCode code) noexcept;
// The folder takes no new file, but a file in it may still be written
// (no write permission on the folder, a read-only mount, a name too long).
bool refusesNewFiles(SystemErrorCode code) noexcept;

// Puts the file at from in place of to in one step, replacing any file there.
void replaceFile(const std::string &from, const std::string &to);
void removeFile(const std::string &path) noexcept;
// Removes the plain file at path unless a running program holds it as its
// temporary file (holdAsTemporary): what a killed write left behind. Any
// failure leaves it.
void removeUnheldTemporary(const std::string &path) noexcept;
// Makes a rename in the folder durable where the system needs that.
void syncFolder(const std::string &folder) noexcept;

// Where the program is: its process number, its folder (empty when unknown)
// and the current folder (empty when unknown).
unsigned long processId() noexcept;
std::string executableDirectory();
std::string currentDirectory();

// The command-line arguments as UTF-8 (Windows hands main() the ANSI code
// page's text; the wide command line holds every name).
std::vector<std::string> commandLineArguments(int argc, char **argv);
// Standard output carries bytes as they are (no newline translation).
void setBinaryStandardOutput();
// The descriptor of this process that path names as a stream: 1 for
// /dev/stdout, 2 for /dev/stderr, N for /dev/fd/N. None for any other path,
// and none on Windows, where such a path names a file like any other.
std::optional<int> streamNamedBy(const std::string &path);
// Writes all n bytes to the open descriptor fd of this process. Throws
// InOutError.
void writeStream(int fd, const void *data, std::size_t n);

// Holds back what ends a program from its terminal (Ctrl+C, a hang-up, a
// kill; Ctrl+Break and a closed console window on Windows) for its
// lifetime; one that came meanwhile acts as it ends.
class InterruptHold {
public:
    InterruptHold();
    ~InterruptHold();
    InterruptHold(const InterruptHold &) = delete;
    InterruptHold &operator=(const InterruptHold &) = delete;

private:
    unsigned char mPrevious[128];
};

} // namespace wmb
