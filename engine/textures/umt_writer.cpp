#include "engine/textures/umt_writer.h"

#include <cmath>
#include <stdexcept>

#include "engine/support/files.h"

namespace {

std::uint8_t ToByte(double v) {
    v = std::nearbyint(v);
    return static_cast<std::uint8_t>(v < 0.0 ? 0.0 : v > 255.0 ? 255.0 : v);
}

template <typename T> void Put(std::vector<std::uint8_t>& out, T value) {
    const std::uint8_t* bytes = reinterpret_cast<const std::uint8_t*>(&value);
    out.insert(out.end(), bytes, bytes + sizeof value);
}

void WriteRawFrames(const TUmtImage& image, std::vector<std::uint8_t>& out) {
    const std::size_t frameSize = image.FrameSize();
    for (std::uint64_t f = 0; f < image.FrameTotal(); ++f) {
        const std::uint8_t* frame = image.Pixels.data() + f * frameSize;
        if (f == 0) {
            out.insert(out.end(), frame, frame + frameSize);
            continue;
        }
        const std::uint8_t* previous = frame - frameSize;
        for (std::size_t i = 0; i < frameSize; ++i)
            out.push_back(static_cast<std::uint8_t>(frame[i] - previous[i]));
    }
}

void WriteBlockFrame(const TUmtImage& image, const std::uint8_t* frame, std::vector<std::uint8_t>& out) {
    const std::size_t bytesPerPixel = image.BytesPerPixel();
    const std::size_t rowBytes = std::size_t(image.Width) * bytesPerPixel;
    for (int bc = 0; bc < image.Width / UmtBlockSide; ++bc) {
        for (int br = 0; br < image.Height / UmtBlockSide; ++br) {
            std::uint8_t luma[64], opacity[64];
            double cbSum = 0.0, crSum = 0.0;
            for (int c = 0; c < UmtBlockSide; ++c) {
                for (int r = 0; r < UmtBlockSide; ++r) {
                    const std::uint8_t* p = frame + std::size_t(br * UmtBlockSide + r) * rowBytes +
                                            std::size_t(bc * UmtBlockSide + c) * bytesPerPixel;
                    const double red = p[0], green = p[1], blue = p[2];
                    luma[c * UmtBlockSide + r] = ToByte(0.299 * red + 0.587 * green + 0.114 * blue);
                    cbSum += 128.0 - 0.168736 * red - 0.331264 * green + 0.5 * blue;
                    crSum += 128.0 + 0.5 * red - 0.418688 * green - 0.081312 * blue;
                    opacity[c * UmtBlockSide + r] = bytesPerPixel == 4 ? p[3] : 0;
                }
            }
            out.insert(out.end(), luma, luma + 64);
            out.push_back(ToByte(cbSum / 64.0));
            out.push_back(ToByte(crSum / 64.0));
            if (bytesPerPixel == 4) out.insert(out.end(), opacity, opacity + 64);
        }
    }
}

} // namespace

std::vector<std::uint8_t> WriteUmt(const TUmtImage& image, bool blockCoded) {
    if (image.BitsPerPixel != 24 && image.BitsPerPixel != 32)
        throw std::invalid_argument("UMT writer: bits per pixel must be 24 or 32");
    if (image.Width == 0 || image.Height == 0) throw std::invalid_argument("UMT writer: empty image");
    if (image.FrameTotal() > MaxUmtPixelBytes / image.FrameSize())
        throw std::invalid_argument("UMT writer: image too large");
    if (image.Pixels.size() != image.FrameSize() * image.FrameTotal())
        throw std::invalid_argument("UMT writer: the pixels do not hold LastFrame + 1 frames");
    if (blockCoded && (image.Width == 0 || image.Height == 0 || image.Width % UmtBlockSide != 0 ||
                       image.Height % UmtBlockSide != 0))
        throw std::invalid_argument("UMT writer: block coding needs sides that are multiples of 8");

    std::vector<std::uint8_t> out;
    out.reserve(UmtHeaderSize + image.Pixels.size());
    Put(out, image.Width);
    Put(out, image.Height);
    Put(out, image.BitsPerPixel);
    Put(out, static_cast<std::uint8_t>(blockCoded ? UmtBlockCoded : 0));
    Put(out, image.LastFrame);
    if (!blockCoded) {
        WriteRawFrames(image, out);
        return out;
    }
    for (std::uint64_t f = 0; f < image.FrameTotal(); ++f)
        WriteBlockFrame(image, image.Pixels.data() + f * image.FrameSize(), out);
    return out;
}

void SaveUmt(const std::string& path, const TUmtImage& image, bool blockCoded) {
    const std::vector<std::uint8_t> bytes = WriteUmt(image, blockCoded);
    WriteWholeFile(path, bytes.data(), bytes.size());
}
