// The program as an xscreensaver hack: its command line, the usage text, and
// the one sound among the hacks that xscreensaver starts, one per monitor.
//
// xscreensaver starts a hack with "-root" and names the window to draw into
// in XSCREENSAVER_WINDOW; its demo preview passes "-window-id ID" instead
// (xscreensaver 6 spells both with two dashes, and every option here takes
// one dash or two). The hack draws the full-screen run into that window and
// leaves input and its end (SIGTERM) to the daemon. Given options but no
// window, it runs full-screen in a window of its own, as a hack started by
// hand does.
#include "shell/x11/window_x11.h"

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>
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
    bool windowId = false, named = false;
    for (const std::string& a : args)
        if (a == "-root" || a == "--root" || a == "-window-id" || a == "--window-id") named = true;
    bool environment = environmentWindow && *environmentWindow;
    bool options = !args.empty() && !args[0].empty() && args[0][0] == '-';
    // Not a hack's command line: the screensaver switches ("/s", "/p" ...) rule.
    if (!named && !options && !(environment && args.empty())) return true;

    request.Active = true;
    bool root = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        std::string option = a.compare(0, 2, "--") == 0 ? a.substr(1) : a;
        if (option == "-h" || option == "-help") {
            request.Help = true;
            return true;
        } else if (option == "-version") {
            request.Version = true;
            return true;
        } else if (option == "-root") {
            root = true;
        } else if (option == "-window-id") {
            if (i + 1 >= args.size()) {
                error = "-window-id needs a window id";
                return false;
            }
            if (!ParseWindowId(args[++i], request.Window)) {
                error = "'" + args[i] + "' is not a valid window id";
                return false;
            }
            windowId = true;
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
        } else if (option == "-sound") {
            request.Choices.SoundOn = 1;
        } else if (option == "-no-sound") {
            request.Choices.SoundOn = 0;
        } else {
            error = "Unknown option: " + a;
            return false;
        }
    }
    // Under the daemon its window wins, even over the root window asked for
    // by name; options alone, started by hand, get a window of our own.
    if (!windowId) {
        if (environment) {
            if (!ParseWindowId(environmentWindow, request.Window)) {
                error =
                    std::string("XSCREENSAVER_WINDOW: '") + environmentWindow + "' is not a valid window id";
                return false;
            }
        } else {
            request.Root = root;
        }
    }
    return true;
}

std::string UsageText(const std::string& settingsFile, const std::string& dataFolder) {
    std::string text = "Usage: tarnwick [/s | /p WINDOW | /c | /i | /u [--yes]]\n"
                       "       tarnwick [--root | --window-id WINDOW] [--fps] [--clock | --no-clock] "
                       "[--clock12 | --clock24]\n"
                       "                [--sound | --no-sound]\n"
                       "       tarnwick --help | --version\n"
                       "\n"
                       "Tarnwick 3D Screensaver: a lake with live ripples, a waterfall and a clock.\n"
                       "\n"
                       "The screensaver's switches:\n"
                       "  /s or none          the full-screen run; any key ends it\n"
                       "  /p WINDOW           the logo painted into the X window WINDOW (decimal or 0x\n"
                       "                      hexadecimal)\n"
                       "  /c                  the settings dialog (so does any other first argument\n"
                       "                      that does not start with -)\n"
                       "  /i                  install for this user: tarnwick from the current folder into\n"
                       "                      the settings folder, with settings naming the current folder\n"
                       "                      as the data folder, and the hack in ~/.xscreensaver\n"
                       "  /u [--yes]          uninstall what /i installed, once you agree: in a box on\n"
                       "                      the display, else on the terminal; --yes agrees at once\n"
                       "  From the installed package, /i only adds the packaged program to the\n"
                       "  programs list of ~/.xscreensaver (making the file when there is none) and\n"
                       "  copies nothing; /u removes that line and the settings file, and the package\n"
                       "  stays installed (remove it with the package manager).\n"
                       "\n"
                       "As an xscreensaver hack (every option takes one dash or two):\n"
                       "  --root              draw into xscreensaver's window (XSCREENSAVER_WINDOW),\n"
                       "                      else into the root window\n"
                       "  --window-id WINDOW  draw into the X window WINDOW (decimal or 0x hexadecimal)\n"
                       "  --fps               show the frames-per-second counter\n"
                       "  --clock             show the clock\n"
                       "  --no-clock          hide the clock\n"
                       "  --clock12           the 12-hour clock\n"
                       "  --clock24           the 24-hour clock\n"
                       "  --sound             play the waterfall\n"
                       "  --no-sound          no sound at all (nothing is opened on the sound device)\n"
                       "  --help              this text\n"
                       "  --version           the version\n"
                       "Without --root or --window-id, the hack fills the screen in a window of its own.\n"
                       "Each choice overrides the settings file for the run.\n"
                       "\n"
                       "Settings: ";
    text += settingsFile + " (written by OK in the settings dialog, or by /i)\n";
    text += "Without it, or when its home line names no folder that is there, the default\n"
            "choices, and the data from ";
    text += dataFolder.empty() ? std::string("(no data folder found)") : dataFolder;
    text += "\n";
    return text;
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

namespace {
// While another hack holds the lock, the sound entries of EngineCalls only
// note what the run asked for; the real ones wait here.
struct TDeferredSound {
    bool Waiting = false;
    bool (*TakeLock)() = nullptr; // tried when the run starts its sound
    TEngineCalls Real{};
    bool Started = false; // InitSound asked for and no tear-down since
    platform::WindowHandle Window = 0;
    std::vector<std::string> Waves;
    struct TPlay {
        std::int32_t Index;
        bool Restart, Loop;
    };
    std::vector<TPlay> Plays;
    std::vector<std::pair<std::int32_t, std::int32_t>> Volumes; // index, volume
    bool MusicVolumeSet = false;
    std::int32_t MusicVolume = 0;
};
TDeferredSound Deferred;

// The real sound entries back in EngineCalls; nothing is deferred any more.
void RestoreRealSound() {
    Deferred.Waiting = false;
    const TEngineCalls& real = Deferred.Real;
    TEngineCalls& e = EngineCalls;
    e.InitSound = real.InitSound;
    e.LoadWave = real.LoadWave;
    e.PlaySound = real.PlaySound;
    e.SetSoundVolume = real.SetSoundVolume;
    e.SetMusicVolume = real.SetMusicVolume;
    e.FreeSounds = real.FreeSounds;
    e.ShutdownSound = real.ShutdownSound;
}

void ForgetDeferredSound() {
    Deferred.Started = false;
    Deferred.Waves.clear();
    Deferred.Plays.clear();
    Deferred.Volumes.clear();
    Deferred.MusicVolumeSet = false;
}
} // namespace

void DeferSound(bool (*takeLock)()) {
    // Deferred already: the real entries are the ones kept then.
    const TEngineCalls real = Deferred.Waiting ? Deferred.Real : EngineCalls;
    Deferred = TDeferredSound{};
    Deferred.Waiting = true;
    Deferred.TakeLock = takeLock;
    Deferred.Real = real;
    TEngineCalls& e = EngineCalls;
    e.InitSound = [](platform::WindowHandle window) {
        // The lock free: the sound starts at once, and a wave file that
        // cannot be read is the set-up's error, as in any run.
        if (Deferred.TakeLock && Deferred.TakeLock()) {
            RestoreRealSound();
            EngineCalls.InitSound(window);
            return;
        }
        ForgetDeferredSound();
        Deferred.Started = true;
        Deferred.Window = window;
    };
    e.LoadWave = [](const std::string& path) {
        if (Deferred.Started) Deferred.Waves.push_back(path);
    };
    e.PlaySound = [](std::int32_t index, bool restart, bool loop) {
        if (Deferred.Started) Deferred.Plays.push_back({index, restart, loop});
    };
    e.SetSoundVolume = [](std::int32_t index, std::int32_t volume) {
        if (Deferred.Started) Deferred.Volumes.emplace_back(index, volume);
    };
    e.SetMusicVolume = [](std::int32_t volume) {
        if (!Deferred.Started) return;
        Deferred.MusicVolumeSet = true;
        Deferred.MusicVolume = volume;
    };
    e.FreeSounds = [] { ForgetDeferredSound(); };
    e.ShutdownSound = [] { ForgetDeferredSound(); };
}

bool PollSoundLock(bool (*takeLock)()) {
    // A run without sound leaves the lock to a hack that plays.
    if (!Deferred.Waiting || !Deferred.Started || !takeLock()) return false;
    RestoreRealSound();
    TEngineCalls& e = EngineCalls;
    if (Deferred.Started) {
        // What the set-up asked for, in its order; a failure stays silent,
        // as sound failures do.
        try {
            e.InitSound(Deferred.Window);
            for (const std::string& path : Deferred.Waves)
                e.LoadWave(path);
            for (const TDeferredSound::TPlay& play : Deferred.Plays)
                e.PlaySound(play.Index, play.Restart, play.Loop);
            for (const auto& volume : Deferred.Volumes)
                e.SetSoundVolume(volume.first, volume.second);
            if (Deferred.MusicVolumeSet) e.SetMusicVolume(Deferred.MusicVolume);
        } catch (...) {
        }
    }
    ForgetDeferredSound();
    return true;
}

} // namespace x11
