#include "tools/snapshot/png_file.h"

#include <png.h>

#include <cstdio>

bool WritePngFromBottomUp(const std::string& path, int width, int height,
                          const std::vector<std::uint8_t>& rgba) {
    if (width <= 0 || height <= 0 || rgba.size() < std::size_t(width) * std::size_t(height) * 4u)
        return false;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    std::vector<png_byte> row(std::size_t(width) * 3u);
    bool ok = png && info;
    if (ok && setjmp(png_jmpbuf(png)))
        ok = false;
    else if (ok) {
        png_init_io(png, file);
        png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_RGB,
                     PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (int y = height - 1; y >= 0; --y) {
            const std::uint8_t* src = rgba.data() + std::size_t(y) * std::size_t(width) * 4u;
            for (int x = 0; x < width; ++x)
                for (int c = 0; c < 3; ++c)
                    row[std::size_t(x) * 3u + std::size_t(c)] = src[std::size_t(x) * 4u + std::size_t(c)];
            png_write_row(png, row.data());
        }
        png_write_end(png, nullptr);
    }
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0 && ok;
}
