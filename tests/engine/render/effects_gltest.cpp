// The screen effects on the offscreen device: the trail's fading capture,
// the glow's mask and overlay, the reflection pass and the screen filters,
// seen in pixels, textures and GL state.
#include "tests/engine/render/device_fixture.h"

#include <cmath>

#include "engine/features/switches.h"
#include "engine/render/effects.h"
#include "engine/render/textures.h"

namespace {

class Effects : public DeviceGlTest {
  protected:
    Effects() {
        width = 128;
        height = 128;
    }
    static void Size(std::uint32_t parameter, std::uint16_t w, std::uint16_t h) {
        const std::uint16_t value[2] = {h, w};
        SetParameter(parameter, value);
    }
    // The whole viewport in one colour, at depth 0.5 (identity matrices), or
    // the part x0..x1, y0..y1 of it (-1 left and bottom, 1 right and top).
    static void Fill(float r, float g, float b, float x0 = -1, float x1 = 1, float y0 = -1, float y1 = 1) {
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_BLEND);
        glDisable(GL_LIGHTING);
        glEnable(GL_COLOR_MATERIAL);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glColor4f(r, g, b, 1);
        glBegin(GL_QUADS);
        glVertex2f(x0, y0);
        glVertex2f(x1, y0);
        glVertex2f(x1, y1);
        glVertex2f(x0, y1);
        glEnd();
    }
    // Red channel of texel (x, y) of a target texture of the given width and height.
    static int Texel(GLuint texture, int w, int h, int x, int y) {
        std::vector<std::uint8_t> texels(std::size_t(w) * h * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glBindTexture(GL_TEXTURE_2D, texture);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
        return texels[(std::size_t(y) * w + x) * 3];
    }
    static void SetTexture(GLuint texture, int w, int h, std::uint8_t level) {
        const std::vector<std::uint8_t> texels(std::size_t(w) * h * 3, level);
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, w, h, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    }
    static std::array<float, 16> Projection() {
        std::array<float, 16> m{};
        glGetFloatv(GL_PROJECTION_MATRIX, m.data());
        return m;
    }
    static std::array<int, 4> Viewport() {
        std::array<int, 4> v{};
        glGetIntegerv(GL_VIEWPORT, v.data());
        return v;
    }
    // Pixel (x, y) of the picture EndFrame presented.
    std::array<int, 3> Presented(int x, int y) const {
        const auto& pixels = platform::OffscreenPixels(surface);
        const std::size_t at = (std::size_t(y) * platform::OffscreenWidth(surface) + x) * 4;
        return {pixels[at], pixels[at + 1], pixels[at + 2]};
    }
    // A square over x0..x1, seen from the front unless `flipped` (then it
    // only shows in a mirror).
    std::uint32_t LoadSquare(float x0, float x1, bool flipped = false) {
        TModel model = EmptyModel();
        AddMaterial(model, Material(0.2f, 0.4f, 0.6f, 1));
        TMesh mesh = Square(x0, -1, x1, 1, 0);
        if (flipped)
            for (TTriangle& triangle : mesh.Triangles)
                std::swap(triangle.Vertices[1], triangle.Vertices[2]);
        AddObject(model, 0, mesh, 0.5f);
        const std::string name = "square" + std::to_string(ModelCount) + ".umf";
        SaveUmf(Path(name), model);
        LoadModel(Path(name));
        return ModelCount - 1;
    }
};

} // namespace

TEST_F(Effects, TrailTakesATenthOfTheNewPictureAndFadesByNineTenthsPerFrame) {
    Size(3, 32, 32);
    EnableFeature(2);
    BeginFrame();
    BeginTrailPass();
    EXPECT_EQ(InTrailPass, 1);
    EXPECT_EQ(Viewport(), (std::array<int, 4>{0, 0, 32, 32}));
    Fill(1, 1, 1);
    EndTrailPass();
    EXPECT_EQ(InTrailPass, 0);
    EXPECT_EQ(Viewport(), (std::array<int, 4>{0, 0, 128, 128}));
    EXPECT_NEAR(Texel(TrailTexture, 32, 32, 16, 16), 26, 2); // 0.1 x 255

    SetTexture(TrailTexture, 32, 32, 200);
    double expected = 200;
    for (int frame = 0; frame < 6; ++frame) {
        BeginTrailPass(); // nothing drawn: black
        EndTrailPass();
        expected *= 0.9;
        EXPECT_NEAR(Texel(TrailTexture, 32, 32, 16, 16), expected, 2.5) << "frame " << frame;
    }
    // EndTrailPass leaves a cleared screen; DrawTrail lays the image on it at half strength.
    EXPECT_EQ(Pixel(64, 64)[0], 0);
    const int trail = Texel(TrailTexture, 32, 32, 16, 16);
    DrawTrail();
    EXPECT_NEAR(Pixel(64, 64)[0], trail / 2, 2);
    EXPECT_NEAR(Pixel(127, 0)[0], trail / 2, 2); // stretched over the whole screen
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EndFrame();
}

TEST_F(Effects, TrailAndGlowOverlaysShowTheirCapturesUpright) {
    Size(3, 32, 32);
    EnableFeature(2);
    EnableFeature(4);
    BeginFrame();
    for (int frame = 0; frame < 10; ++frame) {
        BeginTrailPass();
        Fill(1, 1, 1, -1, 1, 0, 1); // the top half
        EndTrailPass();
    }
    // Each capture takes the old trail the right way up: the bottom stays dark.
    const int top = Texel(TrailTexture, 32, 32, 16, 31);
    EXPECT_NEAR(top, 255 * (1 - std::pow(0.9, 10)), 3);
    EXPECT_EQ(Texel(TrailTexture, 32, 32, 16, 0), 0);
    // Laid over the screen: bright over the top half up to the edge, and
    // nothing of the top edge shows along the bottom one.
    DrawTrail();
    for (int y : {127, 100, 70})
        EXPECT_NEAR(Pixel(64, y)[0], top / 2, 2) << y;
    for (int y : {0, 30, 58})
        EXPECT_EQ(Pixel(64, y)[0], 0) << y;

    BeginGlowPass();
    Fill(1, 1, 1, -1, 1, 0, 1);
    EndGlowPass(); // clears the screen to black
    DrawGlow();
    for (int y : {127, 100})
        EXPECT_NEAR(Pixel(64, y)[0], 0.4 * 255, 2) << y;
    for (int y : {0, 30})
        EXPECT_EQ(Pixel(64, y)[0], 0) << y;
    EndFrame();
}

TEST_F(Effects, PassSlotsDoNothingWhileTheirFeatureIsOff) {
    BeginFrame();
    Fill(0.5f, 0.5f, 0.5f);
    BeginTrailPass();
    BeginGlowPass();
    EXPECT_EQ(InTrailPass, 0);
    EXPECT_EQ(InGlowPass, 0);
    EXPECT_EQ(Viewport(), (std::array<int, 4>{0, 0, 128, 128}));
    DrawGlow();
    DrawTrail();
    EndTrailPass();
    EndGlowPass();
    EXPECT_NEAR(Pixel(64, 64)[0], 128, 1); // not cleared, not overlaid
    EndFrame();
}

TEST_F(Effects, EndGlowPassInsideATrailPassRestoresTheTrailViewport) {
    Size(3, 48, 40);
    Size(5, 16, 8);
    EnableFeature(2);
    EnableFeature(4);
    BeginFrame();
    BeginTrailPass();
    BeginGlowPass();
    EXPECT_EQ(Viewport(), (std::array<int, 4>{0, 0, 16, 8}));
    EndGlowPass();
    EXPECT_EQ(InGlowPass, 0);
    EXPECT_EQ(InTrailPass, 1);
    EXPECT_EQ(Viewport(), (std::array<int, 4>{0, 0, 48, 40}));
    EndTrailPass();
    EXPECT_EQ(Viewport(), (std::array<int, 4>{0, 0, 128, 128}));
    // Outside a trail pass the glow gives back the screen.
    BeginGlowPass();
    EndGlowPass();
    EXPECT_EQ(Viewport(), (std::array<int, 4>{0, 0, 128, 128}));
    EndFrame();
}

TEST_F(Effects, GlowMaskDrawsWhiteAndBlackModelsAndTheOverlayTintsThePicture) {
    const std::uint32_t bright = LoadSquare(-1, 0); // left half of the glow image
    const std::uint32_t dark = LoadSquare(0, 1);    // right half
    EnableFeature(4);
    const float grey[4] = {0.5f, 0.5f, 0.5f, 1};
    SetParameter(0, grey);
    const float red[4] = {1, 0, 0, 1};
    SetParameter(4, red);
    BeginFrame();
    BeginGlowPass();
    EXPECT_EQ(InGlowPass, 1);
    SetCamera(bright, 0, 0);
    LoadIdentity();
    SaveViewMatrix();
    DrawModel(bright, 0, 0, 1);
    DrawModel(dark, 0, 0, 0);
    EXPECT_EQ(Pixel(16, 32), (std::array<int, 4>{255, 255, 255, 255}));
    EXPECT_EQ(Pixel(48, 32)[0], 0);
    EXPECT_EQ(Pixel(48, 32)[2], 0);
    EndGlowPass();
    // The mask, blurred five times, is the glow image: the middles keep their level.
    EXPECT_EQ(Texel(GlowTexture, 64, 64, 16, 32), 255);
    EXPECT_EQ(Texel(GlowTexture, 64, 64, 48, 32), 0);
    const int edge = Texel(GlowTexture, 64, 64, 32, 32);
    EXPECT_GT(edge, 0);
    EXPECT_LT(edge, 255);
    // The screen was cleared to grey; the glow brightens the left towards red
    // and darkens the right by 40 %.
    EXPECT_NEAR(Pixel(10, 64)[0], 128, 1);
    DrawGlow();
    const auto left = Pixel(20, 64), right = Pixel(108, 64);
    EXPECT_NEAR(left[0], 0.4 * 255 + 0.6 * 128, 3);
    EXPECT_NEAR(left[1], 0.6 * 128, 3);
    EXPECT_NEAR(right[0], 0.6 * 128, 3);
    EXPECT_NEAR(right[2], 0.6 * 128, 3);
    EndFrame();
}

TEST_F(Effects, ReflectionDrawsMirroredIntoItsTargetAndRestoresTheProjection) {
    const std::uint32_t model = LoadSquare(-1, 1, true);
    EnableFeature(20);
    ASSERT_EQ(ReflectionReady, 1) << "OSMesa offers several texture units";
    BeginFrame();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glRotatef(30, 1, 0, 0);
    const auto before = Projection();
    float saved[16];
    glGetFloatv(GL_PROJECTION_MATRIX, saved);
    BeginReflection(model);
    EXPECT_EQ(Viewport(), (std::array<int, 4>{0, 0, 64, 64}));
    float mirrored[16];
    glGetFloatv(GL_PROJECTION_MATRIX, mirrored);
    for (int i = 0; i < 16; ++i)
        EXPECT_FLOAT_EQ(mirrored[i], (i >= 8 && i < 12) ? -saved[i] : saved[i]) << i;
    EXPECT_EQ(Integer(GL_MATRIX_MODE), GL_PROJECTION);
    // Mirrored, the faces turned away from the eye are the ones that show
    // (culling stays on).
    glMatrixMode(GL_MODELVIEW);
    LoadIdentity();
    SaveViewMatrix();
    ASSERT_TRUE(glIsEnabled(GL_CULL_FACE));
    DrawModel(model, 0, 0, 0);
    EndReflection();
    EXPECT_EQ(Integer(GL_FRONT_FACE), GL_CCW);
    EXPECT_EQ(Viewport(), (std::array<int, 4>{0, 0, 128, 128}));
    EXPECT_EQ(Projection(), before);
    EXPECT_EQ(Depth(10, 10), 1.0f); // the mirrored depths are gone
    EXPECT_EQ(Pixel(10, 10)[2], 0); // and the colour
    glBindTexture(GL_TEXTURE_2D, ReflectionTexture);
    std::vector<std::uint8_t> texels(64 * 64 * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    // The square's material colour (0.2, 0.4, 0.6) at alpha 0.5 over black.
    EXPECT_NEAR(texels[(32 * 64 + 32) * 3 + 2], 0.6 * 0.5 * 255, 3);
    EndFrame();
}

TEST_F(Effects, ReflectionTargetIsRefusedWithOneTextureUnitAndThePassDoesNothing) {
    const std::uint32_t model = LoadSquare(-1, 1);
    TextureUnitCount = 1;
    EnableFeature(20);
    EXPECT_EQ(ReflectionReady, 0);
    BeginFrame();
    const auto projection = Projection();
    BeginReflection(model);
    EXPECT_EQ(Viewport(), (std::array<int, 4>{0, 0, 128, 128}));
    EXPECT_EQ(Integer(GL_MATRIX_MODE), GL_MODELVIEW);
    EndReflection();
    EXPECT_EQ(Projection(), projection);
    EndFrame();
}

TEST_F(Effects, ReflectionOfAModelNotLoadedDoesNothing) {
    EnableFeature(20);
    BeginFrame();
    BeginReflection(0);
    EXPECT_EQ(Viewport(), (std::array<int, 4>{0, 0, 128, 128}));
    EndReflection(); // nothing saved: the projection is not replaced by zeros
    EXPECT_EQ(Projection()[0], 1.0f);
    EndFrame();
}

TEST_F(Effects, ScreenFiltersChangeThePresentedFrame) {
    const float colour[4] = {200 / 255.0f, 100 / 255.0f, 40 / 255.0f, 1};
    SetParameter(0, colour);
    EnableFeature(7);
    struct Case {
        bool grey, negative;
        std::array<int, 3> expected;
    };
    for (const Case& c : {Case{false, false, {200, 100, 40}}, Case{true, false, {145, 145, 145}},
                          Case{false, true, {55, 155, 215}}, Case{true, true, {110, 110, 110}}}) {
        c.grey ? EnableFeature(9) : DisableFeature(9);
        c.negative ? EnableFeature(10) : DisableFeature(10);
        BeginFrame();
        EndFrame();
        for (const auto& [x, y] : {std::pair{0, 0}, std::pair{127, 127}, std::pair{64, 3}}) {
            const auto p = Presented(x, y);
            for (int k = 0; k < 3; ++k)
                EXPECT_NEAR(p[k], c.expected[k], 1) << c.grey << c.negative << " at " << x << "," << y;
        }
    }
}

TEST_F(Effects, ScreenFilterFollowsAResizeAndLeavesAMismatchedBufferAlone) {
    EnableFeature(7);
    EnableFeature(10);
    platform::ResizeOffscreenSurface(surface, 96, 80);
    DeviceResize(96, 80);
    BeginFrame(); // black
    EndFrame();
    EXPECT_EQ(Presented(95, 79), (std::array<int, 3>{255, 255, 255}));
    // A buffer made for another size is left alone rather than overrun.
    DisableFeature(7);
    CreateScreenBuffer(); // 96 x 80
    EnableFeature(9);
    ScreenWidth = 256;
    BeginFrame();
    Fill(0.2f, 0.4f, 0.6f);
    glDisable(GL_DEPTH_TEST); // as EndFrame leaves it for the filter
    FilterScreen();
    EXPECT_NEAR(Pixel(50, 50)[0], 51, 1);
    EXPECT_NEAR(Pixel(50, 50)[2], 153, 1);
    ScreenWidth = 96;
    FilterScreen(); // sizes agree again: filtered
    // Grey and negative: 255 - (51 + 102 / 2 + 153) / 2 = 128 in every channel.
    EXPECT_NEAR(Pixel(50, 50)[0], 128, 1);
    EXPECT_NEAR(Pixel(50, 50)[2], 128, 1);
    EndFrame();
}
