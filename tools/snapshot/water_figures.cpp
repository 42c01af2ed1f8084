// water_figures [WIDTH HEIGHT] [--seed S] [--save PREFIX]
//
// How the rippled water reads in the running lake (1280 x 720 unless
// given): the lake is run as `snapshot --frames` runs it, and frames 300,
// 450 and 600 are measured (tools/snapshot/lake_figures.h): the correlation
// of the band of water below the far shore line with the band of shore above
// it, column by column; the far third of the water's brightness over the
// near third's; and the share of the near third darker than 40/255. Prints
// each frame's figures and their means; asserts nothing. With --save, writes
// each measured frame as PREFIX-FRAME.png.
//
// A measuring tool beside the benchmarks; not installed.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "engine/render/device.h"
#include "platform/offscreen/offscreen.h"
#include "platform/platform.h"
#include "tools/snapshot/lake_figures.h"
#include "tools/snapshot/png_file.h"
#include "tools/snapshot/running_lake.h"

namespace {

constexpr int MeasuredFrames[] = {300, 450, 600};

} // namespace

int main(int argc, char** argv) {
    int width = 1280, height = 720, sizes = 0;
    unsigned seed = 1;
    std::string save;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--seed") == 0 && i + 1 < argc)
            seed = unsigned(std::strtoul(argv[++i], nullptr, 10));
        else if (std::strcmp(argv[i], "--save") == 0 && i + 1 < argc)
            save = argv[++i];
        else if (sizes < 2)
            (sizes++ == 0 ? width : height) = std::atoi(argv[i]);
    }
    if (sizes == 1 || width < 64 || height < 64 || width > 8192 || height > 8192) {
        std::fprintf(stderr, "usage: water_figures [WIDTH HEIGHT] [--seed S] [--save PREFIX]\n");
        return 2;
    }
    platform::MaskFloatingPointExceptions();
    const platform::WindowHandle surface = platform::CreateOffscreenSurface(width, height);
    int status = 0;
    try {
        SetUpRunningLake(surface, width, height, seed);
        TLakeFigures mean;
        int done = 1;
        std::printf("%dx%d seed %u\n%6s %12s %10s %10s\n", width, height, seed, "frame", "correlation",
                    "far/near", "near<40");
        for (int frame : MeasuredFrames) {
            AdvanceRunningLake(frame - done - 1);
            DrawRunningLakeFrame();
            done = frame;
            const std::vector<std::uint8_t> lake = platform::OffscreenPixels(surface);
            DrawRunningLandFrame();
            const std::vector<std::uint8_t> land = platform::OffscreenPixels(surface);
            const TLakeFigures f = MeasureLake(land, lake, width, height);
            if (!save.empty() && frame == MeasuredFrames[0])
                WritePngFromBottomUp(save + "-land.png", width, height, land);
            std::printf("%6d %12.3f %10.3f %9.1f%%\n", frame, f.ShoreCorrelation, f.FarToNear,
                        100.0 * f.NearDarkShare);
            mean.ShoreCorrelation += f.ShoreCorrelation / 3, mean.FarToNear += f.FarToNear / 3,
                mean.NearDarkShare += f.NearDarkShare / 3;
            if (!save.empty())
                WritePngFromBottomUp(save + "-" + std::to_string(frame) + ".png", width, height, lake);
        }
        std::printf("%6s %12.3f %10.3f %9.1f%%\n", "mean", mean.ShoreCorrelation, mean.FarToNear,
                    100.0 * mean.NearDarkShare);
        StopRunningLake();
        DeviceDone();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "water_figures: %s\n", e.what());
        status = 1;
    }
    platform::DestroyOffscreenSurface(surface);
    return status;
}
