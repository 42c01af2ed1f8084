// The preview logo's bitmap file: the formats it is drawn in, and files
// that are broken or claim more than they hold.
#include "shell/logo.h"

#include "engine/support/errors.h"
#include "tests/shell/shell_fixture.h"

namespace {
void Put16(std::string& b, std::size_t at, std::uint32_t v) {
    b[at] = static_cast<char>(v & 0xFF);
    b[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& b, std::size_t at, std::uint32_t v) {
    Put16(b, at, v & 0xFFFF);
    Put16(b, at + 2, v >> 16);
}

// A bitmap file with a 40-byte header, the colour table and rows given.
std::string Bitmap(std::int32_t width, std::int32_t height, int bits, const std::string& palette,
                   const std::string& rows, std::uint32_t compression = 0) {
    std::string b(54, '\0');
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 10, static_cast<std::uint32_t>(54 + palette.size()));
    Put32(b, 14, 40);
    Put32(b, 18, static_cast<std::uint32_t>(width));
    Put32(b, 22, static_cast<std::uint32_t>(height));
    Put16(b, 26, 1);
    Put16(b, 28, static_cast<std::uint32_t>(bits));
    Put32(b, 30, compression);
    Put32(b, 46, static_cast<std::uint32_t>(palette.size() / 4));
    Put32(b, 2, static_cast<std::uint32_t>(b.size() + palette.size() + rows.size()));
    return b + palette + rows;
}

std::string Bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values)
        s.push_back(static_cast<char>(v));
    return s;
}

TEST(PreviewLogo, TwentyFourBitRowsBottomUpWithPadding) {
    // 3 x 2: rows of 9 bytes padded to 12, the bottom row first.
    std::string bottom = Bytes({0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 0});
    std::string top = Bytes({1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0});
    TLogo logo = DecodeBitmap(Bitmap(3, 2, 24, "", bottom + top));
    ASSERT_EQ(logo.Width, 3);
    ASSERT_EQ(logo.Height, 2);
    EXPECT_EQ(logo.Pixels,
              (std::vector<std::uint32_t>{0x030201, 0x060504, 0x090807, 0xFF0000, 0x00FF00, 0x0000FF}));
}

TEST(PreviewLogo, ThirtyTwoBitTopDown) {
    std::string rows = Bytes({0x10, 0x20, 0x30, 0xFF, 0x40, 0x50, 0x60, 0x00});
    TLogo logo = DecodeBitmap(Bitmap(1, -2, 32, "", rows));
    EXPECT_EQ(logo.Pixels, (std::vector<std::uint32_t>{0x302010, 0x605040}));
}

TEST(PreviewLogo, PalettedFormats) {
    std::string palette = Bytes({0, 0, 0, 0, 255, 255, 255, 0, 0, 0, 200, 0});
    // 8 bits: indices 2, 1, 0 and a fourth beyond the table, which is black.
    TLogo eight = DecodeBitmap(Bitmap(4, 1, 8, palette, Bytes({2, 1, 0, 9})));
    EXPECT_EQ(eight.Pixels, (std::vector<std::uint32_t>{0xC80000, 0xFFFFFF, 0, 0}));
    // 4 bits: high nibble first.
    TLogo four = DecodeBitmap(Bitmap(3, 1, 4, palette, Bytes({0x21, 0x00, 0, 0})));
    EXPECT_EQ(four.Pixels, (std::vector<std::uint32_t>{0xC80000, 0xFFFFFF, 0}));
    // 1 bit: the highest bit first.
    TLogo one = DecodeBitmap(Bitmap(10, 1, 1, palette.substr(0, 8), Bytes({0xA0, 0x40, 0, 0})));
    EXPECT_EQ(one.Pixels, (std::vector<std::uint32_t>{0xFFFFFF, 0, 0xFFFFFF, 0, 0, 0, 0, 0, 0, 0xFFFFFF}));
}

TEST(PreviewLogo, SixteenBitFiveFiveFive) {
    // 0x7C00 is full red, 0x001F full blue.
    TLogo logo = DecodeBitmap(Bitmap(2, 1, 16, "", Bytes({0x00, 0x7C, 0x1F, 0x00})));
    EXPECT_EQ(logo.Pixels, (std::vector<std::uint32_t>{0xFF0000, 0x0000FF}));
}

TEST(PreviewLogo, BrokenFilesAreNotValidBitmaps) {
    std::string good = Bitmap(2, 2, 24, "", std::string(16, '\0'));
    auto rejects = [](const std::string& bytes, const char* why) {
        try {
            DecodeBitmap(bytes);
            ADD_FAILURE() << "accepted: " << why;
        } catch (const TGraphicError& e) {
            EXPECT_STREQ(e.what(), "Bitmap image is not valid") << why;
        }
    };
    EXPECT_NO_THROW(DecodeBitmap(good));
    rejects(good.substr(0, good.size() - 1), "a row cut short");
    rejects(good.substr(0, 30), "a header cut short");
    rejects("PK" + good.substr(2), "not a bitmap");
    rejects(Bitmap(2, 2, 24, "", std::string(16, '\0'), 1), "run-length compressed");
    rejects(Bitmap(2, 2, 7, "", std::string(16, '\0')), "7 bits per pixel");
    rejects(Bitmap(0, 2, 24, "", ""), "no width");
    // Sizes that would need gigabytes: refused before anything is allocated.
    rejects(Bitmap(100000, 100000, 32, "", std::string(64, '\0')), "beyond the side limit");
    rejects(Bitmap(8000, 8000, 32, "", std::string(64, '\0')), "rows not in the file");
    rejects(Bitmap(-2147483647 - 1, 1, 24, "", ""), "negative width");
    std::string farOffset = good;
    Put32(farOffset, 10, 0xFFFFFFF0u);
    rejects(farOffset, "rows beyond the end");
    rejects(Bitmap(4, 1, 8, std::string(4 * 300, '\0'), "").substr(0, 200), "colour table cut short");
}

class PreviewLogoFile : public ShellTest {};

TEST_F(PreviewLogoFile, MissingFileIsFileNotFound) {
    try {
        LoadLogo(root + "/pictures/logo.bmp");
        FAIL() << "no error";
    } catch (const TIoError& e) {
        EXPECT_STREQ(e.what(), "File not found");
    }
    WriteText(root + "/logo.bmp", Bitmap(1, 1, 24, "", Bytes({1, 2, 3, 0})));
    EXPECT_EQ(LoadLogo(root + "/logo.bmp").Pixels, std::vector<std::uint32_t>{0x030201});
    // With the Linux program's rules, a file that is no bitmap is named.
    IoErrorsNameFiles = true;
    WriteText(root + "/logo.bmp", "BM");
    try {
        LoadLogo(root + "/logo.bmp");
        FAIL() << "no error";
    } catch (const TGraphicError& e) {
        EXPECT_EQ(std::string(e.what()), "Bitmap image is not valid: " + root + "/logo.bmp");
    }
}
} // namespace
