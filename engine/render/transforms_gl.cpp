// Matrix slots, the projection from a model's camera, switchable
// fixed-function lighting and the collection of model lights into the light
// list (AddModelLights) on the OpenGL backend.
#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdlib>
#include <cstring>

#include "engine/features/particle.h"
#include "engine/features/switches.h"
#include "engine/models/model_load.h"
#include "engine/models/umf.h"
#include "engine/render/device.h"
#include "engine/render/device_gl.h"
#include "engine/render/flares.h"
#include "engine/render/transforms.h"

TMatrix ViewMatrix = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
TMatrix MatrixBank[MatrixBankSize] = {};

TLightEntry* LightList = nullptr;
std::uint32_t LightCapacity = 500;
std::uint32_t LightCount = 0;

namespace {
// Nearest near-plane distance the depth buffer can live with; closer ones
// are moved out to this fraction of the far distance.
constexpr float MinNearDistance = 1.53e-5f;
// Light-list records added whenever the list is full.
constexpr std::uint32_t LightListGrowth = 8;
} // namespace

void GlSetCamera(std::uint32_t model, std::uint32_t frame, std::uint32_t camera) {
    if (model >= ModelCount) return;
    const TModel& m = Models[model];
    if (frame >= m.FrameCount) return;
    if (camera == 0) {
        // Identity: what follows is drawn in normalised device coordinates.
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        return;
    }
    // Camera numbers count from 1.
    if (camera > m.CameraCount || camera > m.Cameras.size()) return;
    const TModelCamera& c = m.Cameras[camera - 1];
    if (frame >= c.Values.size() || frame >= c.Matrices.size()) return;
    const TCameraParams& values = c.Values[frame];
    float nearDistance = values.Near;
    if (nearDistance < MinNearDistance)
        nearDistance =
            static_cast<float>(static_cast<double>(values.Far) * static_cast<double>(MinNearDistance));
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(values.FieldOfView, AspectRatio, nearDistance, values.Far);
    glMultMatrixf(c.Matrices[frame].data());
    glMatrixMode(GL_MODELVIEW);
}

void GlLoadViewMatrix() {
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(ViewMatrix);
}

void GlSaveViewMatrix() {
    glGetFloatv(GL_MODELVIEW_MATRIX, ViewMatrix);
}

void GlLoadIdentity() {
    glLoadIdentity();
}
void GlTranslate(float x, float y, float z) {
    glTranslatef(x, y, z);
}
void GlRotate(float angle, float x, float y, float z) {
    glRotatef(angle, x, y, z);
}
void GlScale(float x, float y, float z) {
    glScalef(x, y, z);
}
void GlPushMatrix() {
    glPushMatrix();
}
void GlPopMatrix() {
    glPopMatrix();
}

void GlMultStoredMatrix(std::uint8_t index) {
    glMatrixMode(GL_MODELVIEW);
    glMultMatrixf(MatrixBank[index]);
}

void GlStoreMatrix(std::uint8_t index) {
    glGetFloatv(GL_MODELVIEW_MATRIX, MatrixBank[index]);
}

void GlLoadStoredMatrix(std::uint8_t index) {
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(MatrixBank[index]);
}

void GlEnableLighting() {
    if (AcquireContext()) {
        glEnable(GL_LIGHTING);
        glLightModelfv(GL_LIGHT_MODEL_AMBIENT, LightAmbient);
        glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, 0);
        const GLfloat white[4] = {1, 1, 1, 1};
        const GLfloat black[4] = {0, 0, 0, 1};
        glMaterialfv(GL_FRONT, GL_AMBIENT, white);
        glMaterialfv(GL_FRONT, GL_DIFFUSE, white);
        glMaterialfv(GL_FRONT, GL_SPECULAR, black);
        glMaterialf(GL_FRONT, GL_SHININESS, 0.0f);
        glMaterialfv(GL_FRONT, GL_EMISSION, black);
        ReleaseContext();
    }
    // A fresh, zeroed list: records left over from an earlier lighting
    // period (LightCount is kept) then refer to nothing instead of to
    // whatever the memory held.
    std::free(LightList);
    LightList =
        static_cast<TLightEntry*>(std::calloc(LightCapacity ? LightCapacity : 1, sizeof(TLightEntry)));
}

void GlDisableLighting() {
    if (AcquireContext()) {
        glDisable(GL_LIGHTING);
        ReleaseContext();
    }
    std::free(LightList);
    LightList = nullptr;
}

void GlClearLights() {
    LightCount = 0;
}

void GlAddModelLights(std::uint32_t model, std::uint32_t frame) {
    if (model >= ModelCount || model >= Models.size()) return;
    const TModel& m = Models[model];
    if (frame >= m.FrameCount) return;
    for (std::uint32_t light = 0; light < m.ModelLights.size(); ++light) {
        const TModelLight& l = m.ModelLights[light];
        if (frame >= l.Matrices.size()) continue;
        const TModelMatrix& matrix = l.Matrices[frame];
        const TVector position{matrix[12], matrix[13], matrix[14]};
        TVector eye;
        TransformPoints(1, ViewMatrix, &position, &eye);
        if (FlaresOn) AddFlare(0, eye.x, eye.y, eye.z, ModelLightFlareAlpha, ModelLightFlareSize);
        // The light list exists while lighting is switched on.
        if (!LightList || LightCount >= LightCapacity) continue;
        LightList[LightCount] = TLightEntry{eye.x, eye.y, eye.z, 1.0f, LightReference(model, light, frame)};
        ++LightCount;
        if (LightCount == LightCapacity) {
            // Always room for the next record.
            auto* grown = static_cast<TLightEntry*>(
                std::realloc(LightList, std::size_t(LightCapacity + LightListGrowth) * sizeof(TLightEntry)));
            if (!grown) continue;
            LightList = grown;
            LightCapacity += LightListGrowth;
        }
    }
}

void ApplyLightAmbient() {
    if (!RenderContext) return;
    if (!AcquireContext()) return;
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, LightAmbient);
    ReleaseContext();
}

void ResetGlTransformState() {
    const TMatrix identity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    std::memcpy(ViewMatrix, identity, sizeof ViewMatrix);
    std::memset(MatrixBank, 0, sizeof MatrixBank);
    std::free(LightList);
    LightList = nullptr;
    LightCapacity = 500;
    LightCount = 0;
}
