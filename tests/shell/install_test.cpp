// Installing and uninstalling in a scratch home: the files written and
// removed, the messages shown, and the uninstall list's rules.
#include "shell/install.h"

#include "shell/settings.h"
#include "tests/shell/shell_fixture.h"

namespace {
class Installing : public ShellTest {
  protected:
    std::string start; // the folder the program is started from

    void SetUp() override {
        ShellTest::SetUp();
        start = root + "/program";
        MakeDir(start);
        WriteText(start + "/Tarnwick.exe", "MZ program bytes");
    }
    // Installing and uninstalling start from the program's folder, as a
    // shortcut or an installer starts them.
    int RunInstall() {
        EXPECT_EQ(chdir(start.c_str()), 0);
        return ::Install();
    }
    int RunUninstall() {
        EXPECT_EQ(chdir(start.c_str()), 0);
        return ::Uninstall();
    }
    std::string DefaultSettingsText() const {
        return std::string(SettingsComment) + "\r\n" + start + "\r\n0\r\n0\r\n1\r\n12\r\n1\r\n0\r\n";
    }
};

TEST_F(Installing, CopiesTheProgramAndWritesDefaultSettings) {
    EXPECT_EQ(RunInstall(), 0);
    EXPECT_EQ(ReadText(SystemDir() + "/Tarnwick.scr"), "MZ program bytes");
    EXPECT_EQ(ReadText(SettingsPath()), DefaultSettingsText());
    EXPECT_TRUE(ShownBoxes.empty());
}

// Installing again (a newer program) keeps the user's choices; the data
// folder becomes the one installed from.
TEST_F(Installing, InstallingAgainKeepsTheChoices) {
    ASSERT_EQ(RunInstall(), 0);
    WriteText(SettingsPath(),
              std::string(SettingsComment) + "\r\n/elsewhere\r\n1\r\n1\r\n0\r\n24\r\n0\r\n1\r\n");
    WriteText(start + "/Tarnwick.exe", "MZ newer program");
    EXPECT_EQ(RunInstall(), 0);
    EXPECT_EQ(ReadText(SettingsPath()),
              std::string(SettingsComment) + "\r\n" + start + "\r\n1\r\n1\r\n0\r\n24\r\n0\r\n1\r\n");
    EXPECT_EQ(ReadText(SystemDir() + "/Tarnwick.scr"), "MZ newer program");
    // A file that gives no choices (not ours, or too large) is replaced by the defaults.
    WriteText(SettingsPath(), std::string(MaxSettingsFileSize + 1, '1'));
    EXPECT_EQ(RunInstall(), 0);
    EXPECT_EQ(ReadText(SettingsPath()), DefaultSettingsText());
}

TEST_F(Installing, CopiesTheScreensaverNameWhenThatIsWhatTheFolderHolds) {
    ::remove((start + "/Tarnwick.exe").c_str());
    WriteText(start + "/Tarnwick.scr", "MZ unpacked from the zip");
    EXPECT_EQ(RunInstall(), 0);
    EXPECT_EQ(ReadText(SystemDir() + "/Tarnwick.scr"), "MZ unpacked from the zip");
    EXPECT_EQ(ReadText(SettingsPath()), DefaultSettingsText());
}

TEST_F(Installing, MissingProgramIsReportedAndNothingIsWritten) {
    ::remove((start + "/Tarnwick.exe").c_str());
    platform::GetSystemDirectory();
    WriteText(SettingsPath(), "the user's own settings");
    EXPECT_EQ(RunInstall(), 1);
    ASSERT_EQ(ShownBoxes.size(), 1u);
    EXPECT_EQ(ShownBoxes[0].Kind, platform::MbError);
    EXPECT_EQ(ShownBoxes[0].Caption, "Tarnwick 3D Screensaver");
    EXPECT_NE(ShownBoxes[0].Text.find("Tarnwick.exe could not be copied"), std::string::npos);
    EXPECT_EQ(ReadText(SettingsPath()), "the user's own settings");
    EXPECT_FALSE(Exists(SystemDir() + "/Tarnwick.scr"));
}

TEST_F(Installing, SettingsThatCannotBeWrittenAreReported) {
    platform::GetSystemDirectory();
    MakeDir(SettingsPath());
    EXPECT_EQ(RunInstall(), 1);
    ASSERT_EQ(ShownBoxes.size(), 1u);
    EXPECT_EQ(ShownBoxes[0].Kind, platform::MbError);
    EXPECT_TRUE(Exists(SettingsPath() + "/."));
}

class Uninstalling : public Installing {
  protected:
    std::string desktop, menu;

    void SetUp() override {
        Installing::SetUp();
        desktop = root + "/Desktop";
        menu = root + "/.local/share/applications/Tarnwick Screensaver";
        MakeDir(desktop);
        MakeDir(root + "/.local");
        MakeDir(root + "/.local/share");
        MakeDir(root + "/.local/share/applications");
        MakeDir(menu);
        WriteText(desktop + "/Tarnwick Screensaver.lnk", "link");
        for (const char* name :
             {"Tarnwick Screensaver.lnk", "Moonquill Website.lnk", "Uninstall Tarnwick Screensaver.lnk"})
            WriteText(menu + "/" + name, "link");
        ASSERT_EQ(RunInstall(), 0);
    }
};

TEST_F(Uninstalling, CancelChangesNothing) {
    NextAnswer = platform::IdCancel;
    WriteText(start + "/uninstall.lst", "data.bin\r\n");
    WriteText(start + "/data.bin", "x");
    EXPECT_EQ(RunUninstall(), 0);
    ASSERT_EQ(ShownBoxes.size(), 1u);
    EXPECT_EQ(ShownBoxes[0].Caption, "Uninstall");
    EXPECT_EQ(ShownBoxes[0].Text,
              "This program will uninstall Tarnwick Screensaver from your hard drive. Click OK to continue.");
    EXPECT_EQ(ShownBoxes[0].Kind, platform::MbOkCancel);
    EXPECT_TRUE(Exists(SystemDir() + "/Tarnwick.scr"));
    EXPECT_TRUE(Exists(SettingsPath()));
    EXPECT_TRUE(Exists(desktop + "/Tarnwick Screensaver.lnk"));
    EXPECT_TRUE(Exists(menu));
    EXPECT_TRUE(Exists(start + "/data.bin"));
}

TEST_F(Uninstalling, RemovesEverythingListedAndSaysSoEveryTime) {
    MakeDir(start + "/models");
    WriteText(start + "/models/tarnwick.umf", "x");
    WriteText(start + "/readme.txt", "x");
    WriteText(start + "/uninstall.lst", "models\\tarnwick.umf\r\nreadme.txt\r\n\r\nnot-there.txt\r\n");
    EXPECT_EQ(RunUninstall(), 0);
    EXPECT_FALSE(Exists(SystemDir() + "/Tarnwick.scr"));
    EXPECT_FALSE(Exists(SettingsPath()));
    EXPECT_FALSE(Exists(desktop + "/Tarnwick Screensaver.lnk"));
    EXPECT_FALSE(Exists(menu));
    EXPECT_FALSE(Exists(start + "/models/tarnwick.umf"));
    EXPECT_FALSE(Exists(start + "/readme.txt"));
    // Neither the program, the list nor the folder are removed.
    EXPECT_TRUE(Exists(start + "/Tarnwick.exe"));
    EXPECT_TRUE(Exists(start + "/uninstall.lst"));
    EXPECT_TRUE(Exists(start + "/models"));
    ASSERT_EQ(ShownBoxes.size(), 2u);
    EXPECT_EQ(ShownBoxes[1].Text, "Tarnwick Screensaver has been successfully removed from your hard drive.");
    EXPECT_EQ(ShownBoxes[1].Caption, "Uninstall");
    EXPECT_EQ(ShownBoxes[1].Kind, platform::MbOk);

    ShownBoxes.clear();
    EXPECT_EQ(RunUninstall(), 0);
    ASSERT_EQ(ShownBoxes.size(), 2u);
    EXPECT_EQ(ShownBoxes[1].Text, "Tarnwick Screensaver has been successfully removed from your hard drive.");
}

TEST_F(Uninstalling, RemovesTheUsersOwnSettingsToo) {
    UserSettingsFolder = root + "/AppData/Tarnwick";
    MakeDirs(UserSettingsFolder);
    WriteText(UserSettingsFolder + "/tarnwick.txt", DefaultSettingsText());
    EXPECT_EQ(RunUninstall(), 0);
    EXPECT_FALSE(Exists(SettingsPath()));
    EXPECT_FALSE(Exists(UserSettingsFolder));
}

TEST_F(Uninstalling, StartMenuFolderWithOtherFilesStays) {
    WriteText(menu + "/Extra.lnk", "link");
    EXPECT_EQ(RunUninstall(), 0);
    EXPECT_TRUE(Exists(menu + "/Extra.lnk"));
    EXPECT_FALSE(Exists(menu + "/Moonquill Website.lnk"));
}

TEST_F(Uninstalling, NamesOutsideTheStartFolderAreRefusedAndReported) {
    WriteText(root + "/precious.txt", "keep");
    MakeDir(start + "/sub");
    WriteText(start + "/sub/inside.txt", "x");
    WriteText(start + "/uninstall.lst", "..\\precious.txt\r\n" + root +
                                            "/precious.txt\r\nsub/../../precious.txt\r\n"
                                            "C:\\precious.txt\r\nsub\\inside.txt\r\n");
    EXPECT_EQ(RunUninstall(), 0);
    EXPECT_EQ(ReadText(root + "/precious.txt"), "keep");
    EXPECT_FALSE(Exists(start + "/sub/inside.txt"));
    ASSERT_EQ(ShownBoxes.size(), 3u);
    EXPECT_EQ(ShownBoxes[1].Kind, platform::MbError);
    const std::string& report = ShownBoxes[1].Text;
    EXPECT_NE(report.find("..\\precious.txt"), std::string::npos);
    EXPECT_NE(report.find("C:\\precious.txt"), std::string::npos);
    EXPECT_EQ(report.find("inside"), std::string::npos);
    EXPECT_EQ(ShownBoxes[2].Text, "Tarnwick Screensaver has been successfully removed from your hard drive.");
}

TEST_F(Uninstalling, ListTooLargeIsAnErrorWithoutSuccess) {
    WriteText(start + "/uninstall.lst", std::string(MaxUninstallListSize + 10, 'a'));
    EXPECT_EQ(RunUninstall(), 1);
    ASSERT_EQ(ShownBoxes.size(), 2u);
    EXPECT_EQ(ShownBoxes[1].Text, "File too large: uninstall.lst");
    EXPECT_EQ(ShownBoxes[1].Kind, platform::MbError);
}

TEST_F(Uninstalling, FolderTheSystemCannotNameIsSkipped) {
    // The desktop folder is not an absolute path: no desktop shortcut may be
    // looked for relative to the current folder instead.
    MakeDir(root + "/config");
    WriteText(root + "/config/user-dirs.dirs", "XDG_DESKTOP_DIR=\"Desktop\"\n");
    WriteText(start + "/Tarnwick Screensaver.lnk", "not ours");
    WriteText(SystemDir() + "/Tarnwick Screensaver.lnk", "not ours");
    EXPECT_EQ(RunUninstall(), 0);
    EXPECT_TRUE(Exists(start + "/Tarnwick Screensaver.lnk"));
    EXPECT_TRUE(Exists(SystemDir() + "/Tarnwick Screensaver.lnk"));
    EXPECT_TRUE(Exists(desktop + "/Tarnwick Screensaver.lnk"));
    EXPECT_FALSE(Exists(menu));
    EXPECT_EQ(ShownBoxes.back().Text,
              "Tarnwick Screensaver has been successfully removed from your hard drive.");
}

TEST(UninstallList, EntryRules) {
    EXPECT_EQ(CheckUninstallEntry(""), EntrySkipped);
    EXPECT_EQ(CheckUninstallEntry("   "), EntrySkipped);
    EXPECT_EQ(CheckUninstallEntry("\t"), EntrySkipped);
    for (const char* inside : {"readme.txt", "models\\tarnwick.umf", "sounds/smallwaterfall.wav", ".\\x",
                               "a..b", "..hidden", "x\\.\\y", "name.", " spaced name"})
        EXPECT_EQ(CheckUninstallEntry(inside), EntryDelete) << inside;
    for (const char* outside :
         {"..", "..\\x", "../x", "a\\..\\..\\x", "a\\..", "\\Windows\\x", "/etc/x", "\\\\server\\share\\x",
          "C:\\x", "C:x", "x:stream", "...\\x", ". .\\x", " ..\\x"})
        EXPECT_EQ(CheckUninstallEntry(outside), EntryRefused) << outside;
}

TEST(UninstallList, JoinsWithOneSeparator) {
    EXPECT_EQ(JoinPath("/a/b", "c"), "/a/b/c");
    EXPECT_EQ(JoinPath("/a/b/", "c"), "/a/b/c");
    EXPECT_EQ(JoinPath("C:\\", "x.scr"), "C:\\x.scr");
    EXPECT_EQ(JoinPath("", "c"), "c");
}
} // namespace
