// The program's floating-point set-up: after MaskFloatingPointExceptions no
// division by zero or invalid operation traps, whatever the state before, on
// SSE (float and double) and x87 (long double) alike.
#include "platform/platform.h"

#include "engine/support/matmath.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>

namespace {

// Traps as a strict environment (or a debugger, or a library) might have
// left them; with these enabled the divisions below raise SIGFPE. The sticky
// flags are cleared first: an x87 flag already set when its trap is enabled
// would fire at the very next x87 instruction, before anything is masked.
void EnableTraps() {
    ASSERT_EQ(std::feclearexcept(FE_ALL_EXCEPT), 0);
    ASSERT_NE(feenableexcept(FE_DIVBYZERO | FE_INVALID), -1);
}

} // namespace

TEST(MaskFloatingPointExceptions, DivisionsGiveInfinityAndNaN) {
    EnableTraps();
    platform::MaskFloatingPointExceptions();
    EXPECT_EQ(fegetexcept() & (FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW | FE_UNDERFLOW | FE_INEXACT), 0);

    volatile float one = 1.0f, zero = 0.0f;
    const float inf = one / zero;
    EXPECT_TRUE(std::isinf(inf));
    EXPECT_GT(inf, 0.0f);
    EXPECT_TRUE(std::isnan(zero / zero));

    volatile double dOne = 1.0, dZero = 0.0;
    EXPECT_TRUE(std::isinf(-dOne / dZero));
    EXPECT_TRUE(std::isnan(std::sqrt(-dOne)));

    volatile long double xOne = 1.0L, xZero = 0.0L; // x87
    EXPECT_TRUE(std::isinf(xOne / xZero));
    EXPECT_TRUE(std::isnan(xZero / xZero));
}

TEST(MaskFloatingPointExceptions, KeepsRoundToNearest) {
    std::fesetround(FE_TOWARDZERO);
    platform::MaskFloatingPointExceptions();
    EXPECT_EQ(std::fegetround(), FE_TONEAREST);
    volatile float third = 1.0f / 3.0f;
    EXPECT_EQ(third, 0x1.555556p-2f); // rounded up: to nearest, not toward zero
}

TEST(MaskFloatingPointExceptions, ZeroVectorNormalizesToNaN) {
    // The engine's one planned 0/0: extended precision on the x87.
    EnableTraps();
    platform::MaskFloatingPointExceptions();
    TVector v = {0, 0, 0};
    Normalize(v);
    EXPECT_TRUE(std::isnan(v.x));
    EXPECT_TRUE(std::isnan(v.y));
    EXPECT_TRUE(std::isnan(v.z));
}
