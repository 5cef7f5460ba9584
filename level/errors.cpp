#include "errors.h"

#include <cerrno>

namespace wmb {

std::string InOutError::messageFor(int code)
{
    switch (code) {
    case IoFileNotFound: return "File not found";
    case IoInvalidFilename: return "Invalid filename";
    case IoTooManyOpenFiles: return "Too many open files";
    case IoAccessDenied: return "File access denied";
    case IoReadBeyondEnd: return "Read beyond end of file";
    case IoDiskFull: return "Disk full";
    case IoInvalidNumericInput: return "Invalid numeric input";
    default: return "I/O error " + std::to_string(code);
    }
}

InOutError::InOutError(int code) : RuntimeError(messageFor(code)), mCode(code) {}

InOutError::InOutError(int code, const std::string &before, const std::string &after)
    : RuntimeError(before + messageFor(code) + after), mCode(code)
{
}

int ioCodeFromErrno(int err) noexcept
{
    switch (err) {
    case ENOENT: return IoFileNotFound;
    case ENAMETOOLONG:
    case EINVAL: return IoInvalidFilename;
    case EMFILE:
    case ENFILE: return IoTooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY: return IoAccessDenied;
#ifdef EDQUOT
    case EDQUOT:
#endif
    case ENOSPC: return IoDiskFull;
    default: return err;
    }
}

void throwErrno(int err)
{
    throw InOutError(ioCodeFromErrno(err));
}

ConvertError::ConvertError(const std::string &text)
    : RuntimeError("'" + text + "' is not a valid integer value")
{
}

PictureError PictureError::cannotOpen(const std::string &path)
{
    return PictureError("Cannot open file " + path);
}

PictureError PictureError::notValid()
{
    return PictureError("Bitmap image is not valid");
}

NoLevelError::NoLevelError() : RuntimeError("No level is loaded") {}

} // namespace wmb
