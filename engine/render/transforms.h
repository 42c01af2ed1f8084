// Matrices, the camera projection and lighting state of the render device.
//
// The camera sits on the projection matrix (SetCamera); the model-view
// matrix carries only the placement of what is drawn. Model drawing starts
// every object from ViewMatrix, which callers set with SaveViewMatrix.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/support/matmath.h"

// The saved model-view matrix every model object is drawn from; the identity at start.
extern TMatrix ViewMatrix;
// 256 stored matrices addressed by a byte, all zero at start.
constexpr int MatrixBankSize = 256;
extern TMatrix MatrixBank[MatrixBankSize];

// A 32-bit reference to one light's TLightParams at one frame in the model
// store (see LightParamsOf in model_load.h); 0 refers to nothing.
using TLightRef = std::uint32_t;

// One light point collected for the current frame.
struct TLightEntry {
    float X, Y, Z, W; // eye-space position (after ViewMatrix); W is always 1
    TLightRef Params; // the light's values at the frame
};
static_assert(sizeof(TLightEntry) == 20, "light entries are 20-byte records");
static_assert(offsetof(TLightEntry, Params) == 16, "position first, then the reference");

// Allocated by EnableLighting with std::calloc (grown with std::realloc by
// AddModelLights when it fills), freed by DisableLighting; null while
// lighting is off. Only the first LightCount records are in use.
extern TLightEntry* LightList;
extern std::uint32_t LightCapacity; // records LightList holds; 500 at start
extern std::uint32_t LightCount;    // records in use; ClearLights empties the list

// Passes LightAmbient to the light model of the device's context (acquiring
// it when no frame is open); does nothing while there is no context.
void ApplyLightAmbient();
