// Screen effects on the OpenGL backend: the trail and glow passes with their
// overlay quad, the mirrored reflection pass and the screen filter.
//
// All of these run inside a frame (the context is current) and acquire
// nothing. Sprites and flares are drawn in flares_gl.cpp.
#include <GL/gl.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "engine/features/switches.h"
#include "engine/models/umf.h"
#include "engine/render/blur.h"
#include "engine/render/device.h"
#include "engine/render/device_gl.h"
#include "engine/render/effects.h"
#include "engine/render/textures.h"

std::uint8_t InTrailPass = 0;
std::uint8_t InGlowPass = 0;
std::uint8_t* ScreenBuffer = nullptr;
float SavedProjection[16] = {};
std::uint8_t InReflectionPass = 0;

namespace {
// Largest screen the filter buffer is made for (a 16k x 16k screen).
constexpr std::uint64_t MaxScreenPixels = 16384ull * 16384ull;
// Pixels ScreenBuffer was made for; the filter works only on a buffer that
// matches the screen.
std::uint64_t ScreenBufferPixels = 0;

// Clears after a capture: colour and depth, or depth alone without ClearColorOn.
void ClearAfterCapture() {
    glClear(ClearColorOn ? GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT : GL_DEPTH_BUFFER_BIT);
}

// The effect's texture over the whole viewport, upright, in the given colour;
// `closingSource` / `closingDestination` is the blend function left behind.
// Texturing and colour material stay on; the model-view is the identity.
void DrawOverlayQuad(GLuint texture, float r, float g, float b, float a, GLenum closingSource,
                     GLenum closingDestination) {
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, 1, 1, 0, 0, 1); // y = 0 at the top edge
    glEnable(GL_COLOR_MATERIAL);
    glColor4f(r, g, b, a);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 1);
    glVertex2f(0, 0);
    glTexCoord2f(0, 0);
    glVertex2f(0, 1);
    glTexCoord2f(1, 0);
    glVertex2f(1, 1);
    glTexCoord2f(1, 1);
    glVertex2f(1, 0);
    glEnd();
    glDisable(GL_BLEND);
    glBlendFunc(closingSource, closingDestination);
    glEnable(GL_DEPTH_TEST);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

} // namespace

void GlCreateScreenBuffer() {
    GlDeleteScreenBuffer();
    if (ScreenWidth <= 0 || ScreenHeight <= 0) return; // no size yet: nothing to filter
    const std::uint64_t pixels =
        static_cast<std::uint64_t>(ScreenWidth) * static_cast<std::uint64_t>(ScreenHeight);
    if (pixels > MaxScreenPixels) return;
    // One spare byte lets a filter read 4 bytes at the last pixel.
    ScreenBuffer = static_cast<std::uint8_t*>(std::calloc(pixels * 3 + 1, 1));
    if (ScreenBuffer) ScreenBufferPixels = pixels;
}

void GlDeleteScreenBuffer() {
    std::free(ScreenBuffer);
    ScreenBuffer = nullptr;
    ScreenBufferPixels = 0;
}

void GlFilterScreen() {
    if (!GreyFilterOn && !NegativeFilterOn) return;
    // Before the first resize, or with a buffer made for another screen size,
    // there is nothing the buffer could hold.
    const std::uint64_t pixels =
        static_cast<std::uint64_t>(ScreenWidth > 0 ? ScreenWidth : 0) * (ScreenHeight > 0 ? ScreenHeight : 0);
    if (!ScreenBuffer || pixels == 0 || pixels != ScreenBufferPixels) return;
    glDisable(GL_TEXTURE_2D);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, ScreenWidth, ScreenHeight, GL_RGB, GL_UNSIGNED_BYTE, ScreenBuffer);
    if (GreyFilterOn && NegativeFilterOn)
        InvertedGreyScreen(ScreenBuffer, pixels);
    else if (GreyFilterOn)
        GreyScreen(ScreenBuffer, pixels);
    else
        NegativeScreen(ScreenBuffer, pixels);
    // The pixels go back unblended at the lower-left corner, wherever a
    // caller left the raster position.
    glDisable(GL_BLEND);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glRasterPos2f(-1.0f, -1.0f);
    glDrawPixels(ScreenWidth, ScreenHeight, GL_RGB, GL_UNSIGNED_BYTE, ScreenBuffer);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

void GlBeginTrailPass() {
    if (!TrailOn) return;
    glViewport(0, 0, TrailSize.Width, TrailSize.Height);
    InTrailPass = 1;
}

void GlEndTrailPass() {
    if (!TrailOn) return;
    // The old trail at TrailAlpha over the small picture just drawn, then
    // captured: each capture is a x old + (1 - a) x new.
    DrawOverlayQuad(TrailTexture, 1, 1, 1, TrailAlpha, GL_ONE, GL_ONE);
    glCopyTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 0, 0, TrailSize.Width, TrailSize.Height, 0);
    glViewport(0, 0, ScreenWidth, ScreenHeight);
    ClearAfterCapture();
    InTrailPass = 0;
}

void GlDrawTrail() {
    if (!TrailOn) return;
    DrawOverlayQuad(TrailTexture, 1, 1, 1, TrailOverlayAlpha, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

void GlBeginGlowPass() {
    if (!GlowOn) return;
    glViewport(0, 0, GlowSize.Width, GlowSize.Height);
    InGlowPass = 1;
}

void GlEndGlowPass() {
    if (!GlowOn) return;
    const std::uint16_t width = GlowSize.Width, height = GlowSize.Height;
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, GlowTexture);
    const std::size_t bytes = std::size_t(width) * height * 3;
    std::vector<std::uint8_t> a(bytes), b(bytes);
    glPixelStorei(GL_PACK_ALIGNMENT, 1); // rows of any width, no padding
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, a.data());
    const TBlurProc blur = RingBlurProc ? RingBlurProc : RingBlur;
    for (int pass = 0; pass < GlowBlurPasses; ++pass) {
        blur(width, height, 3, a.data(), b.data());
        a.swap(b); // the newest result is in a
    }
    glTexImage2D(GL_TEXTURE_2D, 0, 3, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, a.data());
    if (InTrailPass)
        glViewport(0, 0, TrailSize.Width, TrailSize.Height);
    else
        glViewport(0, 0, ScreenWidth, ScreenHeight);
    ClearAfterCapture();
    InGlowPass = 0;
}

void GlDrawGlow() {
    if (!GlowOn) return;
    DrawOverlayQuad(GlowTexture, GlowColor[0], GlowColor[1], GlowColor[2], GlowOverlayAlpha, GL_SRC_ALPHA,
                    GL_ONE_MINUS_SRC_ALPHA);
}

void GlBeginReflection(std::uint32_t model) {
    if (model >= ModelCount) return;
    // Without the target (refused on a single texture unit) there is nothing
    // to draw into; EndReflection then has nothing to restore either.
    if (!ReflectionReady) return;
    glViewport(0, 0, ReflectionSize.Width, ReflectionSize.Height);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_TEXTURE_2D);
    glGetFloatv(GL_PROJECTION_MATRIX, SavedProjection);
    // The camera is part of the projection: this mirrors the world in z = 0.
    glMatrixMode(GL_PROJECTION);
    glScalef(1, 1, -1);
    // The mirror turns every counter-clockwise face clockwise: without this
    // the culling would throw away the whole mirrored scene.
    glFrontFace(GL_CW);
    glDisable(GL_TEXTURE_2D);
    InReflectionPass = 1;
}

void GlEndReflection() {
    if (!InReflectionPass) return;
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, ReflectionTexture);
    glCopyTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 0, 0, ReflectionSize.Width, ReflectionSize.Height, 0);
    glViewport(0, 0, ScreenWidth, ScreenHeight);
    // The mirrored depths would otherwise hide the scene in the corner the
    // reflection was drawn into.
    ClearAfterCapture();
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(SavedProjection);
    glFrontFace(GL_CCW);
    glDisable(GL_TEXTURE_2D);
    InReflectionPass = 0;
}

void ResetGlEffectState() {
    InTrailPass = 0;
    InGlowPass = 0;
    GlDeleteScreenBuffer(); // memory only
    std::fill(std::begin(SavedProjection), std::end(SavedProjection), 0.0f);
    InReflectionPass = 0;
}
