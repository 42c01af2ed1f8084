#include "shell/settings.h"

#include <algorithm>
#include <cctype>
#include <climits>

#include "engine/support/errors.h"
#include "engine/support/files.h"
#include "platform/platform.h"

const char* const SettingsFileName = "tarnwick.txt";
const char* const SettingsComment = "Configuration File { home dir, exit on mouse, fps, time, time (12,24) }";
std::string HomeDir;
std::string HomeDirError;
bool SettingsFileOptional = false;
std::string ProgramFile;
std::string SystemDataFolder = "/usr/share/tarnwick";

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

// The path for a message: each control character shown as '?'.
std::string Printable(std::string path) {
    for (char& c : path)
        if (IsControlCharacter(c)) c = '?';
    return path;
}

// Set when LoadSettings found no file and took the defaults.
bool WithoutSettingsFile = false;

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
}

// No settings file: the data folder found from where the program is.
void UseDataFolder(const std::string& settingsPath) {
    std::string folder = FindDataFolder(ProgramFile, SystemDataFolder);
    if (folder.empty()) {
        std::string programFolder = ParentFolder(ProgramFile);
        HomeDirError =
            IoErrorText(IoFileNotFound) + ": " + settingsPath +
            "\nNo data folder (one that holds models/) was found beside the program in " +
            (programFolder.empty() ? std::string("?") : programFolder) +
            ", in share/tarnwick above it, or in " + SystemDataFolder +
            ". Run `tarnwick /i` in the folder that holds the data to write a settings file that names it.";
        return;
    }
    HomeDir = folder;
    if (!platform::SetCurrentDirectory(folder)) HomeDirError = "Home directory not found: " + folder;
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
    return settings;
}

std::string ReadSmallFile(const std::string& path, std::size_t maxBytes) {
    std::vector<std::uint8_t> bytes = ReadWholeFile(path, maxBytes);
    return std::string(bytes.begin(), bytes.end());
}

std::vector<std::string> ReadTextLines(const std::string& path, std::size_t maxBytes) {
    return SplitLines(ReadSmallFile(path, maxBytes));
}

std::string FindDataFolder(const std::string& programFile, const std::string& systemFolder) {
    std::string own = ParentFolder(programFile);
    std::vector<std::string> candidates;
    if (!own.empty()) {
        std::string up = ParentFolder(own);
        candidates.push_back(own);
        if (!up.empty()) {
            candidates.push_back(Join(up, "share/tarnwick"));
            std::string upTwice = ParentFolder(up);
            if (!upTwice.empty() && upTwice != up) candidates.push_back(Join(upTwice, "share/tarnwick"));
        }
    }
    if (!systemFolder.empty()) candidates.push_back(systemFolder);
    for (const std::string& folder : candidates)
        if (platform::DirectoryExists(Join(folder, "models")))
            return WithSeparator(platform::NativePath(folder));
    return "";
}

std::string SettingsFilePath() {
    return platform::SystemDirectoryPath() + platform::PathSeparator() + SettingsFileName;
}

void LoadSettings(TSettings& settings) {
    platform::SetCurrentDirectory(platform::SystemDirectoryPath());
    const std::string path = SettingsFilePath();
    HomeDir.clear();
    HomeDirError.clear();
    WithoutSettingsFile = false;
    std::vector<std::string> lines;
    try {
        lines = ReadTextLines(path, MaxSettingsFileSize);
    } catch (const TIoError& e) {
        if (!SettingsFileOptional) throw;
        if (e.Code() != IoFileNotFound)
            throw TIoError(e.Code(), std::string(e.what()) + "\nTo start afresh, remove " + path +
                                         ": the program then runs with the default choices, and OK in the "
                                         "settings dialog (tarnwick /c) writes a new settings file.");
        // Nothing to read: the default choices, and the data where the
        // program is installed. Nothing is written until the dialog's OK.
        WithoutSettingsFile = true;
        UseDataFolder(path);
        ReadChoices({}, settings);
        return;
    }

    std::string home = lines.size() > 1 ? lines[1] : std::string();
    if (!home.empty() && !EndsInSeparator(home)) home += platform::PathSeparator();
    if (home.empty()) {
        HomeDirError = std::string("The settings file ") + SettingsFileName +
                       " names no home directory on its second line";
    } else if (std::any_of(home.begin(), home.end(), IsControlCharacter)) {
        // No file system has such a directory; the text before a NUL byte
        // might name one, but it is not what the line says.
        HomeDirError = "Home directory not found: " + Printable(home);
    } else {
        HomeDir = home; // written back as it is, even while it is missing
        if (!platform::SetCurrentDirectory(home)) HomeDirError = "Home directory not found: " + home;
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
    return text;
}

void ReplaceFile(const std::string& path, const std::string& text) {
    std::string temp = path + ".new";
    try {
        WriteWholeFile(temp, text.data(), text.size());
    } catch (...) {
        platform::DeleteFile(temp);
        throw;
    }
    if (!platform::RenameFile(temp, path)) {
        platform::DeleteFile(temp);
        throw TIoError(IoAccessDenied);
    }
}

void SaveSettings(const TSettings& settings) {
    // A line that names no directory is not written back, and no other
    // line can take its place: the file stays as it was.
    if (HomeDir.empty() && WithoutSettingsFile)
        throw TIoError(IoFileNotFound, "No data folder was found to name in the settings file: the choices "
                                       "were not saved");
    if (HomeDir.empty())
        throw TIoError(IoInvalidFilename, std::string("The settings file ") + SettingsFileName +
                                              " names no valid home directory: the choices were not saved");
    platform::SetCurrentDirectory(platform::GetSystemDirectory()); // creates it when missing
    ReplaceFile(SettingsFilePath(), SettingsText(HomeDir, settings));
}
