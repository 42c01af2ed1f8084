#include "tools/scenegen/canopy.h"

#include <cmath>

#include "tools/scenegen/noise.h"
#include "tools/scenegen/seeds.h"
#include "tools/scenegen/toolkit.h"

namespace scenegen {

float Crown(float x, float y, TVec3& normal) {
    const float cell = 3.4f;
    const int cx = int(std::floor(x / cell)), cy = int(std::floor(y / cell));
    float best = 0.0f;
    normal = V3(0, 0, 1);
    for (int oy = -1; oy <= 1; ++oy)
        for (int ox = -1; ox <= 1; ++ox) {
            int gx = cx + ox, gy = cy + oy;
            float px = 0.0f, py = 0.0f;
            CellPoint(gx, gy, seeds::CrownX, seeds::CrownY, 0.4f, px, py);
            px *= cell, py *= cell;
            float r = cell * (0.55f + 0.15f * LatticeValue(gx, gy, seeds::CrownSize));
            float dx = x - px, dy = y - py, d2 = dx * dx + dy * dy;
            if (d2 >= r * r) continue;
            float top = std::sqrt(r * r - d2);
            if (top > best) {
                best = top;
                normal = Normalised(V3(dx, dy, top));
            }
        }
    return best;
}

} // namespace scenegen
