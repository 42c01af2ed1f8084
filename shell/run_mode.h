// Program entry and run modes: what the command line asks the process to do.
//
// Only the first two arguments are read, as whole strings, and every
// comparison is exact and case-sensitive ("/S" is not "/s"):
//
//   first argument   what happens
//   "/i"             install, then end (exit code 0)
//   "/u"             uninstall, then end (exit code 0)
//   "/p"             the main window becomes the preview inside the window
//                    whose decimal handle is the second argument
//   "/s" or none     the full-screen run
//   anything else    the settings dialog; characters 4 onwards of the first
//                    argument are the handle of a window whose parent is the
//                    dialog's owner ("/c:1234" gives 1234)
//
// The Windows program follows Windows' shell instead, which starts a screen
// saver with "/S" to test it and with no argument at all to configure it,
// and does not care about case: there the switches are compared without
// regard to case and no argument opens the settings dialog (ShellSwitches).
#pragma once

#include <cstdint>
#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/gl_binding.h" // platform::WindowHandle

// The main window's run mode. Every event handler branches on it; it is
// written only while the window is created and never changes afterwards.
enum TRunMode : std::uint8_t {
    Preview = 0,   // "/p"; also the value before any mode is chosen
    Configure = 1, // the settings dialog
    Running = 2,   // the full-screen run; set as the last step of its set-up
};

// Whether the switches are read as Windows' shell writes them: in either
// case, and no argument meaning the settings dialog. On in the Windows
// program, off in the Linux one.
extern bool ShellSwitches;

// What the process does, chosen from the first argument.
enum TStartAction { StartInstall, StartUninstall, StartWindow };

// How the main window is set up, chosen from the first argument.
enum TWindowSetUp { SetUpPreview, SetUpFullScreen, SetUpConfigure };

extern const char* const ApplicationTitle;     // "Tarnwick 3D Screensaver"
extern const char* const ConfigurationCaption; // "Tarnwick 3D Screensaver Configuration"
extern const char* const MainWindowClassName;  // "TTarnwickScreensaverMainWindow"

// The application's standard error box: the error's text under the
// application title, above every other window.
void ShowErrorBox(const std::string& text);

// Runs `handler`, showing any error it raises in the application's error box.
template <typename F> bool Guard(F handler) {
    try {
        handler();
        return true;
    } catch (const std::exception& e) {
        ShowErrorBox(e.what());
    } catch (...) {
        ShowErrorBox("Unknown error");
    }
    return false;
}

// The runtime's error for text that is not a number ("'abc' is not a valid
// integer value").
class TConvertError : public std::runtime_error {
  public:
    explicit TConvertError(const std::string& text);
};

// The first and second arguments; missing ones are empty.
struct TArguments {
    std::string First;
    std::string Second;
};
// Takes the arguments after the program name (argv[1..]).
TArguments ReadArguments(const std::vector<std::string>& args);

TStartAction ChooseStartAction(const TArguments& args);
TWindowSetUp ChooseWindowSetUp(const TArguments& args);

// A window handle written in decimal, as the control panel passes it, or in
// hexadecimal after "0x", as xwininfo prints an X window's id. Values from
// -2147483648 to 4294967295 (0xFFFFFFFF) are taken (a handle is 32 bits wide
// and sign-extended on 64-bit Windows); false for anything else.
bool ParseWindowHandle(const std::string& text, platform::WindowHandle& handle);

// The preview window named by the second argument; raises TConvertError when
// it is not a number, and an error holding the usage line when it is missing.
platform::WindowHandle PreviewParent(const TArguments& args);

// The settings dialog's handle text: the first argument from its 4th
// character on, empty when it has three characters or fewer.
std::string ConfigureHandleText(const TArguments& args);
// That text as a window handle, 0 when it is not a number.
platform::WindowHandle ConfigureWindow(const TArguments& args);
