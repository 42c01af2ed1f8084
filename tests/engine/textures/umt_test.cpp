// The UMT reader: raw frames with differences, block-coded frames, the
// staging table and the files it refuses.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "engine/support/files.h"
#include "engine/textures/umt.h"
#include "engine/textures/yuv.h"
#include "tests/support/temp_files.h"

namespace {

std::vector<std::uint8_t> Header(std::uint16_t w, std::uint16_t h, std::uint8_t bpp, std::uint8_t encoding,
                                 std::uint32_t lastFrame) {
    std::vector<std::uint8_t> b(UmtHeaderSize);
    std::memcpy(&b[0], &w, 2);
    std::memcpy(&b[2], &h, 2);
    b[4] = bpp;
    b[5] = encoding;
    std::memcpy(&b[6], &lastFrame, 4);
    return b;
}

void Append(std::vector<std::uint8_t>& to, const std::vector<std::uint8_t>& bytes) {
    to.insert(to.end(), bytes.begin(), bytes.end());
}

// One block: Y samples given per (column, row), chroma, optional A samples.
std::vector<std::uint8_t> Block(std::uint8_t (*luma)(int c, int r), std::uint8_t cb, std::uint8_t cr,
                                std::uint8_t (*alpha)(int c, int r) = nullptr) {
    std::vector<std::uint8_t> b;
    for (int c = 0; c < 8; ++c)
        for (int r = 0; r < 8; ++r)
            b.push_back(luma(c, r));
    b.push_back(cb);
    b.push_back(cr);
    if (alpha)
        for (int c = 0; c < 8; ++c)
            for (int r = 0; r < 8; ++r)
                b.push_back(alpha(c, r));
    return b;
}

// Loads the bytes into the table; "" on success, else the error text.
std::string Load(const std::vector<std::uint8_t>& bytes, const std::string& name = "texture.umt") {
    try {
        LoadUmt(WriteTemp(name, bytes));
    } catch (const TIoError& e) {
        return e.what();
    }
    return "";
}

// The pixel at column x, row y of frame f of image 0.
const std::uint8_t* Pixel(int f, int x, int y) {
    const TUmtImage& image = UmtImages[0];
    return image.Frame(f) + (std::size_t(y) * image.Width + x) * image.BytesPerPixel();
}

} // namespace

TEST(UmtRaw, ReadsRowsAsStored) {
    std::vector<std::uint8_t> file = Header(2, 2, 32, 0, 0);
    Append(file, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16});
    ASSERT_EQ(Load(file), "");
    ASSERT_EQ(UmtImages.size(), 1u);
    const TUmtImage& image = UmtImages[0];
    EXPECT_EQ(image.Width, 2);
    EXPECT_EQ(image.Height, 2);
    EXPECT_EQ(image.BitsPerPixel, 32);
    EXPECT_EQ(image.LastFrame, 0u);
    EXPECT_EQ(image.Pixels, std::vector<std::uint8_t>(file.begin() + 10, file.end()));
    EXPECT_EQ(Pixel(0, 1, 1)[3], 16); // row 1 follows row 0
}

TEST(UmtRaw, LaterFramesAddDifferencesModulo256) {
    // 1 x 2 pixels, 24 bits, three frames: plain, all zero, then a wrap.
    std::vector<std::uint8_t> file = Header(1, 2, 24, 7, 2); // any encoding but 1 is raw
    Append(file, {1, 100, 200, 0, 128, 255});
    Append(file, {0, 0, 0, 0, 0, 0});
    Append(file, {255, 156, 56, 1, 128, 1});
    ASSERT_EQ(Load(file), "");
    const std::vector<std::uint8_t>& p = UmtImages[0].Pixels;
    ASSERT_EQ(p.size(), 18u);
    EXPECT_EQ(std::vector<std::uint8_t>(p.begin(), p.begin() + 6),
              std::vector<std::uint8_t>(p.begin() + 6, p.begin() + 12));
    EXPECT_EQ(std::vector<std::uint8_t>(p.begin() + 12, p.end()),
              (std::vector<std::uint8_t>{0, 0, 0, 1, 0, 0}));
}

TEST(UmtBlockCoded, WalksBlockColumnsAndColumnMajorSamples) {
    // 16 x 8, 24 bits: block column 0 then block column 1, 132 bytes a frame.
    // Neutral chroma makes R = G = B = Y, so every pixel shows its sample.
    std::vector<std::uint8_t> file = Header(16, 8, 24, 1, 0);
    Append(file, Block([](int c, int r) { return std::uint8_t(c * 8 + r); }, 128, 128));
    Append(file, Block([](int c, int r) { return std::uint8_t(100 + c * 8 + r); }, 128, 128));
    ASSERT_EQ(file.size(), 10u + 132u);
    ASSERT_EQ(Load(file), "");
    EXPECT_EQ(file[10 + 1], 1);      // the frame's second byte ...
    EXPECT_EQ(Pixel(0, 0, 1)[0], 1); // ... is column 0, row 1
    EXPECT_EQ(file[10 + 8], 8);      // its ninth byte ...
    EXPECT_EQ(Pixel(0, 1, 0)[0], 8); // ... is column 1, row 0
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 16; ++x) {
            const std::uint8_t expected = std::uint8_t((x >= 8 ? 100 : 0) + (x % 8) * 8 + y);
            const std::uint8_t* p = Pixel(0, x, y);
            ASSERT_TRUE(p[0] == expected && p[1] == expected && p[2] == expected) << x << "," << y;
        }
    }
}

TEST(UmtBlockCoded, ConvertsChromaAndCopiesAlpha) {
    // 8 x 16, 32 bits, two independent frames (no differences between them).
    std::vector<std::uint8_t> file = Header(8, 16, 32, 1, 1);
    auto luma = [](int c, int r) { return std::uint8_t(c * 30 + r); };
    auto alpha = [](int c, int r) { return std::uint8_t(255 - c * 8 - r); };
    Append(file, Block(luma, 128, 255, alpha)); // frame 0, block row 0
    Append(file, Block(luma, 0, 0, alpha));     // frame 0, block row 1
    Append(file, Block(luma, 128, 128, alpha)); // frame 1
    Append(file, Block(luma, 128, 128, alpha));
    ASSERT_EQ(file.size(), 10u + 4 * 130u);
    ASSERT_EQ(Load(file), "");
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 8; ++x) {
            const std::uint8_t ly = luma(x, y % 8);
            std::uint8_t r, g, b;
            YCbCrToRgbExtended(ly, y < 8 ? 128 : 0, y < 8 ? 255 : 0, r, g, b);
            const std::uint8_t* p = Pixel(0, x, y);
            ASSERT_EQ(p[0], r);
            ASSERT_EQ(p[1], g);
            ASSERT_EQ(p[2], b);
            ASSERT_EQ(p[3], alpha(x, y % 8)); // A never passes through the conversion
            ASSERT_EQ(Pixel(1, x, y)[0], ly);
        }
    }
}

TEST(UmtBlockCoded, LeavesUncoveredPixelsZero) {
    // 12 x 10: one whole block; columns 8..11 and rows 8..9 belong to none.
    std::vector<std::uint8_t> file = Header(12, 10, 24, 1, 0);
    Append(file, Block([](int, int) { return std::uint8_t(200); }, 128, 128));
    ASSERT_EQ(Load(file), "");
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 12; ++x)
            ASSERT_EQ(Pixel(0, x, y)[1], x < 8 && y < 8 ? 200 : 0) << x << "," << y;
}

TEST(UmtTable, KeepsLoadOrderUntilFreed) {
    std::vector<std::uint8_t> a = Header(1, 1, 24, 0, 0);
    Append(a, {1, 2, 3});
    std::vector<std::uint8_t> b = Header(1, 1, 32, 0, 0);
    Append(b, {4, 5, 6, 7});
    ASSERT_EQ(Load(a, "a.umt"), "");
    ASSERT_EQ(Load(b, "b.umt"), "");
    ASSERT_EQ(UmtImages.size(), 2u);
    EXPECT_EQ(UmtImages[0].BitsPerPixel, 24);
    EXPECT_EQ(UmtImages[1].Pixels[3], 7);
    FreeUmtImages();
    EXPECT_TRUE(UmtImages.empty());
    FreeUmtImages(); // an empty table stays empty
    EXPECT_TRUE(UmtImages.empty());
    ASSERT_EQ(Load(b, "b.umt"), "");
    EXPECT_EQ(UmtImages[0].BitsPerPixel, 32);
}

TEST(UmtErrors, ShortFilesRaiseAndLeaveTheTableAsItWas) {
    const std::string shortRead = "Read beyond end of file: " + TempPath("texture.umt");
    std::vector<std::uint8_t> good = Header(1, 1, 24, 0, 0);
    Append(good, {9, 9, 9});
    ASSERT_EQ(Load(good, "good.umt"), "");

    std::vector<std::uint8_t> raw = Header(2, 1, 24, 0, 1);
    Append(raw, {1, 2, 3, 4, 5, 6, 1, 1, 1, 1, 1, 1});
    std::vector<std::uint8_t> block = Header(8, 8, 32, 1, 1);
    Append(block,
           Block([](int, int) { return std::uint8_t(1); }, 1, 2, [](int, int) { return std::uint8_t(3); }));
    Append(block,
           Block([](int, int) { return std::uint8_t(1); }, 1, 2, [](int, int) { return std::uint8_t(3); }));
    for (const std::vector<std::uint8_t>* file : {&raw, &block}) {
        for (std::size_t n = 0; n < file->size(); ++n) {
            SCOPED_TRACE(n);
            EXPECT_EQ(Load(std::vector<std::uint8_t>(file->begin(), file->begin() + n)), shortRead);
            ASSERT_EQ(UmtImages.size(), 1u);
        }
        EXPECT_EQ(Load(*file), "");
        FreeUmtImages();
        ASSERT_EQ(Load(good, "good.umt"), "");
    }
    // Frame counts far beyond the file raise before the pixels are allocated.
    EXPECT_EQ(Load(Header(64, 64, 32, 0, 4000)), shortRead);
    EXPECT_EQ(Load(Header(64, 64, 24, 1, 4000)), shortRead);
    EXPECT_EQ(UmtImages.size(), 1u);
}

TEST(UmtErrors, RefusesImagesTheEngineCannotUse) {
    const std::string path = TempPath("bad.umt");
    auto refusal = [&](const std::vector<std::uint8_t>& bytes) {
        WriteTemp("bad.umt", bytes);
        try {
            LoadUmt(path);
        } catch (const TIoError& e) {
            return std::string(e.what());
        }
        return std::string();
    };
    std::vector<std::uint8_t> sixteen = Header(1, 1, 16, 0, 0);
    Append(sixteen, {1, 2});
    EXPECT_EQ(refusal(sixteen), path + ": 16 bits per pixel (24 or 32 expected)");
    EXPECT_EQ(refusal(Header(0, 5, 24, 0, 0)), path + ": empty image (0 x 5)");
    EXPECT_EQ(refusal(Header(4, 8, 24, 1, 0)), path + ": block-coded image smaller than 8 x 8");
    EXPECT_EQ(refusal(Header(8, 7, 32, 1, 0)), path + ": block-coded image smaller than 8 x 8");
    // Sizes whose product overflows 32-bit arithmetic, or passes 64 MiB.
    EXPECT_EQ(refusal(Header(65535, 65535, 32, 0, 0)), path + ": image too large");
    EXPECT_EQ(refusal(Header(1, 1, 24, 0, 0xFFFFFFFF)), path + ": image too large");
    EXPECT_EQ(refusal(Header(4096, 4096, 32, 1, 1)), path + ": image too large");
    // 2^15 x 2^15 x 4 bytes x 2^32 frames is 2^64: 0 in 64-bit arithmetic.
    EXPECT_EQ(refusal(Header(32768, 32768, 32, 0, 0xFFFFFFFF)), path + ": image too large");
    EXPECT_TRUE(UmtImages.empty());
}

TEST(UmtErrors, AcceptsTheLargestImage) {
    // Exactly MaxUmtPixelBytes: 4096 x 4096 x 4.
    std::vector<std::uint8_t> file = Header(4096, 4096, 32, 0, 0);
    file.resize(file.size() + MaxUmtPixelBytes, 0x5A);
    const TUmtImage image = DecodeUmt(file.data(), file.size(), "largest.umt");
    EXPECT_EQ(image.Pixels.size(), MaxUmtPixelBytes);
    EXPECT_EQ(image.Pixels.back(), 0x5A);
}
