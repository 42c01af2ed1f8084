// libFuzzer target: the settings file reader on arbitrary bytes, read the way
// the program reads it, as "tarnwick.txt" in the system directory (here a
// scratch folder made the configuration home).
//
// A file either loads or raises a TIoError. A loaded one gives exactly one
// clock format, radio buttons enabled exactly when the clock shows, and
// either a home directory free of control characters that ends in a
// separator or none with the reason why; and the file written back from what
// was loaded reads again as the same choices and home directory.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

#include "engine/support/errors.h"
#include "platform/platform.h"
#include "shell/settings.h"

namespace {

// The settings file: under $SETTINGS_FUZZ_SCRATCH if set (the test script
// gives it a folder it removes), else under /dev/shm or /tmp.
const std::string& SettingsPath() {
    static const std::string path = [] {
        const char* dir = std::getenv("SETTINGS_FUZZ_SCRATCH");
        std::string home = dir && *dir ? dir
                                       : std::string(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") +
                                             "/settings_fuzz." + std::to_string(getpid());
        setenv("XDG_CONFIG_HOME", home.c_str(), 1);
        platform::GetSystemDirectory(); // makes the folder
        return SettingsFilePath();
    }();
    return path;
}

void WriteFile(const std::string& path, const void* data, std::size_t size) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    if (size && std::fwrite(data, 1, size, f) != size) std::abort();
    std::fclose(f);
}

bool Same(const TSettings& a, const TSettings& b) {
    return a.MouseExit == b.MouseExit && a.FPSShow == b.FPSShow && a.TimeShow == b.TimeShow &&
           a.Time12 == b.Time12 && a.Time24 == b.Time24 && a.TimeFormatEnabled == b.TimeFormatEnabled;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& path = SettingsPath();
    WriteFile(path, data, size);
    TSettings loaded;
    HomeDir.clear();
    try {
        LoadSettings(loaded);
    } catch (const TIoError&) {
        return 0;
    }
    if (loaded.Time12 == loaded.Time24 || loaded.TimeFormatEnabled != loaded.TimeShow) __builtin_trap();
    // A home line that names no directory the dialog could write back leaves
    // HomeDir empty, and the reason must be there for the full-screen run.
    const std::string home = HomeDir;
    if (home.empty()) {
        if (HomeDirError.empty()) __builtin_trap();
        return 0;
    }
    if (home.back() != '\\' && home.back() != platform::PathSeparator()) __builtin_trap();
    for (char c : home)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) __builtin_trap();

    const std::string text = SettingsText(home, loaded);
    WriteFile(path, text.data(), text.size());
    TSettings again;
    HomeDir.clear();
    try {
        LoadSettings(again);
    } catch (const TIoError&) {
        __builtin_trap();
    }
    if (!Same(again, loaded) || HomeDir != home) __builtin_trap();
    return 0;
}
