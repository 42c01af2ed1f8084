#include "tools/snapshot/jpeg_file.h"

// jpeglib.h needs FILE and size_t declared before it.
#include <cstdio>
#include <csetjmp>
#include <jpeglib.h>

namespace {

// libjpeg's own handler ends the process; this one returns to the writer.
struct TJpegError {
    jpeg_error_mgr Manager;
    std::jmp_buf Back;
};

void JumpBack(j_common_ptr info) {
    std::longjmp(reinterpret_cast<TJpegError*>(info->err)->Back, 1);
}

} // namespace

bool WriteJpegFromBottomUp(const std::string& path, int width, int height,
                           const std::vector<std::uint8_t>& rgba, int quality) {
    if (width <= 0 || height <= 0 || rgba.size() < std::size_t(width) * std::size_t(height) * 4u)
        return false;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    jpeg_compress_struct jpeg{};
    TJpegError error{};
    jpeg.err = jpeg_std_error(&error.Manager);
    error.Manager.error_exit = JumpBack;
    std::vector<JSAMPLE> row(std::size_t(width) * 3u);
    bool ok = true;
    if (setjmp(error.Back)) {
        ok = false;
    } else {
        jpeg_create_compress(&jpeg);
        jpeg_stdio_dest(&jpeg, file);
        jpeg.image_width = JDIMENSION(width);
        jpeg.image_height = JDIMENSION(height);
        jpeg.input_components = 3;
        jpeg.in_color_space = JCS_RGB;
        jpeg_set_defaults(&jpeg);
        jpeg_set_quality(&jpeg, quality, TRUE);
        jpeg.optimize_coding = TRUE;
        jpeg_start_compress(&jpeg, TRUE);
        for (int y = height - 1; y >= 0; --y) {
            const std::uint8_t* src = rgba.data() + std::size_t(y) * std::size_t(width) * 4u;
            for (int x = 0; x < width; ++x)
                for (int c = 0; c < 3; ++c)
                    row[std::size_t(x) * 3u + std::size_t(c)] = src[std::size_t(x) * 4u + std::size_t(c)];
            JSAMPROW rows[1] = {row.data()};
            jpeg_write_scanlines(&jpeg, rows, 1);
        }
        jpeg_finish_compress(&jpeg);
    }
    jpeg_destroy_compress(&jpeg);
    ok = std::fclose(file) == 0 && ok;
    if (!ok) std::remove(path.c_str());
    return ok;
}
