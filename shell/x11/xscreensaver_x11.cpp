// The program as an xscreensaver hack: its command line, and the one sound
// among the hacks that xscreensaver starts, one per monitor.
//
// xscreensaver starts a hack with "-root" and names the window to draw into
// in XSCREENSAVER_WINDOW; its demo preview passes "-window-id ID" instead.
// The hack draws the full-screen run into that window and leaves input and
// its end (SIGTERM) to the daemon.
#include "shell/x11/window_x11.h"

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "shell/engine_calls.h"

namespace x11 {

bool ParseWindowId(const std::string& text, unsigned long& id) {
    if (text.empty() || text.size() > 20) return false;
    std::size_t i = 0;
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        i = 2;
    }
    std::uint64_t value = 0;
    for (; i < text.size(); ++i) {
        char c = text[i];
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return false;
        value = value * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
        if (value > 0xFFFFFFFFu) return false; // X ids are 29 bits wide
    }
    if (value == 0) return false;
    id = static_cast<unsigned long>(value);
    return true;
}

bool ParseHackRequest(const std::vector<std::string>& args, const char* environmentWindow,
                      THackRequest& request, std::string& error) {
    request = THackRequest();
    bool root = false, windowId = false;
    for (const std::string& a : args) {
        if (a == "-root" || a == "--root") root = true;
        if (a == "-window-id" || a == "--window-id") windowId = true;
    }
    bool environment = environmentWindow && *environmentWindow;
    // Not a hack's command line: the screensaver switches ("/s", "/p" ...) rule.
    if (!root && !windowId && !(environment && args.empty())) return true;

    request.Active = true;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        std::string option = a.compare(0, 2, "--") == 0 ? a.substr(1) : a;
        if (option == "-root") {
        } else if (option == "-window-id") {
            if (i + 1 >= args.size()) {
                error = "-window-id needs a window id";
                return false;
            }
            if (!ParseWindowId(args[++i], request.Window)) {
                error = "'" + args[i] + "' is not a valid window id";
                return false;
            }
        } else if (option == "-fps") {
            request.Choices.FPSShow = 1;
        } else if (option == "-clock") {
            request.Choices.TimeShow = 1;
        } else if (option == "-no-clock") {
            request.Choices.TimeShow = 0;
        } else if (option == "-clock12") {
            request.Choices.Time24 = 0;
        } else if (option == "-clock24") {
            request.Choices.Time24 = 1;
        } else {
            error = "Unknown option: " + a;
            return false;
        }
    }
    if (!windowId) {
        // xscreensaver's window wins over the root window it asks for by name.
        if (environment) {
            if (!ParseWindowId(environmentWindow, request.Window)) {
                error =
                    std::string("XSCREENSAVER_WINDOW: '") + environmentWindow + "' is not a valid window id";
                return false;
            }
        } else {
            request.Root = true;
        }
    }
    return true;
}

bool TakeSoundLock() {
    // An abstract socket: nothing on disk, and the kernel frees the name when
    // the holder ends, however it ends.
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return true; // cannot tell: play rather than stay silent
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    // One per user and display: xscreensaver runs one daemon per display.
    const char* display = std::getenv("DISPLAY");
    char name[100];
    int length = std::snprintf(name, sizeof name, "tarnwick-sound-%u-%.60s", static_cast<unsigned>(getuid()),
                               display ? display : "");
    address.sun_path[0] = '\0';
    std::memcpy(address.sun_path + 1, name, static_cast<std::size_t>(length));
    socklen_t size = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + length);
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), size) == 0) return true; // held until exit
    int err = errno;
    close(fd);
    return err != EADDRINUSE;
}

void SilenceSound() {
    TEngineCalls& e = EngineCalls;
    e.InitSound = [](platform::WindowHandle) {};
    e.LoadWave = [](const std::string&) {};
    e.PlaySound = [](std::int32_t, bool, bool) {};
    e.SetSoundVolume = [](std::int32_t, std::int32_t) {};
    e.SetMusicVolume = [](std::int32_t) {};
    e.FreeSounds = [] {};
    e.ShutdownSound = [] {};
}

} // namespace x11
