// The clock and counter overlays against a recording device: the device's
// matrix slots are played on a matrix of the test's own, and every model
// drawn is recorded with the saved view matrix it would be drawn from.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/render/device.h"
#include "platform/platform.h"
#include "scene/overlay.h"

namespace {

using TMatrix4 = std::array<float, 16>; // column-major, as OpenGL keeps it

constexpr TMatrix4 Identity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

TMatrix4 Multiply(const TMatrix4& a, const TMatrix4& b) {
    TMatrix4 m{};
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            for (int k = 0; k < 4; ++k)
                m[c * 4 + r] += a[k * 4 + r] * b[c * 4 + k];
    return m;
}

struct TDraw {
    std::uint32_t Model, Frame, Animation;
    std::uint8_t Mask;
    TMatrix4 View;
    // Where the model's origin lands in overlay coordinates.
    float X() const { return View[12]; }
    float Y() const { return View[13]; }
};

struct TRecorder {
    TMatrix4 Current = Identity;
    TMatrix4 Saved = Identity;
    std::vector<TDraw> Draws;
    std::vector<std::array<std::uint32_t, 3>> Cameras;
    int CallsBeforeCamera = 0;
};
TRecorder Device;

void RecordLoadViewMatrix() {
    Device.Current = Device.Saved;
}
void RecordSaveViewMatrix() {
    Device.Saved = Device.Current;
}
void RecordLoadIdentity() {
    Device.Current = Identity;
}
void RecordTranslate(float x, float y, float z) {
    TMatrix4 t = Identity;
    t[12] = x, t[13] = y, t[14] = z;
    Device.Current = Multiply(Device.Current, t);
}
void RecordScale(float x, float y, float z) {
    TMatrix4 s = Identity;
    s[0] = x, s[5] = y, s[10] = z;
    Device.Current = Multiply(Device.Current, s);
}
void RecordRotate(float angle, float x, float y, float z) {
    // glRotatef's matrix for a unit axis.
    const float length = std::sqrt(x * x + y * y + z * z);
    x /= length, y /= length, z /= length;
    const float radians = angle * 3.14159265358979f / 180.0f;
    const float c = std::cos(radians), s = std::sin(radians), t = 1 - c;
    const TMatrix4 r = {t * x * x + c,
                        t * x * y + s * z,
                        t * x * z - s * y,
                        0, //
                        t * x * y - s * z,
                        t * y * y + c,
                        t * y * z + s * x,
                        0, //
                        t * x * z + s * y,
                        t * y * z - s * x,
                        t * z * z + c,
                        0, //
                        0,
                        0,
                        0,
                        1};
    Device.Current = Multiply(Device.Current, r);
}
void RecordSetCamera(std::uint32_t model, std::uint32_t frame, std::uint32_t camera) {
    Device.Cameras.push_back({model, frame, camera});
}
void RecordDrawModel(std::uint32_t model, std::uint32_t frame, std::uint32_t animation, std::uint8_t mask) {
    Device.Draws.push_back({model, frame, animation, mask, Device.Saved});
}

std::uint32_t Ticks = 0;
std::uint32_t FakeTicks() {
    return Ticks;
}
platform::TLocalTime Now{};
platform::TLocalTime FakeNow() {
    return Now;
}

constexpr float Unit = 0.0022f; // overlay coordinates per model unit

class Overlay : public ::testing::Test {
  protected:
    void SetUp() override {
        LoadViewMatrix = RecordLoadViewMatrix;
        SaveViewMatrix = RecordSaveViewMatrix;
        LoadIdentity = RecordLoadIdentity;
        Translate = RecordTranslate;
        Scale = RecordScale;
        Rotate = RecordRotate;
        SetCamera = RecordSetCamera;
        DrawModel = RecordDrawModel;
        Device = TRecorder{};
        // Whatever the frame left saved: the overlays must not depend on it.
        Device.Saved = {2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0, 5, 6, 7, 1};
        platform::SetTickSource(FakeTicks);
        platform::SetLocalTimeSource(FakeNow);
    }
    void TearDown() override {
        platform::SetTickSource(nullptr);
        platform::SetLocalTimeSource(nullptr);
    }

    static std::vector<std::uint32_t> Models() {
        std::vector<std::uint32_t> models;
        for (const TDraw& d : Device.Draws)
            models.push_back(d.Model);
        return models;
    }

    // Every overlay sets the flat projection, draws at frame 0 with no
    // texture animation and no mask, and leaves the identity saved.
    static void ExpectOverlayConventions(float anchorY) {
        ASSERT_EQ(Device.Cameras.size(), 1u);
        EXPECT_EQ(Device.Cameras[0], (std::array<std::uint32_t, 3>{0, 0, 0}));
        for (const TDraw& d : Device.Draws) {
            EXPECT_EQ(d.Frame, 0u);
            EXPECT_EQ(d.Animation, 0u);
            EXPECT_EQ(d.Mask, 0u);
            EXPECT_NEAR(d.Y(), anchorY, 1e-6);
            // The models' z axis is the screen's up, one model unit 0.0022.
            EXPECT_NEAR(d.View[8], 0.0f, 1e-7);
            EXPECT_NEAR(d.View[9], Unit, 1e-7);
            EXPECT_NEAR(d.View[0], Unit, 1e-7);
            EXPECT_NEAR(d.View[6], -Unit, 1e-7);
        }
        EXPECT_EQ(Device.Saved, Identity);
    }

    static void ExpectAdvances(float anchorX, const std::vector<float>& advances) {
        ASSERT_EQ(Device.Draws.size(), advances.size());
        for (std::size_t i = 0; i < advances.size(); ++i)
            EXPECT_NEAR(Device.Draws[i].X(), anchorX + advances[i] * Unit, 1e-5) << "model " << i;
    }

    static void DrawFpsAfter(std::uint32_t frames, std::uint32_t elapsed) {
        FpsStartTime = 0xFFFFFF00u; // the counter works across the tick count's wrap-around
        FpsFrameCount = frames - 1;
        Ticks = FpsStartTime + elapsed;
        DrawFps();
    }
};

constexpr float FpsX = 0.94f, FpsY = 0.92f, ClockX = -0.95f, ClockY = 0.94f;

// Model d + 1 shows digit d; 11 is the separator (':' below), 12 am, 13 pm.
std::vector<std::uint32_t> ModelsOf(const std::string& shown) {
    std::vector<std::uint32_t> models;
    for (char ch : shown)
        models.push_back(ch == ':' ? 11 : ch == 'a' ? 12 : ch == 'p' ? 13 : ch - '0' + 1);
    return models;
}

struct TClockCase {
    int Hour, Minute, Second;
    bool TwelveHour;
    const char* Shown;
};

} // namespace

TEST_F(Overlay, CounterShows999BeforeAnyTimeHasPassed) {
    DrawFpsAfter(1, 0);
    EXPECT_EQ(FpsFrameCount, 1u);
    EXPECT_EQ(Models(), ModelsOf("999"));
    ExpectAdvances(FpsX, {0, -32, -64});
    ExpectOverlayConventions(FpsY);
}

TEST_F(Overlay, CounterOfZeroDrawsNothing) {
    DrawFpsAfter(1, 1001); // 1 frame in 1.001 s
    EXPECT_TRUE(Device.Draws.empty());
    ExpectOverlayConventions(FpsY);
}

// Digits from the ones digit leftwards, 32 units apart, never padded; the
// average is truncated, over the whole run, in 64 bits.
TEST_F(Overlay, CounterGrowsLeftwardsFromTheOnesDigit) {
    DrawFpsAfter(12345, 10000); // 1234.5
    EXPECT_EQ(Models(), ModelsOf("4321"));
    ExpectAdvances(FpsX, {0, -32, -64, -96});
    ExpectOverlayConventions(FpsY);
    Device.Draws.clear();
    DrawFpsAfter(4000000000u, 1000000); // 4e12 does not fit 32 bits
    EXPECT_EQ(Models(), ModelsOf("0000004"));
}

// The hour's tens digit is always drawn; 32 after a tens digit, 24 after a
// ones digit and after a separator, 64 before the sign of the 12-hour form.
TEST_F(Overlay, ClockShowsTheTimeInBothForms) {
    const TClockCase cases[] = {
        {0, 0, 0, false, "00:00:00"},   {0, 0, 0, true, "12:00:00a"},    {12, 0, 0, false, "12:00:00"},
        {12, 0, 0, true, "12:00:00p"},  {13, 5, 9, false, "13:05:09"},   {13, 5, 9, true, "01:05:09p"},
        {9, 59, 58, true, "09:59:58a"}, {23, 59, 59, true, "11:59:59p"},
    };
    for (const TClockCase& c : cases) {
        SCOPED_TRACE(c.Shown);
        Device.Draws.clear();
        Device.Cameras.clear();
        Now = {2026, 6, 1, c.Hour, c.Minute, c.Second, 500};
        DrawClock(c.TwelveHour);
        EXPECT_EQ(Models(), ModelsOf(c.Shown));
        std::vector<float> steps = {0, 32, 56, 80, 112, 136, 160, 192};
        if (c.TwelveHour) steps.push_back(192 + 64);
        ExpectAdvances(ClockX, steps);
        ExpectOverlayConventions(ClockY);
    }
}
