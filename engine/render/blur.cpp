// The blur routines and the screen filters' byte work (see blur.h).
#include "engine/render/blur.h"

#include <cstring>

namespace {

// Both blurs share the frame: copy the borders, compute the inner bytes of
// each inner row with `Mix`, which gets the rows above, at and below and the
// byte position.
template <typename Mix>
void BlurGrid(std::uint16_t width, std::uint16_t height, std::uint16_t bytesPerPixel,
              const std::uint8_t* source, std::uint8_t* destination, Mix mix) {
    const std::size_t stride = std::size_t(width) * bytesPerPixel;
    const std::size_t total = stride * height;
    if (total == 0) return;
    if (width < 3 || height < 3) {
        std::memcpy(destination, source, total); // no inner byte to blur
        return;
    }
    // First row, then per inner row: its first pixel, the inner bytes, its last pixel.
    std::memcpy(destination, source, stride);
    for (std::size_t r = 1; r + 1 < height; ++r) {
        const std::uint8_t* above = source + (r - 1) * stride;
        const std::uint8_t* row = source + r * stride;
        const std::uint8_t* below = source + (r + 1) * stride;
        std::uint8_t* out = destination + r * stride;
        std::memcpy(out, row, bytesPerPixel);
        for (std::size_t i = bytesPerPixel; i < stride - bytesPerPixel; ++i)
            out[i] = mix(above, row, below, i);
        std::memcpy(out + stride - bytesPerPixel, row + stride - bytesPerPixel, bytesPerPixel);
    }
    std::memcpy(destination + (std::size_t(height) - 1) * stride, source + (std::size_t(height) - 1) * stride,
                stride);
}

// Mean of R, G / 2 and B as the filters compute it, brought into a byte.
inline unsigned GreyLevel(const std::uint8_t* pixel) {
    const unsigned v = (unsigned(pixel[0]) + (unsigned(pixel[1]) >> 1) + unsigned(pixel[2])) >> 1;
    return v > 255 ? 255 : v; // white gives 318: saturate rather than wrap to dark
}

} // namespace

void RingBlur(std::uint16_t width, std::uint16_t height, std::uint16_t bytesPerPixel,
              const std::uint8_t* source, std::uint8_t* destination) {
    BlurGrid(
        width, height, bytesPerPixel, source, destination,
        [](const std::uint8_t* above, const std::uint8_t* row, const std::uint8_t* below, std::size_t i) {
            const unsigned sum = unsigned(row[i - 1]) + row[i + 1] + above[i - 1] + above[i] + above[i + 1] +
                                 below[i - 1] + below[i] + below[i + 1];
            return static_cast<std::uint8_t>(sum >> 3);
        });
}

void DiagonalBlur(std::uint16_t width, std::uint16_t height, std::uint16_t bytesPerPixel,
                  const std::uint8_t* source, std::uint8_t* destination) {
    BlurGrid(width, height, bytesPerPixel, source, destination,
             [](const std::uint8_t* above, const std::uint8_t*, const std::uint8_t* below, std::size_t i) {
                 const unsigned sum = unsigned(above[i - 1]) + above[i + 1] + below[i - 1] + below[i + 1];
                 return static_cast<std::uint8_t>(sum >> 2);
             });
}

void GreyScreen(std::uint8_t* rgb, std::size_t pixels) {
    for (std::size_t p = 0; p < pixels; ++p, rgb += 3) {
        const auto v = static_cast<std::uint8_t>(GreyLevel(rgb));
        rgb[0] = rgb[1] = rgb[2] = v;
    }
}

void InvertedGreyScreen(std::uint8_t* rgb, std::size_t pixels) {
    for (std::size_t p = 0; p < pixels; ++p, rgb += 3) {
        const auto v = static_cast<std::uint8_t>(255 - GreyLevel(rgb));
        rgb[0] = rgb[1] = rgb[2] = v;
    }
}

void NegativeScreen(std::uint8_t* rgb, std::size_t pixels) {
    const std::size_t bytes = pixels * 3;
    for (std::size_t i = 0; i < bytes; ++i)
        rgb[i] = static_cast<std::uint8_t>(255 - rgb[i]);
}
