// The settings file: reading the six lines into the dialog's choices, the
// home directory, writing them back, and what a broken file gives.
#include "shell/settings.h"

#include "engine/support/errors.h"
#include "platform/platform.h"
#include "tests/shell/shell_fixture.h"

namespace {
class SettingsFile : public ShellTest {
  protected:
    std::string home;
    void SetUp() override {
        ShellTest::SetUp();
        home = root + "/lake";
        MakeDir(home);
    }
    TSettings Load(const std::vector<std::string>& lines) {
        WriteSettings(lines);
        TSettings settings;
        LoadSettings(settings);
        return settings;
    }
    std::string LoadError(const std::string& fileText) {
        platform::GetSystemDirectory();
        WriteText(SettingsPath(), fileText);
        TSettings settings;
        try {
            LoadSettings(settings);
            RequireHomeDir();
        } catch (const TIoError& e) {
            return e.what();
        }
        return "no error";
    }
};

TEST_F(SettingsFile, ReadsEveryChoiceAndMakesHomeCurrent) {
    TSettings s = Load({SettingsComment, home, "1", "1", "0", "24"});
    EXPECT_TRUE(s.MouseExit);
    EXPECT_TRUE(s.FPSShow);
    EXPECT_FALSE(s.TimeShow);
    EXPECT_FALSE(s.Time12);
    EXPECT_TRUE(s.Time24);
    // "Show Time" off disables the clock format.
    EXPECT_FALSE(s.TimeFormatEnabled);
    EXPECT_EQ(HomeDir, home + "/");
    EXPECT_EQ(platform::GetCurrentDirectory(), home);
}

TEST_F(SettingsFile, ClockFormatOnlyTwelveOrTwentyFourChange) {
    EXPECT_TRUE(Load({"c", home, "0", "0", "1", "24"}).Time24);
    for (const char* other : {"36", "-1", "0", "twelve"}) {
        TSettings s = Load({"c", home, "0", "0", "1", other});
        EXPECT_TRUE(s.Time12) << other;
        EXPECT_FALSE(s.Time24) << other;
    }
}

TEST_F(SettingsFile, ValuesThatAreNotNumbersTakeTheirDefaults) {
    // Defaults: exit on mouse 0, fps 0, time 1, format 12. "2" is a number
    // but not a choice: the window definition's state stays.
    TSettings s = Load({"c", home, "yes", "2", "on", "x"});
    EXPECT_FALSE(s.MouseExit);
    EXPECT_FALSE(s.FPSShow);
    EXPECT_TRUE(s.TimeShow);
    EXPECT_TRUE(s.Time12);
    EXPECT_TRUE(s.TimeFormatEnabled);
}

TEST_F(SettingsFile, MissingLinesAtTheEndTakeTheirDefaults) {
    TSettings s = Load({"c", home});
    EXPECT_FALSE(s.MouseExit);
    EXPECT_FALSE(s.FPSShow);
    EXPECT_TRUE(s.TimeShow);
    EXPECT_TRUE(s.Time12);
    // The home line without a line end is still read.
    platform::GetSystemDirectory();
    WriteText(SettingsPath(), "c\r\n" + home);
    TSettings t;
    LoadSettings(t);
    EXPECT_EQ(HomeDir, home + "/");
}

TEST_F(SettingsFile, LinesMayEndInLineFeedOrCarriageReturnAlone) {
    platform::GetSystemDirectory();
    WriteText(SettingsPath(), "c\n" + home + "\n1\n0\n1\n24\n");
    TSettings s;
    LoadSettings(s);
    EXPECT_TRUE(s.MouseExit);
    EXPECT_TRUE(s.Time24);
    WriteText(SettingsPath(), "c\r" + home + "\r0\r1\r1\r12\r");
    TSettings t;
    LoadSettings(t);
    EXPECT_TRUE(t.FPSShow);
    EXPECT_EQ(HomeDir, home + "/");
}

TEST_F(SettingsFile, HomeWithTrailingSeparatorIsKeptAndWrittenBackWithOne) {
    Load({"c", home + "/", "0", "0", "1", "12"});
    EXPECT_EQ(HomeDir, home + "/");
    // A backslash counts as the separator the file was written with.
    MakeDir(home + "/sub");
    Load({"c", home + "/sub\\", "0", "0", "1", "12"});
    EXPECT_EQ(HomeDir, home + "/sub\\");
    EXPECT_EQ(platform::GetCurrentDirectory(), home + "/sub");

    // Written without one, saved back with one.
    TSettings s = Load({"c", home, "0", "1", "1", "12"});
    SaveSettings(s);
    EXPECT_EQ(ReadText(SettingsPath()),
              std::string(SettingsComment) + "\r\n" + home + "/\r\n0\r\n1\r\n1\r\n12\r\n1\r\n0\r\n");
}

TEST_F(SettingsFile, SaveWritesEightLinesThatReadBack) {
    TSettings s = Load({"old comment", home, "1", "0", "0", "24"});
    s.FPSShow = true;
    SaveSettings(s);
    std::string text = ReadText(SettingsPath());
    EXPECT_EQ(text, std::string(SettingsComment) + "\r\n" + home + "/\r\n1\r\n1\r\n0\r\n24\r\n1\r\n0\r\n");
    EXPECT_FALSE(Exists(SettingsPath() + ".new"));

    s.SoundOn = false;
    s.EveryMonitor = true;
    SaveSettings(s);
    EXPECT_EQ(ReadText(SettingsPath()),
              std::string(SettingsComment) + "\r\n" + home + "/\r\n1\r\n1\r\n0\r\n24\r\n0\r\n1\r\n");
    TSettings back;
    LoadSettings(back);
    EXPECT_FALSE(back.SoundOn);
    EXPECT_TRUE(back.EveryMonitor);
}

// Lines 7 and 8: the sound and every monitor. A file written before they
// existed plays the sound on the primary monitor alone, as it always did.
TEST_F(SettingsFile, SoundAndEveryMonitorLinesDefaultToSoundOnThePrimaryMonitor) {
    TSettings six = Load({"c", home, "0", "0", "1", "12"});
    EXPECT_TRUE(six.SoundOn);
    EXPECT_FALSE(six.EveryMonitor);
    TSettings chosen = Load({"c", home, "0", "0", "1", "12", "0", "1"});
    EXPECT_FALSE(chosen.SoundOn);
    EXPECT_TRUE(chosen.EveryMonitor);
    for (const std::vector<std::string>& other :
         {std::vector<std::string>{"2", "-1"}, {"off", "yes"}, {"", ""}}) {
        TSettings s = Load({"c", home, "0", "0", "1", "12", other[0], other[1]});
        EXPECT_TRUE(s.SoundOn) << other[0];
        EXPECT_FALSE(s.EveryMonitor) << other[1];
    }
}

TEST_F(SettingsFile, BrokenFilesGiveClearErrors) {
    EXPECT_EQ(LoadError("c\r\n\r\n1\r\n"),
              "The settings file tarnwick.txt names no home directory on its second line");
    EXPECT_EQ(LoadError("only a comment"),
              "The settings file tarnwick.txt names no home directory on its second line");
    EXPECT_EQ(LoadError(""), "The settings file tarnwick.txt names no home directory on its second line");
    EXPECT_EQ(LoadError("c\r\n" + root + "/nowhere\r\n"), "Home directory not found: " + root + "/nowhere/");
    EXPECT_EQ(LoadError("c\r\n" + home + std::string("\0\t\x7f", 3) + "\r\n"),
              "Home directory not found: " + home + "???" + "/");
    EXPECT_EQ(LoadError(std::string(MaxSettingsFileSize + 1, 'x')), "File too large: tarnwick.txt");
}

TEST_F(SettingsFile, HomeThatIsNotThereStillGivesTheChoices) {
    TSettings s = Load({"c", root + "/nowhere", "1", "1", "0", "24"});
    EXPECT_TRUE(s.MouseExit);
    EXPECT_TRUE(s.Time24);
    EXPECT_EQ(HomeDir, root + "/nowhere/"); // kept, to be written back
    EXPECT_EQ(platform::GetCurrentDirectory(), SystemDir());
    // A line with a control character names no directory, even where the
    // text before it does.
    Load({"c", home + std::string("\0", 1), "0", "0", "1", "12"});
    EXPECT_EQ(HomeDir, "");
    EXPECT_EQ(platform::GetCurrentDirectory(), SystemDir());
    EXPECT_THROW(SaveSettings(s), TIoError);
}

TEST_F(SettingsFile, MissingFileIsFileNotFound) {
    TSettings s;
    try {
        LoadSettings(s);
        FAIL() << "no error";
    } catch (const TIoError& e) {
        EXPECT_STREQ(e.what(), "File not found");
        EXPECT_EQ(e.Code(), IoFileNotFound);
    }
}

// The Linux program needs no settings file: the default choices, the data
// where it is installed, and nothing written, not even the settings folder.
TEST_F(SettingsFile, WithoutAFileTheLinuxProgramTakesDefaultsAndItsData) {
    MakeDirs(root + "/dist/models");
    UseLinuxRules(root + "/dist/tarnwick");
    TSettings s;
    s.MouseExit = s.FPSShow = s.Time24 = true;
    s.TimeShow = s.Time12 = false;
    LoadSettings(s);
    RequireHomeDir();
    EXPECT_FALSE(s.MouseExit);
    EXPECT_FALSE(s.FPSShow);
    EXPECT_TRUE(s.TimeShow);
    EXPECT_TRUE(s.Time12);
    EXPECT_FALSE(s.Time24);
    EXPECT_EQ(HomeDir, root + "/dist/");
    EXPECT_EQ(platform::GetCurrentDirectory(), root + "/dist");
    EXPECT_FALSE(Exists(SystemDir()));

    // With a file, its home line wins over the data beside the program.
    TSettings t = Load({"c", home, "1", "0", "1", "24"});
    EXPECT_EQ(HomeDir, home + "/");
    EXPECT_TRUE(t.MouseExit);
}

// A file too large to be a settings file (or one that cannot be read) gives
// the defaults and one line on standard error, in both programs.
TEST_F(SettingsFile, AFileThatCannotBeReadGivesTheDefaultsAndOneWarning) {
    MakeDirs(root + "/dist/models");
    for (bool linux : {true, false}) {
        SCOPED_TRACE(linux ? "Linux" : "Windows");
        if (linux)
            UseLinuxRules(root + "/dist/tarnwick");
        else
            UseWindowsRules(root + "/dist/Tarnwick.scr");
        SettingsWarnings.clear();
        SettingsNotes.clear();
        platform::GetSystemDirectory();
        WriteText(SettingsPath(), std::string(MaxSettingsFileSize + 1, '1'));
        TSettings s;
        s.FPSShow = true;
        ASSERT_NO_THROW(LoadSettings(s));
        EXPECT_NO_THROW(RequireHomeDir());
        EXPECT_FALSE(s.FPSShow);
        EXPECT_EQ(HomeDir, root + "/dist/");
        EXPECT_TRUE(SettingsNotes.empty());
        ASSERT_EQ(SettingsWarnings.size(), 1u);
        EXPECT_NE(SettingsWarnings[0].find("File too large"), std::string::npos) << SettingsWarnings[0];
        EXPECT_NE(SettingsWarnings[0].find(SettingsPath()), std::string::npos) << SettingsWarnings[0];
        EXPECT_EQ(SettingsWarnings[0].find('\n'), std::string::npos) << SettingsWarnings[0];
    }
}

TEST_F(SettingsFile, WithoutDataAnywhereTheMessageSaysWhereItLookedAndWhatToDo) {
    UseLinuxRules(root + "/bare/tarnwick");
    TSettings s;
    LoadSettings(s);
    try {
        RequireHomeDir();
        FAIL() << "no error";
    } catch (const TIoError& e) {
        const std::string text = e.what();
        EXPECT_EQ(text.rfind("No data folder", 0), 0u) << text;
        for (const std::string& place : {root + "/bare", root + "/share/tarnwick", SystemDataFolder})
            EXPECT_NE(text.find(place), std::string::npos) << place << " in " << text;
        EXPECT_NE(text.find("tarnwick /i"), std::string::npos) << text;
    }
    EXPECT_THROW(SaveSettings(s), TIoError); // no home to name
    // A stale home line still says so first.
    const std::string stale = LoadError("c\r\n" + root + "/gone\r\n");
    EXPECT_EQ(stale.rfind("Home directory not found: " + root + "/gone/\nNo data folder", 0), 0u) << stale;
}

// A settings file that cannot name the data (stale, empty, bytes of noise)
// is no trap: the choices it gives, the data beside the program, said once,
// and OK writes a file that names that data.
TEST_F(SettingsFile, AStaleOrBrokenFileTakesTheDataBesideTheProgramAndOkRepairsIt) {
    MakeDirs(root + "/dist/models");
    UseLinuxRules(root + "/dist/tarnwick");
    std::string noise;
    for (unsigned i = 0, x = 12345; i < 600; ++i, x = x * 1103515245u + 12345u)
        noise += static_cast<char>(x >> 23);
    const std::vector<std::string> files = {"c\r\n" + root + "/moved\r\n1\r\n1\r\n0\r\n24\r\n",
                                            "c\r\n\r\n1\r\n1\r\n0\r\n24\r\n", noise};
    for (const std::string& file : files) {
        SCOPED_TRACE(Printable(file.substr(0, 40)));
        SettingsNotes.clear();
        platform::GetSystemDirectory();
        WriteText(SettingsPath(), file);
        TSettings s;
        LoadSettings(s);
        EXPECT_NO_THROW(RequireHomeDir());
        EXPECT_EQ(HomeDir, root + "/dist/");
        EXPECT_EQ(platform::GetCurrentDirectory(), root + "/dist");
        ASSERT_EQ(SettingsNotes.size(), 1u);
        EXPECT_NE(SettingsNotes[0].find(root + "/dist/"), std::string::npos) << SettingsNotes[0];
        EXPECT_EQ(Printable(SettingsNotes[0]), SettingsNotes[0]); // no raw bytes shown
        EXPECT_TRUE(file == noise || s.Time24);                   // what the file does give is taken
        s = DefaultSettings();                                    // Restore Defaults, then OK
        SaveSettings(s);
        EXPECT_EQ(ReadText(SettingsPath()),
                  std::string(SettingsComment) + "\r\n" + root + "/dist/\r\n0\r\n0\r\n1\r\n12\r\n1\r\n0\r\n");
    }
}

TEST_F(SettingsFile, AFolderInThePlaceOfTheFileIsCalledAFolder) {
    MakeDirs(root + "/dist/models");
    MakeDirs(SettingsPath());
    UseLinuxRules(root + "/dist/tarnwick");
    TSettings s;
    LoadSettings(s);
    EXPECT_NO_THROW(RequireHomeDir());
    EXPECT_EQ(HomeDir, root + "/dist/");
    ASSERT_EQ(SettingsNotes.size(), 1u);
    EXPECT_NE(SettingsNotes[0].find(SettingsPath() + " is a folder"), std::string::npos) << SettingsNotes[0];
    try {
        SaveSettings(s);
        FAIL() << "saved over a folder";
    } catch (const TIoError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("The settings file " + SettingsPath() + " is a folder", 0), 0u)
            << e.what();
    }
    EXPECT_TRUE(Exists(SettingsPath() + "/."));
}

// Unzipped and never installed, the Windows program finds its data in its
// own folder, and only there.
TEST_F(SettingsFile, TheWindowsProgramTakesTheDataOfItsOwnFolder) {
    MakeDirs(root + "/unzipped/models");
    UseWindowsRules(root + "/unzipped/Tarnwick.scr");
    TSettings s;
    LoadSettings(s);
    EXPECT_NO_THROW(RequireHomeDir());
    EXPECT_EQ(HomeDir, root + "/unzipped/");
    EXPECT_FALSE(Exists(SettingsPath()));

    MakeDirs(root + "/win/share/tarnwick/models");
    UseWindowsRules(root + "/win/bin/Tarnwick.scr");
    LoadSettings(s);
    try {
        RequireHomeDir();
        FAIL() << "took data that is not beside the program";
    } catch (const TIoError& e) {
        EXPECT_NE(std::string(e.what()).find(root + "/win/bin"), std::string::npos) << e.what();
        EXPECT_EQ(std::string(e.what()).find("share"), std::string::npos) << e.what();
    }
}

// The system folder's file is the installer's default, read until the user
// presses OK; from then on the user's own file is read and written.
TEST_F(SettingsFile, OkSavesToTheUsersOwnFileWhichIsReadFirst) {
    MakeDirs(root + "/AppData/Roaming");
    UseWindowsRules(root + "/unzipped/Tarnwick.scr");
    UserSettingsFolder = root + "/AppData/Roaming/Tarnwick";
    const std::string user = UserSettingsFolder + "/tarnwick.txt";
    TSettings s = Load({SettingsComment, home, "0", "0", "1", "12"});
    const std::string installed = ReadText(SettingsPath());
    EXPECT_FALSE(s.FPSShow);
    s.FPSShow = true;
    SaveSettings(s);
    EXPECT_EQ(ReadText(SettingsPath()), installed);
    EXPECT_EQ(ReadText(user), SettingsText(home + "/", s));

    TSettings again;
    LoadSettings(again);
    EXPECT_TRUE(again.FPSShow);
    EXPECT_EQ(HomeDir, home + "/");
}

TEST(SettingsDataFolder, BesideTheProgramThenUnderItsPrefixThenTheSystemFolder) {
    DataInShareFolders = true; // what a test before may have left off
    char pattern[] = "/tmp/tarnwick-data.XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string root = pattern;
    const std::string program = root + "/opt/libexec/xscreensaver/tarnwick";
    const std::string system = root + "/usr/share/tarnwick";
    // Folders without models/ are passed over, the program's own among them.
    MakeDirs(root + "/opt/libexec/xscreensaver");
    EXPECT_EQ(FindDataFolder(program, system), "");
    // From the last place looked in to the first: each new one wins.
    const std::vector<std::string> order = {system, root + "/opt/share/tarnwick",
                                            root + "/opt/libexec/share/tarnwick",
                                            root + "/opt/libexec/xscreensaver"};
    for (const std::string& folder : order) {
        MakeDirs(folder + "/models");
        EXPECT_EQ(FindDataFolder(program, system), folder + "/");
    }
    // A program in PREFIX/bin finds PREFIX/share/tarnwick.
    EXPECT_EQ(FindDataFolder(root + "/opt/bin/tarnwick", system), root + "/opt/share/tarnwick/");
    EXPECT_EQ(FindDataFolder("", system), system + "/");
    // A package's program has its data in share/tarnwick above it, not beside
    // it; a copy elsewhere that finds only the system's data is not the package's.
    EXPECT_TRUE(IsPackagedProgram(root + "/opt/bin/tarnwick"));
    EXPECT_FALSE(IsPackagedProgram(program)); // data beside it: a distribution folder
    MakeDirs(root + "/home/.config/tarnwick");
    EXPECT_FALSE(IsPackagedProgram(root + "/home/.config/tarnwick/tarnwick"));
    nftw(
        root.c_str(), [](const char* path, const struct stat*, int, FTW*) { return ::remove(path); }, 16,
        FTW_DEPTH | FTW_PHYS);
}

TEST(SettingsNumbers, ReadLikeTheRuntime) {
    int v = 99;
    EXPECT_TRUE(ParseInteger("12", v));
    EXPECT_EQ(v, 12);
    EXPECT_TRUE(ParseInteger(" 7", v));
    EXPECT_EQ(v, 7);
    EXPECT_TRUE(ParseInteger("-2147483648", v));
    EXPECT_EQ(v, -2147483647 - 1);
    EXPECT_TRUE(ParseInteger("+3", v));
    EXPECT_EQ(v, 3);
    v = 99;
    for (const char* bad : {"", " ", "-", "12 ", "1x", "0x10", "2147483648", "99999999999999999999"}) {
        EXPECT_FALSE(ParseInteger(bad, v)) << bad;
        EXPECT_EQ(v, 99) << bad;
    }
}

TEST(SettingsDefaults, AreTheWindowDefinitions) {
    TSettings s = DefaultSettings();
    EXPECT_FALSE(s.MouseExit);
    EXPECT_FALSE(s.FPSShow);
    EXPECT_TRUE(s.TimeShow);
    EXPECT_TRUE(s.Time12);
    EXPECT_FALSE(s.Time24);
    EXPECT_TRUE(s.TimeFormatEnabled);
    EXPECT_TRUE(s.SoundOn);
    EXPECT_FALSE(s.EveryMonitor);
}
} // namespace
