#include "engine/support/errors.h"

#include <cerrno>

#include "platform/platform.h"

bool IoErrorsNameFiles = true;

namespace {
bool IsAbsolute(const std::string& path) {
    if (path.empty()) return false;
    if (path[0] == '/' || path[0] == '\\') return true;
    return path.size() > 1 && path[1] == ':'; // a drive letter
}

// The path as the user finds it on disk: the platform's separators, and
// anchored at the current directory when relative.
std::string FullPath(const std::string& path) {
    std::string native = platform::NativePath(path);
    if (IsAbsolute(native)) return native;
    if (native.compare(0, 2, std::string(".") + platform::PathSeparator()) == 0) native.erase(0, 2);
    return platform::GetCurrentDirectory() + platform::PathSeparator() + native;
}

std::string TextAbout(const std::string& text, const std::string& path) {
    if (!IoErrorsNameFiles || path.empty()) return text;
    return text + ": " + MessagePath(path);
}
} // namespace

std::string MessagePath(const std::string& path) {
    if (!IoErrorsNameFiles) return path;
    return platform::PrintableText(FullPath(path));
}

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

TIoError FileError(int code, const std::string& path) {
    return TIoError(code, TextAbout(IoErrorText(code), path));
}

TIoError FolderError(const std::string& path) {
    return TIoError(IoAccessDenied, TextAbout("Is a folder, not a file", path));
}

void RaiseErrno(int err, const std::string& path) {
    switch (err) {
    case ENOENT:
    case ENOTDIR:
        throw FileError(IoFileNotFound, path);
    case EISDIR:
        throw FolderError(path);
    case ENAMETOOLONG:
    case EINVAL:
        throw FileError(IoInvalidFilename, path);
    case EMFILE:
    case ENFILE:
        throw FileError(IoTooManyOpenFiles, path);
    case EACCES:
    case EPERM:
    case EROFS:
        throw FileError(IoAccessDenied, path);
    case ENOSPC:
        throw TIoError(IoDiskWriteError, TextAbout("Disk full", path));
    default:
        throw FileError(err, path);
    }
}
