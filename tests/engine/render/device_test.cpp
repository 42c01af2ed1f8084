// The device table: backend selection, the placeholder backends, and the
// extension-string matching the OpenGL backend relies on.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/render/device.h"
#include "engine/render/device_gl.h"

namespace {
// Every slot the placeholder backends define, called with ordinary arguments.
void CallEveryNullSlot() {
    std::int16_t first = 3, last = 4;
    DeviceInit();
    DeviceResize(320, 200);
    DrawModel(0, 0, 0, 1);
    DrawReflectiveModel(0, 0, 0, 0);
    BeginFrame();
    UploadTextures(first, last);
    EXPECT_EQ(first, 3);
    EXPECT_EQ(last, 4);
    for (auto slot : {CreateTrailTarget,
                      DeleteTrailTarget,
                      BeginTrailPass,
                      EndTrailPass,
                      DrawTrail,
                      CreateGlowTarget,
                      DeleteGlowTarget,
                      BeginGlowPass,
                      EndGlowPass,
                      DrawGlow,
                      LoadSurfaceOverlay,
                      FreeSurfaceOverlay,
                      DrawFlares,
                      LoadFlares,
                      CreateScreenBuffer,
                      DeleteScreenBuffer,
                      FilterScreen,
                      LoadViewMatrix,
                      SaveViewMatrix,
                      CreateReflectionTarget,
                      DeleteReflectionTarget,
                      EndReflection,
                      EnableLighting,
                      DisableLighting,
                      ClearLights,
                      DeviceNop})
        slot();
    SetCamera(0, 0, 1);
    BeginReflection(0);
    AddModelLights(0, 0);
    EndFrame();
}
} // namespace

TEST(SelectBackend, StartsEmptyAndFillsEverySlotForOpenGl) {
    EXPECT_EQ(NoBackend, 0u);
    EXPECT_EQ(DeviceInit, nullptr);
    EXPECT_EQ(LoadIdentity, nullptr);
    SelectBackend(2);
    EXPECT_EQ(NoBackend, 0u);
    for (void* slot : {(void*)DeviceInit,
                       (void*)DeviceResize,
                       (void*)DeviceDone,
                       (void*)DrawModel,
                       (void*)DrawReflectiveModel,
                       (void*)BeginFrame,
                       (void*)EndFrame,
                       (void*)UploadTextures,
                       (void*)SetCamera,
                       (void*)LoadIdentity,
                       (void*)Translate,
                       (void*)Rotate,
                       (void*)Scale,
                       (void*)PushMatrix,
                       (void*)PopMatrix,
                       (void*)MultStoredMatrix,
                       (void*)StoreMatrix,
                       (void*)LoadStoredMatrix,
                       (void*)SaveViewMatrix,
                       (void*)BeginReflection,
                       (void*)AddModelLights,
                       (void*)DeviceNop,
                       (void*)FilterScreen,
                       (void*)EnableLighting})
        EXPECT_NE(slot, nullptr);
}

TEST(SelectBackend, UnknownNumberKeepsTheTableAndReportsNoBackend) {
    SelectBackend(2);
    const auto draw = DrawModel;
    const auto begin = BeginFrame;
    SelectBackend(5);
    EXPECT_EQ(NoBackend, 1u);
    EXPECT_EQ(DrawModel, draw);
    EXPECT_EQ(BeginFrame, begin);
    SelectBackend(1);
    EXPECT_EQ(NoBackend, 0u);
    EXPECT_NE(DrawModel, draw);
}

TEST(SelectBackend, PlaceholdersLeaveTheOpenGlMatrixSlotsAsTheyWere) {
    SelectBackend(1);
    EXPECT_EQ(LoadIdentity, nullptr);
    EXPECT_EQ(LoadStoredMatrix, nullptr);
    EXPECT_NE(LoadViewMatrix, nullptr); // defined by every backend
    SelectBackend(2);
    const auto rotate = Rotate;
    const auto store = StoreMatrix;
    SelectBackend(0);
    EXPECT_EQ(Rotate, rotate);
    EXPECT_EQ(StoreMatrix, store);
}

TEST(NullBackend, BackendZeroKeepsAFrameBufferSizedToTheScreen) {
    SelectBackend(0);
    DeviceResize(640, 480);
    EXPECT_EQ(ScreenWidth, 640);
    EXPECT_EQ(ScreenHeight, 480);
    EXPECT_FLOAT_EQ(AspectRatio, 1.3333334f);
    ASSERT_NE(FrameBuffer, nullptr);
    FrameBuffer[640 * 480 * 4 - 1] = 7; // the whole block is there
    DeviceResize(2, 2);
    ASSERT_NE(FrameBuffer, nullptr);
    DeviceDone();
    EXPECT_EQ(FrameBuffer, nullptr);
}

TEST(NullBackend, BackendZeroRefusesImpossibleSizesWithoutAllocating) {
    SelectBackend(0);
    DeviceResize(-640, 480);
    EXPECT_EQ(FrameBuffer, nullptr);
    DeviceResize(2000000000, 2000000000);
    EXPECT_EQ(FrameBuffer, nullptr);
    DeviceResize(640, 0);
    EXPECT_EQ(FrameBuffer, nullptr);
    EXPECT_TRUE(std::isinf(AspectRatio));
}

TEST(NullBackend, BackendOneAcceptsEveryCallAndKeepsNothing) {
    SelectBackend(1);
    CallEveryNullSlot();
    EXPECT_EQ(ScreenWidth, 0);
    EXPECT_EQ(FrameBuffer, nullptr);
    DeviceDone();
}

TEST(NullBackend, BackendZeroAcceptsEveryCall) {
    SelectBackend(0);
    CallEveryNullSlot();
    EXPECT_EQ(ScreenWidth, 320);
    DeviceDone();
    EXPECT_EQ(FrameBuffer, nullptr);
}

TEST(ExtensionList, MatchesWholeCaseSensitiveWords) {
    const char* list = "GL_EXT_bgra GL_ARB_multitexture GL_ARB_texture_cube_map";
    EXPECT_TRUE(ExtensionListHas(list, "GL_ARB_multitexture"));     // second word
    EXPECT_TRUE(ExtensionListHas(list, "GL_EXT_bgra"));             // first word
    EXPECT_TRUE(ExtensionListHas(list, "GL_ARB_texture_cube_map")); // last word
    EXPECT_FALSE(ExtensionListHas(list, "GL_ARB_multi"));
    EXPECT_FALSE(ExtensionListHas(list, "gl_arb_multitexture"));
    EXPECT_FALSE(ExtensionListHas(list, "GL_ARB_multitexture GL"));
}

TEST(ExtensionList, ALongerNameDoesNotMatchItsPrefix) {
    EXPECT_FALSE(ExtensionListHas("GL_ARB_multitexture_extra", "GL_ARB_multitexture"));
    EXPECT_FALSE(ExtensionListHas("GL_ARB_multitextur", "GL_ARB_multitexture"));
    EXPECT_TRUE(ExtensionListHas("GL_ARB_multitexture ", "GL_ARB_multitexture"));   // trailing blank
    EXPECT_TRUE(ExtensionListHas("A  GL_ARB_multitexture", "GL_ARB_multitexture")); // empty word between
}

TEST(ExtensionList, EmptyOrMissingInputNeverMatches) {
    EXPECT_FALSE(ExtensionListHas(nullptr, "GL_ARB_multitexture"));
    EXPECT_FALSE(ExtensionListHas("", "GL_ARB_multitexture"));
    EXPECT_FALSE(ExtensionListHas("A  B", ""));
    EXPECT_FALSE(ExtensionListHas("GL_ARB_multitexture", nullptr));
}
