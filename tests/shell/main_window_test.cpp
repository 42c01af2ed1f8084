// The main window's logic over a fake window system and a fake engine that
// write every call into one log: the order of the full-screen set-up, the
// frame, the input rules, the tear-down in each mode, the dialog's buttons.
#include "shell/main_window.h"

#include "engine/support/errors.h"
#include "shell/logo.h"
#include "tests/shell/shell_fixture.h"

namespace {
std::vector<std::string> Log;
void Note(const std::string& call) {
    Log.push_back(call);
}
std::string B(bool b) {
    return b ? "1" : "0";
}

// The engine's procedures, each noting its call. The lake's set-up raises
// when the test says so, after running a hook (to send a size event while
// the set-up runs).
bool FailLakeSetUp = false;
void (*DuringLakeSetUp)() = nullptr;

void FillFakeEngine() {
    TEngineCalls& e = EngineCalls;
    e.InitSound = [](platform::WindowHandle w) { Note("InitSound " + std::to_string(w)); };
    e.LoadWave = [](const std::string& p) { Note("LoadWave " + p); };
    e.PlaySound = [](std::int32_t i, bool r, bool l) {
        Note("PlaySound " + std::to_string(i) + B(r) + B(l));
    };
    e.SetSoundVolume = [](std::int32_t i, std::int32_t v) {
        Note("SetSoundVolume " + std::to_string(i) + " " + std::to_string(v));
    };
    e.SetMusicVolume = [](std::int32_t v) { Note("SetMusicVolume " + std::to_string(v)); };
    e.FreeSounds = [] { Note("FreeSounds"); };
    e.ShutdownSound = [] { Note("ShutdownSound"); };
    e.SetDeviceWindow = [](platform::WindowHandle w) { Note("SetDeviceWindow " + std::to_string(w)); };
    e.SelectBackend = [](std::uint8_t k) { Note("SelectBackend " + std::to_string(k)); };
    e.DeviceInit = [] { Note("DeviceInit"); };
    e.DeviceResize = [](std::int32_t w, std::int32_t h) {
        Note("DeviceResize " + std::to_string(w) + "x" + std::to_string(h));
    };
    e.DeviceDone = [] { Note("DeviceDone"); };
    e.SetUpLakeScene = [] {
        if (DuringLakeSetUp) DuringLakeSetUp();
        Note("SetUpLakeScene");
        if (FailLakeSetUp) throw TIoError(IoFileNotFound);
    };
    e.WarmUpWater = [] { Note("WarmUpWater"); };
    e.StartFrameCounters = [] { Note("StartFrameCounters"); };
    e.DrawLakeFrame = [](bool fps, bool time, bool twelve) {
        Note("DrawLakeFrame " + B(fps) + B(time) + B(twelve));
    };
    e.DrawLakeViews = [](const std::vector<TLakeView>& views, bool fps, bool time, bool twelve) {
        std::string call = "DrawLakeViews";
        for (const TLakeView& v : views)
            call += " " + std::to_string(v.Left) + "," + std::to_string(v.Bottom) + "," +
                    std::to_string(v.Width) + "x" + std::to_string(v.Height);
        Note(call + " " + B(fps) + B(time) + B(twelve));
    };
}

const char* ControlName(TControl c) {
    switch (c) {
    case TControl::GroupBox1:
        return "GroupBox1";
    case TControl::GroupBox2:
        return "GroupBox2";
    case TControl::Image1:
        return "Image1";
    case TControl::RestoreDefaults:
        return "RestoreDefaults";
    case TControl::Apply:
        return "Apply";
    case TControl::Cancel:
        return "Cancel";
    case TControl::About:
        return "About";
    case TControl::VisitWebsite:
        return "VisitWebsite";
    default:
        return "other";
    }
}

// Every run mode's host in one, as the Win32 window is.
class TFakeHost : public TPreviewHost, public TFullScreenHost, public TDialogHost {
  public:
    TSettings Controls;
    int CursorX = 100, CursorY = 100;
    bool Visible = true;
    platform::WindowHandle ParentOfResult = 0;
    bool ParentExists = true;
    TRect Main{100, 50, 320, 280}, AboutBox{0, 0, 224, 164};
    // The monitors in screen pixels, the primary one first.
    std::vector<TRect> Monitors{{0, 0, 1280, 720}};

    operator TMainWindowHosts() { return TMainWindowHosts{this, this, this}; }

    platform::WindowHandle Handle() override { return 42; }
    void SetCaption(const std::string& c) override { Note("SetCaption " + c); }
    void SetControlText(TControl c, const std::string& t) override {
        Note(std::string("Text ") + ControlName(c) + " " + t);
    }
    void HideControl(TControl c) override { Note(std::string("Hide ") + ControlName(c)); }
    void ShowSettings(const TSettings& s) override { Controls = s; }
    TSettings ReadSettings() override { return Controls; }
    void MakeNormal() override { Note("MakeNormal"); }
    void LoadPreviewLogo(const std::string& p) override { Note("LoadPreviewLogo " + p); }
    void FreePreviewLogo() override { Note("FreePreviewLogo"); }
    void MakeChild() override { Note("MakeChild"); }
    void SetParentWindow(platform::WindowHandle p) override { Note("SetParentWindow " + std::to_string(p)); }
    void DrawPreviewLogo(platform::WindowHandle t) override { Note("DrawPreviewLogo " + std::to_string(t)); }
    bool WindowExists(platform::WindowHandle) override { return ParentExists; }
    bool IsVisible() override { return Visible; }
    void Hide() override {
        Note("Hide");
        Visible = false;
    }
    platform::WindowHandle ParentOf(platform::WindowHandle w) override {
        Note("ParentOf " + std::to_string(w));
        return ParentOfResult;
    }
    void EnableWindow(platform::WindowHandle w, bool e) override {
        Note("EnableWindow " + std::to_string(w) + B(e));
    }
    void MakeDialog(int w, int h) override {
        Note("MakeDialog " + std::to_string(w) + "x" + std::to_string(h));
    }
    void ShowMaximized() override { Note("ShowMaximized"); }
    std::vector<TRect> ListMonitors() override { return Monitors; }
    void SpanWindow(const TRect& r) override {
        Note("SpanWindow " + std::to_string(r.Left) + "," + std::to_string(r.Top) + "," +
             std::to_string(r.Width) + "x" + std::to_string(r.Height));
    }
    void ShowNormal() override { Note("ShowNormal"); }
    void GetCursorPos(int& x, int& y) override {
        x = CursorX;
        y = CursorY;
    }
    void HideCursor() override { Note("HideCursor"); }
    void Close() override { Note("Close"); }
    void DestroyAndExit() override {
        Note("DestroyAndExit");
        FormDestroy(*this);
    }
    void OpenWebsite(const std::string& a) override { Note("OpenWebsite " + a); }
    TRect MainWindowRect() override { return Main; }
    TRect AboutRect() override { return AboutBox; }
    void ShowAbout(int l, int t) override {
        Note("ShowAbout " + std::to_string(l) + "," + std::to_string(t));
    }
    void HideAbout() override { Note("HideAbout"); }
};

TFakeHost* CurrentHost = nullptr;

class MainWindow : public ShellTest {
  protected:
    TFakeHost host;
    std::string home;

    void SetUp() override {
        ShellTest::SetUp();
        ResetMainWindowState();
        Log.clear();
        FailLakeSetUp = false;
        DuringLakeSetUp = nullptr;
        FillFakeEngine();
        CurrentHost = &host;
        home = root + "/lake";
        MakeDir(home);
        WriteSettings({SettingsComment, home, "1", "1", "1", "12"});
    }
    void Create(std::vector<std::string> args) { FormCreate(host, ReadArguments(args)); }
    // The log from the first entry that starts with `from`.
    std::vector<std::string> LogFrom(const std::string& from) {
        for (std::size_t i = 0; i < Log.size(); ++i)
            if (Log[i].rfind(from, 0) == 0) return std::vector<std::string>(Log.begin() + i, Log.end());
        return {};
    }
};

TEST_F(MainWindow, FullScreenSetUpRunsInOrder) {
    host.CursorX = 640;
    host.CursorY = 360;
    Create({"/s"});
    std::vector<std::string> expected = {"Hide GroupBox1",
                                         "Hide GroupBox2",
                                         "Hide Image1",
                                         "Hide RestoreDefaults",
                                         "Hide Apply",
                                         "Hide Cancel",
                                         "Hide About",
                                         "InitSound 42",
                                         "LoadWave sounds\\smallwaterfall.wav",
                                         "PlaySound 001",
                                         "SetSoundVolume -1 -1000",
                                         "SetMusicVolume -1000",
                                         "SetDeviceWindow 42",
                                         "SelectBackend 2",
                                         "DeviceInit",
                                         "SetUpLakeScene",
                                         "HideCursor",
                                         "WarmUpWater",
                                         "StartFrameCounters"};
    EXPECT_EQ(Log, expected);
    EXPECT_EQ(RunMode, Running);
    EXPECT_EQ(StartCursorX, 640);
    EXPECT_EQ(StartCursorY, 360);
    EXPECT_EQ(platform::GetCurrentDirectory(), home);
    ShowMainWindow(host);
    EXPECT_EQ(Log.back(), "ShowMaximized");
}

// "Play Sound" unchecked: no sound device, no wave read, nothing to release.
TEST_F(MainWindow, WithTheSoundOffNothingOfTheSoundStarts) {
    WriteSettings({SettingsComment, home, "0", "0", "1", "12", "0"});
    Create({"/s"});
    EXPECT_EQ(RunMode, Running);
    for (const char* call : {"InitSound", "LoadWave", "PlaySound", "SetSoundVolume", "SetMusicVolume"})
        EXPECT_TRUE(LogFrom(call).empty()) << call;
    EXPECT_EQ(LogFrom("SetDeviceWindow").size(), 7u) << "the rest of the set-up as always";
    Log.clear();
    FormDestroy(host);
    EXPECT_EQ(Log, std::vector<std::string>{"DeviceDone"});

    // The hack's options win over the file, either way.
    ResetMainWindowState();
    RunChoices.SoundOn = 1;
    Log.clear();
    Create({"/s"});
    EXPECT_FALSE(LogFrom("LoadWave").empty());
    ResetMainWindowState();
    WriteSettings({SettingsComment, home, "0", "0", "1", "12", "1"});
    RunChoices.SoundOn = 0;
    Log.clear();
    Create({"/s"});
    EXPECT_TRUE(LogFrom("InitSound").empty());
}

// "Show On Every Monitor": the window spans the monitors before the device
// is made on it, and each frame draws one view a monitor, bottom-up in the
// window's pixels. With one monitor, or the choice off, the frame is as always.
TEST_F(MainWindow, EveryMonitorDrawsAViewAMonitor) {
    WriteSettings({SettingsComment, home, "0", "1", "1", "24", "1", "1"});
    host.Monitors = {{0, 0, 1280, 720}, {1280, 0, 800, 600}};
    Create({"/s"});
    std::vector<std::string> device = LogFrom("SpanWindow");
    ASSERT_GE(device.size(), 2u);
    EXPECT_EQ(device[0], "SpanWindow 0,0,2080x720");
    EXPECT_EQ(device[1], "SetDeviceWindow 42");
    Log.clear();
    EXPECT_FALSE(ApplicationEvents1Idle(host));
    EXPECT_EQ(Log, std::vector<std::string>{"DrawLakeViews 0,0,1280x720 1280,120,800x600 110"});

    ResetMainWindowState();
    host.Monitors = {{0, 0, 1280, 720}};
    Create({"/s"});
    Log.clear();
    ApplicationEvents1Idle(host);
    EXPECT_EQ(Log, std::vector<std::string>{"DrawLakeFrame 110"});

    ResetMainWindowState();
    WriteSettings({SettingsComment, home, "0", "1", "1", "24", "1", "0"});
    host.Monitors = {{0, 0, 1280, 720}, {1280, 0, 800, 600}};
    Log.clear();
    Create({"/s"});
    EXPECT_TRUE(LogFrom("SpanWindow").empty());
    Log.clear();
    ApplicationEvents1Idle(host);
    EXPECT_EQ(Log, std::vector<std::string>{"DrawLakeFrame 110"});
}

// Monitors that overlap show one picture, the largest one's view: a laptop
// mirrored on a larger projector, heads that share a strip. The window
// still covers every monitor, wherever they lie (left of and above the
// primary) and whatever their shape.
TEST_F(MainWindow, OverlappingMonitorsShareTheLargestOnesView) {
    WriteSettings({SettingsComment, home, "0", "1", "1", "24", "1", "1"});
    auto run = [&](std::vector<TRect> monitors) {
        ResetMainWindowState();
        host.Monitors = std::move(monitors);
        Log.clear();
        Create({"/s"});
        std::vector<std::string> span = LogFrom("SpanWindow");
        Log.clear();
        ApplicationEvents1Idle(host);
        return std::vector<std::string>{span.empty() ? "no span" : span[0], Log.at(0)};
    };
    using TLog = std::vector<std::string>;
    EXPECT_EQ(run({{0, 0, 1366, 768}, {0, 0, 1920, 1080}}),
              (TLog{"SpanWindow 0,0,1920x1080", "DrawLakeFrame 110"}))
        << "mirrored heads of two sizes";
    EXPECT_EQ(run({{0, 0, 1920, 1080}, {1600, 0, 1280, 1024}, {-1080, -400, 1080, 1920}}),
              (TLog{"SpanWindow -1080,-400,3960x1920", "DrawLakeViews 1080,440,1920x1080 0,0,1080x1920 110"}))
        << "two heads sharing a strip, a portrait one up and to the left";
    EXPECT_EQ(run({{0, 0, 1080, 1920}, {500, 1000, 2560, 1440}}),
              (TLog{"SpanWindow 0,0,3060x2440", "DrawLakeViews 500,0,2560x1440 110"}))
        << "a portrait primary partly under a larger head";
}

TEST_F(MainWindow, NoArgumentIsTheFullScreenRun) {
    Create({});
    EXPECT_EQ(RunMode, Running);
    EXPECT_FALSE(LogFrom("DeviceInit").empty());
}

TEST_F(MainWindow, SizeEventsReachTheDeviceOnlyOnceRunning) {
    DuringLakeSetUp = [] { FormResize(*CurrentHost, 800, 600); };
    Create({"/s"});
    EXPECT_TRUE(LogFrom("DeviceResize").empty());
    FormResize(host, 1024, 768);
    EXPECT_EQ(Log.back(), "DeviceResize 1024x768");
}

TEST_F(MainWindow, FailedSetUpReleasesWhatItStartedAndNeverRuns) {
    FailLakeSetUp = true;
    EXPECT_THROW(Create({"/s"}), TIoError);
    EXPECT_NE(RunMode, Running);
    EXPECT_EQ(LogFrom("SetUpLakeScene"),
              (std::vector<std::string>{"SetUpLakeScene", "DeviceDone", "FreeSounds", "ShutdownSound"}));
    // Nothing is drawn and no logo is painted afterwards.
    Log.clear();
    ApplicationEvents1Idle(host);
    Timer1Timer(host);
    FormKeyDown(host);
    for (const std::string& call : Log)
        EXPECT_TRUE(call == "Hide") << call;
}

TEST_F(MainWindow, MissingSettingsFileStopsBeforeAnyMode) {
    ::remove(SettingsPath().c_str());
    EXPECT_THROW(Create({"/c:5"}), TIoError);
    EXPECT_TRUE(LogFrom("ParentOf").empty());
    EXPECT_TRUE(LogFrom("InitSound").empty());
}

// The Linux program without a settings file: every mode starts from the
// data beside the program, and only the dialog's OK writes the file.
TEST_F(MainWindow, WithoutASettingsFileNothingIsWrittenUntilOk) {
    ::remove(SettingsPath().c_str());
    ::rmdir(SystemDir().c_str());
    MakeDirs(root + "/dist/models");
    UseLinuxRules(root + "/dist/tarnwick");
    Create({"/s"});
    EXPECT_EQ(RunMode, Running);
    EXPECT_EQ(platform::GetCurrentDirectory(), root + "/dist");

    ResetMainWindowState();
    Create({"/c"});
    RestoreDefaultsClick(host);
    CancelClick(host);
    EXPECT_FALSE(Exists(SystemDir()));

    ResetMainWindowState();
    Create({"/c"});
    host.Controls.FPSShow = true;
    ApplyClick(host);
    EXPECT_EQ(ReadText(SettingsPath()),
              std::string(SettingsComment) + "\r\n" + root + "/dist/\r\n0\r\n1\r\n1\r\n12\r\n1\r\n0\r\n");
}

// A home directory that is not there stops the run and the preview with a
// clear message, but the dialog opens: the user needs it to see the settings.
TEST_F(MainWindow, WithoutAHomeDirectoryOnlyTheDialogOpens) {
    const std::string nul("\0x", 2);
    const std::vector<std::pair<std::string, std::string>> homes = {
        {root + "/nowhere", "Home directory not found: " + root + "/nowhere/"},
        {"", "The settings file tarnwick.txt names no home directory on its second line"},
        // Control characters make a line no directory at all, even when
        // the text before them names one.
        {home + nul, "Home directory not found: " + home + "?x/"}};
    for (const auto& [line, message] : homes) {
        WriteSettings({SettingsComment, line, "1", "0", "1", "24"});
        for (std::vector<std::string> args : {std::vector<std::string>{"/s"}, {}, {"/p", "4660"}}) {
            ResetMainWindowState();
            Log.clear();
            try {
                Create(args);
                ADD_FAILURE() << "no error for " << message;
            } catch (const TIoError& e) {
                EXPECT_EQ(e.what(), message);
            }
            EXPECT_TRUE(LogFrom("InitSound").empty()) << message;
            EXPECT_TRUE(LogFrom("LoadPreviewLogo").empty()) << message;
        }
        ResetMainWindowState();
        host.Controls = TSettings();
        Create({"/c"});
        EXPECT_EQ(RunMode, Configure) << message;
        EXPECT_TRUE(host.Controls.MouseExit) << message;
        EXPECT_TRUE(host.Controls.Time24) << message;
    }
}

// OK keeps a home directory that is only missing for now (an unmounted
// drive), but never writes back a line that names no directory: the user is
// told the choices were not saved, the file stays and so does the dialog.
TEST_F(MainWindow, OkWritesOnlyAHomeLineThatCanBeADirectory) {
    WriteSettings({SettingsComment, root + "/nowhere", "1", "0", "1", "24"});
    Create({"/c"});
    host.Controls.FPSShow = true;
    ApplyClick(host);
    EXPECT_EQ(ReadText(SettingsPath()),
              std::string(SettingsComment) + "\r\n" + root + "/nowhere/\r\n1\r\n1\r\n1\r\n24\r\n1\r\n0\r\n");

    for (const std::string& line : {std::string(), home + std::string("\0x\x01", 3)}) {
        WriteSettings({SettingsComment, line, "1", "0", "1", "24"});
        const std::string before = ReadText(SettingsPath());
        ResetMainWindowState();
        Create({"/c"});
        Log.clear();
        try {
            ApplyClick(host);
            ADD_FAILURE() << "OK saved a file without a home directory";
        } catch (const TIoError& e) {
            EXPECT_STREQ(e.what(), "The settings file tarnwick.txt names no valid home directory: "
                                   "the choices were not saved");
        }
        EXPECT_TRUE(Log.empty()); // the dialog stays open
        EXPECT_EQ(ReadText(SettingsPath()), before);
    }
}

TEST_F(MainWindow, EachIdlePassDrawsOneFrameWithTheChoicesAndAsksForTheNext) {
    WriteSettings({SettingsComment, home, "0", "1", "1", "24"});
    Create({"/s"});
    Log.clear();
    EXPECT_FALSE(ApplicationEvents1Idle(host));
    EXPECT_FALSE(ApplicationEvents1Idle(host));
    EXPECT_EQ(Log, (std::vector<std::string>{"DrawLakeFrame 110", "DrawLakeFrame 110"}));
}

TEST_F(MainWindow, FrameLeavesOutTheOverlaysThatAreOff) {
    WriteSettings({SettingsComment, home, "0", "0", "0", "12"});
    Create({"/s"});
    Log.clear();
    ApplicationEvents1Idle(host);
    EXPECT_EQ(Log, std::vector<std::string>{"DrawLakeFrame 001"});
}

TEST_F(MainWindow, MouseMovesOfTwoPixelsEndTheRun) {
    host.CursorX = 300;
    host.CursorY = 200;
    Create({"/s"});
    Log.clear();
    for (auto [x, y] : {std::pair{300, 200}, {301, 201}, {299, 199}, {301, 199}}) {
        host.CursorX = x;
        host.CursorY = y;
        FormMouseMove(host);
    }
    EXPECT_TRUE(Log.empty());
    for (auto [x, y] : {std::pair{302, 200}, {300, 198}, {298, 201}, {0, 0}}) {
        Log.clear();
        host.CursorX = x;
        host.CursorY = y;
        FormMouseMove(host);
        EXPECT_EQ(Log, std::vector<std::string>{"Close"}) << x << "," << y;
    }
    Log.clear();
    FormClick(host);
    EXPECT_EQ(Log, std::vector<std::string>{"Close"});
}

TEST_F(MainWindow, WithoutExitOnMouseMoveOnlyAKeyEndsTheRun) {
    WriteSettings({SettingsComment, home, "0", "0", "1", "12"});
    Create({"/s"});
    Log.clear();
    host.CursorX = 900;
    FormMouseMove(host);
    FormClick(host);
    EXPECT_TRUE(Log.empty());
    FormKeyDown(host);
    EXPECT_EQ(Log, (std::vector<std::string>{"DestroyAndExit", "DeviceDone", "FreeSounds", "ShutdownSound"}));
    // After the tear-down nothing touches the released device.
    Log.clear();
    EXPECT_TRUE(ApplicationEvents1Idle(host));
    FormResize(host, 10, 10);
    FormKeyDown(host);
    EXPECT_TRUE(Log.empty());
}

TEST_F(MainWindow, PreviewSetUpHidesTheWindowAndPaintsTheLogo) {
    Create({"/p", "4660"});
    EXPECT_EQ(LogFrom("MakeNormal"),
              (std::vector<std::string>{"MakeNormal", "LoadPreviewLogo pictures\\logo.bmp", "MakeChild",
                                        "SetParentWindow 4660"}));
    EXPECT_EQ(RunMode, Preview);
    EXPECT_EQ(ParentHandle, 4660u);
    ShowMainWindow(host);
    EXPECT_EQ(Log.back(), "SetParentWindow 4660"); // never shown
    Log.clear();
    EXPECT_TRUE(ApplicationEvents1Idle(host));
    EXPECT_TRUE(ApplicationEvents1Idle(host));
    Timer1Timer(host);
    EXPECT_EQ(Log, (std::vector<std::string>{"Hide", "DrawPreviewLogo 4660"}));
    // Input does nothing in the preview.
    Log.clear();
    host.CursorX = 0;
    FormKeyDown(host);
    FormMouseMove(host);
    FormClick(host);
    FormResize(host, 1, 1);
    EXPECT_TRUE(Log.empty());
    FormDestroy(host);
    EXPECT_EQ(Log, std::vector<std::string>{"FreePreviewLogo"});
}

TEST_F(MainWindow, PreviewEndsOnceItsWindowIsGone) {
    Create({"/p", "4660"});
    Log.clear();
    host.ParentExists = false;
    Timer1Timer(host);
    EXPECT_EQ(Log, std::vector<std::string>{"Close"});
}

TEST_F(MainWindow, PreviewWithoutANumberIsAConversionError) {
    try {
        Create({"/p", "abc"});
        FAIL() << "no error";
    } catch (const TConvertError& e) {
        EXPECT_STREQ(e.what(), "'abc' is not a valid integer value");
    }
    EXPECT_EQ(LogFrom("LoadPreviewLogo"),
              (std::vector<std::string>{"LoadPreviewLogo pictures\\logo.bmp", "FreePreviewLogo"}));
    Log.clear();
    Timer1Timer(host);
    EXPECT_TRUE(Log.empty());
}

TEST_F(MainWindow, ConfigureDisablesTheOwnerUntilDestroyed) {
    host.ParentOfResult = 777;
    Create({"/c:1234"});
    EXPECT_EQ(Log, (std::vector<std::string>{
                       "Text VisitWebsite Visit our website for more 3D screensavers.\r\nClick Here.",
                       "ParentOf 1234", "EnableWindow 7770", "MakeNormal", "MakeDialog 320x328",
                       "SetCaption Tarnwick 3D Screensaver Configuration"}));
    EXPECT_EQ(RunMode, Configure);
    // The dialog shows what the file holds.
    EXPECT_TRUE(host.Controls.MouseExit);
    EXPECT_TRUE(host.Controls.FPSShow);
    ShowMainWindow(host);
    EXPECT_EQ(Log.back(), "ShowNormal");
    Log.clear();
    EXPECT_TRUE(ApplicationEvents1Idle(host));
    FormKeyDown(host);
    host.CursorX = 0;
    FormMouseMove(host);
    FormClick(host);
    EXPECT_TRUE(Log.empty());
    FormDestroy(host);
    EXPECT_EQ(Log, std::vector<std::string>{"EnableWindow 7771"});
}

TEST_F(MainWindow, ConfigureWithoutAHandleDisablesNothing) {
    for (const char* arg : {"/c", "/c:abc", "/c:0", "/S"}) {
        Log.clear();
        Create({arg});
        EXPECT_TRUE(LogFrom("ParentOf").empty()) << arg;
        EXPECT_TRUE(LogFrom("EnableWindow").empty()) << arg;
        EXPECT_EQ(RunMode, Configure);
    }
    Log.clear();
    FormDestroy(host);
    EXPECT_TRUE(Log.empty());
}

TEST_F(MainWindow, OkSavesTheControlsAndCloses) {
    Create({"/c"});
    host.Controls.MouseExit = false;
    host.Controls.Time12 = false;
    host.Controls.Time24 = true;
    host.Controls.SoundOn = false;
    host.Controls.EveryMonitor = true;
    Log.clear();
    ApplyClick(host);
    EXPECT_EQ(Log, std::vector<std::string>{"Close"});
    EXPECT_EQ(ReadText(SettingsPath()),
              std::string(SettingsComment) + "\r\n" + home + "/\r\n0\r\n1\r\n1\r\n24\r\n0\r\n1\r\n");
}

TEST_F(MainWindow, CancelAfterRestoreDefaultsLeavesTheFile) {
    Create({"/c"});
    std::string before = ReadText(SettingsPath());
    host.Controls.SoundOn = false;
    host.Controls.EveryMonitor = true;
    RestoreDefaultsClick(host);
    EXPECT_TRUE(host.Controls.SoundOn);
    EXPECT_FALSE(host.Controls.EveryMonitor);
    EXPECT_FALSE(host.Controls.MouseExit);
    EXPECT_FALSE(host.Controls.FPSShow);
    EXPECT_TRUE(host.Controls.TimeShow);
    EXPECT_TRUE(host.Controls.Time12);
    Log.clear();
    CancelClick(host);
    EXPECT_EQ(Log, std::vector<std::string>{"DestroyAndExit"});
    EXPECT_EQ(ReadText(SettingsPath()), before);
}

TEST_F(MainWindow, ShowTimeEnablesTheClockFormat) {
    WriteSettings({SettingsComment, home, "0", "0", "0", "12"});
    Create({"/c"});
    EXPECT_FALSE(host.Controls.TimeFormatEnabled);
    host.Controls.TimeShow = true; // the user checks "Show Time"
    TimeShowClick(host);
    EXPECT_TRUE(host.Controls.TimeFormatEnabled);
    host.Controls.TimeShow = false;
    TimeShowClick(host);
    EXPECT_FALSE(host.Controls.TimeFormatEnabled);
    RestoreDefaultsClick(host);
    EXPECT_TRUE(host.Controls.TimeFormatEnabled);
}

TEST_F(MainWindow, AboutBoxIsCentredOverTheDialogAndDisablesIt) {
    Create({"/c"});
    Log.clear();
    AboutClick(host);
    EXPECT_EQ(Log, (std::vector<std::string>{"ShowAbout 148,108", "EnableWindow 420"}));
    Log.clear();
    AboutButton1Click(host);
    EXPECT_EQ(Log, (std::vector<std::string>{"EnableWindow 421", "HideAbout"}));
    Log.clear();
    AboutFormClose(host);
    EXPECT_EQ(Log, (std::vector<std::string>{"EnableWindow 421", "HideAbout"}));
    Log.clear();
    VisitWebsiteClick(host);
    EXPECT_EQ(Log, std::vector<std::string>{"OpenWebsite https://moonquill.example/screensavers"});
}

TEST(MainWindowGeometry, CentringTruncatesTowardZero) {
    int left = 0, top = 0;
    CentreOver(TRect{10, 20, 100, 50}, TRect{0, 0, 113, 57}, left, top);
    // (100 - 113) / 2 = -6 and (50 - 57) / 2 = -3, not -7 and -4.
    EXPECT_EQ(left, 4);
    EXPECT_EQ(top, 17);
    CentreOver(TRect{-5, 0, 101, 51}, TRect{0, 0, 20, 20}, left, top);
    EXPECT_EQ(left, 35);
    EXPECT_EQ(top, 15);
}

TEST(MainWindowVolumes, FollowTheTenthPowerCurve) {
    EXPECT_EQ(VolumeForLevel(0), -1000);
    EXPECT_EQ(VolumeForLevel(10), 0);
    EXPECT_EQ(VolumeForLevel(1), -349); // -348.68
    EXPECT_EQ(VolumeForLevel(3), -28);  // -28.25
    EXPECT_EQ(VolumeForLevel(5), -1);   // -0.98
    EXPECT_EQ(VolumeForLevel(9), 0);    // -0.00000001
    // Out of range levels are held to 0..10.
    EXPECT_EQ(VolumeForLevel(-3), -1000);
    EXPECT_EQ(VolumeForLevel(14), 0);

    Log.clear();
    FillFakeEngine();
    SetVolumes(1, 5);
    EXPECT_EQ(Log, (std::vector<std::string>{"SetSoundVolume -1 -349", "SetMusicVolume -1"}));
}
} // namespace
