// The X11 front end of the screensaver, shared by the files of shell/x11/
// and by main_x11.cpp: the full-screen window and the preview painting
// (window_x11.cpp), the xscreensaver hack's options (xscreensaver_x11.cpp),
// the GTK 3 settings dialog (dialog_gtk_x11.cpp), about box
// (about_gtk_x11.cpp) and message boxes (msgbox_gtk_x11.cpp) with GTK's
// start-up (gtk_x11.cpp), and install and uninstall in the user's home
// (install_x11.cpp). The shell sees only the hosts of the run modes.
#pragma once

#include <string>
#include <vector>

#include "shell/main_window.h"
#include "shell/run_mode.h"

namespace x11 {

// SIGTERM, SIGINT and SIGHUP end the run cleanly: the frame loop sees the
// request between two frames and tears everything down.
void InstallStopSignals();
bool StopRequested();

// Choices given on an xscreensaver hack's command line; each overrides the
// settings file for this run only: -fps, -clock and -no-clock, -clock24 and
// -clock12, -sound and -no-sound.
using THackChoices = TRunChoices;

// What the command line asks for when it is the hack's: xscreensaver (or a
// user imitating it) starts the program with options of one dash or two.
struct THackRequest {
    bool Active = false;      // the first argument starts with '-', -root or -window-id is given,
                              // or XSCREENSAVER_WINDOW is set with no argument
    bool Help = false;        // -h, -help: the usage on standard output
    bool Version = false;     // -version
    bool Root = false;        // -root without XSCREENSAVER_WINDOW: the root window
    unsigned long Window = 0; // the window to draw into; 0 without Root: a full-screen window of its own
    THackChoices Choices;
};

// Reads the hack's options. `environmentWindow` is XSCREENSAVER_WINDOW (null
// when unset). False with `error` set for an unknown option or a window id
// that is not a number; a request that is not a hack's stays inactive.
bool ParseHackRequest(const std::vector<std::string>& args, const char* environmentWindow,
                      THackRequest& request, std::string& error);
// What --help prints: the switches, the hack's options, where the settings
// file is and, without one, where the data is taken from (empty: none found).
std::string UsageText(const std::string& settingsFile, const std::string& dataFolder);
// A window id in decimal or 0x-hexadecimal; false for anything else or 0.
bool ParseWindowId(const std::string& text, unsigned long& id);

// The sound is played by one hack per user and display: the first to take
// this lock (an abstract socket, released by the kernel when the process ends).
bool TakeSoundLock();
// A hack's sound waits for the lock: when the run starts its sound, the
// lock is tried (`takeLock`); taken, the real sound starts at once. While
// another hack holds it, the sound entries of EngineCalls only note what the
// run asks for (the window, the waves, what plays, the volumes) and play
// nothing. A run that never starts its sound never takes the lock.
void DeferSound(bool (*takeLock)() = TakeSoundLock);
// Tries `takeLock` when the sound was deferred and the run has started its
// sound; once it succeeds the real entries are back and what the run had
// asked for is done, so a hack that started while the one it replaces was
// still ending plays after all. A run without sound never takes the lock.
// True when it took the lock now.
bool PollSoundLock(bool (*takeLock)() = TakeSoundLock);

// Runs the main window for the full-screen run or the preview, until it
// closes; returns the exit code. With `foreign` set the run draws into that
// window (xscreensaver's) instead of a window of its own, follows its size
// and ignores input.
int RunMainWindow(const TArguments& args, unsigned long foreign, const THackChoices& choices);
// Runs the settings dialog; returns the exit code.
int RunSettingsDialog(const TArguments& args);

// Message boxes through GTK 3 when a display is there; every error's text
// also goes to standard error.
void UseGtkMessageBoxes();

// Whether a window with this id exists on the display.
bool X11WindowExists(unsigned long window);
// Asks an earlier instance's full-screen run (a top-level window of our
// class with the application title) to close.
void CloseEarlierInstance();

// "/i" and "/u" in the user's home; each returns the exit code. Run from
// an installed package they only add and remove the xscreensaver line (and
// "/u" the settings), and say that the package stays. `confirmed` ("/u
// --yes"): nothing is asked.
extern const char* const PackagedUninstallQuestion;
extern const char* const PackagedUninstallDone;
int InstallInHome();
int UninstallFromHome(bool confirmed);

} // namespace x11
