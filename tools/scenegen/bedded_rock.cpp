#include "tools/scenegen/bedded_rock.h"

#include <algorithm>
#include <cmath>

#include "tools/scenegen/lighting.h"
#include "tools/scenegen/noise.h"
#include "tools/scenegen/seeds.h"
#include "tools/scenegen/toolkit.h"

namespace scenegen {

TColour BeddedRock(float x, float y, float h, TVec3 n, float detail) {
    // Along the face: the faces look south, over the lake, or a little to
    // either side.
    const float across = x + 0.3f * y;
    const float level = h + 2.0f * Fbm(across / 30.0f, 1.5f, seeds::RockBeds, 3) +
                        0.45f * Fbm(across / 8.0f, 4.5f, seeds::RockBeds, 2) +
                        0.3f * Fbm(across / 2.2f, 7.5f, seeds::RockBeds, 2) + 0.04f * across;
    // Thick beds and thin ones: the height warped, never folding back, and
    // warped again along the face, so each bed swells and pinches out
    // along its length rather than keeping its thickness.
    const float swell = 0.7f * ValueNoise(across / 5.0f, level / 2.2f, seeds::RockSwell);
    const float bedAt = (level + swell + 0.8f * ValueNoise(level / 3.0f, 0.5f, seeds::RockBeds + 10u)) / 2.4f;
    const int bed = int(std::floor(bedAt));
    const float in = bedAt - float(bed); // 0 at a bed's foot, 1 at its top
    const float tone = LatticeValue(bed, 3, seeds::RockBeds + 1u);
    TColour c =
        Mix(Rgb(0.31f, 0.29f, 0.26f), Rgb(0.61f, 0.56f, 0.47f),
            Clamp01(0.5f + 0.45f * tone + 0.5f * Fbm(across / 7.0f, h / 4.0f, seeds::RockBeds + 2u, 3)));
    c = Mix(c, Rgb(0.46f, 0.38f, 0.29f),
            0.3f * SmoothRange(0.3f, 0.7f, Fbm(across / 9.0f, h / 6.0f, seeds::RockBeds + 3u, 2)));
    const float fine = std::max(detail, 0.35f);
    // The seam under each bed comes and goes: where the bed pinches out
    // the seam above and below it close up.
    const float seam =
        SmoothRange(0.16f, 0.0f, in) * (0.5f + 0.5f * SmoothRange(-0.3f, 0.3f, tone)) *
        SmoothRange(-0.4f, 0.3f, ValueNoise(across / 6.0f, float(bed) * 1.3f, seeds::RockBeds + 9u)) *
        SmoothRange(-0.3f, 0.35f, ValueNoise(across / 3.0f, float(bed) * 2.1f, seeds::RockSwell + 1u));
    // The harder beds stand out over the one below: a band of shadow under
    // each, deepest under the most jutting.
    const float hardAbove = LatticeValue(bed + 1, 3, seeds::RockBeds + 1u);
    const float overhang = SmoothRange(0.65f - 0.2f * SmoothRange(0.0f, 0.8f, hardAbove), 1.0f, in) *
                           SmoothRange(-0.2f, 0.5f, hardAbove);
    const float jointLine =
        1.0f - std::fabs(ValueNoise(across / 2.6f + 0.4f * in, float(bed) * 3.7f, seeds::RockBeds + 4u));
    const float joint =
        SmoothRange(0.95f, 0.99f, jointLine) *
        SmoothRange(0.15f, 0.5f, ValueNoise(across / 4.0f, float(bed) * 2.9f, seeds::RockBeds + 5u));
    // The master joints: cracks that run down through bed after bed and
    // cut the face into pillars, open and dark, lit along the edge that
    // faces the sun.
    const float masterAt =
        across / 5.5f + 0.06f * h + 0.15f * ValueNoise(h / 3.0f, across / 7.0f, seeds::RockJoints);
    const float masterValue = ValueNoise(masterAt, 0.5f, seeds::RockJoints + 1u);
    const float master =
        SmoothRange(0.95f, 0.99f, 1.0f - std::fabs(masterValue)) *
        SmoothRange(0.0f, 0.45f, ValueNoise(across / 5.5f, h / 4.0f, seeds::RockJoints + 2u));
    const float source =
        SmoothRange(0.3f, 0.8f, ValueNoise(across * 0.5f, float(bed) * 3.1f, seeds::RockBeds + 6u));
    const float stain = source * SmoothRange(0.1f - 0.8f * (0.5f + 0.5f * tone), 0.9f, in);
    // Wet streaks under the seeps: where water comes out of a seam it runs
    // down the face in a narrow dark trail, over several beds, fading as
    // it goes.
    const float lane = across / 1.4f + 0.2f * ValueNoise(h / 2.0f, across / 3.0f, seeds::RockSeeps);
    const int column = int(std::floor(lane));
    const float inLane = lane - float(column);
    const float seepTop = -9.0f + 18.0f * (0.5f + 0.5f * LatticeValue(column, 1, seeds::RockSeeps + 1u));
    const float seepLength = 2.5f + 6.0f * (0.5f + 0.5f * LatticeValue(column, 2, seeds::RockSeeps + 1u));
    const float seepWidth = 0.12f + 0.2f * (0.5f + 0.5f * LatticeValue(column, 3, seeds::RockSeeps + 1u));
    const float streak = SmoothRange(0.2f, 0.7f, LatticeValue(column, 4, seeds::RockSeeps + 1u)) *
                         SmoothRange(seepWidth, 0.5f * seepWidth, std::fabs(inLane - 0.5f)) *
                         SmoothRange(seepTop - seepLength, seepTop - 0.3f * seepLength, h) *
                         SmoothRange(seepTop + 0.3f, seepTop, h);
    // Knobs and hollows a unit or two across, and broad buttresses, lit
    // from the sun's side.
    const TVec3 sun = SunDirection();
    const float sunAcross = (sun.x + 0.3f * sun.y) / std::sqrt(1.09f), sunUp = sun.z;
    auto relief = [&](float a, float r) {
        return Fbm(a / 2.4f, r / 1.2f + float(bed) * 5.3f, seeds::RockBeds + 11u, 3) +
               2.5f * Fbm(a / 6.0f, 0.5f, seeds::RockBeds + 12u, 2);
    };
    const float e = 0.15f;
    const float bumps = ((relief(across + e, h) - relief(across - e, h)) * sunAcross +
                         (relief(across, h + e) - relief(across, h - e)) * sunUp) /
                        (2.0f * e);
    // The side of a master joint towards the sun catches it; the other lies
    // in the crack's shadow.
    const float jointEdge = master * (masterValue * sunAcross > 0.0f ? -0.15f : 0.4f);
    c = Scaled(c, 1.0f + 0.32f * std::clamp(bumps, -1.2f, 1.2f) * fine);
    c = Scaled(c,
               (1.0f - 0.7f * seam * fine - 0.45f * overhang - 0.45f * joint * fine - jointEdge * fine -
                0.45f * stain) *
                   (0.92f +
                    0.16f * Fbm(across * 1.2f + h * 0.5f, h * 1.6f - across * 0.4f, seeds::RockBeds + 7u, 3) *
                        fine));
    c = Mix(c, Scaled(Rgb(0.16f, 0.17f, 0.15f), 0.9f + 0.3f * in), 0.6f * streak);
    // Moss and grass hold on the ledges in tufts and cushions, not strips.
    const float tufts = Fbm(across / 0.9f, h / 0.7f, seeds::RockTufts, 3);
    const float ledgy = SmoothRange(0.5f, 0.75f, n.z);
    const float moss = ledgy *
                       SmoothRange(-0.1f, 0.35f, Fbm(across / 3.0f, h / 2.0f, seeds::RockBeds + 8u, 3)) *
                       SmoothRange(-0.15f, 0.25f, tufts);
    c = Mix(c, Scaled(Rgb(0.22f, 0.28f, 0.13f), 0.85f + 0.3f * tufts), 0.7f * moss);
    const float grass = ledgy * SmoothRange(0.25f, 0.5f, tufts + 0.3f * (n.z - 0.6f));
    return Mix(c, Scaled(Rgb(0.40f, 0.42f, 0.22f), 0.8f + 0.4f * tufts), 0.85f * grass);
}

TColour FallenStone(float x, float y, TVec3 n, float detail) {
    // Coordinates bent a little, so the stones are of uneven shape and
    // size rather than laid like cobbles.
    const float bendX = 0.35f * ValueNoise(x * 2.1f, y * 2.1f, seeds::RockBeds + 13u);
    const float bendY = 0.35f * ValueNoise(x * 2.1f, y * 2.1f, seeds::RockBeds + 14u);
    const TCellNoise stone = CellNoise(x / 0.45f + bendX, y / 0.4f + bendY, seeds::RockBeds + 15u);
    const float gap = SmoothRange(0.02f, 0.18f, stone.Second - stone.Nearest);
    // Each stone rounded towards the sun, seen from above.
    const TVec3 sun = SunDirection();
    const float across = std::sqrt(sun.x * sun.x + sun.y * sun.y);
    const float round = Clamp01(0.6f + 1.1f * (stone.Dx * sun.x + stone.Dy * sun.y) / across);
    TColour c = Mix(Rgb(0.33f, 0.31f, 0.29f), Rgb(0.58f, 0.55f, 0.49f), 0.5f + 0.45f * stone.Value);
    c = Scaled(c, 1.0f + detail * ((0.8f + 0.3f * round) * (0.7f + 0.3f * gap) - 1.0f) -
                      0.12f * (1.0f - detail));
    // Turf and moss creep in between the stones where the fan lies flatter.
    const float creep = SmoothRange(0.8f, 0.95f, n.z) *
                        SmoothRange(-0.2f, 0.3f, Fbm(x / 1.6f, y / 1.6f, seeds::RockBeds + 16u, 3));
    return Mix(c, Rgb(0.28f, 0.33f, 0.16f), 0.7f * creep);
}

} // namespace scenegen
