// What the shell's tests share: a scratch folder that stands in for the
// system directory, the user's folders and the program's folder, and a
// message box that answers as the test says and remembers what it showed.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/support/errors.h"
#include "platform/platform.h"
#include "shell/settings.h"

struct TShownBox {
    std::string Text;
    std::string Caption;
    platform::TMessageBoxKind Kind;
};

inline std::vector<TShownBox> ShownBoxes;
// What LoadSettings said about the data folder it took.
inline std::vector<std::string> SettingsNotes;
// The lines LoadSettings wrote to standard error.
inline std::vector<std::string> SettingsWarnings;
inline platform::TMessageBoxAnswer NextAnswer = platform::IdOk;

inline platform::TMessageBoxAnswer RecordBox(const std::string& text, const std::string& caption,
                                             platform::TMessageBoxKind kind) {
    ShownBoxes.push_back({text, caption, kind});
    return kind == platform::MbOkCancel ? NextAnswer : platform::IdOk;
}

// A folder and all the folders above it that are missing.
inline void MakeDirs(const std::string& path) {
    for (std::size_t i = 1; i <= path.size(); ++i)
        if (i == path.size() || path[i] == '/') mkdir(path.substr(0, i).c_str(), 0755);
}

// A fresh folder per test: $HOME and $XDG_CONFIG_HOME point into it, so the
// system directory is Root()/config/tarnwick, and it is removed afterwards.
class ShellTest : public ::testing::Test {
  protected:
    std::string root;

    void SetUp() override {
        char pattern[] = "/tmp/tarnwick-shell.XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root = pattern;
        setenv("HOME", root.c_str(), 1);
        setenv("XDG_CONFIG_HOME", (root + "/config").c_str(), 1);
        unsetenv("XDG_DATA_HOME");
        // The Windows program's rules, until a test takes the Linux program's
        // (UseLinuxRules); the system's data folder is the test's own.
        SettingsFileOptional = false;
        UserSettingsFolder.clear();
        ProgramFile.clear();
        SystemDataFolder = root + "/usr/share/tarnwick";
        DataInShareFolders = true;
        SettingsNotes.clear();
        SettingsNote = [](const std::string& text) { SettingsNotes.push_back(text); };
        SettingsWarnings.clear();
        SettingsWarning = [](const std::string& text) { SettingsWarnings.push_back(text); };
        IoErrorsNameFiles = false;
        ShownBoxes.clear();
        NextAnswer = platform::IdOk;
        platform::SetMessageBoxHandler(RecordBox);
    }
    void TearDown() override {
        platform::SetMessageBoxHandler(nullptr);
        if (chdir("/") != 0) ADD_FAILURE() << "cannot leave the scratch folder";
        nftw(
            root.c_str(), [](const char* path, const struct stat*, int, FTW*) { return ::remove(path); }, 16,
            FTW_DEPTH | FTW_PHYS);
    }

    std::string SystemDir() const { return root + "/config/tarnwick"; }

    // What the Windows program sets at start, as if it ran from `programFile`.
    static void UseWindowsRules(const std::string& programFile) {
        SettingsFileOptional = true;
        ProgramFile = programFile;
        SystemDataFolder.clear();
        DataInShareFolders = false;
    }
    // What the Linux program sets at start, as if it ran from `programFile`.
    static void UseLinuxRules(const std::string& programFile) {
        SettingsFileOptional = true;
        ProgramFile = programFile;
        IoErrorsNameFiles = true;
    }
    std::string SettingsPath() const { return SystemDir() + "/tarnwick.txt"; }

    static void MakeDir(const std::string& path) { mkdir(path.c_str(), 0755); }
    static void WriteText(const std::string& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }
    static std::string ReadText(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    static bool Exists(const std::string& path) {
        struct stat st {};
        return ::stat(path.c_str(), &st) == 0;
    }
    // A settings file of the given lines, each ending in CR LF.
    void WriteSettings(const std::vector<std::string>& lines) {
        platform::GetSystemDirectory(); // creates the folder
        std::string text;
        for (const std::string& line : lines)
            text += line + "\r\n";
        WriteText(SettingsPath(), text);
    }
};
