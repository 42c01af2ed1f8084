#include "engine/support/files.h"

#include <cerrno>
#include <cstdio>
#include <memory>

#include "platform/platform.h"

namespace {
struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

FileHandle OpenFile(const std::string& path, const char* mode) {
    if (path.empty()) throw TIoError(IoFileNotFound);
    // Some systems open a folder as if it were an empty or endless file.
    if (platform::DirectoryExists(path)) throw FolderError(path);
    errno = 0;
    FileHandle f(platform::OpenFile(path, mode));
    if (!f) RaiseErrno(errno ? errno : ENOENT, path);
    return f;
}
} // namespace

std::vector<std::uint8_t> ReadWholeFile(const std::string& path, std::size_t maxBytes) {
    FileHandle f = OpenFile(path, "rb");
    if (std::fseek(f.get(), 0, SEEK_END) != 0) RaiseErrno(errno, path);
    long size = std::ftell(f.get());
    if (size < 0) RaiseErrno(errno, path);
    if (static_cast<unsigned long>(size) > maxBytes || static_cast<unsigned long>(size) > MaxFileSize) {
        std::size_t slash = path.find_last_of("\\/");
        const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
        throw TIoError(IoReadBeyondEnd, "File too large: " + (IoErrorsNameFiles ? MessagePath(path) : name));
    }
    std::rewind(f.get());
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    if (size > 0 && std::fread(bytes.data(), 1, bytes.size(), f.get()) != bytes.size()) {
        if (std::ferror(f.get())) RaiseErrno(errno ? errno : EIO, path);
        throw FileError(IoReadBeyondEnd, path);
    }
    return bytes;
}

void WriteWholeFile(const std::string& path, const void* data, std::size_t size) {
    FileHandle f = OpenFile(path, "wb");
    if (size && std::fwrite(data, 1, size, f.get()) != size) RaiseErrno(errno ? errno : EIO, path);
    std::FILE* raw = f.release();
    if (std::fclose(raw) != 0) RaiseErrno(errno ? errno : EIO, path);
}
