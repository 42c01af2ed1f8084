#include "shell/run_mode.h"

#include <cctype>
#include <cstdint>

#include "platform/platform.h"

const char* const ApplicationTitle = "Tarnwick 3D Screensaver";
const char* const ConfigurationCaption = "Tarnwick 3D Screensaver Configuration";
const char* const MainWindowClassName = "TTarnwickScreensaverMainWindow";
#ifdef _WIN32
bool ShellSwitches = true;
#else
bool ShellSwitches = false;
#endif

void ShowErrorBox(const std::string& text) {
    platform::MessageBox(text, ApplicationTitle, platform::MbError);
}

TConvertError::TConvertError(const std::string& text)
    : std::runtime_error("'" + text + "' is not a valid integer value") {}

TArguments ReadArguments(const std::vector<std::string>& args) {
    TArguments result;
    if (!args.empty()) result.First = args[0];
    if (args.size() > 1) result.Second = args[1];
    return result;
}

namespace {
// Whether the argument is the switch (written in lower case), compared as
// ShellSwitches says.
bool IsSwitch(const std::string& argument, const char* name) {
    if (!ShellSwitches) return argument == name;
    std::size_t i = 0;
    for (; i < argument.size() && name[i]; ++i)
        if (std::tolower(static_cast<unsigned char>(argument[i])) != name[i]) return false;
    return i == argument.size() && !name[i];
}
} // namespace

TStartAction ChooseStartAction(const TArguments& args) {
    if (IsSwitch(args.First, "/i")) return StartInstall;
    if (IsSwitch(args.First, "/u")) return StartUninstall;
    return StartWindow;
}

TWindowSetUp ChooseWindowSetUp(const TArguments& args) {
    if (IsSwitch(args.First, "/p")) return SetUpPreview;
    if (IsSwitch(args.First, "/s")) return SetUpFullScreen;
    // Windows' shell starts a screen saver with no argument to configure it.
    if (args.First.empty()) return ShellSwitches ? SetUpConfigure : SetUpFullScreen;
    return SetUpConfigure;
}

bool ParseWindowHandle(const std::string& text, platform::WindowHandle& handle) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    // "0x..." as xwininfo prints an X window's id; never negative.
    unsigned base = 10;
    if (!negative && i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == text.size()) return false;
    std::int64_t n = 0;
    for (; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        unsigned digit = std::isdigit(c)                  ? c - '0'
                         : base == 16 && std::isxdigit(c) ? static_cast<unsigned>(std::tolower(c) - 'a' + 10)
                                                          : base;
        if (digit >= base) return false;
        n = n * base + digit;
        if (n > 0xFFFFFFFFll) return false;
    }
    if (negative) {
        if (n > 0x80000000ll) return false;
        n = -n;
    }
    // The low 32 bits, sign-extended: how Windows widens a handle it passed as text.
    auto low = static_cast<std::int32_t>(static_cast<std::uint32_t>(n & 0xFFFFFFFFll));
    handle = static_cast<platform::WindowHandle>(static_cast<std::intptr_t>(low));
    return true;
}

platform::WindowHandle PreviewParent(const TArguments& args) {
    if (args.Second.empty())
        throw std::runtime_error(
            "Usage: /p WINDOW, the id of the window to paint the preview into (decimal, or "
            "hexadecimal with 0x as xwininfo prints it)");
    platform::WindowHandle handle = 0;
    if (!ParseWindowHandle(args.Second, handle)) throw TConvertError(args.Second);
    return handle;
}

std::string ConfigureHandleText(const TArguments& args) {
    return args.First.size() > 3 ? args.First.substr(3) : std::string();
}

platform::WindowHandle ConfigureWindow(const TArguments& args) {
    platform::WindowHandle handle = 0;
    if (!ParseWindowHandle(ConfigureHandleText(args), handle)) return 0;
    return handle;
}
