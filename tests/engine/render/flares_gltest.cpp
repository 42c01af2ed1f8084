// Sprite and flare drawing on the offscreen device: billboard axes, the
// flares' single depth sample, the sprites' fade and motion, the trail and
// glow passes and LoadFlares.
#include "tests/engine/render/device_fixture.h"

#include <GL/glu.h>

#include <cstdio>

#include "engine/features/particle.h"
#include "engine/features/switches.h"
#include "engine/render/effects.h"
#include "engine/render/flares.h"
#include "engine/render/textures.h"
#include "platform/platform.h"

namespace {

std::uint32_t Now = 1000;
std::uint32_t TestClock() {
    return Now;
}

// 64 x 64 surface; the centre pixel is 32.
class Flares : public DeviceGlTest {
  protected:
    void SetUp() override {
        DeviceGlTest::SetUp();
        platform::SetTickSource(TestClock);
        const std::int32_t pools = 1;
        SetParameter(11, &pools);
        EnableFeature(11);
    }
    void TearDown() override {
        platform::SetTickSource(nullptr);
        DeviceGlTest::TearDown();
    }
    // A UMT of solid frames as sprite pool 0's texture.
    void SpriteTexture(const std::vector<std::array<std::uint8_t, 4>>& frames) {
        SaveUmt(Path("sprite.umt"), SolidImage(frames), false);
        const std::string path = Path("sprite.umt");
        SetParameter(13, path.c_str());
    }
    void FlareTexture() { SaveUmt(Path("flare.umt"), SolidImage({{255, 255, 255, 0}}), false); }
    static TSprite& PutSprite(float alpha, float fade, float size = 0.5f) {
        TSprite& s = SpriteEntries(0)[0];
        s = TSprite{};
        s.Alive = 1;
        s.Alpha = alpha;
        s.Fade = fade;
        s.Size = size;
        s.Position[2] = -1.0f;
        return s;
    }
    // A camera at the origin looking straight down -z (so the billboard axes
    // take their fallback): at z = -1, x and y -1..1 cover the surface.
    static void Camera() {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(90, 1, 0.1, 10);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }
    // Window depth = (z + 1) / 2 exactly; the identity mirrors the winding, so
    // culling goes off.
    static void Identity() {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_CULL_FACE);
    }
    // Pixels of the row through y whose red channel is above 8.
    static int LitInRow(int y) {
        int lit = 0;
        for (int x = 0; x < 64; ++x)
            lit += Pixel(x, y)[0] > 8;
        return lit;
    }
};

} // namespace

TEST(BillboardAxes, CameraAlongYWithZUpGivesXAsTheRightAxis) {
    // Projection of a camera at the origin looking along +y, z up: eye x =
    // world x, eye y = world z, eye z = -world y, behind a perspective.
    const float camera[16] = {1, 0, 0, 0, 0, 0, -1, 0, 0, 1, 0, 0, 0, 0, 0, 1};
    const double f = 1.0 / std::tan(30.0 * 3.14159265358979 / 180.0), n = 1, far = 100;
    const double perspective[16] = {
        f, 0, 0, 0, 0, f, 0, 0, 0, 0, (far + n) / (n - far), -1, 0, 0, 2 * far * n / (n - far), 0};
    float projection[16];
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) {
            double sum = 0;
            for (int k = 0; k < 4; ++k)
                sum += perspective[k * 4 + r] * camera[c * 4 + k];
            projection[c * 4 + r] = static_cast<float>(sum);
        }
    TVector v, r, u;
    BillboardAxes(projection, v, r, u);
    EXPECT_NEAR(v.y, 1.0f, 1e-6f);
    EXPECT_NEAR(r.x, 1.0f, 1e-6f);
    EXPECT_NEAR(std::fabs(u.z), 1.0f, 1e-6f);
    EXPECT_NEAR(r.y, 0.0f, 1e-6f);
}

TEST(BillboardAxes, AViewAlongZFallsBackToWorldYInsteadOfNaN) {
    const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    const float zero[16] = {};
    for (const float* projection : {identity, zero}) {
        TVector v, r, u;
        BillboardAxes(projection, v, r, u);
        for (const TVector& axis : {v, r, u}) {
            ASSERT_TRUE(std::isfinite(axis.x) && std::isfinite(axis.y) && std::isfinite(axis.z));
            EXPECT_NEAR(axis.x * axis.x + axis.y * axis.y + axis.z * axis.z, 1.0f, 1e-5f);
        }
        EXPECT_NEAR(v.x * r.x + v.y * r.y + v.z * r.z, 0.0f, 1e-6f);
        EXPECT_NEAR(r.x * u.x + r.y * u.y + r.z * u.z, 0.0f, 1e-6f);
    }
}

TEST_F(Flares, SpriteFadesAQuarterPerStepThenDies) {
    SpriteTexture({{255, 255, 255, 0}});
    TSprite& sprite = PutSprite(1.0f, 0.25f);
    sprite.Speed = 0.1f;
    sprite.Direction[0] = 1.0f;
    std::vector<int> drawn;
    std::vector<float> x;
    for (int frame = 0; frame < 5; ++frame) {
        Now += 33; // one texture frame at 30 per second
        BeginFrame();
        Camera();
        DrawFlares();
        drawn.push_back(Pixel(32, 32)[0]);
        x.push_back(sprite.Position[0]);
        EndFrame();
    }
    ASSERT_EQ(drawn.size(), 5u);
    const int expected[5] = {255, 191, 128, 64, 0};
    for (int i = 0; i < 5; ++i)
        EXPECT_NEAR(drawn[i], expected[i], 2) << "drawing " << i;
    EXPECT_EQ(sprite.Alive, 0);
    EXPECT_FLOAT_EQ(x[2], 0.3f); // moved after the first three steps
    EXPECT_EQ(x[3], x[2]);       // not on the fourth
}

TEST_F(Flares, SpritesWaitForTheirPoolsTextureStep) {
    SpriteTexture({{255, 255, 255, 0}});
    TSprite& sprite = PutSprite(1.0f, 0.25f);
    BeginFrame();
    Camera();
    Now += 10; // less than the 33 ms interval
    DrawFlares();
    EXPECT_EQ(sprite.Alpha, 1.0f);
    Now += 23;
    DrawFlares();
    EXPECT_EQ(sprite.Alpha, 0.75f);
    EndFrame();
}

TEST_F(Flares, SpriteAtAngleZeroIsASquareAlongTheAxes) {
    SpriteTexture({{255, 255, 255, 0}});
    PutSprite(1.0f, 0.0f, 0.5f); // corners 0.5 from the centre: sides 0.71 long
    BeginFrame();
    Camera();
    DrawFlares();
    // Side / 2 = 0.354 of the half-screen: 11.3 pixels each way, in every row it covers.
    EXPECT_NEAR(LitInRow(32), 23, 1);
    EXPECT_NEAR(LitInRow(22), 23, 1);
    EXPECT_EQ(LitInRow(46), 0);
    EndFrame();
}

TEST_F(Flares, SpriteFacesACameraLookingAlongYWithZUp) {
    SpriteTexture({{255, 255, 255, 0}});
    TSprite& sprite = PutSprite(1.0f, 0.0f, 0.5f);
    sprite.Position[1] = 1.0f; // one unit in front of the camera
    sprite.Position[2] = 0.0f;
    BeginFrame();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(90, 1, 0.1, 10);
    gluLookAt(0, 0, 0, 0, 1, 0, 0, 0, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    DrawFlares();
    // Square to the screen as in the view along z: 23 pixels in every row it covers.
    EXPECT_NEAR(LitInRow(32), 23, 1);
    EXPECT_NEAR(LitInRow(22), 23, 1);
    EXPECT_NEAR(LitInRow(42), 23, 1);
    EXPECT_EQ(LitInRow(46), 0);
    EndFrame();
}

TEST_F(Flares, PoolsWithoutTexturesDrawNothing) {
    TSprite& sprite = PutSprite(1.0f, 0.25f);
    AddFlare(0, 0, 0, -1, 1, 0.5f);
    BeginFrame();
    Camera();
    DrawFlares();
    EXPECT_EQ(Pixel(32, 32)[0], 0);
    EXPECT_EQ(sprite.Alpha, 1.0f);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EndFrame();
}

TEST_F(Flares, InTheTrailPassTexturesStepButSpritesStayPut) {
    SpriteTexture({{255, 0, 0, 0}, {0, 255, 0, 0}});
    EnableFeature(2);
    TSprite& sprite = PutSprite(1.0f, 0.25f);
    sprite.Speed = 1.0f;
    sprite.Direction[1] = 1.0f;
    const std::uint32_t first = SpritePools.Pools[0].CurrentTexture;
    BeginFrame();
    BeginTrailPass();
    Camera();
    Now += 33;
    DrawFlares();
    EXPECT_EQ(SpritePools.Pools[0].CurrentTexture, first + 1);
    EXPECT_EQ(sprite.Alpha, 1.0f);
    EXPECT_EQ(sprite.Position[1], 0.0f);
    EndTrailPass();
    Camera();
    Now += 33;
    DrawFlares();
    EXPECT_EQ(SpritePools.Pools[0].CurrentTexture, first);
    EXPECT_EQ(sprite.Alpha, 0.75f);
    EXPECT_EQ(sprite.Position[1], 1.0f); // speed 1 along y
    EndFrame();
}

TEST_F(Flares, InTheGlowPassSpritesAndFlaresAreOpaqueWhiteAndNothingSteps) {
    SpriteTexture({{255, 0, 0, 0}, {0, 255, 0, 0}});
    FlareTexture();
    EnableFeature(8);
    EnableFeature(4);
    TSprite& sprite = PutSprite(0.25f, 0.25f, 0.3f);
    sprite.Position[0] = -0.5f;
    const std::uint32_t texture = SpritePools.Pools[0].CurrentTexture;
    BeginFrame();
    BeginGlowPass();
    Camera();
    AddFlare(0, 0.5f, 0, -1, 0.25f, 0.3f);
    Now += 33;
    DrawFlares();
    EXPECT_EQ(Pixel(16, 32), (std::array<int, 4>{255, 255, 255, 255}));
    EXPECT_EQ(Pixel(48, 32), (std::array<int, 4>{255, 255, 255, 255}));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(SpritePools.Pools[0].CurrentTexture, texture);
    EXPECT_EQ(sprite.Alpha, 0.25f);
    EXPECT_EQ(sprite.Alive, 1);
    EndGlowPass();
    EndFrame();
}

TEST_F(Flares, FlareAtEqualDepthIsDrawnAndOneSlightlyFartherIsSkippedWhole) {
    FlareTexture();
    EnableFeature(8);
    ASSERT_EQ(FlaresOn, 1);
    BeginFrame(); // ResetFlares
    Identity();
    // A small occluder at depth 0.5 over the centre pixels only.
    glDisable(GL_TEXTURE_2D);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glBegin(GL_QUADS);
    glVertex3f(-0.05f, -0.05f, 0);
    glVertex3f(0.05f, -0.05f, 0);
    glVertex3f(0.05f, 0.05f, 0);
    glVertex3f(-0.05f, 0.05f, 0);
    glEnd();
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    const float stored = Depth(32, 32);
    ASSERT_LT(stored, 1.0f);
    // Window depth = (z + 1) / 2: z = 2 d - 1 projects exactly onto d.
    const float equal = 2.0f * stored - 1.0f;
    AddFlare(0, 0, 0, equal, 1, 0.5f);
    DrawFlares();
    EXPECT_EQ(Pixel(32, 32)[0], 255); // drawn over the occluder: depth test off
    EXPECT_EQ(Pixel(40, 32)[0], 255);
    EndFrame();

    BeginFrame();
    Identity();
    glDisable(GL_TEXTURE_2D);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glBegin(GL_QUADS);
    glVertex3f(-0.05f, -0.05f, 0);
    glVertex3f(0.05f, -0.05f, 0);
    glVertex3f(0.05f, 0.05f, 0);
    glVertex3f(-0.05f, 0.05f, 0);
    glEnd();
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    EXPECT_EQ(FlareEntries(0)[0].Used, 0); // the new frame emptied the pool
    AddFlare(0, 0, 0, equal + 1e-3f, 1, 0.5f);
    DrawFlares();
    EXPECT_EQ(Pixel(32, 32)[0], 0);
    EXPECT_EQ(Pixel(40, 32)[0], 0); // not even where nothing covers it
    EndFrame();
}

TEST_F(Flares, FlaresOutsideTheViewportOrBehindTheEyeAreSkipped) {
    FlareTexture();
    EnableFeature(8);
    BeginFrame();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(90, 1, 0.1, 10);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    AddFlare(0, 1.2f, 0, -1, 1, 0.5f); // centre just right of the window, edges inside
    AddFlare(0, 0, 0, 2, 1, 5.0f);     // behind the eye
    DrawFlares();
    EXPECT_EQ(LitInRow(32), 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    AddFlare(0, 0, 0, -1, 1, 0.2f); // in front: drawn
    DrawFlares();
    EXPECT_EQ(Pixel(32, 32)[0], 255);
    EndFrame();
}

TEST_F(Flares, SecondLoadFlaresDoesNotReadTheFileAgain) {
    FlareTexture();
    EnableFeature(8);
    EXPECT_EQ(FlaresLoaded, 1);
    EXPECT_EQ(FlarePools.Pools[0].Capacity, FlarePoolCapacity);
    EXPECT_EQ(FlarePools.Pools[0].FrameInterval, 0); // 30000 per second: every drawing
    const std::int16_t textures = NextTexture;
    DisableFeature(8);
    EXPECT_EQ(FlarePools.Pools[0].Capacity, 0u);
    EXPECT_EQ(FlaresOn, 0);
    std::remove(Path("flare.umt").c_str());
    EnableFeature(8); // would raise "File not found" if it read again
    EXPECT_EQ(NextTexture, textures);
    EXPECT_EQ(FlarePools.Pools[0].Capacity, FlarePoolCapacity);
    EXPECT_EQ(FlaresOn, 1);
}

TEST_F(Flares, MissingFlareFileRaisesFileNotFound) {
    try {
        EnableFeature(8);
        FAIL() << "no error";
    } catch (const TIoError& e) {
        EXPECT_NE(std::string(e.what()).find("File not found"), std::string::npos) << e.what();
    }
    EXPECT_EQ(FlaresOn, 0);
    EXPECT_TRUE(UmtImages.empty());
}

TEST_F(Flares, TheShippedFlareTextureIsABrightCentreFadingToNothing) {
    // The scene generator's flare.umt from the distribution folder.
    const std::string models = std::string(TARNWICK_DIST_DIR) + "/models";
    SetParameter(1, models.c_str());
    EnableFeature(8);
    ASSERT_EQ(FlaresLoaded, 1);
    LoadUmt(models + "/flare.umt");
    const TUmtImage& image = UmtImages.back();
    ASSERT_EQ(image.BitsPerPixel, 32);
    const int side = image.Width, centre = side / 2;
    EXPECT_EQ(image.Height, side);
    EXPECT_GT(image.Pixels[(std::size_t(centre) * side + centre) * 4 + 3], 240); // opaque core
    EXPECT_EQ(image.Pixels[3], 0);                                               // clear corners
    EXPECT_LT(image.Pixels[(std::size_t(centre) * side + 1) * 4 + 3], 40);       // faint at the edge
    FreeUmtImages();
    // The surface overlay of the same folder loads as well.
    EnableFeature(6);
    EXPECT_EQ(SurfaceOverlayLoaded, 1);
}
