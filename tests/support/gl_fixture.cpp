#include "tests/support/gl_fixture.h"

#include <png.h>

#include <cstdio>
#include <cstdlib>

void OffscreenGlTest::SetUp() {
    surface = platform::CreateOffscreenSurface(width, height);
    context = platform::GlCreateContext(surface);
    ASSERT_NE(context, nullptr) << "OSMesa could not create a context";
}

void OffscreenGlTest::TearDown() {
    platform::GlRelease(surface);
    platform::GlDeleteContext(context);
    platform::DestroyOffscreenSurface(surface);
}

void OffscreenGlTest::MakeCurrent() { ASSERT_TRUE(platform::GlAcquire(surface, context)); }

void OffscreenGlTest::Release() { platform::GlRelease(surface); }

std::array<int, 4> OffscreenGlTest::ReadPixel(int x, int y) const {
    std::uint8_t p[4] = {};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return {p[0], p[1], p[2], p[3]};
}

std::vector<std::uint8_t> OffscreenGlTest::ReadFrame() const {
    int w = platform::OffscreenWidth(surface), h = platform::OffscreenHeight(surface);
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(w) * h * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

void WritePngRgba(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgba) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(f);
        return;
    }
    png_init_io(png, f);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = height - 1; y >= 0; --y)
        png_write_row(png, const_cast<png_bytep>(rgba.data() + static_cast<std::size_t>(y) * width * 4));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
}

double DifferingShare(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b, int tolerance) {
    if (a.size() != b.size() || a.empty()) return 1.0;
    std::size_t differing = 0;
    for (std::size_t i = 0; i < a.size(); i += 4) {
        for (int c = 0; c < 4; ++c) {
            if (std::abs(int(a[i + c]) - int(b[i + c])) > tolerance) {
                ++differing;
                break;
            }
        }
    }
    return double(differing) / double(a.size() / 4);
}
