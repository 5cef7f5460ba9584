// Error types of the level core. Each what() is the exact text the user sees
// in the error box (the box itself appends the final full stop).
#pragma once

#include <stdexcept>
#include <string>

namespace wmb {

// Base of every error the core reports to the user.
class RuntimeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// An input/output error by number: 2 "File not found", 3 "Invalid filename",
// 4 "Too many open files", 5 "File access denied", 100 "Read beyond end of file",
// 101 "Disk full", 106 "Invalid numeric input", any other "I/O error %d".
class InOutError : public RuntimeError {
public:
    explicit InOutError(int code);
    // The same error where the runtime's text needs a place or a reason:
    // what() is before + the runtime's text + after.
    InOutError(int code, const std::string &before, const std::string &after = {});
    int code() const noexcept { return mCode; }
    static std::string messageFor(int code);

private:
    int mCode;
};

// Input/output error numbers used by the core.
constexpr int IoFileNotFound = 2;
constexpr int IoInvalidFilename = 3;
constexpr int IoTooManyOpenFiles = 4;
constexpr int IoAccessDenied = 5;
constexpr int IoReadBeyondEnd = 100;
constexpr int IoDiskFull = 101;
constexpr int IoInvalidNumericInput = 106;

// Maps an errno value to its input/output error number: ENOENT 2;
// ENAMETOOLONG, EINVAL 3; EMFILE, ENFILE 4; EACCES, EPERM, EROFS, EISDIR,
// ETXTBSY 5; ENOSPC, EDQUOT 101; anything else the errno value itself.
int ioCodeFromErrno(int err) noexcept;

// Throws the InOutError for errno value err.
[[noreturn]] void throwErrno(int err);

// A text that is not a whole number: "'%s' is not a valid integer value".
class ConvertError : public RuntimeError {
public:
    explicit ConvertError(const std::string &text);
};

// A tile picture: "Cannot open file %s" or "Bitmap image is not valid".
class PictureError : public RuntimeError {
public:
    using RuntimeError::RuntimeError;
    static PictureError cannotOpen(const std::string &path);
    static PictureError notValid();
};

// A level file that the strict reader refuses; the message names the line.
class LevelFileError : public RuntimeError {
public:
    using RuntimeError::RuntimeError;
};

// "No level is loaded": a save with no level loaded since the image was opened.
class NoLevelError : public RuntimeError {
public:
    NoLevelError();
};

} // namespace wmb
