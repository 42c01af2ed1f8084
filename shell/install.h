// Installing and uninstalling: "/i" and "/u" on the command line.
//
// Install copies "Tarnwick.exe" (or, without it, "Tarnwick.scr", as the zip
// ships it) from the directory current at start (the one that holds the
// program and its data) to "Tarnwick.scr" in the system directory, writes
// the settings file there naming that directory as home (with the choices of
// the settings file already there, else the defaults), and opens
// the system's screensaver settings with it selected.
//
// Uninstall, once the user confirms, removes the desktop and Start menu
// shortcuts, "Tarnwick.scr" and "tarnwick.txt" from the system directory,
// and the files named in "uninstall.lst" of the directory current at start.
// The list holds one name per line, relative to that directory; empty lines
// are skipped, and names that would reach outside it (absolute names, drive
// names, ".." steps) are refused and reported, never deleted.
//
// Neither creates a window; each returns the process's exit code.
#pragma once

#include <cstddef>
#include <string>

extern const char* const ProgramFileName;     // "Tarnwick.exe"
extern const char* const ScreensaverFileName; // "Tarnwick.scr"
extern const char* const UninstallListName;   // "uninstall.lst"
extern const char* const UninstallCaption;    // "Uninstall"
extern const char* const UninstallQuestion;
extern const char* const UninstallDone;

// The largest uninstall list taken; a real one is a few kilobytes.
constexpr std::size_t MaxUninstallListSize = 1024 * 1024;

int Install();
int Uninstall();

// What Uninstall does with one line of the uninstall list.
enum TUninstallEntry {
    EntrySkipped, // empty (or blank): nothing to delete
    EntryDelete,  // a name inside the start directory
    EntryRefused, // absolute, on a drive, or climbing out with ".."
};
TUninstallEntry CheckUninstallEntry(const std::string& line);

// Deletes the files that `startDir`'s uninstall list names, when there is a
// list: empty lines are skipped, names outside `startDir` are refused and
// listed in an error box. False (after the error box) when the list cannot
// be read.
bool DeleteUninstallListFiles(const std::string& startDir);

// `name` inside `dir`, with exactly one separator between them.
std::string JoinPath(const std::string& dir, const std::string& name);
