// YCbCr to RGB: the table-driven conversion against the extended-precision
// computation it stands for, over every input.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "engine/textures/yuv.h"

namespace {

// The conversion written out once more, independently of the engine's code:
// JFIF coefficients in long double, clamp high then low, round ties to even.
std::uint8_t Reference(long double v) {
    if (v > 255.0L) v = 255.0L;
    if (v < 0.0L) v = 0.0L;
    long double whole = std::floor(v);
    long double rest = v - whole;
    if (rest > 0.5L || (rest == 0.5L && std::fmod(whole, 2.0L) != 0.0L)) whole += 1.0L;
    return static_cast<std::uint8_t>(whole);
}

struct TRgb {
    int R, G, B;
    bool operator==(const TRgb& o) const { return R == o.R && G == o.G && B == o.B; }
};

TRgb Convert(int y, int cb, int cr) {
    std::uint8_t r, g, b;
    YCbCrToRgb(static_cast<std::uint8_t>(y), static_cast<std::uint8_t>(cb), static_cast<std::uint8_t>(cr), r,
               g, b);
    return {r, g, b};
}

} // namespace

TEST(YCbCrToRgb, MatchesExtendedPrecisionForAllInputs) {
    // Red and blue depend on one chroma value each: their references are
    // computed once per (chroma, Y) and compared for every triple.
    static std::uint8_t red[256][256], blue[256][256];
    for (int c = 0; c < 256; ++c) {
        for (int y = 0; y < 256; ++y) {
            red[c][y] = Reference(y + 1.402L * (c - 128));
            blue[c][y] = Reference(y + 1.772L * (c - 128));
        }
    }
    long mismatches = 0;
    for (int cb = 0; cb < 256; ++cb) {
        for (int cr = 0; cr < 256; ++cr) {
            const long double cbd = cb - 128, crd = cr - 128;
            const TChromaRows rows = ChromaRows(static_cast<std::uint8_t>(cb), static_cast<std::uint8_t>(cr));
            for (int y = 0; y < 256; ++y) {
                const std::uint8_t g = Reference((y - 0.34414L * cbd) - 0.71414L * crd);
                if (rows.R[y] != red[cr][y] || rows.G[y] != g || rows.B[y] != blue[cb][y]) {
                    if (++mismatches <= 5)
                        ADD_FAILURE()
                            << "Y " << y << " Cb " << cb << " Cr " << cr << ": got " << int(rows.R[y]) << " "
                            << int(rows.G[y]) << " " << int(rows.B[y]) << ", want " << int(red[cr][y]) << " "
                            << int(g) << " " << int(blue[cb][y]);
                }
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(YCbCrToRgb, KnownValues) {
    EXPECT_EQ(Convert(128, 128, 128), (TRgb{128, 128, 128}));
    EXPECT_EQ(Convert(255, 128, 255), (TRgb{255, 164, 255})); // R clamped from 433.054, G from 164.304
    EXPECT_EQ(Convert(0, 0, 0), (TRgb{0, 135, 0}));           // G from 135.45984, R and B clamped from below
    for (int y : {0, 1, 77, 254, 255})
        EXPECT_EQ(Convert(y, 128, 128), (TRgb{y, y, y}));
}

TEST(YCbCrToRgb, RoundsHalvesToEven) {
    // Cb' = 125: 1.772 x 125 = 221.5, exactly half-way in extended precision
    // too, so Y = 0 rounds 221.5 up to 222, Y = 1 rounds 222.5 down to 222.
    EXPECT_EQ(Convert(0, 128 + 125, 128).B, 222);
    EXPECT_EQ(Convert(1, 128 + 125, 128).B, 222);
    EXPECT_EQ(Convert(2, 128 + 125, 128).B, 224);
    // Cr' = -125 on red: 200 - 175.25 = 24.75.
    EXPECT_EQ(Convert(200, 128, 128 - 125).R, 25);
    // The scalar conversion and the per-block rows are the same function.
    std::uint8_t r, g, b;
    YCbCrToRgbExtended(90, 20, 230, r, g, b);
    EXPECT_EQ(Convert(90, 20, 230), (TRgb{r, g, b}));
}
