// The xscreensaver hack's command line: which window it draws into, the
// choices it overrides, and the errors for what it cannot take.
#include <gtest/gtest.h>

// The unit itself: it needs no display, only the shell's engine table.
#include "shell/x11/xscreensaver_x11.cpp"

using x11::ParseHackRequest;
using x11::ParseWindowId;
using x11::THackRequest;

namespace {
THackRequest Parse(std::vector<std::string> args, const char* environment, std::string* error = nullptr) {
    THackRequest request;
    std::string message;
    bool ok = ParseHackRequest(args, environment, request, message);
    if (error)
        *error = ok ? std::string() : message;
    else
        EXPECT_TRUE(ok) << message;
    return request;
}
} // namespace

TEST(HackWindowId, TakesDecimalAndHexadecimal) {
    unsigned long id = 0;
    ASSERT_TRUE(ParseWindowId("4194311", id));
    EXPECT_EQ(id, 4194311ul);
    ASSERT_TRUE(ParseWindowId("0x400007", id));
    EXPECT_EQ(id, 0x400007ul);
    ASSERT_TRUE(ParseWindowId("0XABCDEF", id));
    EXPECT_EQ(id, 0xABCDEFul);
}

TEST(HackWindowId, RefusesWhatNamesNoWindow) {
    unsigned long id = 77;
    for (const char* text : {"", "0", "0x0", "0x", "-5", "12a", "0x12g", " 12", "4294967296", "0x100000000",
                             "123456789012345678901234"})
        EXPECT_FALSE(ParseWindowId(text, id)) << text;
    EXPECT_EQ(id, 77ul); // untouched
}

TEST(HackRequest, ScreensaverSwitchesAreNotAHack) {
    EXPECT_FALSE(Parse({}, nullptr).Active);
    EXPECT_FALSE(Parse({"/s"}, nullptr).Active);
    // xscreensaver's variable alone does not turn the switches into a hack.
    EXPECT_FALSE(Parse({"/s"}, "0x400007").Active);
    EXPECT_FALSE(Parse({"/c"}, "0x400007").Active);
    EXPECT_FALSE(Parse({"/p", "123"}, "0x400007").Active);
    EXPECT_FALSE(Parse({"foo", "-fps"}, nullptr).Active); // a first argument that is no option: the dialog
}

TEST(HackRequest, ChoicesAloneRunInAWindowOfItsOwn) {
    THackRequest own = Parse({"-fps"}, nullptr);
    EXPECT_TRUE(own.Active);
    EXPECT_FALSE(own.Root);
    EXPECT_EQ(own.Window, 0ul);
    EXPECT_EQ(own.Choices.FPSShow, 1);
    EXPECT_EQ(Parse({"--clock24"}, "0x400007").Window, 0x400007ul); // under the daemon, its window
}

TEST(HackRequest, EveryOptionTakesOneDashOrTwo) {
    THackRequest two = Parse({"--root", "--fps", "--no-clock", "--clock12"}, nullptr);
    EXPECT_TRUE(two.Root);
    EXPECT_EQ(two.Choices.FPSShow, 1);
    EXPECT_EQ(two.Choices.TimeShow, 0);
    EXPECT_EQ(two.Choices.Time24, 0);
    EXPECT_EQ(Parse({"--clock"}, nullptr).Choices.TimeShow, 1);
    EXPECT_TRUE(Parse({"--help"}, nullptr).Help);
    EXPECT_TRUE(Parse({"-help"}, nullptr).Help);
    EXPECT_TRUE(Parse({"--version"}, nullptr).Version);
    EXPECT_TRUE(Parse({"-fps", "-version"}, "0x400007").Version);
}

TEST(HackRequest, UnknownOptionsAreRefusedWithoutAWindowToo) {
    std::string error;
    for (const char* option : {"--speed", "-speed", "-", "--", "---fps", "--Fps"}) {
        Parse({option}, nullptr, &error);
        EXPECT_EQ(error, std::string("Unknown option: ") + option);
    }
}

// What --help lists is what the parser takes.
TEST(HackUsage, ListsEveryOptionAndWhereTheSettingsAre) {
    std::string usage = x11::UsageText("/home/ann/.config/tarnwick/tarnwick.txt", "/opt/tarnwick/");
    for (const char* option : {"--root", "--window-id", "--fps", "--clock", "--no-clock", "--clock12",
                               "--clock24", "--sound", "--no-sound", "--help", "--version"}) {
        EXPECT_NE(usage.find(option), std::string::npos) << option;
        std::vector<std::string> args = {option};
        if (std::string(option) == "--window-id") args.push_back("7");
        Parse(args, nullptr);
    }
    for (const char* text :
         {"/s", "/p WINDOW", "/c", "/i", "/u", "/home/ann/.config/tarnwick/tarnwick.txt", "/opt/tarnwick/"})
        EXPECT_NE(usage.find(text), std::string::npos) << text;
    EXPECT_NE(x11::UsageText("s", "").find("no data folder found"), std::string::npos);
}

TEST(HackRequest, ChoosesTheWindowToDrawInto) {
    THackRequest root = Parse({"-root"}, nullptr);
    EXPECT_TRUE(root.Active);
    EXPECT_TRUE(root.Root);

    THackRequest daemon = Parse({"-root"}, "0x400007");
    EXPECT_TRUE(daemon.Active);
    EXPECT_FALSE(daemon.Root);
    EXPECT_EQ(daemon.Window, 0x400007ul);

    THackRequest bare = Parse({}, "4194311"); // no argument with the variable set
    EXPECT_TRUE(bare.Active);
    EXPECT_EQ(bare.Window, 4194311ul);

    THackRequest given = Parse({"-window-id", "0x600001"}, "0x400007"); // the given id wins
    EXPECT_FALSE(given.Root);
    EXPECT_EQ(given.Window, 0x600001ul);
    EXPECT_EQ(Parse({"--window-id", "99"}, nullptr).Window, 99ul);
}

TEST(HackRequest, OptionsOverrideTheSettingsForTheRun) {
    THackRequest none = Parse({"-root"}, nullptr);
    EXPECT_EQ(none.Choices.FPSShow, -1);
    EXPECT_EQ(none.Choices.TimeShow, -1);
    EXPECT_EQ(none.Choices.Time24, -1);

    THackRequest some = Parse({"-root", "-fps", "-no-clock", "-clock24"}, nullptr);
    EXPECT_EQ(some.Choices.FPSShow, 1);
    EXPECT_EQ(some.Choices.TimeShow, 0);
    EXPECT_EQ(some.Choices.Time24, 1);

    THackRequest last = Parse({"-clock24", "-clock", "-clock12", "-root"}, nullptr); // the last one counts
    EXPECT_EQ(last.Choices.TimeShow, 1);
    EXPECT_EQ(last.Choices.Time24, 0);

    EXPECT_EQ(none.Choices.SoundOn, -1);
    EXPECT_EQ(Parse({"-root", "-no-sound"}, nullptr).Choices.SoundOn, 0);
    EXPECT_EQ(Parse({"--no-sound", "--sound"}, nullptr).Choices.SoundOn, 1);
    EXPECT_EQ(Parse({"--sound", "--no-sound"}, nullptr).Choices.SoundOn, 0);
}

TEST(HackRequest, ReportsBadInputInItsOwnWords) {
    std::string error;
    Parse({"-window-id"}, nullptr, &error);
    EXPECT_EQ(error, "-window-id needs a window id");
    Parse({"-window-id", "banana"}, nullptr, &error);
    EXPECT_EQ(error, "'banana' is not a valid window id");
    Parse({"-root", "-speed", "3"}, nullptr, &error);
    EXPECT_EQ(error, "Unknown option: -speed");
    Parse({"-root"}, "nonsense", &error);
    EXPECT_EQ(error, "XSCREENSAVER_WINDOW: 'nonsense' is not a valid window id");
}

TEST(HackSound, OneHackPerUserAndDisplayPlays) {
    std::string display = ":sound-test-" + std::to_string(getpid());
    setenv("DISPLAY", display.c_str(), 1);
    EXPECT_TRUE(x11::TakeSoundLock());  // the first hack on this display
    EXPECT_FALSE(x11::TakeSoundLock()); // every later one stays silent
    setenv("DISPLAY", (display + ".1").c_str(), 1);
    EXPECT_TRUE(x11::TakeSoundLock()); // another display has a sound of its own
}

namespace {
std::vector<std::string> SoundCalls;
bool LockFree = false;
bool TakeFakeLock() {
    return LockFree;
}
} // namespace

// A hack started while the one it replaces still holds the sound: nothing
// plays until the lock is free, then the set-up's calls are made in order.
TEST(HackSound, DeferredSoundStartsOnceTheLockIsFree) {
    SoundCalls.clear();
    LockFree = false;
    TEngineCalls& e = EngineCalls;
    e.InitSound = [](platform::WindowHandle w) { SoundCalls.push_back("init " + std::to_string(w)); };
    e.LoadWave = [](const std::string& path) { SoundCalls.push_back("load " + path); };
    e.PlaySound = [](std::int32_t i, bool restart, bool loop) {
        SoundCalls.push_back("play " + std::to_string(i) + (restart ? " restart" : "") +
                             (loop ? " loop" : ""));
    };
    e.SetSoundVolume = [](std::int32_t i, std::int32_t v) {
        SoundCalls.push_back("volume " + std::to_string(i) + " " + std::to_string(v));
    };
    e.SetMusicVolume = [](std::int32_t v) { SoundCalls.push_back("music " + std::to_string(v)); };
    e.FreeSounds = [] { SoundCalls.push_back("free"); };
    e.ShutdownSound = [] { SoundCalls.push_back("shutdown"); };

    x11::DeferSound(TakeFakeLock);
    e.InitSound(42);
    e.LoadWave("sounds\\smallwaterfall.wav");
    e.PlaySound(0, false, true);
    e.SetSoundVolume(-1, -1000);
    e.SetMusicVolume(-1000);
    EXPECT_FALSE(x11::PollSoundLock(TakeFakeLock));
    EXPECT_TRUE(SoundCalls.empty());

    LockFree = true;
    EXPECT_TRUE(x11::PollSoundLock(TakeFakeLock));
    EXPECT_EQ(SoundCalls, (std::vector<std::string>{"init 42", "load sounds\\smallwaterfall.wav",
                                                    "play 0 loop", "volume -1 -1000", "music -1000"}));
    EXPECT_FALSE(x11::PollSoundLock(TakeFakeLock)); // taken once
    e.FreeSounds();
    e.ShutdownSound();
    EXPECT_EQ(SoundCalls.back(), "shutdown");
    EXPECT_EQ(SoundCalls[SoundCalls.size() - 2], "free");

    // A run that ended before the lock came free starts nothing, and a
    // silent run never takes the lock from a hack that would play.
    SoundCalls.clear();
    LockFree = false;
    x11::DeferSound(TakeFakeLock);
    e.InitSound(7);
    e.LoadWave("w");
    e.FreeSounds();
    e.ShutdownSound();
    LockFree = true;
    EXPECT_FALSE(x11::PollSoundLock(TakeFakeLock));
    EXPECT_TRUE(SoundCalls.empty());

    // Free when the run starts its sound: it starts at once, so a wave
    // that cannot be read fails the set-up as in any run.
    x11::DeferSound(TakeFakeLock);
    e.InitSound(9);
    e.LoadWave("w");
    EXPECT_EQ(SoundCalls, (std::vector<std::string>{"init 9", "load w"}));
    EXPECT_FALSE(x11::PollSoundLock(TakeFakeLock));
}
