// Bringing a model into the store.
#pragma once

#include <cstdint>
#include <string>

struct TLightParams;

// Reads a UMF file into a new entry of the model store (the first one loaded
// is model 0), loads and uploads the textures its materials name from
// TextureDirectory, converts its lights and computes its mesh boxes. Raises
// TIoError for a missing or broken file. Call it outside a frame, with the
// render device initialised and TextureDirectory set.
void LoadModel(const std::string& path);

// Empties the model store and forgets every light reference, as at start.
// The program never unloads a model; tests that run one after another in
// one process start each from here.
void ResetModelStore();

// Light references (the 32-bit TLightRef of a TLightEntry): LoadModel gives
// every light value of every frame a reference from 1 up; 0 refers to nothing.
// The reference of light `light` of model `model` at frame `frame`, or 0
// when there is no such light value.
std::uint32_t LightReference(std::uint32_t model, std::uint32_t light, std::uint32_t frame);
// The light value a reference stands for, or null for 0 and unknown references.
const TLightParams* LightParamsOf(std::uint32_t reference);
