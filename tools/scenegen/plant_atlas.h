// The atlas of the plants' cut-outs: every kind of tree, bush and reed clump
// painted once, each in a cell of its own, as seen from the side with the
// sun's light from the left and a little behind the viewer.
#pragma once

#include "tools/scenegen/picture.h"

namespace scenegen {

constexpr int AtlasWidth = 1024, AtlasHeight = 1024;

// Atlas cells in texels: x, y (row 0 at the bottom), width, height.
struct TCell {
    int X, Y, W, H;
};
// Rows of 256 texels from the bottom: four firs, two reed clumps and two
// bushes; four broad leaved trees; four more firs, two bushes and two reed
// clumps; four more broad leaved trees.
constexpr int FirKinds = 8, BroadleafKinds = 8, BushKinds = 4, ReedKinds = 4;
constexpr TCell Firs[FirKinds] = {{0, 0, 128, 256},     {128, 0, 128, 256},  {256, 0, 128, 256},
                                  {384, 0, 128, 256},   {0, 512, 128, 256},  {128, 512, 128, 256},
                                  {256, 512, 128, 256}, {384, 512, 128, 256}};
constexpr TCell Reeds[ReedKinds] = {
    {512, 0, 128, 256}, {640, 0, 128, 256}, {768, 512, 128, 256}, {896, 512, 128, 256}};
constexpr TCell Bushes[BushKinds] = {
    {768, 0, 128, 256}, {896, 0, 128, 256}, {512, 512, 128, 256}, {640, 512, 128, 256}};
constexpr TCell Broadleaves[BroadleafKinds] = {
    {0, 256, 256, 256}, {256, 256, 256, 256}, {512, 256, 256, 256}, {768, 256, 256, 256},
    {0, 768, 256, 256}, {256, 768, 256, 256}, {512, 768, 256, 256}, {768, 768, 256, 256}};
// Height of what is drawn in a cell, as a share of the cell (reeds and bushes are low).
constexpr float ReedFill = 0.55f, BushFill = 0.5f;

// The painted atlas (1024 x 1024 RGBA), made on first use.
const TPicture& PlantAtlas();

} // namespace scenegen
