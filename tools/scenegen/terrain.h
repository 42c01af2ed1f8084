// The land around the lake: a height grid, fine around the lake and coarser
// towards the horizon, turned into textured triangle tiles, and the baked
// aerial-photograph textures draped over it.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/scenegen/picture.h"
#include "tools/scenegen/world.h"

namespace scenegen {

struct TTerrainGrid {
    std::vector<float> Xs;         // grid lines west to east
    std::vector<float> Ys;         // grid lines south to north
    std::vector<float> Heights;    // Xs.size() x Ys.size(), x fastest
    std::vector<std::uint8_t> Alt; // per cell: 1 when split along (x0,y1)-(x1,y0)
    int NearX0 = 0, NearY0 = 0;    // first cell of the fine part
    int NearCells = 0;             // the fine part is NearCells x NearCells cells

    int CellsX() const { return int(Xs.size()) - 1; }
    int CellsY() const { return int(Ys.size()) - 1; }
    float At(int i, int j) const { return Heights[std::size_t(j) * Xs.size() + std::size_t(i)]; }
    // The height of the triangulated surface at (x, y): what is drawn, so
    // that the waterline painted into the textures is where the water meets
    // the drawn ground.
    float MeshHeight(float x, float y) const;
};

TTerrainGrid BuildTerrainGrid();

// The near ground is textured in three parts, each with a texture of its
// own, so that the ground camera 1 sees most of (the far shore, the banks
// either side of the falls and the meadows above them) stays sharp: part 0
// is the south half of NearArea, mostly under the lake or seen edge on,
// parts 1 and 2 its north-west and north-east quarters.
constexpr int NearParts = 3;
TArea NearPart(int part);

// Adds the ground as tiles of at most 20 x 20 cells: tiles in part p of
// NearArea use `nearMaterials[p]` (texture over NearPart(p)), the rest
// `farMaterial` (texture over TerrainArea). Triangles face up.
void AddTerrainObjects(const TTerrainGrid& grid, TGenModel& model,
                       const std::uint16_t (&nearMaterials)[NearParts], std::uint16_t farMaterial);

// Texture coordinate of x (or y) in a texture of `size` texels over lo..hi:
// lo and hi land on the centres of the first and last texels.
float AreaTexCoord(float v, float lo, float hi, int size);

// Something standing on the ground that casts a shadow: a crown of Radius
// whose middle is CrownHeight above Base.
struct TShadowCaster {
    TVec3 Base;
    float Radius, CrownHeight;
};

// Where the shadow of a crown falls on level ground at the height of its
// foot: its middle, away from the sun.
TVec3 ShadowCentre(const TShadowCaster& caster);

// The ground's texture over `area`: colour by height, slope and cover, lit by
// the sun with cast shadows (the land's and the casters'), faded by the haze
// seen from camera 1.
TPicture BakeTerrainTexture(const TTerrainGrid& grid, const TArea& area, int size,
                            const std::vector<TShadowCaster>& casters);

} // namespace scenegen
