// The texture table and the backend's single textures: the render targets
// the screen effects draw into and the surface overlay image.
#pragma once

#include <cstdint>

#include "engine/features/switches.h"

// Entries of TextureNames; the table is never emptied during a run.
constexpr int TextureTableSize = 512;
// The error code UploadTextures raises (with its own message) when the
// images would not fit into what is left of the table.
constexpr int TextureTableFullCode = 8;

// OpenGL texture names by engine texture index, filled in load order.
extern std::uint32_t TextureNames[TextureTableSize];
// Index of the next free entry; only grows (not even DeviceDone resets it).
extern std::int16_t NextTexture;

// Render targets: RGB textures of exactly their size (not rounded to powers
// of two). The names keep their values after the target is deleted.
extern std::uint32_t TrailTexture;      // TrailSize, while TrailOn
extern std::uint32_t GlowTexture;       // GlowSize, while GlowOn
extern std::uint32_t ReflectionTexture; // ReflectionSize, while ReflectionReady
constexpr TTargetSize ReflectionSize = {64, 64};
// 1 while the reflection target exists (it needs two texture units).
extern std::uint8_t ReflectionReady;

// The overlay image laid over models in surface mode 7, loaded once from
// TextureDirectory + "\sfs.umt" and kept until the context goes.
extern std::uint32_t SurfaceOverlayTexture;
extern std::uint8_t SurfaceOverlayLoaded;
