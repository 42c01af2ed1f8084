// The texture table, the render targets and the surface overlay on the
// OpenGL backend. Every operation here may run outside a frame and acquires
// the context itself.
#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/features/switches.h"
#include "engine/render/device_gl.h"
#include "engine/render/textures.h"
#include "engine/support/errors.h"
#include "engine/textures/umt.h"

std::uint32_t TextureNames[TextureTableSize] = {};
std::int16_t NextTexture = 0;

std::uint32_t TrailTexture = 0;
std::uint32_t GlowTexture = 0;
std::uint32_t ReflectionTexture = 0;
std::uint8_t ReflectionReady = 0;

std::uint32_t SurfaceOverlayTexture = 0;
std::uint8_t SurfaceOverlayLoaded = 0;

namespace {

// Releases the context when a scope is left, by return or by an error.
struct TContextLease {
    bool held = AcquireContext();
    ~TContextLease() {
        if (held) ReleaseContext();
    }
};

// The upload takes every depth other than 24 bits as RGBA.
std::size_t UploadFrameSize(const TUmtImage& image) {
    return std::size_t(image.Width) * image.Height * (image.BitsPerPixel == 24 ? 3u : 4u);
}

// By division: a frame of up to 2^34 bytes times up to 2^32 frames would not
// fit in 64 bits.
bool HoldsAllFrames(const TUmtImage& image) {
    const std::uint64_t frameSize = UploadFrameSize(image);
    return frameSize == 0 || image.FrameTotal() <= image.Pixels.size() / frameSize;
}

// Builds the mipmaps of one frame into the bound texture.
void BuildFrameMipmaps(const TUmtImage& image, std::uint32_t frame) {
    const std::uint8_t* pixels = image.Pixels.data() + std::size_t(frame) * UploadFrameSize(image);
    if (image.BitsPerPixel == 24)
        gluBuild2DMipmaps(GL_TEXTURE_2D, 3, image.Width, image.Height, GL_RGB, GL_UNSIGNED_BYTE, pixels);
    else
        gluBuild2DMipmaps(GL_TEXTURE_2D, 4, image.Width, image.Height, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
}

// How a target's texture is sampled beyond its edges. The trail and glow are
// stretched over the whole screen: with OpenGL's default repeat the linear
// filter would blend the top edge into the bottom one and back, so they
// clamp to their edge texels. The reflection keeps the default, as models
// lay it with their own coordinates.
enum class TTargetEdges { Repeat, Clamp };

void CreateTarget(std::uint32_t& name, TTargetSize size, TTargetEdges edges) {
    TContextLease lease;
    if (!lease.held) return;
    const std::vector<std::uint8_t> zeros(std::size_t(size.Width) * size.Height * 3, 0);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_COLOR_MATERIAL);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    name = texture;
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glTexImage2D(GL_TEXTURE_2D, 0, 3, size.Width, size.Height, 0, GL_RGB, GL_UNSIGNED_BYTE, zeros.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    if (edges == TTargetEdges::Clamp) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    }
}

void DeleteTarget(std::uint32_t name) {
    TContextLease lease;
    if (!lease.held) return;
    const GLuint texture = name;
    glDeleteTextures(1, &texture);
}

} // namespace

void GlUploadTextures(std::int16_t& first, std::int16_t& last) {
    if (UmtImages.empty()) return;
    // The whole batch is checked before anything is uploaded, so a refused
    // batch leaves the table as it was.
    std::uint64_t frames = 0;
    for (const TUmtImage& image : UmtImages) {
        if (!HoldsAllFrames(image))
            throw TIoError(IoReadBeyondEnd, "Texture image holds fewer pixels than its frames");
        frames += image.FrameTotal();
    }
    if (std::uint64_t(NextTexture) + frames > TextureTableSize)
        throw TIoError(TextureTableFullCode,
                       "Too many textures: the texture table holds " + std::to_string(TextureTableSize));
    TContextLease lease;
    if (!lease.held) return;
    glEnable(GL_TEXTURE_2D);
    first = NextTexture;
    for (const TUmtImage& image : UmtImages) {
        for (std::uint64_t f = 0; f < image.FrameTotal(); ++f) {
            GLuint texture = 0;
            glGenTextures(1, &texture);
            TextureNames[NextTexture] = texture;
            glBindTexture(GL_TEXTURE_2D, texture);
            BuildFrameMipmaps(image, static_cast<std::uint32_t>(f));
            ++NextTexture;
        }
    }
    last = static_cast<std::int16_t>(NextTexture - 1);
    glDisable(GL_TEXTURE_2D);
}

void GlCreateTrailTarget() {
    CreateTarget(TrailTexture, TrailSize, TTargetEdges::Clamp);
}
void GlDeleteTrailTarget() {
    DeleteTarget(TrailTexture);
}
void GlCreateGlowTarget() {
    CreateTarget(GlowTexture, GlowSize, TTargetEdges::Clamp);
}
void GlDeleteGlowTarget() {
    DeleteTarget(GlowTexture);
}

void GlCreateReflectionTarget() {
    // The reflection is laid on a second texture unit.
    if (!MultitextureSupported || TextureUnitCount < 2) {
        ReflectionReady = 0;
        return;
    }
    ReflectionReady = 1;
    CreateTarget(ReflectionTexture, ReflectionSize, TTargetEdges::Repeat);
}

void GlDeleteReflectionTarget() {
    DeleteTarget(ReflectionTexture);
    ReflectionReady = 0;
}

void GlLoadSurfaceOverlay() {
    if (!SurfaceOverlayOn) return;
    TContextLease lease;
    if (!lease.held) return;
    if (SurfaceMode != 7 || SurfaceOverlayLoaded) return;
    glEnable(GL_TEXTURE_2D);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    SurfaceOverlayTexture = texture;
    glBindTexture(GL_TEXTURE_2D, texture);
    try {
        LoadUmt(TextureDirectory + "\\sfs.umt");
    } catch (...) {
        // Nothing was loaded: no overlay to draw, and no deleted name left to bind.
        glDeleteTextures(1, &texture);
        SurfaceOverlayTexture = 0;
        SurfaceOverlayOn = 0;
        throw;
    }
    // The image just loaded is the last one in the staging table.
    const TUmtImage& image = UmtImages.back();
    if (HoldsAllFrames(image)) BuildFrameMipmaps(image, 0);
    FreeUmtImages();
    SurfaceOverlayLoaded = 1;
}

void GlFreeSurfaceOverlay() {
    // The texture stays: a later LoadSurfaceOverlay finds it loaded.
    if (!SurfaceOverlayOn) return;
    TContextLease lease;
}

void ResetGlTextureState() {
    std::fill(std::begin(TextureNames), std::end(TextureNames), 0u);
    NextTexture = 0;
    TrailTexture = 0;
    GlowTexture = 0;
    ReflectionTexture = 0;
    ReflectionReady = 0;
    SurfaceOverlayTexture = 0;
    SurfaceOverlayLoaded = 0;
}
