// The generated lake's shore as the model draws it: its stones lie in
// clusters of mixed sizes, and the falls' foot is a jumble of them; long
// grass hangs from the steep banks.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <numeric>
#include <tuple>

#include "tests/tools/scenegen_data.h"
#include "tools/scenegen/far_trees.h"
#include "tools/scenegen/plant_atlas.h"
#include "tools/scenegen/world.h"

using namespace scenedata;

namespace {

constexpr double WaterZ = scenegen::WaterLevel;

// One stone as drawn: where it stands, how wide it is across the ground and
// how low its lowest corner and how high its top stand.
struct TStone {
    double X, Y, Width, Bottom, Top;
};

// The stones: the lake_stones triangles joined into lumps wherever they
// share a corner (a stone's facets share theirs; two stones never do).
std::vector<TStone> Stones(const TModel& lake) {
    std::map<std::tuple<double, double, double>, std::size_t> corners;
    std::vector<std::size_t> parent;
    std::vector<TVec> points;
    auto find = [&](std::size_t i) {
        while (parent[i] != i)
            i = parent[i] = parent[parent[i]];
        return i;
    };
    for (const TModelObject& o : lake.Objects) {
        if (MaterialTextureName(lake.Materials[o.MaterialIndex]) != "lake_stones") continue;
        for (const TTriangle& t : o.Meshes[0].Triangles) {
            std::size_t first = 0;
            for (int v = 0; v < 3; ++v) {
                const TVec p = Vertex(t, v);
                const auto [at, added] = corners.emplace(std::make_tuple(p.X, p.Y, p.Z), points.size());
                if (added) {
                    parent.push_back(points.size());
                    points.push_back(p);
                }
                if (v == 0) first = at->second;
                parent[find(at->second)] = find(first);
            }
        }
    }
    std::map<std::size_t, std::array<double, 6>> boxes; // x0, x1, y0, y1, bottom, top
    for (std::size_t i = 0; i < points.size(); ++i) {
        const TVec& p = points[i];
        const auto [at, added] = boxes.emplace(find(i), std::array<double, 6>{p.X, p.X, p.Y, p.Y, p.Z, p.Z});
        std::array<double, 6>& b = at->second;
        b = {std::min(b[0], p.X), std::max(b[1], p.X), std::min(b[2], p.Y),
             std::max(b[3], p.Y), std::min(b[4], p.Z), std::max(b[5], p.Z)};
    }
    std::vector<TStone> stones;
    for (const auto& [root, b] : boxes)
        stones.push_back(
            {(b[0] + b[1]) / 2, (b[2] + b[3]) / 2, std::max(b[1] - b[0], b[3] - b[2]), b[4], b[5]});
    return stones;
}

double Bearing(const TStone& s) {
    return std::atan2(s.Y - scenegen::LakeCentreY, s.X - scenegen::LakeCentreX);
}

double OffFalls(const TStone& s) {
    return std::fabs(std::remainder(Bearing(s) - scenegen::FallsAngle, 2 * M_PI));
}

} // namespace

TEST(ShoreStones, LieInClustersOfMixedSizesAndJumbledAtTheFallsFoot) {
    std::vector<TStone> stones = Stones(Models[Load("tarnwick")]);
    ASSERT_GT(stones.size(), 20u);

    // A few large among many small: the largest at least three times the
    // width of the middling one.
    std::vector<double> widths;
    for (const TStone& s : stones)
        widths.push_back(s.Width);
    std::sort(widths.begin(), widths.end());
    EXPECT_GT(widths.back(), 3.0 * widths[widths.size() / 2]);

    // Along the shore, away from the falls, in clusters with open shore
    // between them: the gaps between neighbours round the lake are mostly
    // short, a few long. Stones scattered at random would have gaps whose
    // spread is about their mean, evenly spaced ones less.
    std::vector<double> bearings;
    for (const TStone& s : stones)
        if (OffFalls(s) > 0.5) bearings.push_back(Bearing(s));
    std::sort(bearings.begin(), bearings.end());
    std::vector<double> gaps;
    for (std::size_t i = 1; i < bearings.size(); ++i)
        if (bearings[i] - bearings[i - 1] < 0.8) gaps.push_back(bearings[i] - bearings[i - 1]);
    ASSERT_GT(gaps.size(), 10u);
    const double mean = std::accumulate(gaps.begin(), gaps.end(), 0.0) / double(gaps.size());
    double spread = 0;
    for (double g : gaps)
        spread += (g - mean) * (g - mean);
    spread = std::sqrt(spread / double(gaps.size()));
    EXPECT_GT(spread, 1.3 * mean) << "gaps between stones too even";

    // At the falls' foot a jumble standing out of the water: boulders and
    // cobbles, heaped several deep out from the face rather than in a line
    // along it.
    int showing = 0, small = 0, large = 0;
    double nearest = 1e9, farthest = 0;
    for (const TStone& s : stones) {
        if (OffFalls(s) > 0.3 || s.Top < WaterZ + 0.1) continue;
        ++showing;
        small += s.Width < 1.2;
        large += s.Width > 2.5;
        const double d = std::hypot(s.X - scenegen::LakeCentreX, s.Y - scenegen::LakeCentreY);
        nearest = std::min(nearest, d), farthest = std::max(farthest, d);
    }
    EXPECT_GE(showing, 12);
    EXPECT_GE(small, 4);
    EXPECT_GE(large, 2);
    EXPECT_GT(farthest - nearest, 5.0);
}

// Away from the falls, stones stand out in the shallows: rooted well under
// the water, yet standing clear of the ripples' reach, the most of them at
// different places round the lake rather than in one heap.
TEST(ShoreStones, SomeStandInTheShallowsClearOfTheRipples) {
    std::vector<double> bearings;
    for (const TStone& s : Stones(Models[Load("tarnwick")]))
        if (OffFalls(s) > 0.5 && s.Bottom < WaterZ - 0.3 && s.Top > WaterZ + 0.7)
            bearings.push_back(Bearing(s));
    ASSERT_GE(bearings.size(), 3u) << "no stones stand in the shallows";
    std::sort(bearings.begin(), bearings.end());
    EXPECT_GT(bearings.back() - bearings.front(), 0.5) << "the shallows' stones all in one place";
}

// Where a stone breaks the water it stands in it rather than on it: nothing
// of it above the water faces down (an underside in view reads as a stone
// floating on the lake).
TEST(ShoreStones, ShowNoUndersidesAboveTheWater) {
    const TModel& lake = Models[Load("tarnwick")];
    int undersides = 0;
    for (const TModelObject& o : lake.Objects) {
        if (MaterialTextureName(lake.Materials[o.MaterialIndex]) != "lake_stones") continue;
        for (const TTriangle& t : o.Meshes[0].Triangles) {
            const TVec a = Vertex(t, 0), b = Vertex(t, 1), c = Vertex(t, 2);
            if (std::min({a.Z, b.Z, c.Z}) < WaterZ + 0.02) continue;
            const TVec n = Cross(Minus(b, a), Minus(c, a));
            undersides += n.Z < -0.2 * std::sqrt(Dot(n, n));
        }
    }
    EXPECT_EQ(undersides, 0) << "stones show their undersides above the water";
}

namespace {

// A tuft of bank grass as drawn: where it stands, the height of its lowest
// corner and of its roots.
struct TTuft {
    double X, Y, Bottom, Roots;
};

// The cut-outs drawn from the bank grass's cells, near and far: each two
// triangles, the first holding its two lower corners and an upper one.
std::vector<TTuft> Tufts(const TModel& lake) {
    std::vector<TTuft> tufts;
    for (const TModelObject& o : lake.Objects) {
        const std::string name = MaterialTextureName(lake.Materials[o.MaterialIndex]);
        if (name != "lake_trees" && name != "lake_trees_far") continue;
        const double copies = name == "lake_trees" ? 1 : scenegen::FarCopies;
        const TMesh& mesh = o.Meshes[0];
        for (std::size_t t = 0; t + 1 < mesh.Triangles.size(); t += 2) {
            // The corners' rows in the full atlas (each copy in the far
            // texture is the whole atlas scaled), and the cell they are in.
            double rows[3], x = 0;
            for (int v = 0; v < 3; ++v) {
                const TTexCoord& c = mesh.TexCoords[3 * t + v];
                rows[v] = (c.T * copies - std::floor(c.T * copies)) * scenegen::AtlasHeight;
                x += c.S * scenegen::AtlasWidth / 3;
            }
            const double y = (rows[0] + rows[2]) / 2;
            const scenegen::TCell* cell =
                std::find_if(std::begin(scenegen::BankGrass), std::end(scenegen::BankGrass),
                             [&](const scenegen::TCell& c) {
                                 return x > c.X && x < c.X + c.W && y > c.Y && y < c.Y + c.H;
                             });
            if (cell == std::end(scenegen::BankGrass)) continue;
            const TVec a = Vertex(mesh.Triangles[t], 0), c = Vertex(mesh.Triangles[t], 2);
            // Up the cut-out, height follows the atlas row.
            const double roots = cell->Y + scenegen::GrassRoots * cell->H;
            tufts.push_back({a.X, a.Y, a.Z, a.Z + (c.Z - a.Z) * (roots - rows[0]) / (rows[2] - rows[0])});
        }
    }
    return tufts;
}

} // namespace

// Along the stretches where the bank rises steeply from the water, tufts of
// long grass root well up on its lip and hang down to the water's edge; not
// in one place but along several stretches of the shore in view.
TEST(ShoreGrass, HangsFromSteepBanksDownToTheWater) {
    std::vector<double> bearings;
    for (const TTuft& t : Tufts(Models[Load("tarnwick")])) {
        if (t.Bottom < WaterZ + 0.15 && t.Roots > WaterZ + 0.7)
            bearings.push_back(std::atan2(t.Y - scenegen::LakeCentreY, t.X - scenegen::LakeCentreX));
    }
    ASSERT_GE(bearings.size(), 30u) << "too few tufts hang over the water's edge";
    std::sort(bearings.begin(), bearings.end());
    int stretches = 1;
    for (std::size_t i = 1; i < bearings.size(); ++i)
        stretches += bearings[i] - bearings[i - 1] > 0.12;
    EXPECT_GE(stretches, 4) << "the hanging grass in too few places";
}
