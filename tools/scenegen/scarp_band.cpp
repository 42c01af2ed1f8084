#include "tools/scenegen/scarp_band.h"

#include <algorithm>
#include <cmath>

#include "tools/scenegen/noise.h"
#include "tools/scenegen/seeds.h"
#include "tools/scenegen/toolkit.h"
#include "tools/scenegen/world.h"

namespace scenegen {

TScarpBand ScarpBandAt(float x, float y, float h, TVec3 n) {
    TScarpBand out;
    const float slope = 1.0f - n.z;
    // To the east the land below is higher and the step soon sinks into
    // rounded hillside.
    const float fallsRadius = ShoreRadius(FallsAngle);
    const float fromFallsX = x - LakeCentreX - fallsRadius * Cos(FallsAngle);
    out.FromFalls = Hypot(fromFallsX * (fromFallsX > 0.0f ? 1.8f : 1.0f),
                          y - (LakeCentreY + fallsRadius * Sin(FallsAngle)));
    if (fromFallsX > 0.0f) out.Foot = SmoothRange(42.0f, 28.0f, out.FromFalls);
    const float away = SmoothRange(18.0f, 40.0f, out.FromFalls);
    if (away <= 0.0f) {
        out.Standing = 1.0f;
        return out;
    }
    const float buttress = SmoothRange(-0.05f, 0.05f,
                                       Fbm(x / 8.0f, y / 8.0f, seeds::Buttresses, 2) + 0.35f -
                                           SmoothRange(25.0f, 60.0f, out.FromFalls)) *
                           SmoothRange(0.45f, 0.6f, slope);
    // How far the ground still rises a few units up the slope: small near
    // the step's top, so the face's top edge keeps below the crest by a
    // height that wanders slowly along it, with lesser notches and spurs.
    float band = 0.0f;
    const float fall = Hypot(n.x, n.y);
    if (fall > 1e-3f && slope > 0.2f) {
        const float upX = -n.x / fall, upY = -n.y / fall;
        const float still = TerrainHeight(x + 4.0f * upX, y + 4.0f * upY) - h;
        const float below = 0.6f + 2.6f * SmoothRange(30.0f, 120.0f, out.FromFalls) +
                            1.1f * Fbm(x / 14.0f, y / 14.0f, seeds::ScarpBandTop, 2) +
                            0.45f * Fbm(x / 3.5f, y / 3.5f, seeds::ScarpBandTop + 1u, 2);
        // Far out it breaks off, in longer gaps towards its ends.
        const float runs = SmoothRange(-0.06f, 0.06f,
                                       Fbm(x / 18.0f, y / 18.0f, seeds::ScarpBandGaps, 2) + 0.4f -
                                           0.45f * SmoothRange(70.0f, 190.0f, out.FromFalls));
        // To the east it ends soon after the face by the falls: the knolls
        // there are rounded hills, their rock in ledges.
        const float east = fromFallsX > 0.0f ? SmoothRange(50.0f, 32.0f, out.FromFalls) : 1.0f;
        // Lower towards its ends: only so high above the ground at its foot.
        const float drop = h - TerrainHeight(x - 6.0f * upX, y - 6.0f * upY);
        const float high = 9.0f - 6.0f * SmoothRange(30.0f, 110.0f, out.FromFalls) +
                           1.5f * Fbm(x / 10.0f, y / 10.0f, seeds::ScarpBandTop + 2u, 2);
        band = SmoothRange(below - 0.35f, below + 0.35f, still) *
               SmoothRange(high + 0.4f, high - 0.4f, drop) * runs * east;
    }
    out.Standing = Lerp(1.0f, std::max(buttress, band), away);
    return out;
}

} // namespace scenegen
