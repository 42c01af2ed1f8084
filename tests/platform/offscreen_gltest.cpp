// The offscreen stand-in itself: a context that draws into memory, with the
// depth buffer and the extension entry points the device relies on.
#include "tests/support/gl_fixture.h"

using OffscreenSurface = OffscreenGlTest;

TEST_F(OffscreenSurface, ClearsAndReadsBackPixels) {
    MakeCurrent();
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    auto p = ReadPixel(5, 7);
    EXPECT_EQ(p[0], 255);
    EXPECT_EQ(p[1], 0);
    EXPECT_EQ(p[3], 255);
    platform::GlSwapBuffers(surface);
    // The surface's memory holds the same picture.
    EXPECT_EQ(platform::OffscreenPixels(surface)[0], 255);
}

TEST_F(OffscreenSurface, HasDeepDepthBufferAndMultitextureEntryPoints) {
    MakeCurrent();
    GLint depthBits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    EXPECT_GE(depthBits, 24);
    EXPECT_NE(platform::GlGetProcAddress("glActiveTextureARB"), nullptr);
}

TEST_F(OffscreenSurface, FollowsResize) {
    platform::ResizeOffscreenSurface(surface, 64, 32);
    MakeCurrent();
    GLint viewport[4] = {};
    glViewport(0, 0, 64, 32);
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 64);
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    EXPECT_EQ(ReadPixel(63, 31)[2], 255);
}
