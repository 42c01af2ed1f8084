// DrawModel and DrawReflectiveModel on the OpenGL backend: two passes over a
// model's objects at one frame, culled by their mesh boxes, with texture
// animation, up to eight nearest lights per object, the glow pass's flat
// colour and the surface overlay quad.
#include "engine/models/model_draw.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <cmath>

#include "engine/features/particle.h"
#include "engine/features/switches.h"
#include "engine/models/model_load.h"
#include "engine/render/device_gl.h"
#include "engine/render/effects.h"
#include "engine/render/flares.h"
#include "engine/render/textures.h"
#include "engine/render/transforms.h"

namespace {

// Start values of searches and boxes: the largest single-precision magnitudes.
constexpr float FarAway = 3.4e38f;

// out = a x b for OpenGL-order matrices.
void MultiplyMatrices(const float a[16], const float b[16], float out[16]) {
    for (int column = 0; column < 4; ++column)
        for (int row = 0; row < 4; ++row) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k)
                sum += a[k * 4 + row] * b[column * 4 + k];
            out[column * 4 + row] = sum;
        }
}

// The texture run of a textured material lies inside what has been uploaded.
bool TextureRunLoaded(const TMaterial& material) {
    return material.FirstTexture <= material.LastTexture &&
           material.LastTexture < static_cast<std::uint16_t>(NextTexture);
}

void BindMaterialTexture(const TMaterial& material, std::uint32_t animation) {
    const std::uint32_t index = AnimatedTextureIndex(material.FirstTexture, material.LastTexture, animation);
    glBindTexture(GL_TEXTURE_2D, TextureNames[index]);
}

// Where a mesh's texture coordinates go: nowhere (untextured), to the
// current unit as s, t, r, or to units 0 and 1 alike (s and t used).
enum class TCoordinates { None, OneUnit, TwoUnits };

// Immediate-mode triangles, three vertices each, no sharing. A textured mesh
// with fewer than 3 coordinates per triangle is not drawn.
void DrawMeshTriangles(const TMesh& mesh, TCoordinates coordinates) {
    const bool textured = coordinates != TCoordinates::None;
    if (textured && mesh.TexCoords.size() / 3 < mesh.Triangles.size()) return;
    const TTexCoord* coordinate = mesh.TexCoords.data();
    glBegin(GL_TRIANGLES);
    for (const TTriangle& triangle : mesh.Triangles) {
        for (const auto& vertex : triangle.Vertices) {
            if (coordinates == TCoordinates::OneUnit) {
                glTexCoord3fv(&coordinate->S);
            } else if (coordinates == TCoordinates::TwoUnits) {
                opengl_my::glMultiTexCoord2fvARB(GL_TEXTURE0_ARB, &coordinate->S);
                opengl_my::glMultiTexCoord2fvARB(GL_TEXTURE1_ARB, &coordinate->S);
            }
            if (textured) ++coordinate;
            glVertex3fv(vertex);
        }
    }
    glEnd();
}

// The mesh's box and centre through `modelview` into its eye-space box and centre.
void TransformMeshBoxBy(TMesh& mesh, const float modelview[16]) {
    TransformPoints(BoxCornerCount, modelview, mesh.Box, mesh.EyeBox);
    TransformPoints(1, modelview, &mesh.Centre, &mesh.EyeCentre);
}

// The mesh's box against the frustum of projection x modelview.
bool IsMeshVisibleIn(const TMesh& mesh, const float projection[16], const float modelview[16]) {
    float clip[16], planes[6][4];
    MultiplyMatrices(projection, modelview, clip);
    FrustumPlanes(clip, planes);
    return IsBoxVisible(mesh.Box, planes);
}

// Loads ViewMatrix x the object's frame matrix, carries the mesh's box into
// eye space and culls it. Returns the mesh when it is visible.
TMesh* PlaceAndCull(TModelObject& object, std::uint32_t frame, const float projection[16]) {
    const TObjectFrame& record = object.Frames[frame];
    TMesh& mesh = object.Meshes[record.MeshIndex];
    glLoadMatrixf(ViewMatrix);
    glMultMatrixf(record.Matrix.data());
    float modelview[16] = {};
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    TransformMeshBoxBy(mesh, modelview);
    return IsMeshVisibleIn(mesh, projection, modelview) ? &mesh : nullptr;
}

// Switches on the chosen lights as positional lights in eye space; the
// modelview must be the identity.
void ApplyObjectLights(const TVector& centre) {
    for (int i = 0; i < MaxObjectLights; ++i)
        glDisable(GL_LIGHT0 + i);
    std::uint32_t chosen[MaxObjectLights];
    const int count = SelectLightEntries(centre, chosen);
    for (int slot = 0; slot < count; ++slot) {
        const TLightEntry& entry = LightList[chosen[slot]];
        const TLightParams* params = LightParamsOf(entry.Params);
        const GLenum light = GL_LIGHT0 + slot;
        glEnable(light);
        glLightfv(light, GL_POSITION, &entry.X);
        glLightfv(light, GL_AMBIENT, params->Colour);
        glLightfv(light, GL_DIFFUSE, params->Colour);
        glLightf(light, GL_CONSTANT_ATTENUATION, 0.0f);
        glLightf(light, GL_LINEAR_ATTENUATION, 0.0f);
        glLightf(light, GL_QUADRATIC_ATTENUATION, params->Attenuation);
    }
}

// The overlay image over the model's eye-space box, in the plane z = 0.
void DrawSurfaceOverlayQuad(const TModel& model, float alpha) {
    glLoadIdentity();
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glEnable(GL_COLOR_MATERIAL);
    glColor4f(1.0f, 1.0f, 1.0f, alpha);
    glBindTexture(GL_TEXTURE_2D, SurfaceOverlayTexture);
    glBegin(GL_QUADS);
    glTexCoord2s(1, 0);
    glVertex2fv(&model.EyeBox[0].x);
    glTexCoord2s(0, 0);
    glVertex2fv(&model.EyeBox[1].x);
    glTexCoord2s(0, 1);
    glVertex2fv(&model.EyeBox[2].x);
    glTexCoord2s(1, 1);
    glVertex2fv(&model.EyeBox[3].x);
    glEnd();
    glDisable(GL_BLEND);
}

bool ValidModelFrame(std::uint32_t model, std::uint32_t frame) {
    return model < ModelCount && model < Models.size() && frame < Models[model].FrameCount;
}

} // namespace

void TransformMeshBox(TMesh& mesh) {
    float modelview[16] = {};
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    TransformMeshBoxBy(mesh, modelview);
}

void FrustumPlanes(const float clip[16], float planes[6][4]) {
    // Row i of the clip matrix is (clip[i], clip[4 + i], clip[8 + i], clip[12 + i]).
    static const int rows[6] = {0, 0, 1, 1, 2, 2};
    static const float signs[6] = {-1, 1, 1, -1, -1, 1};
    for (int p = 0; p < 6; ++p) {
        for (int k = 0; k < 4; ++k)
            planes[p][k] = clip[k * 4 + 3] + signs[p] * clip[k * 4 + rows[p]];
        const float length = std::sqrt(planes[p][0] * planes[p][0] + planes[p][1] * planes[p][1] +
                                       planes[p][2] * planes[p][2]);
        // A far plane without a direction keeps its values; a degenerate
        // other plane turns into NaNs, which cull nothing.
        const float scale = (p == 4 && length == 0.0f) ? 1.0f : 1.0f / length;
        for (int k = 0; k < 4; ++k)
            planes[p][k] *= scale;
    }
}

bool IsBoxVisible(const TVector box[BoxCornerCount], const float planes[6][4]) {
    for (int p = 0; p < 6; ++p) {
        bool inFront = false;
        for (int corner = 0; corner < BoxCornerCount && !inFront; ++corner) {
            const TVector& v = box[corner];
            // Only a value below 0 is behind; NaN counts as in front.
            inFront = !(planes[p][0] * v.x + planes[p][1] * v.y + planes[p][2] * v.z + planes[p][3] < 0.0f);
        }
        if (!inFront) return false;
    }
    return true;
}

bool IsMeshVisible(const TMesh& mesh) {
    float projection[16] = {}, modelview[16] = {};
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    return IsMeshVisibleIn(mesh, projection, modelview);
}

void UpdateModelEyeBox(std::uint32_t model, std::uint32_t frame) {
    if (!ValidModelFrame(model, frame)) return;
    TModel& m = Models[model];
    if (m.Objects.empty()) return;
    float low[3] = {FarAway, FarAway, FarAway};
    float high[3] = {-FarAway, -FarAway, -FarAway};
    for (const TModelObject& object : m.Objects) {
        if (!IsObjectDrawable(m, object, frame)) continue;
        const TMesh& mesh = object.Meshes[object.Frames[frame].MeshIndex];
        for (const TVector& corner : mesh.EyeBox) {
            const float v[3] = {corner.x, corner.y, corner.z};
            for (int axis = 0; axis < 3; ++axis) {
                if (v[axis] < low[axis]) low[axis] = v[axis];
                if (v[axis] > high[axis]) high[axis] = v[axis];
            }
        }
    }
    static const int cornerX[4] = {0, 1, 1, 0};
    static const int cornerY[4] = {0, 0, 1, 1};
    for (int corner = 0; corner < BoxCornerCount; ++corner) {
        const int i = corner % 4;
        m.EyeBox[corner] = TVector{cornerX[i] ? high[0] : low[0], cornerY[i] ? high[1] : low[1],
                                   corner < 4 ? low[2] : high[2]};
    }
}

std::uint32_t AnimatedTextureIndex(std::uint16_t first, std::uint16_t last, std::uint32_t animation) {
    const std::uint32_t frames = std::uint32_t(last) - std::uint32_t(first) + 1u;
    return std::uint32_t(first) + animation % frames;
}

int SelectLightEntries(const TVector& centre, std::uint32_t chosen[MaxObjectLights]) {
    if (!LightList) return 0;
    const std::uint32_t count = LightCount < LightCapacity ? LightCount : LightCapacity;
    int found = 0;
    float previous = -FarAway;
    for (int slot = 0; slot < MaxObjectLights; ++slot) {
        float best = FarAway;
        bool any = false;
        for (std::uint32_t i = 0; i < count; ++i) {
            const TLightEntry& entry = LightList[i];
            const TLightParams* params = LightParamsOf(entry.Params);
            if (!params) continue;
            const double dx = double(centre.x) - entry.X, dy = double(centre.y) - entry.Y,
                         dz = double(centre.z) - entry.Z;
            // Whole squared distance units, plus one.
            const float d = static_cast<float>(std::trunc(dx * dx + dy * dy + dz * dz) + 1.0);
            // Strict: of two lights at the same d the first one wins, the other never comes.
            if (d < best && d > previous && d < params->Reach) {
                best = d;
                chosen[found] = i;
                any = true;
            }
        }
        if (any) ++found;
        previous = best; // FarAway when nothing was found: no later slot finds one
    }
    return found;
}

void GlDrawModel(std::uint32_t model, std::uint32_t frame, std::uint32_t animation, std::uint8_t glowMask) {
    if (!ValidModelFrame(model, frame)) return;
    TModel& m = Models[model];
    float projection[16] = {};
    glGetFloatv(GL_PROJECTION_MATRIX, projection); // fixed for the whole call
    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 0) {
            glDepthMask(GL_TRUE);
            glDisable(GL_BLEND);
        } else {
            glDepthMask(GL_FALSE);
            glEnable(GL_BLEND);
            glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        }
        if (InGlowPass) {
            const float level = glowMask ? 1.0f : 0.0f;
            glColor3f(level, level, level);
            glEnable(GL_COLOR_MATERIAL);
            glDisable(GL_TEXTURE_2D);
        }
        for (TModelObject& object : m.Objects) {
            if (!IsObjectDrawable(m, object, frame)) continue;
            TMesh* mesh = PlaceAndCull(object, frame, projection);
            if (!mesh) continue;
            if (InGlowPass) {
                DrawMeshTriangles(*mesh, TCoordinates::None);
                continue;
            }
            // Only the plain picture reads the alpha track.
            if (frame >= object.Alpha.size()) continue;
            const TMaterial& material = m.Materials[object.MaterialIndex];
            if (material.Textured && !TextureRunLoaded(material)) continue;
            glPushMatrix();
            glLoadIdentity();
            if (LightingOn) ApplyObjectLights(mesh->EyeCentre);
            glPopMatrix();
            const float alpha = object.Alpha[frame];
            const float colour[4] = {material.Colour[0], material.Colour[1], material.Colour[2], alpha};
            if (material.Textured) {
                glEnable(GL_TEXTURE_2D);
                glColor4fv(colour);
                const bool translucent = material.BitsPerPixel == 32 || alpha > 0.0f;
                if (translucent != (pass == 1)) continue;
                BindMaterialTexture(material, animation);
                DrawMeshTriangles(*mesh, TCoordinates::OneUnit);
            } else {
                glDisable(GL_TEXTURE_2D);
                glColor4fv(colour);
                if (pass == 0) continue;
                DrawMeshTriangles(*mesh, TCoordinates::None);
            }
        }
    }
    if (InGlowPass || InTrailPass) {
        glDepthMask(GL_TRUE);
        return;
    }
    UpdateModelEyeBox(model, frame);
    if (SurfaceOverlayOn && SurfaceMode == 7) {
        glDepthMask(GL_TRUE);
        DrawSurfaceOverlayQuad(m, 1.0f);
    }
    glDepthMask(GL_TRUE);
}

void GlDrawReflectiveModel(std::uint32_t model, std::uint32_t frame, std::uint32_t animation, std::uint8_t) {
    if (!ValidModelFrame(model, frame)) return;
    // The reflection needs a second texture unit and its entry points.
    if (!MultitextureSupported) return;
    using opengl_my::glActiveTextureARB;
    TModel& m = Models[model];
    if (FlaresOn) {
        for (const TModelLight& light : m.ModelLights) {
            if (frame >= light.Matrices.size()) continue;
            const TModelMatrix& matrix = light.Matrices[frame];
            const TVector position{matrix[12], matrix[13], matrix[14]};
            TVector eye;
            TransformPoints(1, ViewMatrix, &position, &eye);
            AddFlare(0, eye.x, eye.y, eye.z, ModelLightFlareAlpha, ModelLightFlareSize);
        }
    }
    glActiveTextureARB(GL_TEXTURE1_ARB);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, ReflectionTexture);
    glActiveTextureARB(GL_TEXTURE0_ARB);
    float projection[16] = {};
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 0) {
            glDepthMask(GL_TRUE);
            glDisable(GL_BLEND);
        } else {
            glDepthMask(GL_FALSE);
            glEnable(GL_BLEND);
        }
        for (TModelObject& object : m.Objects) {
            if (!IsObjectDrawable(m, object, frame)) continue;
            TMesh* mesh = PlaceAndCull(object, frame, projection);
            if (!mesh) continue;
            const TMaterial& material = m.Materials[object.MaterialIndex];
            if (material.Textured) {
                if (!TextureRunLoaded(material)) continue;
                glEnable(GL_TEXTURE_2D);
                glColor4fv(material.Colour);
                if ((material.BitsPerPixel == 32) != (pass == 1)) continue;
                BindMaterialTexture(material, animation);
                DrawMeshTriangles(*mesh, TCoordinates::TwoUnits);
            } else {
                glDisable(GL_TEXTURE_2D);
                glColor4fv(material.Colour);
                DrawMeshTriangles(*mesh, TCoordinates::None);
            }
        }
    }
    if (InGlowPass || InTrailPass) {
        glDepthMask(GL_TRUE); // unit 1 keeps the reflection enabled
        return;
    }
    glActiveTextureARB(GL_TEXTURE1_ARB);
    glDisable(GL_TEXTURE_2D);
    glActiveTextureARB(GL_TEXTURE0_ARB);
    UpdateModelEyeBox(model, frame);
    if (SurfaceOverlayOn && SurfaceMode == 7) DrawSurfaceOverlayQuad(m, 0.3f);
    glDepthMask(GL_TRUE);
}
