// Noise painted on the ground from three sides at once, so that patterns
// keep their size on steep banks as on level ground.
#pragma once

#include <cmath>
#include <cstdint>

#include "tools/scenegen/noise.h"
#include "tools/scenegen/picture.h"

namespace scenegen {

// Noise laid on the ground from three sides, each weighted by how squarely
// the ground faces it, so that a steep bank shows a pattern at its own size
// rather than drawn out from top to bottom, as one laid from above would be.
class TSurfaceNoise {
  public:
    TSurfaceNoise(float x, float y, float z, TVec3 n) : X(x), Y(y), Z(z) {
        float w[3] = {n.x * n.x * n.x * n.x, n.y * n.y * n.y * n.y, n.z * n.z * n.z * n.z};
        float sum = w[0] + w[1] + w[2];
        for (float& v : w)
            v = v / sum < 0.03f ? 0.0f : v;
        sum = w[0] + w[1] + w[2];
        Wx = w[0] / sum, Wy = w[1] / sum, Wz = w[2] / sum;
        // Independent patterns blended lose contrast: make it up.
        Norm = 1.0f / std::sqrt(Wx * Wx + Wy * Wy + Wz * Wz);
    }
    float Fbm(float scale, std::uint32_t seed, int octaves) const {
        return Blend([&](float a, float b) { return scenegen::Fbm(a / scale, b / scale, seed, octaves); });
    }
    float Value(float frequency, std::uint32_t seed) const {
        return Blend([&](float a, float b) { return ValueNoise(a * frequency, b * frequency, seed); });
    }

  private:
    template <typename Noise> float Blend(const Noise& noise) const {
        float v = 0.0f;
        if (Wz > 0.0f) v += Wz * noise(X, Y);
        if (Wx > 0.0f) v += Wx * noise(Y, Z);
        if (Wy > 0.0f) v += Wy * noise(X, Z);
        return v * Norm;
    }
    float X, Y, Z, Wx = 0.0f, Wy = 0.0f, Wz = 1.0f, Norm = 1.0f;
};

} // namespace scenegen
