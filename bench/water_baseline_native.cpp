#include "bench/water_baseline.h"

#define STEP_NAME StepWaterPlainNative
#include "bench/water_baseline.inc"
