#include "tools/scenegen/cliff.h"

#include <algorithm>
#include <cmath>

#include "tools/scenegen/noise.h"
#include "tools/scenegen/world.h"

namespace scenegen {

namespace {

constexpr float HalfSpan = 0.42f;  // radians either side of the falls
constexpr float Bed = 3.0f;        // thickness of a bed of rock, on average
constexpr float LedgeRise = 0.35f; // height of the slope from a bed's face back to the next
constexpr float Bottom = -1.5f;    // the face goes on under the water
constexpr int Columns = 34;

// Distance along the shore from the falls' axis.
float Across(float angle) {
    return (angle - FallsAngle) * ShoreRadius(FallsAngle);
}

// How far back each bed steps from the one below it at `angle`.
float StepBack(float angle, int bed) {
    return 0.1f + 0.6f * SmoothRange(-0.6f, 0.8f, ValueNoise(Across(angle) / 3.0f, float(bed) * 1.7f, 67u));
}

// Height of the top of bed `k` (k = -1: the water) at `angle`: the beds are
// of uneven thickness and wander up and down across the face.
float BedTop(float angle, int k) {
    if (k < 0) return 0.0f;
    // The beds dip gently to the east and swell and pinch out along the
    // face, so no seam runs level and none keeps its thickness.
    const float across = Across(angle);
    return float(k + 1) * Bed + 0.09f * across + 0.15f * std::fabs(across) +
           1.3f * ValueNoise(across / 7.0f, float(k) * 2.1f, 59u) +
           0.45f * ValueNoise(across / 2.5f, float(k) * 3.7f, 53u);
}

// Which bed `rise` lies in at `angle`, and how far above its bottom.
int BedAt(float angle, float rise, float& above) {
    int k = 0;
    while (k < 64 && BedTop(angle, k) <= rise)
        ++k;
    above = rise - BedTop(angle, k - 1);
    return k;
}

// The face's distance beyond the waterline at `angle` and `rise` above the
// water. It only ever grows with the rise, so no part of the face hangs over.
float Behind(float angle, float rise) {
    const float across = Across(angle);
    // Buttresses and the bays between them, some reaching further out.
    const float ribs = 0.4f + 1.6f * Ridged(across / 5.0f, 0.0f, 61u, 3) +
                       1.4f * (0.5f + 0.5f * Fbm(across / 9.0f, 3.0f, 63u, 2));
    const float groove = 1.5f * std::exp(-across * across / 2.5f);
    const float r = std::max(rise, 0.0f);
    float above = 0.0f;
    const int bed = BedAt(angle, r, above);
    float steps = 0.0f;
    for (int k = 0; k < bed; ++k)
        steps += StepBack(angle, k);
    const float thick = BedTop(angle, bed) - BedTop(angle, bed - 1);
    steps += StepBack(angle, bed) * SmoothRange(thick - LedgeRise, thick, above);
    return ribs + groove + 0.1f * r + steps;
}

} // namespace

float RockFaceTop(float angle) {
    const float off = std::fabs(angle - FallsAngle);
    if (off >= HalfSpan) return 0.0f;
    // The face reaches up to the ground just behind its top, which falls
    // away to the sides into the hillside and dips where the stream comes
    // over the lip; crags stand up over it, most on either side of the
    // falls, and none in the stream's notch.
    // The ground behind is taken from either side of the stream's valley,
    // which the face hides: only the stream's own notch is cut into it.
    auto groundBehind = [](float a) {
        const float r = ShoreRadius(a) + CliffDepth + 1.0f;
        return TerrainHeight(LakeCentreX + r * std::cos(a), LakeCentreY + r * std::sin(a)) - WaterLevel;
    };
    const float valley = 7.0f / ShoreRadius(FallsAngle);
    const float inValley = SmoothRange(valley * 1.5f, valley * 0.5f, off);
    const float behind =
        Lerp(groundBehind(angle),
             0.5f * (groundBehind(FallsAngle - valley) + groundBehind(FallsAngle + valley)), inValley);
    const float across = Across(angle);
    const float flank =
        SmoothRange(1.2f, 3.5f, std::fabs(across)) * (1.0f - 0.6f * SmoothRange(0.1f, HalfSpan, off));
    const float crags =
        flank * (3.5f * Ridged(across / 4.5f, 2.0f, 97u, 3) - 0.6f + 1.0f * Fbm(across / 1.6f, 0.5f, 95u, 2));
    const float notch = 1.8f * std::exp(-Across(angle) * Across(angle) / 1.2f);
    const float top = (behind + crags - notch) * SmoothRange(HalfSpan, HalfSpan - 0.05f, off);
    return std::max(0.0f, top);
}

TVec3 RockFacePoint(float angle, float rise) {
    const float r = ShoreRadius(angle) + Behind(angle, rise);
    return V3(LakeCentreX + r * std::cos(angle), LakeCentreY + r * std::sin(angle), WaterLevel + rise);
}

namespace {

// The height of the face's highest column: the texture spans the face from
// its foot under the water up to there.
float FaceHeight() {
    float reach = 0.0f;
    for (int c = 0; c <= Columns; ++c)
        reach = std::max(reach, RockFaceTop(FallsAngle - HalfSpan + 2.0f * HalfSpan * float(c) / Columns));
    return reach;
}

} // namespace

TGenObject RockFace(std::uint16_t material) {
    TGenObject face;
    face.Material = material;
    face.Alpha = 0.0f; // opaque pass
    // Rows, at every angle: the foot under the water, then each bed's face
    // and its ledge.
    auto rowsAt = [](float angle) {
        std::vector<float> rows{Bottom, 0.0f};
        for (int k = 0; BedTop(angle, k - 1) < CliffHeight + 6.0f; ++k) {
            rows.push_back(BedTop(angle, k) - LedgeRise);
            rows.push_back(BedTop(angle, k));
        }
        return rows;
    };
    const TVec3 eye = CameraEye();
    const float reach = FaceHeight();
    auto texCoord = [&](float angle, float rise) {
        return V3((angle - (FallsAngle - HalfSpan)) / (2.0f * HalfSpan), (rise - Bottom) / (reach - Bottom),
                  0.0f);
    };
    for (int c = 0; c < Columns; ++c) {
        const float a0 = FallsAngle - HalfSpan + 2.0f * HalfSpan * float(c) / Columns;
        const float a1 = FallsAngle - HalfSpan + 2.0f * HalfSpan * float(c + 1) / Columns;
        const float top0 = RockFaceTop(a0), top1 = RockFaceTop(a1);
        const std::vector<float> rows0 = rowsAt(a0), rows1 = rowsAt(a1);
        for (std::size_t k = 0; k + 1 < std::min(rows0.size(), rows1.size()); ++k) {
            // Rows above the top at this angle close up on it.
            const float z00 = std::min(rows0[k], top0), z01 = std::min(rows0[k + 1], top0);
            const float z10 = std::min(rows1[k], top1), z11 = std::min(rows1[k + 1], top1);
            if (z01 <= z00 && z11 <= z10) continue;
            // Angles grow counter-clockwise round the lake: seen from the
            // water, a1 lies to the left of a0.
            const TVec3 p00 = RockFacePoint(a0, z00), p01 = RockFacePoint(a0, z01);
            const TVec3 p10 = RockFacePoint(a1, z10), p11 = RockFacePoint(a1, z11);
            const TVec3 t00 = texCoord(a0, z00), t01 = texCoord(a0, z01);
            const TVec3 t10 = texCoord(a1, z10), t11 = texCoord(a1, z11);
            auto add = [&](TVec3 a, TVec3 b, TVec3 d, TVec3 ta, TVec3 tb, TVec3 td) {
                const TVec3 n = Cross(b - a, d - a);
                // No area, or turned from the camera (the far side of a rib,
                // which the rib itself hides): left out.
                if (Dot(n, n) < 1e-10f || Dot(n, eye - a) <= 0.0f) return;
                face.Add(a, b, d, ta, tb, td);
            };
            add(p10, p00, p01, t10, t00, t01);
            add(p10, p01, p11, t10, t01, t11);
        }
    }
    return face;
}

TPicture RockTexture() {
    const int width = 512, height = 256;
    TPicture picture(width, height, 3);
    const float reach = FaceHeight();
    const TVec3 sun = SunDirection();
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const float u = (float(x) + 0.5f) / float(width), v = (float(y) + 0.5f) / float(height);
            const float angle = FallsAngle - HalfSpan + 2.0f * HalfSpan * u;
            const float rise = Bottom + v * (reach - Bottom);
            // The face's own slope here, lit by the sun as the mesh is shaped.
            const float da = 0.004f, dz = 0.05f;
            const TVec3 p = RockFacePoint(angle, rise);
            const TVec3 along = RockFacePoint(angle + da, rise) - p, up = RockFacePoint(angle, rise + dz) - p;
            // Half the face's own normal, half the plain face's: the ledges
            // catch a little more light, not a line of it.
            const TVec3 plain = Normalised(V3(-std::cos(angle), -std::sin(angle), 0.0f));
            const TVec3 normal = Normalised(Normalised(Cross(up, along)) + plain);
            const float lit = 0.42f + 0.75f * std::max(0.0f, Dot(normal, sun));
            // Beds of a warm grey stone, each a little different, in broad
            // patches of lighter and darker weathering.
            const float across = Across(angle);
            float inBed = 0.0f;
            const int bed = BedAt(angle, std::max(rise, 0.0f), inBed);
            const float tone = ValueNoise(float(bed) * 2.3f, across / 9.0f, 71u);
            const float patches = Fbm(across / 6.0f, rise / 5.0f, 101u, 4);
            const float grain = 0.12f * Fbm(across * 3.0f, rise * 3.0f, 73u, 4) +
                                0.06f * (ValueNoise(across * 9.0f, rise * 9.0f, 75u));
            // Dark stains where water runs down from the ledges, of uneven
            // length and strength.
            const float stainPath = Fbm(across * 0.9f, rise * 0.08f, 79u, 3);
            const float streaks = 0.35f * SmoothRange(0.15f, 0.45f, stainPath) *
                                  SmoothRange(-0.3f, 0.3f, Fbm(across / 4.0f, rise / 6.0f, 81u, 2));
            // A few joints running down through some beds, wandering and
            // fading in and out.
            const float jointLine =
                Ridged(across / 4.0f + 0.35f * Fbm(rise / 3.0f, across / 2.0f, 107u, 3), 0.4f, 83u, 2);
            const float joint =
                SmoothRange(0.93f, 0.99f, jointLine) *
                SmoothRange(0.1f, 0.5f, Fbm(across / 3.0f, rise / 4.0f + float(bed), 109u, 2));
            // The shadowed crack under each ledge, deeper in some places than others.
            const float crack = SmoothRange(0.3f, 0.0f, inBed) * (rise > 0.0f ? 1.0f : 0.0f) *
                                (0.1f + 0.25f * (0.5f + 0.5f * ValueNoise(across / 2.0f, float(bed), 103u)));
            // Wet, dark stone beside the falls, spreading towards the foot.
            const float spread = 3.0f + 2.5f * SmoothRange(reach, 0.0f, rise);
            const float wet = std::exp(-across * across / (spread * spread)) *
                              (0.7f + 0.3f * Fbm(across * 1.3f, rise * 0.7f, 111u, 2));
            const float shade = lit * (1.0f - 0.4f * joint - crack - streaks);
            TColour c = Mix(Rgb(0.47f, 0.45f, 0.42f), Rgb(0.72f, 0.68f, 0.60f),
                            Clamp01(0.5f + 0.35f * tone + 0.6f * patches));
            c = Mix(c, Rgb(0.60f, 0.50f, 0.39f), 0.3f * SmoothRange(0.25f, 0.7f, patches)); // iron stain
            c = Mix(c, Rgb(0.62f, 0.64f, 0.58f),
                    0.3f * SmoothRange(0.3f, 0.6f, Fbm(across / 2.0f, rise / 2.0f, 119u, 3))); // lichen
            c = Scaled(c, std::max(0.12f, shade * (0.92f + grain)));
            c = Mix(c, Scaled(Rgb(0.17f, 0.19f, 0.17f), 0.5f + 0.5f * lit), 0.75f * Clamp01(wet));
            // Moss on the ledges that hold water and in the spray beside the
            // falls, and green algae low down by the water.
            const float ledge = SmoothRange(0.3f, 0.85f, Dot(Normalised(Cross(up, along)), V3(0, 0, 1)));
            const float mossy = Clamp01(
                ledge * SmoothRange(-0.2f, 0.3f, Fbm(across / 3.0f, rise / 3.0f, 121u, 3)) +
                std::exp(-std::pow((std::fabs(across) - 3.8f) / 1.6f, 2.0f)) *
                    SmoothRange(-0.4f, 0.2f, Fbm(across * 0.8f, rise * 0.8f, 123u, 3)) +
                SmoothRange(2.5f, 0.0f, rise) * (0.5f + 0.5f * Fbm(across * 1.5f, rise * 2.0f, 89u, 3)));
            c = Mix(c, Scaled(Rgb(0.24f, 0.31f, 0.14f), 0.55f + 0.6f * lit), 0.85f * mossy);
            picture.Set(x, y, c);
        }
    return picture;
}

} // namespace scenegen
