#include "shell/file_replace.h"

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#ifdef _WIN32
#include <io.h>
#include <process.h>
#else
#include <unistd.h>
#endif

#include "engine/support/errors.h"
#include "platform/platform.h"

namespace {
namespace fs = std::filesystem;

#ifdef _WIN32
// Paths are UTF-8 inside the program; the system takes them wide, so names
// outside the ANSI code page survive.
fs::path PathOf(const std::string& path) {
    return fs::u8path(path);
}
std::string TextOf(const fs::path& path) {
    return path.u8string();
}
int OpenNewFile(const std::string& path, bool) {
    return _wopen(PathOf(path).c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
}
long WriteSome(int fd, const char* data, std::size_t size) {
    return _write(fd, data, static_cast<unsigned>(size < 0x40000000u ? size : 0x40000000u));
}
bool FlushToDisk(int fd) {
    return _commit(fd) == 0;
}
int CloseFile(int fd) {
    return _close(fd);
}
unsigned ProcessId() {
    return static_cast<unsigned>(_getpid());
}
// MoveFileEx with write-through (RenameFile) already waits for the disk.
void FlushFolder(const std::string&) {}
#else
fs::path PathOf(const std::string& path) {
    return path;
}
std::string TextOf(const fs::path& path) {
    return path.string();
}
// Private until it has the target's permissions; a file that is new gets
// the user's usual ones (the umask's).
int OpenNewFile(const std::string& path, bool replacing) {
    return open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, replacing ? 0600 : 0666);
}
long WriteSome(int fd, const char* data, std::size_t size) {
    return static_cast<long>(write(fd, data, size));
}
bool FlushToDisk(int fd) {
    return fsync(fd) == 0;
}
int CloseFile(int fd) {
    return close(fd);
}
unsigned ProcessId() {
    return static_cast<unsigned>(getpid());
}
// The rename itself reaches the disk once the folder's entry does.
void FlushFolder(const std::string& folder) {
    int fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}
#endif

// The file a chain of symbolic links ends in (at most 40 of them); `path`
// itself when it is no link.
fs::path FollowLinks(const std::string& path) {
    std::error_code error;
    fs::path target = PathOf(path);
    for (int hops = 0; hops < 40 && fs::is_symlink(fs::symlink_status(target, error)); ++hops) {
        fs::path link = fs::read_symlink(target, error);
        if (error) break;
        target = link.is_absolute() ? link : target.parent_path() / link;
    }
    return target;
}

// Six letters and digits, different on every call and in every process.
std::string UniqueSuffix() {
    static std::uint64_t state =
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
        (static_cast<std::uint64_t>(ProcessId()) << 32);
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    const char* const digits = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string suffix;
    std::uint64_t bits = state >> 16;
    for (int i = 0; i < 6; ++i, bits /= 36)
        suffix += digits[bits % 36];
    return suffix;
}

// Creates a file beside `file` whose name no file had: `file` followed by
// ".tmp" and six letters, for replacing a file or making a new one. Its
// descriptor, with `temp` set; -1 with errno set.
int CreateTemporary(const std::string& file, bool replacing, std::string& temp) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = file + ".tmp" + UniqueSuffix();
        int fd = OpenNewFile(platform::NativePath(temp), replacing);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

// Writes all of `text`, then flushes it to the disk; false with errno set.
bool WriteAndFlush(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        long n = WriteSome(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return FlushToDisk(fd);
}
} // namespace

void ReplaceFile(const std::string& path, const std::string& text) {
    // A link (a dotfile kept in a repository) stays: the file it names is replaced.
    const fs::path target = FollowLinks(path);
    const std::string file = TextOf(target);
    std::error_code error;
    fs::file_status old = fs::status(target, error);
    bool exists = !error && fs::exists(old);
    if (exists && fs::is_directory(old)) throw FolderError(file);
    // Renaming over it would succeed where writing into it would not: the
    // user made it read-only to keep it as it is.
    if (exists && (old.permissions() & fs::perms::owner_write) == fs::perms::none)
        throw TIoError(IoAccessDenied, MessagePath(file) +
                                           " is read-only, so it was left as it is. Make it writable to let "
                                           "this program change it.");

    std::string temp;
    int fd = CreateTemporary(file, exists, temp);
    if (fd < 0) RaiseErrno(errno, file);
    bool written = WriteAndFlush(fd, text);
    int err = errno;
    if (CloseFile(fd) != 0 && written) {
        written = false;
        err = errno;
    }
    if (written && exists) {
        fs::permissions(PathOf(temp), old.permissions(), error);
        if (error) {
            written = false;
            err = EACCES;
        }
    }
    if (!written) {
        platform::DeleteFile(temp);
        RaiseErrno(err ? err : EIO, file);
    }
    errno = 0;
    if (!platform::RenameFile(temp, file)) {
        err = errno;
        platform::DeleteFile(temp);
        if (err) RaiseErrno(err, file);
        throw FileError(IoAccessDenied, file);
    }
    FlushFolder(TextOf(target.parent_path()));
}
