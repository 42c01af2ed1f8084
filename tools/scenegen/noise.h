// Randomness for the scene generator: a seeded generator and smooth noise.
//
// Everything here is pure integer hashing and plain float arithmetic, so a
// given seed gives the same numbers on every run and every machine that runs
// the same binary: the generated data never depends on the time, on
// addresses or on the C library's rand().
#pragma once

#include <cmath>
#include <cstdint>

namespace scenegen {

// SplitMix64: small, fast and good enough for placing trees and making noise.
class TRandom {
  public:
    explicit TRandom(std::uint64_t seed) : state_(seed) {}

    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [0, 1).
    double Unit() { return double(Next() >> 11) * (1.0 / 9007199254740992.0); }
    // Uniform in [lo, hi).
    double Range(double lo, double hi) { return lo + (hi - lo) * Unit(); }
    // Roughly normal, mean 0 and deviation 1 (sum of four uniforms).
    double Gauss() { return (Unit() + Unit() + Unit() + Unit() - 2.0) * 1.7320508; }

  private:
    std::uint64_t state_;
};

// A 32-bit hash of a lattice point and a seed, as a value in [-1, 1].
inline float LatticeValue(std::int32_t x, std::int32_t y, std::uint32_t seed) {
    std::uint32_t h = std::uint32_t(x) * 0x8DA6B343u ^ std::uint32_t(y) * 0xD8163841u ^ seed * 0xCB1AB31Fu;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return float(h & 0xFFFFFF) * (2.0f / 16777215.0f) - 1.0f;
}

inline float SmoothStep01(float t) {
    return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f);
}

// Value noise in [-1, 1] with one lattice cell per unit, quintic interpolation.
// `period` > 0 makes it repeat every `period` units in x (for seamless wraps).
inline float ValueNoise(float x, float y, std::uint32_t seed, std::int32_t period = 0) {
    float fx = std::floor(x), fy = std::floor(y);
    std::int32_t ix = std::int32_t(fx), iy = std::int32_t(fy);
    float tx = SmoothStep01(x - fx), ty = SmoothStep01(y - fy);
    std::int32_t ix1 = ix + 1;
    if (period > 0) {
        ix = ((ix % period) + period) % period;
        ix1 = (ix + 1) % period;
    }
    float a = LatticeValue(ix, iy, seed), b = LatticeValue(ix1, iy, seed);
    float c = LatticeValue(ix, iy + 1, seed), d = LatticeValue(ix1, iy + 1, seed);
    float top = a + (b - a) * tx, bottom = c + (d - c) * tx;
    return top + (bottom - top) * ty;
}

// Fractal sum of `octaves` layers of value noise, each twice the frequency and
// `gain` times the amplitude of the one before; normalised to about [-1, 1].
inline float Fbm(float x, float y, std::uint32_t seed, int octaves, float gain = 0.5f,
                 std::int32_t period = 0) {
    float sum = 0.0f, amplitude = 1.0f, norm = 0.0f;
    for (int i = 0; i < octaves; ++i) {
        sum += amplitude * ValueNoise(x, y, seed + std::uint32_t(i) * 101u, period);
        norm += amplitude;
        amplitude *= gain;
        x *= 2.0f;
        y *= 2.0f;
        if (period > 0) period *= 2;
    }
    return sum / norm;
}

// Ridged noise in [0, 1]: sharp crests where value noise crosses zero.
inline float Ridged(float x, float y, std::uint32_t seed, int octaves) {
    float sum = 0.0f, amplitude = 1.0f, norm = 0.0f;
    for (int i = 0; i < octaves; ++i) {
        float n = 1.0f - std::fabs(ValueNoise(x, y, seed + std::uint32_t(i) * 131u));
        sum += amplitude * n * n;
        norm += amplitude;
        amplitude *= 0.5f;
        x *= 2.0f;
        y *= 2.0f;
    }
    return sum / norm;
}

inline float Clamp01(float v) {
    return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
}
inline float Lerp(float a, float b, float t) {
    return a + (b - a) * t;
}
// 0 below `lo`, 1 above `hi`, smooth between.
inline float SmoothRange(float lo, float hi, float v) {
    float t = Clamp01((v - lo) / (hi - lo));
    return t * t * (3.0f - 2.0f * t);
}

} // namespace scenegen
