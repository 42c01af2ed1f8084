#include "tools/scenegen/falls.h"

#include <algorithm>
#include <cmath>

#include "tools/scenegen/cliff.h"
#include "tools/scenegen/noise.h"
#include "tools/scenegen/toolkit.h"
#include "tools/scenegen/world.h"

namespace scenegen {

namespace {

// The texture: the curtain in a narrow strip on the left, the mist's two
// clouds stacked in the rest, each laid half a texel in from its edges. Each
// cell has about as many texels across as up for the size its quad shows on
// the screen: a cell squeezed one way makes the renderer take a coarse
// mipmap level, which shows as blocks.
constexpr int FallsTextureWidth = 256, FallsTextureHeight = 256;
constexpr int CurtainWidth = 64;
constexpr int LowMistHeight = 64, TallMistHeight = 128;
constexpr float Texel = 1.0f / FallsTextureWidth;
constexpr float CurtainS0 = 0.5f * Texel, CurtainS1 = (CurtainWidth - 0.5f) * Texel;
constexpr float MistS0 = (CurtainWidth + 0.5f) * Texel, MistS1 = 1.0f - 0.5f * Texel;

// The strands of the curtain at height v (0 foot, 1 lip) and u across it:
// three of uneven width and weight that wander a little, merge low down
// where the spray spreads them and leave gaps of wet rock between them.
float Strands(float u, float v) {
    struct TStrand {
        float Centre, Width, Weight;
    };
    constexpr TStrand strands[3] = {{0.30f, 0.10f, 1.0f}, {0.58f, 0.065f, 0.8f}, {0.78f, 0.05f, 0.6f}};
    float sum = 0.0f;
    for (int i = 0; i < 3; ++i) {
        const TStrand& s = strands[i];
        const float centre = s.Centre + 0.03f * Fbm(v * 2.0f, float(i) * 3.1f, 1021u, 2);
        // Narrow at the lip, spreading as it falls.
        const float width = s.Width * (0.7f + 0.9f * (1.0f - v) * (1.0f - v));
        const float d = (u - centre) / width;
        sum += s.Weight * Exp(-d * d);
    }
    // A veil of thin water joining them low down.
    sum += 0.35f * SmoothRange(0.5f, 0.0f, v) * SmoothRange(0.05f, 0.2f, u) * SmoothRange(0.95f, 0.8f, u);
    return sum;
}

} // namespace

TGenObject Waterfall(std::uint16_t material) {
    TGenObject falls;
    falls.Material = material;
    falls.Alpha = 1.0f;
    // Down the groove of the rock face, just in front of it, from the notch
    // in its lip to a little under the water.
    const TVec3 foot = RockFacePoint(FallsAngle, 0.0f);
    const TVec3 towardLake = Normalised(V3(LakeCentreX - foot.x, LakeCentreY - foot.y, 0.0f));
    const TVec3 right = BillboardRight(foot);
    const float top = RockFaceTop(FallsAngle), bottom = -0.8f;
    const int steps = 10;
    TVec3 prevL{}, prevR{};
    float prevT = 0.0f;
    for (int k = 0; k <= steps; ++k) {
        const float f = float(k) / float(steps);
        // The water leaves the lip in an arc and falls clear of the face.
        const float clear = 0.8f + 0.9f * std::sqrt(std::max(0.0f, 1.0f - f));
        const TVec3 p = RockFacePoint(FallsAngle, bottom + (top - bottom) * f) + towardLake * clear;
        // Spreading as it falls.
        const float half = 2.1f + 1.6f * (1.0f - f) * (1.0f - f);
        const TVec3 l = p - right * half, r = p + right * half;
        if (k > 0)
            falls.AddQuad(prevL, prevR, r, l, V3(CurtainS0, prevT, 0), V3(CurtainS1, prevT, 0),
                          V3(CurtainS1, f, 0), V3(CurtainS0, f, 0));
        prevL = l, prevR = r, prevT = f;
    }
    // The mist: clouds facing the camera at the foot, in front of the falls,
    // a wide low one of white water and a taller one rising. The water,
    // drawn after them, covers what lies below its surface, so the mist
    // rises from where the falls meet the lake.
    auto cloud = [&](float out, float halfWidth, float height, float sink, int row0, int rows) {
        const TVec3 base = foot + towardLake * out + V3(0, 0, -sink);
        const TVec3 across = BillboardRight(base) * halfWidth, up = V3(0, 0, height);
        const float t0 = (float(row0) + 0.5f) / FallsTextureHeight,
                    t1 = (float(row0 + rows) - 0.5f) / FallsTextureHeight;
        falls.AddQuad(base - across, base + across, base + across + up, base - across + up, V3(MistS0, t0, 0),
                      V3(MistS1, t0, 0), V3(MistS1, t1, 0), V3(MistS0, t1, 0));
    };
    cloud(3.0f, 7.0f, 10.0f, 0.8f, LowMistHeight, TallMistHeight);
    cloud(5.0f, 10.0f, 4.5f, 0.6f, 0, LowMistHeight);
    return falls;
}

TPicture WaterfallTexture() {
    TPicture picture(FallsTextureWidth, FallsTextureHeight, 4);
    // The curtain, in its strip: streaks of falling water, brighter where
    // thick, grey-green where thin over the rock, churned white at the foot.
    for (int y = 0; y < picture.Height; ++y)
        for (int x = 0; x < CurtainWidth; ++x) {
            const float u = (float(x) + 0.5f) / float(CurtainWidth),
                        v = (float(y) + 0.5f) / float(picture.Height);
            const float streak = Fbm(u * 14.0f, v * 1.4f, 1001u, 4, 0.55f);
            const float fine = ValueNoise(u * 30.0f, v * 3.0f, 1003u);
            const float body = Strands(u, v) * (0.75f + 0.5f * streak + 0.15f * fine);
            const float edge = SmoothRange(0.0f, 0.16f, u) * SmoothRange(1.0f, 0.86f, u);
            const float foam = 1.0f - SmoothRange(0.0f, 0.3f, v); // churned white at the foot
            // Thinner where it slides over the lip, so the strands begin
            // unevenly rather than along one line.
            const float lip = SmoothRange(1.0f, 0.88f - 0.08f * ValueNoise(u * 9.0f, 3.0f, 1005u), v);
            const float a = Clamp01((body + 0.6f * foam * Strands(u, 0.2f)) * edge * (0.35f + 0.65f * lip));
            const float bright = Clamp01(0.45f + 0.45f * body + 0.35f * streak + 0.3f * foam);
            TColour c = Mix(Rgb(0.55f, 0.62f, 0.62f), Rgb(0.97f, 0.98f, 1.0f), bright);
            c.a = std::min(0.95f, a);
            picture.Set(x, y, c);
        }
    // The mist, one cloud to a cell: billows with soft, rounded edges,
    // dense low in the middle, thinning and breaking up as they rise, clear
    // at the cell's edge. Each billow is bright on the side the sun comes
    // from and greyer in the folds away from it.
    const int mistWidth = FallsTextureWidth - CurtainWidth;
    const TVec3 sun = SunInView();
    auto mist = [&](int row0, int rows, float stretch, std::uint32_t seed) {
        for (int y = 0; y < rows; ++y)
            for (int x = 0; x < mistWidth; ++x) {
                const float u = (float(x) + 0.5f) / float(mistWidth), v = (float(y) + 0.5f) / float(rows);
                const float dx = (u - 0.5f) * 2.0f;
                auto billowsAt = [&](float bu, float bv) {
                    return Fbm(bu * 5.0f * stretch, bv * 3.5f - 0.3f, seed, 5);
                };
                const float billows = billowsAt(u, v);
                const float density = Pow(1.0f - v, 1.4f) * Exp(-dx * dx / (0.12f + 0.45f * v));
                const float edge =
                    SmoothRange(0.0f, 0.1f, u) * SmoothRange(1.0f, 0.9f, u) * SmoothRange(1.0f, 0.85f, v);
                const float a = SmoothRange(0.1f, 0.6f, 1.3f * density + 0.5f * billows) *
                                (0.3f + 0.6f * (1.0f - v)) * edge;
                const float lit = billowsAt(u + 0.02f * sun.x, v + 0.035f * sun.y) - billows;
                const float sunLit = Clamp01(0.55f + 6.0f * lit + 0.25f * density + 0.2f * billows);
                TColour c =
                    Lit(Mix(Rgb(0.70f, 0.72f, 0.73f), Rgb(0.99f, 0.98f, 0.97f), sunLit), LightTint(sunLit));
                c.a = std::min(0.85f, a);
                picture.Set(CurtainWidth + x, row0 + y, c);
            }
    };
    mist(0, LowMistHeight, 1.4f, 1013u);
    mist(LowMistHeight, TallMistHeight, 1.0f, 1011u);
    return picture;
}

} // namespace scenegen
