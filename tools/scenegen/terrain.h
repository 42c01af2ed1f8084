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

// The ground of the fine grid, and of the hills just behind it, that camera
// 1 sees is textured as camera 1 sees it: a texel is where a ray from the camera meets it, so the texels lie
// as evenly on the screen as pixels do, at under two pixels each at
// 1920 x 1080, however steep or edge-on the ground. The view is cut into
// three parts side by side, each with a texture of its own (see
// near_ground.h).
constexpr int NearParts = 3;

// Adds the ground: the triangles of the near ground (NearGroundArea in
// near_ground.h) that camera 1 sees, in one object for each near part (material `nearMaterials[p]`), then the
// rest as tiles of at most 20 x 20 cells with `farMaterial` (1024 x 1024 texture over TerrainArea). Triangles
// face up.
void AddTerrainObjects(const TTerrainGrid& grid, TGenModel& model,
                       const std::uint16_t (&nearMaterials)[NearParts], std::uint16_t farMaterial);

// Something standing on the ground that casts a shadow: a crown of Radius
// whose middle is CrownHeight above Base.
struct TShadowCaster {
    TVec3 Base;
    float Radius, CrownHeight;
};

// Where the shadow of a crown's middle falls on the ground, away from the
// sun.
TVec3 ShadowCentre(const TShadowCaster& caster);

// The ground's texture over `area`: colour by height, slope and cover, lit by
// the sun with cast shadows (the land's and the casters'), faded by the haze
// seen from camera 1.
TPicture BakeTerrainTexture(const TTerrainGrid& grid, const TArea& area, int width, int height,
                            const std::vector<TShadowCaster>& casters);

// A point of the drawn ground to be painted: Footprint is the width of ground
// its texel covers, so that detail finer than that is left out.
struct TGroundSample {
    TVec3 Point;
    float Footprint;
    TColour Colour; // filled in
    float Turf;     // filled in: 1 where open grass shows, 0 where none does
};

// Paints the ground at each sample's point as BakeTerrainTexture paints its
// texels; the land's and the casters' shadows are worked out over `area`,
// every `step` units.
void PaintGround(const TArea& area, float step, const std::vector<TShadowCaster>& casters,
                 std::vector<TGroundSample>& samples);

} // namespace scenegen
