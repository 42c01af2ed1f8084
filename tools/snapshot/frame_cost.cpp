// frame_cost [WIDTH HEIGHT [FRAMES]]
//
// What each part of the lake's frame costs the renderer: the first
// full-screen frame is set up offscreen from the current folder as `snapshot`
// does it, then drawn FRAMES times whole (camera, lake, water, the clock),
// and as many times again with one part left out: the objects of one
// texture, the water, the clock, the whole lake model (leaving the water,
// the clock and the clear), or everything but the clear, the variants
// taking turns in five rounds. Each figure is the wall-clock time of a frame
// in milliseconds, the rendering finished (glFinish): the tenth percentile of
// the variant's best round. A part's cost is the whole frame less the frame
// without it; the difference between two runs at 320 x 180 and at full size
// tells its geometry from its fill. Prints the figures; asserts nothing.
//
// A measuring tool: it changes the model store while it runs and is not part
// of the program.
#include <GL/gl.h>

#include <algorithm>
#include <chrono>
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

// Milliseconds of a frame drawn `frames` times: the tenth percentile, the
// figure least disturbed by whatever else the machine is doing.
double TimeFrames(int frames, TLeftOut leftOut) {
    std::vector<double> ms;
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
    return ms[ms.size() / 10];
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
            double Best;
        };
        TModel& lake = Models[0];
        const std::vector<TModelObject> all = lake.Objects;
        std::vector<TVariant> variants;
        variants.push_back({"", TLeftOut::Nothing, all, 0, 1e30});
        for (const TModelObject& o : all) {
            const std::string name = MaterialTextureName(lake.Materials[o.MaterialIndex]);
            bool known = false;
            for (const TVariant& v : variants)
                known = known || v.Name == name;
            if (known) continue;
            TVariant v{name, TLeftOut::Objects, {}, 0, 1e30};
            for (const TModelObject& p : all)
                if (MaterialTextureName(lake.Materials[p.MaterialIndex]) != name)
                    v.Objects.push_back(p);
                else
                    v.Triangles += p.Meshes[p.Frames[0].MeshIndex].TriangleCount;
            variants.push_back(v);
        }
        variants.push_back({"(water)", TLeftOut::Water, all, 126 * 250, 1e30});
        variants.push_back({"(clock)", TLeftOut::Clock, all, 0, 1e30});
        std::uint32_t lakeTriangles = 0;
        for (const TModelObject& o : all)
            lakeTriangles += o.Meshes[o.Frames[0].MeshIndex].TriangleCount;
        variants.push_back({"(the lake model)", TLeftOut::Objects, {}, lakeTriangles, 1e30});
        variants.push_back({"(all but clear)", TLeftOut::AllButClear, all, 0, 1e30});

        // Rounds of a few frames of each variant in turn: a slow spell of the
        // machine then weighs on all of them, and each keeps its best round.
        const int rounds = 5;
        for (int round = 0; round < rounds; ++round)
            for (TVariant& v : variants) {
                lake.Objects = v.Objects;
                lake.ObjectCount = std::uint32_t(v.Objects.size());
                v.Best = std::min(v.Best, TimeFrames((frames + rounds - 1) / rounds, v.LeftOut));
            }
        lake.Objects = all;
        lake.ObjectCount = std::uint32_t(all.size());

        const double whole = variants[0].Best;
        std::printf("a frame of the lake at %d x %d: %.2f ms\n", width, height, whole);
        std::printf("%-16s %9s %8s %8s\n", "left out", "triangles", "frame", "costs");
        for (std::size_t i = 1; i < variants.size(); ++i)
            std::printf("%-16s %9u %8.2f %8.2f\n", variants[i].Name.c_str(), variants[i].Triangles, variants[i].Best,
                        whole - variants[i].Best);
        DeviceDone();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "frame_cost: %s\n", e.what());
        return 1;
    }
    platform::DestroyOffscreenSurface(surface);
    return 0;
}
