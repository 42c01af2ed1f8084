// "/i" and "/u" on Linux: everything in the user's home, no root needed.
//
//   what                          where
//   the installed program         $XDG_CONFIG_HOME/tarnwick/tarnwick (~/.config/tarnwick/tarnwick)
//   the settings file             $XDG_CONFIG_HOME/tarnwick/tarnwick.txt
//   the hack's entry              one line of the `programs:` list in ~/.xscreensaver
//   shortcuts removed by "/u"     "Tarnwick Screensaver.desktop" on the desktop, and
//                                 "Tarnwick Screensaver/" in ~/.local/share/applications
//
// "/i" copies `tarnwick` from the folder it is started in (the distribution
// folder, beside models/, sounds/ and pictures/), writes the default settings
// naming that folder as home, and adds the hack to the user's xscreensaver
// list when the user has one; nothing else of that file changes. "/u" asks
// first and removes exactly that: the program, the settings, the hack's line,
// the folder once empty, the shortcuts and the files of "uninstall.lst".
#include "shell/x11/window_x11.h"

#include <cstdio>
#include <cstdlib>

#include "engine/support/errors.h"
#include "platform/platform.h"
#include "shell/install.h"
#include "shell/settings.h"

namespace x11 {

namespace {
const char* const LinuxProgramName = "tarnwick";
const char* const DesktopShortcut = "Tarnwick Screensaver.desktop";
const char* const MenuFolder = "Tarnwick Screensaver";
const char* const MenuShortcuts[] = {
    "Tarnwick Screensaver/Tarnwick Screensaver.desktop",
    "Tarnwick Screensaver/Moonquill Website.desktop",
    "Tarnwick Screensaver/Uninstall Tarnwick Screensaver.desktop",
};
constexpr std::size_t MaxXScreensaverFileSize = 1024 * 1024;

std::string XScreensaverFile() {
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : "/tmp") + "/.xscreensaver";
}

// The hack's line in the `programs:` list: a GL visual, the installed
// program, drawing into xscreensaver's window.
std::string HackEntry(const std::string& program) {
    return "  GL: \t\t\t\t" + program + " -root\t\t\t\t    \\n\\";
}
bool IsOurEntry(const std::string& line, const std::string& program) {
    return line.find(program + " -root") != std::string::npos;
}

std::vector<std::string> SplitKeepingEnds(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end + 1;
        lines.push_back(text.substr(start, end - start));
        start = end;
    }
    return lines;
}

std::string WithoutEnd(std::string line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.pop_back();
    return line;
}

// Adds the entry after the `programs:` line; false (nothing written) when
// the file has no such list that goes on over several lines.
bool RegisterHack(const std::string& program, std::string& note) {
    std::string path = XScreensaverFile();
    if (!platform::FileExists(path)) {
        note = "xscreensaver: no " + path +
               "; to add the screensaver, put this line in its programs list:\n" + HackEntry(program);
        return false;
    }
    std::vector<std::string> lines = SplitKeepingEnds(ReadSmallFile(path, MaxXScreensaverFileSize));
    for (const std::string& line : lines)
        if (IsOurEntry(line, program)) return true; // installed before
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].compare(0, 9, "programs:") != 0) continue;
        if (WithoutEnd(lines[i]).empty() || WithoutEnd(lines[i]).back() != '\\') break;
        lines.insert(lines.begin() + static_cast<long>(i) + 1, HackEntry(program) + "\n");
        std::string text;
        for (const std::string& l : lines)
            text += l;
        ReplaceFile(path, text);
        return true;
    }
    note = "xscreensaver: " + path + " has no programs list to add to; add this line to it:\n" +
           HackEntry(program);
    return false;
}

void UnregisterHack(const std::string& program) {
    std::string path = XScreensaverFile();
    if (!platform::FileExists(path)) return;
    std::vector<std::string> lines = SplitKeepingEnds(ReadSmallFile(path, MaxXScreensaverFileSize));
    std::string text;
    bool found = false;
    for (const std::string& line : lines) {
        if (IsOurEntry(line, program))
            found = true;
        else
            text += line;
    }
    if (found) ReplaceFile(path, text);
}
} // namespace

int InstallInHome() {
    std::string startDir = platform::GetCurrentDirectory();
    std::string systemDir = platform::GetSystemDirectory();
    platform::SetCurrentDirectory(systemDir);
    std::string installed = JoinPath(systemDir, LinuxProgramName);
    if (!platform::CopyFile(JoinPath(startDir, LinuxProgramName), installed)) {
        ShowErrorBox(std::string(LinuxProgramName) + " could not be copied from " + startDir + " to " +
                     installed + ". Nothing was installed.");
        platform::RemoveDirectory(systemDir); // only when nothing else is in it
        return 1;
    }
    std::string note;
    try {
        ReplaceFile(JoinPath(systemDir, SettingsFileName), SettingsText(startDir, DefaultSettings()));
        RegisterHack(installed, note);
    } catch (const TIoError& e) {
        ShowErrorBox(e.what());
        return 1;
    }
    std::printf("Installed %s with its settings in %s (home directory %s).\n", LinuxProgramName,
                systemDir.c_str(), startDir.c_str());
    if (!note.empty()) std::printf("%s\n", note.c_str());
    return 0;
}

int UninstallFromHome() {
    if (platform::MessageBox(UninstallQuestion, UninstallCaption, platform::MbOkCancel) != platform::IdOk)
        return 0;
    std::string startDir = platform::GetCurrentDirectory();

    std::string folder;
    if (platform::GetSpecialFolder(platform::FolderDesktop, folder))
        platform::DeleteFile(folder + DesktopShortcut);
    if (platform::GetSpecialFolder(platform::FolderPrograms, folder)) {
        for (const char* shortcut : MenuShortcuts)
            platform::DeleteFile(folder + shortcut);
        platform::RemoveDirectory(folder + MenuFolder);
    }

    std::string systemDir = platform::GetSystemDirectory();
    platform::SetCurrentDirectory(systemDir);
    std::string installed = JoinPath(systemDir, LinuxProgramName);
    try {
        UnregisterHack(installed);
    } catch (const TIoError& e) {
        ShowErrorBox(e.what());
        return 1;
    }
    platform::DeleteFile(installed);
    platform::DeleteFile(JoinPath(systemDir, SettingsFileName));

    if (!DeleteUninstallListFiles(startDir)) return 1;
    platform::SetCurrentDirectory(startDir);
    platform::RemoveDirectory(systemDir); // only when nothing else is in it
    platform::MessageBox(UninstallDone, UninstallCaption, platform::MbOk);
    return 0;
}

} // namespace x11
