// LoadModel on the OpenGL device: materials' textures become runs of the
// texture table.
#include "tests/engine/render/device_fixture.h"

#include "engine/render/textures.h"

using ModelTextures = DeviceGlTest;

TEST_F(ModelTextures, AnimatedImageGivesOneEntryPerFrame) {
    SaveUmt(Path("water.umt"),
            SolidImage({{1, 0, 0, 0}, {2, 0, 0, 0}, {3, 0, 0, 0}, {4, 0, 0, 0}, {5, 0, 0, 0}}), false);
    TModel model = EmptyModel();
    AddMaterial(model, Material(1, 1, 1, 1));
    AddMaterial(model, Material(1, 1, 1, 1, "water"));
    AddMaterial(model, Material(1, 1, 1, 1, "water"));
    SaveUmf(Path("lake.umf"), model);
    NextTexture = 3;
    LoadModel(Path("lake.umf"));
    const auto& materials = Models[0].Materials;
    EXPECT_EQ(materials[0].Textured, 0);
    EXPECT_EQ(materials[1].Textured, 1);
    EXPECT_EQ(materials[1].BitsPerPixel, 24);
    EXPECT_EQ(materials[1].FirstTexture, 3);
    EXPECT_EQ(materials[1].LastTexture, 7);
    // The same texture named twice is loaded twice.
    EXPECT_EQ(materials[2].FirstTexture, 8);
    EXPECT_EQ(materials[2].LastTexture, 12);
    EXPECT_EQ(NextTexture, 13);
    ASSERT_TRUE(AcquireContext());
    for (int i = 3; i <= 12; ++i)
        EXPECT_TRUE(glIsTexture(TextureNames[i]));
    ReleaseContext();
}

TEST_F(ModelTextures, ModelWithoutMaterialsLoadsNoTexture) {
    TModel model = EmptyModel();
    AddObject(model, 0, Square(0, 0, 1, 1, 0));
    SaveUmf(Path("bare.umf"), model);
    LoadModel(Path("bare.umf"));
    EXPECT_EQ(NextTexture, 0);
    EXPECT_EQ(ModelCount, 1u);
}

TEST_F(ModelTextures, ModelsBeyondTheTableAreRefusedClearly) {
    SaveUmt(Path("big.umt"), SolidImage(std::vector<std::array<std::uint8_t, 4>>(100, {7, 7, 7, 7})), false);
    TModel model = EmptyModel();
    AddMaterial(model, Material(1, 1, 1, 1, "big"));
    SaveUmf(Path("many.umf"), model);
    for (int i = 0; i < 5; ++i)
        LoadModel(Path("many.umf"));
    EXPECT_EQ(NextTexture, 500);
    try {
        LoadModel(Path("many.umf"));
        FAIL() << "a sixth run of 100 does not fit into 512 entries";
    } catch (const TIoError& error) {
        EXPECT_NE(std::string(error.what()).find("512"), std::string::npos);
    }
    EXPECT_EQ(NextTexture, 500);
    EXPECT_TRUE(UmtImages.empty());
    EXPECT_EQ(ModelCount, 6u);
}
