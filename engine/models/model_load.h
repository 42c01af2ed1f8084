// Bringing a model into the store.
#pragma once

#include <string>

// Reads a UMF file into a new entry of the model store (the first one loaded
// is model 0), loads and uploads the textures its materials name from
// TextureDirectory, converts its lights and computes its mesh boxes. Raises
// TIoError for a missing or broken file.
void LoadModel(const std::string& path);
