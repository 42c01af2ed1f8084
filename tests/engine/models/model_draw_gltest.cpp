// DrawModel and DrawReflectiveModel on the offscreen device: which pass draws
// what (seen in the colour and depth buffers), culling, texture choice,
// light selection, and the OpenGL state a call leaves behind.
#include "tests/engine/render/device_fixture.h"

#include "engine/features/switches.h"
#include "engine/models/model_draw.h"
#include "engine/render/effects.h"
#include "engine/render/textures.h"
#include "engine/render/transforms.h"

namespace {
// 64 x 64 surface, identity projection (camera 0): the square
// (-0.5, -0.5)..(0.5, 0.5) covers pixels 16..47, its centre is pixel 32.
constexpr int Centre = 32;

class ModelDrawing : public DeviceGlTest {
  protected:
    std::uint32_t Load(const TModel& model, const std::string& name = "model.umf") {
        SaveUmf(Path(name), model);
        LoadModel(Path(name));
        return ModelCount - 1;
    }
    // Opens a frame with the identity projection and an identity ViewMatrix.
    void Begin(std::uint32_t model) {
        BeginFrame();
        SetCamera(model, 0, 0);
        LoadIdentity();
        SaveViewMatrix();
    }
    void Texture(const std::string& name, const std::vector<std::array<std::uint8_t, 4>>& frames,
                 int bits = 24) {
        SaveUmt(Path(name + ".umt"), SolidImage(frames, bits), false);
    }
    static bool Enabled(GLenum what) { return glIsEnabled(what) == GL_TRUE; }
    static bool DepthWrites() {
        GLboolean mask = GL_FALSE;
        glGetBooleanv(GL_DEPTH_WRITEMASK, &mask);
        return mask == GL_TRUE;
    }
};

// One textured square with the given alpha track value.
TModel TexturedSquare(const std::string& texture, float alpha) {
    TModel model = EmptyModel();
    AddMaterial(model, Material(1, 1, 1, 1, texture));
    AddObject(model, 0, Square(-0.5f, -0.5f, 0.5f, 0.5f, 0), alpha);
    return model;
}
} // namespace

TEST_F(ModelDrawing, OpaqueTextureDrawsInTheDepthWritingPass) {
    Texture("red", {{255, 0, 0, 0}});
    const auto m = Load(TexturedSquare("red", 0.0f));
    Begin(m);
    DrawModel(m, 0, 0, 0);
    EXPECT_EQ(Pixel(Centre, Centre), (std::array<int, 4>{255, 0, 0, 0}));
    EXPECT_LT(Depth(Centre, Centre), 1.0f);
    EXPECT_EQ(Pixel(5, 5)[0], 0);
    EndFrame();
}

TEST_F(ModelDrawing, AlphaTrackAboveZeroMovesTheObjectToTheBlendedPass) {
    Texture("red", {{255, 0, 0, 0}});
    const auto m = Load(TexturedSquare("red", 0.5f));
    Begin(m);
    DrawModel(m, 0, 0, 0);
    EXPECT_NEAR(Pixel(Centre, Centre)[0], 128, 2); // half over black
    EXPECT_EQ(Depth(Centre, Centre), 1.0f);        // no depth written
    EndFrame();
}

TEST_F(ModelDrawing, ThirtyTwoBitTextureDrawsOnlyInTheBlendedPass) {
    Texture("glass", {{0, 255, 0, 255}}, 32);
    const auto m = Load(TexturedSquare("glass", 0.0f));
    Begin(m);
    DrawModel(m, 0, 0, 0);
    EXPECT_EQ(Pixel(Centre, Centre)[1], 255);
    EXPECT_EQ(Depth(Centre, Centre), 1.0f);
    EndFrame();
}

TEST_F(ModelDrawing, UntexturedObjectDrawsOnlyBlendedWithTheTrackAlpha) {
    TModel model = EmptyModel();
    AddMaterial(model, Material(0, 0, 1, 1));
    AddObject(model, 0, Square(-0.5f, -0.5f, 0, 0.5f, 0), 0.0f); // left half, alpha 0: invisible
    AddObject(model, 0, Square(0, -0.5f, 0.5f, 0.5f, 0), 1.0f);  // right half, alpha 1
    const auto m = Load(model);
    Begin(m);
    DrawModel(m, 0, 0, 0);
    EXPECT_EQ(Pixel(20, Centre)[2], 0);
    EXPECT_EQ(Pixel(44, Centre)[2], 255);
    EXPECT_EQ(Depth(44, Centre), 1.0f);
    EndFrame();
}

TEST_F(ModelDrawing, AnimationValuePicksTheTextureFrame) {
    Texture("anim", {{255, 0, 0, 0}, {0, 255, 0, 0}, {0, 0, 255, 0}});
    NextTexture = 10;
    const auto m = Load(TexturedSquare("anim", 0.0f));
    ASSERT_EQ(Models[m].Materials[0].FirstTexture, 10);
    ASSERT_EQ(Models[m].Materials[0].LastTexture, 12);
    EXPECT_EQ(AnimatedTextureIndex(10, 12, 7), 11u);
    EXPECT_EQ(AnimatedTextureIndex(10, 12, 0xFFFFFFFFu), 10u); // 2^32 - 1 = 3 x 1431655765
    EXPECT_EQ(AnimatedTextureIndex(5, 5, 12345), 5u);
    Begin(m);
    DrawModel(m, 0, 7, 0);
    EXPECT_EQ(Pixel(Centre, Centre), (std::array<int, 4>{0, 255, 0, 0}));
    EXPECT_EQ(static_cast<GLuint>(Integer(GL_TEXTURE_BINDING_2D)), TextureNames[11]);
    glClear(GL_DEPTH_BUFFER_BIT);
    DrawModel(m, 0, 9, 0);
    EXPECT_EQ(Pixel(Centre, Centre)[0], 255);
    EndFrame();
}

TEST_F(ModelDrawing, MeshWhollyBehindAPlaneIsSkippedAndAStraddlingOneDrawn) {
    TModel model = EmptyModel();
    AddMaterial(model, Material(0, 0, 1, 1));
    AddMaterial(model, Material(1, 0, 0, 1));
    AddObject(model, 0, Square(-0.5f, -0.5f, 0.5f, 0.5f, 0), 1.0f);
    AddObject(model, 1, Square(1.5f, -0.5f, 2.5f, 0.5f, 0), 0.7f); // beyond the right plane
    const auto m = Load(model);
    Begin(m);
    DrawModel(m, 0, 0, 0);
    // The culled object set no state: the colour is still the first one's.
    EXPECT_EQ(Floats(GL_CURRENT_COLOR), (std::array<float, 4>{0, 0, 1, 1}));
    // Its box was still carried into eye space.
    EXPECT_EQ(Models[m].Objects[1].Meshes[0].EyeBox[0].x, 1.5f);
    EXPECT_FALSE(IsMeshVisible(Models[m].Objects[1].Meshes[0]));
    EndFrame();

    Models[m].Objects[1].Frames[0].Matrix = Translation(-0.7f, 0, 0); // now 0.8..1.8: straddles
    Begin(m);
    DrawModel(m, 0, 0, 0);
    EXPECT_EQ(Floats(GL_CURRENT_COLOR), (std::array<float, 4>{1, 0, 0, 0.7f}));
    EXPECT_GT(Pixel(60, Centre)[0], 150);
    EXPECT_TRUE(IsMeshVisible(Models[m].Objects[1].Meshes[0]));
    EndFrame();
}

TEST_F(ModelDrawing, ModelAndFrameOutOfRangeTouchNothing) {
    const auto m = Load(TexturedSquare("", 1.0f));
    Begin(m);
    glDepthMask(GL_FALSE);
    glDisable(GL_BLEND);
    glColor4f(0.25f, 0.25f, 0.25f, 0.25f);
    DrawModel(m + 1, 0, 0, 0);
    DrawModel(m, 1, 0, 0);
    DrawReflectiveModel(m, 1, 0, 0);
    EXPECT_FALSE(DepthWrites());
    EXPECT_FALSE(Enabled(GL_BLEND));
    EXPECT_EQ(Floats(GL_CURRENT_COLOR)[0], 0.25f);
    EXPECT_EQ(Pixel(Centre, Centre)[2], 0);
    EndFrame();
}

TEST_F(ModelDrawing, BrokenObjectsAreSkippedAndSoundOnesDrawn) {
    Texture("red", {{255, 0, 0, 0}});
    TModel model = EmptyModel();
    AddMaterial(model, Material(0, 1, 0, 1));
    AddMaterial(model, Material(1, 1, 1, 1, "red"));
    AddObject(model, 0, Square(-0.5f, -0.5f, 0.5f, 0.5f, 0), 1.0f); // sound
    AddObject(model, 0, Square(-1, -1, -0.6f, -0.6f, 0), 1.0f);     // mesh index out of range
    model.Objects[1].Frames[0].MeshIndex = 4;
    AddObject(model, 9, Square(0.6f, 0.6f, 1, 1, 0), 1.0f); // material out of range
    TMesh bare = Square(0.6f, -1, 1, -0.6f, 0);
    bare.TexCoords.resize(2);
    bare.TexCoordCount = 2;
    AddObject(model, 1, bare, 0.0f);                          // too few texture coordinates
    AddObject(model, 0, Square(-1, 0.6f, -0.6f, 1, 0), 1.0f); // no alpha track
    model.Objects[4].Alpha.clear();
    const auto m = Load(model);
    Begin(m);
    DrawModel(m, 0, 0, 0);
    EXPECT_EQ(Pixel(Centre, Centre)[1], 255);
    for (auto [x, y] : {std::pair{4, 4}, std::pair{60, 60}, std::pair{60, 4}, std::pair{4, 60}})
        EXPECT_EQ(Pixel(x, y), (std::array<int, 4>{0, 0, 0, 255})) << x << "," << y;
    EndFrame();
}

TEST_F(ModelDrawing, TextureRunOutsideTheTableSkipsTheObject) {
    Texture("red", {{255, 0, 0, 0}});
    const auto m = Load(TexturedSquare("red", 0.0f));
    Models[m].Materials[0].LastTexture = 600;
    Begin(m);
    DrawModel(m, 0, 0, 0);
    EXPECT_EQ(Pixel(Centre, Centre)[0], 0);
    Models[m].Materials[0].FirstTexture = 3;
    Models[m].Materials[0].LastTexture = 1;
    DrawModel(m, 0, 5, 0);
    EXPECT_EQ(Pixel(Centre, Centre)[0], 0);
    EndFrame();
}

TEST_F(ModelDrawing, EyeBoxesFollowTheViewAndTheFrameMatrices) {
    TModel model = EmptyModel();
    AddMaterial(model, Material(1, 1, 1, 1));
    AddObject(model, 0, Square(-0.5f, -0.5f, 0.5f, 0.5f, 0), 1.0f, Translation(0.25f, 0, 0));
    AddObject(model, 0, Square(-0.1f, -0.1f, 0.1f, 0.1f, 0.2f), 1.0f, Translation(0, -0.6f, 0));
    const auto m = Load(model);
    BeginFrame();
    SetCamera(m, 0, 0);
    LoadIdentity();
    Translate(0, 0.1f, 0);
    SaveViewMatrix();
    DrawModel(m, 0, 0, 0);
    const TVector* box = Models[m].EyeBox;
    EXPECT_FLOAT_EQ(box[0].x, -0.25f);
    EXPECT_FLOAT_EQ(box[0].y, -0.6f);
    EXPECT_FLOAT_EQ(box[0].z, 0.0f);
    EXPECT_FLOAT_EQ(box[6].x, 0.75f);
    EXPECT_FLOAT_EQ(box[6].y, 0.6f);
    EXPECT_FLOAT_EQ(box[6].z, 0.2f);
    EXPECT_FLOAT_EQ(box[3].x, -0.25f);
    EXPECT_FLOAT_EQ(box[3].y, 0.6f);
    EXPECT_FLOAT_EQ(Models[m].Objects[1].Meshes[0].EyeCentre.y, -0.5f);
    EndFrame();
}

class LightedDrawing : public ModelDrawing {
  protected:
    std::uint32_t model = 0;
    // A square centred on the origin and a model with `count` lights of reach r.
    void SetUpLights(int count, float reach) {
        TModel lit = EmptyModel();
        AddMaterial(lit, Material(1, 1, 1, 1));
        AddObject(lit, 0, Square(-0.5f, -0.5f, 0.5f, 0.5f, 0), 1.0f);
        for (int i = 0; i < count; ++i) {
            TModelLight light;
            light.Values.push_back(TLightParams{{0.1f * i, 0.5f, 0.5f, 1}, 0, 2.0f, reach});
            light.Matrices.push_back(Translation(0, 0, 0));
            lit.ModelLights.push_back(light);
        }
        lit.ModelLightCount = static_cast<std::uint32_t>(count);
        model = Load(lit);
        EnableFeature(21);
        ClearLights();
    }
    void AddLight(int index, float x, float y, float z) {
        LightList[LightCount++] = TLightEntry{x, y, z, 1.0f, LightReference(model, index, 0)};
    }
    static std::array<float, 4> LightPosition(int i) {
        std::array<float, 4> p{};
        glGetLightfv(GL_LIGHT0 + i, GL_POSITION, p.data());
        return p;
    }
};

TEST_F(LightedDrawing, NearestLightsInIncreasingDistanceAndTiesToTheFirst) {
    SetUpLights(3, 100.0f);
    AddLight(0, std::sqrt(10.2f), 0, 0); // d = 11
    AddLight(1, 0, std::sqrt(10.7f), 0); // d = 11 too: never taken
    AddLight(2, 3, 4, 0);                // 25.0: d = 26
    Begin(model);
    DrawModel(model, 0, 0, 0);
    EXPECT_TRUE(Enabled(GL_LIGHT0));
    EXPECT_TRUE(Enabled(GL_LIGHT1));
    for (int i = 2; i < 8; ++i)
        EXPECT_FALSE(Enabled(GL_LIGHT0 + i)) << i;
    EXPECT_FLOAT_EQ(LightPosition(0)[0], std::sqrt(10.2f));
    EXPECT_EQ(LightPosition(1), (std::array<float, 4>{3, 4, 0, 1}));
    std::array<float, 4> colour{};
    glGetLightfv(GL_LIGHT1, GL_DIFFUSE, colour.data());
    EXPECT_FLOAT_EQ(colour[0], 0.2f);
    float quadratic = 0, constant = 1;
    glGetLightfv(GL_LIGHT0, GL_QUADRATIC_ATTENUATION, &quadratic);
    glGetLightfv(GL_LIGHT0, GL_CONSTANT_ATTENUATION, &constant);
    EXPECT_EQ(quadratic, 0.25f); // distance 2 -> 1/4
    EXPECT_EQ(constant, 0.0f);
    EndFrame();
}

TEST_F(LightedDrawing, ALightIsWithinReachOnlyBelowTheSquaredReach) {
    SetUpLights(2, 3.0f);               // reach 9 after loading
    AddLight(0, 2, 2, 0);               // 8.0: d = 9, not below 9
    AddLight(1, std::sqrt(7.9f), 0, 0); // d = 8
    Begin(model);
    DrawModel(model, 0, 0, 0);
    EXPECT_TRUE(Enabled(GL_LIGHT0));
    EXPECT_FLOAT_EQ(LightPosition(0)[0], std::sqrt(7.9f));
    EXPECT_FALSE(Enabled(GL_LIGHT1));
    EndFrame();
}

TEST_F(LightedDrawing, AtMostEightLightsAndStaleEntriesIgnored) {
    SetUpLights(1, 1000.0f);
    for (int i = 0; i < 12; ++i)
        AddLight(0, float(i + 1), 0, 0);
    LightList[LightCount++] = TLightEntry{0, 0, 0.1f, 1, 0}; // refers to no light
    Begin(model);
    glEnable(GL_LIGHT7);
    DrawModel(model, 0, 0, 0);
    for (int i = 0; i < 8; ++i) {
        EXPECT_TRUE(Enabled(GL_LIGHT0 + i));
        EXPECT_EQ(LightPosition(i)[0], float(i + 1));
    }
    LightingOn = 0; // off: the lights of the last draw stay as they were
    LightCount = 0;
    DrawModel(model, 0, 0, 0);
    EXPECT_TRUE(Enabled(GL_LIGHT7));
    EndFrame();
}

TEST_F(ModelDrawing, LeavesBlendingOnAndTheLastBlendedObjectsState) {
    Texture("red", {{255, 0, 0, 0}});
    Texture("blue", {{0, 0, 255, 0}});
    TModel model = EmptyModel();
    AddMaterial(model, Material(1, 1, 1, 1, "red"));
    AddMaterial(model, Material(0.5f, 0.5f, 0.5f, 1, "blue"));
    AddMaterial(model, Material(0, 1, 0, 1));
    AddObject(model, 0, Square(-0.5f, -0.5f, 0, 0, 0), 0.0f);                         // opaque textured
    AddObject(model, 1, Square(0, 0, 0.5f, 0.5f, 0), 0.0f);                           // opaque textured
    AddObject(model, 2, Square(-0.5f, 0, 0, 0.5f, 0), 0.5f, Translation(0, 0, 0.1f)); // blended, untextured
    const auto m = Load(model);
    Begin(m);
    glDisable(GL_COLOR_MATERIAL);
    DrawModel(m, 0, 0, 0);
    EXPECT_TRUE(DepthWrites());
    EXPECT_TRUE(Enabled(GL_BLEND));
    EXPECT_EQ(Integer(GL_BLEND_SRC), GL_SRC_ALPHA);
    EXPECT_EQ(Integer(GL_BLEND_DST), GL_ONE_MINUS_SRC_ALPHA);
    EXPECT_FALSE(Enabled(GL_TEXTURE_2D)); // the last object visible in pass 1 is untextured
    EXPECT_EQ(Floats(GL_CURRENT_COLOR), (std::array<float, 4>{0, 1, 0, 0.5f}));
    EXPECT_EQ(static_cast<GLuint>(Integer(GL_TEXTURE_BINDING_2D)),
              TextureNames[Models[m].Materials[1].FirstTexture]); // last textured drawn
    EXPECT_FALSE(Enabled(GL_COLOR_MATERIAL));
    const auto modelview = [] {
        std::array<float, 16> mv{};
        glGetFloatv(GL_MODELVIEW_MATRIX, mv.data());
        return mv;
    }();
    EXPECT_EQ(modelview[14], 0.1f); // ViewMatrix x the last object's frame matrix
    EXPECT_EQ(Pixel(20, 20)[0], 255);
    EXPECT_EQ(Pixel(44, 44)[2], 255);
    EXPECT_EQ(Pixel(20, 44)[1], 128);
    EndFrame();
}

TEST_F(ModelDrawing, OverlayQuadLeavesTheOverlayState) {
    SaveUmt(Path("sfs.umt"), SolidImage({{200, 200, 0, 0}}), false);
    EnableFeature(6);
    ASSERT_EQ(SurfaceOverlayLoaded, 1);
    TModel model = EmptyModel();
    AddMaterial(model, Material(0, 0, 1, 1));
    AddObject(model, 0, Square(-0.5f, -0.5f, 0.5f, 0.5f, 0), 1.0f, Translation(0, 0, 0.3f));
    const auto m = Load(model);
    Begin(m);
    DrawModel(m, 0, 0, 0);
    EXPECT_TRUE(DepthWrites());
    EXPECT_FALSE(Enabled(GL_BLEND));
    EXPECT_TRUE(Enabled(GL_TEXTURE_2D));
    EXPECT_TRUE(Enabled(GL_COLOR_MATERIAL));
    EXPECT_EQ(Floats(GL_CURRENT_COLOR), (std::array<float, 4>{1, 1, 1, 1}));
    EXPECT_EQ(static_cast<GLuint>(Integer(GL_TEXTURE_BINDING_2D)), SurfaceOverlayTexture);
    std::array<float, 16> mv{};
    glGetFloatv(GL_MODELVIEW_MATRIX, mv.data());
    EXPECT_EQ(mv[14], 0.0f);
    EXPECT_EQ(mv[0], 1.0f);
    // The quad covers the model's eye-space box in the plane z = 0.
    EXPECT_EQ(Pixel(Centre, Centre), (std::array<int, 4>{200, 200, 0, 255}));
    EXPECT_EQ(Pixel(5, 5)[0], 0);
    EndFrame();
}

TEST_F(ModelDrawing, GlowPassDrawsFlatWhiteOrBlackAndKeepsTheEyeBox) {
    Texture("red", {{255, 0, 0, 0}});
    const auto m = Load(TexturedSquare("red", 0.0f));
    const float grey[4] = {0.5f, 0.5f, 0.5f, 1};
    SetParameter(0, grey);
    Begin(m);
    const std::uint32_t bound = static_cast<GLuint>(Integer(GL_TEXTURE_BINDING_2D));
    InGlowPass = 1;
    DrawModel(m, 0, 0, 1);
    EXPECT_EQ(Pixel(Centre, Centre), (std::array<int, 4>{255, 255, 255, 255}));
    EXPECT_TRUE(DepthWrites());
    EXPECT_TRUE(Enabled(GL_BLEND));
    EXPECT_FALSE(Enabled(GL_TEXTURE_2D));
    EXPECT_TRUE(Enabled(GL_COLOR_MATERIAL));
    EXPECT_EQ(static_cast<std::uint32_t>(Integer(GL_TEXTURE_BINDING_2D)), bound);
    EXPECT_EQ(Models[m].EyeBox[6].x, 0.0f); // not updated in the glow pass
    glClear(GL_DEPTH_BUFFER_BIT);
    DrawModel(m, 0, 0, 0);
    EXPECT_EQ(Pixel(Centre, Centre)[0], 0);
    EXPECT_EQ(Floats(GL_CURRENT_COLOR), (std::array<float, 4>{0, 0, 0, 1}));
    InGlowPass = 0;
    DrawModel(m, 0, 0, 0);
    EXPECT_EQ(Models[m].EyeBox[6].x, 0.5f);
    EndFrame();
}

TEST_F(ModelDrawing, ReflectiveModelUsesTheMaterialAlphaAndBothPasses) {
    EnableFeature(20);
    ASSERT_EQ(ReflectionReady, 1);
    TModel model = EmptyModel();
    AddMaterial(model, Material(0, 0, 0.6f, 0.5f));
    AddObject(model, 0, Square(-0.5f, -0.5f, 0.5f, 0.5f, 0), 0.0f); // the track's 0 is not read
    const auto m = Load(model);
    Begin(m);
    // Both passes draw the square at the same depth: let the blended pass
    // through the depth test, and have it add (it keeps the caller's blend
    // function), so that each pass leaves its own share.
    glDepthFunc(GL_LEQUAL);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    DrawReflectiveModel(m, 0, 0, 0);
    glDepthFunc(GL_LESS);
    // Opaque pass: 0.6 of blue with depth written; blended pass: 0.5 x 0.6 more.
    EXPECT_LT(Depth(Centre, Centre), 1.0f);
    EXPECT_NEAR(Pixel(Centre, Centre)[2], 0.9 * 255, 2);
    EXPECT_TRUE(DepthWrites());
    opengl_my::glActiveTextureARB(GL_TEXTURE1_ARB);
    EXPECT_FALSE(Enabled(GL_TEXTURE_2D));
    opengl_my::glActiveTextureARB(GL_TEXTURE0_ARB);
    EXPECT_EQ(Models[m].EyeBox[6].x, 0.5f);
    EndFrame();
}

TEST_F(ModelDrawing, WithoutAnAlphaTrackOnlyThePlainPictureLeavesTheObjectOut) {
    EnableFeature(20);
    ASSERT_EQ(ReflectionReady, 1);
    TModel model = EmptyModel();
    AddMaterial(model, Material(0, 1, 0, 1));
    AddObject(model, 0, Square(-0.5f, -0.5f, 0, 0.5f, 0), 1.0f); // left half
    AddObject(model, 0, Square(0, -0.5f, 0.5f, 0.5f, 0), 1.0f);  // right half, no alpha track
    model.Objects[1].Alpha.clear();
    const auto m = Load(model);
    Begin(m);
    DrawModel(m, 0, 0, 0);
    EXPECT_EQ(Pixel(20, Centre)[1], 255);
    EXPECT_EQ(Pixel(44, Centre)[1], 0);
    EXPECT_EQ(Models[m].EyeBox[6].x, 0.5f); // the eye box takes it all the same
    InGlowPass = 1;
    DrawModel(m, 0, 0, 1);
    EXPECT_EQ(Pixel(44, Centre), (std::array<int, 4>{255, 255, 255, 255}));
    InGlowPass = 0;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    DrawReflectiveModel(m, 0, 0, 0);
    EXPECT_EQ(Pixel(44, Centre)[1], 255);
    EndFrame();
}

TEST_F(ModelDrawing, DrawabilityIsDecidedForTheFrameBeingDrawn) {
    TModel model = EmptyModel(6);
    AddMaterial(model, Material(0, 0, 1, 1));
    AddObject(model, 0, Square(-0.5f, -0.5f, 0.5f, 0.5f, 0), 1.0f);
    model.Objects[0].Frames[5].MeshIndex = 1; // out of range at frame 5 only
    const auto m = Load(model);
    Begin(m);
    DrawModel(m, 0, 0, 0);
    EXPECT_EQ(Pixel(Centre, Centre)[2], 255);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    DrawModel(m, 5, 0, 0);
    DrawReflectiveModel(m, 5, 0, 0);
    EXPECT_EQ(Pixel(Centre, Centre)[2], 0);
    // Tracks cut short after loading: frames beyond them are never read.
    Models[m].Objects[0].Frames.resize(4);
    Models[m].Objects[0].Alpha.resize(3);
    DrawModel(m, 3, 0, 0);
    InGlowPass = 1;
    DrawModel(m, 4, 0, 1);
    InGlowPass = 0;
    EXPECT_EQ(Pixel(Centre, Centre)[2], 0);
    DrawModel(m, 2, 0, 0);
    EXPECT_EQ(Pixel(Centre, Centre)[2], 255);
    EndFrame();
}
