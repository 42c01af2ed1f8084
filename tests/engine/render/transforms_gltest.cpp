// Matrix slots, the projection from model cameras, lighting and the
// collection of model lights.
#include "tests/engine/render/device_fixture.h"

#include <GL/glu.h>

#include "engine/features/particle.h"
#include "engine/features/switches.h"
#include "engine/render/transforms.h"

namespace {
// A model with one frame and the given cameras (near, far, field of view),
// each looking from the origin with an identity matrix, saved and loaded.
void LoadCameraModel(const std::string& path, const std::vector<TCameraParams>& cameras) {
    TModel model = EmptyModel();
    for (const TCameraParams& values : cameras) {
        TModelCamera camera;
        camera.Values = {values};
        camera.Matrices = {Translation(0, 0, -5)};
        model.Cameras.push_back(camera);
    }
    model.CameraCount = static_cast<std::uint32_t>(model.Cameras.size());
    SaveUmf(path, model);
    LoadModel(path);
}

std::array<float, 16> Matrix(GLenum which) {
    std::array<float, 16> m{};
    glGetFloatv(which, m.data());
    return m;
}

// The projection gluPerspective makes, times the camera's matrix.
std::array<float, 16> ExpectedProjection(double fov, double aspect, double zNear, double zFar) {
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluPerspective(fov, aspect, zNear, zFar);
    glTranslatef(0, 0, -5);
    auto m = Matrix(GL_PROJECTION_MATRIX);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    return m;
}
} // namespace

using Camera = DeviceGlTest;

TEST_F(Camera, CameraZeroIsTheIdentityProjectionOnlyWithAModel) {
    BeginFrame();
    glMatrixMode(GL_PROJECTION);
    glScalef(2, 2, 2);
    SetCamera(0, 0, 0); // no model loaded: nothing happens
    EXPECT_EQ(Matrix(GL_PROJECTION_MATRIX)[0], 2.0f);
    EXPECT_EQ(Integer(GL_MATRIX_MODE), GL_PROJECTION);
    EndFrame();
    LoadCameraModel(Path("cam.umf"), {{1, 100, 60}});
    BeginFrame();
    glMatrixMode(GL_PROJECTION);
    glScalef(2, 2, 2);
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(1, 2, 3);
    SetCamera(0, 0, 0);
    const auto projection = Matrix(GL_PROJECTION_MATRIX);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(projection[i], (i % 5 == 0) ? 1.0f : 0.0f);
    EXPECT_EQ(Matrix(GL_MODELVIEW_MATRIX)[12], 1.0f); // model-view untouched
    EXPECT_EQ(Integer(GL_MATRIX_MODE), GL_MODELVIEW);
    EndFrame();
}

TEST_F(Camera, PerspectiveFromTheNumberedCameraTimesItsMatrix) {
    LoadCameraModel(Path("cam.umf"), {{1, 100, 60}, {2, 50, 90}});
    BeginFrame();
    SetCamera(0, 0, 2); // the last camera is valid
    const auto second = Matrix(GL_PROJECTION_MATRIX);
    const auto expected = ExpectedProjection(90, 1.0, 2, 50);
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(second[i], expected[i], 1e-5) << i;
    SetCamera(0, 0, 3); // one more is ignored
    SetCamera(0, 1, 1); // so is a frame beyond the model's
    SetCamera(1, 0, 1); // and a model that is not loaded
    const auto after = Matrix(GL_PROJECTION_MATRIX);
    EXPECT_EQ(after, second);
    SetCamera(0, 0, 1);
    const auto first = ExpectedProjection(60, 1.0, 1, 100);
    EXPECT_NEAR(Matrix(GL_PROJECTION_MATRIX)[5], first[5], 1e-5);
    EndFrame();
}

TEST_F(Camera, TooCloseNearPlaneMovesOutToAFractionOfTheFarDistance) {
    LoadCameraModel(Path("cam.umf"), {{0, 1000, 60}, {1.53e-5f, 1000, 60}});
    BeginFrame();
    SetCamera(0, 0, 1);
    const auto clamped = Matrix(GL_PROJECTION_MATRIX);
    const auto expected = ExpectedProjection(60, 1.0, 0.0153, 1000);
    EXPECT_NEAR(clamped[10], expected[10], 1e-6);
    EXPECT_NEAR(clamped[14], expected[14], 1e-6);
    SetCamera(0, 0, 2); // exactly the limit stays
    const auto kept = Matrix(GL_PROJECTION_MATRIX);
    const auto atLimit = ExpectedProjection(60, 1.0, 1.53e-5f, 1000);
    EXPECT_NEAR(kept[14], atLimit[14], std::abs(atLimit[14]) * 1e-5);
    EXPECT_GT(std::abs(kept[14] - clamped[14]), 1e-3);
    EndFrame();
}

class WideCamera : public DeviceGlTest {
  protected:
    WideCamera() {
        width = 128;
        height = 64;
    }
};

TEST_F(WideCamera, PerspectiveTakesTheAspectOfTheSurface) {
    LoadCameraModel(Path("cam.umf"), {{1, 100, 60}});
    ASSERT_EQ(AspectRatio, 2.0f);
    BeginFrame();
    SetCamera(0, 0, 1);
    const auto projection = Matrix(GL_PROJECTION_MATRIX);
    const auto expected = ExpectedProjection(60, 2.0, 1, 100);
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(projection[i], expected[i], 1e-5) << i;
    EndFrame();
}

using Matrices = DeviceGlTest;

TEST_F(Matrices, StoredMatrixComesBackExactlyWhateverTheMode) {
    BeginFrame();
    glMatrixMode(GL_MODELVIEW);
    Translate(1.5f, -2, 3);
    Rotate(33, 0.3f, 1, 0.2f);
    Scale(2, 2, 0.5f);
    const auto saved = Matrix(GL_MODELVIEW_MATRIX);
    StoreMatrix(3);
    LoadIdentity();
    glMatrixMode(GL_PROJECTION);
    LoadStoredMatrix(3);
    EXPECT_EQ(Integer(GL_MATRIX_MODE), GL_MODELVIEW);
    EXPECT_EQ(Matrix(GL_MODELVIEW_MATRIX), saved);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(MatrixBank[3][i], saved[i]);
    EXPECT_EQ(MatrixBank[4][0], 0.0f); // the others still zero
    EndFrame();
}

TEST_F(Matrices, ViewMatrixSavesLoadsAndMultipliesStoredMatrices) {
    BeginFrame();
    EXPECT_EQ(ViewMatrix[0], 1.0f);
    EXPECT_EQ(ViewMatrix[12], 0.0f);
    LoadIdentity();
    Translate(0, 0, -4);
    SaveViewMatrix();
    EXPECT_EQ(ViewMatrix[14], -4.0f);
    LoadIdentity();
    Translate(1, 0, 0);
    StoreMatrix(255);
    glMatrixMode(GL_PROJECTION);
    LoadViewMatrix();
    EXPECT_EQ(Integer(GL_MATRIX_MODE), GL_MODELVIEW);
    MultStoredMatrix(255);
    const auto m = Matrix(GL_MODELVIEW_MATRIX);
    EXPECT_EQ(m[12], 1.0f);
    EXPECT_EQ(m[14], -4.0f);
    PushMatrix();
    LoadIdentity();
    PopMatrix();
    EXPECT_EQ(Matrix(GL_MODELVIEW_MATRIX), m);
    EndFrame();
}

using Lighting = DeviceGlTest;

TEST_F(Lighting, EnableSwitchesOnLightingWithAWhiteFrontMaterial) {
    const float ambient[4] = {0.25f, 0.5f, 0.75f, 1};
    SetParameter(21, ambient);
    EnableFeature(21);
    ASSERT_NE(LightList, nullptr);
    EXPECT_EQ(LightCapacity, 500u);
    LightList[499].W = 1.0f; // the whole capacity is there
    ASSERT_TRUE(AcquireContext());
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_EQ(Floats(GL_LIGHT_MODEL_AMBIENT), (std::array<float, 4>{0.25f, 0.5f, 0.75f, 1}));
    std::array<float, 4> colour{};
    glGetMaterialfv(GL_FRONT, GL_DIFFUSE, colour.data());
    EXPECT_EQ(colour, (std::array<float, 4>{1, 1, 1, 1}));
    glGetMaterialfv(GL_FRONT, GL_SPECULAR, colour.data());
    EXPECT_EQ(colour, (std::array<float, 4>{0, 0, 0, 1}));
    ReleaseContext();
    LightCount = 7;
    ClearLights();
    EXPECT_EQ(LightCount, 0u);
    DisableFeature(21);
    EXPECT_EQ(LightList, nullptr);
    EXPECT_EQ(LightingOn, 0);
    ASSERT_TRUE(AcquireContext());
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    ReleaseContext();
}

TEST_F(Lighting, AmbientParameterReachesTheContextOutsideAndInsideFrames) {
    const float dim[4] = {0.125f, 0.125f, 0.125f, 1};
    SetParameter(21, dim);
    BeginFrame();
    EXPECT_EQ(Floats(GL_LIGHT_MODEL_AMBIENT)[0], 0.125f);
    const float bright[4] = {0.5f, 0.5f, 0.5f, 1};
    SetParameter(21, bright);
    EXPECT_EQ(Floats(GL_LIGHT_MODEL_AMBIENT)[0], 0.5f);
    EXPECT_TRUE(FrameOpen);
    EndFrame();
}

TEST_F(Lighting, ModelLightsBecomeLightEntriesAndFlares) {
    TModel model = EmptyModel();
    for (int l = 0; l < 3; ++l) {
        TModelLight light;
        light.Values.push_back({{1, 1, 1, 1}, 0, 2, 100});
        light.Matrices.push_back(Translation(float(l), 2, 3));
        model.ModelLights.push_back(light);
    }
    model.ModelLightCount = 3;
    SaveUmf(Path("lights.umf"), model);
    LoadModel(Path("lights.umf"));
    LightCapacity = 2;
    EnableFeature(21);
    EnableFeature(11); // flare pool 0
    FlaresOn = 1;
    ViewMatrix[12] = 10; // the eye-space positions go through ViewMatrix
    ClearLights();
    AddModelLights(0, 0);
    AddModelLights(0, 1); // no such frame
    AddModelLights(1, 0); // no such model
    ASSERT_EQ(LightCount, 3u);
    EXPECT_GE(LightCapacity, 4u); // grown so the next record fits
    for (std::uint32_t l = 0; l < 3; ++l) {
        EXPECT_EQ(LightList[l].X, 10.0f + l);
        EXPECT_EQ(LightList[l].Z, 3.0f);
        EXPECT_EQ(LightList[l].W, 1.0f);
        EXPECT_EQ(LightList[l].Params, LightReference(0, l, 0));
        const TFlare& flare = FlareEntries(0)[l];
        EXPECT_EQ(flare.Used, 1);
        EXPECT_EQ(flare.Position[0], 10.0f + l);
        EXPECT_EQ(flare.Alpha, 1.0f);
        EXPECT_EQ(flare.Size, 40.0f);
    }
    EXPECT_EQ(FlareEntries(0)[3].Used, 0);
}
