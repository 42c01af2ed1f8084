// One simulation step of the water: the damped wave equation over the
// 126 x 126 interior, with the surface's heights and normals for drawing.
//
// For every interior cell, with A the current and B the previous heights:
//   grid.z        = A[r][c]
//   grid.normal x = A[r-1][c] - A[r+1][c]
//   grid.normal y = A[r][c-1] - A[r][c+1]
//   d             = (A[r-1][c] + A[r+1][c] + A[r][c+1] + A[r][c-1]) * 0.25 - A[r][c]
//   B[r][c]       = 1.995 A[r][c] - 0.995 B[r][c] + d
// The sums and products of d and of the new height are evaluated in double
// precision, left to right, with 1.995 and 0.995 as double constants; d is
// rounded to single precision before it is added, and the new height when it
// is stored. The normals are single-precision differences (a difference of
// two floats taken wider and then rounded is the same number). Rows and
// columns 0 and 127 of B are neither read nor written. The vector kernels
// give results identical bit for bit to the scalar one: they do the same
// operations in the same order and precision, and this unit is built
// without floating-point contraction (no fused multiply-add).
//
// The grid must be laid out as InitWater leaves it: x the same along a row,
// y the same down a column, one normal z throughout, and z and the normal's
// x and y zero on the rim. The vector kernels write more than the three
// members: the AVX2 one each interior record's normal z too, the AVX-512 one
// whole records, rim included, taking x, y and the normal's z from the
// grid's first row and column and zeros for the rim's z and normal. On such
// a grid every byte outside the interior's three members keeps its value.
#pragma once

#include "scene/water.h"

enum TWaterKernel : std::uint8_t {
    WaterKernelScalar, // the reference: one cell at a time
    WaterKernelAvx2,   // 8 cells at a time (4 per double vector), one 16-byte store per record
    WaterKernelAvx512, // 16 cells at a time (8 per double vector), whole records written by permutes
};

// Whether this processor (and its operating system) can run a kernel.
bool WaterKernelSupported(TWaterKernel kernel);
// The fastest supported kernel; chosen once, at the first call.
TWaterKernel BestWaterKernel();
// The kernel's name for reports: "scalar", "avx2", "avx512".
const char* WaterKernelName(TWaterKernel kernel);

// One step with a given kernel (an unsupported one runs as the scalar
// kernel): reads `current`, rewrites the interior of `previous` with the new
// heights and the interior z, normal x and normal y of `grid`. The three must
// not overlap.
void StepWaterWith(TWaterKernel kernel, const float* current, float* previous, TWaterVertex* grid);
// One step with the best kernel.
void StepWater(const float* current, float* previous, TWaterVertex* grid);
