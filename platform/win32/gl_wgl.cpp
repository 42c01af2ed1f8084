// OpenGL binding on WGL: a pixel format on the window's device context and a
// rendering context made current for each operation that needs it.
#include "platform/gl_binding.h"

#include "platform/win32/windows_clean.h"

namespace platform {

namespace {
HDC deviceContext = nullptr; // from the last GlAcquire, released by GlRelease

HWND Window(WindowHandle window) { return reinterpret_cast<HWND>(window); }

// Asks for 32-bit RGBA colour, 32-bit depth and double buffering; the driver
// picks its closest format.
void SetupPixelFormat(HDC dc) {
    PIXELFORMATDESCRIPTOR pfd{};
    pfd.nSize = sizeof pfd;
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = 32;
    pfd.cDepthBits = 32;
    pfd.iLayerType = PFD_MAIN_PLANE;
    int index = ::ChoosePixelFormat(dc, &pfd);
    ::SetPixelFormat(dc, index, &pfd);
    ::DescribePixelFormat(dc, index, sizeof pfd, &pfd);
}
} // namespace

static_assert(sizeof(PIXELFORMATDESCRIPTOR) == 40, "the descriptor the driver expects");

GlContext GlCreateContext(WindowHandle window) {
    HDC dc = ::GetDC(Window(window));
    if (!dc) return nullptr;
    SetupPixelFormat(dc);
    HGLRC context = ::wglCreateContext(dc);
    ::ReleaseDC(Window(window), dc);
    return context;
}

bool GlAcquire(WindowHandle window, GlContext context) {
    deviceContext = ::GetDC(Window(window));
    return deviceContext && ::wglMakeCurrent(deviceContext, static_cast<HGLRC>(context));
}

void GlRelease(WindowHandle window) {
    ::wglMakeCurrent(nullptr, nullptr);
    if (deviceContext) ::ReleaseDC(Window(window), deviceContext);
    deviceContext = nullptr;
}

void GlSwapBuffers(WindowHandle window) {
    if (deviceContext) ::SwapBuffers(deviceContext);
    else if (HDC dc = ::GetDC(Window(window))) {
        ::SwapBuffers(dc);
        ::ReleaseDC(Window(window), dc);
    }
}

void GlDeleteContext(GlContext context) {
    ::wglMakeCurrent(nullptr, nullptr);
    if (context) ::wglDeleteContext(static_cast<HGLRC>(context));
}

void* GlGetProcAddress(const char* name) { return reinterpret_cast<void*>(::wglGetProcAddress(name)); }

} // namespace platform
