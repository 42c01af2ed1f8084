// The argument table: which switch starts what, and how window handles are
// read from the command line.
#include "shell/run_mode.h"

#include <gtest/gtest.h>

namespace {
TArguments Args(std::vector<std::string> args) {
    return ReadArguments(args);
}

TEST(RunModeArguments, OnlyExactLowerCaseSwitchesInstallOrUninstall) {
    EXPECT_EQ(ChooseStartAction(Args({"/i"})), StartInstall);
    EXPECT_EQ(ChooseStartAction(Args({"/i", "extra"})), StartInstall);
    EXPECT_EQ(ChooseStartAction(Args({"/u"})), StartUninstall);
    for (const char* other : {"/I", "/U", "/iX", "i", "/u ", "", "/s", "/p"})
        EXPECT_EQ(ChooseStartAction(Args({other})), StartWindow) << other;
    EXPECT_EQ(ChooseStartAction(Args({})), StartWindow);
}

TEST(RunModeArguments, ChoosesTheWindowSetUp) {
    EXPECT_EQ(ChooseWindowSetUp(Args({})), SetUpFullScreen);
    EXPECT_EQ(ChooseWindowSetUp(Args({"/s"})), SetUpFullScreen);
    EXPECT_EQ(ChooseWindowSetUp(Args({"/p", "123"})), SetUpPreview);
    EXPECT_EQ(ChooseWindowSetUp(Args({"/p"})), SetUpPreview);
    // Anything else is the settings dialog, upper-case switches included.
    for (const char* other : {"/c", "/c:1234", "/S", "/P", "/I", "/U", "/iX", "-s", "/s:1", "x"})
        EXPECT_EQ(ChooseWindowSetUp(Args({other})), SetUpConfigure) << other;
}

// How Windows' shell starts a screen saver: "/S" to test it, no argument to
// configure it, switches in either case.
TEST(RunModeArguments, ShellVerbsIgnoreCaseAndConfigureWithoutArgument) {
    ShellSwitches = true;
    for (const char* run : {"/s", "/S"})
        EXPECT_EQ(ChooseWindowSetUp(Args({run})), SetUpFullScreen) << run;
    for (const char* settings : {"/c", "/C", "/C:1234", "/c:1234", "/s:1", "-s", "x"})
        EXPECT_EQ(ChooseWindowSetUp(Args({settings})), SetUpConfigure) << settings;
    EXPECT_EQ(ChooseWindowSetUp(Args({})), SetUpConfigure);
    EXPECT_EQ(ChooseWindowSetUp(Args({"/P", "123"})), SetUpPreview);
    EXPECT_EQ(ChooseStartAction(Args({"/I"})), StartInstall);
    EXPECT_EQ(ChooseStartAction(Args({"/U"})), StartUninstall);
    EXPECT_EQ(ChooseStartAction(Args({"/iX"})), StartWindow);
    EXPECT_EQ(ConfigureWindow(Args({"/C:1234"})), 1234u);
    ShellSwitches = false;
}

TEST(RunModeArguments, ReadsOnlyTheFirstTwo) {
    TArguments a = Args({"/p", "77", "/s"});
    EXPECT_EQ(a.First, "/p");
    EXPECT_EQ(a.Second, "77");
    TArguments none = Args({});
    EXPECT_EQ(none.First, "");
    EXPECT_EQ(none.Second, "");
}

TEST(RunModeArguments, PreviewHandleMustBeANumber) {
    EXPECT_EQ(PreviewParent(Args({"/p", "1234"})), 1234u);
    try {
        PreviewParent(Args({"/p", "abc"}));
        FAIL() << "no error";
    } catch (const TConvertError& e) {
        EXPECT_STREQ(e.what(), "'abc' is not a valid integer value");
    }
    // As xwininfo prints it; without one, how to give it.
    EXPECT_EQ(PreviewParent(Args({"/p", "0x1a00007"})), 0x1a00007u);
    EXPECT_EQ(PreviewParent(Args({"/p", "0XfFfFfFfE"})),
              static_cast<platform::WindowHandle>(static_cast<std::intptr_t>(-2)));
    try {
        PreviewParent(Args({"/p"}));
        FAIL() << "no error";
    } catch (const std::exception& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Usage: ", 0), 0u) << e.what();
        EXPECT_NE(std::string(e.what()).find("/p WINDOW"), std::string::npos) << e.what();
    }
}

TEST(RunModeArguments, ConfigureHandleFromTheFourthCharacter) {
    EXPECT_EQ(ConfigureHandleText(Args({"/c:1234"})), "1234");
    EXPECT_EQ(ConfigureHandleText(Args({"/c:"})), "");
    EXPECT_EQ(ConfigureHandleText(Args({"/c"})), "");
    EXPECT_EQ(ConfigureHandleText(Args({"/S"})), "");
    EXPECT_EQ(ConfigureWindow(Args({"/c:1234"})), 1234u);
    // Not a number: no window, so nothing will be disabled.
    EXPECT_EQ(ConfigureWindow(Args({"/c:abc"})), 0u);
    EXPECT_EQ(ConfigureWindow(Args({"/c"})), 0u);
    EXPECT_EQ(ConfigureWindow(Args({"/c:12x"})), 0u);
}

TEST(RunModeArguments, HandlesAreThirtyTwoBitsSignExtended) {
    platform::WindowHandle h = 0;
    EXPECT_TRUE(ParseWindowHandle("4294967295", h));
    EXPECT_EQ(h, static_cast<platform::WindowHandle>(static_cast<std::intptr_t>(-1)));
    EXPECT_TRUE(ParseWindowHandle("-2", h));
    EXPECT_EQ(h, static_cast<platform::WindowHandle>(static_cast<std::intptr_t>(-2)));
    EXPECT_TRUE(ParseWindowHandle("65554", h));
    EXPECT_EQ(h, 65554u);
    h = 5;
    for (const char* bad : {"4294967296", "-2147483649", "", "0x", "-0x10", "0x100000000", "0x1g", "1 ",
                            "99999999999999999999999"}) {
        EXPECT_FALSE(ParseWindowHandle(bad, h)) << bad;
        EXPECT_EQ(h, 5u);
    }
}
} // namespace
