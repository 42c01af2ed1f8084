// Screen effects, sprites and flares on the OpenGL backend.
//
// Only the screen buffer is built so far. The trail, glow and reflection
// passes, the screen filter, sprite and flare drawing and the collection of
// model lights accept their calls and draw nothing until they are written;
// their state below is real and starts as the rest of the device expects.
#include <cstdint>
#include <cstdlib>

#include "engine/render/device.h"
#include "engine/render/device_gl.h"
#include "engine/render/effects.h"

std::uint8_t InTrailPass = 0;
std::uint8_t InGlowPass = 0;
std::uint8_t* ScreenBuffer = nullptr;
float SavedProjection[16] = {};

namespace {
// Largest screen the filter buffer is made for (a 16k x 16k screen).
constexpr std::uint64_t MaxScreenPixels = 16384ull * 16384ull;
} // namespace

void GlCreateScreenBuffer() {
    std::free(ScreenBuffer);
    ScreenBuffer = nullptr;
    if (ScreenWidth <= 0 || ScreenHeight <= 0) return; // no size yet: nothing to filter
    const std::uint64_t pixels =
        static_cast<std::uint64_t>(ScreenWidth) * static_cast<std::uint64_t>(ScreenHeight);
    if (pixels > MaxScreenPixels) return;
    // One spare byte lets a filter read 4 bytes at the last pixel.
    ScreenBuffer = static_cast<std::uint8_t*>(std::calloc(pixels * 3 + 1, 1));
}

void GlDeleteScreenBuffer() {
    std::free(ScreenBuffer);
    ScreenBuffer = nullptr;
}

void GlBeginTrailPass() {}
void GlEndTrailPass() {}
void GlDrawTrail() {}
void GlBeginGlowPass() {}
void GlEndGlowPass() {}
void GlDrawGlow() {}
void GlDrawFlares() {}
void GlLoadFlares() {}
void GlFilterScreen() {}
void GlBeginReflection(std::uint32_t) {}
void GlEndReflection() {}
void GlAddModelLights(std::uint32_t, std::uint32_t) {}
