// Vector math: see matmath.h for the precision rules.
//
// The conversions below are deliberate. `long double` is the x87 80-bit
// format on every compiler this engine is built with (g++ and mingw-w64 on
// x86-64); a product of two floats is exact in it, and each cast back to
// float is the rounding the engine's results are defined by. The code must
// not be built with -ffast-math, which would let the compiler drop them.
#include "engine/support/matmath.h"

#include <cmath>

namespace {
using TExtended = long double;
static_assert(sizeof(TExtended) >= 10, "extended precision needs the x87 80-bit format");
} // namespace

void TransformPoints(std::uint32_t count, const TMatrix matrix, const TVector* source, TVector* destination) {
    for (std::uint32_t i = 0; i < count; ++i) {
        // Copied first: destination may be source.
        const float local[4] = {source[i].x, source[i].y, source[i].z, 1.0f};
        float result[3];
        for (int r = 0; r < 3; ++r) {
            float sum = 0.0f;
            for (int c = 0; c < 4; ++c) {
                sum = static_cast<float>(static_cast<TExtended>(sum) +
                                         static_cast<TExtended>(local[c]) * matrix[c * 4 + r]);
            }
            result[r] = sum;
        }
        destination[i] = TVector{result[0], result[1], result[2]};
    }
}

void CrossProduct(const TVector& a, const TVector& b, TVector& out) {
    // Read whole first, so that out may alias a or b.
    const TExtended ax = a.x, ay = a.y, az = a.z;
    const TExtended bx = b.x, by = b.y, bz = b.z;
    out.x = static_cast<float>(ay * bz - az * by);
    out.y = static_cast<float>(az * bx - ax * bz);
    out.z = static_cast<float>(ax * by - ay * bx);
}

void Normalize(TVector& v) {
    const TExtended x = v.x, y = v.y, z = v.z;
    const float length = static_cast<float>(std::sqrt(x * x + y * y + z * z));
    v.x = static_cast<float>(x / length);
    v.y = static_cast<float>(y / length);
    v.z = static_cast<float>(z / length);
}
