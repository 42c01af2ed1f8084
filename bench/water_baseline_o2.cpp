#include "bench/water_baseline.h"

#define STEP_NAME StepWaterPlainO2
#include "bench/water_baseline.inc"
