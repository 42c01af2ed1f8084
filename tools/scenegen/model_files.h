// Turning the generator's models and pictures into the engine's records and
// writing them with the engine's own UMF and UMT writers.
#pragma once

#include <string>

#include "engine/models/umf.h"
#include "engine/textures/umt.h"
#include "tools/scenegen/picture.h"

namespace scenegen {

// One frame: every object gets an identity transform selecting its single
// mesh and its alpha value; a textured object gets its texture coordinates.
TModel ToUmfModel(const TGenModel& model);
TUmtImage ToUmtImage(const TPicture& picture);

void SaveModel(const std::string& path, const TGenModel& model);
void SaveTexture(const std::string& path, const TPicture& picture);

} // namespace scenegen
