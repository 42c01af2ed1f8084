#include "tools/scenegen/cliff.h"

#include <algorithm>
#include <cmath>

#include "tools/scenegen/noise.h"
#include "tools/scenegen/world.h"

namespace scenegen {

namespace {

constexpr float HalfSpan = 0.3f;    // radians either side of the falls
constexpr float Taper = 0.2f;       // full height within this angle of the falls
constexpr float Bed = 3.0f;         // thickness of a bed of rock, on average
constexpr float LedgeRise = 0.35f;  // height of the slope from a bed's face back to the next
constexpr float Bottom = -1.5f;     // the face goes on under the water
constexpr int Columns = 36;

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
    return float(k + 1) * Bed + 0.9f * ValueNoise(Across(angle) / 7.0f, float(k) * 2.1f, 59u) +
           0.3f * ValueNoise(Across(angle) / 2.5f, float(k) * 3.7f, 53u);
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
    const float ribs = 0.4f + 1.6f * Ridged(across / 5.0f, 0.0f, 61u, 3);
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
    const float r = ShoreRadius(angle) + CliffDepth + 1.0f;
    const float shelf =
        TerrainHeight(LakeCentreX + r * std::cos(angle), LakeCentreY + r * std::sin(angle)) - WaterLevel;
    const float ragged = 1.2f * Fbm(Across(angle) / 3.0f, 0.5f, 97u, 3);
    return std::max(0.0f, shelf + ragged) * SmoothRange(HalfSpan, Taper, off);
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
        return V3((angle - (FallsAngle - HalfSpan)) / (2.0f * HalfSpan), (rise - Bottom) / (reach - Bottom), 0.0f);
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
    picture.BlockCoded = true;
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
            // Beds of a warm grey stone, each a little different; joints
            // across them, and weathering streaks running down.
            const float across = Across(angle);
            float inBed = 0.0f;
            const int bed = BedAt(angle, std::max(rise, 0.0f), inBed);
            const float tone = ValueNoise(float(bed) * 2.3f, 0.5f, 71u);
            const float patches = Fbm(across / 6.0f, rise / 5.0f, 101u, 3);
            const float grain = 0.09f * Fbm(across * 3.0f, rise * 3.0f, 73u, 4);
            const float streaks = 0.12f * Fbm(across * 2.2f, rise * 0.25f, 79u, 3);
            // Joints running down through several beds, fading in and out.
            const float joint = SmoothRange(0.9f, 0.98f, Ridged(across / 2.5f + 0.2f * Fbm(rise / 4.0f, across, 107u, 2),
                                                                 0.4f, 83u, 2)) *
                                SmoothRange(-0.2f, 0.4f, Fbm(across / 2.5f, rise / 5.0f, 109u, 2));
            // The shadowed crack under each ledge, deeper in some places than others.
            const float crack = SmoothRange(0.3f, 0.0f, inBed) * (rise > 0.0f ? 1.0f : 0.0f) *
                                (0.15f + 0.2f * (0.5f + 0.5f * ValueNoise(across / 2.0f, float(bed), 103u)));
            const float wet = 1.0f - 0.35f * std::exp(-across * across / 3.0f) * SmoothRange(reach, 0.0f, rise);
            const float shade = lit * (1.0f - 0.45f * joint - crack) * wet;
            TColour c = Mix(Rgb(0.50f, 0.48f, 0.44f), Rgb(0.70f, 0.65f, 0.57f), 0.5f + 0.3f * tone + 0.3f * patches);
            c = Mix(c, Rgb(0.62f, 0.50f, 0.38f), 0.25f * SmoothRange(0.2f, 0.7f, patches)); // iron stain
            c = Scaled(c, std::max(0.15f, shade * (0.9f + grain - streaks)));
            // Moss and wet algae low down by the water.
            const float damp = SmoothRange(2.5f, 0.0f, rise) * (0.5f + 0.5f * Fbm(across * 1.5f, rise * 2.0f, 89u, 3));
            c = Mix(c, Scaled(Rgb(0.22f, 0.27f, 0.17f), lit), Clamp01(damp));
            picture.Set(x, y, c);
        }
    return picture;
}

} // namespace scenegen
