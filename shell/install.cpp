#include "shell/install.h"

#include <vector>

#include "engine/support/errors.h"
#include "platform/platform.h"
#include "shell/run_mode.h"
#include "shell/file_replace.h"
#include "shell/settings.h"

const char* const ProgramFileName = "Tarnwick.exe";
const char* const ScreensaverFileName = "Tarnwick.scr";
const char* const UninstallListName = "uninstall.lst";
const char* const UninstallCaption = "Uninstall";
const char* const UninstallQuestion =
    "This program will uninstall Tarnwick Screensaver from your hard drive. Click OK to continue.";
const char* const UninstallDone = "Tarnwick Screensaver has been successfully removed from your hard drive.";

namespace {
const char* const DesktopShortcut = "Tarnwick Screensaver.lnk";
const char* const StartMenuFolder = "Tarnwick Screensaver\\";
const char* const StartMenuShortcuts[] = {
    "Tarnwick Screensaver\\Tarnwick Screensaver.lnk",
    "Tarnwick Screensaver\\Moonquill Website.lnk",
    "Tarnwick Screensaver\\Uninstall Tarnwick Screensaver.lnk",
};

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// A special folder usable as a prefix: named by the system and ending in a
// separator. A path the system cut short (no separator at its end) would
// glue the shortcut's name onto some other file's name, so it is not used.
bool ShortcutFolder(platform::TSpecialFolder folder, std::string& path) {
    return platform::GetSpecialFolder(folder, path) && !path.empty() && IsSeparator(path.back());
}

// A component made of dots and spaces with two or more dots: Windows reads
// "..", "... " and ". ." all as the parent directory or worse.
bool ClimbsOut(const std::string& component) {
    int dots = 0;
    for (char c : component) {
        if (c == '.')
            ++dots;
        else if (c != ' ')
            return false;
    }
    return dots >= 2;
}
} // namespace

std::string JoinPath(const std::string& dir, const std::string& name) {
    if (dir.empty()) return name;
    if (IsSeparator(dir.back())) return dir + name;
    return dir + platform::PathSeparator() + name;
}

TUninstallEntry CheckUninstallEntry(const std::string& line) {
    if (line.find_first_not_of(" \t") == std::string::npos) return EntrySkipped;
    // "\x", "/x", "\\server\x": from the root; "C:x", "C:\x", "x:stream": a drive or a stream.
    if (IsSeparator(line[0]) || line.find(':') != std::string::npos) return EntryRefused;
    std::size_t start = 0;
    while (start <= line.size()) {
        std::size_t end = start;
        while (end < line.size() && !IsSeparator(line[end]))
            ++end;
        if (ClimbsOut(line.substr(start, end - start))) return EntryRefused;
        start = end + 1;
    }
    return EntryDelete;
}

bool DeleteUninstallListFiles(const std::string& startDir) {
    std::string list = JoinPath(startDir, UninstallListName);
    if (platform::FileExists(list)) {
        std::vector<std::string> lines;
        try {
            lines = ReadTextLines(list, MaxUninstallListSize);
        } catch (const TIoError& e) {
            ShowErrorBox(e.what());
            return false;
        }
        std::string refused;
        for (const std::string& line : lines) {
            switch (CheckUninstallEntry(line)) {
            case EntrySkipped:
                break;
            case EntryDelete:
                platform::DeleteFile(JoinPath(startDir, line));
                break;
            case EntryRefused:
                refused += "\r\n" + line;
                break;
            }
        }
        if (!refused.empty())
            platform::MessageBox(std::string("These entries of ") + UninstallListName +
                                     " were not removed because they name files outside " + startDir + ":" +
                                     refused,
                                 UninstallCaption, platform::MbError);
    }
    return true;
}

int Install() {
    std::string startDir = platform::GetCurrentDirectory();
    std::string systemDir = platform::GetSystemDirectory();
    platform::SetCurrentDirectory(systemDir);
    std::string installed = JoinPath(systemDir, ScreensaverFileName);

    // Unpacked from the zip, the program already carries the installed name.
    std::string program = JoinPath(startDir, ProgramFileName);
    if (!platform::FileExists(program)) program = JoinPath(startDir, ScreensaverFileName);
    // Without the program there is nothing to select in the display settings.
    if (!platform::CopyFile(program, installed)) {
        ShowErrorBox(std::string(ProgramFileName) + " could not be copied from " + startDir + " to " +
                     installed + ". Nothing was installed.");
        return 1;
    }
    try {
        // Installed before: the user's choices stay, the data folder is this one.
        const std::string settingsFile = JoinPath(systemDir, SettingsFileName);
        TSettings choices = DefaultSettings();
        ReadSettingsChoices(settingsFile, choices);
        ReplaceFile(settingsFile, SettingsText(startDir, choices));
    } catch (const TIoError& e) {
        ShowErrorBox(e.what());
        return 1;
    }
    platform::ShowScreensaverSettings(installed);
    return 0;
}

int Uninstall() {
    if (platform::MessageBox(UninstallQuestion, UninstallCaption, platform::MbOkCancel) != platform::IdOk)
        return 0;
    std::string startDir = platform::GetCurrentDirectory();

    std::string folder;
    if (ShortcutFolder(platform::FolderDesktop, folder)) platform::DeleteFile(folder + DesktopShortcut);
    if (ShortcutFolder(platform::FolderPrograms, folder)) {
        for (const char* shortcut : StartMenuShortcuts)
            platform::DeleteFile(folder + shortcut);
        platform::RemoveDirectory(folder + StartMenuFolder); // only when nothing else is in it
    }

    std::string systemDir = platform::GetSystemDirectory();
    platform::SetCurrentDirectory(systemDir);
    platform::DeleteFile(JoinPath(systemDir, ScreensaverFileName));
    platform::DeleteFile(JoinPath(systemDir, SettingsFileName));
    // The user's own choices go too, and their folder when nothing else is in it.
    if (!UserSettingsFolder.empty()) {
        platform::DeleteFile(UserSettingsFilePath());
        platform::RemoveDirectory(UserSettingsFolder);
    }

    if (!DeleteUninstallListFiles(startDir)) return 1;
    platform::MessageBox(UninstallDone, UninstallCaption, platform::MbOk);
    return 0;
}
