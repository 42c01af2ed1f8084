#include "engine/textures/umt.h"

#include "engine/support/files.h"
#include "engine/textures/yuv.h"

std::vector<TUmtImage> UmtImages;

namespace {

constexpr int BlockPixels = UmtBlockSide * UmtBlockSide;

// File bytes of one block: Y samples, Cb, Cr and, at 32 bits, A samples.
std::size_t BlockBytes(const TUmtImage& image) {
    return image.BytesPerPixel() == 4 ? 2 * BlockPixels + 2 : BlockPixels + 2;
}
// File bytes of one block-coded frame: whole blocks only.
std::size_t BlockFrameBytes(const TUmtImage& image) {
    return std::size_t(image.Width / UmtBlockSide) * (image.Height / UmtBlockSide) * BlockBytes(image);
}

[[noreturn]] void Refuse(const std::string& name, const std::string& what) {
    throw TIoError(IoInvalidData, MessagePath(name) + ": " + what);
}

// Raw frames: frame 0 as stored, every later one as differences from the one before.
void DecodeRawFrames(TByteReader& in, TUmtImage& image) {
    const std::size_t frameSize = image.FrameSize();
    std::uint8_t* frame = image.Pixels.data();
    for (std::uint64_t f = 0; f < image.FrameTotal(); ++f, frame += frameSize) {
        in.Read(frame, frameSize);
        if (f == 0) continue;
        const std::uint8_t* previous = frame - frameSize;
        for (std::size_t i = 0; i < frameSize; ++i)
            frame[i] = static_cast<std::uint8_t>(frame[i] + previous[i]);
    }
}

// One block-coded frame into `frame`. Blocks run down each block column, then
// across; inside a block the samples run down each pixel column, then across.
void DecodeBlockFrame(const std::uint8_t* block, const TUmtImage& image, std::uint8_t* frame) {
    const std::size_t bytesPerPixel = image.BytesPerPixel();
    const bool alpha = bytesPerPixel == 4;
    const std::size_t rowBytes = std::size_t(image.Width) * bytesPerPixel;
    const int blockColumns = image.Width / UmtBlockSide;
    const int blockRows = image.Height / UmtBlockSide;
    const std::size_t blockSize = BlockBytes(image);
    for (int bc = 0; bc < blockColumns; ++bc) {
        for (int br = 0; br < blockRows; ++br, block += blockSize) {
            const std::uint8_t* luma = block;
            const std::uint8_t* opacity = block + BlockPixels + 2;
            const TChromaRows rows = ChromaRows(block[BlockPixels], block[BlockPixels + 1]);
            std::uint8_t* corner = frame + std::size_t(br) * UmtBlockSide * rowBytes +
                                   std::size_t(bc) * UmtBlockSide * bytesPerPixel;
            for (int c = 0; c < UmtBlockSide; ++c) {
                std::uint8_t* pixel = corner + c * bytesPerPixel;
                for (int r = 0; r < UmtBlockSide; ++r, pixel += rowBytes) {
                    const std::uint8_t y = luma[c * UmtBlockSide + r];
                    pixel[0] = rows.R[y];
                    pixel[1] = rows.G[y];
                    pixel[2] = rows.B[y];
                    if (alpha) pixel[3] = opacity[c * UmtBlockSide + r];
                }
            }
        }
    }
}

void DecodeBlockFrames(TByteReader& in, TUmtImage& image) {
    const std::size_t frameBytes = BlockFrameBytes(image);
    const std::size_t frameSize = image.FrameSize();
    std::uint8_t* frame = image.Pixels.data();
    for (std::uint64_t f = 0; f < image.FrameTotal(); ++f, frame += frameSize)
        DecodeBlockFrame(in.Take(frameBytes), image, frame);
}

} // namespace

TUmtImage DecodeUmt(const std::uint8_t* data, std::size_t size, const std::string& name) {
    TByteReader in(data, size, name);
    TUmtImage image;
    image.Width = in.Get<std::uint16_t>();
    image.Height = in.Get<std::uint16_t>();
    image.BitsPerPixel = in.Get<std::uint8_t>();
    image.Encoding = in.Get<std::uint8_t>();
    image.LastFrame = in.Get<std::uint32_t>();

    if (image.BitsPerPixel != 24 && image.BitsPerPixel != 32)
        Refuse(name, std::to_string(image.BitsPerPixel) + " bits per pixel (24 or 32 expected)");
    if (image.Width == 0 || image.Height == 0)
        Refuse(name,
               "empty image (" + std::to_string(image.Width) + " x " + std::to_string(image.Height) + ")");
    const bool blockCoded = image.Encoding == UmtBlockCoded;
    if (blockCoded && (image.Width < UmtBlockSide || image.Height < UmtBlockSide))
        Refuse(name, "block-coded image smaller than 8 x 8");
    // By division: Width * Height * 4 < 2^34 times up to 2^32 frames would
    // not fit in 64 bits (2^64 wraps to 0). The frame size is never 0 here.
    const std::uint64_t frameSize = image.FrameSize();
    if (frameSize > MaxUmtPixelBytes || image.FrameTotal() > MaxUmtPixelBytes / frameSize)
        Refuse(name, "image too large");
    const std::uint64_t total = frameSize * image.FrameTotal();

    // The frames must be in the file before their pixels are allocated.
    in.RequireItems(image.FrameTotal(), blockCoded ? BlockFrameBytes(image) : image.FrameSize());
    // Zeroed: a block-coded image whose sides are not multiples of 8 leaves
    // its last columns and rows uncovered.
    image.Pixels.assign(static_cast<std::size_t>(total), 0);
    if (blockCoded)
        DecodeBlockFrames(in, image);
    else
        DecodeRawFrames(in, image);
    return image;
}

void LoadUmt(const std::string& path) {
    const std::vector<std::uint8_t> bytes = ReadWholeFile(path);
    TUmtImage image = DecodeUmt(bytes.data(), bytes.size(), path);
    UmtImages.push_back(std::move(image)); // only a complete image enters the table
}

void FreeUmtImages() {
    std::vector<TUmtImage>().swap(UmtImages);
}
