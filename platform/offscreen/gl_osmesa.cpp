// OpenGL binding on OSMesa: the context renders into a block of memory that
// belongs to an offscreen surface. Swapping is a glFinish; the picture is the
// surface's memory.
#include "platform/offscreen/offscreen.h"

#include <GL/osmesa.h>

#include <cstddef>

namespace platform {
namespace {
struct TOffscreenSurface {
    int width;
    int height;
    std::vector<std::uint8_t> pixels;
};

TOffscreenSurface* Surface(WindowHandle handle) { return reinterpret_cast<TOffscreenSurface*>(handle); }
} // namespace

WindowHandle CreateOffscreenSurface(int width, int height) {
    auto* surface = new TOffscreenSurface{0, 0, {}};
    ResizeOffscreenSurface(reinterpret_cast<WindowHandle>(surface), width, height);
    return reinterpret_cast<WindowHandle>(surface);
}

void DestroyOffscreenSurface(WindowHandle surface) {
    if (OSMesaGetCurrentContext()) {
        GLint w = 0, h = 0, format = 0;
        void* buffer = nullptr;
        if (OSMesaGetColorBuffer(OSMesaGetCurrentContext(), &w, &h, &format, &buffer) && buffer &&
            buffer == Surface(surface)->pixels.data())
            GlRelease(surface);
    }
    delete Surface(surface);
}

void ResizeOffscreenSurface(WindowHandle surface, int width, int height) {
    TOffscreenSurface* s = Surface(surface);
    s->width = width > 0 ? width : 1;
    s->height = height > 0 ? height : 1;
    s->pixels.assign(static_cast<std::size_t>(s->width) * static_cast<std::size_t>(s->height) * 4u, 0);
}

int OffscreenWidth(WindowHandle surface) { return Surface(surface)->width; }
int OffscreenHeight(WindowHandle surface) { return Surface(surface)->height; }
const std::vector<std::uint8_t>& OffscreenPixels(WindowHandle surface) { return Surface(surface)->pixels; }

GlContext GlCreateContext(WindowHandle) {
    // 32-bit RGBA colour and 32-bit depth, as the device asks a window for;
    // OSMesa has no double buffering, the memory is the front buffer.
    OSMesaContext context = OSMesaCreateContextExt(OSMESA_RGBA, 32, 8, 0, nullptr);
    if (!context) context = OSMesaCreateContextExt(OSMESA_RGBA, 24, 8, 0, nullptr);
    return context;
}

bool GlAcquire(WindowHandle window, GlContext context) {
    if (!window || !context) return false;
    TOffscreenSurface* s = Surface(window);
    return OSMesaMakeCurrent(static_cast<OSMesaContext>(context), s->pixels.data(), GL_UNSIGNED_BYTE, s->width,
                             s->height) == GL_TRUE;
}

void GlRelease(WindowHandle) { OSMesaMakeCurrent(nullptr, nullptr, GL_UNSIGNED_BYTE, 0, 0); }

void GlSwapBuffers(WindowHandle) { glFinish(); }

void GlDeleteContext(GlContext context) {
    if (context) OSMesaDestroyContext(static_cast<OSMesaContext>(context));
}

void* GlGetProcAddress(const char* name) { return reinterpret_cast<void*>(OSMesaGetProcAddress(name)); }

} // namespace platform
