// Program entry of the Linux program `tarnwick`.
//
//   tarnwick [/s]            the full-screen run on the X display
//   tarnwick /p ID           the logo painted into the X window ID every 50 ms
//   tarnwick /i, /u [--yes]  install into, uninstall from the user's home
//   tarnwick anything else   the settings dialog
//   tarnwick --root | --window-id ID [--fps] [--clock|--no-clock] [--clock12|--clock24]
//            [--sound|--no-sound]
//                            the xscreensaver hack, options with one dash or
//                            two (also: no argument with XSCREENSAVER_WINDOW
//                            set); the choices alone: full-screen in a window
//                            of its own
//   tarnwick --help, --version
//
// It needs no set-up: without a settings file it runs with the default
// choices and the data where it is installed (FindDataFolder), and an error
// about a file names the file.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/support/errors.h"
#include "platform/platform.h"
#include "shell/x11/window_x11.h"
#include "platform/x11/x11_display.h"
#include "shell/engine_calls.h"
#include "shell/run_mode.h"
#include "shell/settings.h"
#include "sound/sound_backend.h"
#include "tarnwick_version.h"

namespace {
// What an xscreensaver hack exits with for a command line it cannot take.
constexpr int UsageExitCode = 2;

std::string Usage() {
    return x11::UsageText(SettingsFilePath(), FindDataFolder(ProgramFile, SystemDataFolder));
}

// `text` for the terminal: control bytes (C0, DEL, and C1 written in UTF-8)
// and bytes that are not UTF-8 as \xNN, so that what a command line holds
// cannot drive the terminal that shows the message.
std::string Escaped(const std::string& text) {
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    std::string shown;
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = byte(i);
        std::size_t length = c < 0x80                ? 1
                             : c >= 0xc2 && c < 0xe0 ? 2
                             : c >= 0xe0 && c < 0xf0 ? 3
                             : c >= 0xf0 && c < 0xf5 ? 4
                                                     : 0;
        for (std::size_t k = 1; k < length; ++k)
            if (i + k >= text.size() || (byte(i + k) & 0xc0) != 0x80) length = 0;
        const bool control = c < 0x20 || c == 0x7f || (length == 2 && c == 0xc2 && byte(i + 1) < 0xa0);
        if (length == 0 || control) {
            for (std::size_t k = 0; k < std::max<std::size_t>(length, 1); ++k) {
                char escape[5];
                std::snprintf(escape, sizeof escape, "\\x%02x", byte(i + k));
                shown += escape;
            }
            i += std::max<std::size_t>(length, 1);
        } else {
            shown.append(text, i, length);
            i += length;
        }
    }
    return shown;
}

// Which data folder a run without a usable settings file takes, and why.
void NoteOnStderr(const std::string& text) {
    std::fprintf(stderr, "tarnwick: %s\n", text.c_str());
}
// The hack's: under the daemon it runs without a settings file as a rule,
// and what it prints lands in the daemon's log, so that case is not news. A
// settings file it cannot use still is.
void NoteUnlessNoSettingsFile(const std::string& text) {
    const std::string path = SettingsFilePath();
    if (platform::FileExists(path) || platform::DirectoryExists(path)) NoteOnStderr(text);
}

int RunHack(const x11::THackRequest& request) {
    // Errors go to standard error alone: xscreensaver shows a hack's
    // output on its screen, and a dialog would sit behind the lock.
    Display* dpy = platform::X11Display();
    if (!dpy) {
        ShowErrorBox("Cannot open the X display: DISPLAY is not set or the display cannot be reached");
        return 1;
    }
    if (!request.Root && !request.Window) {
        // Started by hand with choices only: the full-screen run, as "/s".
        x11::UseGtkMessageBoxes();
        x11::CloseEarlierInstance();
        UseRealEngineCalls();
        return x11::RunMainWindow(TArguments{}, 0, request.Choices);
    }
    unsigned long window = request.Root ? DefaultRootWindow(dpy) : request.Window;
    if (!x11::X11WindowExists(window)) {
        char text[64];
        std::snprintf(text, sizeof text, "Window not found: 0x%lx", window);
        ShowErrorBox(text);
        return 1;
    }
    UseRealEngineCalls();
    // One hack plays the waterfall: the first that starts its sound takes
    // the lock; while another monitor's hack holds it, or the hack this one
    // replaces is still ending, the sound waits. A silent run (-no-sound,
    // or the settings' choice) never takes it.
    x11::DeferSound();
    return x11::RunMainWindow(TArguments{}, window, request.Choices);
}

int Run(const std::vector<std::string>& raw) {
    x11::THackRequest hack;
    std::string error;
    if (!x11::ParseHackRequest(raw, std::getenv("XSCREENSAVER_WINDOW"), hack, error)) {
        std::fprintf(stderr, "tarnwick: %s\n\n%s", Escaped(error).c_str(), Usage().c_str());
        return UsageExitCode;
    }
    if (hack.Help) {
        std::fputs(Usage().c_str(), stdout);
        return 0;
    }
    if (hack.Version) {
        std::printf("tarnwick %s\n", TarnwickVersion);
        return 0;
    }
    if (hack.Active) {
        SilenceSoundLibraries(); // no thread runs yet
        SettingsNote = NoteUnlessNoSettingsFile;
        return RunHack(hack);
    }

    x11::UseGtkMessageBoxes();
    TArguments args = ReadArguments(raw);
    switch (ChooseStartAction(args)) {
    case StartInstall:
        return x11::InstallInHome();
    case StartUninstall:
        return x11::UninstallFromHome(args.Second == "--yes");
    case StartWindow:
        break;
    }
    if (!platform::X11Display()) {
        ShowErrorBox("Cannot open the X display: DISPLAY is not set or the display cannot be reached");
        return 1;
    }
    x11::CloseEarlierInstance();
    TWindowSetUp setUp = ChooseWindowSetUp(args);
    if (setUp == SetUpConfigure) return x11::RunSettingsDialog(args);
    if (setUp == SetUpPreview) {
        // A number that names no window is refused before anything starts.
        unsigned long window = 0;
        if (x11::ParseWindowId(args.Second, window) && !x11::X11WindowExists(window)) {
            ShowErrorBox("Window not found: " + Escaped(args.Second));
            return 1;
        }
    }
    SilenceSoundLibraries(); // no thread runs yet
    UseRealEngineCalls();
    return x11::RunMainWindow(args, 0, x11::THackChoices{});
}

} // namespace

int main(int argc, char** argv) {
    platform::MaskFloatingPointExceptions();
    x11::InstallStopSignals();
    // No set-up needed: the data is found from where the program is, and a
    // file that cannot be read is named in the message.
    SettingsFileOptional = true;
    ProgramFile = platform::GetProgramFile();
    SettingsNote = NoteOnStderr;
    IoErrorsNameFiles = true;
    int code = Run(std::vector<std::string>(argv + 1, argv + argc));
    // Asked to stop, every mode ends as a user would end it: with 0, even
    // where the signal took the place of an answer to an error box.
    return x11::StopRequested() ? 0 : code;
}
