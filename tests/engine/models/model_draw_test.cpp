// Frustum culling without a context: the planes of a clip matrix and the
// box test that model drawing culls objects with.
#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "engine/models/model_draw.h"

namespace {
using TBox = std::array<TVector, BoxCornerCount>;

// The corners of the box (x0, y0, z0)..(x1, y1, z1) in the engine's corner order.
TBox Box(float x0, float y0, float z0, float x1, float y1, float z1) {
    return {TVector{x0, y0, z0}, TVector{x1, y0, z0}, TVector{x1, y1, z0}, TVector{x0, y1, z0},
            TVector{x0, y0, z1}, TVector{x1, y0, z1}, TVector{x1, y1, z1}, TVector{x0, y1, z1}};
}

const float Identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
} // namespace

TEST(FrustumPlanes, IdentityClipGivesTheUnitCubeInOrder) {
    float planes[6][4];
    FrustumPlanes(Identity, planes);
    const float expected[6][4] = {{-1, 0, 0, 1}, {1, 0, 0, 1},  {0, 1, 0, 1},
                                  {0, -1, 0, 1}, {0, 0, -1, 1}, {0, 0, 1, 1}};
    for (int p = 0; p < 6; ++p)
        for (int k = 0; k < 4; ++k)
            EXPECT_EQ(planes[p][k], expected[p][k]) << p << "," << k;
}

TEST(FrustumPlanes, PlanesAreScaledToUnitNormals) {
    // Clip x = 4x + 1: the right plane is x <= 0, the left x >= -0.5.
    const float clip[16] = {4, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1, 0, 0, 1};
    float planes[6][4];
    FrustumPlanes(clip, planes);
    EXPECT_FLOAT_EQ(planes[0][0], -1.0f);
    EXPECT_FLOAT_EQ(planes[0][3], 0.0f);
    EXPECT_FLOAT_EQ(planes[1][0], 1.0f);
    EXPECT_FLOAT_EQ(planes[1][3], 0.5f);
    for (int p = 0; p < 6; ++p)
        EXPECT_FLOAT_EQ(std::sqrt(planes[p][0] * planes[p][0] + planes[p][1] * planes[p][1] +
                                  planes[p][2] * planes[p][2]),
                        1.0f);
}

TEST(FrustumPlanes, FarPlaneWithoutDirectionKeepsItsValuesAndCanCull) {
    // Row 2 = (0, 0, 1, 1), row 3 = (0, 0, 1, 0): row 3 - row 2 = (0, 0, 0, -1).
    const float clip[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 1, 0, 0, 1, 0};
    float planes[6][4];
    FrustumPlanes(clip, planes);
    EXPECT_EQ(planes[4][0], 0.0f);
    EXPECT_EQ(planes[4][3], -1.0f);
    const TBox box = Box(-0.1f, -0.1f, 0.5f, 0.1f, 0.1f, 0.6f);
    EXPECT_FALSE(IsBoxVisible(box.data(), planes)); // every corner gives -1
    // The same degenerate plane in another position turns into NaNs, which cull nothing.
    const float rightDegenerate[16] = {1, 0, 0, 1, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0};
    FrustumPlanes(rightDegenerate, planes);
    EXPECT_TRUE(std::isnan(planes[0][0]));
    planes[1][3] = planes[2][3] = planes[3][3] = planes[4][3] = planes[5][3] = 10; // open the rest
    EXPECT_TRUE(IsBoxVisible(box.data(), planes));
}

TEST(BoxVisibility, WhollyBehindOnePlaneIsCulledStraddlingIsNot) {
    float planes[6][4];
    FrustumPlanes(Identity, planes);
    EXPECT_TRUE(IsBoxVisible(Box(-0.5f, -0.5f, 0, 0.5f, 0.5f, 0).data(), planes));
    EXPECT_FALSE(IsBoxVisible(Box(1.5f, -0.5f, 0, 2.5f, 0.5f, 0).data(), planes));     // right
    EXPECT_FALSE(IsBoxVisible(Box(-0.5f, -3, 0, 0.5f, -1.01f, 0).data(), planes));     // bottom
    EXPECT_FALSE(IsBoxVisible(Box(-0.5f, -0.5f, 1.5f, 0.5f, 0.5f, 2).data(), planes)); // beyond far
    EXPECT_TRUE(IsBoxVisible(Box(0.8f, -0.5f, 0, 1.8f, 0.5f, 0).data(), planes));      // straddles right
    EXPECT_TRUE(IsBoxVisible(Box(1, -0.5f, 0, 2, 0.5f, 0).data(), planes)); // touches: 0 is not behind
    EXPECT_TRUE(IsBoxVisible(Box(-3, -3, -3, 3, 3, 3).data(), planes));     // encloses the frustum
}
