// The platform boundary on Linux: POSIX clocks and files, the XDG folders,
// the cursor through Xlib.
#include "platform/platform.h"
#include "platform/platform_internal.h"

#include <X11/Xlib.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace platform {

std::uint32_t SystemTickCount() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    std::uint64_t ms =
        static_cast<std::uint64_t>(ts.tv_sec) * 1000u + static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u;
    return static_cast<std::uint32_t>(ms);
}

TLocalTime SystemLocalTime() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    std::tm tm{};
    localtime_r(&ts.tv_sec, &tm);
    return TLocalTime{tm.tm_year + 1900,
                      tm.tm_mon + 1,
                      tm.tm_mday,
                      tm.tm_hour,
                      tm.tm_min,
                      tm.tm_sec,
                      static_cast<int>(ts.tv_nsec / 1000000)};
}

namespace {
std::string HomeDirectory() {
    const char* home = std::getenv("HOME");
    return home && *home ? home : "/tmp";
}

std::string StripTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

void MakeDirectories(const std::string& path) {
    for (std::size_t i = 1; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '/') mkdir(path.substr(0, i).c_str(), 0755);
    }
}

// The value of a user directory in ~/.config/user-dirs.dirs ("XDG_DESKTOP_DIR"),
// with $HOME expanded, or empty.
std::string UserDirectory(const std::string& key) {
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    std::string config = configHome && *configHome ? configHome : HomeDirectory() + "/.config";
    std::ifstream in(config + "/user-dirs.dirs");
    std::string line;
    while (std::getline(in, line)) {
        if (line.compare(0, key.size() + 1, key + "=") != 0) continue;
        std::string value = line.substr(key.size() + 1);
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        if (value.compare(0, 5, "$HOME") == 0) value = HomeDirectory() + value.substr(5);
        return value;
    }
    return "";
}
} // namespace

std::string SystemDirectoryPath() {
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    return (configHome && *configHome ? std::string(configHome) : HomeDirectory() + "/.config") + "/tarnwick";
}

std::string GetSystemDirectory() {
    std::string dir = SystemDirectoryPath();
    MakeDirectories(dir);
    return dir;
}

std::string GetCurrentDirectory() {
    char buffer[4096];
    if (!getcwd(buffer, sizeof buffer)) return ".";
    return StripTrailingSlash(buffer);
}

bool SetCurrentDirectory(const std::string& path) {
    return !path.empty() && chdir(NativePath(path).c_str()) == 0;
}

char PathSeparator() {
    return '/';
}

std::string NativePath(const std::string& path) {
    std::string native = path;
    for (char& c : native)
        if (c == '\\') c = '/';
    return native;
}

namespace {
// Bytes of the well-formed UTF-8 character at `at`, or 0.
std::size_t Utf8Length(const std::string& text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    std::size_t length;
    unsigned char low = 0x80, high = 0xBF; // the range of the second byte
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;  // no overlong forms
        if (lead == 0xED) high = 0x9F; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F; // nothing above U+10FFFF
    } else {
        return 0;
    }
    if (text.size() - at < length) return 0;
    if (byte(at + 1) < low || byte(at + 1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (byte(at + i) < 0x80 || byte(at + i) > 0xBF) return 0;
    return length;
}
} // namespace

std::string PrintableText(const std::string& text) {
    std::string shown;
    shown.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[at]);
        const std::size_t length = Utf8Length(text, at);
        if (length == 0 || c < 0x20 || c == 0x7f) {
            shown += '?';
            ++at;
        } else {
            shown.append(text, at, length);
            at += length;
        }
    }
    return shown;
}

std::FILE* OpenFile(const std::string& path, const char* mode) {
    return std::fopen(NativePath(path).c_str(), mode);
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return stat(NativePath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
    struct stat st {};
    return stat(NativePath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CopyFile(const std::string& src, const std::string& dst) {
    int in = open(NativePath(src).c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return false;
    struct stat st {};
    if (fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(in);
        return false;
    }
    // Write beside the target and rename, so a failed copy never leaves half a file.
    std::string target = NativePath(dst);
    std::string temp = target + ".part";
    int out = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, st.st_mode & 0777);
    if (out < 0) {
        close(in);
        return false;
    }
    bool ok = true;
    char buffer[65536];
    for (;;) {
        ssize_t n = read(in, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        for (ssize_t done = 0; done < n;) {
            ssize_t w = write(out, buffer + done, static_cast<std::size_t>(n - done));
            if (w < 0 && errno == EINTR) continue;
            if (w <= 0) {
                ok = false;
                break;
            }
            done += w;
        }
        if (!ok) break;
    }
    close(in);
    if (close(out) != 0) ok = false;
    if (ok) ok = rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) unlink(temp.c_str());
    return ok;
}

bool DeleteFile(const std::string& path) {
    struct stat st {};
    std::string native = NativePath(path);
    if (lstat(native.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
    return unlink(native.c_str()) == 0;
}

bool RenameFile(const std::string& src, const std::string& dst) {
    return rename(NativePath(src).c_str(), NativePath(dst).c_str()) == 0;
}

bool RemoveDirectory(const std::string& path) {
    return rmdir(NativePath(path).c_str()) == 0;
}

bool CreateDirectory(const std::string& path) {
    return mkdir(NativePath(path).c_str(), 0755) == 0 || DirectoryExists(path);
}

TMessageBoxAnswer SystemMessageBox(const std::string& text, const std::string& caption,
                                   TMessageBoxKind kind) {
    // Without a toolkit (the program installs one at start) the text goes to
    // standard error and a question is answered Cancel: nothing is done unasked.
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    return kind == MbOkCancel ? IdCancel : IdOk;
}

bool OpenUrl(const std::string& url) {
    pid_t pid = fork();
    if (pid < 0) return false;
    if (pid == 0) {
        // Detach twice so the opener never becomes our zombie.
        if (fork() != 0) _exit(0);
        int devnull = open("/dev/null", O_RDWR);
        if (devnull >= 0) {
            dup2(devnull, 0);
            dup2(devnull, 1);
            dup2(devnull, 2);
        }
        execlp("xdg-open", "xdg-open", url.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return true;
}

bool ShowScreensaverSettings(const std::string&) {
    return false;
}

bool GetSpecialFolder(TSpecialFolder folder, std::string& path) {
    std::string dir;
    if (folder == FolderDesktop) {
        dir = UserDirectory("XDG_DESKTOP_DIR");
        if (dir.empty()) dir = HomeDirectory() + "/Desktop";
    } else if (folder == FolderPrograms) {
        const char* dataHome = std::getenv("XDG_DATA_HOME");
        dir = (dataHome && *dataHome ? std::string(dataHome) : HomeDirectory() + "/.local/share") +
              "/applications";
    } else {
        return false;
    }
    if (dir.empty() || dir[0] != '/') return false;
    path = StripTrailingSlash(dir) + "/";
    return true;
}

std::string GetProgramFile() {
    // The link's target may be longer than any fixed buffer: grow until it fits.
    std::string buffer(256, '\0');
    for (;;) {
        ssize_t n = readlink("/proc/self/exe", &buffer[0], buffer.size());
        if (n < 0) return "";
        if (static_cast<std::size_t>(n) < buffer.size()) {
            buffer.resize(static_cast<std::size_t>(n));
            break;
        }
        if (buffer.size() >= 65536) return "";
        buffer.resize(buffer.size() * 2);
    }
    // A program replaced on disk while it runs reads "PATH (deleted)".
    const std::string deleted = " (deleted)";
    if (buffer.size() > deleted.size() &&
        buffer.compare(buffer.size() - deleted.size(), deleted.size(), deleted) == 0)
        buffer.resize(buffer.size() - deleted.size());
    return buffer;
}

void GetCursorPos(int& x, int& y) {
    x = y = 0;
    Display* display = XOpenDisplay(nullptr);
    if (!display) return;
    Window root, child;
    int winX, winY;
    unsigned int mask;
    XQueryPointer(display, DefaultRootWindow(display), &root, &child, &x, &y, &winX, &winY, &mask);
    XCloseDisplay(display);
}

} // namespace platform
