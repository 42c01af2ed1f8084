// The blur routines and the screen filters' byte work, byte for byte.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "engine/render/blur.h"

namespace {
using Bytes = std::vector<std::uint8_t>;

// A 3 x 3 RGB image of scattered byte values: every byte differs and no
// linear pattern lets a wrong neighbour give the right mean.
Bytes Counting3x3() {
    Bytes image(27);
    for (int i = 0; i < 27; ++i)
        image[i] = static_cast<std::uint8_t>((i * i * 37 + 11) % 251);
    return image;
}

// The centre pixel's three bytes are 12..14 of a 3 x 3 RGB image (stride 9).
unsigned RingAt(const Bytes& s, int i) {
    return (s[i - 1] + s[i + 1] + s[i - 10] + s[i - 9] + s[i - 8] + s[i + 8] + s[i + 9] + s[i + 10]) >> 3;
}
} // namespace

TEST(RingBlur, ChangesOnlyTheCentrePixelOfAThreeByThreeImage) {
    const Bytes source = Counting3x3();
    Bytes out(27, 0xEE);
    RingBlur(3, 3, 3, source.data(), out.data());
    for (int i = 0; i < 27; ++i) {
        if (i >= 12 && i <= 14) continue;
        EXPECT_EQ(out[i], source[i]) << "byte " << i;
    }
    // Red byte 12: left neighbour is byte 11 (the left pixel's blue), right
    // neighbour byte 13 (the centre's green); rows above and below at +-9.
    EXPECT_EQ(out[12], (source[11] + source[13] + source[2] + source[3] + source[4] + source[20] +
                        source[21] + source[22]) >>
                           3);
    EXPECT_EQ(out[13], RingAt(source, 13));
    EXPECT_EQ(out[14], RingAt(source, 14));
    EXPECT_NE(out[12], source[12]);
}

TEST(RingBlur, LeavesTheByteItselfOutOfTheSum) {
    Bytes source(27, 0);
    source[13] = 255; // only the centre green is bright
    Bytes out(27);
    RingBlur(3, 3, 3, source.data(), out.data());
    EXPECT_EQ(out[13], 0);
    EXPECT_EQ(out[12], 255 >> 3); // its right neighbour
    EXPECT_EQ(out[14], 255 >> 3); // its left neighbour
}

TEST(RingBlur, UniformImagesPassUnchanged) {
    for (std::uint16_t bpp : {1, 3, 4}) {
        const Bytes source(std::size_t(17) * 9 * bpp, 200);
        Bytes out(source.size(), 0);
        RingBlur(17, 9, bpp, source.data(), out.data());
        EXPECT_EQ(out, source) << bpp << " bytes per pixel";
        DiagonalBlur(17, 9, bpp, source.data(), out.data());
        EXPECT_EQ(out, source) << bpp << " bytes per pixel";
    }
}

TEST(RingBlur, CopiesEveryBorderAndBlursTheInsideOfALargerImage) {
    for (int bpp : {3, 4}) {
        const int w = 7, h = 5, stride = w * bpp;
        Bytes source(w * h * bpp);
        for (std::size_t i = 0; i < source.size(); ++i)
            source[i] = static_cast<std::uint8_t>((i * 73 + 11) % 251); // no linear pattern
        Bytes ring(source.size(), 0xEE), diagonal(source.size(), 0xEE);
        RingBlur(w, h, bpp, source.data(), ring.data());
        DiagonalBlur(w, h, bpp, source.data(), diagonal.data());
        auto at = [&](int r, int i) { return unsigned(source[r * stride + i]); };
        int changed = 0;
        for (int r = 0; r < h; ++r)
            for (int i = 0; i < stride; ++i) {
                const int k = r * stride + i;
                if (r == 0 || r == h - 1 || i < bpp || i >= stride - bpp) {
                    EXPECT_EQ(ring[k], source[k]) << bpp << ": " << r << "," << i;
                    EXPECT_EQ(diagonal[k], source[k]) << bpp << ": " << r << "," << i;
                    continue;
                }
                const unsigned ringSum = at(r, i - 1) + at(r, i + 1) + at(r - 1, i - 1) + at(r - 1, i) +
                                         at(r - 1, i + 1) + at(r + 1, i - 1) + at(r + 1, i) +
                                         at(r + 1, i + 1);
                const unsigned diagonalSum =
                    at(r - 1, i - 1) + at(r - 1, i + 1) + at(r + 1, i - 1) + at(r + 1, i + 1);
                EXPECT_EQ(ring[k], ringSum >> 3) << bpp << ": " << r << "," << i;
                EXPECT_EQ(diagonal[k], diagonalSum >> 2) << bpp << ": " << r << "," << i;
                changed += ring[k] != source[k];
            }
        EXPECT_GT(changed, 0);
    }
}

TEST(RingBlur, TooSmallImagesAreCopiedWhole) {
    const Bytes source = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    Bytes out(source.size(), 0);
    RingBlur(2, 2, 3, source.data(), out.data());
    EXPECT_EQ(out, source);
    RingBlur(4, 1, 3, source.data(), out.data());
    EXPECT_EQ(out, source);
}

TEST(ScreenFilters, GreyAndNegativeOfOnePixel) {
    Bytes grey = {200, 100, 40}, negative = grey, inverted = grey;
    GreyScreen(grey.data(), 1);
    NegativeScreen(negative.data(), 1);
    InvertedGreyScreen(inverted.data(), 1);
    EXPECT_EQ(grey, (Bytes{145, 145, 145}));
    EXPECT_EQ(negative, (Bytes{55, 155, 215}));
    EXPECT_EQ(inverted, (Bytes{110, 110, 110}));
}

TEST(ScreenFilters, BrightGreyIsCappedAtWhite) {
    // (255 + 127 + 255) / 2 = 318 and (250 + 125 + 250) / 2 = 312: both white, not wrapped.
    Bytes pixels = {255, 255, 255, 250, 250, 250, 0, 0, 0, 1, 3, 1};
    Bytes inverted = pixels;
    GreyScreen(pixels.data(), 4);
    EXPECT_EQ(pixels, (Bytes{255, 255, 255, 255, 255, 255, 0, 0, 0, 1, 1, 1}));
    InvertedGreyScreen(inverted.data(), 4);
    EXPECT_EQ(inverted, (Bytes{0, 0, 0, 0, 0, 0, 255, 255, 255, 254, 254, 254}));
}
