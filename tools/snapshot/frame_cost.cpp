// frame_cost [WIDTH HEIGHT [FRAMES]]
//
// What each part of the lake's frame costs the renderer: the first
// full-screen frame is set up offscreen from the current folder as `snapshot`
// does it, then drawn FRAMES times whole (camera, lake, water, the clock),
// and as many times again with one part left out: the objects of one
// texture, the water, the clock, the whole lake model (leaving the water,
// the clock and the clear), or everything but the clear, the variants
// taking turns in five rounds. Each variant gets two figures in milliseconds,
// the rendering finished (glFinish) each frame: the wall-clock time of a
// frame, the tenth percentile of its best round, and the processor time a
// frame takes, all threads together (the renderer's included), in its best
// round: the steadier of the two on a busy machine. A part's cost is the whole frame less the frame
// without it; the difference between two runs at 320 x 180 and at full size
// tells its geometry from its fill. Prints the figures; asserts nothing.
//
// A measuring tool: it changes the model store while it runs and is not part
// of the program.
#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

#include "engine/models/umf.h"
#include "engine/render/device.h"
#include "platform/offscreen/offscreen.h"
#include "platform/platform.h"
#include "scene/lake.h"
#include "tools/snapshot/offscreen_lake.h"

namespace {

enum class TLeftOut { Nothing, Objects, Water, Clock, AllButClear };

struct TTimes {
    double Wall, Processor; // milliseconds a frame
};

double ProcessorMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// A frame drawn `frames` times: its wall-clock time (the tenth percentile,
// the figure least disturbed by whatever else the machine is doing) and the
// processor time of all the program's threads (the renderer's included), on
// average.
TTimes TimeFrames(int frames, TLeftOut leftOut) {
    std::vector<double> ms;
    const double processorStart = ProcessorMs();
    for (int i = 0; i < frames; ++i) {
        const auto start = std::chrono::steady_clock::now();
        if (leftOut == TLeftOut::AllButClear) {
            BeginFrame();
            EndFrame();
        } else if (leftOut == TLeftOut::Water) {
            BeginFrame();
            SetCamera(0, 0, 1);
            DrawModel(0, 0, 0, 0);
            EndFrame();
        } else {
            DrawLakeFrame(false, leftOut != TLeftOut::Clock, true);
        }
        glFinish();
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 10], (ProcessorMs() - processorStart) / frames};
}

} // namespace

int main(int argc, char** argv) {
    int width = 1280, height = 720, frames = 50;
    if (argc >= 3) {
        width = std::atoi(argv[1]);
        height = std::atoi(argv[2]);
    }
    if (argc == 4) frames = std::atoi(argv[3]);
    if ((argc != 1 && argc != 3 && argc != 4) || width < 16 || height < 16 || width > 8192 || height > 8192 ||
        frames < 1 || frames > 10000) {
        std::fprintf(stderr, "usage: frame_cost [WIDTH HEIGHT [FRAMES]]\n");
        return 2;
    }
    platform::MaskFloatingPointExceptions();
    const platform::WindowHandle surface = platform::CreateOffscreenSurface(width, height);
    try {
        SetUpOffscreenLake(surface, width, height);
        StartFrameCounters();
        TimeFrames(5, TLeftOut::Nothing); // shaders compiled, caches warm

        // The variants: the whole frame, then each part left out.
        struct TVariant {
            std::string Name;
            TLeftOut LeftOut;
            std::vector<TModelObject> Objects;
            std::uint32_t Triangles;
            TTimes Best;
        };
        TModel& lake = Models[0];
        const std::vector<TModelObject> all = lake.Objects;
        std::vector<TVariant> variants;
        variants.push_back({"", TLeftOut::Nothing, all, 0, {1e30, 1e30}});
        for (const TModelObject& o : all) {
            const std::string name = MaterialTextureName(lake.Materials[o.MaterialIndex]);
            bool known = false;
            for (const TVariant& v : variants)
                known = known || v.Name == name;
            if (known) continue;
            TVariant v{name, TLeftOut::Objects, {}, 0, {1e30, 1e30}};
            for (const TModelObject& p : all)
                if (MaterialTextureName(lake.Materials[p.MaterialIndex]) != name)
                    v.Objects.push_back(p);
                else
                    v.Triangles += p.Meshes[p.Frames[0].MeshIndex].TriangleCount;
            variants.push_back(v);
        }
        variants.push_back({"(water)", TLeftOut::Water, all, 126 * 250, {1e30, 1e30}});
        variants.push_back({"(clock)", TLeftOut::Clock, all, 0, {1e30, 1e30}});
        std::uint32_t lakeTriangles = 0;
        for (const TModelObject& o : all)
            lakeTriangles += o.Meshes[o.Frames[0].MeshIndex].TriangleCount;
        variants.push_back({"(the lake model)", TLeftOut::Objects, {}, lakeTriangles, {1e30, 1e30}});
        variants.push_back({"(all but clear)", TLeftOut::AllButClear, all, 0, {1e30, 1e30}});

        // Rounds of a few frames of each variant in turn: a slow spell of the
        // machine then weighs on all of them, and each keeps its best round.
        const int rounds = 5;
        for (int round = 0; round < rounds; ++round)
            for (TVariant& v : variants) {
                lake.Objects = v.Objects;
                lake.ObjectCount = std::uint32_t(v.Objects.size());
                const TTimes t = TimeFrames((frames + rounds - 1) / rounds, v.LeftOut);
                v.Best = {std::min(v.Best.Wall, t.Wall), std::min(v.Best.Processor, t.Processor)};
            }
        lake.Objects = all;
        lake.ObjectCount = std::uint32_t(all.size());

        const TTimes whole = variants[0].Best;
        std::printf("a frame of the lake at %d x %d: %.2f ms, processor %.2f ms\n", width, height, whole.Wall,
                    whole.Processor);
        std::printf("%-16s %9s %8s %8s %10s %8s\n", "left out", "triangles", "frame", "costs", "processor",
                    "costs");
        for (std::size_t i = 1; i < variants.size(); ++i) {
            const TVariant& v = variants[i];
            std::printf("%-16s %9u %8.2f %8.2f %10.2f %8.2f\n", v.Name.c_str(), v.Triangles, v.Best.Wall,
                        whole.Wall - v.Best.Wall, v.Best.Processor, whole.Processor - v.Best.Processor);
        }
        DeviceDone();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "frame_cost: %s\n", e.what());
        return 1;
    }
    platform::DestroyOffscreenSurface(surface);
    return 0;
}
