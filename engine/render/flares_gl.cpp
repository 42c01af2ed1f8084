// Sprite and flare drawing on the OpenGL backend (DrawFlares, LoadFlares)
// and the billboard axes.
//
// Sprites are world-space squares, depth-tested by OpenGL; flares are drawn
// with the depth test off, each one whole or not at all according to one
// depth sample at its projected centre.
#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

#include "engine/features/particle.h"
#include "engine/features/switches.h"
#include "engine/render/device.h"
#include "engine/render/device_gl.h"
#include "engine/render/effects.h"
#include "engine/render/flares.h"
#include "engine/render/textures.h"
#include "engine/textures/umt.h"
#include "platform/platform.h"

std::uint8_t FlaresLoaded = 0;
std::int16_t FlareFirstTexture = 0;
std::int16_t FlareLastTexture = 0;

namespace {

bool Finite(const TVector& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// Binds the pool's current texture; false when it lies outside the table.
bool BindPoolTexture(const TPool& pool) {
    if (pool.CurrentTexture >= static_cast<std::uint32_t>(TextureTableSize)) return false;
    glBindTexture(GL_TEXTURE_2D, TextureNames[pool.CurrentTexture]);
    return true;
}

// One camera-facing square with its corners on the axes: a diamond, turned
// by `angle` degrees about the viewing axis through its centre.
void DrawSquare(const float p[3], float s, float angle, const TVector& v, const TVector& r,
                const TVector& u) {
    glLoadIdentity();
    glTranslatef(p[0], p[1], p[2]);
    glRotatef(angle, v.x, v.y, v.z);
    glTranslatef(-p[0], -p[1], -p[2]);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 1);
    glVertex3f(p[0] - s * u.x, p[1] - s * u.y, p[2] - s * u.z);
    glTexCoord2f(1, 1);
    glVertex3f(p[0] - s * r.x, p[1] - s * r.y, p[2] - s * r.z);
    glTexCoord2f(1, 0);
    glVertex3f(p[0] + s * u.x, p[1] + s * u.y, p[2] + s * u.z);
    glTexCoord2f(0, 0);
    glVertex3f(p[0] + s * r.x, p[1] + s * r.y, p[2] + s * r.z);
    glEnd();
}

void DrawSpritePools(std::uint32_t now, const TVector& v, const TVector& r, const TVector& u) {
    for (std::uint32_t index = 0; index < SpritePools.Count; ++index) {
        TPool& pool = SpritePools.Pools[index];
        TSprite* sprites = static_cast<TSprite*>(pool.Entries);
        if (!pool.Configured || !sprites) continue; // no texture yet: nothing to show
        bool stepped = false;
        if (!InGlowPass) {
            stepped = StepPoolTexture(pool, now);
            if (!BindPoolTexture(pool)) continue;
        }
        const bool moves = stepped && !InTrailPass && !InGlowPass;
        for (std::uint32_t i = 0; i < pool.Capacity; ++i) {
            TSprite& sprite = sprites[i];
            if (!sprite.Alive) continue;
            if (!InGlowPass) glColor4f(1, 1, 1, sprite.Alpha);
            DrawSquare(sprite.Position, sprite.Size, sprite.Angle + 45.0f, v, r, u);
            if (moves) StepSprite(sprite);
        }
    }
}

void DrawFlarePools(std::uint32_t now, const TVector& v, const TVector& r, const TVector& u) {
    GLdouble modelview[16], projection[16];
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    for (std::uint32_t index = 0; index < FlarePools.Count; ++index) {
        TPool& pool = FlarePools.Pools[index];
        const TFlare* flares = static_cast<const TFlare*>(pool.Entries);
        if (!pool.Configured || !flares) continue;
        if (!InGlowPass) {
            StepPoolTexture(pool, now);
            if (!BindPoolTexture(pool)) continue;
        }
        for (std::uint32_t i = 0; i < pool.Capacity; ++i) {
            const TFlare& flare = flares[i];
            if (!flare.Used) continue;
            const double px = flare.Position[0], py = flare.Position[1], pz = flare.Position[2];
            // A flare behind the eye would project mirrored into the picture.
            const double w = projection[3] * px + projection[7] * py + projection[11] * pz + projection[15];
            if (!(w > 0.0)) continue;
            GLdouble wx = 0, wy = 0, wz = 0;
            if (gluProject(px, py, pz, modelview, projection, viewport, &wx, &wy, &wz) != GL_TRUE) continue;
            const double x = std::nearbyint(wx), y = std::nearbyint(wy);
            // A centre outside the viewport has no depth to test against.
            if (!(x >= viewport[0] && x < double(viewport[0]) + viewport[2] && y >= viewport[1] &&
                  y < double(viewport[1]) + viewport[3]))
                continue;
            GLfloat depth = 0.0f;
            glReadPixels(static_cast<GLint>(x), static_cast<GLint>(y), 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT,
                         &depth);
            if (wz > depth) continue; // hidden; equal counts as visible
            if (!InGlowPass) glColor4f(1, 1, 1, flare.Alpha);
            DrawSquare(flare.Position, flare.Size, 45.0f, v, r, u);
        }
    }
}

} // namespace

void BillboardAxes(const float projection[16], TVector& view, TVector& right, TVector& up) {
    const float* P = projection;
    view = TVector{P[2] + P[3], P[6] + P[7], P[10] + P[11]};
    Normalize(view);
    if (!Finite(view)) view = TVector{0, 1, 0};
    // view x z is (view.y, -view.x, 0): when that vanishes, the view runs
    // along z and world y stands in as the up direction.
    const bool alongZ = std::fabs(view.x) < 1e-6f && std::fabs(view.y) < 1e-6f;
    const TVector worldUp = alongZ ? TVector{0, 1, 0} : TVector{0, 0, 1};
    CrossProduct(view, worldUp, right);
    Normalize(right);
    CrossProduct(view, right, up);
    Normalize(up);
}

void GlDrawFlares() {
    const std::uint32_t now = platform::GetTickCount();
    float projection[16] = {};
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    TVector v, r, u;
    BillboardAxes(projection, v, r, u);
    glEnable(GL_COLOR_MATERIAL);
    if (InGlowPass) {
        glDisable(GL_TEXTURE_2D);
        glColor4f(1, 1, 1, 1);
        glDisable(GL_BLEND);
    } else {
        glEnable(GL_TEXTURE_2D);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
    glMatrixMode(GL_MODELVIEW);
    DrawSpritePools(now, v, r, u);
    glDisable(GL_DEPTH_TEST);
    glLoadIdentity();
    DrawFlarePools(now, v, r, u);
    glEnable(GL_DEPTH_TEST);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

void GlLoadFlares() {
    // Flare pool 0 comes with feature 11; without it there is nothing to arm.
    if (FlarePools.Count == 0) return;
    if (!FlaresLoaded) {
        LoadUmt(TextureDirectory + "\\flare.umt");
        const std::int16_t before = NextTexture;
        std::int16_t first = 0, last = 0;
        try {
            UploadTextures(first, last);
        } catch (...) {
            FreeUmtImages(); // the staging table is left empty whatever happens
            throw;
        }
        FreeUmtImages();
        if (NextTexture == before) return; // nothing uploaded (no context): try again next time
        FlareFirstTexture = first;
        FlareLastTexture = last;
        FlaresLoaded = 1;
    }
    ResizeFlarePool(0, FlarePoolCapacity);
    ConfigureFlarePool(0, static_cast<std::uint16_t>(FlareFirstTexture),
                       static_cast<std::uint16_t>(FlareLastTexture), FlareFrameRate,
                       platform::GetTickCount());
}

void ResetGlFlareState() {
    FlaresLoaded = 0;
    FlareFirstTexture = 0;
    FlareLastTexture = 0;
}
