// Vector math: the transform's layout and precision, the cross product's
// order and normalisation.
#include "engine/support/matmath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace {

// float with the given bit pattern (the values below sit exactly on
// rounding boundaries, so they are given exactly).
float FromBits(std::uint32_t bits) {
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

const float OnePlusUlp = FromBits(0x3F800001);   // 1 + 2^-23
const float OneMinusHalf = FromBits(0x3F7FFFFF); // 1 - 2^-24
const float HalfUlpOfOne = 0x1p-24f;             // 2^-24: half the spacing of floats at 1

struct TIdentity {
    TMatrix m = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
};

void ExpectVector(const TVector& v, float x, float y, float z) {
    EXPECT_FLOAT_EQ(v.x, x);
    EXPECT_FLOAT_EQ(v.y, y);
    EXPECT_FLOAT_EQ(v.z, z);
}

} // namespace

TEST(TransformPoints, CountZeroTouchesNothing) {
    TIdentity id;
    TVector source = {1, 2, 3};
    TVector destination = {7, 8, 9};
    TransformPoints(0, id.m, &source, &destination);
    ExpectVector(destination, 7, 8, 9);
    // Neither array is read either: null is fine for an empty transform.
    TransformPoints(0, id.m, nullptr, nullptr);
}

TEST(TransformPoints, IdentityCopiesAndTranslationMoves) {
    const std::vector<TVector> points = {{0, 0, 0}, {1.5f, -2.25f, 3}, {-1e6f, 1e-6f, 42}};
    TIdentity id;
    std::vector<TVector> out(points.size());
    TransformPoints(points.size(), id.m, points.data(), out.data());
    for (std::size_t i = 0; i < points.size(); ++i) {
        EXPECT_EQ(out[i].x, points[i].x);
        EXPECT_EQ(out[i].y, points[i].y);
        EXPECT_EQ(out[i].z, points[i].z);
    }

    TIdentity move;
    move.m[12] = 10;
    move.m[13] = -20;
    move.m[14] = 0.5f;
    TransformPoints(2, move.m, points.data(), out.data());
    ExpectVector(out[0], 10, -20, 0.5f);
    ExpectVector(out[1], 11.5f, -22.25f, 3.5f);
}

TEST(TransformPoints, ReadsColumnMajorMatrix) {
    // Rotation by 90 degrees about z in OpenGL order: column 0 is the image
    // of x (0, 1, 0), column 1 the image of y (-1, 0, 0). A row-major reading
    // would turn the other way.
    TMatrix m = {0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 5, 6, 7, 1};
    TVector p = {1, 2, 3};
    TVector out;
    TransformPoints(1, m, &p, &out);
    ExpectVector(out, 5 - 2, 6 + 1, 7 + 3);
}

TEST(TransformPoints, IgnoresBottomRowWithoutDivision) {
    TMatrix affine = {2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0, 1, 1, 1, 1};
    TMatrix projective;
    std::memcpy(projective, affine, sizeof affine);
    // Bottom row (indices 3, 7, 11, 15) as a perspective matrix would have it.
    projective[3] = 0.5f;
    projective[7] = 7;
    projective[11] = -1;
    projective[15] = 0;
    const TVector points[2] = {{1, 2, 3}, {-4, 0.25f, 8}};
    TVector a[2], b[2];
    TransformPoints(2, affine, points, a);
    TransformPoints(2, projective, points, b);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(a[i].x, b[i].x);
        EXPECT_EQ(a[i].y, b[i].y);
        EXPECT_EQ(a[i].z, b[i].z);
    }
    ExpectVector(a[0], 3, 7, 13);
}

TEST(TransformPoints, SourceMayBeDestination) {
    // Every output row reads x, y and z: writing x back before computing y
    // would show up here.
    TMatrix m = {0, 1, 1, 0, 1, 0, 1, 0, 1, 1, 0, 0, 0, 0, 0, 1};
    TVector points[3] = {{1, 2, 3}, {4, 5, 6}, {-1, 0, 1}};
    TransformPoints(3, m, points, points);
    ExpectVector(points[0], 5, 4, 3);
    ExpectVector(points[1], 11, 10, 9);
    ExpectVector(points[2], 1, 0, -1);
}

TEST(TransformPoints, WritesExactlyCountPoints) {
    TIdentity id;
    TVector source[4] = {{1, 1, 1}, {2, 2, 2}, {3, 3, 3}, {4, 4, 4}};
    TVector destination[4] = {};
    TransformPoints(3, id.m, source, destination);
    ExpectVector(destination[2], 3, 3, 3);
    ExpectVector(destination[3], 0, 0, 0);
}

TEST(TransformPoints, RoundsSumToFloatAfterEveryAddition) {
    // x row: 1 + 2^-24 + 2^-24. Rounded after each addition, each half-ulp
    // step ties back to even and the result stays 1; summed exactly (or in
    // double) it would be 1 + 2^-23.
    TMatrix m = {1, 0, 0, 0, HalfUlpOfOne, 0, 0, 0, HalfUlpOfOne, 0, 0, 0, 0, 0, 0, 1};
    TVector p = {1, 1, 1};
    TVector out;
    TransformPoints(1, m, &p, &out);
    EXPECT_EQ(out.x, 1.0f);
    const double inDouble = 1.0 + double(HalfUlpOfOne) + double(HalfUlpOfOne);
    EXPECT_NE(out.x, static_cast<float>(inDouble)); // the case really separates the two rules
}

TEST(TransformPoints, FormsProductsInExtendedPrecision) {
    // x row: 1 + (1 + 2^-23) * (1 - 2^-24) * 2^-24. The exact product lies
    // just above half an ulp of 1, so the sum rounds up to 1 + 2^-23; a
    // product first rounded to float is exactly half an ulp and the sum ties
    // back down to 1.
    TMatrix m = {1, 0, 0, 0, OneMinusHalf * HalfUlpOfOne, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
    TVector p = {1, OnePlusUlp, 0};
    TVector out;
    TransformPoints(1, m, &p, &out);
    EXPECT_EQ(out.x, OnePlusUlp);
    volatile float product = OnePlusUlp * (OneMinusHalf * HalfUlpOfOne);
    EXPECT_EQ(1.0f + product, 1.0f); // float products would give the other answer
}

TEST(CrossProduct, FollowsRightHandedOrder) {
    TVector out;
    CrossProduct({1, 0, 0}, {0, 1, 0}, out);
    ExpectVector(out, 0, 0, 1);
    CrossProduct({0, 1, 0}, {1, 0, 0}, out);
    ExpectVector(out, 0, 0, -1);
    CrossProduct({0, 1, 0}, {0, 0, 1}, out);
    ExpectVector(out, 1, 0, 0);
    CrossProduct({1, 2, 3}, {4, 5, 6}, out);
    ExpectVector(out, -3, 6, -3);
}

TEST(CrossProduct, SubtractsExactProducts) {
    // (1 + 3 * 2^-23)^2 - 1 = 3 * 2^-22 + 9 * 2^-46: its low bits survive in
    // extended precision and round the float up by one ulp; with each product
    // first rounded to float they would be lost.
    const float y = FromBits(0x3F800003);
    const TVector a = {0, y, 1};
    const TVector b = {0, 1, y};
    TVector out;
    CrossProduct(a, b, out);
    EXPECT_EQ(out.x, static_cast<float>(3 * 0x1p-22 + 9 * 0x1p-46));
    EXPECT_NE(out.x, 3 * 0x1p-22f);
    EXPECT_EQ(out.y, 0.0f);
    EXPECT_EQ(out.z, 0.0f);
}

TEST(CrossProduct, OutMayBeAnInput) {
    TVector a = {1, 2, 3};
    const TVector b = {4, 5, 6};
    CrossProduct(a, b, a);
    ExpectVector(a, -3, 6, -3);
    TVector c = {4, 5, 6};
    CrossProduct({1, 2, 3}, c, c);
    ExpectVector(c, -3, 6, -3);
}

TEST(Normalize, ScalesToUnitLength) {
    TVector v = {3, 4, 0};
    Normalize(v);
    EXPECT_EQ(v.x, 0.6f);
    EXPECT_EQ(v.y, 0.8f);
    EXPECT_EQ(v.z, 0.0f);

    TVector w = {-2, 0, 0};
    Normalize(w);
    ExpectVector(w, -1, 0, 0);

    TVector u = {1e-20f, 2e-20f, -2e-20f}; // squares far below float range
    Normalize(u);
    ExpectVector(u, 1.0f / 3, 2.0f / 3, -2.0f / 3);
}

TEST(Normalize, ZeroVectorBecomesNaN) {
    TVector v = {0, 0, 0};
    Normalize(v);
    EXPECT_TRUE(std::isnan(v.x));
    EXPECT_TRUE(std::isnan(v.y));
    EXPECT_TRUE(std::isnan(v.z));
}
