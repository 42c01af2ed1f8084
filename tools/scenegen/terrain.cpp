#include "tools/scenegen/terrain.h"

#include <algorithm>
#include <cmath>

#include "tools/scenegen/near_ground.h"

namespace scenegen {

namespace {

// Cell edges from `from` outwards over `length` units in `cells` cells, each
// cell wider than the one before it by a constant factor, the first one
// `step` * factor wide. Returns the edges beyond `from`, nearest first.
std::vector<float> GrowingEdges(float from, float length, int cells, float step, float direction) {
    // Find the factor g with step * (g + g^2 + ... + g^cells) = length.
    auto total = [&](double g) {
        double sum = 0.0, w = 1.0;
        for (int i = 0; i < cells; ++i)
            sum += (w *= g);
        return step * sum;
    };
    double lo = 1.0, hi = 4.0;
    for (int it = 0; it < 60; ++it) {
        double mid = 0.5 * (lo + hi);
        (total(mid) < length ? lo : hi) = mid;
    }
    std::vector<float> edges;
    double pos = from, w = step;
    for (int i = 0; i < cells; ++i) {
        w *= lo;
        pos += direction * w;
        edges.push_back(float(pos));
    }
    edges.back() = from + direction * length; // exact outer edge
    return edges;
}

std::vector<float> GridLines(float lo, float nearLo, float nearHi, float hi, int nearCells, int cellsLo,
                             int cellsHi) {
    const float step = (nearHi - nearLo) / float(nearCells);
    std::vector<float> lines = GrowingEdges(nearLo, nearLo - lo, cellsLo, step, -1.0f);
    std::reverse(lines.begin(), lines.end());
    for (int i = 0; i <= nearCells; ++i)
        lines.push_back(nearLo + step * float(i));
    std::vector<float> outer = GrowingEdges(nearHi, hi - nearHi, cellsHi, step, 1.0f);
    lines.insert(lines.end(), outer.begin(), outer.end());
    return lines;
}

constexpr int TileCells = 20; // half the fine grid: each tile lies in one quarter

// Tile boundaries along one axis: the outer part below the fine grid as one
// block, the fine grid in blocks of TileCells, the outer part above as one.
std::vector<int> TileBounds(int nearFirst, int nearCells, int cells) {
    std::vector<int> bounds{0};
    if (nearFirst > 0) bounds.push_back(nearFirst);
    for (int c = TileCells; c < nearCells; c += TileCells)
        bounds.push_back(nearFirst + c);
    bounds.push_back(nearFirst + nearCells);
    if (nearFirst + nearCells < cells) bounds.push_back(cells);
    return bounds;
}

// True when the ground point (i, j) lies so far under the water, and inside
// the part of the square the water draws, that the water always hides it. A
// triangle with three such corners is never drawn: the lake's bed would only
// be painted over by the water.
bool UnderTheWater(const TTerrainGrid& grid, int i, int j) {
    const float x = grid.Xs[i], y = grid.Ys[j];
    return x > WaterDrawnArea.X0 && x < WaterDrawnArea.X1 && y > WaterDrawnArea.Y0 && y < WaterDrawnArea.Y1 &&
           grid.At(i, j) < WaterLevel - HiddenBedDepth;
}

bool InNearGround(TVec3 p) {
    return p.x >= NearGroundArea.X0 && p.x <= NearGroundArea.X1 && p.y >= NearGroundArea.Y0 &&
           p.y <= NearGroundArea.Y1;
}

// Texture coordinate of x (or y) in a texture of `size` texels over lo..hi:
// lo and hi land on the centres of the first and last texels.
float AreaTexCoord(float v, float lo, float hi, int size) {
    return (0.5f + (v - lo) / (hi - lo) * float(size - 1)) / float(size);
}

} // namespace

TTerrainGrid BuildTerrainGrid() {
    TTerrainGrid grid;
    const int nearCells = int(std::lround((NearArea.X1 - NearArea.X0) / NearGridStep));
    grid.NearCells = nearCells;
    grid.Xs = GridLines(TerrainArea.X0, NearArea.X0, NearArea.X1, TerrainArea.X1, nearCells, 10, 10);
    grid.Ys = GridLines(TerrainArea.Y0, NearArea.Y0, NearArea.Y1, TerrainArea.Y1, nearCells, 2, 11);
    grid.NearX0 = 10;
    grid.NearY0 = 2;
    const std::size_t nx = grid.Xs.size(), ny = grid.Ys.size();
    grid.Heights.resize(nx * ny);
    for (std::size_t j = 0; j < ny; ++j)
        for (std::size_t i = 0; i < nx; ++i)
            grid.Heights[j * nx + i] = TerrainHeight(grid.Xs[i], grid.Ys[j]);
    // Split each cell along the diagonal whose ends are closer in height, so
    // that ridges and the waterline follow the ground rather than cut it.
    grid.Alt.resize(std::size_t(grid.CellsX()) * std::size_t(grid.CellsY()));
    for (int j = 0; j < grid.CellsY(); ++j)
        for (int i = 0; i < grid.CellsX(); ++i) {
            float d0 = std::fabs(grid.At(i, j) - grid.At(i + 1, j + 1));
            float d1 = std::fabs(grid.At(i + 1, j) - grid.At(i, j + 1));
            grid.Alt[std::size_t(j) * std::size_t(grid.CellsX()) + std::size_t(i)] = d1 < d0 ? 1 : 0;
        }
    return grid;
}

float TTerrainGrid::MeshHeight(float x, float y) const {
    auto cell = [](const std::vector<float>& lines, float v) {
        auto it = std::upper_bound(lines.begin(), lines.end(), v);
        int k = int(it - lines.begin()) - 1;
        return std::clamp(k, 0, int(lines.size()) - 2);
    };
    const int i = cell(Xs, x), j = cell(Ys, y);
    const float u = std::clamp((x - Xs[i]) / (Xs[i + 1] - Xs[i]), 0.0f, 1.0f);
    const float v = std::clamp((y - Ys[j]) / (Ys[j + 1] - Ys[j]), 0.0f, 1.0f);
    const float h00 = At(i, j), h10 = At(i + 1, j), h01 = At(i, j + 1), h11 = At(i + 1, j + 1);
    if (Alt[std::size_t(j) * std::size_t(CellsX()) + std::size_t(i)]) {
        // triangles (00, 10, 01) and (10, 11, 01)
        if (u + v <= 1.0f) return h00 + (h10 - h00) * u + (h01 - h00) * v;
        return h11 + (h01 - h11) * (1.0f - u) + (h10 - h11) * (1.0f - v);
    }
    // triangles (00, 10, 11) and (00, 11, 01)
    if (u >= v) return h00 + (h10 - h00) * u + (h11 - h10) * v;
    return h00 + (h11 - h01) * u + (h01 - h00) * v;
}

void AddTerrainObjects(const TTerrainGrid& grid, TGenModel& model,
                       const std::uint16_t (&nearMaterials)[NearParts], std::uint16_t farMaterial) {
    const int size = 1024; // the far land's texture
    const TVec3 eye = CameraEye();
    TGenObject near[NearParts];
    for (int part = 0; part < NearParts; ++part) {
        near[part].Material = nearMaterials[part];
        near[part].Alpha = 0.0f; // opaque pass
    }
    std::vector<TGenObject> tiles;
    const std::vector<int> bx = TileBounds(grid.NearX0, grid.NearCells, grid.CellsX());
    const std::vector<int> by = TileBounds(grid.NearY0, grid.NearCells, grid.CellsY());
    for (std::size_t tj = 0; tj + 1 < by.size(); ++tj)
        for (std::size_t ti = 0; ti + 1 < bx.size(); ++ti) {
            TGenObject tile;
            tile.Material = farMaterial;
            tile.Alpha = 0.0f; // opaque pass
            auto vertex = [&](int i, int j) { return V3(grid.Xs[i], grid.Ys[j], grid.At(i, j)); };
            auto tex = [&](int i, int j) {
                return V3(AreaTexCoord(grid.Xs[i], TerrainArea.X0, TerrainArea.X1, size),
                          AreaTexCoord(grid.Ys[j], TerrainArea.Y0, TerrainArea.Y1, size), 0.0f);
            };
            auto add = [&](int i0, int j0, int i1, int j1, int i2, int j2) {
                if (UnderTheWater(grid, i0, j0) && UnderTheWater(grid, i1, j1) && UnderTheWater(grid, i2, j2))
                    return;
                const TVec3 a = vertex(i0, j0), b = vertex(i1, j1), c = vertex(i2, j2);
                // Ground turned away from the camera is the far side of a
                // rise, always behind the near side; ground out of every view
                // is never seen.
                if (Dot(Cross(b - a, c - a), eye - a) <= 0.0f || !TriangleMayShow(a, b, c)) return;
                TVec3 st[3];
                const int part =
                    InNearGround(a) && InNearGround(b) && InNearGround(c) ? NearGroundPart(a, b, c, st) : -1;
                if (part >= 0)
                    near[part].Add(a, b, c, st[0], st[1], st[2]);
                else
                    tile.Add(a, b, c, tex(i0, j0), tex(i1, j1), tex(i2, j2));
            };
            for (int j = by[tj]; j < by[tj + 1]; ++j)
                for (int i = bx[ti]; i < bx[ti + 1]; ++i) {
                    const bool alt = grid.Alt[std::size_t(j) * std::size_t(grid.CellsX()) + std::size_t(i)];
                    if (alt) {
                        add(i, j, i + 1, j, i, j + 1);
                        add(i + 1, j, i + 1, j + 1, i, j + 1);
                    } else {
                        add(i, j, i + 1, j, i + 1, j + 1);
                        add(i, j, i + 1, j + 1, i, j + 1);
                    }
                }
            if (!tile.Triangles.empty()) tiles.push_back(std::move(tile));
        }
    // The near ground first: it hides much of what lies behind it.
    for (TGenObject& object : near)
        if (!object.Triangles.empty()) model.Objects.push_back(std::move(object));
    for (TGenObject& tile : tiles)
        model.Objects.push_back(std::move(tile));
}

} // namespace scenegen
