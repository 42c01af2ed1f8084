// Binding an OpenGL context to a window: WGL on Windows, GLX on Linux, OSMesa
// offscreen in tests and tools.
//
// The render device follows one rule: the context is current only while an
// operation runs that needs it. GlAcquire makes it current on the window (the
// GetDC + wglMakeCurrent pair), GlRelease undoes that (wglMakeCurrent(nil) +
// ReleaseDC). Handles are opaque integers: an HWND, an X window id, or the
// address of an offscreen surface.
#pragma once

#include <cstdint>

namespace platform {

using WindowHandle = std::uintptr_t;
using GlContext = void*;

// Gives the window a pixel format of 32-bit RGBA colour, 32-bit depth (or the
// deepest the system has) and double buffering, and creates a context for it.
// Null when no context can be made; nothing is reported.
GlContext GlCreateContext(WindowHandle window);
// Makes the context current on the window. False if that failed.
bool GlAcquire(WindowHandle window, GlContext context);
// No context is current afterwards.
void GlRelease(WindowHandle window);
// Presents the back buffer of the window.
void GlSwapBuffers(WindowHandle window);
void GlDeleteContext(GlContext context);
// An OpenGL entry point by name, or null.
void* GlGetProcAddress(const char* name);

} // namespace platform
