// The engine's numbered feature switches and parameters.
//
// EnableFeature / DisableFeature switch the optional effects and settings by
// number; SetParameter sets engine-wide values through a pointer to the value
// (the pointed-to type depends on the number). The switches and parameters
// are plain globals read directly by the render device and model drawing.
#pragma once

#include <cstdint>

void EnableFeature(std::uint32_t number);
void DisableFeature(std::uint32_t number);
// `value` points to the parameter's value; for text parameters (1, 13) to a
// zero-terminated 8-bit string.
void SetParameter(std::uint32_t number, const void* value);

// Every switch and parameter back to its value at start, the pools freed.
// For tests that run one after another in one process; it calls no device
// operation, so the device is reset on its own (ResetDevice).
void ResetFeatures();
