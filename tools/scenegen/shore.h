// Stones: in clusters of mixed sizes along the shore, a few large among
// many small, some half in the water and some sunk into the bank, and a
// jumble of boulders and cobbles at the foot of the falls. Each
// is a lumpy stone worn round, lit by the sun corner by corner: its texture
// is a strip of stone grain from shade to full sun, and every corner takes
// the part of the strip that its own light calls for, so the light runs
// smoothly over it; just above the water, where the ripples reach, and in
// the falls' spray it is wet and dark, and low down greener. It stands in the
// lake and the turf with straight sides, showing no underside, and the water
// laps round it in a pale rim.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/scenegen/picture.h"

namespace scenegen {

struct TBoulder {
    TVec3 Base;   // the middle of its foot
    float Radius; // across its widest part
    float Height;
    float Turn; // radians
};

// How far the shore at `bearing` (radians round the lake centre) reaches
// back into a bay beyond its course on either side: 0 on a point or a
// straight, 1 deep in a bay.
float ShoreBay(float bearing);
// How low and flat the shore lies by (x, y): 1 in the flat bays, 0 under
// the steep banks where the land rises close behind the water; it changes
// gradually along the shore, stretch by stretch.
float ShoreFlatness(float x, float y);
// How much long grass hangs from the bank's lip over the water at `bearing`:
// only where the bank rises steeply from the water (five units back it
// stands well over three units high: under the escarpment and along the
// steeper hillsides), and there in stretches with bare bank between them.
float BankOverhang(float bearing);

// The stones, from fixed seeds: along the shore and at the falls' foot.
std::vector<TBoulder> PlaceBoulders();
// The stones (`material`, the stone texture).
TGenObject Boulders(const std::vector<TBoulder>& boulders, std::uint16_t material);
// 256 x 256 RGB: grain across, wet and green toward the left edge; light
// from the bottom (shade) to the top (sun).
TPicture StoneTexture();

} // namespace scenegen
