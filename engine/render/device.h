// The device table: the engine's whole drawing interface.
//
// Every drawing request goes through one of 46 global procedure slots.
// SelectBackend fills them for one backend: 2 is OpenGL (device_gl.cpp),
// 0 and 1 are placeholders that accept every call and draw nothing
// (device_null.cpp; backend 0 keeps a frame buffer sized to the screen).
// Callers call the slot, never an implementation. The nine matrix slots
// marked "OpenGL only" are left untouched by backends 0 and 1 and must not
// be called while one of them is selected.
#pragma once

#include <cstdint>

#include "platform/gl_binding.h"

namespace device {
using VoidProc = void (*)();
using ResizeProc = void (*)(std::int32_t width, std::int32_t height);
// model, frame, texture-animation value, glow mask (ignored by DrawReflectiveModel)
using DrawModelProc = void (*)(std::uint32_t model, std::uint32_t frame, std::uint32_t animation,
                               std::uint8_t mask);
using UploadProc = void (*)(std::int16_t& first, std::int16_t& last);
using CameraProc = void (*)(std::uint32_t model, std::uint32_t frame, std::uint32_t camera);
using Vec3Proc = void (*)(float x, float y, float z);
using RotateProc = void (*)(float angle, float x, float y, float z);
using IndexProc = void (*)(std::uint8_t index);
using ModelProc = void (*)(std::uint32_t model);
using ModelFrameProc = void (*)(std::uint32_t model, std::uint32_t frame);
} // namespace device

// The slots, in the order SelectBackend assigns them.
extern device::VoidProc DeviceInit;               // 1  creates the rendering context, initial state
extern device::ResizeProc DeviceResize;           // 2  viewport, ScreenWidth/Height, AspectRatio
extern device::VoidProc DeviceDone;               // 3  deletes textures and the context
extern device::DrawModelProc DrawModel;           // 4
extern device::DrawModelProc DrawReflectiveModel; // 5
extern device::VoidProc BeginFrame;               // 6  acquires the context, clears
extern device::VoidProc EndFrame;                 // 7  optional filter, presents, releases
extern device::UploadProc UploadTextures;         // 8  UmtImages -> TextureNames[first..last]
extern device::VoidProc CreateTrailTarget;        // 9
extern device::VoidProc DeleteTrailTarget;        // 10
extern device::VoidProc BeginTrailPass;           // 11
extern device::VoidProc EndTrailPass;             // 12
extern device::VoidProc DrawTrail;                // 13
extern device::CameraProc SetCamera;              // 14 camera 0 = identity projection
extern device::VoidProc CreateGlowTarget;         // 15
extern device::VoidProc DeleteGlowTarget;         // 16
extern device::VoidProc BeginGlowPass;            // 17
extern device::VoidProc EndGlowPass;              // 18
extern device::VoidProc DrawGlow;                 // 19
extern device::VoidProc LoadSurfaceOverlay;       // 20
extern device::VoidProc FreeSurfaceOverlay;       // 21
extern device::VoidProc DrawFlares;               // 22
extern device::VoidProc LoadFlares;               // 23
extern device::VoidProc CreateScreenBuffer;       // 24
extern device::VoidProc DeleteScreenBuffer;       // 25
extern device::VoidProc FilterScreen;             // 26
extern device::VoidProc LoadViewMatrix;           // 27 model-view := ViewMatrix
extern device::VoidProc LoadIdentity;             // 28 OpenGL only
extern device::Vec3Proc Translate;                // 29 OpenGL only
extern device::RotateProc Rotate;                 // 30 OpenGL only (degrees)
extern device::Vec3Proc Scale;                    // 31 OpenGL only
extern device::VoidProc PushMatrix;               // 32 OpenGL only
extern device::VoidProc PopMatrix;                // 33 OpenGL only
extern device::IndexProc MultStoredMatrix;        // 34 OpenGL only
extern device::IndexProc StoreMatrix;             // 35 OpenGL only
extern device::IndexProc LoadStoredMatrix;        // 36 OpenGL only
extern device::VoidProc SaveViewMatrix;           // 37 ViewMatrix := model-view
extern device::VoidProc CreateReflectionTarget;   // 38
extern device::VoidProc DeleteReflectionTarget;   // 39
extern device::ModelProc BeginReflection;         // 40
extern device::VoidProc EndReflection;            // 41
extern device::VoidProc EnableLighting;           // 42
extern device::VoidProc DisableLighting;          // 43
extern device::VoidProc ClearLights;              // 44 LightCount := 0
extern device::ModelFrameProc AddModelLights;     // 45
extern device::VoidProc DeviceNop;                // 46

constexpr int DeviceSlotCount = 46;

// 1 from the start of SelectBackend until it recognises the backend number.
extern std::uint32_t NoBackend;
// The window the OpenGL backend draws into.
extern platform::WindowHandle WindowHandle;

// Fills the table for backend 0, 1 or 2; any other number leaves it as it was.
void SelectBackend(std::uint8_t kind);
// Must be called before DeviceInit and before any other OpenGL slot.
void SetDeviceWindow(platform::WindowHandle window);
// Inside an open OpenGL frame: what is drawn next goes to the rectangle of
// the window `width` by `height` pixels at (left, bottom), counted from its
// lower left corner, and cameras take that rectangle's aspect ratio. The
// next DeviceResize gives the whole window back. Outside a frame, or on the
// other backends, it does nothing.
void SetViewArea(std::int32_t left, std::int32_t bottom, std::int32_t width, std::int32_t height);

// The device as at program start: an empty table, no window, no context, no
// textures, targets, buffers or lights. It calls no OpenGL and deletes
// nothing in a context: for tests that run one after another in one
// process, each with a context of its own.
void ResetDevice();

// Shared by the backends.
extern std::int32_t ScreenWidth;  // viewport width, a multiple of 4 on OpenGL
extern std::int32_t ScreenHeight; // viewport height
extern float AspectRatio;         // ScreenWidth / ScreenHeight
// Backend 0's frame buffer, ScreenWidth x ScreenHeight x 4 bytes (null until the first resize).
extern std::uint8_t* FrameBuffer;
