// The OpenGL backend's foundation: the rendering context and its initial
// state, extension detection, the viewport, frame begin and end, teardown,
// and the assignment of backend 2's slots.
#include "engine/render/device_gl.h"

#include <cstdint>
#include <cstring>

#include "engine/features/particle.h"
#include "engine/features/switches.h"
#include "engine/render/blur.h"
#include "engine/render/device.h"
#include "engine/render/device_backends.h"
#include "engine/render/flares.h"
#include "engine/render/textures.h"
#include "engine/support/cpuid.h"

platform::GlContext RenderContext = nullptr;

std::uint8_t MultitextureSupported = 0;
std::int32_t TextureUnitCount = 0;
std::int32_t MaxTextureSize = 0;
std::uint8_t CubeMapSupported = 0;
std::int32_t MaxCubeMapSize = 0;

namespace opengl_my {
PFNGLACTIVETEXTUREARBPROC glActiveTextureARB = nullptr;
PFNGLMULTITEXCOORD2FARBPROC glMultiTexCoord2fARB = nullptr;
PFNGLMULTITEXCOORD2FVARBPROC glMultiTexCoord2fvARB = nullptr;
PolygonOffsetProc glPolygonOffset = nullptr;
} // namespace opengl_my

TBlurProc RingBlurProc = nullptr;
TBlurProc DiagonalBlurProc = nullptr;

bool FrameOpen = false;

namespace {
template <typename Proc> Proc EntryPoint(const char* name) {
    return reinterpret_cast<Proc>(platform::GlGetProcAddress(name));
}
} // namespace

bool AcquireContext() {
    // Inside a frame the context is already current: acquiring again and
    // releasing afterwards would leave the rest of the frame without it.
    if (FrameOpen) return true;
    if (!RenderContext) return false;
    if (platform::GlAcquire(WindowHandle, RenderContext)) return true;
    platform::GlRelease(WindowHandle);
    return false;
}

void ReleaseContext() {
    if (FrameOpen) return;
    platform::GlRelease(WindowHandle);
}

bool ExtensionListHas(const char* extensions, const char* name) {
    if (!extensions || !name || !*name) return false;
    const std::size_t nameLength = std::strlen(name);
    const char* p = extensions;
    for (;;) {
        const char* word = p;
        while (*p && *p != ' ')
            ++p;
        const bool match =
            static_cast<std::size_t>(p - word) == nameLength && std::memcmp(word, name, nameLength) == 0;
        if (*p == ' ') ++p; // exactly one blank ends a word
        if (match) return true;
        if (!*p) return false;
    }
}

bool HasExtension(const char* name) {
    return ExtensionListHas(reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS)), name);
}

void DetectExtensions() {
    namespace gl = opengl_my;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &MaxTextureSize);
    gl::glPolygonOffset = EntryPoint<gl::PolygonOffsetProc>("glPolygonOffset");
    if (HasExtension("GL_ARB_texture_cube_map")) {
        CubeMapSupported = 1;
        glGetIntegerv(GL_MAX_CUBE_MAP_TEXTURE_SIZE_ARB, &MaxCubeMapSize);
    }
    if (HasExtension("GL_ARB_multitexture")) {
        gl::glActiveTextureARB = EntryPoint<PFNGLACTIVETEXTUREARBPROC>("glActiveTextureARB");
        gl::glMultiTexCoord2fARB = EntryPoint<PFNGLMULTITEXCOORD2FARBPROC>("glMultiTexCoord2fARB");
        gl::glMultiTexCoord2fvARB = EntryPoint<PFNGLMULTITEXCOORD2FVARBPROC>("glMultiTexCoord2fvARB");
        // A driver that names the extension but hands out no entry points
        // cannot be driven through it.
        if (!gl::glActiveTextureARB || !gl::glMultiTexCoord2fvARB) return;
        MultitextureSupported = 1;
        glGetIntegerv(GL_MAX_TEXTURE_UNITS_ARB, &TextureUnitCount);
        for (GLint unit = 1; unit < TextureUnitCount; ++unit) {
            gl::glActiveTextureARB(GL_TEXTURE0_ARB + unit);
            glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_ADD);
        }
        gl::glActiveTextureARB(GL_TEXTURE0_ARB);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    }
}

void GlDeviceInit() {
    // The device is made once per window; a second call keeps the first context.
    if (RenderContext) return;
    RenderContext = platform::GlCreateContext(WindowHandle);
    if (AcquireContext()) {
        DetectExtensions();
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glClearDepth(1.0);
        glDepthRange(0.0, 1.0);
        glDepthFunc(GL_LESS);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glEnable(GL_CULL_FACE);
        glFrontFace(GL_CCW);
        glPolygonMode(GL_FRONT, GL_FILL);
        glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
        glDisable(GL_POLYGON_SMOOTH);
        glShadeModel(GL_SMOOTH);
        ReleaseContext();
    }
    DetectCpuFeatures();
    RingBlurProc = RingBlur;
    DiagonalBlurProc = DiagonalBlur;
}

void GlDeviceResize(std::int32_t width, std::int32_t height) {
    // A window with no area has nothing to show; the old size stays.
    if (width <= 0 || height <= 0) return;
    if (!AcquireContext()) return;
    // Up to the next multiple of 4 (the screen filter works on 4 pixels at a
    // time); the largest widths round down instead of overflowing.
    std::int64_t rounded = width;
    if (rounded & 3) rounded = (rounded & ~std::int64_t{3}) + 4;
    if (rounded > INT32_MAX) rounded -= 4;
    width = static_cast<std::int32_t>(rounded);
    AspectRatio = static_cast<float>(width) / static_cast<float>(height);
    glViewport(0, 0, width, height);
    ScreenWidth = width;
    ScreenHeight = height;
    if (ScreenFilterOn) {
        GlDeleteScreenBuffer();
        GlCreateScreenBuffer();
    }
    ReleaseContext();
}

void SetViewArea(std::int32_t left, std::int32_t bottom, std::int32_t width, std::int32_t height) {
    if (!FrameOpen || width <= 0 || height <= 0) return;
    glViewport(left, bottom, width, height);
    AspectRatio = static_cast<float>(width) / static_cast<float>(height);
}

void GlBeginFrame() {
    if (FrameOpen) return; // already open: nothing to acquire
    if (!AcquireContext()) return;
    FrameOpen = true;
    if (ClearColorOn) {
        glClearColor(ClearColor[0], ClearColor[1], ClearColor[2], ClearColor[3]);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    } else {
        glClear(GL_DEPTH_BUFFER_BIT);
    }
    glEnable(GL_DEPTH_TEST);
    if (FlaresOn) ResetFlares();
}

void GlEndFrame() {
    if (!FrameOpen) return; // no frame to present
    glDisable(GL_DEPTH_TEST);
    if (ScreenFilterOn && FilterScreen) FilterScreen();
    glFinish();
    platform::GlSwapBuffers(WindowHandle);
    FrameOpen = false;
    ReleaseContext();
}

void GlDeviceDone() {
    // The screen buffer and the pools are freed whether or not a context was
    // ever made.
    GlDeleteScreenBuffer();
    FreePools();
    if (!RenderContext) return;
    FrameOpen = false;
    if (AcquireContext()) {
        const GLuint names[3] = {SurfaceOverlayTexture, GlowTexture, TrailTexture};
        for (GLuint name : names)
            glDeleteTextures(1, &name);
    }
    ReleaseContext();
    platform::GlDeleteContext(RenderContext);
    RenderContext = nullptr;
    // Everything went with the context: a device made again loads the overlay again.
    ReflectionReady = 0;
    SurfaceOverlayLoaded = 0;
    FlaresLoaded = 0;
}

void ResetGlContextState() {
    RenderContext = nullptr;
    MultitextureSupported = 0;
    TextureUnitCount = 0;
    MaxTextureSize = 0;
    CubeMapSupported = 0;
    MaxCubeMapSize = 0;
    opengl_my::glActiveTextureARB = nullptr;
    opengl_my::glMultiTexCoord2fARB = nullptr;
    opengl_my::glMultiTexCoord2fvARB = nullptr;
    opengl_my::glPolygonOffset = nullptr;
    RingBlurProc = nullptr;
    DiagonalBlurProc = nullptr;
    FrameOpen = false;
}

void ResetGlBackendState() {
    ResetGlContextState();
    ResetGlTextureState();
    ResetGlTransformState();
    ResetGlEffectState();
    ResetGlFlareState();
}

void AssignGlBackend() {
    DeviceInit = GlDeviceInit;
    DeviceResize = GlDeviceResize;
    DeviceDone = GlDeviceDone;
    DrawModel = GlDrawModel;
    DrawReflectiveModel = GlDrawReflectiveModel;
    BeginFrame = GlBeginFrame;
    EndFrame = GlEndFrame;
    UploadTextures = GlUploadTextures;
    CreateTrailTarget = GlCreateTrailTarget;
    DeleteTrailTarget = GlDeleteTrailTarget;
    BeginTrailPass = GlBeginTrailPass;
    EndTrailPass = GlEndTrailPass;
    DrawTrail = GlDrawTrail;
    SetCamera = GlSetCamera;
    CreateGlowTarget = GlCreateGlowTarget;
    DeleteGlowTarget = GlDeleteGlowTarget;
    BeginGlowPass = GlBeginGlowPass;
    EndGlowPass = GlEndGlowPass;
    DrawGlow = GlDrawGlow;
    LoadSurfaceOverlay = GlLoadSurfaceOverlay;
    FreeSurfaceOverlay = GlFreeSurfaceOverlay;
    DrawFlares = GlDrawFlares;
    LoadFlares = GlLoadFlares;
    CreateScreenBuffer = GlCreateScreenBuffer;
    DeleteScreenBuffer = GlDeleteScreenBuffer;
    FilterScreen = GlFilterScreen;
    LoadViewMatrix = GlLoadViewMatrix;
    LoadIdentity = GlLoadIdentity;
    Translate = GlTranslate;
    Rotate = GlRotate;
    Scale = GlScale;
    PushMatrix = GlPushMatrix;
    PopMatrix = GlPopMatrix;
    MultStoredMatrix = GlMultStoredMatrix;
    StoreMatrix = GlStoreMatrix;
    LoadStoredMatrix = GlLoadStoredMatrix;
    SaveViewMatrix = GlSaveViewMatrix;
    CreateReflectionTarget = GlCreateReflectionTarget;
    DeleteReflectionTarget = GlDeleteReflectionTarget;
    BeginReflection = GlBeginReflection;
    EndReflection = GlEndReflection;
    EnableLighting = GlEnableLighting;
    DisableLighting = GlDisableLighting;
    ClearLights = GlClearLights;
    AddModelLights = GlAddModelLights;
    DeviceNop = [] {};
}
