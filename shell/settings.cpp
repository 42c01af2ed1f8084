#include "shell/settings.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>

#include "engine/support/errors.h"
#include "engine/support/files.h"
#include "platform/platform.h"
#include "shell/file_replace.h"

const char* const SettingsFileName = "tarnwick.txt";
const char* const SettingsComment = "Configuration File { home dir, exit on mouse, fps, time, time (12,24) }";
std::string HomeDir;
std::string UserSettingsFolder;
std::string HomeDirError;
bool SettingsFileOptional = false;
std::string ProgramFile;
std::string SystemDataFolder = "/usr/share/tarnwick";
bool DataInShareFolders = true;
void (*SettingsNote)(const std::string& text) = nullptr;
void (*SettingsWarning)(const std::string& text) = [](const std::string& text) {
    std::fprintf(stderr, "tarnwick: %s\n", text.c_str());
};

namespace {
// CR LF, LF and a bare CR each end a line; text after the last line end is
// a line of its own.
std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(line);
            line.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            line.push_back(c);
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

int ReadInteger(const std::vector<std::string>& lines, std::size_t index, int fallback) {
    int value = fallback;
    if (index >= lines.size() || !ParseInteger(lines[index], value)) return fallback;
    return value;
}

void SetCheck(bool& control, int value) {
    if (value == 0) control = false;
    if (value == 1) control = true;
}

bool EndsInSeparator(const std::string& path) {
    return !path.empty() && (path.back() == '\\' || path.back() == platform::PathSeparator());
}

bool IsControlCharacter(char c) {
    return static_cast<unsigned char>(c) < 0x20 || c == 0x7f;
}

// Set when LoadSettings found no file and took the defaults.
bool WithoutSettingsFile = false;
// Set when a folder has the settings file's name: nothing can be saved.
bool SettingsPathIsFolder = false;

// The length of the UTF-8 sequence at `i`, 0 when it is not one.
std::size_t Utf8Length(const std::string& text, std::size_t i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    std::size_t length = c < 0x80                 ? 1
                         : c >= 0xc2 && c <= 0xdf ? 2
                         : c >= 0xe0 && c <= 0xef ? 3
                         : c >= 0xf0 && c <= 0xf4 ? 4
                                                  : 0;
    if (length == 0 || i + length > text.size()) return 0;
    for (std::size_t k = 1; k < length; ++k)
        if ((static_cast<unsigned char>(text[i + k]) & 0xc0) != 0x80) return 0;
    unsigned char next = static_cast<unsigned char>(text[i + 1 < text.size() ? i + 1 : i]);
    // Overlong forms, UTF-16 surrogates and values beyond U+10FFFF.
    if ((c == 0xe0 && next < 0xa0) || (c == 0xed && next > 0x9f) || (c == 0xf0 && next < 0x90) ||
        (c == 0xf4 && next > 0x8f))
        return 0;
    return length;
}

bool IsSeparator(char c) {
    return c == '/' || c == '\\';
}

// The folder that holds `path`: "/opt/t/bin/tarnwick" gives "/opt/t/bin",
// "/tarnwick" gives "/", a bare name gives "".
std::string ParentFolder(std::string path) {
    while (path.size() > 1 && IsSeparator(path.back()))
        path.pop_back();
    std::size_t slash = path.find_last_of("/\\");
    if (slash == std::string::npos) return "";
    return slash == 0 ? path.substr(0, 1) : path.substr(0, slash);
}

std::string Join(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    return EndsInSeparator(folder) ? folder + name : folder + platform::PathSeparator() + name;
}

std::string WithSeparator(const std::string& folder) {
    return EndsInSeparator(folder) ? folder : folder + platform::PathSeparator();
}

// Lines 3 to 6 into the choices; a missing line takes its default.
void ReadChoices(const std::vector<std::string>& lines, TSettings& settings) {
    SetCheck(settings.MouseExit, ReadInteger(lines, 2, 0));
    SetCheck(settings.FPSShow, ReadInteger(lines, 3, 0));
    SetCheck(settings.TimeShow, ReadInteger(lines, 4, 1));
    int format = ReadInteger(lines, 5, 12);
    if (format == 12) {
        settings.Time12 = true;
        settings.Time24 = false;
    } else if (format == 24) {
        settings.Time12 = false;
        settings.Time24 = true;
    }
    if (!settings.TimeShow) TimeShowChanged(settings);
    // Files written before these two lines existed have six lines: the
    // sound, on the primary monitor alone.
    SetCheck(settings.SoundOn, ReadInteger(lines, 6, 1));
    SetCheck(settings.EveryMonitor, ReadInteger(lines, 7, 0));
}

// Where the data was looked for and what to do, for a run that found none.
std::string NoDataText() {
    std::string places;
    std::vector<std::string> candidates = DataFolderCandidates(ProgramFile, SystemDataFolder);
    for (std::size_t i = 0; i < candidates.size(); ++i)
        places += (i == 0 ? "" : i + 1 == candidates.size() ? " and " : ", ") + Printable(candidates[i]);
    if (places.empty()) places = "?";
#ifdef _WIN32
    return "No data folder (one that holds models) was found: looked in " + places +
           ". Keep the program in the folder it was unpacked to, beside its models, sounds and pictures "
           "folders, or run it with /i in the folder that holds them.";
#else
    return "No data folder (one that holds models/) was found: looked in " + places +
           ". Install the package, or start the program from the unpacked distribution folder (or run "
           "`tarnwick /i` there to write a settings file that names it).";
#endif
}

// The settings file cannot name the data (`why`): the data folder found
// from where the program is, said once (not at all when `why` is empty).
// Without one HomeDirError says what went wrong (`error`, when it is one)
// and where the data was looked for.
void UseDataFolder(const std::string& why, const std::string& error) {
    std::string folder = FindDataFolder(ProgramFile, SystemDataFolder);
    if (folder.empty()) {
        HomeDirError = (error.empty() ? "" : error + "\n") + NoDataText();
        return;
    }
    HomeDir = folder;
    if (!platform::SetCurrentDirectory(folder)) {
        HomeDirError = "Home directory not found: " + folder;
        return;
    }
    if (SettingsNote && !why.empty())
        SettingsNote(why + ": the data is taken from " + folder +
                     " (OK in the settings dialog writes a settings file naming it)");
}
} // namespace

bool ParseInteger(const std::string& text, int& value) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i == text.size()) return false;
    long long n = 0;
    for (; i < text.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) return false;
        n = n * 10 + (text[i] - '0');
        if (n > static_cast<long long>(INT_MAX) + 1) return false;
    }
    if (negative) n = -n;
    if (n < INT_MIN || n > INT_MAX) return false;
    value = static_cast<int>(n);
    return true;
}

void TimeShowChanged(TSettings& settings) {
    settings.TimeFormatEnabled = settings.TimeShow;
}

TSettings DefaultSettings() {
    TSettings settings;
    settings.MouseExit = false;
    settings.FPSShow = false;
    settings.TimeShow = true;
    TimeShowChanged(settings);
    settings.Time12 = true;
    settings.Time24 = false;
    settings.SoundOn = true;
    settings.EveryMonitor = false;
    return settings;
}

std::string ReadSmallFile(const std::string& path, std::size_t maxBytes) {
    std::vector<std::uint8_t> bytes = ReadWholeFile(path, maxBytes);
    return std::string(bytes.begin(), bytes.end());
}

std::vector<std::string> ReadTextLines(const std::string& path, std::size_t maxBytes) {
    return SplitLines(ReadSmallFile(path, maxBytes));
}

bool ReadSettingsChoices(const std::string& path, TSettings& settings) {
    std::vector<std::string> lines;
    try {
        lines = ReadTextLines(path, MaxSettingsFileSize);
    } catch (const TIoError&) {
        return false;
    }
    if (lines.empty() || lines[0] != SettingsComment) return false;
    ReadChoices(lines, settings);
    return true;
}

std::vector<std::string> DataFolderCandidates(const std::string& programFile,
                                              const std::string& systemFolder) {
    std::string own = ParentFolder(programFile);
    std::vector<std::string> candidates;
    if (!own.empty()) {
        std::string up = ParentFolder(own);
        candidates.push_back(own);
        if (!up.empty() && DataInShareFolders) {
            candidates.push_back(Join(up, "share/tarnwick"));
            std::string upTwice = ParentFolder(up);
            if (!upTwice.empty() && upTwice != up) candidates.push_back(Join(upTwice, "share/tarnwick"));
        }
    }
    if (!systemFolder.empty()) candidates.push_back(systemFolder);
    return candidates;
}

std::string FindDataFolder(const std::string& programFile, const std::string& systemFolder) {
    for (const std::string& folder : DataFolderCandidates(programFile, systemFolder))
        if (platform::DirectoryExists(Join(folder, "models")))
            return WithSeparator(platform::NativePath(folder));
    return "";
}

bool IsPackagedProgram(const std::string& programFile) {
    std::string own = ParentFolder(programFile);
    if (own.empty() || platform::DirectoryExists(Join(own, "models"))) return false;
    // The share folders above it, not the system's: a copy of the program
    // elsewhere is not part of the package.
    std::vector<std::string> candidates = DataFolderCandidates(programFile, "");
    for (std::size_t i = 1; i < candidates.size(); ++i)
        if (platform::DirectoryExists(Join(candidates[i], "models"))) return true;
    return false;
}

std::string Printable(const std::string& text) {
    std::string shown;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t length = Utf8Length(text, i);
        // C1 controls (U+0080 to U+009F) are as unprintable as C0 ones.
        bool control = length == 1 ? IsControlCharacter(text[i])
                                   : length == 2 && static_cast<unsigned char>(text[i]) == 0xc2 &&
                                         static_cast<unsigned char>(text[i + 1]) < 0xa0;
        if (length == 0 || control) {
            shown += '?';
            ++i;
        } else {
            shown.append(text, i, length);
            i += length;
        }
    }
    return shown;
}

std::string SettingsFilePath() {
    return platform::SystemDirectoryPath() + platform::PathSeparator() + SettingsFileName;
}

std::string UserSettingsFilePath() {
    return UserSettingsFolder.empty() ? std::string() : Join(UserSettingsFolder, SettingsFileName);
}

void LoadSettings(TSettings& settings) {
    platform::SetCurrentDirectory(platform::SystemDirectoryPath());
    // The user's own choices when there are any, else the installer's.
    const std::string userPath = UserSettingsFilePath();
    const bool userFolderInTheWay = !userPath.empty() && platform::DirectoryExists(userPath);
    const std::string path = userFolderInTheWay || (!userPath.empty() && platform::FileExists(userPath))
                                 ? userPath
                                 : SettingsFilePath();
    HomeDir.clear();
    HomeDirError.clear();
    WithoutSettingsFile = false;
    SettingsPathIsFolder = false;
    std::vector<std::string> lines;
    if (SettingsFileOptional && platform::DirectoryExists(path)) {
        // Nothing to read, and nothing can be saved there until the folder goes.
        SettingsPathIsFolder = userFolderInTheWay || userPath.empty();
        UseDataFolder("The settings file " + Printable(path) + " is a folder, not a file", "");
        ReadChoices({}, settings);
        return;
    }
    try {
        lines = ReadTextLines(path, MaxSettingsFileSize);
    } catch (const TIoError& e) {
        if (!SettingsFileOptional) throw;
        if (e.Code() != IoFileNotFound) {
            // There but not to be read (too large, no permission): like a
            // broken file, the defaults and the data found from where the
            // program is, said in one line.
            std::string reason = e.what();
            reason = reason.substr(0, reason.find(": "));
            UseDataFolder("", "");
            ReadChoices({}, settings);
            if (SettingsWarning)
                SettingsWarning(
                    "The settings file " + Printable(path) + " cannot be read (" + Printable(reason) +
                    "): the default choices are taken" +
                    (HomeDir.empty() ? std::string() : ", and the data from " + Printable(HomeDir)) +
                    "; OK in the settings dialog writes a new settings file.");
            return;
        }
        // Nothing to read: the default choices, and the data where the
        // program is installed. Nothing is written until the dialog's OK.
        WithoutSettingsFile = true;
        UseDataFolder("No settings file " + Printable(path), "");
        ReadChoices({}, settings);
        return;
    }

    std::string home = lines.size() > 1 ? lines[1] : std::string();
    if (!home.empty() && !EndsInSeparator(home)) home += platform::PathSeparator();
    std::string problem;
    if (home.empty()) {
        problem = std::string("The settings file ") + SettingsFileName +
                  " names no home directory on its second line";
    } else if (std::any_of(home.begin(), home.end(), IsControlCharacter)) {
        // No file system has such a directory; the text before a NUL byte
        // might name one, but it is not what the line says.
        problem = "Home directory not found: " + Printable(home);
    } else if (!platform::SetCurrentDirectory(home)) {
        problem = "Home directory not found: " + Printable(home);
        if (!SettingsFileOptional) HomeDir = home; // written back as it is, even while it is missing
    } else {
        HomeDir = home;
    }
    if (!problem.empty()) {
        if (SettingsFileOptional)
            UseDataFolder(problem + " (line 2 of " + Printable(path) + ")", problem);
        else
            HomeDirError = problem;
    }
    ReadChoices(lines, settings);
}

void RequireHomeDir() {
    if (!HomeDirError.empty()) throw TIoError(IoFileNotFound, HomeDirError);
}

std::string SettingsText(const std::string& homeDir, const TSettings& settings) {
    std::string text;
    auto line = [&text](const std::string& s) { text += s + "\r\n"; };
    line(SettingsComment);
    line(homeDir);
    line(settings.MouseExit ? "1" : "0");
    line(settings.FPSShow ? "1" : "0");
    line(settings.TimeShow ? "1" : "0");
    line(settings.Time12 ? "12" : "24");
    line(settings.SoundOn ? "1" : "0");
    line(settings.EveryMonitor ? "1" : "0");
    return text;
}

void SaveSettings(const TSettings& settings) {
    const std::string path = UserSettingsFolder.empty() ? SettingsFilePath() : UserSettingsFilePath();
    if (SettingsPathIsFolder)
        throw TIoError(IoAccessDenied, "The settings file " + Printable(path) +
                                           " is a folder: the choices were not saved. Remove or rename that "
                                           "folder, then press OK again.");
    // A line that names no directory is not written back, and no other
    // line can take its place: the file stays as it was.
    if (HomeDir.empty() && (WithoutSettingsFile || SettingsFileOptional))
        throw TIoError(IoFileNotFound, "No data folder was found to name in the settings file: the choices "
                                       "were not saved");
    if (HomeDir.empty())
        throw TIoError(IoInvalidFilename, std::string("The settings file ") + SettingsFileName +
                                              " names no valid home directory: the choices were not saved");
    if (UserSettingsFolder.empty()) {
        platform::SetCurrentDirectory(platform::GetSystemDirectory()); // creates it when missing
    } else if (!platform::CreateDirectory(UserSettingsFolder)) {
        throw TIoError(IoAccessDenied, "The folder " + Printable(UserSettingsFolder) +
                                           " cannot be made: the choices were not saved");
    }
    ReplaceFile(path, SettingsText(HomeDir, settings));
}
