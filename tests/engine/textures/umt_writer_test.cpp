// Writing UMT images: raw frames as differences, block coding through the
// JFIF conversion, and what the reader makes of both.
#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>

#include "engine/textures/umt.h"
#include "engine/textures/umt_writer.h"

namespace {

TUmtImage MakeImage(std::uint16_t w, std::uint16_t h, std::uint8_t bpp, std::uint32_t lastFrame) {
    TUmtImage image;
    image.Width = w;
    image.Height = h;
    image.BitsPerPixel = bpp;
    image.LastFrame = lastFrame;
    image.Pixels.resize(image.FrameSize() * image.FrameTotal());
    return image;
}

TUmtImage Decode(const std::vector<std::uint8_t>& bytes) {
    return DecodeUmt(bytes.data(), bytes.size(), "t.umt");
}

} // namespace

TEST(UmtWriter, RawFramesAreStoredAsDifferences) {
    TUmtImage image = MakeImage(3, 2, 32, 2);
    std::srand(7);
    for (std::uint8_t& b : image.Pixels)
        b = static_cast<std::uint8_t>(std::rand());
    // Frame 2 repeats frame 1: its stored bytes are all zero.
    std::copy(image.Frame(1), image.Frame(1) + image.FrameSize(),
              image.Pixels.begin() + 2 * image.FrameSize());
    const std::vector<std::uint8_t> bytes = WriteUmt(image, false);
    ASSERT_EQ(bytes.size(), 10u + 3 * 24u);
    EXPECT_EQ(bytes[4], 32);
    EXPECT_EQ(bytes[5], 0);
    EXPECT_EQ(bytes[6], 2);
    EXPECT_TRUE(std::equal(bytes.begin() + 10, bytes.begin() + 34, image.Pixels.begin()));
    EXPECT_EQ(bytes[34], static_cast<std::uint8_t>(image.Pixels[24] - image.Pixels[0]));
    for (std::size_t i = 58; i < bytes.size(); ++i)
        ASSERT_EQ(bytes[i], 0) << i;
    EXPECT_EQ(Decode(bytes).Pixels, image.Pixels);
}

TEST(UmtWriter, BlockCodedGreyIsExactAndAlphaKept) {
    TUmtImage image = MakeImage(16, 24, 32, 1);
    for (std::size_t p = 0; p < image.Pixels.size() / 4; ++p) {
        const std::uint8_t grey = static_cast<std::uint8_t>(p * 7);
        image.Pixels[p * 4 + 0] = image.Pixels[p * 4 + 1] = image.Pixels[p * 4 + 2] = grey;
        image.Pixels[p * 4 + 3] = static_cast<std::uint8_t>(p * 13 + 1);
    }
    const std::vector<std::uint8_t> bytes = WriteUmt(image, true);
    EXPECT_EQ(bytes.size(), 10u + 2 * 6 * 130u);
    EXPECT_EQ(bytes[5], 1);
    const TUmtImage back = Decode(bytes);
    EXPECT_EQ(back.Pixels, image.Pixels);
}

TEST(UmtWriter, BlockCodedColourComesBackClose) {
    // Each 8 x 8 block one colour (block coding shares chroma per block);
    // luma varies inside. The round trip through 8-bit YCbCr stays within a
    // few levels.
    TUmtImage image = MakeImage(24, 16, 24, 0);
    const std::uint8_t colours[6][3] = {{200, 40, 30}, {10, 220, 90}, {30, 60, 250},
                                        {255, 255, 0}, {128, 0, 128}, {90, 90, 90}};
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 24; ++x) {
            const std::uint8_t* c = colours[(y / 8) * 3 + x / 8];
            const int shade = (x % 8 + y % 8) % 3; // a little luma detail
            for (int k = 0; k < 3; ++k) {
                int v = c[k] + shade;
                image.Pixels[(y * 24 + x) * 3 + k] = static_cast<std::uint8_t>(v > 255 ? 255 : v);
            }
        }
    }
    const TUmtImage back = Decode(WriteUmt(image, true));
    ASSERT_EQ(back.Pixels.size(), image.Pixels.size());
    int worst = 0;
    for (std::size_t i = 0; i < image.Pixels.size(); ++i)
        worst = std::max(worst, std::abs(int(back.Pixels[i]) - int(image.Pixels[i])));
    EXPECT_LE(worst, 4);
}

TEST(UmtWriter, RefusesImagesTheReaderWouldNotTake) {
    EXPECT_THROW(WriteUmt(MakeImage(8, 8, 16, 0), false), std::invalid_argument);
    EXPECT_THROW(WriteUmt(MakeImage(0, 8, 24, 0), false), std::invalid_argument);
    EXPECT_THROW(WriteUmt(MakeImage(12, 8, 24, 0), true), std::invalid_argument);
    TUmtImage shortPixels = MakeImage(2, 2, 24, 1);
    shortPixels.Pixels.pop_back();
    EXPECT_THROW(WriteUmt(shortPixels, false), std::invalid_argument);
    TUmtImage huge = MakeImage(1, 1, 24, 0);
    huge.LastFrame = 0xFFFFFFFF;
    EXPECT_THROW(WriteUmt(huge, false), std::invalid_argument);
    // 12 x 8 is fine raw.
    EXPECT_EQ(WriteUmt(MakeImage(12, 8, 24, 0), false).size(), 10u + 12 * 8 * 3);
}
