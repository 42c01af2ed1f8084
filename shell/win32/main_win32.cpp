// Program entry of Tarnwick.exe (installed as "Tarnwick.scr").
#include "shell/win32/window_win32.h"

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "shell/engine_calls.h"
#include "shell/install.h"
#include "shell/run_mode.h"
#include "shell/settings.h"

// The 8-bit copy of the screensaver description, kept in the read-only data
// where the control panel's older code looks for it.
extern "C" __attribute__((used)) const char ModuleDescription[] = "SCRNSAVE Tarnwick 3D Screensaver";

namespace {
std::vector<std::string> CommandLineArguments() {
    std::vector<std::string> args;
    for (int i = 1; i < __argc; ++i)
        args.emplace_back(__argv[i]);
    return args;
}

// An earlier instance's full-screen run is closed: its main window is a
// top-level window of our class under the application title. (The preview's
// window is a child of the control panel's and is never found; an earlier
// settings dialog is left alone, since closing it would re-enable the owner
// this instance may be about to disable.)
void CloseEarlierInstance() {
    if (HWND earlier = FindWindowA(MainWindowClassName, ApplicationTitle))
        PostMessageA(earlier, WM_CLOSE, 0, 0);
}
} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    platform::MaskFloatingPointExceptions();
    CloseEarlierInstance();
    win32::CreateApplicationWindow(instance, ApplicationTitle);

    // The user's choices live in the user's own folder, which a standard
    // user may write, unlike the system folder.
    std::string appData;
    if (platform::GetSpecialFolder(platform::FolderAppData, appData) && appData.back() == '\\')
        UserSettingsFolder = appData + "Tarnwick";

    TArguments args = ReadArguments(CommandLineArguments());
    switch (ChooseStartAction(args)) {
    case StartInstall:
        return Install();
    case StartUninstall:
        return Uninstall();
    case StartWindow:
        break;
    }
    // Unpacked and never installed, the screensaver still runs: without a
    // usable settings file the data is the folder the program lies in.
    SettingsFileOptional = true;
    ProgramFile = platform::GetProgramFile();
    SystemDataFolder.clear();
    DataInShareFolders = false;
    UseRealEngineCalls();
    // A creation step that failed has shown its error; nothing is left to run.
    if (!win32::CreateMainWindow(instance, args)) return 1;
    return win32::RunApplication();
}
