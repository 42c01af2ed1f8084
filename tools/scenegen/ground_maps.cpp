#include "tools/scenegen/ground_maps.h"

#include <algorithm>
#include <cmath>

#include "tools/scenegen/lighting.h"
#include "tools/scenegen/parallel.h"
#include "tools/scenegen/toolkit.h"

namespace scenegen {

THeightMap MakeHeightMap(const TArea& area, int width, int height) {
    THeightMap m{width,
                 height,
                 area.X0,
                 area.Y0,
                 (area.X1 - area.X0) / float(width - 1),
                 (area.Y1 - area.Y0) / float(height - 1),
                 {}};
    m.H.resize(std::size_t(width + 2) * std::size_t(height + 2));
    ParallelRows(height + 2, [&](int row) {
        const int j = row - 1;
        for (int i = -1; i <= width; ++i)
            m.H[std::size_t(j + 1) * std::size_t(width + 2) + std::size_t(i + 1)] =
                TerrainHeight(m.X0 + m.StepX * float(i), m.Y0 + m.StepY * float(j));
    });
    return m;
}

TRelief ReliefAt(const THeightMap& m, float fi, float fj) {
    auto at = [&](float i, float j) {
        const float i0 = std::floor(i), j0 = std::floor(j), u = i - i0, v = j - j0;
        const int a = int(i0), b = int(j0);
        return Lerp(Lerp(m.At(a, b), m.At(a + 1, b), u), Lerp(m.At(a, b + 1), m.At(a + 1, b + 1), u), v);
    };
    const float ri = ReliefRadius / m.StepX, rj = ReliefRadius / m.StepY;
    const float east = at(fi + ri, fj), west = at(fi - ri, fj), north = at(fi, fj + rj),
                south = at(fi, fj - rj);
    return TRelief{Hypot(east - west, north - south) / (2.0f * ReliefRadius),
                   0.25f * (east + west + north + south) - at(fi, fj)};
}

THalfMap SunlightMap(const THeightMap& m) {
    const int halfW = m.Width / 2, halfH = m.Height / 2;
    const TVec3 sun = SunDirection();
    const float horizontal = std::sqrt(sun.x * sun.x + sun.y * sun.y);
    const float rise = sun.z / horizontal; // height gained per unit run
    float maxHeight = -1e9f;
    for (float h : m.H)
        maxHeight = std::max(maxHeight, h);
    const float stepLen = 2.0f * std::min(m.StepX, m.StepY);
    const float di = sun.x / horizontal * stepLen / m.StepX, dj = sun.y / horizontal * stepLen / m.StepY;
    THalfMap light{halfW, halfH, std::vector<float>(std::size_t(halfW) * std::size_t(halfH))};
    ParallelRows(halfH, [&](int hj) {
        for (int hi = 0; hi < halfW; ++hi) {
            float fi = float(hi * 2), fj = float(hj * 2);
            float z = m.At(hi * 2, hj * 2) + 0.05f;
            float worst = 1e9f, run = 0.0f;
            while (true) {
                fi += di;
                fj += dj;
                run += stepLen;
                z += rise * stepLen;
                if (z > maxHeight || fi < 0 || fj < 0 || fi > float(m.Width - 1) || fj > float(m.Height - 1))
                    break;
                float clearance = z - m.At(int(fi + 0.5f), int(fj + 0.5f));
                worst = std::min(worst, clearance / (0.4f + 0.06f * run));
            }
            light.V[std::size_t(hj) * std::size_t(halfW) + std::size_t(hi)] = Clamp01(0.5f + worst);
        }
    });
    return light;
}

float SampleHalf(const THalfMap& map, float i, float j) {
    return SampleGrid(map.V, map.Width, map.Height, i * 0.5f, j * 0.5f);
}

std::vector<float> CrownShadowMap(const THeightMap& m, const std::vector<TShadowCaster>& casters) {
    std::vector<float> light(std::size_t(m.Width) * std::size_t(m.Height), 1.0f);
    for (const TShadowCaster& caster : casters) {
        const TVec3 foot = caster.Base, tip = ShadowCentre(caster);
        const float reach = caster.Radius * 1.4f;
        const int i0 = std::max(0, int((std::min(foot.x, tip.x) - reach - m.X0) / m.StepX));
        const int i1 = std::min(m.Width - 1, int((std::max(foot.x, tip.x) + reach - m.X0) / m.StepX) + 1);
        const int j0 = std::max(0, int((std::min(foot.y, tip.y) - reach - m.Y0) / m.StepY));
        const int j1 = std::min(m.Height - 1, int((std::max(foot.y, tip.y) + reach - m.Y0) / m.StepY) + 1);
        const float lx = tip.x - foot.x, ly = tip.y - foot.y, len2 = std::max(1e-4f, lx * lx + ly * ly);
        for (int j = j0; j <= j1; ++j)
            for (int i = i0; i <= i1; ++i) {
                const float x = m.X0 + m.StepX * float(i) - foot.x, y = m.Y0 + m.StepY * float(j) - foot.y;
                const float k = Clamp01((x * lx + y * ly) / len2);
                const float dx = x - k * lx, dy = y - k * ly;
                const float radius = caster.Radius * (0.15f + 0.85f * SmoothRange(0.3f, 0.8f, k));
                const float d = std::sqrt(dx * dx + dy * dy);
                const float shade = 0.9f * SmoothRange(radius * 1.5f, radius * 0.6f, d);
                float& l = light[std::size_t(j) * std::size_t(m.Width) + std::size_t(i)];
                l = std::min(l, 1.0f - shade);
            }
    }
    return light;
}

} // namespace scenegen
