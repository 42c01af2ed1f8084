// The settings file "tarnwick.txt": the user's own in UserSettingsFolder
// when there is one, else the one in the system directory.
//
// Eight text lines, each ending in CR LF:
//   1  comment            "Configuration File { home dir, exit on mouse, fps, time, time (12,24) }"
//   2  home directory     the data directory; a separator is appended when missing
//   3  exit on mouse move "1" or "0"   (0 if not a number)
//   4  show FPS           "1" or "0"   (0 if not a number)
//   5  show time          "1" or "0"   (1 if not a number)
//   6  clock format       "12" or "24" (12 if not a number)
//   7  play sound         "1" or "0"   (1 if not a number)
//   8  every monitor      "1" or "0"   (0 if not a number)
// A value other than the expected ones leaves the choice as it was. A line
// missing at the end reads as empty text and takes its default. A home line
// that is empty or holds control characters names no directory. Lines may
// end in CR LF, LF or CR.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "shell/file_replace.h" // ReplaceFile, with which the settings file is written

// The user's choices, as the dialog's controls hold them. The initial values
// are those of the window definition.
struct TSettings {
    bool MouseExit = false; // "Exit On Mouse Move"
    bool FPSShow = false;   // "Show FPS"
    bool TimeShow = true;   // "Show Time"
    bool Time12 = true;     // "12 hrs"
    bool Time24 = false;    // "24 hrs"
    // "12 hrs" and "24 hrs" can be chosen only while "Show Time" is checked.
    bool TimeFormatEnabled = true;
    bool SoundOn = true;       // "Play Sound": the waterfall plays
    bool EveryMonitor = false; // "Show On Every Monitor": the lake on each, not the primary alone
};

extern const char* const SettingsFileName; // "tarnwick.txt"
extern const char* const SettingsComment;  // line 1
extern std::string HomeDir;                // the data directory, ending in a separator once read
// The folder of the user's own settings file, which LoadSettings reads
// before the system directory's and SaveSettings writes (creating the
// folder). The Windows program sets it to %APPDATA%\Tarnwick: a standard
// user may not write the system directory, whose file stays the installer's
// default. Empty: the system directory's file is the user's (Linux, whose
// system directory is already in the user's home).
extern std::string UserSettingsFolder;
extern std::string HomeDirError; // why HomeDir is not the current directory; empty when it is

// Both programs run without a settings file. At start they set
// SettingsFileOptional and ProgramFile: a settings file that is missing, is a
// folder, or whose home line is empty, broken or names a folder that is not
// there then gives the default choices for what it cannot give and the data
// folder FindDataFolder finds for the program; SettingsNote says which and
// why. A settings file that is there but cannot be read is reported with how
// to make a new one. Left unset (the tests' strict rules) a missing file is
// the runtime's "File not found" and a bad home line an error.
extern bool SettingsFileOptional;
extern std::string ProgramFile;      // the running program's full path
extern std::string SystemDataFolder; // "/usr/share/tarnwick", the last place looked in; empty: none
// Whether share/tarnwick above the program's folder is looked in (Linux's
// installed trees); the Windows program keeps its data beside itself.
extern bool DataInShareFolders;
// Called once by LoadSettings when it took the data from where the program
// is instead of from a settings file, with which folder and why; null: nothing said.
extern void (*SettingsNote)(const std::string& text);

// Called by LoadSettings with one line when a settings file is there but
// cannot be read (too large, no permission): the default choices are taken
// instead. Writes the line to standard error unless set otherwise.
extern void (*SettingsWarning)(const std::string& text);

// The largest settings file taken; a real one is a few hundred bytes.
constexpr std::size_t MaxSettingsFileSize = 64 * 1024;

// Reads the settings file (the user's own when it is there, else the
// system directory's) into `settings`, sets
// HomeDir and makes it the current directory. Raises TIoError: "File not
// found" when there is no file (unless SettingsFileOptional). A home
// directory that is not there and no data folder in its place raises nothing
// here: the system directory stays current, HomeDirError says why and where
// the data was looked for, and HomeDir is empty unless the line could name a
// directory.
void LoadSettings(TSettings& settings);
// Raises HomeDirError as a TIoError when LoadSettings found no home
// directory: the full-screen run and the preview need one, the dialog not.
void RequireHomeDir();

// The data folder of the program at `programFile`, with a trailing
// separator: the first of these that holds a models/ folder, else empty.
//   1  the program's own folder (the distribution folder, data beside it)
//   2  share/tarnwick under the folder above it (the program in PREFIX/bin/)
//   3  share/tarnwick two folders up (PREFIX/libexec/xscreensaver/)
//   4  `systemFolder`
// So an installed tree works wherever it is unpacked. Without
// DataInShareFolders only 1 and 4 are looked in.
std::string FindDataFolder(const std::string& programFile, const std::string& systemFolder);
// The folders FindDataFolder looks in, in its order.
std::vector<std::string> DataFolderCandidates(const std::string& programFile,
                                              const std::string& systemFolder);

// Whether the program at `programFile` is part of an installed tree (a
// package): no data beside it, its data in share/tarnwick above it.
bool IsPackagedProgram(const std::string& programFile);

// `text` for a message: control characters (C0 and C1) and bytes that are
// not UTF-8 shown as '?'.
std::string Printable(const std::string& text);

// Writes the eight lines to the user's settings file, or without a
// UserSettingsFolder to the system directory (either folder created when missing),
// replacing the file only once the new one is complete. Raises TIoError on
// failure, and before writing anything when HomeDir is empty or the settings
// file's name is taken by a folder.
void SaveSettings(const TSettings& settings);

// The full path of the system directory's settings file; nothing is created or changed.
std::string SettingsFilePath();
// The full path of the user's own settings file; empty without a UserSettingsFolder.
std::string UserSettingsFilePath();

// The settings file's text for a home directory and choices.
std::string SettingsText(const std::string& homeDir, const TSettings& settings);

// The bytes of a small file: larger than `maxBytes` raises TIoError ("File
// too large: NAME") before anything is allocated for it; a missing one "File
// not found".
std::string ReadSmallFile(const std::string& path, std::size_t maxBytes);

// The lines of a text file without their line ends. A file larger than
// `maxBytes` raises TIoError ("File too large: NAME") before anything is
// taken from it; a missing one "File not found".
std::vector<std::string> ReadTextLines(const std::string& path, std::size_t maxBytes);

// The choices of the settings file at `path` into `settings`, as
// LoadSettings reads them; the home line and the current directory are left
// alone. False (`settings` untouched) when there is no such file, it cannot
// be read, or its first line is not the settings file's comment.
bool ReadSettingsChoices(const std::string& path, TSettings& settings);

// Whole-string decimal integer as the runtime reads it ("12", "-1", " 7");
// false for anything else, including numbers beyond 32 bits.
bool ParseInteger(const std::string& text, int& value);

// Applies the "Show Time" rule to the radio buttons.
void TimeShowChanged(TSettings& settings);
// What "Restore Defaults" puts into the controls.
TSettings DefaultSettings();
