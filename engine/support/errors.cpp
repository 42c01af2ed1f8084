#include "engine/support/errors.h"

#include <cerrno>

std::string IoErrorText(int code) {
    switch (code) {
    case IoFileNotFound:
        return "File not found";
    case IoInvalidFilename:
        return "Invalid filename";
    case IoTooManyOpenFiles:
        return "Too many open files";
    case IoAccessDenied:
        return "File access denied";
    case IoReadBeyondEnd:
        return "Read beyond end of file";
    default:
        return "I/O error " + std::to_string(code);
    }
}

TIoError::TIoError(int code) : std::runtime_error(IoErrorText(code)), code_(code) {}

TIoError::TIoError(int code, const std::string& message) : std::runtime_error(message), code_(code) {}

void RaiseErrno(int err) {
    switch (err) {
    case ENOENT:
    case ENOTDIR:
        throw TIoError(IoFileNotFound);
    case ENAMETOOLONG:
    case EINVAL:
    case EISDIR:
        throw TIoError(IoInvalidFilename);
    case EMFILE:
    case ENFILE:
        throw TIoError(IoTooManyOpenFiles);
    case EACCES:
    case EPERM:
    case EROFS:
        throw TIoError(IoAccessDenied);
    case ENOSPC:
        throw TIoError(IoDiskWriteError, "Disk full");
    default:
        throw TIoError(err);
    }
}
