// LoadModel without a drawing device (backend 1): mesh boxes, light
// conversion and light references, texture files read and errors.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <filesystem>

#include "engine/features/features.h"
#include "engine/models/model_load.h"
#include "engine/models/umf.h"
#include "engine/models/umf_writer.h"
#include "engine/render/device.h"
#include "engine/support/errors.h"
#include "engine/textures/umt.h"
#include "tests/engine/render/device_fixture.h"

namespace {
class ModelLoading : public ::testing::Test {
  protected:
    std::filesystem::path folder;
    void SetUp() override {
        folder = std::filesystem::temp_directory_path() /
                 ("tarnwick-load-" + std::to_string(::getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder);
        SetParameter(1, folder.string().c_str());
        SelectBackend(1);
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    std::string Save(const TModel& model) {
        const std::string path = (folder / "model.umf").string();
        SaveUmf(path, model);
        return path;
    }
};

TModelLight Light(float attenuation, float reach, std::uint32_t frames = 1) {
    TModelLight light;
    light.Values.assign(frames, TLightParams{{1, 1, 1, 1}, 0, attenuation, reach});
    light.Matrices.assign(frames, Translation(1, 2, 3));
    return light;
}
} // namespace

TEST_F(ModelLoading, SingleTriangleBoxAndCentre) {
    TModel model = EmptyModel();
    AddMaterial(model, Material(1, 1, 1, 1));
    TMesh mesh;
    mesh.Triangles = {TTriangle{{{0, 0, 0}, {2, 0, 0}, {0, 4, 0}}}};
    mesh.TriangleCount = 1;
    AddObject(model, 0, mesh);
    LoadModel(Save(model));
    ASSERT_EQ(ModelCount, 1u);
    const TMesh& loaded = Models[0].Objects[0].Meshes[0];
    EXPECT_EQ(loaded.Box[0].x, 0.0f);
    EXPECT_EQ(loaded.Box[2].x, 2.0f);
    EXPECT_EQ(loaded.Box[2].y, 4.0f);
    EXPECT_EQ(loaded.Box[2].z, 0.0f);
    EXPECT_EQ(loaded.Box[6].x, 2.0f);
    EXPECT_EQ(loaded.Box[6].y, 4.0f);
    EXPECT_EQ(loaded.Box[3].x, 0.0f);
    EXPECT_EQ(loaded.Box[3].y, 4.0f);
    EXPECT_EQ(loaded.Box[5].x, 2.0f);
    EXPECT_EQ(loaded.Box[5].y, 0.0f);
    EXPECT_EQ(loaded.Centre.x, 1.0f);
    EXPECT_EQ(loaded.Centre.y, 2.0f);
    EXPECT_EQ(loaded.Centre.z, 0.0f);
    EXPECT_EQ(Models[0].Materials[0].Textured, 0);
}

TEST_F(ModelLoading, BoxesSpanEveryMeshOfAnObjectEachOnItsOwn) {
    TModel model = EmptyModel();
    AddMaterial(model, Material(1, 1, 1, 1));
    AddObject(model, 0, Square(-1, -2, 3, 4, 5));
    model.Objects[0].Meshes.push_back(Square(10, 10, 11, 12, -1));
    model.Objects[0].Meshes.push_back(TMesh{}); // no triangles
    model.Objects[0].MeshCount = 3;
    LoadModel(Save(model));
    const auto& meshes = Models[0].Objects[0].Meshes;
    EXPECT_EQ(meshes[0].Box[0].x, -1.0f);
    EXPECT_EQ(meshes[0].Box[6].y, 4.0f);
    EXPECT_EQ(meshes[0].Box[4].z, 5.0f);
    EXPECT_EQ(meshes[1].Box[0].x, 10.0f); // a mesh no frame selects still gets its box
    EXPECT_EQ(meshes[1].Box[6].y, 12.0f);
    // Without triangles the box keeps its start values and the centre is 0.
    EXPECT_EQ(meshes[2].Box[0].x, 3.4e38f);
    EXPECT_EQ(meshes[2].Box[6].z, -3.4e38f);
    EXPECT_EQ(meshes[2].Centre.x, 0.0f);
    EXPECT_EQ(meshes[2].Centre.z, 0.0f);
}

TEST_F(ModelLoading, LightsBecomeQuadraticFactorsAndSquaredReach) {
    TModel model = EmptyModel(2);
    model.ModelLights = {Light(2, 3, 2), Light(0, 0, 2)};
    model.ModelLights[0].Values[1].Attenuation = 0.5f;
    model.ModelLightCount = 2;
    LoadModel(Save(model));
    const auto& lights = Models[0].ModelLights;
    EXPECT_EQ(lights[0].Values[0].Attenuation, 0.25f);
    EXPECT_EQ(lights[0].Values[0].Reach, 9.0f);
    EXPECT_EQ(lights[0].Values[1].Attenuation, 4.0f);
    EXPECT_TRUE(std::isinf(lights[1].Values[0].Attenuation)); // distance 0
    EXPECT_EQ(lights[1].Values[0].Reach, 0.0f);               // never within reach
}

TEST_F(ModelLoading, EveryLightValueGetsItsOwnReference) {
    TModel model = EmptyModel(3);
    model.ModelLights = {Light(1, 1, 3), Light(1, 2, 3)};
    model.ModelLightCount = 2;
    LoadModel(Save(model));
    LoadModel(Save(model));
    for (std::uint32_t m = 0; m < 2; ++m)
        for (std::uint32_t light = 0; light < 2; ++light)
            for (std::uint32_t frame = 0; frame < 3; ++frame) {
                const std::uint32_t reference = LightReference(m, light, frame);
                ASSERT_NE(reference, 0u);
                EXPECT_EQ(LightParamsOf(reference), &Models[m].ModelLights[light].Values[frame]);
            }
    EXPECT_NE(LightReference(0, 0, 0), LightReference(1, 0, 0));
    EXPECT_EQ(LightReference(0, 2, 0), 0u);
    EXPECT_EQ(LightReference(0, 0, 3), 0u);
    EXPECT_EQ(LightReference(2, 0, 0), 0u);
    EXPECT_EQ(LightParamsOf(0), nullptr);
    EXPECT_EQ(LightParamsOf(0xFFFFFFFFu), nullptr);
}

TEST_F(ModelLoading, MissingTextureRaisesAfterTheModelIsCounted) {
    TModel model = EmptyModel();
    AddMaterial(model, Material(1, 1, 1, 1, "nothere"));
    AddObject(model, 0, Square(0, 0, 1, 1, 0));
    try {
        LoadModel(Save(model));
        FAIL() << "nothere.umt does not exist";
    } catch (const TIoError& error) {
        EXPECT_EQ(error.Code(), IoFileNotFound);
    }
    EXPECT_EQ(ModelCount, 1u);
    EXPECT_TRUE(UmtImages.empty());
    // A later load appends after it.
    Models[0].Materials.clear();
    TModel plain = EmptyModel();
    LoadModel(Save(plain));
    EXPECT_EQ(ModelCount, 2u);
}

TEST_F(ModelLoading, ErrorsNameTheModelOrTextureFile) {
    auto error = [](const std::string& path) {
        try {
            LoadModel(path);
        } catch (const TIoError& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    const std::string sky = (folder / "lake_sky.umt").string();
    SaveUmt(sky, SolidImage({{1, 2, 3, 4}}, 32), false);
    std::filesystem::resize_file(sky, 12);
    TModel model = EmptyModel();
    AddMaterial(model, Material(1, 1, 1, 1, "lake_sky"));
    AddObject(model, 0, Square(0, 0, 1, 1, 0));
    const std::string path = Save(model);
    EXPECT_EQ(error(path), "Read beyond end of file: " + sky);

    // A texture name is bytes from the model file: those no text shows are '?'.
    model.Materials[0] = Material(1, 1, 1, 1, "sky\x01\n");
    Save(model);
    EXPECT_EQ(error(path), "File not found: " + (folder / "sky??.umt").string());

    std::filesystem::resize_file(path, std::filesystem::file_size(path) - 1);
    EXPECT_EQ(error(path), "Read beyond end of file: " + path);
}

TEST_F(ModelLoading, MissingModelFileChangesNothing) {
    EXPECT_THROW(LoadModel((folder / "absent.umf").string()), TIoError);
    EXPECT_EQ(ModelCount, 0u);
}

TEST_F(ModelLoading, TexturesAreReadFromTheTextureDirectory) {
    SaveUmt((folder / "stone.umt").string(), SolidImage({{1, 2, 3, 4}}, 32), false);
    TModel model = EmptyModel();
    AddMaterial(model, Material(1, 1, 1, 1, "stone"));
    AddMaterial(model, Material(1, 1, 1, 1));
    LoadModel(Save(model));
    EXPECT_EQ(Models[0].Materials[0].Textured, 1);
    EXPECT_EQ(Models[0].Materials[0].BitsPerPixel, 32);
    EXPECT_EQ(Models[0].Materials[1].Textured, 0);
    EXPECT_TRUE(UmtImages.empty());
}
