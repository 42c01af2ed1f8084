// The engine's own texture files, beside the scene's textures in models/:
//   sfs.umt    the surface overlay laid over models in surface mode 7: a
//              faint, mostly transparent sheen of light ripples (RGBA)
//   flare.umt  the glow drawn at lights: a white-hot core fading out in a
//              warm halo with a few soft rays (RGBA, alpha carries the fade)
// Both are pure functions of this code: the same bytes every run.
#pragma once

#include <string>

#include "engine/textures/umt.h"

namespace scenegen {

constexpr int SurfaceOverlaySide = 128;
constexpr int FlareSide = 64;

TUmtImage SurfaceOverlayImage();
TUmtImage FlareImage();
// Writes both into the folder `models` (with a trailing separator).
void SaveEngineTextures(const std::string& models);

} // namespace scenegen
