#include "tools/scenegen/far_trees.h"

#include <cmath>

#include "tools/scenegen/noise.h"
#include "tools/scenegen/plant_atlas.h"
#include "tools/scenegen/toolkit.h"
#include "tools/scenegen/world.h"

namespace scenegen {

namespace {

// The distances whose haze each copy carries. The upper one's is the middle
// of the plants that use it, in the back rows of the woods and on the slopes
// below the far range. The lower one's is a little nearer than the middle
// of its plants (about 185): its nearest ones stand beside plants drawn from
// the unhazed atlas, and would stand out paler than them.
constexpr float CopyDistance[FarCopies] = {165.0f, 275.0f};

// How much haze a copy is seen through (0..1).
float CopyHaze(int copy) {
    return HazeAmount(CopyDistance[copy]);
}

} // namespace

int FarCopyOf(float x, float y, float distance) {
    const std::int32_t i = std::int32_t(std::floor(x * 8.0f)), j = std::int32_t(std::floor(y * 8.0f));
    if (distance < FarPlantsFrom + FarSplitWander * LatticeValue(i, j, 907u)) return -1;
    return distance < FarthestPlantsFrom + FarSplitWander * LatticeValue(i, j, 911u) ? 0 : 1;
}

TPicture FarPlantsTexture() {
    const TPicture& atlas = PlantAtlas();
    const TColour haze = HazeColour();
    TPicture far(FarAtlasWidth, FarAtlasHeight, 4);
    constexpr int CopyHeight = FarAtlasHeight / FarCopies;
    for (int copy = 0; copy < FarCopies; ++copy) {
        const float amount = CopyHaze(copy);
        for (int y = 0; y < CopyHeight; ++y)
            for (int x = 0; x < FarAtlasWidth; ++x) {
                // Each texel stands for four of the atlas, by their cover;
                // clear texels keep the atlas's colour there, hazed too.
                TColour c = BoxMean([&](int i, int j) { return atlas.Get(i, j); }, 2 * x, 2 * y, 2, true);
                const float cover = c.a;
                c = Mix(c, haze, amount);
                c.a = cover;
                far.Set(x, copy * CopyHeight + y, c);
            }
    }
    return far;
}

} // namespace scenegen
