// The OpenGL backend's own state and procedures (device slots of backend 2
// and what they share). Callers outside the render device and model drawing
// go through the slots of device.h instead.
#pragma once

#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdint>

#include "platform/gl_binding.h"

// Created by DeviceInit, deleted by DeviceDone; current only while a device
// operation runs (see AcquireContext).
extern platform::GlContext RenderContext;

// What DetectExtensions found (all zero before DeviceInit).
extern std::uint8_t MultitextureSupported; // "GL_ARB_multitexture" is present
extern std::int32_t TextureUnitCount;      // GL_MAX_TEXTURE_UNITS_ARB, 0 without multitexture
extern std::int32_t MaxTextureSize;        // GL_MAX_TEXTURE_SIZE
extern std::uint8_t CubeMapSupported;      // "GL_ARB_texture_cube_map" is present
extern std::int32_t MaxCubeMapSize;        // GL_MAX_CUBE_MAP_TEXTURE_SIZE_ARB when it is

// Entry points fetched at DeviceInit; null when the driver lacks them. They
// live in their own namespace because the system's GL headers may declare
// functions of the same names.
namespace opengl_my {
using PolygonOffsetProc = void(APIENTRYP)(GLfloat factor, GLfloat units);
extern PFNGLACTIVETEXTUREARBPROC glActiveTextureARB;
extern PFNGLMULTITEXCOORD2FARBPROC glMultiTexCoord2fARB;
extern PFNGLMULTITEXCOORD2FVARBPROC glMultiTexCoord2fvARB;
extern PolygonOffsetProc glPolygonOffset;
} // namespace opengl_my

// Byte-grid blur routines used by the glow: width and height in pixels,
// bytes per pixel, source and destination blocks that do not overlap.
using TBlurProc = void (*)(std::uint16_t width, std::uint16_t height, std::uint16_t bytesPerPixel,
                           const std::uint8_t* source, std::uint8_t* destination);
extern TBlurProc RingBlurProc;     // RingBlur once DeviceInit has run
extern TBlurProc DiagonalBlurProc; // DiagonalBlur once DeviceInit has run

// True when `name` is one of the blank-separated words of `extensions`:
// whole words, case-sensitive. A null list or an empty name never matches.
bool ExtensionListHas(const char* extensions, const char* name);
// The same against the current context's GL_EXTENSIONS.
bool HasExtension(const char* name);
// Records the capabilities above and fetches the entry points; needs a current context.
void DetectExtensions();

// The context rule: operations that may run outside a frame make the context
// current on WindowHandle for their work and release it afterwards.
// AcquireContext is false (and nothing is current) when there is no context.
bool AcquireContext();
void ReleaseContext();

// Set between BeginFrame and EndFrame: the context is current on this thread.
extern bool FrameOpen;

// --- Backend 2's slot procedures, by file ---

// device_gl.cpp: context and frame
void GlDeviceInit();
void GlDeviceResize(std::int32_t width, std::int32_t height);
void GlDeviceDone();
void GlBeginFrame();
void GlEndFrame();

// textures_gl.cpp: texture table, render targets, surface overlay
void GlUploadTextures(std::int16_t& first, std::int16_t& last);
void GlCreateTrailTarget();
void GlDeleteTrailTarget();
void GlCreateGlowTarget();
void GlDeleteGlowTarget();
void GlCreateReflectionTarget();
void GlDeleteReflectionTarget();
void GlLoadSurfaceOverlay();
void GlFreeSurfaceOverlay();

// transforms_gl.cpp: matrices, camera, lighting, the light list
void GlSetCamera(std::uint32_t model, std::uint32_t frame, std::uint32_t camera);
void GlLoadViewMatrix();
void GlSaveViewMatrix();
void GlLoadIdentity();
void GlTranslate(float x, float y, float z);
void GlRotate(float angle, float x, float y, float z);
void GlScale(float x, float y, float z);
void GlPushMatrix();
void GlPopMatrix();
void GlMultStoredMatrix(std::uint8_t index);
void GlStoreMatrix(std::uint8_t index);
void GlLoadStoredMatrix(std::uint8_t index);
void GlEnableLighting();
void GlDisableLighting();
void GlClearLights();
void GlAddModelLights(std::uint32_t model, std::uint32_t frame);

// engine/models/model_draw.cpp
void GlDrawModel(std::uint32_t model, std::uint32_t frame, std::uint32_t animation, std::uint8_t glowMask);
void GlDrawReflectiveModel(std::uint32_t model, std::uint32_t frame, std::uint32_t animation,
                           std::uint8_t unused);

// effects_gl.cpp: screen effects
void GlBeginTrailPass();
void GlEndTrailPass();
void GlDrawTrail();
void GlBeginGlowPass();
void GlEndGlowPass();
void GlDrawGlow();
void GlCreateScreenBuffer();
void GlDeleteScreenBuffer();
void GlFilterScreen();
void GlBeginReflection(std::uint32_t model);
void GlEndReflection();

// flares_gl.cpp: sprites and flares
void GlDrawFlares();
void GlLoadFlares();

// Each file's state back to its value at start, without a call to OpenGL
// (ResetDevice runs them all).
void ResetGlContextState();
void ResetGlTextureState();
void ResetGlTransformState();
void ResetGlEffectState();
void ResetGlFlareState();
