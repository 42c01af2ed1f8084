// snapshot OUT.png|OUT.jpg [WIDTH HEIGHT] [--frames N] [--seed S]
//
// Renders the screensaver's full-screen picture offscreen and writes it as a
// PNG, or as a JPEG when OUT ends in ".jpg" (1280 x 720 unless given). The data is loaded from the current
// folder exactly as the full-screen run loads it from its home directory: the lake scene's set-up, the
// water's warm-up, then one frame.
//
// Without --frames that is the first frame, on the system's clocks, with the
// frame counter and the clock (12-hour form) drawn over it. With --frames N
// it is frame N of the running lake (tools/snapshot/running_lake.h): the
// frames before it 16 ms apart on a clock of the tool's own, so the water
// shows the rippled state people watch, the same for the same seed S
// (default 1); the clock shows as the default settings show it.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>

#include "engine/render/device.h"
#include "platform/offscreen/offscreen.h"
#include "platform/platform.h"
#include "scene/lake.h"
#include "tools/snapshot/jpeg_file.h"
#include "tools/snapshot/offscreen_lake.h"
#include "tools/snapshot/png_file.h"
#include "tools/snapshot/running_lake.h"

namespace {

// JPEG quality for ".jpg" files: the lake's soft gradients show no blocks,
// and a 1280 x 720 frame stays well under 300 KB.
constexpr int SnapshotJpegQuality = 85;

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// A whole decimal number in lo..hi, or false.
bool ReadNumber(const char* text, long lo, long hi, long& value) {
    char* end = nullptr;
    value = std::strtol(text, &end, 10);
    return end != text && *end == '\0' && value >= lo && value <= hi;
}

} // namespace

int main(int argc, char** argv) {
    long width = 1280, height = 720, frames = 0, seed = 1;
    const char* out = nullptr;
    int sizes = 0;
    bool usable = true;
    for (int i = 1; i < argc && usable; ++i) {
        if (std::strcmp(argv[i], "--frames") == 0 && i + 1 < argc)
            usable = ReadNumber(argv[++i], 1, 100000, frames);
        else if (std::strcmp(argv[i], "--seed") == 0 && i + 1 < argc)
            usable = ReadNumber(argv[++i], 0, 1000000, seed);
        else if (!out)
            out = argv[i];
        else if (sizes < 2)
            usable = ReadNumber(argv[i], 16, 8192, sizes++ == 0 ? width : height);
        else
            usable = false;
    }
    if (!usable || !out || sizes == 1) {
        std::fprintf(stderr, "usage: snapshot OUT.png|OUT.jpg [WIDTH HEIGHT] [--frames N] [--seed S]\n"
                             "  (16..8192 pixels each way, N 1..100000, S 0..1000000)\n");
        return 2;
    }
    platform::MaskFloatingPointExceptions();
    const platform::WindowHandle surface = platform::CreateOffscreenSurface(int(width), int(height));
    int status = 0;
    try {
        if (frames > 0) {
            SetUpRunningLake(surface, int(width), int(height), std::uint32_t(seed));
            AdvanceRunningLake(int(frames) - 1);
            DrawRunningLakeFrame();
            StopRunningLake();
        } else {
            SetUpOffscreenLake(surface, int(width), int(height));
            StartFrameCounters();
            DrawLakeFrame(true, true, true);
        }
        // The viewport is the width rounded up to a multiple of 4; the
        // surface is what was asked for.
        const int w = platform::OffscreenWidth(surface), h = platform::OffscreenHeight(surface);
        const bool written =
            EndsWith(out, ".jpg")
                ? WriteJpegFromBottomUp(out, w, h, platform::OffscreenPixels(surface), SnapshotJpegQuality)
                : WritePngFromBottomUp(out, w, h, platform::OffscreenPixels(surface));
        if (!written) {
            std::fprintf(stderr, "snapshot: cannot write %s\n", out);
            status = 1;
        }
        DeviceDone();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "snapshot: %s\n", e.what());
        status = 1;
    }
    platform::DestroyOffscreenSurface(surface);
    return status;
}
