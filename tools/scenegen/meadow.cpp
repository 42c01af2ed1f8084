#include "tools/scenegen/meadow.h"

#include <cmath>

#include "tools/scenegen/lighting.h"
#include "tools/scenegen/seeds.h"
#include "tools/scenegen/toolkit.h"
#include "tools/scenegen/world.h"

namespace scenegen {

TMeadow MeadowAt(float x, float y, float above, TVec3 n, const TRelief& relief, const TSurfaceNoise& surface,
                 float footprint) {
    // The grass is drier where the land faces the sun, lies high above the
    // water or stands out on a crest where the soil is thin; lusher low by
    // the lake and the stream, in hollows and on the slopes turned away.
    const TColour lush = Rgb(0.24f, 0.37f, 0.12f), dry = Rgb(0.55f, 0.52f, 0.28f);
    const TVec3 sun = SunDirection();
    const float facing = Dot(n, sun) - sun.z; // 0 on level ground, above it facing the sun
    const float wetness =
        Clamp01(SmoothRange(7.0f, 0.5f, above) + SmoothRange(0.0f, 1.0f, StreamWater(x, y) * 4.0f));
    const float hollow = SmoothRange(0.1f, 0.7f, relief.Hollow),
                crest = SmoothRange(-0.1f, -0.7f, relief.Hollow);
    const float dryness = 0.25f + 0.5f * Fbm(x / 40.0f, y / 40.0f, seeds::MeadowDrifts, 4) + 0.8f * facing -
                          0.45f * wetness + 0.15f * SmoothRange(6.0f, 30.0f, above) + 0.35f * crest -
                          0.35f * hollow;
    TColour ground = Mix(lush, dry, Clamp01(dryness));
    // Thin, browner turf where the soil is thin: crests and the shoulders
    // of steep banks.
    const float thin = Clamp01(0.8f * crest + 0.6f * SmoothRange(0.35f, 0.7f, relief.Rise)) *
                       (0.5f + 0.5f * SmoothRange(-0.3f, 0.4f, surface.Fbm(18.0f, seeds::MeadowEarth, 3)));
    ground = Mix(ground, Rgb(0.40f, 0.33f, 0.20f), 0.3f * thin);
    // Rushes and sedge, dark and blue-green, where water gathers.
    const float rushes = Clamp01(0.8f * hollow + 0.5f * wetness) *
                         SmoothRange(-0.1f, 0.35f, surface.Fbm(6.0f, seeds::MeadowRushes, 3));
    ground = Mix(ground, Rgb(0.16f, 0.25f, 0.12f), 0.55f * rushes);

    // Finer patterns each fade out, to their average, as the texel grows to
    // their size: any finer, they would only alias into bands and speckle.
    // A mottle of light and dark turf, its finer octaves only where the
    // texel is small enough to show them.
    const float mottle = SmoothRange(1.4f, 0.8f, footprint);
    const float mottleFine = SmoothRange(0.6f, 0.25f, footprint);
    const float mottleNoise = Lerp(surface.Fbm(2.5f, seeds::MeadowMottle, 1),
                                   surface.Fbm(2.5f, seeds::MeadowMottle, 3), mottleFine);
    ground = Scaled(ground, 1.0f + mottle * (0.3f * mottleNoise - 0.14f) - 0.12f * (1.0f - mottle));
    // Tussocks: clumps about half a unit across, lit on the sun's side and
    // dark in the gaps between, coarser where the turf is wet or rough.
    const float tuft = SmoothRange(0.25f, 0.1f, footprint);
    if (tuft > 0.0f) {
        const float size = 0.45f + 0.2f * rushes;
        const TCellNoise cell = CellNoise(x / size, y / size, seeds::Tussocks);
        const float lit = (cell.Dx * sun.x + cell.Dy * sun.y) / std::sqrt(sun.x * sun.x + sun.y * sun.y);
        const float gap = SmoothRange(0.2f, 0.02f, cell.Second - cell.Nearest);
        const float shade = 0.18f * lit - 0.22f * gap + 0.1f * cell.Value;
        ground = Scaled(ground, 1.0f + tuft * shade);
        // Blades: fine streaks of light and dark grass.
        const float blades = SmoothRange(0.16f, 0.07f, footprint);
        ground = Scaled(ground, 1.0f + blades * (0.18f * surface.Value(2.7f, seeds::GrassBlades)));
    }

    // Worn earth in scraps between the tussocks, where the turf is thin:
    // on crests, on banks steep enough to slip and where the sun bakes it.
    const float detail = SmoothRange(0.7f, 0.35f, footprint);
    const float wear = Clamp01(crest + SmoothRange(0.45f, 0.7f, relief.Rise) + 0.8f * facing);
    const float bare =
        detail * (1.0f - wetness) *
        SmoothRange(0.62f - 0.2f * wear, 0.7f - 0.2f * wear, surface.Fbm(1.1f, seeds::WornEarth, 3));
    ground =
        Mix(ground,
            Scaled(Rgb(0.42f, 0.34f, 0.23f), 0.85f + 0.3f * surface.Value(2.3f, seeds::BareEarthTone)), bare);

    // Flowers in drifts: white, yellow and a little purple, in specks; where
    // a texel is wider than a speck, the drift's tint.
    const float drift = SmoothRange(0.1f, 0.45f, surface.Fbm(16.0f, seeds::FlowerDrifts, 3)) * (1.0f - bare) *
                        (1.0f - 0.7f * rushes);
    if (drift > 0.0f) {
        const float kind = ValueNoise(x / 7.0f, y / 7.0f, seeds::FlowerKinds);
        const TColour flower = kind > 0.3f
                                   ? Rgb(0.86f, 0.84f, 0.72f)
                                   : (kind > -0.4f ? Rgb(0.85f, 0.74f, 0.30f) : Rgb(0.55f, 0.45f, 0.62f));
        const float specks = SmoothRange(0.3f, 0.12f, footprint);
        const float speck = surface.Value(4.7f, seeds::FlowerSpecks);
        const float share = specks * SmoothRange(0.55f, 0.8f, speck) * 0.8f + (1.0f - specks) * 0.08f;
        ground = Mix(ground, flower, drift * share);
    }
    return TMeadow{ground, bare};
}

} // namespace scenegen
