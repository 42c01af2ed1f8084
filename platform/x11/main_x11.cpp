// Program entry of the Linux program `tarnwick`.
#include <cstdio>

#include "engine/support/errors.h"
#include "platform/platform.h"
#include "shell/settings.h"

int main() {
    platform::MaskFloatingPointExceptions();
    TSettings settings;
    try {
        LoadSettings(settings);
    } catch (const TIoError& e) {
        platform::MessageBox(e.what(), "Tarnwick 3D Screensaver", platform::MbError);
        return 1;
    }
    return 0;
}
