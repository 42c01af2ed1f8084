// The device table itself, the backend selector and the state every backend
// shares (window, screen size, backend 0's frame buffer).
#include "engine/render/device.h"

#include <cstdlib>

#include "engine/render/device_backends.h"

// Empty at program start; SelectBackend fills them.
device::VoidProc DeviceInit = nullptr;
device::ResizeProc DeviceResize = nullptr;
device::VoidProc DeviceDone = nullptr;
device::DrawModelProc DrawModel = nullptr;
device::DrawModelProc DrawReflectiveModel = nullptr;
device::VoidProc BeginFrame = nullptr;
device::VoidProc EndFrame = nullptr;
device::UploadProc UploadTextures = nullptr;
device::VoidProc CreateTrailTarget = nullptr;
device::VoidProc DeleteTrailTarget = nullptr;
device::VoidProc BeginTrailPass = nullptr;
device::VoidProc EndTrailPass = nullptr;
device::VoidProc DrawTrail = nullptr;
device::CameraProc SetCamera = nullptr;
device::VoidProc CreateGlowTarget = nullptr;
device::VoidProc DeleteGlowTarget = nullptr;
device::VoidProc BeginGlowPass = nullptr;
device::VoidProc EndGlowPass = nullptr;
device::VoidProc DrawGlow = nullptr;
device::VoidProc LoadSurfaceOverlay = nullptr;
device::VoidProc FreeSurfaceOverlay = nullptr;
device::VoidProc DrawFlares = nullptr;
device::VoidProc LoadFlares = nullptr;
device::VoidProc CreateScreenBuffer = nullptr;
device::VoidProc DeleteScreenBuffer = nullptr;
device::VoidProc FilterScreen = nullptr;
device::VoidProc LoadViewMatrix = nullptr;
device::VoidProc LoadIdentity = nullptr;
device::Vec3Proc Translate = nullptr;
device::RotateProc Rotate = nullptr;
device::Vec3Proc Scale = nullptr;
device::VoidProc PushMatrix = nullptr;
device::VoidProc PopMatrix = nullptr;
device::IndexProc MultStoredMatrix = nullptr;
device::IndexProc StoreMatrix = nullptr;
device::IndexProc LoadStoredMatrix = nullptr;
device::VoidProc SaveViewMatrix = nullptr;
device::VoidProc CreateReflectionTarget = nullptr;
device::VoidProc DeleteReflectionTarget = nullptr;
device::ModelProc BeginReflection = nullptr;
device::VoidProc EndReflection = nullptr;
device::VoidProc EnableLighting = nullptr;
device::VoidProc DisableLighting = nullptr;
device::VoidProc ClearLights = nullptr;
device::ModelFrameProc AddModelLights = nullptr;
device::VoidProc DeviceNop = nullptr;

std::uint32_t NoBackend = 0;
platform::WindowHandle WindowHandle = 0;

std::int32_t ScreenWidth = 0;
std::int32_t ScreenHeight = 0;
float AspectRatio = 0.0f;
std::uint8_t* FrameBuffer = nullptr;

void SelectBackend(std::uint8_t kind) {
    NoBackend = 1;
    switch (kind) {
    case 0:
    case 1:
        NoBackend = 0;
        AssignNullBackend(kind);
        break;
    case 2:
        NoBackend = 0;
        AssignGlBackend();
        break;
    default:
        break; // unknown backend: the table keeps what it held
    }
}

void SetDeviceWindow(platform::WindowHandle window) {
    WindowHandle = window;
}

void ResetDevice() {
    DeviceInit = nullptr;
    DeviceResize = nullptr;
    DeviceDone = nullptr;
    DrawModel = nullptr;
    DrawReflectiveModel = nullptr;
    BeginFrame = nullptr;
    EndFrame = nullptr;
    UploadTextures = nullptr;
    CreateTrailTarget = nullptr;
    DeleteTrailTarget = nullptr;
    BeginTrailPass = nullptr;
    EndTrailPass = nullptr;
    DrawTrail = nullptr;
    SetCamera = nullptr;
    CreateGlowTarget = nullptr;
    DeleteGlowTarget = nullptr;
    BeginGlowPass = nullptr;
    EndGlowPass = nullptr;
    DrawGlow = nullptr;
    LoadSurfaceOverlay = nullptr;
    FreeSurfaceOverlay = nullptr;
    DrawFlares = nullptr;
    LoadFlares = nullptr;
    CreateScreenBuffer = nullptr;
    DeleteScreenBuffer = nullptr;
    FilterScreen = nullptr;
    LoadViewMatrix = nullptr;
    LoadIdentity = nullptr;
    Translate = nullptr;
    Rotate = nullptr;
    Scale = nullptr;
    PushMatrix = nullptr;
    PopMatrix = nullptr;
    MultStoredMatrix = nullptr;
    StoreMatrix = nullptr;
    LoadStoredMatrix = nullptr;
    SaveViewMatrix = nullptr;
    CreateReflectionTarget = nullptr;
    DeleteReflectionTarget = nullptr;
    BeginReflection = nullptr;
    EndReflection = nullptr;
    EnableLighting = nullptr;
    DisableLighting = nullptr;
    ClearLights = nullptr;
    AddModelLights = nullptr;
    DeviceNop = nullptr;
    NoBackend = 0;
    WindowHandle = 0;
    ScreenWidth = 0;
    ScreenHeight = 0;
    AspectRatio = 0.0f;
    std::free(FrameBuffer);
    FrameBuffer = nullptr;
    ResetGlBackendState();
}
