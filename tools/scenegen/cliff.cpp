#include "tools/scenegen/cliff.h"

#include <algorithm>
#include <cmath>

#include "tools/scenegen/noise.h"
#include "tools/scenegen/seeds.h"
#include "tools/scenegen/toolkit.h"
#include "tools/scenegen/world.h"

namespace scenegen {

namespace {

constexpr float HalfSpan = 0.42f;  // radians either side of the falls
constexpr float Bed = 3.0f;        // thickness of a bed of rock, on average
constexpr float LedgeRise = 0.35f; // height of the slope from a bed's face back to the next
constexpr float Bottom = -1.5f;    // the face goes on under the water
constexpr int Columns = 32;

// Distance along the shore from the falls' axis.
float Across(float angle) {
    return (angle - FallsAngle) * ShoreRadius(FallsAngle);
}

// How far back each bed steps from the one below it at `angle`: in places
// a bed juts out as a broad ledge, in others it pinches out and the seam
// all but vanishes.
float StepBack(float angle, int bed) {
    return 0.05f +
           0.85f * SmoothRange(-0.15f, 0.75f, ValueNoise(Across(angle) / 3.0f, float(bed) * 1.7f, 67u));
}

// Height of the top of bed `k` (k = -1: the water) at `angle`: the beds are
// of uneven thickness, thin partings between thick beds, and wander up and
// down across the face.
float BedTop(float angle, int k) {
    if (k < 0) return 0.0f;
    // The beds dip gently to the east and swell and pinch out along the
    // face, so no seam runs level and none keeps its thickness.
    const float across = Across(angle);
    const float tilt = 0.09f * across + 0.15f * std::fabs(across);
    float top = -1e9f, base = 0.0f;
    for (int j = 0; j <= k; ++j) {
        base += Bed * (0.45f + 0.55f * (1.0f + LatticeValue(j, 7, 57u)));
        const float wander = 1.1f * ValueNoise(across / 7.0f, float(j) * 2.1f, 59u) +
                             0.4f * ValueNoise(across / 2.5f, float(j) * 3.7f, 53u);
        top = std::max(base + tilt + wander, top + 0.8f);
    }
    return top;
}

// Which bed `rise` lies in at `angle`, and how far above its bottom.
int BedAt(float angle, float rise, float& above) {
    int k = 0;
    while (k < 64 && BedTop(angle, k) <= rise)
        ++k;
    above = rise - BedTop(angle, k - 1);
    return k;
}

// How high the scree fallen from the face is heaped against its foot at
// `angle`: in uneven fans, and little where the falls have scoured it away.
float ScreeTop(float angle) {
    const float across = Across(angle);
    const float ends = SmoothRange(HalfSpan, HalfSpan * 0.6f, std::fabs(angle - FallsAngle));
    return (0.5f + 2.6f * SmoothRange(-0.4f, 0.6f, Fbm(across / 5.0f, 9.0f, 131u, 2))) *
           (1.0f - 0.7f * Exp(-across * across / 6.0f)) * (0.4f + 0.6f * ends);
}
constexpr float ScreeLean = 0.9f; // how far the scree's slope reaches out per unit down

// Buttresses and the bays between them, some reaching further out: how far
// the face stands back from the shore there, 0.4 to 3.4.
float Ribs(float across) {
    return 0.4f + 1.6f * Ridged(across / 5.0f, 0.0f, 61u, 2) +
           1.4f * (0.5f + 0.5f * Fbm(across / 9.0f, 3.0f, 63u, 2));
}

// The face's distance beyond the waterline at `angle` and `rise` above the
// water. It only ever grows with the rise, so no part of the face hangs over.
float Behind(float angle, float rise) {
    const float across = Across(angle);
    const float ribs = Ribs(across);
    const float groove = 1.5f * Exp(-across * across / 2.5f);
    const float r = std::max(rise, 0.0f);
    float above = 0.0f;
    const int bed = BedAt(angle, r, above);
    float steps = 0.0f;
    for (int k = 0; k < bed; ++k)
        steps += StepBack(angle, k);
    const float thick = BedTop(angle, bed) - BedTop(angle, bed - 1);
    steps += StepBack(angle, bed) * SmoothRange(thick - LedgeRise, thick, above);
    const float scree = ScreeLean * std::max(0.0f, ScreeTop(angle) - r);
    // Towards its ends the face sets back a little into the escarpment's
    // own slope, so the ground there meets it rather than standing behind.
    const float ends = 2.0f * SmoothRange(HalfSpan * 0.5f, HalfSpan, std::fabs(angle - FallsAngle));
    return ribs + groove + 0.1f * r + steps - scree + ends;
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
        return TerrainHeight(LakeCentreX + r * Cos(a), LakeCentreY + r * Sin(a)) - WaterLevel;
    };
    const float valley = 7.0f / ShoreRadius(FallsAngle);
    const float inValley = SmoothRange(valley * 1.5f, valley * 0.5f, off);
    const float behind =
        Lerp(groundBehind(angle),
             0.5f * (groundBehind(FallsAngle - valley) + groundBehind(FallsAngle + valley)), inValley);
    const float across = Across(angle);
    const float flank =
        SmoothRange(1.2f, 3.5f, std::fabs(across)) * (1.0f - SmoothRange(0.1f, HalfSpan * 0.9f, off));
    // Broken blocks of uneven width standing up or fallen away, on a
    // skyline that rises and sinks more slowly, with a little roughness.
    const float blockAt = across / 2.6f + 0.7f * ValueNoise(across / 3.3f, 4.0f, 91u);
    const float block = LatticeValue(std::int32_t(std::floor(blockAt)), 3, 93u);
    const float crags = flank * (0.6f + 2.2f * Fbm(across / 6.0f, 2.0f, 97u, 2) + 1.3f * block +
                                 0.6f * Fbm(across / 1.4f, 0.5f, 95u, 2));
    const float notch = 1.8f * Exp(-Across(angle) * Across(angle) / 1.2f);
    // Towards either end it sinks to a low band of rock at the foot of the
    // escarpment's own face, which stands above and behind it there, so
    // the two rocks read as one, stepped by a ledge.
    const float sink =
        SmoothRange(HalfSpan * 0.45f, HalfSpan, off + 0.04f * ValueNoise(across / 2.0f, 6.0f, 99u));
    const float top =
        (behind + crags - notch) * (1.0f - 0.8f * sink) * SmoothRange(HalfSpan, HalfSpan - 0.05f, off);
    return std::max(0.0f, top);
}

TVec3 RockFacePoint(float angle, float rise) {
    const float r = ShoreRadius(angle) + Behind(angle, rise);
    return V3(LakeCentreX + r * Cos(angle), LakeCentreY + r * Sin(angle), WaterLevel + rise);
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
        const float scree = ScreeTop(angle);
        std::vector<float> rows{Bottom, 0.0f, scree};
        for (int k = 0; BedTop(angle, k - 1) < CliffHeight + 6.0f; ++k) {
            rows.push_back(std::max(scree, BedTop(angle, k) - LedgeRise));
            rows.push_back(std::max(scree, BedTop(angle, k)));
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
            const float across = Across(angle);
            // The face's own slope here, lit by the sun as the mesh is shaped:
            // the ledges' tops catch the light, the ribs' far sides less.
            // Across the face the slope is taken over about a column of the
            // mesh, so the light follows the shape the mesh has.
            const float da = 0.012f, dz = 0.05f;
            const TVec3 p = RockFacePoint(angle, rise);
            const TVec3 along = RockFacePoint(angle + da, rise) - RockFacePoint(angle - da, rise),
                        up = RockFacePoint(angle, rise + dz) - p;
            const TVec3 plain = Normalised(V3(-Cos(angle), -Sin(angle), 0.0f));
            const TVec3 own = Normalised(Cross(up, along));
            const TVec3 normal = Normalised(own * 3.0f + plain);
            const float sunLit = std::max(0.0f, Dot(normal, sun)), lit = 0.4f + 0.78f * sunLit;
            const TColour tint = LightTint(sunLit);
            float inBed = 0.0f;
            const int bed = BedAt(angle, std::max(rise, 0.0f), inBed);
            const float bedBottom = BedTop(angle, bed - 1), lip = BedTop(angle, bed) - LedgeRise;
            const bool onFace = rise > 0.0f && rise < lip;
            // Each bed a little different in tone, in broad patches of
            // lighter and darker weathering, with a fine grain.
            const float tone = ValueNoise(float(bed) * 2.3f, across / 9.0f, 71u);
            const float patches = Fbm(across / 6.0f, rise / 5.0f, 101u, 4);
            const float grain = 0.12f * Fbm(across * 3.0f, rise * 3.0f, 73u, 4) +
                                0.06f * ValueNoise(across * 9.0f, rise * 9.0f, 75u);
            // The seam at the foot of each bed: a dark crack where the bed
            // above sits back on the ledge, as deep as the ledge is broad, so
            // it fades where the bed pinches out.
            const float seam = SmoothRange(0.05f, 0.6f, StepBack(angle, bed - 1));
            const float crack = onFace && bed > 0 ? SmoothRange(0.35f, 0.0f, inBed) * 0.5f * seam : 0.0f;
            // Some beds are harder and stand out over the one below: their
            // overhang shades a band under it, of uneven depth.
            const float hard =
                SmoothRange(0.1f, 0.5f, ValueNoise(across / 5.0f, float(bed) * 4.3f + 20.0f, 113u));
            const float overhang = onFace ? hard * SmoothRange(0.25f + 0.5f * hard, 0.0f, lip - rise) : 0.0f;
            // Joints: cracks across each bed at uneven spacing and slant,
            // each bed's own, now and then carried on into the next.
            const float slant = 0.35f * ValueNoise(float(bed) * 1.9f, 5.0f, 115u);
            const float jointAt = across / (2.2f + 2.0f * (0.5f + 0.5f * LatticeValue(bed, 11, 117u))) +
                                  slant * (rise - bedBottom) +
                                  0.15f * ValueNoise(rise * 0.9f, across * 0.4f, 107u);
            const float jointLine = 1.0f - std::fabs(ValueNoise(jointAt, float(bed / 2) * 3.7f, 83u));
            const float joint = SmoothRange(0.955f, 0.99f, jointLine) *
                                SmoothRange(-0.1f, 0.4f, ValueNoise(across / 3.0f, float(bed) * 2.9f, 109u));
            // Dark stains where water seeps over a ledge's lip and runs down
            // the bed below it, and on down the next: a few to a bed, of
            // uneven width, strength and length.
            float stain = 0.0f;
            for (int k = bed; k <= bed + 1; ++k) {
                const float from = BedTop(angle, k) - LedgeRise;
                if (rise > from) continue;
                const float wobble = 0.25f * ValueNoise(rise * 0.8f, float(k) * 1.3f, 80u);
                const float density = 0.35f + 0.5f * (0.5f + 0.5f * LatticeValue(k, 13, 79u));
                const float source =
                    SmoothRange(0.35f, 0.8f, ValueNoise((across + wobble) * density, float(k) * 3.1f, 81u));
                const float length =
                    1.0f + 4.5f * (0.5f + 0.5f * ValueNoise(across * 0.7f, float(k) * 1.1f, 82u));
                stain = std::max(stain, source * SmoothRange(from - length, from - 0.2f * length, rise));
            }
            // Heaped in fans under the gullies and thin between them, its
            // top ragged with the larger blocks that lie on it.
            const float heap = ScreeTop(angle) + 0.55f * ValueNoise(across * 0.45f, 2.0f, 133u) +
                               0.3f * ValueNoise(across * 1.9f, 5.0f, 133u) - 0.15f;
            auto inScreeAt = [&](float r) { return SmoothRange(heap + 0.1f, heap - 0.4f, r); };
            // Wet, dark stone behind and beside the falls, in patches that
            // spread wider towards the foot where the spray drifts.
            const float spray = Exp(-Pow(across / (3.0f + 3.5f * SmoothRange(reach, 0.0f, rise)), 2.0f));
            const float wet =
                Clamp01(SmoothRange(2.6f, 1.6f, std::fabs(across)) +
                        spray * SmoothRange(-0.35f, 0.15f,
                                            Fbm(across / 1.7f, rise / 1.7f, 111u, 3) + 0.6f * spray - 0.3f));
            // The backs of the bays between the buttresses get less of the
            // sky than the buttresses' fronts.
            const float bay = SmoothRange(1.6f, 3.2f, Ribs(across));
            // The rock's own knobs and hollows, a unit or two across, lit from
            // the sun's side of the face.
            auto relief = [&](float a, float r) {
                return Fbm(a / 2.4f, r / 1.0f + float(bed) * 5.3f, 149u, 3);
            };
            const float e = 0.12f;
            const float sunAcross = Dot(sun, V3(-Sin(angle), Cos(angle), 0.0f)), sunUp = sun.z;
            const float bumps = ((relief(across + e, rise) - relief(across - e, rise)) * sunAcross +
                                 (relief(across, rise + e) - relief(across, rise - e)) * sunUp) /
                                (2.0f * e);
            const float shade = lit * (1.0f + 0.22f * std::clamp(bumps, -1.0f, 1.0f)) * (1.0f - 0.2f * bay) *
                                (1.0f - 0.45f * joint - crack - 0.35f * overhang - 0.45f * stain);
            TColour c = Mix(Rgb(0.47f, 0.45f, 0.42f), Rgb(0.72f, 0.68f, 0.60f),
                            Clamp01(0.5f + 0.35f * tone + 0.6f * patches));
            c = Mix(c, Rgb(0.60f, 0.50f, 0.39f), 0.3f * SmoothRange(0.25f, 0.7f, patches)); // iron stain
            c = Mix(c, Rgb(0.62f, 0.64f, 0.58f),
                    0.3f * SmoothRange(0.3f, 0.6f, Fbm(across / 2.0f, rise / 2.0f, 119u, 3))); // lichen
            c = Scaled(c, std::max(0.12f, shade * (0.92f + grain)));
            c = Mix(c, Scaled(Rgb(0.2f, 0.21f, 0.19f), 0.45f + 0.55f * lit), 0.7f * wet);
            // Moss in cushions: on the ledges that hold water, thickest in
            // the spray low down beside the falls (not under the falling
            // water itself), and green algae by the waterline.
            const float ledge = SmoothRange(0.3f, 0.85f, Dot(own, V3(0, 0, 1)));
            const float cushions = Fbm(across / 1.3f, rise / 1.3f, 123u, 4);
            const float damp = Exp(-Pow(across / 7.0f, 2.0f)) * SmoothRange(11.0f, 1.0f, rise) *
                               SmoothRange(1.6f, 3.0f, std::fabs(across));
            const float mossy = Clamp01(
                ledge * SmoothRange(-0.1f, 0.3f, Fbm(across / 2.5f, rise / 2.5f, 121u, 3) + 0.4f * damp) *
                    SmoothRange(-0.15f, 0.2f, Fbm(across / 0.7f, rise / 0.5f, seeds::RockTufts + 1u, 2)) +
                damp * SmoothRange(0.0f, 0.3f, cushions + 0.25f * damp - 0.1f) +
                SmoothRange(1.2f, 0.0f, rise) *
                    SmoothRange(-0.2f, 0.3f, Fbm(across * 0.6f, rise * 2.0f, 89u, 3)));
            const float mossLight = 0.55f + 0.6f * lit * (0.85f + 0.3f * cushions);
            c = Mix(c, Scaled(Rgb(0.24f, 0.31f, 0.14f), mossLight), 0.85f * mossy);
            // Turf of the meadow above hanging over the lip in uneven tufts,
            // and in patches towards either end, where the face runs on
            // into the escarpment's rock.
            const float top = RockFaceTop(angle), off = std::fabs(angle - FallsAngle);
            const float tufts = Fbm(across / 1.1f, rise / 0.9f, 141u, 3);
            const float overhangs = 0.35f + 0.9f * (0.5f + 0.5f * ValueNoise(across * 0.8f, 17.0f, 139u));
            const float wing = SmoothRange(HalfSpan * 0.55f, HalfSpan * 0.95f, off);
            const float turf = Clamp01(
                SmoothRange(top - overhangs, top - 0.3f * overhangs, rise + 0.3f * tufts) +
                SmoothRange(-0.3f, 0.2f, Fbm(across / 2.0f, rise / 2.0f, 143u, 3) + 0.5f * wing - 0.85f) +
                0.6f * ledge * SmoothRange(4.0f, 9.0f, std::fabs(across)) * SmoothRange(-0.2f, 0.2f, tufts));
            const float turfLight = 0.4f + 0.6f * lit * (0.9f + 0.3f * tufts);
            c = Mix(c,
                    Scaled(Mix(Rgb(0.38f, 0.41f, 0.22f), Rgb(0.50f, 0.50f, 0.31f), 0.5f + 0.5f * tufts),
                           turfLight),
                    0.9f * turf * (1.0f - inScreeAt(rise)));
            // The scree heaped at the foot: stones of the face's own rock,
            // each a little different, rounded by the sun from its side of
            // the face, with dark gaps between them; fading in at its top.
            const float inScree = inScreeAt(rise);
            if (inScree > 0.0f) {
                // Coordinates bent a little, so the stones are of uneven
                // shape and size rather than laid like cobbles.
                const float bendX = 0.25f * ValueNoise(across * 1.7f, rise * 1.7f, 145u);
                const float bendY = 0.25f * ValueNoise(across * 1.7f, rise * 1.7f, 147u);
                // Larger blocks lie among the cobbles, more of them low down.
                const float size = 0.5f +
                                   0.45f * (0.5f + 0.5f * ValueNoise(across * 0.6f, rise * 0.6f, 147u)) +
                                   0.25f * SmoothRange(heap - 0.5f, heap - 2.0f, rise);
                const TCellNoise stone = CellNoise(across / size + bendX, rise / (0.8f * size) + bendY, 137u);
                const float gap = SmoothRange(0.02f, 0.16f, stone.Second - stone.Nearest);
                const float round = Clamp01(0.7f + 1.2f * (stone.Dx * sunAcross + stone.Dy * sunUp) /
                                                       std::sqrt(sunAcross * sunAcross + sunUp * sunUp));
                TColour rubble =
                    Mix(Rgb(0.42f, 0.40f, 0.37f), Rgb(0.66f, 0.63f, 0.57f), 0.5f + 0.45f * stone.Value);
                rubble =
                    Scaled(rubble, (0.5f + 0.6f * round * lit) * (0.45f + 0.55f * gap) * (0.95f + grain));
                rubble = Mix(rubble, Scaled(Rgb(0.2f, 0.21f, 0.19f), 0.5f + 0.5f * lit), 0.6f * wet);
                c = Mix(c, rubble, inScree);
            }
            // The light's hue: warm where the sun falls square, cool in shade.
            picture.Set(x, y, Lit(c, tint));
        }
    return picture;
}

} // namespace scenegen
