// The platform layer on Windows: wide paths, handles, and Windows' own error
// numbers, which are the numbers the runtime's messages are made for.
#include "platform.h"

#include "errors.h"
#include "platform_windows_text.h"
#include "romimage.h"

#include <windows.h>

#include <algorithm>
#include <limits>
#include <utility>

namespace wmb {

int ioCodeFromSystemError(SystemErrorCode code) noexcept
{
    switch (code) {
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_DIRECTORY: return IoInvalidFilename;
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_DISK_FULL: return IoDiskFull;
    case ERROR_HANDLE_EOF: return IoReadBeyondEnd;
    default: return code;   // 2, 4 and 5 are the runtime's numbers already
    }
}

void throwSystemError(SystemErrorCode code)
{
    throw InOutError(ioCodeFromSystemError(code));
}

const SystemErrorCode TooManyLinksError = ERROR_CANT_RESOLVE_FILENAME;

namespace {

[[noreturn]] void throwLastError()
{
    throwSystemError(static_cast<SystemErrorCode>(::GetLastError()));
}

HANDLE handleOf(std::intptr_t handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

constexpr DWORD ShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// A handle that only asks about the file (no access to its contents);
// folders open too.
HANDLE openForQuestions(const std::string &path)
{
    return ::CreateFileW(wide(path).c_str(), 0, ShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                         nullptr);
}

FileStatus statusOf(HANDLE h)
{
    switch (::GetFileType(h)) {
    case FILE_TYPE_CHAR: return {FileKind::Device};
    case FILE_TYPE_PIPE: return {FileKind::Pipe};
    case FILE_TYPE_DISK: break;
    default: return {FileKind::Other};
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(h, &info))
        return {FileKind::Other};
    FileStatus status{(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? FileKind::Folder : FileKind::Plain};
    status.links = std::max<DWORD>(info.nNumberOfLinks, 1);
    return status;
}

OVERLAPPED at(std::int64_t offset)
{
    OVERLAPPED ov{};
    ov.Offset = static_cast<DWORD>(static_cast<std::uint64_t>(offset) & 0xFFFFFFFFu);
    ov.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(offset) >> 32);
    return ov;
}

// One call moves at most this many bytes.
constexpr std::size_t MaxChunk = std::size_t{1} << 30;

} // namespace

FileStatus fileStatus(const std::string &path)
{
    const HANDLE h = openForQuestions(path);
    if (h == INVALID_HANDLE_VALUE)
        return {};
    const FileStatus status = statusOf(h);
    ::CloseHandle(h);
    return status;
}

FileStatus linkStatus(const std::string &path)
{
    const DWORD attributes = ::GetFileAttributesW(wide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return {};
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return {FileKind::Link};
    return fileStatus(path);
}

std::optional<std::string> followLink(const std::string &path)
{
    // The system resolves the whole chain; a link it cannot resolve (one
    // leading nowhere) is written over as a file.
    if (linkStatus(path).kind != FileKind::Link)
        return std::nullopt;
    const HANDLE h = openForQuestions(path);
    if (h == INVALID_HANDLE_VALUE)
        return std::nullopt;
    std::wstring target(MAX_PATH, L'\0');
    DWORD n = ::GetFinalPathNameByHandleW(h, target.data(), static_cast<DWORD>(target.size()), VOLUME_NAME_DOS);
    if (n >= target.size()) {
        target.resize(n + 1);
        n = ::GetFinalPathNameByHandleW(h, target.data(), static_cast<DWORD>(target.size()), VOLUME_NAME_DOS);
    }
    ::CloseHandle(h);
    if (n == 0 || n >= target.size())
        return std::nullopt;
    target.resize(n);
    if (target.starts_with(L"\\\\?\\UNC\\"))
        target = L"\\\\" + target.substr(8);
    else if (target.starts_with(L"\\\\?\\"))
        target = target.substr(4);
    return utf8(target.data(), target.size());
}

std::string folderOf(const std::string &path)
{
    const std::size_t slash = path.find_last_of("/\\");
    if (slash == std::string::npos)
        return path.size() >= 2 && path[1] == ':' ? path.substr(0, 2) : ".";
    // The root keeps its separator: "/", "C:\".
    if (slash == 0 || (slash == 2 && path[1] == ':'))
        return path.substr(0, slash + 1);
    return path.substr(0, slash);
}

std::string pathInFolder(const std::string &folder, const std::string &name)
{
    // A root ("/", "C:\\") or a drive's current folder ("C:") takes the
    // name as it is.
    return folder.ends_with('/') || folder.ends_with('\\') || folder.ends_with(':') ? folder + name
                                                                                    : folder + "\\" + name;
}

SystemFile::SystemFile(SystemFile &&other) noexcept : mHandle(std::exchange(other.mHandle, -1)) {}

SystemFile &SystemFile::operator=(SystemFile &&other) noexcept
{
    std::swap(mHandle, other.mHandle);
    return *this;
}

SystemFile::~SystemFile()
{
    if (isOpen())
        ::CloseHandle(handleOf(mHandle));
}

bool SystemFile::isOpen() const noexcept
{
    return mHandle != -1;
}

SystemFile SystemFile::openExisting(const std::string &path, Access access)
{
    const DWORD rights = access == Access::Read ? GENERIC_READ
        : access == Access::Write               ? GENERIC_WRITE
                                                : GENERIC_READ | GENERIC_WRITE;
    // Others may read, write, rename and delete it meanwhile, as they may on
    // POSIX systems. A folder does not open without backup semantics (5).
    const HANDLE h = ::CreateFileW(wide(path).c_str(), rights, ShareAll, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        throwLastError();
    SystemFile file;
    file.mHandle = reinterpret_cast<std::intptr_t>(h);
    if (statusOf(h).kind != FileKind::Plain)
        throw InOutError(IoAccessDenied);
    return file;
}

SystemFile SystemFile::createNew(const std::string &path, SystemErrorCode &error)
{
    const HANDLE h = ::CreateFileW(wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                   CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    SystemFile file;
    if (h == INVALID_HANDLE_VALUE)
        error = static_cast<SystemErrorCode>(::GetLastError());
    else
        file.mHandle = reinterpret_cast<std::intptr_t>(h);
    return file;
}

std::size_t SystemFile::read(void *data, std::size_t n)
{
    DWORD got = 0;
    if (!::ReadFile(handleOf(mHandle), data, static_cast<DWORD>(std::min(n, MaxChunk)), &got, nullptr)) {
        const DWORD err = ::GetLastError();
        if (err == ERROR_HANDLE_EOF || err == ERROR_BROKEN_PIPE)
            return 0;
        throwSystemError(static_cast<SystemErrorCode>(err));
    }
    return got;
}

std::size_t SystemFile::readAt(std::int64_t offset, void *data, std::size_t n)
{
    OVERLAPPED ov = at(offset);
    DWORD got = 0;
    if (!::ReadFile(handleOf(mHandle), data, static_cast<DWORD>(std::min(n, MaxChunk)), &got, &ov)) {
        const DWORD err = ::GetLastError();
        if (err == ERROR_HANDLE_EOF)
            return 0;
        throwSystemError(static_cast<SystemErrorCode>(err));
    }
    return got;
}

void SystemFile::write(const void *data, std::size_t n)
{
    const auto *bytes = static_cast<const char *>(data);
    for (std::size_t done = 0; done < n;) {
        DWORD put = 0;
        if (!::WriteFile(handleOf(mHandle), bytes + done, static_cast<DWORD>(std::min(n - done, MaxChunk)), &put,
                         nullptr))
            throwLastError();
        if (put == 0)
            throw InOutError(IoDiskFull);
        done += put;
    }
}

void SystemFile::writeAt(std::int64_t offset, const void *data, std::size_t n)
{
    const auto *bytes = static_cast<const char *>(data);
    for (std::size_t done = 0; done < n;) {
        OVERLAPPED ov = at(offset + static_cast<std::int64_t>(done));
        DWORD put = 0;
        if (!::WriteFile(handleOf(mHandle), bytes + done, static_cast<DWORD>(std::min(n - done, MaxChunk)), &put,
                         &ov))
            throwLastError();
        if (put == 0)
            throw InOutError(IoDiskFull);
        done += put;
    }
}

void SystemFile::sync()
{
    if (!::FlushFileBuffers(handleOf(mHandle)))
        throwLastError();
}

std::int64_t SystemFile::size()
{
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(handleOf(mHandle), &size))
        throwLastError();
    return size.QuadPart;
}

void SystemFile::truncate(std::int64_t size)
{
    FILE_END_OF_FILE_INFO info{};
    info.EndOfFile.QuadPart = size;
    if (!::SetFileInformationByHandle(handleOf(mHandle), FileEndOfFileInfo, &info, sizeof info))
        throwLastError();
}

void SystemFile::reserve(std::int64_t size)
{
    // An allocation below the file's size would cut it: never ask for less.
    FILE_ALLOCATION_INFO info{};
    info.AllocationSize.QuadPart = std::max(size, this->size());
    if (!::SetFileInformationByHandle(handleOf(mHandle), FileAllocationInfo, &info, sizeof info)) {
        const DWORD err = ::GetLastError();
        if (err == ERROR_DISK_FULL || err == ERROR_HANDLE_DISK_FULL)
            throwSystemError(static_cast<SystemErrorCode>(err));
    }
}

bool SystemFile::takeOver(const FileStatus &)
{
    // A new file takes its access from the folder as the old one did; a
    // read-only file was refused before anything was made.
    return true;
}

void SystemFile::close()
{
    if (!::CloseHandle(handleOf(std::exchange(mHandle, -1))))
        throwLastError();
}

bool isAlreadyExists(SystemErrorCode code) noexcept
{
    return code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS;
}

bool refusesNewFiles(SystemErrorCode code) noexcept
{
    return code == ERROR_ACCESS_DENIED || code == ERROR_WRITE_PROTECT || code == ERROR_FILENAME_EXCED_RANGE;
}

void replaceFile(const std::string &from, const std::string &to)
{
    if (!::MoveFileExW(wide(from).c_str(), wide(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        throwLastError();
}

void removeFile(const std::string &path) noexcept
{
    ::DeleteFileW(wide(path).c_str());
}

// The writer's open handle shares no writing, so an open that shares
// nothing fails while the writer runs; the system closes a killed
// writer's handles.
bool SystemFile::holdAsTemporary(const std::string &) { return true; }

void removeUnheldTemporary(const std::string &path) noexcept
{
    const HANDLE h = ::CreateFileW(wide(path).c_str(), DELETE, 0, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h != INVALID_HANDLE_VALUE)
        ::CloseHandle(h);
}

void syncFolder(const std::string &) noexcept
{
    // MOVEFILE_WRITE_THROUGH has made the rename durable already.
}

bool sameFile(const std::string &a, const std::string &b)
{
    // By volume and file index: the C runtime's st_ino is always 0 here.
    BY_HANDLE_FILE_INFORMATION info[2]{};
    const std::string *paths[2] = {&a, &b};
    for (int i = 0; i < 2; ++i) {
        const HANDLE h = openForQuestions(*paths[i]);
        if (h == INVALID_HANDLE_VALUE)
            return false;
        const bool known = ::GetFileInformationByHandle(h, &info[i]);
        ::CloseHandle(h);
        if (!known)
            return false;
    }
    return info[0].dwVolumeSerialNumber == info[1].dwVolumeSerialNumber &&
           info[0].nFileIndexHigh == info[1].nFileIndexHigh && info[0].nFileIndexLow == info[1].nFileIndexLow;
}

} // namespace wmb
