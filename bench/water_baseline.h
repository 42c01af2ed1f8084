// The water step written the plain way, one cell at a time, for the
// benchmark's comparison: the same operations in the same order as the
// shipped kernels, built once at -O2 and once for this processor with every
// vector unit the compiler may use.
#pragma once

#include "scene/water.h"

void StepWaterPlainO2(const float* a, float* b, TWaterVertex* grid);
void StepWaterPlainNative(const float* a, float* b, TWaterVertex* grid);
