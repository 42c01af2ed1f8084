// libFuzzer target: the UMT decoder on arbitrary bytes.
//
// Besides surviving every input under the sanitizers, a decoded image must
// hold exactly its frames, and writing it raw and decoding that again must
// give the same pixels.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/support/errors.h"
#include "engine/textures/umt.h"
#include "engine/textures/umt_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TUmtImage image;
    try {
        image = DecodeUmt(data, size, "fuzz.umt");
    } catch (const TIoError&) {
        return 0;
    }
    if (image.Pixels.size() != image.FrameSize() * image.FrameTotal()) __builtin_trap();
    if (image.Pixels.size() > MaxUmtPixelBytes) __builtin_trap();
    const std::vector<std::uint8_t> raw = WriteUmt(image, false);
    const TUmtImage again = DecodeUmt(raw.data(), raw.size(), "again.umt");
    if (again.Pixels != image.Pixels) __builtin_trap();
    return 0;
}
