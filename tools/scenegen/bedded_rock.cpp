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
                        0.45f * Fbm(across / 8.0f, 4.5f, seeds::RockBeds, 2) + 0.04f * across;
    // Thick beds and thin ones: the height warped, never folding back.
    const float bedAt = (level + 0.8f * ValueNoise(level / 3.0f, 0.5f, seeds::RockBeds + 10u)) / 2.4f;
    const int bed = int(std::floor(bedAt));
    const float in = bedAt - float(bed); // 0 at a bed's foot, 1 at its top
    const float tone = LatticeValue(bed, 3, seeds::RockBeds + 1u);
    TColour c =
        Mix(Rgb(0.32f, 0.30f, 0.27f), Rgb(0.53f, 0.49f, 0.43f),
            Clamp01(0.5f + 0.35f * tone + 0.4f * Fbm(across / 7.0f, h / 4.0f, seeds::RockBeds + 2u, 3)));
    c = Mix(c, Rgb(0.46f, 0.38f, 0.29f),
            0.3f * SmoothRange(0.3f, 0.7f, Fbm(across / 9.0f, h / 6.0f, seeds::RockBeds + 3u, 2)));
    const float fine = std::max(detail, 0.35f);
    const float seam =
        SmoothRange(0.16f, 0.0f, in) * (0.5f + 0.5f * SmoothRange(-0.3f, 0.3f, tone)) *
        SmoothRange(-0.4f, 0.3f, ValueNoise(across / 6.0f, float(bed) * 1.3f, seeds::RockBeds + 9u));
    const float overhang = SmoothRange(0.75f, 1.0f, in) * SmoothRange(0.0f, 0.5f, tone);
    const float jointLine =
        1.0f - std::fabs(ValueNoise(across / 2.6f + 0.4f * in, float(bed) * 3.7f, seeds::RockBeds + 4u));
    const float joint =
        SmoothRange(0.95f, 0.99f, jointLine) *
        SmoothRange(0.0f, 0.4f, ValueNoise(across / 4.0f, float(bed) * 2.9f, seeds::RockBeds + 5u));
    const float source =
        SmoothRange(0.3f, 0.8f, ValueNoise(across * 0.5f, float(bed) * 3.1f, seeds::RockBeds + 6u));
    const float stain = source * SmoothRange(0.1f - 0.8f * (0.5f + 0.5f * tone), 0.9f, in);
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
    c = Scaled(c, 1.0f + 0.25f * std::clamp(bumps, -1.2f, 1.2f) * fine);
    c = Scaled(c,
               (1.0f - 0.55f * seam * fine - 0.25f * overhang - 0.4f * joint * fine - 0.35f * stain) *
                   (0.92f +
                    0.16f * Fbm(across * 1.2f + h * 0.5f, h * 1.6f - across * 0.4f, seeds::RockBeds + 7u, 3) *
                        fine));
    const float moss = SmoothRange(0.45f, 0.75f, n.z) *
                       SmoothRange(-0.1f, 0.35f, Fbm(across / 3.0f, h / 2.0f, seeds::RockBeds + 8u, 3));
    return Mix(c, Rgb(0.22f, 0.28f, 0.13f), 0.7f * moss);
}

} // namespace scenegen
