// snapshot OUT.png [WIDTH HEIGHT]
//
// Renders the screensaver's first full-screen frame offscreen and writes it
// as a PNG (1280 x 720 unless given). The data is loaded from the current
// folder exactly as the full-screen run loads it from its home directory:
// the lake scene's set-up, the water's warm-up, then one frame with the
// frame counter and the clock (12-hour form) drawn over it.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "engine/render/device.h"
#include "platform/offscreen/offscreen.h"
#include "platform/platform.h"
#include "scene/lake.h"
#include "tools/snapshot/offscreen_lake.h"
#include "tools/snapshot/png_file.h"

int main(int argc, char** argv) {
    int width = 1280, height = 720;
    if (argc == 4) {
        width = std::atoi(argv[2]);
        height = std::atoi(argv[3]);
    }
    if ((argc != 2 && argc != 4) || width < 16 || height < 16 || width > 8192 || height > 8192) {
        std::fprintf(stderr, "usage: snapshot OUT.png [WIDTH HEIGHT]  (16..8192 pixels each way)\n");
        return 2;
    }
    platform::MaskFloatingPointExceptions();
    const platform::WindowHandle surface = platform::CreateOffscreenSurface(width, height);
    int status = 0;
    try {
        SetUpOffscreenLake(surface, width, height);
        StartFrameCounters();
        DrawLakeFrame(true, true, true);
        // The viewport is the width rounded up to a multiple of 4; the
        // surface is what was asked for.
        if (!WritePngFromBottomUp(argv[1], platform::OffscreenWidth(surface),
                                  platform::OffscreenHeight(surface), platform::OffscreenPixels(surface))) {
            std::fprintf(stderr, "snapshot: cannot write %s\n", argv[1]);
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
