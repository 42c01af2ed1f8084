// One simulation step of the water: the damped wave equation over the
// 126 x 126 interior, with the surface's heights and normals for drawing.
//
// For every interior cell, with A the current and B the previous heights:
//   grid.z        = A[r][c]
//   grid.normal x = A[r-1][c] - A[r+1][c]          (single precision)
//   grid.normal y = A[r][c-1] - A[r][c+1]          (single precision)
//   d             = (A[r-1][c] + A[r+1][c] + A[r][c+1] + A[r][c-1]) * 0.25 - A[r][c]
//                   in double precision, then rounded to single
//   B[r][c]       = 1.995 A[r][c] - 0.995 B[r][c] + d
//                   in double precision, left to right, stored as single
// Rows and columns 0 and 127 are neither read into B nor written. The
// vector kernels give results identical bit for bit to the scalar one: they
// do the same operations in the same order and precision, and this unit is
// built without floating-point contraction (no fused multiply-add).
#pragma once

#include "scene/water.h"

enum TWaterKernel : std::uint8_t {
    WaterKernelScalar, // the reference: one cell at a time
    WaterKernelAvx2,   // 8 cells at a time (4 per double-precision vector)
    WaterKernelAvx512, // 16 cells at a time, normals interleaved by permutes
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
// not overlap. The vector kernels keep static row buffers: one step at a time.
void StepWaterWith(TWaterKernel kernel, const float* current, float* previous, TWaterVertex* grid);
// One step with the best kernel.
void StepWater(const float* current, float* previous, TWaterVertex* grid);
