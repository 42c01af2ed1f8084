// The water's drawing on the offscreen context: the picture, the texture it
// uses, the vertices it sends and the state it leaves.
#include <GL/gl.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/render/textures.h"
#include "platform/platform.h"
#include "scene/random.h"
#include "scene/water.h"
#include "tests/support/gl_fixture.h"

namespace {

std::uint32_t Ticks = 0;
std::uint32_t FakeTicks() {
    return Ticks;
}

// Looks straight down on the water's whole extent in the lake model's space
// (x -50..98, y 116..264) with an orthographic projection; heights map to
// depth. Two textures stand for the lake model's first two uploads: a plain
// red one and a fine green and blue checker, the water's picture.
class WaterDrawing : public OffscreenGlTest {
  protected:
    static constexpr double Left = -52, Right = 100, Bottom = 114, Top = 266, Near = -1000, Far = 1000;

    void SetUp() override {
        width = 152;
        height = 152;
        OffscreenGlTest::SetUp();
        MakeCurrent();
        platform::SetTickSource(FakeTicks);
        Ticks = 5000;
        SeedRandom(77);
        InitWater();
        LastDropTime = Ticks;
        LastStepTime = Ticks;

        glGenTextures(2, TextureNames);
        std::vector<std::uint8_t> red(64 * 64 * 3), checker(64 * 64 * 3);
        for (int i = 0; i < 64 * 64; ++i) {
            const bool on = (i % 64 / 4 + i / 64 / 4) % 2 != 0;
            red[3 * i] = 255;
            checker[3 * i + 1] = on ? 230 : 20;
            checker[3 * i + 2] = on ? 20 : 230;
        }
        Upload(TextureNames[0], red);
        Upload(TextureNames[1], checker);
        glBindTexture(GL_TEXTURE_2D, TextureNames[0]);

        glViewport(0, 0, width, height);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(Left, Right, Bottom, Top, Near, Far);
        glMatrixMode(GL_MODELVIEW);
        glEnable(GL_TEXTURE_2D); // as the lake's drawing leaves it
        glEnable(GL_DEPTH_TEST);
        glClearColor(0, 0, 0, 1);
    }

    void TearDown() override {
        platform::SetTickSource(nullptr);
        OffscreenGlTest::TearDown();
    }

    static void Upload(GLuint name, const std::vector<std::uint8_t>& rgb) {
        glBindTexture(GL_TEXTURE_2D, name);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 64, 64, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    }

    // A frame of the water alone: a throttled call with the clock standing
    // still, so it draws the grid as the last step left it.
    std::vector<std::uint8_t> Frame() {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        DrawWater(false, true);
        glFinish();
        return ReadFrame();
    }

    static void WarmUp() {
        for (int i = 0; i < 16; ++i)
            AdvanceWater(true, false);
        for (int i = 0; i < 80; ++i)
            AdvanceWater(false, false);
    }

    struct TPoint {
        float X, Y, Z; // window coordinates, Z in 0..1
    };
    // The triangles DrawWater sends, as OpenGL's feedback mode reports them.
    static std::vector<std::array<TPoint, 3>> Triangles() {
        std::vector<GLfloat> buffer(126 * 250 * 11 + 1024);
        glFeedbackBuffer(GLsizei(buffer.size()), GL_3D, buffer.data());
        glRenderMode(GL_FEEDBACK);
        DrawWater(false, true);
        const GLint values = glRenderMode(GL_RENDER);
        std::vector<std::array<TPoint, 3>> triangles;
        for (GLint i = 0; i < values;) {
            const GLfloat token = buffer[i++];
            if (token != GL_POLYGON_TOKEN) {
                ADD_FAILURE() << "unexpected feedback token " << token;
                break;
            }
            const int count = int(buffer[i++]);
            EXPECT_EQ(count, 3);
            std::array<TPoint, 3> t{};
            for (int v = 0; v < count; ++v, i += 3)
                if (v < 3) t[v] = {buffer[i], buffer[i + 1], buffer[i + 2]};
            triangles.push_back(t);
        }
        return triangles;
    }

    // Window coordinates of a point of the lake model's space.
    double WindowX(double x) const { return (x - Left) / (Right - Left) * width; }
    double WindowY(double y) const { return (y - Bottom) / (Top - Bottom) * height; }
    static double WindowZ(double z) { return (-z - Near) / (Far - Near); }
};

} // namespace

TEST_F(WaterDrawing, ShowsRipplesAfterTheWarmUp) {
    const std::vector<std::uint8_t> still = Frame();
    WarmUp();
    const std::vector<std::uint8_t> rippled = Frame();
    EXPECT_GT(DifferingShare(still, rippled, 8), 0.05)
        << "the ripples move the reflected picture over much of the lake";
}

// The water binds the second uploaded texture and sets the states it needs,
// leaving texturing and blending as the lake's drawing left them.
TEST_F(WaterDrawing, UsesTheSecondUploadedTextureAndLeavesItsState) {
    WarmUp();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_BLEND);
    glDepthMask(GL_FALSE);
    DrawWater(false, true);
    const std::vector<std::uint8_t> frame = ReadFrame();
    int water = 0, red = 0, green = 0, blue = 0;
    for (std::size_t i = 0; i < frame.size(); i += 4) {
        if (frame[i] + frame[i + 1] + frame[i + 2] == 0) continue;
        ++water;
        red += frame[i] > 100;
        green += frame[i + 1] > 100;
        blue += frame[i + 2] > 100;
    }
    EXPECT_GT(water, width * height / 2);
    EXPECT_EQ(red, 0) << "nothing of the first texture";
    EXPECT_GT(green, water / 10) << "the checker's green squares";
    EXPECT_GT(blue, water / 10) << "the checker's blue squares";

    GLint bound = 0, modeS = 0, modeT = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(GLuint(bound), TextureNames[1]);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D) && glIsEnabled(GL_BLEND)) << "the lake's business";
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S) || glIsEnabled(GL_TEXTURE_GEN_T));
    EXPECT_TRUE(glIsEnabled(GL_NORMALIZE) && glIsEnabled(GL_COLOR_MATERIAL));
    glGetTexGeniv(GL_S, GL_TEXTURE_GEN_MODE, &modeS);
    glGetTexGeniv(GL_T, GL_TEXTURE_GEN_MODE, &modeT);
    EXPECT_TRUE(modeS == GL_SPHERE_MAP && modeT == GL_SPHERE_MAP);
    GLboolean depthMask = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthMask);
    EXPECT_EQ(depthMask, GL_TRUE);
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    EXPECT_EQ(std::vector<GLfloat>(m, m + 16),
              std::vector<GLfloat>({74, 0, 0, 0, 0, 74, 0, 0, 0, 0, 40, 0, 24, 190, -11, 1}));
}

// 126 strips of 250 triangles over rows 1..127 and columns 1..126: in the
// lake's space x from 24 + 74 * 125/127 down to -50 (row 127) and y within
// 190 +- 74 * 125/127. The vertices of row 127 keep height 0 (z = -11).
TEST_F(WaterDrawing, SendsTheInteriorStripsWithAFlatFarEdge) {
    WarmUp();
    const auto triangles = Triangles();
    EXPECT_EQ(triangles.size(), 126u * 250u);
    const double edge = 74.0 * 125.0 / 127.0;
    float minX = 1e9f, maxX = -1e9f, minY = 1e9f, maxY = -1e9f;
    int farEdge = 0, raised = 0;
    for (const auto& t : triangles) {
        for (const TPoint& p : t) {
            minX = std::min(minX, p.X), maxX = std::max(maxX, p.X);
            minY = std::min(minY, p.Y), maxY = std::max(maxY, p.Y);
            if (std::fabs(p.X - WindowX(-50)) < 1e-3) {
                ++farEdge;
                EXPECT_NEAR(p.Z, WindowZ(-11), 1e-6);
            } else if (std::fabs(p.Z - WindowZ(-11)) > 1e-6) {
                ++raised;
            }
        }
    }
    EXPECT_GT(farEdge, 0);
    EXPECT_GT(raised, 1000) << "the rest of the lake ripples";
    EXPECT_NEAR(minX, WindowX(-50), 1e-3);
    EXPECT_NEAR(maxX, WindowX(24 + edge), 1e-3);
    EXPECT_NEAR(minY, WindowY(190 - edge), 1e-3);
    EXPECT_NEAR(maxY, WindowY(190 + edge), 1e-3);
    for (int c = 0; c < WaterSize; ++c) {
        const TWaterVertex& v = WaterGrid[(WaterSize - 1) * WaterSize + c];
        EXPECT_EQ(v.Z, 0.0f);
        EXPECT_EQ(v.NormalX, 0.0f);
        EXPECT_EQ(v.NormalY, 0.0f);
        EXPECT_EQ(v.NormalZ, -4.0f / 127.0f);
    }
}

TEST_F(WaterDrawing, ArraysAndImmediateModeGiveTheSamePicture) {
    WarmUp();
    WaterStripMode = WaterStripsImmediate;
    const std::vector<std::uint8_t> immediate = Frame();
    const auto immediateTriangles = Triangles();
    GLfloat immediateNormal[3];
    glGetFloatv(GL_CURRENT_NORMAL, immediateNormal);
    WaterStripMode = WaterStripsArrays;
    const std::vector<std::uint8_t> arrays = Frame();
    const auto arrayTriangles = Triangles();
    GLfloat arrayNormal[3];
    glGetFloatv(GL_CURRENT_NORMAL, arrayNormal);
    EXPECT_EQ(DifferingShare(immediate, arrays, 0), 0.0);
    ASSERT_EQ(immediateTriangles.size(), arrayTriangles.size());
    EXPECT_EQ(std::memcmp(immediateTriangles.data(), arrayTriangles.data(),
                          immediateTriangles.size() * sizeof immediateTriangles[0]),
              0);
    EXPECT_EQ(std::memcmp(immediateNormal, arrayNormal, sizeof arrayNormal), 0);
    GLboolean vertexArray = GL_TRUE;
    glGetBooleanv(GL_VERTEX_ARRAY, &vertexArray);
    EXPECT_EQ(vertexArray, GL_FALSE) << "the client arrays are put back as they were";
}
