// The texture table, the render targets and the surface overlay.
#include "tests/engine/render/device_fixture.h"

#include "engine/features/switches.h"
#include "engine/render/textures.h"
#include "engine/support/errors.h"

namespace {
// Texture parameters of a name, read with the context current.
int TextureLevelParameter(GLuint name, GLenum what) {
    glBindTexture(GL_TEXTURE_2D, name);
    GLint value = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, what, &value);
    return value;
}
int TextureParameter(GLuint name, GLenum what) {
    glBindTexture(GL_TEXTURE_2D, name);
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, what, &value);
    return value;
}
} // namespace

using TextureTable = DeviceGlTest;

TEST_F(TextureTable, UploadsEveryFrameIntoConsecutiveEntries) {
    NextTexture = 10;
    UmtImages.push_back(SolidImage({{255, 0, 0, 0}, {0, 255, 0, 0}, {0, 0, 255, 0}}));
    UmtImages.push_back(SolidImage({{9, 9, 9, 128}}, 32));
    std::int16_t first = -1, last = -1;
    UploadTextures(first, last);
    FreeUmtImages();
    EXPECT_EQ(first, 10);
    EXPECT_EQ(last, 13);
    EXPECT_EQ(NextTexture, 14);
    ASSERT_TRUE(AcquireContext());
    for (int i = 10; i <= 13; ++i)
        EXPECT_TRUE(glIsTexture(TextureNames[i])) << i;
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    // Frame 1 of the first image is green; the 32-bit image keeps its alpha.
    EXPECT_EQ(TextureLevelParameter(TextureNames[11], GL_TEXTURE_GREEN_SIZE) > 0, true);
    std::vector<std::uint8_t> texels(4 * 4 * 4);
    glBindTexture(GL_TEXTURE_2D, TextureNames[11]);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    EXPECT_EQ(texels[0], 0);
    EXPECT_EQ(texels[1], 255);
    EXPECT_EQ(TextureLevelParameter(TextureNames[12], GL_TEXTURE_ALPHA_SIZE), 0);
    EXPECT_GT(TextureLevelParameter(TextureNames[13], GL_TEXTURE_ALPHA_SIZE), 0);
    glBindTexture(GL_TEXTURE_2D, TextureNames[13]);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    EXPECT_EQ(texels[3], 128);
    // OpenGL's defaults: mipmapped minification, linear magnification, repeat.
    EXPECT_EQ(TextureParameter(TextureNames[10], GL_TEXTURE_MIN_FILTER), GL_NEAREST_MIPMAP_LINEAR);
    EXPECT_EQ(TextureParameter(TextureNames[10], GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(TextureParameter(TextureNames[10], GL_TEXTURE_WRAP_S), GL_REPEAT);
    EXPECT_GT(TextureLevelParameter(TextureNames[10], GL_TEXTURE_WIDTH), 0);
    glBindTexture(GL_TEXTURE_2D, TextureNames[10]);
    GLint level2 = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 2, GL_TEXTURE_WIDTH, &level2); // 4 -> 2 -> 1
    EXPECT_EQ(level2, 1);
    ReleaseContext();
}

TEST_F(TextureTable, EmptyStagingTableTouchesNothing) {
    NextTexture = 7;
    std::int16_t first = -3, last = -4;
    UploadTextures(first, last);
    EXPECT_EQ(first, -3);
    EXPECT_EQ(last, -4);
    EXPECT_EQ(NextTexture, 7);
}

TEST_F(TextureTable, RefusesImagesThatWouldOverrunTheTable) {
    NextTexture = 510;
    UmtImages.push_back(SolidImage({{1, 1, 1, 1}, {2, 2, 2, 2}, {3, 3, 3, 3}}));
    std::int16_t first = -1, last = -1;
    try {
        UploadTextures(first, last);
        FAIL() << "a third frame has no entry left";
    } catch (const TIoError& error) {
        EXPECT_EQ(error.Code(), TextureTableFullCode);
        EXPECT_STREQ(error.what(), "Too many textures: the texture table holds 512");
    }
    EXPECT_EQ(NextTexture, 510);
    EXPECT_EQ(first, -1);
    EXPECT_EQ(TextureNames[510], 0u);
    // Two frames still fit exactly.
    UmtImages.pop_back();
    UmtImages.push_back(SolidImage({{1, 1, 1, 1}, {2, 2, 2, 2}}));
    UploadTextures(first, last);
    FreeUmtImages();
    EXPECT_EQ(first, 510);
    EXPECT_EQ(last, 511);
    EXPECT_EQ(NextTexture, 512);
}

TEST_F(TextureTable, RefusesAnImageShorterThanItsFrames) {
    TUmtImage image = SolidImage({{1, 1, 1, 1}, {2, 2, 2, 2}});
    image.LastFrame = 5;
    UmtImages.push_back(image);
    std::int16_t first = -1, last = -1;
    EXPECT_THROW(UploadTextures(first, last), TIoError);
    FreeUmtImages();
    // 2^15 x 2^15 x 4 bytes x 2^32 frames is 2^64, 0 in 64-bit arithmetic:
    // still far more than an empty image holds.
    image.Width = image.Height = 32768;
    image.BitsPerPixel = 32;
    image.LastFrame = 0xFFFFFFFF;
    image.Pixels.clear();
    UmtImages.push_back(image);
    try {
        UploadTextures(first, last);
        FAIL() << "no error";
    } catch (const TIoError& error) {
        EXPECT_EQ(error.Code(), IoReadBeyondEnd) << error.what();
    }
    FreeUmtImages();
    EXPECT_EQ(NextTexture, 0);
}

TEST_F(TextureTable, TargetsAreBlankRgbTexturesOfTheirSize) {
    const std::uint16_t size[2] = {256, 128}; // height, width
    SetParameter(3, size);
    EnableFeature(2);
    EnableFeature(4);
    ASSERT_TRUE(AcquireContext());
    EXPECT_EQ(TextureLevelParameter(TrailTexture, GL_TEXTURE_WIDTH), 128);
    EXPECT_EQ(TextureLevelParameter(TrailTexture, GL_TEXTURE_HEIGHT), 256);
    EXPECT_EQ(TextureLevelParameter(GlowTexture, GL_TEXTURE_WIDTH), 64);
    EXPECT_EQ(TextureParameter(GlowTexture, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(TextureParameter(GlowTexture, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(TextureLevelParameter(GlowTexture, GL_TEXTURE_ALPHA_SIZE), 0);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_COLOR_MATERIAL));
    GLint mode = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
    EXPECT_EQ(mode, GL_MODULATE);
    std::vector<std::uint8_t> texels(128 * 256 * 3, 99);
    glBindTexture(GL_TEXTURE_2D, TrailTexture);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    EXPECT_EQ(texels.front(), 0);
    EXPECT_EQ(texels.back(), 0);
    ReleaseContext();
    const std::uint32_t trail = TrailTexture;
    DisableFeature(2);
    EXPECT_EQ(TrailTexture, trail); // the name stays
    ASSERT_TRUE(AcquireContext());
    EXPECT_FALSE(glIsTexture(trail));
    ReleaseContext();
}

TEST_F(TextureTable, ReflectionTargetNeedsTwoUnits) {
    EnableFeature(20);
    EXPECT_EQ(ReflectionReady, 1);
    ASSERT_TRUE(AcquireContext());
    EXPECT_EQ(TextureLevelParameter(ReflectionTexture, GL_TEXTURE_WIDTH), 64);
    ReleaseContext();
    DisableFeature(20);
    EXPECT_EQ(ReflectionReady, 0);
    TextureUnitCount = 1; // a driver with a single unit
    const std::uint32_t before = ReflectionTexture;
    EnableFeature(20);
    EXPECT_EQ(ReflectionReady, 0);
    EXPECT_EQ(ReflectionTexture, before);
}

TEST_F(TextureTable, SurfaceOverlayLoadsOnlyInModeSevenAndOnlyOnce) {
    SaveUmt(Path("sfs.umt"), SolidImage({{0, 200, 0, 0}}), false);
    const std::int16_t mode3 = 3, mode7 = 7;
    SetParameter(6, &mode3);
    EnableFeature(6);
    EXPECT_EQ(SurfaceOverlayLoaded, 0);
    EXPECT_EQ(SurfaceOverlayTexture, 0u);
    SetParameter(6, &mode7);
    EXPECT_EQ(SurfaceOverlayLoaded, 1);
    const std::uint32_t overlay = SurfaceOverlayTexture;
    ASSERT_TRUE(AcquireContext());
    std::vector<std::uint8_t> texels(4 * 4 * 3);
    glBindTexture(GL_TEXTURE_2D, overlay);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    EXPECT_EQ(texels[1], 200);
    ReleaseContext();
    EXPECT_TRUE(UmtImages.empty());
    std::filesystem::remove(Path("sfs.umt")); // a second load would now fail
    DisableFeature(6);
    EnableFeature(6);
    SetParameter(6, &mode7);
    EXPECT_EQ(SurfaceOverlayTexture, overlay);
    EXPECT_EQ(NextTexture, 0); // not in the table
}

TEST_F(TextureTable, MissingOverlayFileRaisesAndLeavesNothingStale) {
    try {
        EnableFeature(6);
        FAIL() << "no sfs.umt in the texture folder";
    } catch (const TIoError& error) {
        EXPECT_EQ(error.Code(), IoFileNotFound);
    }
    EXPECT_EQ(SurfaceOverlayLoaded, 0);
    // No overlay to draw, and no name of a deleted texture to bind.
    EXPECT_EQ(SurfaceOverlayOn, 0);
    EXPECT_EQ(SurfaceOverlayTexture, 0u);
    // A frame still works afterwards.
    BeginFrame();
    EXPECT_TRUE(FrameOpen);
    EndFrame();
}
