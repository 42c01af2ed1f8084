#include "shell/settings.h"

#include <cctype>
#include <climits>

#include "engine/support/errors.h"
#include "engine/support/files.h"
#include "platform/platform.h"

const char* const SettingsFileName = "tarnwick.txt";
const char* const SettingsComment = "Configuration File { home dir, exit on mouse, fps, time, time (12,24) }";
std::string HomeDir;

namespace {
// The file's lines without their CR LF (or bare LF).
std::vector<std::string> SplitLines(const std::vector<std::uint8_t>& bytes) {
    std::vector<std::string> lines;
    std::string line;
    for (std::uint8_t b : bytes) {
        if (b == '\n') {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            lines.push_back(line);
            line.clear();
        } else {
            line.push_back(static_cast<char>(b));
        }
    }
    if (!line.empty()) {
        if (line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
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

std::string SystemFile() {
    std::string dir = platform::GetSystemDirectory();
    platform::SetCurrentDirectory(dir);
    return dir + platform::PathSeparator() + SettingsFileName;
}
} // namespace

bool ParseInteger(const std::string& text, int& value) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
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

void TimeShowChanged(TSettings& settings) { settings.TimeFormatEnabled = settings.TimeShow; }

void LoadSettings(TSettings& settings) {
    std::vector<std::string> lines = SplitLines(ReadWholeFile(SystemFile()));

    std::string home = lines.size() > 1 ? lines[1] : std::string();
    if (home.empty())
        throw TIoError(IoInvalidFilename, std::string("The settings file ") + SettingsFileName +
                                              " names no home directory on its second line");
    if (home.back() != platform::PathSeparator() && home.back() != '\\') home += platform::PathSeparator();
    if (!platform::SetCurrentDirectory(home)) throw TIoError(IoFileNotFound, "Home directory not found: " + home);
    HomeDir = home;

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
    TimeShowChanged(settings);
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
    WriteWholeFile(temp, text.data(), text.size());
    if (!platform::RenameFile(temp, path)) {
        platform::DeleteFile(temp);
        throw TIoError(IoAccessDenied);
    }
}

void SaveSettings(const TSettings& settings) { ReplaceFile(SystemFile(), SettingsText(HomeDir, settings)); }
