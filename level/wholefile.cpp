// Reading and writing whole files: the level file, the export, wmbtool's
// outputs and the copies of ROM images.
#include "wholefile.h"

#include "errors.h"
#include "platform.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <optional>
#include <utility>

namespace wmb {

std::string readWholeFile(const std::string &path)
{
    SystemFile file = SystemFile::openExisting(path, SystemFile::Access::Read);
    std::string bytes;
    char buffer[64 * 1024];
    for (;;) {
        const std::size_t got = file.read(buffer, sizeof buffer);
        if (got == 0)
            break;
        if (bytes.size() + got > MaxWholeFileSize)
            throw RuntimeError("The file is larger than 64 MiB");
        bytes.append(buffer, got);
    }
    return bytes;
}

namespace {
// A short name in the folder of path that no file has yet: ".wmb-" and 6
// letters or digits. It is not made from the file's own name, so a name as
// long as the file system allows can still be written through it.
std::string temporaryName(const std::string &path, unsigned attempt)
{
    static constexpr char Letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::uint64_t x = static_cast<std::uint64_t>(
                          std::chrono::steady_clock::now().time_since_epoch().count())
        ^ (static_cast<std::uint64_t>(processId()) << 32) ^ (std::uint64_t{attempt} * 0x9E3779B97F4A7C15u);
    x ^= x >> 31;
    x *= 0xBF58476D1CE4E5B9u;
    x ^= x >> 29;
    std::string name = ".wmb-";
    for (int i = 0; i < 6; ++i, x /= 36)
        name.push_back(Letters[x % 36]);
    return pathInFolder(folderOf(path), name);
}

// path with the symbolic links of its last part followed to the name they
// lead to, which need not exist yet (a dangling link names the file to make).
std::string followLinks(std::string path)
{
    for (int hops = 0;; ++hops) {
        std::optional<std::string> next = followLink(path);
        if (!next)
            return path;
        if (hops == 40)
            throwSystemError(TooManyLinksError);
        path = std::move(*next);
    }
}

// Anything but a plain file is refused as an output: writing a pipe could
// block or feed another program, a device takes the bytes somewhere else,
// and a rename would replace either by a plain file.
[[noreturn]] void refuseNonFile(FileKind fileKind)
{
    const char *kind = fileKind == FileKind::Folder ? "a folder" : fileKind == FileKind::Pipe ? "a pipe"
        : fileKind == FileKind::Device                                                   ? "a device"
        : fileKind == FileKind::Socket                                                   ? "a socket"
                                                                                         : "not a plain file";
    throw InOutError(IoAccessDenied, "", std::string(": the output is ") + kind + ", not a file");
}

// A new file beside target, or none when the folder refuses one (error then
// says why).
SystemFile createBeside(const std::string &target, std::string &tempPath, SystemErrorCode &error)
{
    for (unsigned attempt = 0;; ++attempt) {
        tempPath = temporaryName(target, attempt);
        SystemFile file = SystemFile::createNew(tempPath, error);
        // Another write removed it as a leftover just after it was made.
        if (file && !file.holdAsTemporary(tempPath) && attempt < 100)
            continue;
        if (file || !isAlreadyExists(error) || attempt >= 100)
            return file;
    }
}

// The old file's own blocks receive the bytes: not atomic, so used only
// where no file can be made beside it. Room is asked for first, so a full
// disk fails before the old contents change.
void rewriteInPlace(SystemFile &file, std::string_view bytes)
{
    const auto size = static_cast<std::int64_t>(bytes.size());
    file.reserve(size);
    file.write(bytes.data(), bytes.size());
    file.truncate(size);
    file.sync();
    file.close();
}
} // namespace

void writeFileAtomically(const std::string &path, std::string_view bytes)
{
    const std::string target = followLinks(path);
    removeLeftoverTemporaries(folderOf(target));
    const FileStatus old = fileStatus(target);
    const bool exists = old.kind != FileKind::Missing;
    SystemFile existing;
    if (exists) {
        if (old.kind != FileKind::Plain)
            refuseNonFile(old.kind);
        // Asked of the file itself, so its mode, ACLs and a read-only mount
        // all count; the file is not changed by the question.
        existing = SystemFile::openExisting(target, SystemFile::Access::Write);
    }

    // A file of more than one name (hard links) is rewritten in place, so
    // every name still shows the one file; a rename would part this name
    // from the others.
    if (exists && old.links > 1)
        return rewriteInPlace(existing, bytes);

    std::string tempPath;
    SystemErrorCode err = 0;
    SystemFile fd = createBeside(target, tempPath, err);
    if (!fd) {
        if (!exists || !refusesNewFiles(err))
            throwSystemError(err);
        return rewriteInPlace(existing, bytes);
    }
    try {
        if (exists && !fd.takeOver(old)) {
            fd = SystemFile();
            removeFile(tempPath);
            return rewriteInPlace(existing, bytes);
        }
        fd.write(bytes.data(), bytes.size());
        fd.sync();
        // Windows replaces no file that is held open.
        existing = SystemFile();
#ifdef _WIN32
        fd.close();
        replaceFile(tempPath, target);
#else
        // Held (and so locked) until it has its name: a write in the same
        // folder never takes it for a leftover. Its bytes are synced, so the
        // close after the rename has nothing left to report.
        replaceFile(tempPath, target);
        fd = SystemFile();
#endif
    } catch (...) {
        fd = SystemFile();
        removeFile(tempPath);
        throw;
    }
    // Make the rename itself durable; the file is in place either way.
    syncFolder(folderOf(target));
}

bool isTemporaryName(std::string_view name)
{
    constexpr std::string_view Prefix = ".wmb-";
    return name.size() == Prefix.size() + 6 && name.substr(0, Prefix.size()) == Prefix &&
           std::all_of(name.begin() + Prefix.size(), name.end(),
                       [](char c) { return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'); });
}

int removeLeftoverTemporaries(const std::string &folder)
{
    namespace fs = std::filesystem;
    std::error_code error;
    const std::u8string utf8(folder.begin(), folder.end());
    fs::directory_iterator it(fs::path(utf8), error);
    int removed = 0;
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        const std::u8string name = it->path().filename().u8string();
        if (!isTemporaryName(std::string(name.begin(), name.end())))
            continue;
        const std::u8string full = it->path().u8string();
        const std::string path(full.begin(), full.end());
        removeUnheldTemporary(path);
        removed += fileStatus(path).kind == FileKind::Missing && linkStatus(path).kind == FileKind::Missing;
    }
    return removed;
}

bool fileExists(const std::string &path)
{
    // A plain file, or a link leading to one or to nothing (a dangling link
    // names the file the export would make): the export asks before it
    // replaces either. A folder, pipe or device is no file to replace.
    if (linkStatus(path).kind == FileKind::Missing)
        return false;
    const FileKind kind = fileStatus(path).kind;
    return kind == FileKind::Missing || kind == FileKind::Plain;
}

} // namespace wmb
