// The sprite and flare pools. Not built yet: every call is accepted and does
// nothing, so the feature switches that reach the pools stay harmless.
#include "engine/features/particle.h"

void CreatePools(std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t) {}
void FreePools() {}
void ResizeSpritePool(std::uint32_t, std::uint32_t) {}
void ResizeFlarePool(std::uint32_t, std::uint32_t) {}
void ConfigureSpritePool(std::uint32_t, std::uint16_t, std::uint16_t, std::uint16_t, std::uint32_t) {}
void ConfigureFlarePool(std::uint32_t, std::uint16_t, std::uint16_t, std::uint16_t, std::uint32_t) {}
void AddFlare(std::uint32_t, float, float, float, float, float) {}
void ResetFlares() {}
