// fill_count [WIDTH HEIGHT [HEAT.png]]
//
// How much the first full-screen frame asks OpenGL to fill: the lake scene is
// set up offscreen from the current folder as `snapshot` does it, then drawn
// object by object in the order the model's drawing takes them (the opaque
// pass, then the blended pass, then the water), with the stencil buffer
// counting fragments. For every texture the scene draws with it prints
//   drawn    fragments that passed the depth test and were written,
//   hidden   fragments rasterized but rejected by the depth test,
//   clear    drawn fragments whose texel alpha is 0 (blended and invisible),
// each in fragments per screen pixel, and the frame's mean and largest number
// of drawn fragments per pixel. HEAT.png shows the drawn fragments per pixel
// (black 0, then blue 1, green 2, yellow 3, red 4, white 6 and more).
//
// A measuring tool: it changes the model store while it runs (it draws one
// object at a time) and is not part of the program.
#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <map>
#include <string>
#include <vector>

#include "engine/models/umf.h"
#include "engine/render/device.h"
#include "platform/offscreen/offscreen.h"
#include "platform/platform.h"
#include "scene/lake.h"
#include "scene/water.h"
#include "tools/snapshot/offscreen_lake.h"
#include "tools/snapshot/png_file.h"

namespace {

struct TCounts {
    double Drawn = 0, Hidden = 0, Clear = 0;
    int Objects = 0;
};

int Width = 1280, Height = 720;
std::vector<std::uint8_t> Stencil;

// Sum of the stencil buffer (the count of fragments so far).
double StencilSum() {
    Stencil.resize(std::size_t(Width) * std::size_t(Height));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, Width, Height, GL_STENCIL_INDEX, GL_UNSIGNED_BYTE, Stencil.data());
    double sum = 0;
    for (std::uint8_t s : Stencil)
        sum += s;
    return sum;
}

void ClearStencil() {
    glClearStencil(0);
    glClear(GL_STENCIL_BUFFER_BIT);
}

// Fragments drawn by `draw`: those passing the depth test, depth written as
// in the real drawing (`rasterized` false), or all rasterized ones, with the
// depth test and so the depth writes off (true).
double CountFragments(void (*draw)(void*), void* arg, bool rasterized, bool alphaAboveZero) {
    ClearStencil();
    glEnable(GL_STENCIL_TEST);
    glStencilFunc(GL_ALWAYS, 0, 0xff);
    glStencilOp(GL_KEEP, GL_KEEP, GL_INCR);
    if (rasterized) glDisable(GL_DEPTH_TEST);
    if (alphaAboveZero) {
        glEnable(GL_ALPHA_TEST);
        glAlphaFunc(GL_GREATER, 0.0f);
    }
    draw(arg);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_STENCIL_TEST);
    return StencilSum();
}

void DrawOneObject(void*) {
    DrawModel(0, 0, 0, 0);
}
void DrawTheWater(void*) {
    DrawWater(false, false);
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 3) {
        Width = std::atoi(argv[1]);
        Height = std::atoi(argv[2]);
    }
    const std::string heatPath = argc == 4 ? argv[3] : "";
    if ((argc != 1 && argc != 3 && argc != 4) || Width < 16 || Height < 16 || Width > 8192 || Height > 8192 ||
        Width % 4 != 0) {
        std::fprintf(stderr, "usage: fill_count [WIDTH HEIGHT [HEAT.png]]  (width a multiple of 4)\n");
        return 2;
    }
    platform::MaskFloatingPointExceptions();
    const platform::WindowHandle surface = platform::CreateOffscreenSurface(Width, Height);
    try {
        SetUpOffscreenLake(surface, Width, Height);

        TModel& lake = Models[0];
        const std::vector<TModelObject> all = lake.Objects;
        // The drawing's order: opaque objects, then blended ones, each in model order.
        std::vector<std::size_t> order;
        for (int pass = 0; pass < 2; ++pass)
            for (std::size_t i = 0; i < all.size(); ++i) {
                const TMaterial& m = lake.Materials[all[i].MaterialIndex];
                const bool blended = !m.Textured || m.BitsPerPixel == 32 || all[i].Alpha[0] > 0.0f;
                if (blended == (pass == 1)) order.push_back(i);
            }

        BeginFrame();
        SetCamera(0, 0, 1);
        ClearStencil();
        std::vector<std::uint32_t> perPixel(std::size_t(Width) * std::size_t(Height), 0);
        auto addDrawn = [&]() {
            for (std::size_t p = 0; p < perPixel.size(); ++p)
                perPixel[p] += Stencil[p];
        };
        std::map<std::string, TCounts> groups;
        std::vector<std::string> groupOrder;
        auto group = [&](const std::string& name) -> TCounts& {
            if (!groups.count(name)) groupOrder.push_back(name);
            return groups[name];
        };
        for (std::size_t i : order) {
            lake.Objects.assign(1, all[i]);
            lake.ObjectCount = 1;
            const TMaterial& m = lake.Materials[all[i].MaterialIndex];
            TCounts& c = group(MaterialTextureName(m));
            const bool blended = !m.Textured || m.BitsPerPixel == 32 || all[i].Alpha[0] > 0.0f;
            double visible = 0;
            if (blended) visible = CountFragments(DrawOneObject, nullptr, false, true); // writes no depth
            // Rasterized first without the depth test, which writes no depth,
            // so that the object does not hide itself, then drawn for real.
            const double all_ = CountFragments(DrawOneObject, nullptr, true, false);
            const double drawn = CountFragments(DrawOneObject, nullptr, false, false);
            addDrawn();
            c.Drawn += drawn;
            c.Hidden += all_ - drawn;
            c.Clear += blended ? drawn - visible : 0;
            c.Objects += 1;
        }
        lake.Objects = all;
        lake.ObjectCount = std::uint32_t(all.size());
        {
            TCounts& c = group("(water)");
            const double all_ = CountFragments(DrawTheWater, nullptr, true, false);
            const double drawn = CountFragments(DrawTheWater, nullptr, false, false);
            addDrawn();
            c.Drawn += drawn;
            c.Hidden += all_ - drawn;
            c.Objects = 1;
        }
        EndFrame();

        const double pixels = double(Width) * double(Height);
        std::printf("fragments per pixel of the first frame at %d x %d\n", Width, Height);
        std::printf("%-14s %7s %8s %8s %8s\n", "texture", "objects", "drawn", "hidden", "clear");
        TCounts total;
        for (const std::string& name : groupOrder) {
            const TCounts& c = groups[name];
            std::printf("%-14s %7d %8.3f %8.3f %8.3f\n", name.c_str(), c.Objects, c.Drawn / pixels,
                        c.Hidden / pixels, c.Clear / pixels);
            total.Drawn += c.Drawn, total.Hidden += c.Hidden, total.Clear += c.Clear;
            total.Objects += c.Objects;
        }
        std::printf("%-14s %7d %8.3f %8.3f %8.3f\n", "all", total.Objects, total.Drawn / pixels,
                    total.Hidden / pixels, total.Clear / pixels);
        const std::uint32_t most = *std::max_element(perPixel.begin(), perPixel.end());
        std::size_t over2 = 0;
        for (std::uint32_t n : perPixel)
            over2 += n > 2;
        std::printf("drawn per pixel: mean %.3f, largest %u, share above 2: %.1f %%\n", total.Drawn / pixels,
                    most, 100.0 * double(over2) / pixels);

        if (!heatPath.empty()) {
            static const std::uint8_t ramp[7][3] = {{0, 0, 0},   {0, 0, 200},   {0, 180, 0},    {230, 220, 0},
                                                    {230, 0, 0}, {255, 0, 255}, {255, 255, 255}};
            std::vector<std::uint8_t> rgba(perPixel.size() * 4);
            for (std::size_t p = 0; p < perPixel.size(); ++p) {
                const std::uint8_t* c = ramp[std::min<std::uint32_t>(perPixel[p], 6)];
                rgba[p * 4] = c[0], rgba[p * 4 + 1] = c[1], rgba[p * 4 + 2] = c[2], rgba[p * 4 + 3] = 255;
            }
            if (!WritePngFromBottomUp(heatPath, Width, Height, rgba)) {
                std::fprintf(stderr, "fill_count: cannot write %s\n", heatPath.c_str());
                return 1;
            }
        }
        DeviceDone();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "fill_count: %s\n", e.what());
        return 1;
    }
    platform::DestroyOffscreenSurface(surface);
    return 0;
}
