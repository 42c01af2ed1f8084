// Program entry of Tarnwick.exe.
#include "platform/win32/windows_clean.h"

#include <string>

#include "engine/support/errors.h"
#include "platform/platform.h"
#include "shell/settings.h"

// The 8-bit copy of the screensaver description, kept in the read-only data
// where the control panel's older code looks for it.
extern "C" __attribute__((used)) const char ModuleDescription[] = "SCRNSAVE Tarnwick 3D Screensaver";

namespace {
const char* const ApplicationTitle = "Tarnwick 3D Screensaver";

void ShowError(const std::string& text) { platform::MessageBox(text, ApplicationTitle, platform::MbError); }
} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    platform::MaskFloatingPointExceptions();
    TSettings settings;
    try {
        LoadSettings(settings);
    } catch (const TIoError& e) {
        ShowError(e.what());
        return 1;
    }
    return 0;
}
