// The OpenGL backend's context and frame on an offscreen surface: the state
// DeviceInit leaves, extension detection, the viewport and the frame cycle.
#include "tests/engine/render/device_fixture.h"

#include "engine/features/particle.h"
#include "engine/features/switches.h"
#include "engine/render/effects.h"
#include "engine/render/flares.h"
#include "engine/render/textures.h"

using DeviceContext = DeviceGlTest;

TEST_F(DeviceContext, InitLeavesTheDocumentedStateAndNoContextCurrent) {
    ASSERT_TRUE(AcquireContext());
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_EQ(Integer(GL_DEPTH_FUNC), GL_LESS);
    EXPECT_EQ(Integer(GL_FRONT_FACE), GL_CCW);
    EXPECT_EQ(Integer(GL_BLEND_SRC), GL_SRC_ALPHA);
    EXPECT_EQ(Integer(GL_BLEND_DST), GL_ONE_MINUS_SRC_ALPHA);
    EXPECT_EQ(Integer(GL_UNPACK_ALIGNMENT), 1);
    EXPECT_EQ(Integer(GL_SHADE_MODEL), GL_SMOOTH);
    EXPECT_EQ(Integer(GL_PERSPECTIVE_CORRECTION_HINT), GL_NICEST);
    ReleaseContext();
}

TEST_F(DeviceContext, DetectsMultitextureAndSetsTheUnitEnvironments) {
    ASSERT_TRUE(AcquireContext());
    EXPECT_TRUE(HasExtension("GL_ARB_multitexture"));
    EXPECT_FALSE(HasExtension("GL_ARB_multi"));
    EXPECT_EQ(MultitextureSupported, 1);
    EXPECT_GE(TextureUnitCount, 2);
    EXPECT_EQ(TextureUnitCount, Integer(GL_MAX_TEXTURE_UNITS_ARB));
    EXPECT_GT(MaxTextureSize, 0);
    EXPECT_NE(opengl_my::glActiveTextureARB, nullptr);
    EXPECT_NE(opengl_my::glMultiTexCoord2fvARB, nullptr);
    GLint mode = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
    EXPECT_EQ(mode, GL_REPLACE); // unit 0, left active
    EXPECT_EQ(Integer(GL_ACTIVE_TEXTURE_ARB), GL_TEXTURE0_ARB);
    opengl_my::glActiveTextureARB(GL_TEXTURE0_ARB + TextureUnitCount - 1);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
    EXPECT_EQ(mode, GL_ADD);
    opengl_my::glActiveTextureARB(GL_TEXTURE0_ARB);
    ReleaseContext();
}

TEST_F(DeviceContext, SecondInitKeepsTheFirstContext) {
    const platform::GlContext first = RenderContext;
    DeviceInit();
    EXPECT_EQ(RenderContext, first);
}

class DeviceResizing : public DeviceGlTest {
  protected:
    void SetUp() override {
        width = 1368;
        height = 768;
        DeviceGlTest::SetUp();
    }
};

TEST_F(DeviceResizing, RoundsTheWidthUpToAMultipleOfFour) {
    DeviceResize(1366, 768);
    EXPECT_EQ(ScreenWidth, 1368);
    EXPECT_EQ(ScreenHeight, 768);
    EXPECT_EQ(AspectRatio, 1.78125f);
    BeginFrame();
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 1368);
    EXPECT_EQ(viewport[3], 768);
    EndFrame();
    DeviceResize(1364, 700);
    EXPECT_EQ(ScreenWidth, 1364);
    DeviceResize(1, 1);
    EXPECT_EQ(ScreenWidth, 4);
}

TEST_F(DeviceResizing, IgnoresSizesWithoutArea) {
    DeviceResize(0, 768);
    DeviceResize(1366, -5);
    EXPECT_EQ(ScreenWidth, 1368);
    EXPECT_EQ(ScreenHeight, 768);
    EXPECT_EQ(AspectRatio, 1.78125f);
}

TEST_F(DeviceResizing, ReallocatesTheFilterBufferWhileTheFilterIsOn) {
    EnableFeature(7);
    ASSERT_NE(ScreenBuffer, nullptr);
    DeviceResize(640, 480);
    ASSERT_NE(ScreenBuffer, nullptr);
    ScreenBuffer[640 * 480 * 3] = 1; // the spare byte after the last pixel
    DisableFeature(7);
    EXPECT_EQ(ScreenBuffer, nullptr);
}

TEST_F(DeviceContext, FrameClearsToTheClearColourAndPresents) {
    const float blue[4] = {0, 0, 1, 1};
    SetParameter(0, blue);
    BeginFrame();
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(Pixel(10, 10), (std::array<int, 4>{0, 0, 255, 255}));
    EXPECT_EQ(Depth(10, 10), 1.0f);
    EndFrame();
    EXPECT_FALSE(FrameOpen);
    const auto& pixels = platform::OffscreenPixels(surface);
    EXPECT_EQ(pixels[2], 255);
    EXPECT_EQ(pixels[0], 0);
}

TEST_F(DeviceContext, WithClearColourOffTheOldPictureStays) {
    const float red[4] = {1, 0, 0, 1};
    SetParameter(0, red);
    BeginFrame();
    EndFrame();
    DisableFeature(0);
    const float green[4] = {0, 1, 0, 1};
    SetParameter(0, green);
    BeginFrame();
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    EXPECT_EQ(Pixel(3, 3)[0], 255); // still red
    EXPECT_EQ(Pixel(3, 3)[1], 0);
    EXPECT_EQ(Depth(3, 3), 1.0f); // depth was cleared
    EndFrame();
}

TEST_F(DeviceContext, AcquiringSlotsInsideAFrameKeepTheFrameCurrent) {
    BeginFrame();
    std::int16_t first = -1, last = -1;
    UmtImages.push_back(SolidImage({{10, 20, 30, 255}}));
    UploadTextures(first, last);
    FreeUmtImages();
    EnableFeature(21);
    EnableFeature(2);
    // Still current: clearing still reaches the surface.
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    EXPECT_EQ(Pixel(0, 0)[0], 255);
    EndFrame();
    EXPECT_EQ(platform::OffscreenPixels(surface)[0], 255);
    EXPECT_EQ(first, 0);
}

TEST_F(DeviceContext, SlotsOutOfOrderDoNoHarm) {
    EndFrame(); // no frame open
    FilterScreen();
    EnableFeature(7);
    EnableFeature(9);
    BeginFrame();
    BeginFrame(); // a second begin is ignored
    EndFrame();
    EXPECT_FALSE(FrameOpen);
    DeviceDone();
    DeviceDone();
    BeginFrame(); // no context any more
    EXPECT_FALSE(FrameOpen);
    std::int16_t first = 5, last = 6;
    UmtImages.push_back(SolidImage({{1, 2, 3, 4}}));
    UploadTextures(first, last);
    FreeUmtImages();
    EXPECT_EQ(first, 5);
    EXPECT_EQ(NextTexture, 0);
}

TEST(DeviceWithoutWindow, InitWithoutAContextLeavesTheDeviceInert) {
    SetDeviceWindow(0);
    SelectBackend(2);
    DeviceInit(); // OSMesa makes a context but it cannot be made current on no surface
    DeviceResize(640, 480);
    BeginFrame();
    EXPECT_FALSE(FrameOpen);
    EXPECT_EQ(ScreenWidth, 0);
    DeviceDone();
    EXPECT_EQ(RenderContext, nullptr);
}

TEST_F(DeviceContext, DoneFreesTheDeviceResourcesAndForgetsWhatWentWithTheContext) {
    SaveUmt(Path("sfs.umt"), SolidImage({{1, 2, 3, 0}}), false);
    SaveUmt(Path("flare.umt"), SolidImage({{4, 5, 6, 0}}), false);
    const std::int32_t pools = 2;
    SetParameter(11, &pools);
    EnableFeature(11);
    EnableFeature(6);
    EnableFeature(7);
    EnableFeature(8);
    EnableFeature(20);
    ASSERT_NE(ScreenBuffer, nullptr);
    ASSERT_EQ(SurfaceOverlayLoaded, 1);
    ASSERT_EQ(FlaresLoaded, 1);
    ASSERT_EQ(ReflectionReady, 1);
    BeginFrame(); // left open: DeviceDone ends it
    DeviceDone();
    EXPECT_EQ(RenderContext, nullptr);
    EXPECT_FALSE(FrameOpen);
    EXPECT_EQ(ScreenBuffer, nullptr);
    EXPECT_EQ(SpritePools.Count, 0u);
    EXPECT_EQ(FlarePools.Count, 0u);
    // The textures went with the context: a new device loads them afresh.
    EXPECT_EQ(SurfaceOverlayLoaded, 0);
    EXPECT_EQ(FlaresLoaded, 0);
    EXPECT_EQ(ReflectionReady, 0);
}

TEST(DeviceWithoutContext, DoneStillFreesThePoolsAndTheScreenBuffer) {
    SelectBackend(2); // never initialised: no context
    ScreenWidth = 64;
    ScreenHeight = 48;
    EnableFeature(7);
    const std::int32_t pools = 1;
    SetParameter(11, &pools);
    EnableFeature(11);
    ASSERT_NE(ScreenBuffer, nullptr);
    ASSERT_EQ(SpritePools.Count, 1u);
    DeviceDone();
    EXPECT_EQ(ScreenBuffer, nullptr);
    EXPECT_EQ(SpritePools.Count, 0u);
    EXPECT_EQ(FlarePools.Count, 0u);
}
