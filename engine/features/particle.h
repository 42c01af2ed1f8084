// The sprite and flare pools: fixed-capacity pools of camera-facing squares,
// each pool with a texture animation over a run of TextureNames indices.
// Pools are addressed by index from 0; none exist until CreatePools.
#pragma once

#include <cstdint>

// Makes that many sprite pools of spriteCapacity entries and flare pools of
// flareCapacity entries, every entry unused.
void CreatePools(std::uint32_t spritePools, std::uint32_t flarePools, std::uint32_t spriteCapacity,
                 std::uint32_t flareCapacity);
// Frees every pool; does nothing when there are none.
void FreePools();
// Sets a pool's capacity, keeping the leading entries that still fit.
void ResizeSpritePool(std::uint32_t pool, std::uint32_t capacity);
void ResizeFlarePool(std::uint32_t pool, std::uint32_t capacity);
// first..last: TextureNames indices; rate: texture frames per second; now: tick count.
void ConfigureSpritePool(std::uint32_t pool, std::uint16_t first, std::uint16_t last, std::uint16_t rate,
                         std::uint32_t now);
void ConfigureFlarePool(std::uint32_t pool, std::uint16_t first, std::uint16_t last, std::uint16_t rate,
                        std::uint32_t now);
// Puts a flare (eye-space position) into the first unused entry; dropped when the pool is full.
void AddFlare(std::uint32_t pool, float x, float y, float z, float alpha, float size);
// Marks every entry of flare pool 0 unused.
void ResetFlares();
