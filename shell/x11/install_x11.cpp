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
// Installing again keeps the user's choices.
//
// "/u" asks in a box on the display; without one, on the terminal; "/u
// --yes" asks nothing. With no display, no terminal and no --yes it removes
// nothing and fails. Each run says what it did, and only that.
#include "shell/x11/window_x11.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "engine/support/errors.h"
#include "platform/platform.h"
#include "shell/install.h"
#include "shell/file_replace.h"
#include "shell/x11/gtk_x11.h"
#include "shell/xscreensaver_programs.h"
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
const char* const ClickOk = " Click OK to continue.";

std::string XScreensaverFile() {
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : "/tmp") + "/.xscreensaver";
}

// The names by which the programs list may run `program`: its path, and
// for the package's program also its bare name, which xscreensaver finds
// among its hacks.
std::vector<std::string> ProgramNames(const std::string& program, bool packaged) {
    std::vector<std::string> names = {program};
    if (packaged) names.push_back(LinuxProgramName);
    return names;
}

// Adds the hack's entry to ~/.xscreensaver (made when missing) and says
// what became of it. Raises TIoError.
std::string RegisterHack(const std::string& program, bool packaged) {
    const std::string path = XScreensaverFile();
    std::string text;
    if (platform::FileExists(path)) text = ReadSmallFile(path, MaxXScreensaverFileSize);
    switch (AddProgramEntry(text, HackEntry(program), ProgramNames(program, packaged))) {
    case ProgramAlreadyListed:
        return program + " is already in the programs list of " + path + ": nothing was added.";
    case ProgramListedOff:
        return program + " is in the programs list of " + path +
               " but switched off (a '-' in front of it): nothing was added. Switch it on in xscreensaver's "
               "settings.";
    case ProgramAdded:
        break;
    }
    ReplaceFile(path, text);
    return "Added " + program + " to the programs list of " + path +
           ": xscreensaver offers the screensaver now.";
}

// Takes the hack's entries out of ~/.xscreensaver and says what became of
// them. Raises TIoError.
std::string UnregisterHack(const std::string& program, bool packaged) {
    const std::string path = XScreensaverFile();
    if (!platform::FileExists(path))
        return "There is no " + path + ", so no programs list to remove it from.";
    std::string text = ReadSmallFile(path, MaxXScreensaverFileSize);
    if (RemoveProgramEntries(text, ProgramNames(program, packaged)) == 0)
        return program + " was not in the programs list of " + path + ": nothing to remove there.";
    ReplaceFile(path, text);
    return "Removed " + program + " from the programs list of " + path + ".";
}

// Deletes the settings file and says whether there was one.
std::string DeleteSettings(const std::string& systemDir) {
    const std::string settings = JoinPath(systemDir, SettingsFileName);
    if (!platform::FileExists(settings)) return "There were no settings to delete.";
    if (!platform::DeleteFile(settings)) return "Your settings " + settings + " could not be deleted.";
    return "Deleted your settings " + settings + ".";
}

// Whether the user agrees to `question`: in a box on the display; without
// one, on the terminal; `confirmed` (--yes) agrees at once. With neither a
// display nor a terminal, false with `refused` set.
bool Confirm(std::string question, bool confirmed, bool& refused) {
    refused = false;
    if (confirmed) return true;
    if (EnsureGtk())
        return platform::MessageBox(question, UninstallCaption, platform::MbOkCancel) == platform::IdOk;
    if (!isatty(STDIN_FILENO)) {
        refused = true;
        return false;
    }
    std::size_t ok = question.rfind(ClickOk);
    if (ok != std::string::npos) question.erase(ok);
    std::printf("%s\nContinue? [y/N] ", question.c_str());
    std::fflush(stdout);
    char answer[16] = {};
    if (!std::fgets(answer, sizeof answer, stdin)) return false;
    return answer[0] == 'y' || answer[0] == 'Y';
}

// "/u" with nothing to ask on: nothing removed, and how to go on.
int RefuseUninstall() {
    std::fprintf(stderr,
                 "tarnwick: /u asks before it removes anything, and there is no display or terminal to "
                 "ask on: nothing was removed. To uninstall without being asked, run: tarnwick /u --yes\n");
    return 1;
}

// The report of "/u", on standard output and, on a display, in a box
// unless the run was to ask nothing (--yes).
void Report(const std::string& text, bool confirmed) {
    std::printf("%s\n", text.c_str());
    if (!confirmed && EnsureGtk()) platform::MessageBox(text, UninstallCaption, platform::MbOk);
}

// Installed by a package: the program and its data stay where the package
// put them; "/i" only offers the program to the user's xscreensaver.
int InstallPackaged() {
    std::string said;
    try {
        said = RegisterHack(ProgramFile, true);
    } catch (const TIoError& e) {
        ShowErrorBox(e.what());
        return 1;
    }
    std::printf("%s\nNothing was copied: the program and its data stay where the package installed them.\n",
                said.c_str());
    return 0;
}

int UninstallPackaged(bool confirmed) {
    bool refused = false;
    if (!Confirm(PackagedUninstallQuestion, confirmed, refused)) return refused ? RefuseUninstall() : 0;
    std::string systemDir = platform::GetSystemDirectory();
    std::string said;
    try {
        said = UnregisterHack(ProgramFile, true);
    } catch (const TIoError& e) {
        ShowErrorBox(e.what());
        return 1;
    }
    said += "\n" + DeleteSettings(systemDir);
    platform::RemoveDirectory(systemDir); // only when nothing else is in it
    Report(said + "\n" + PackagedUninstallDone, confirmed);
    return 0;
}
} // namespace

const char* const PackagedUninstallQuestion =
    "This removes Tarnwick Screensaver from your xscreensaver list and deletes your settings. The package "
    "itself stays installed. Click OK to continue.";
const char* const PackagedUninstallDone = "The package itself is still installed: remove it with the package "
                                          "manager (sudo apt remove tarnwick).";

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
    std::string said;
    const std::string settings = JoinPath(systemDir, SettingsFileName);
    TSettings choices = DefaultSettings();
    bool kept = ReadSettingsChoices(settings, choices);
    try {
        ReplaceFile(settings, SettingsText(startDir, choices));
        said = RegisterHack(installed, false);
    } catch (const TIoError& e) {
        ShowErrorBox(e.what());
        return 1;
    }
    std::printf("Installed %s in %s, with %s (data folder %s).\n%s\n", LinuxProgramName, systemDir.c_str(),
                kept ? "the choices of your settings kept" : "the default settings", startDir.c_str(),
                said.c_str());
    return 0;
}

int UninstallFromHome(bool confirmed) {
    if (IsPackagedProgram(ProgramFile)) return UninstallPackaged(confirmed);
    bool refused = false;
    if (!Confirm(UninstallQuestion, confirmed, refused)) return refused ? RefuseUninstall() : 0;
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
    std::string said;
    try {
        said = UnregisterHack(installed, false);
    } catch (const TIoError& e) {
        ShowErrorBox(e.what());
        return 1;
    }
    platform::DeleteFile(installed);
    said += "\n" + DeleteSettings(systemDir);

    if (!DeleteUninstallListFiles(startDir)) return 1;
    platform::SetCurrentDirectory(startDir);
    platform::RemoveDirectory(systemDir); // only when nothing else is in it
    Report(said + "\n" + UninstallDone, confirmed);
    return 0;
}

} // namespace x11
