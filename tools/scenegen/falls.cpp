#include "tools/scenegen/falls.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/scenegen/cliff.h"
#include "tools/scenegen/noise.h"
#include "tools/scenegen/seeds.h"
#include "tools/scenegen/toolkit.h"
#include "tools/scenegen/world.h"

namespace scenegen {

namespace {

// The falls' texture: the curtain in the left half, the stream's white
// water in the lower right quarter (the upper right quarter stays clear).
// Each part is laid half a texel in from its edges.
constexpr int FallsTextureWidth = 128, FallsTextureHeight = 256;
constexpr int CurtainWidth = 64, LipHeight = 128;
constexpr int FoamWidth = 128, FoamHeight = 64;
constexpr int MistSide = 64;
constexpr float TexelS = 1.0f / FallsTextureWidth, TexelT = 1.0f / FallsTextureHeight;
constexpr float CurtainS0 = 0.5f * TexelS, CurtainS1 = (CurtainWidth - 0.5f) * TexelS;
constexpr float LipS0 = (CurtainWidth + 0.5f) * TexelS, LipS1 = 1.0f - 0.5f * TexelS;
constexpr float LipT0 = 0.5f * TexelT, LipT1 = (LipHeight - 0.5f) * TexelT;

// Noise that flows with the frames: `row` is a texel row, and frame k
// samples the pattern FlowStepRows * k rows further on, so the pattern moves
// toward row 0 as the frames go by and comes round again after FlowFrames
// frames. `cells` lattice cells lie along one period of the flow (few:
// long streaks; many: short blobs); `across` is the other coordinate.
float FlowNoise(int row, int frame, float across, int cells, std::uint32_t seed, int octaves,
                int stepRows = FlowStepRows) {
    const int period = FlowFrames * stepRows;
    const float along = float(row * cells) / float(period) + float(frame * stepRows * cells) / float(period);
    return Fbm(along, across, seed, octaves, 0.5f, cells);
}

// The horizontal way from the foot of the falls out over the lake.
TVec3 TowardLake() {
    const TVec3 foot = RockFacePoint(FallsAngle, 0.0f);
    return Normalised(V3(LakeCentreX - foot.x, LakeCentreY - foot.y, 0.0f));
}

// How far the stream's water reaches to each side of `p` along `side`
// (level, unit): its half width and the offset of its middle. A stream that
// is not there gives the smallest falls.
void StreamSpan(TVec3 p, TVec3 side, float& halfWidth, float& middle) {
    float lo = 0.0f, hi = 0.0f;
    bool found = false;
    for (int i = -40; i <= 40; ++i) {
        const float d = 0.25f * float(i);
        if (StreamWater(p.x + side.x * d, p.y + side.y * d) < 0.5f) continue;
        if (!found) lo = d;
        hi = d, found = true;
    }
    halfWidth = found ? 0.5f * (hi - lo) + 0.25f : 1.0f;
    middle = found ? 0.5f * (hi + lo) : 0.0f;
}

// A quad of the level water seen from above, whichever way round its
// corners were given: counter-clockwise from above is its front. Left out
// where it lies above camera 1's eye, which sees only its underside.
void AddLevelQuad(TGenObject& o, TVec3 a, TVec3 b, TVec3 c, TVec3 d, TVec3 ta, TVec3 tb, TVec3 tc, TVec3 td) {
    const TVec3 n = Cross(b - a, c - a);
    const bool upward = n.z >= 0.0f;
    const TVec3 up = n * (upward ? 1.0f : -1.0f);
    if (Dot(up, CameraEye() - a) <= 0.0f || Dot(up, CameraEye() - c) <= 0.0f) return;
    if (upward)
        o.AddQuad(a, b, c, d, ta, tb, tc, td);
    else
        o.AddQuad(a, d, c, b, ta, td, tc, tb);
}

// How far out from the foot of the rock face the lake begins: where the
// falls come down and the foam spreads from. A bank in front of the foot
// is jumped, and so is the cell of the drawn ground after it (the ground's
// grid is NearGridStep apart, so it comes down to the water a cell past
// where the land dips under it).
float LandingDistance() {
    const TVec3 foot = RockFacePoint(FallsAngle, 0.0f), lake = TowardLake();
    float out = 1.2f;
    for (int i = 0; i < 40; ++i, out += 0.5f) {
        const TVec3 p = foot + lake * out;
        if (TerrainHeight(p.x, p.y) <= WaterLevel - 0.3f) break;
    }
    return out + NearGridStep;
}

// Half the falls' width at the lip: broader where the stream is broader.
float LipHalfWidth() {
    const TVec3 lake = TowardLake(), side = Normalised(Cross(V3(0, 0, 1), lake));
    const TVec3 lip = RockFacePoint(FallsAngle, RockFaceTop(FallsAngle)) - lake * 1.5f;
    float half = 0.0f, middle = 0.0f;
    StreamSpan(lip, side, half, middle);
    return std::max(2.6f, 1.7f * half);
}

// A loop of FlowFrames frames of `width` x `height`, one after another,
// frame k painted by paint(picture, k).
template <class TPaint> TPicture FrameLoop(int width, int height, int channels, TPaint paint) {
    TPicture frames(width, height, channels);
    frames.Frames = FlowFrames;
    frames.Bytes.clear();
    for (int k = 0; k < FlowFrames; ++k) {
        TPicture picture(width, height, channels);
        paint(picture, k);
        frames.Bytes.insert(frames.Bytes.end(), picture.Bytes.begin(), picture.Bytes.end());
    }
    return frames;
}

} // namespace

TGenObject Waterfall(std::uint16_t material) {
    TGenObject falls;
    falls.Material = material;
    falls.Alpha = 1.0f;
    // Down the groove of the rock face, just in front of it, from the notch
    // in its lip to a little under the water, bowed out in the middle where
    // most of the water comes over.
    const TVec3 foot = RockFacePoint(FallsAngle, 0.0f);
    const TVec3 lake = TowardLake();
    const TVec3 right = BillboardRight(foot);
    const float top = RockFaceTop(FallsAngle), bottom = -0.8f;
    const float lipHalf = LipHalfWidth();
    // Out from the face in an arc that lands where the lake begins.
    const float landing = LandingDistance();
    constexpr int Rows = 14, Columns = 4;
    auto curtainPoint = [&](int k, int c, TVec3& p, TVec3& t) {
        const float f = float(k) / float(Rows), a = 2.0f * float(c) / float(Columns) - 1.0f;
        // The water leaves the lip in an arc and falls clear of the face,
        // spreading as it falls.
        const float clear =
            0.8f + (landing - 0.8f) * std::sqrt(std::max(0.0f, 1.0f - f)) + 0.45f * (1.0f - a * a);
        const float half = lipHalf * (1.0f + 0.55f * (1.0f - f) * (1.0f - f));
        p = RockFacePoint(FallsAngle, bottom + (top - bottom) * f) + lake * clear + right * (a * half);
        t = V3(CurtainS0 + (CurtainS1 - CurtainS0) * 0.5f * (a + 1.0f), 0.5f * TexelT + (1.0f - TexelT) * f,
               0);
    };
    for (int k = 0; k < Rows; ++k)
        for (int c = 0; c < Columns; ++c) {
            TVec3 p[4], t[4];
            curtainPoint(k, c, p[0], t[0]);
            curtainPoint(k, c + 1, p[1], t[1]);
            curtainPoint(k + 1, c + 1, p[2], t[2]);
            curtainPoint(k + 1, c, p[3], t[3]);
            falls.AddQuad(p[0], p[1], p[2], p[3], t[0], t[1], t[2], t[3]);
        }

    // The stream's white water, from a few units upstream to where the
    // curtain leaves the lip, as wide as the stream and just above it.
    const TVec3 side = Normalised(Cross(V3(0, 0, 1), lake));
    const TVec3 lipEdge = RockFacePoint(FallsAngle, top) + lake * 0.8f;
    constexpr int Reaches = 6;
    constexpr float Upstream = 9.0f;
    TVec3 prevL{}, prevR{};
    for (int k = 0; k <= Reaches; ++k) {
        const float d = Upstream * float(k) / float(Reaches);
        TVec3 centre = lipEdge - lake * d;
        float half = lipHalf, middle = 0.0f;
        if (k > 0) {
            StreamSpan(centre, side, half, middle);
            half = std::max(1.2f, 1.15f * half);
            centre = centre + side * middle;
            centre.z = std::max(TerrainHeight(centre.x, centre.y), lipEdge.z) + 0.12f;
        }
        const TVec3 l = centre - side * half, r = centre + side * half;
        const float t = LipT0 + (LipT1 - LipT0) * float(k) / float(Reaches);
        if (k > 0) {
            const float t0 = LipT0 + (LipT1 - LipT0) * float(k - 1) / float(Reaches);
            AddLevelQuad(falls, prevL, prevR, r, l, V3(LipS0, t0, 0), V3(LipS1, t0, 0), V3(LipS1, t, 0),
                         V3(LipS0, t, 0));
        }
        prevL = l, prevR = r;
    }
    return falls;
}

TGenObject FallsFoam(std::uint16_t material) {
    TGenObject foam;
    foam.Material = material;
    foam.Alpha = 0.0f;
    // A fan round the foot out over the lake, reaching farthest straight
    // out, with a ragged rim pulled in wherever the shore comes near. Domed a
    // little (never so steep that camera 1 sees under it), so the ripples
    // cover its rim more often than its middle.
    const TVec3 lake = TowardLake(), side = Normalised(Cross(V3(0, 0, 1), lake));
    // From where the falls land, a little out over the lake.
    const TVec3 centre = RockFacePoint(FallsAngle, 0.0f) + lake * (LandingDistance() + 0.5f);
    const float reach = 5.0f * LipHalfWidth();
    // The churned pool stands highest; the lace beyond lies flatter.
    const float dome = 0.65f * reach;
    constexpr int Spokes = 18, Rings = 5;
    constexpr float Spread = 1.6f; // radians each side of straight out
    std::vector<float> rim(Spokes + 1);
    for (int i = 0; i <= Spokes; ++i) {
        const float angle = Spread * (2.0f * float(i) / float(Spokes) - 1.0f);
        const TVec3 way = lake * Cos(angle) + side * Sin(angle);
        float r = reach * (0.8f + 0.3f * ValueNoise(float(i) * 0.7f, 0.5f, seeds::FoamRim)) *
                  (0.6f + 0.4f * Cos(angle));
        while (r > 1.5f && TerrainHeight(centre.x + way.x * r, centre.y + way.y * r) > WaterLevel - 0.3f)
            r *= 0.9f;
        rim[std::size_t(i)] = r;
    }
    auto point = [&](int i, int j, TVec3& p, TVec3& t) {
        const float angle = Spread * (2.0f * float(i) / float(Spokes) - 1.0f), f = float(j) / float(Rings);
        const TVec3 way = lake * Cos(angle) + side * Sin(angle);
        p = centre + way * (rim[std::size_t(i)] * f);
        p.z = WaterLevel + 0.15f + 0.25f * std::max(0.0f, 1.0f - rim[std::size_t(i)] * f / dome);
        const float texelS = 1.0f / FoamWidth, texelT = 1.0f / FoamHeight;
        t = V3(0.5f * texelS + (1.0f - texelS) * float(i) / float(Spokes),
               1.0f - 0.5f * texelT - (1.0f - texelT) * f, 0);
    };
    for (int j = 0; j < Rings; ++j)
        for (int i = 0; i < Spokes; ++i) {
            TVec3 p[4], t[4];
            point(i, j, p[0], t[0]);
            point(i, j + 1, p[1], t[1]);
            point(i + 1, j + 1, p[2], t[2]);
            point(i + 1, j, p[3], t[3]);
            if (j == 0) { // the middle: one triangle, its inner corners being one point
                if (Cross(p[1] - p[0], p[2] - p[0]).z >= 0.0f)
                    foam.Add(p[0], p[1], p[2], t[0], t[1], t[2]);
                else
                    foam.Add(p[0], p[2], p[1], t[0], t[2], t[1]);
            } else {
                AddLevelQuad(foam, p[0], p[1], p[2], p[3], t[0], t[1], t[2], t[3]);
            }
        }
    return foam;
}

TPicture WaterfallTexture() {
    return FrameLoop(FallsTextureWidth, FallsTextureHeight, 4, [](TPicture& picture, int k) {
        // The curtain: a glassy sheet at the lip that parts into streaks,
        // the streaks fraying into drops as they fall, and churned white at
        // the foot. Where most water comes over stays the same from frame
        // to frame; the streaks and drops slide down.
        for (int y = 0; y < FallsTextureHeight; ++y)
            for (int x = 0; x < CurtainWidth; ++x) {
                const float u = (float(x) + 0.5f) / float(CurtainWidth),
                            v = (float(y) + 0.5f) / FallsTextureHeight;
                const float fall = 1.0f - v; // 0 at the lip, 1 at the foot
                const float chutes = 0.78f + 0.25f * Fbm(u * 4.0f, 0.5f, seeds::FallsChutes, 2);
                const float streak = FlowNoise(y, k, u * 9.0f, 2, seeds::FallsStreaks, 3);
                const float fine = FlowNoise(y, k, u * 13.0f, 4, seeds::FallsFine, 2);
                const float drops = FlowNoise(y, k, u * 10.0f, 10, seeds::FallsDrops, 2);
                const float ragged = 0.06f * FlowNoise(y, k, 3.0f, 3, seeds::FallsEdge, 2) * (0.3f + fall);
                const float edge =
                    SmoothRange(0.0f, 0.14f, u + ragged) * SmoothRange(1.0f, 0.86f, u - ragged);
                float density = chutes + 0.45f * streak + 0.2f * fine - 0.4f * fall * fall;
                const float broken = SmoothRange(0.3f, 0.8f, fall);
                density = Lerp(density, density * (0.3f + 1.4f * (0.5f + 0.5f * drops)), broken);
                const float churn = SmoothRange(0.86f, 0.99f, fall) * (0.75f + 0.25f * drops);
                const float lip = SmoothRange(0.0f, 0.03f, v) * SmoothRange(1.0f, 0.97f, v);
                const float a =
                    std::max(SmoothRange(0.15f, 0.55f, density) * 0.95f, churn * 0.9f) * edge * lip;
                const float bright = Clamp01(0.3f + 0.9f * streak + 0.25f * fine + 0.35f * broken + churn);
                TColour c = Mix(Rgb(0.42f, 0.50f, 0.49f), Rgb(0.97f, 0.98f, 1.0f), bright);
                c.a = a;
                picture.Set(x, y, c);
            }
        // The stream's white water: thin over the stream bed upstream,
        // breaking white as it nears the lip (row 0).
        for (int y = 0; y < LipHeight; ++y)
            for (int x = 0; x < FallsTextureWidth - CurtainWidth; ++x) {
                const float u = (float(x) + 0.5f) / float(FallsTextureWidth - CurtainWidth),
                            v = (float(y) + 0.5f) / float(LipHeight);
                const float streak = FlowNoise(y, k, u * 9.0f, 4, seeds::FallsStreaks + 20u, 3);
                const float fleck = FlowNoise(y, k, u * 20.0f, 12, seeds::FoamFlecks + 20u, 2);
                const float white = SmoothRange(0.8f, 0.05f, v) * (0.65f + 0.35f * streak) + 0.25f * fleck;
                const float edge = SmoothRange(0.0f, 0.25f, u) * SmoothRange(1.0f, 0.75f, u);
                const float a = edge * SmoothRange(1.0f, 0.55f, v) * Clamp01(0.25f + 0.6f * white);
                TColour c = Mix(Rgb(0.40f, 0.48f, 0.46f), Rgb(0.95f, 0.97f, 0.98f), Clamp01(white));
                c.a = a;
                picture.Set(CurtainWidth + x, y, c);
            }
    });
}

TPicture FoamTexture() {
    return FrameLoop(FoamWidth, FoamHeight, 3, [](TPicture& picture, int k) {
        // White water churned thick at the foot (t = 1), opening out into
        // lace and streaks of foam that drift out over grey-green water,
        // the holes in the lace widening and its threads thinning toward
        // the rim (t = 0).
        for (int y = 0; y < FoamHeight; ++y)
            for (int x = 0; x < FoamWidth; ++x) {
                const float u = (float(x) + 0.5f) / FoamWidth, v = (float(y) + 0.5f) / FoamHeight;
                const float out = 1.0f - v; // 0 at the foot, 1 at the rim
                const float streaks = FlowNoise(y, k, u * 18.0f, 1, seeds::FoamStreaks, 3, FoamStepRows);
                const float flecks = FlowNoise(y, k, u * 40.0f, 4, seeds::FoamFlecks, 2, FoamStepRows);
                const float threads =
                    1.0f - std::fabs(FlowNoise(y, k, u * 26.0f, 5, seeds::FoamLace, 2, FoamStepRows));
                const float ends = SmoothRange(0.0f, 0.12f, u) * SmoothRange(1.0f, 0.88f, u);
                const float lace =
                    SmoothRange(0.5f + 0.3f * out, 0.72f + 0.18f * out,
                                threads + 0.25f * streaks + 0.1f * SmoothRange(0.9f, 0.3f, out));
                const float churned = SmoothRange(0.7f, 0.45f, out + 0.12f * streaks);
                const float foam =
                    Clamp01(std::max(churned * (0.9f + 0.25f * flecks), lace * (1.0f - 0.3f * out)) +
                            0.15f * flecks * (1.0f - out)) *
                    std::max(ends, churned);
                const TColour water = Mix(Rgb(0.40f, 0.47f, 0.47f), Rgb(0.29f, 0.35f, 0.36f), out);
                const TColour white = Mix(Rgb(0.76f, 0.81f, 0.83f), Rgb(0.96f, 0.97f, 0.97f),
                                          Clamp01(0.6f + 0.5f * streaks + 0.3f * flecks + 0.5f * churned));
                picture.Set(x, y, Mix(water, white, foam));
            }
    });
}

TPicture MistTexture() {
    TPicture picture(MistSide, MistSide, 4);
    // A round, billowy puff, densest in the middle and thinning smoothly to
    // nothing well inside the square, so no sprite ever shows an edge.
    for (int y = 0; y < MistSide; ++y)
        for (int x = 0; x < MistSide; ++x) {
            const float dx = (float(x) + 0.5f) / MistSide * 2.0f - 1.0f,
                        dy = (float(y) + 0.5f) / MistSide * 2.0f - 1.0f;
            const float r2 = (dx * dx + dy * dy) / 0.81f;
            const float falloff = r2 >= 1.0f ? 0.0f : (1.0f - r2) * (1.0f - r2);
            const float billows = Fbm(float(x) / 12.0f, float(y) / 12.0f, seeds::MistBillows, 3);
            TColour c =
                Mix(Rgb(0.80f, 0.83f, 0.84f), Rgb(0.98f, 0.98f, 0.98f), Clamp01(0.6f + 0.5f * billows));
            c.a = falloff * Clamp01(0.75f + 0.35f * billows);
            picture.Set(x, y, c);
        }
    return picture;
}

} // namespace scenegen
