// Backends 0 and 1: placeholders that accept every call and draw nothing.
// Backend 0 keeps a frame buffer of ScreenWidth x ScreenHeight x 4 bytes;
// backend 1 keeps nothing. Neither defines the nine OpenGL-only matrix slots.
#include <cstdint>
#include <cstdlib>

#include "engine/render/device.h"
#include "engine/render/device_backends.h"

namespace {

// Backend 0 refuses to allocate a frame buffer beyond this many pixels (a
// 16k x 16k screen): a bad size leaves no buffer rather than a giant one.
constexpr std::uint64_t MaxFrameBufferPixels = 16384ull * 16384ull;

void NullVoid() {}
void NullResize(std::int32_t, std::int32_t) {}
void NullDrawModel(std::uint32_t, std::uint32_t, std::uint32_t, std::uint8_t) {}
void NullUpload(std::int16_t&, std::int16_t&) {}
void NullCamera(std::uint32_t, std::uint32_t, std::uint32_t) {}
void NullModel(std::uint32_t) {}
void NullModelFrame(std::uint32_t, std::uint32_t) {}

void FreeFrameBuffer() {
    std::free(FrameBuffer);
    FrameBuffer = nullptr;
}

void FrameBufferResize(std::int32_t width, std::int32_t height) {
    ScreenWidth = width;
    ScreenHeight = height;
    AspectRatio = static_cast<float>(width) / static_cast<float>(height);
    FreeFrameBuffer();
    if (width <= 0 || height <= 0) return;
    const std::uint64_t pixels = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
    if (pixels > MaxFrameBufferPixels) return;
    FrameBuffer = static_cast<std::uint8_t*>(std::calloc(pixels, 4));
}

void FrameBufferDone() {
    FreeFrameBuffer();
}

} // namespace

void AssignNullBackend(std::uint8_t kind) {
    const bool keepsFrameBuffer = kind == 0;
    DeviceInit = NullVoid;
    DeviceResize = keepsFrameBuffer ? FrameBufferResize : NullResize;
    DeviceDone = keepsFrameBuffer ? FrameBufferDone : NullVoid;
    DrawModel = NullDrawModel;
    DrawReflectiveModel = NullDrawModel;
    BeginFrame = NullVoid;
    EndFrame = NullVoid;
    UploadTextures = NullUpload;
    CreateTrailTarget = NullVoid;
    DeleteTrailTarget = NullVoid;
    BeginTrailPass = NullVoid;
    EndTrailPass = NullVoid;
    DrawTrail = NullVoid;
    SetCamera = NullCamera;
    CreateGlowTarget = NullVoid;
    DeleteGlowTarget = NullVoid;
    BeginGlowPass = NullVoid;
    EndGlowPass = NullVoid;
    DrawGlow = NullVoid;
    LoadSurfaceOverlay = NullVoid;
    FreeSurfaceOverlay = NullVoid;
    DrawFlares = NullVoid;
    LoadFlares = NullVoid;
    CreateScreenBuffer = NullVoid;
    DeleteScreenBuffer = NullVoid;
    FilterScreen = NullVoid;
    LoadViewMatrix = NullVoid;
    // LoadIdentity .. LoadStoredMatrix: OpenGL only, left as they are.
    SaveViewMatrix = NullVoid;
    CreateReflectionTarget = NullVoid;
    DeleteReflectionTarget = NullVoid;
    BeginReflection = NullModel;
    EndReflection = NullVoid;
    EnableLighting = NullVoid;
    DisableLighting = NullVoid;
    ClearLights = NullVoid;
    AddModelLights = NullModelFrame;
    DeviceNop = NullVoid;
}
