// The atlas of the plants' cut-outs: every kind of tree, bush and reed clump
// painted once, each in a cell of its own, as seen from the side, and the
// table of those kinds that both the atlas and the plants' placement read:
// a new kind of plant is one more row.
#pragma once

#include "tools/scenegen/picture.h"

namespace scenegen {

constexpr int AtlasWidth = 1024, AtlasHeight = 1024;

// Atlas cells in texels: x, y (row 0 at the bottom), width, height.
struct TCell {
    int X, Y, W, H;
};
// Rows of 256 texels from the bottom: four firs, two reed clumps and two
// bushes each under a tuft of bank grass; four broad leaved trees; four more
// firs, two bushes under tufts and two reed clumps; four more broad leaved
// trees.
constexpr int FirKinds = 8, BroadleafKinds = 8, BushKinds = 4, ReedKinds = 4, GrassKinds = 4;
constexpr TCell Firs[FirKinds] = {{0, 0, 128, 256},     {128, 0, 128, 256},  {256, 0, 128, 256},
                                  {384, 0, 128, 256},   {0, 512, 128, 256},  {128, 512, 128, 256},
                                  {256, 512, 128, 256}, {384, 512, 128, 256}};
constexpr TCell Reeds[ReedKinds] = {
    {512, 0, 128, 256}, {640, 0, 128, 256}, {768, 512, 128, 256}, {896, 512, 128, 256}};
constexpr TCell Bushes[BushKinds] = {
    {768, 0, 128, 128}, {896, 0, 128, 128}, {512, 512, 128, 128}, {640, 512, 128, 128}};
constexpr TCell BankGrass[GrassKinds] = {
    {768, 128, 128, 128}, {896, 128, 128, 128}, {512, 640, 128, 128}, {640, 640, 128, 128}};
constexpr TCell Broadleaves[BroadleafKinds] = {
    {0, 256, 256, 256}, {256, 256, 256, 256}, {512, 256, 256, 256}, {768, 256, 256, 256},
    {0, 768, 256, 256}, {256, 768, 256, 256}, {512, 768, 256, 256}, {768, 768, 256, 256}};
// Height of what is drawn in a cell, as a share of the cell (reeds are low).
constexpr float ReedFill = 0.55f;
// Where a bank grass tuft's roots lie, as a share of its height: its blades
// bow over a little above them and hang down over the bank below.
constexpr float GrassRoots = 0.7f;

// Where a kind of plant grows: in the woods and groves, as undergrowth
// round them and by the rocks, in beds along the waterline, or on the lip
// of a steep bank over the water.
enum class THabitat { Woods, Undergrowth, Waterline, BankLip };

// A coverage painter: true, with the colour, where the plant covers (u, v)
// of its cell (u across 0..1, v up 0..1) in the look `variant`.
using TPlantPainter = bool (*)(float u, float v, int variant, TColour& c);

struct TPlantKind {
    const TCell* Cells; // one look a cell
    int Variants;
    TPlantPainter Paint;
    float Fill;               // height of what is drawn, as a share of the cell
    float HeightLo, HeightHi; // from the youngest plant to the oldest, world units
    float WidthLo, WidthHi;   // width as a share of the height
    // The shadow its crown casts on the ground: the crown's radius as a share
    // of the width and its middle's height as a share of the height (0: none).
    float ShadowRadius, ShadowHeight;
    THabitat Habitat;
    float Share; // how often it is chosen among the kinds of its habitat
};

// The kinds, indexed by TPlant::TKind (vegetation.h).
constexpr int PlantKindCount = 5;
extern const TPlantKind PlantKinds[PlantKindCount];

// The painted atlas (1024 x 1024 RGBA), made on first use.
const TPicture& PlantAtlas();

} // namespace scenegen
