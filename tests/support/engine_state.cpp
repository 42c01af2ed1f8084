#include "tests/support/engine_state.h"

#include <cstring>

#include "engine/features/features.h"
#include "engine/models/model_load.h"
#include "engine/render/device.h"
#include "engine/support/errors.h"
#include "engine/textures/umt.h"
#include "scene/overlay.h"
#include "scene/random.h"
#include "scene/water.h"

void ResetEngineState() {
    ResetDevice();
    ResetFeatures();
    ResetModelStore();
    FreeUmtImages();
    IoErrorsNameFiles = true;

    FpsStartTime = 0;
    FpsFrameCount = 0;
    RandomSeed = 0;
    std::memset(WaterHeights, 0, sizeof WaterHeights);
    WaterCurrent = WaterHeights[1];
    WaterPrevious = WaterHeights[0];
    std::memset(static_cast<void*>(WaterGrid), 0, sizeof WaterGrid);
    LastDropTime = 0;
    LastStepTime = 0;
    WaterStripMode = WaterStripsArrays;
}
