#include "tools/umtool/umtool_png.h"

#include <png.h>

#include <limits>
#include <stdexcept>

namespace {

// Frees what libpng holds for an image however the conversion ends.
struct TPngImage {
    png_image Image{};
    TPngImage() { Image.version = PNG_IMAGE_VERSION; }
    ~TPngImage() { png_image_free(&Image); }
    [[noreturn]] void Fail(const std::string& path) const {
        throw std::runtime_error(path + ": " + Image.message);
    }
};

} // namespace

void WritePngFrame(const std::string& path, const TUmtImage& image, std::uint32_t frame) {
    TPngImage png;
    png.Image.width = image.Width;
    png.Image.height = image.Height;
    png.Image.format = image.BitsPerPixel == 32 ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    // A negative stride tells libpng that the buffer's first row is the
    // picture's bottom row, which is how UMT rows are kept.
    const png_int_32 stride = -static_cast<png_int_32>(std::size_t(image.Width) * image.BytesPerPixel());
    if (!png_image_write_to_file(&png.Image, path.c_str(), 0, image.Frame(frame), stride, nullptr))
        png.Fail(path);
}

TUmtImage ReadPngImage(const std::string& path) {
    TPngImage png;
    if (!png_image_begin_read_from_file(&png.Image, path.c_str())) png.Fail(path);
    if (png.Image.width > std::numeric_limits<std::uint16_t>::max() ||
        png.Image.height > std::numeric_limits<std::uint16_t>::max())
        throw std::runtime_error(path + ": wider or taller than 65535 pixels");
    const bool alpha = (png.Image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    png.Image.format = alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    TUmtImage image;
    image.Width = static_cast<std::uint16_t>(png.Image.width);
    image.Height = static_cast<std::uint16_t>(png.Image.height);
    image.BitsPerPixel = alpha ? 32 : 24;
    if (std::uint64_t(image.FrameSize()) > MaxUmtPixelBytes)
        throw std::runtime_error(path + ": image too large");
    image.Pixels.resize(image.FrameSize());
    const png_int_32 stride = -static_cast<png_int_32>(std::size_t(image.Width) * image.BytesPerPixel());
    if (!png_image_finish_read(&png.Image, nullptr, image.Pixels.data(), stride, nullptr)) png.Fail(path);
    return image;
}
