// OpenGL binding on GLX. The context is created for the visual of the window
// it will draw into, so a window handed to us (xscreensaver's) works as well
// as one of our own.
#include "platform/gl_binding.h"
#include "platform/x11/x11_display.h"

#include <GL/glx.h>

namespace platform {

namespace {
Display* display = nullptr;
} // namespace

Display* X11Display() {
    if (!display) display = XOpenDisplay(nullptr);
    return display;
}

void CloseX11Display() {
    if (display) XCloseDisplay(display);
    display = nullptr;
}

GlContext GlCreateContext(WindowHandle window) {
    Display* dpy = X11Display();
    if (!dpy || !window) return nullptr;
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(dpy, static_cast<Window>(window), &attributes)) return nullptr;
    XVisualInfo pattern{};
    pattern.visualid = XVisualIDFromVisual(attributes.visual);
    int count = 0;
    XVisualInfo* info = XGetVisualInfo(dpy, VisualIDMask, &pattern, &count);
    if (!info) return nullptr;
    GLXContext context = glXCreateContext(dpy, info, nullptr, True);
    if (!context) context = glXCreateContext(dpy, info, nullptr, False);
    XFree(info);
    return context;
}

bool GlAcquire(WindowHandle window, GlContext context) {
    Display* dpy = X11Display();
    return dpy && context && glXMakeCurrent(dpy, static_cast<Window>(window), static_cast<GLXContext>(context));
}

void GlRelease(WindowHandle) {
    if (Display* dpy = X11Display()) glXMakeCurrent(dpy, None, nullptr);
}

void GlSwapBuffers(WindowHandle window) {
    if (Display* dpy = X11Display()) glXSwapBuffers(dpy, static_cast<Window>(window));
}

void GlDeleteContext(GlContext context) {
    Display* dpy = X11Display();
    if (dpy && context) glXDestroyContext(dpy, static_cast<GLXContext>(context));
}

void* GlGetProcAddress(const char* name) {
    return reinterpret_cast<void*>(glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name)));
}

} // namespace platform
