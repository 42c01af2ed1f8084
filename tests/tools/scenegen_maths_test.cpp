// The generator's own elementary functions against the C library's: they
// must agree to within a few units in a double's last place everywhere the
// generator calls them, in every quadrant and across every reduction step.
#include <gtest/gtest.h>

#include <cmath>

#include "tools/scenegen/maths.h"

using namespace scenegen;

namespace {

// True when `got` is within `ulps` units in the last place of `want` (or,
// near zero, within `ulps` of a double's epsilon).
::testing::AssertionResult Near(double got, double want, double ulps) {
    const double scale = std::max(std::fabs(want), 1.0);
    if (std::fabs(got - want) <= ulps * 2.220446049250313e-16 * scale) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << got << " where " << want << " (off by " << got - want << ")";
}

} // namespace

TEST(SceneGeneratorMaths, SinCosAndTanMatchInEveryQuadrant) {
    for (double x = -2000.0; x <= 2000.0; x += 0.01237) {
        ASSERT_TRUE(Near(Sin(x), std::sin(x), 4.0)) << "sin " << x;
        ASSERT_TRUE(Near(Cos(x), std::cos(x), 4.0)) << "cos " << x;
        if (std::fabs(std::cos(x)) > 0.01) {
            ASSERT_TRUE(Near(Tan(x), std::tan(x), 400.0)) << "tan " << x;
        }
    }
    // A sound's phase runs to hundreds of thousands of radians.
    for (double x = 1e5; x < 1e6; x += 977.31)
        ASSERT_TRUE(Near(Sin(x), std::sin(x), 8.0)) << "sin " << x;
}

TEST(SceneGeneratorMaths, ExpLogAndPowMatch) {
    for (double x = -700.0; x <= 700.0; x += 0.0917) {
        const double want = std::exp(x);
        ASSERT_LE(std::fabs(Exp(x) - want), 4e-16 * want) << "exp " << x;
    }
    for (double x = 1e-30; x < 1e30; x *= 1.0371)
        ASSERT_TRUE(Near(Log(x), std::log(x), 4.0)) << "log " << x;
    for (double x : {0.001, 0.3, 0.5, 0.99, 1.0, 1.7, 12.0, 1000.0})
        for (double y : {-3.0, -0.45, 0.25, 0.5, 1.3, 2.0, 6.0, 24.0}) {
            const double want = std::pow(x, y);
            ASSERT_LE(std::fabs(Pow(x, y) - want), 1e-14 * want) << x << "^" << y;
        }
    EXPECT_EQ(Pow(0.0, 1.6), 0.0);
    EXPECT_TRUE(Near(Pow(-2.0, 3.0), -8.0, 4.0));
}

TEST(SceneGeneratorMaths, Atan2AndAsinMatchAllRoundTheCircle) {
    for (int i = 0; i < 3600; ++i) {
        const double a = -PiD + 2.0 * PiD * (i + 0.37) / 3600.0;
        for (double r : {1e-3, 1.0, 250.0}) {
            const double x = r * std::cos(a), y = r * std::sin(a);
            ASSERT_TRUE(Near(Atan2(y, x), std::atan2(y, x), 4.0)) << x << ", " << y;
        }
    }
    // On the axes, signed zeros included.
    for (double y : {-1.0, -0.0, 0.0, 2.0})
        for (double x : {-3.0, -0.0, 0.0, 3.0})
            if (x == 0.0 || y == 0.0) {
                EXPECT_EQ(Atan2(y, x), std::atan2(y, x)) << y << ", " << x;
            }
    for (double x = -1.0; x <= 1.0; x += 0.000731)
        ASSERT_TRUE(Near(Asin(x), std::asin(x), 8.0)) << "asin " << x;
    for (double x = -50.0; x <= 50.0; x += 0.0191)
        ASSERT_TRUE(Near(Atan(x), std::atan(x), 4.0)) << "atan " << x;
}

TEST(SceneGeneratorMaths, FloatVersionsRoundTheExactValueToWithinAUnit) {
    // Within one unit in a float's last place of the exact value (the
    // library's double result stands for it).
    auto within = [](float got, double want) {
        const float lo = std::nextafter(float(want), -INFINITY), hi = std::nextafter(float(want), INFINITY);
        return got >= lo && got <= hi;
    };
    for (float x = -700.0f; x <= 700.0f; x += 0.0137f) {
        ASSERT_TRUE(within(Sin(x), std::sin(double(x)))) << "sin " << x;
        ASSERT_TRUE(within(Cos(x), std::cos(double(x)))) << "cos " << x;
    }
    for (float x = -80.0f; x <= 80.0f; x += 0.0093f)
        ASSERT_TRUE(within(Exp(x), std::exp(double(x)))) << "exp " << x;
    for (float x = 1e-6f; x < 1e6f; x *= 1.0123f) {
        ASSERT_TRUE(within(Log(x), std::log(double(x)))) << "log " << x;
        ASSERT_TRUE(within(Pow(x, 1.3f), std::pow(double(x), double(1.3f)))) << x << "^1.3";
    }
    for (int i = 0; i < 7200; ++i) {
        const double a = -PiD + 2.0 * PiD * (i + 0.37) / 7200.0;
        const float x = float(250.0 * std::cos(a)), y = float(250.0 * std::sin(a));
        ASSERT_TRUE(within(Atan2(y, x), std::atan2(double(y), double(x)))) << x << ", " << y;
    }
}
