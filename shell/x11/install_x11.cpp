// "/i" and "/u" on Linux: everything in the user's home, no root needed.
//
//   what                          where
//   the installed program         $XDG_CONFIG_HOME/tarnwick/tarnwick (~/.config/tarnwick/tarnwick)
//   the settings file             $XDG_CONFIG_HOME/tarnwick/tarnwick.txt
//   the hack's entry              one line of the `programs:` list in ~/.xscreensaver
//   shortcuts removed by "/u"     "Tarnwick Screensaver.desktop" on the desktop, and
//                                 "Tarnwick Screensaver/" in ~/.local/share/applications
//
// Run from an installed package (its data in share/tarnwick above it), "/i"
// copies nothing and only adds the packaged program to ~/.xscreensaver, and
// "/u" removes that line and the user's settings; the package stays.
//
// Otherwise "/i" copies `tarnwick` from the folder it is started in (the distribution
// folder, beside models/, sounds/ and pictures/), writes the default settings
// naming that folder as home, and adds the hack to the user's xscreensaver
// list (a list, or the file, is made when missing); nothing else of that
// file changes. "/u" asks
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

// Adds the entry to the `programs:` list; a file without one gets a list
// holding the entry, at its end (a new file when there is none). False
// (nothing written) when the list is one line that ends without a
// continuation, which cannot take another entry.
bool RegisterHack(const std::string& program, std::string& note) {
    std::string path = XScreensaverFile();
    std::vector<std::string> lines;
    if (platform::FileExists(path)) lines = SplitKeepingEnds(ReadSmallFile(path, MaxXScreensaverFileSize));
    for (const std::string& line : lines)
        if (IsOurEntry(line, program)) return true; // installed before
    std::size_t list = 0;
    while (list < lines.size() && lines[list].compare(0, 9, "programs:") != 0)
        ++list;
    if (list == lines.size()) {
        if (!lines.empty() && lines.back().back() != '\n') lines.back() += "\n";
        lines.push_back("programs:\t\t\t\t\t\t\t      \\\n");
        lines.push_back(HackEntry(program) + "\n");
        lines.push_back("\n");
    } else if (!WithoutEnd(lines[list]).empty() && WithoutEnd(lines[list]).back() == '\\') {
        lines.insert(lines.begin() + static_cast<long>(list) + 1, HackEntry(program) + "\n");
    } else {
        note = "xscreensaver: the programs list of " + path +
               " cannot take another line; add this one to it:\n" + HackEntry(program);
        return false;
    }
    std::string text;
    for (const std::string& l : lines)
        text += l;
    ReplaceFile(path, text);
    return true;
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
// Installed by a package: the program and its data stay where the package
// put them; "/i" only offers the program to the user's xscreensaver.
int InstallPackaged() {
    std::string note;
    try {
        if (!RegisterHack(ProgramFile, note)) {
            std::printf("%s\n", note.c_str());
            return 1;
        }
    } catch (const TIoError& e) {
        ShowErrorBox(e.what());
        return 1;
    }
    std::printf("Added %s to the programs list of %s: xscreensaver offers the screensaver now.\n"
                "Nothing was copied: the program and its data stay where the package installed them.\n",
                ProgramFile.c_str(), XScreensaverFile().c_str());
    return 0;
}

int UninstallPackaged() {
    if (platform::MessageBox(PackagedUninstallQuestion, UninstallCaption, platform::MbOkCancel) !=
        platform::IdOk)
        return 0;
    std::string systemDir = platform::GetSystemDirectory();
    try {
        UnregisterHack(ProgramFile);
    } catch (const TIoError& e) {
        ShowErrorBox(e.what());
        return 1;
    }
    platform::DeleteFile(JoinPath(systemDir, SettingsFileName));
    platform::RemoveDirectory(systemDir); // only when nothing else is in it
    std::printf("%s\n", PackagedUninstallDone);
    platform::MessageBox(PackagedUninstallDone, UninstallCaption, platform::MbOk);
    return 0;
}
} // namespace

const char* const PackagedUninstallQuestion =
    "This removes Tarnwick Screensaver from your xscreensaver list and deletes your settings. The package "
    "itself stays installed. Click OK to continue.";
const char* const PackagedUninstallDone =
    "Tarnwick Screensaver has been removed from your xscreensaver list and your settings were deleted. The "
    "package itself is still installed: remove it with the package manager (sudo apt remove tarnwick).";

int InstallInHome() {
    if (IsPackagedProgram(ProgramFile)) return InstallPackaged();
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
    if (IsPackagedProgram(ProgramFile)) return UninstallPackaged();
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
