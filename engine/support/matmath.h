// Vector math of the engine: transforming points by a 4 x 4 matrix, the cross
// product and normalisation.
//
// The arithmetic is done the way the engine has always done it, and callers
// (bounding boxes in eye space, sprite and flare axes) depend on the exact
// floats it produces: every product and sum is formed in x87 extended
// precision (`long double`, 64-bit mantissa) and rounded to a 32-bit float
// where noted below. Nothing is checked: a zero vector normalises to NaNs,
// which is harmless because the program runs with floating-point exceptions
// masked (platform::MaskFloatingPointExceptions).
#pragma once

#include <cstddef>
#include <cstdint>

// A point or a vector: three 32-bit floats. Arrays of them are packed, 12
// bytes apart, so a TVector array can be handed to code that reads float
// triples.
struct TVector {
    float x;
    float y;
    float z;
};
static_assert(sizeof(TVector) == 12, "points are packed 12 bytes apart");
static_assert(offsetof(TVector, y) == 4 && offsetof(TVector, z) == 8, "x, y, z follow one another");

// A 4 x 4 matrix in OpenGL order: the element of row r and column c (0..3)
// is at index c * 4 + r, so the translation is at 12, 13 and 14. This is the
// layout glGetFloatv(GL_MODELVIEW_MATRIX) returns.
using TMatrix = float[16];

// Transforms `count` points of `source` by `matrix` into `destination`, each
// as (x, y, z, 1). Only the rows for x, y and z are computed; the w row is
// ignored and nothing is divided by it (the matrix is taken as affine). Each
// output sum is rounded to a 32-bit float after every addition, the terms
// added in column order 0..3. Each point is read whole before its result is
// written, so `source` and `destination` may be the same array (but must not
// otherwise overlap). With count 0 neither array is touched.
void TransformPoints(std::uint32_t count, const TMatrix matrix, const TVector* source, TVector* destination);

// out = a x b, each component computed in extended precision and rounded to
// a 32-bit float. Both inputs are read whole before `out` is written, so
// `out` may be `a` or `b` (CrossProduct(a, b, a) replaces a with a x b).
void CrossProduct(const TVector& a, const TVector& b, TVector& out);

// Scales `v` to length 1 in place. The length is computed in extended
// precision and rounded to a 32-bit float before the three divisions. A zero
// vector becomes (NaN, NaN, NaN).
void Normalize(TVector& v);
