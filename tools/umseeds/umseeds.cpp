// umseeds DIR: writes small, well-formed UMF and UMT files into DIR/umf and
// DIR/umt, one of each shape the readers know, as the fuzzers' seed corpus.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <stdexcept>
#include <string>

#include "engine/models/umf_writer.h"
#include "engine/textures/umt_writer.h"

namespace {

TModelMatrix Identity() {
    TModelMatrix m{};
    m[0] = m[5] = m[10] = m[15] = 1.0f;
    return m;
}

TMesh Mesh(std::uint32_t triangles, bool texCoords) {
    TMesh mesh;
    mesh.TriangleCount = triangles;
    mesh.Triangles.resize(triangles);
    for (std::uint32_t t = 0; t < triangles; ++t)
        for (int i = 0; i < 9; ++i)
            mesh.Triangles[t].Vertices[i / 3][i % 3] = float(t + i);
    if (texCoords) {
        mesh.TexCoordCount = 3 * triangles;
        mesh.TexCoords.assign(mesh.TexCoordCount, TTexCoord{0.5f, 0.25f, 0.0f});
    }
    return mesh;
}

// The smallest model that draws: one untextured material, one object.
TModel MinimalModel() {
    TModel m;
    m.FrameCount = 1;
    m.MaterialCount = 1;
    m.Materials.resize(1);
    m.ObjectCount = 1;
    m.Objects.resize(1);
    m.Objects[0].MeshCount = 1;
    m.Objects[0].Meshes = {Mesh(1, false)};
    m.Objects[0].Frames = {{Identity(), 0}};
    m.Objects[0].Alpha = {0.0f};
    return m;
}

// Two frames, a textured material, two meshes with every chunk kind, an
// object without tracks, lights and cameras.
TModel FullModel() {
    TModel m;
    m.HeaderWord = 1;
    m.FrameCount = 2;
    m.MaterialCount = 2;
    m.Materials.resize(2);
    std::memcpy(m.Materials[1].Name, "water", 5);
    m.ObjectCount = 2;
    m.Objects.resize(2);
    TModelObject& a = m.Objects[0];
    a.MaterialIndex = 1;
    a.MeshCount = 2;
    a.Meshes = {Mesh(2, true), Mesh(1, true)};
    a.Meshes[1].Chunk1Count = a.Meshes[1].Chunk2Count = a.Meshes[1].Chunk3Count = 1;
    a.Meshes[1].Chunk1 = a.Meshes[1].Chunk2 = {TMeshItem3{{1, 2, 3}}};
    a.Meshes[1].Chunk3 = {TMeshItem4{{1, 2, 3, 4}}};
    a.Frames = {{Identity(), 0}, {Identity(), 1}};
    a.Alpha = {0.0f, 0.5f};
    m.Objects[1].MeshCount = 1;
    m.Objects[1].Meshes = {Mesh(1, false)};
    m.ModelLightCount = 1;
    m.ModelLights.resize(1);
    m.ModelLights[0].Values = {{{1, 1, 1, 1}, 0, 10, 100}, {{1, 0, 0, 1}, 0, 20, 50}};
    m.ModelLights[0].Matrices = {Identity(), Identity()};
    m.CameraCount = 1;
    m.Cameras.resize(1);
    m.Cameras[0].Values = {{0.1f, 1000, 45}, {0.1f, 1000, 50}};
    m.Cameras[0].Matrices = {Identity(), Identity()};
    return m;
}

TUmtImage Image(std::uint16_t w, std::uint16_t h, std::uint8_t bpp, std::uint32_t lastFrame) {
    TUmtImage image;
    image.Width = w;
    image.Height = h;
    image.BitsPerPixel = bpp;
    image.LastFrame = lastFrame;
    image.Pixels.resize(image.FrameSize() * image.FrameTotal());
    for (std::size_t i = 0; i < image.Pixels.size(); ++i)
        image.Pixels[i] = static_cast<std::uint8_t>(i * 37 + i / 5);
    return image;
}

void MakeDirectory(const std::string& path) {
    if (mkdir(path.c_str(), 0755) != 0 && errno != EEXIST) throw std::runtime_error("cannot create " + path);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: umseeds DIR\n");
        return 2;
    }
    try {
        const std::string dir = argv[1];
        MakeDirectory(dir);
        MakeDirectory(dir + "/umf");
        MakeDirectory(dir + "/umt");
        SaveUmf(dir + "/umf/minimal.umf", MinimalModel());
        SaveUmf(dir + "/umf/full.umf", FullModel());
        SaveUmf(dir + "/umf/empty.umf", TModel{});
        SaveUmt(dir + "/umt/raw24.umt", Image(3, 2, 24, 1), false);
        SaveUmt(dir + "/umt/raw32.umt", Image(5, 1, 32, 2), false);
        SaveUmt(dir + "/umt/block24.umt", Image(16, 8, 24, 0), true);
        SaveUmt(dir + "/umt/block32.umt", Image(8, 16, 32, 1), true);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "umseeds: %s\n", e.what());
        return 1;
    }
    return 0;
}
