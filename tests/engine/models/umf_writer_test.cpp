// Writing model records: what the reader reads back is what was written.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <stdexcept>

#include "engine/models/umf.h"
#include "engine/models/umf_writer.h"

namespace {

// Every field a file carries, counts included, as one byte string: two
// records that dump alike hold the same bits (NaNs too).
struct TDump {
    std::string Bytes;
    template <typename T> void One(const T& value) {
        Bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
    }
    template <typename T> void One(const std::vector<T>& items) {
        One(items.size());
        Bytes.append(reinterpret_cast<const char*>(items.data()), items.size() * sizeof(T));
    }
    template <typename... T> void Add(const T&... values) { (One(values), ...); }
};

std::string Dump(const TModel& m) {
    TDump d;
    d.Add(m.HeaderWord, m.FrameCount, m.MaterialCount, m.ObjectCount, m.ModelLightCount, m.CameraCount);
    for (const TMaterial& material : m.Materials)
        d.Add(material.Colour, material.Name);
    for (const TModelObject& o : m.Objects) {
        d.Add(o.MaterialIndex, o.Spare, o.MeshCount, o.Frames, o.Alpha);
        for (const TMesh& mesh : o.Meshes)
            d.Add(mesh.TriangleCount, mesh.Triangles, mesh.Chunk1Count, mesh.Chunk1, mesh.Chunk2Count,
                  mesh.Chunk2, mesh.Chunk3Count, mesh.Chunk3, mesh.TexCoordCount, mesh.TexCoords);
    }
    for (const TModelLight& l : m.ModelLights)
        d.Add(l.Spare, l.Values, l.Matrices);
    for (const TModelCamera& c : m.Cameras)
        d.Add(c.Values, c.Matrices);
    return d.Bytes;
}

void ExpectSameModel(const TModel& written, const TModel& read) {
    EXPECT_TRUE(Dump(written) == Dump(read)) << "the model read back differs from the one written";
}

TModel ReadBack(const std::vector<std::uint8_t>& bytes) {
    TModel model;
    ParseUmf(bytes.data(), bytes.size(), model, "written.umf");
    return model;
}

void SetName(TMaterial& material, const std::string& name) {
    std::memcpy(material.Name, name.data(), std::min<std::size_t>(name.size(), sizeof material.Name));
}

TMesh MakeMesh(std::uint32_t triangles, float base, bool texCoords) {
    TMesh mesh;
    mesh.TriangleCount = triangles;
    mesh.Triangles.resize(triangles);
    for (std::uint32_t t = 0; t < triangles; ++t)
        for (int i = 0; i < 9; ++i)
            mesh.Triangles[t].Vertices[i / 3][i % 3] = base + t * 9 + i;
    if (texCoords) {
        mesh.TexCoordCount = 3 * triangles;
        mesh.TexCoords.resize(mesh.TexCoordCount);
        for (std::uint32_t i = 0; i < mesh.TexCoordCount; ++i)
            mesh.TexCoords[i] = {0.5f * i, 1.0f - i, 0.0f};
    }
    return mesh;
}

TModelMatrix Translation(float x, float y, float z) {
    TModelMatrix m{};
    m[0] = m[5] = m[10] = m[15] = 1.0f;
    m[12] = x;
    m[13] = y;
    m[14] = z;
    return m;
}

// Every record and chunk kind, with the cases the put-back rules care about:
// an object without tracks before another object, a mesh without chunks
// before another mesh, a full-length texture name, bit patterns like NaN.
TModel RichModel() {
    const std::uint32_t frames = 3;
    TModel m;
    m.HeaderWord = 0xBEEF;
    m.FrameCount = frames;
    m.MaterialCount = 3;
    m.Materials.resize(3);
    m.Materials[0].Colour[0] = 0.5f;
    SetName(m.Materials[1], "water");
    SetName(m.Materials[2], "0123456789abcdef0123456789ABCDEF");
    m.Materials[2].Colour[3] = std::numeric_limits<float>::quiet_NaN();

    m.ObjectCount = 3;
    m.Objects.resize(3);
    TModelObject& a = m.Objects[0];
    a.MaterialIndex = 1;
    a.Spare = 0xAB;
    a.MeshCount = 3;
    a.Meshes = {MakeMesh(2, 0, true), TMesh{}, MakeMesh(1, 100, true)};
    a.Meshes[0].Chunk1Count = 1;
    a.Meshes[0].Chunk1 = {{{1, 2, 3}}};
    a.Meshes[2].Chunk2Count = 2;
    a.Meshes[2].Chunk2 = {{{4, 5, 6}}, {{7, 8, 9}}};
    a.Meshes[2].Chunk3Count = 1;
    a.Meshes[2].Chunk3 = {{{1, 2, 3, 4}}};
    for (std::uint32_t f = 0; f < frames; ++f) {
        a.Frames.push_back({Translation(f, 0, 0), f == 1 ? 2u : 0u});
        a.Alpha.push_back(0.25f * f);
    }
    TModelObject& b = m.Objects[1]; // no tracks at all
    b.MaterialIndex = 0;
    b.MeshCount = 1;
    b.Meshes = {MakeMesh(1, -5, false)};
    TModelObject& c = m.Objects[2]; // alpha track only
    c.MaterialIndex = 2;
    c.Alpha = {1, 2, 3};

    m.ModelLightCount = 2;
    m.ModelLights.resize(2);
    for (std::uint32_t l = 0; l < 2; ++l) {
        m.ModelLights[l].Spare[0] = static_cast<std::uint8_t>(l + 1);
        m.ModelLights[l].Spare[1] = 0xFF;
        for (std::uint32_t f = 0; f < frames; ++f) {
            m.ModelLights[l].Values.push_back({{1, 0.5f, 0.25f, 1}, -1.0f, 10.0f + f, 20.0f * l});
            m.ModelLights[l].Matrices.push_back(Translation(l, f, 1));
        }
    }
    m.CameraCount = 1;
    m.Cameras.resize(1);
    for (std::uint32_t f = 0; f < frames; ++f) {
        m.Cameras[0].Values.push_back({0.1f, 1000.0f, 45.0f + f});
        m.Cameras[0].Matrices.push_back(Translation(0, 0, -10.0f * f));
    }
    return m;
}

} // namespace

TEST(UmfWriter, RichModelReadsBackUnchanged) {
    const TModel model = RichModel();
    const TModel back = ReadBack(WriteUmf(model));
    ExpectSameModel(model, back);
    EXPECT_EQ(back.Objects[0].Drawable, 1);
    EXPECT_EQ(back.Objects[1].Drawable, 0);
}

TEST(UmfWriter, MinimalModelIs194Bytes) {
    TModel m;
    m.FrameCount = 1;
    m.MaterialCount = 1;
    m.Materials.resize(1);
    m.ObjectCount = 1;
    m.Objects.resize(1);
    m.Objects[0].MeshCount = 1;
    m.Objects[0].Meshes = {MakeMesh(1, 0, false)};
    m.Objects[0].Frames = {{Translation(0, 0, 0), 0}};
    m.Objects[0].Alpha = {1.0f};
    const std::vector<std::uint8_t> bytes = WriteUmf(m);
    EXPECT_EQ(bytes.size(), 194u);
    ExpectSameModel(m, ReadBack(bytes));
}

TEST(UmfWriter, LightsWithoutObjectsStillFollowAnObjectsChunk) {
    TModel m;
    m.FrameCount = 1;
    m.CameraCount = 1;
    m.Cameras.resize(1);
    m.Cameras[0].Values = {{1, 2, 3}};
    m.Cameras[0].Matrices = {Translation(1, 2, 3)};
    const TModel back = ReadBack(WriteUmf(m));
    EXPECT_EQ(back.ObjectCount, 0u);
    ExpectSameModel(m, back);
    // An empty model is just its header.
    EXPECT_EQ(WriteUmf(TModel{}).size(), 8u);
}

TEST(UmfWriter, RefusesRecordsItCannotWriteFaithfully) {
    TModel counts = RichModel();
    counts.ObjectCount = 2;
    EXPECT_THROW(WriteUmf(counts), std::invalid_argument);

    TModel meshCount = RichModel();
    meshCount.Objects[0].Meshes[0].TexCoordCount = 1;
    EXPECT_THROW(WriteUmf(meshCount), std::invalid_argument);

    TModel shortTrack = RichModel();
    shortTrack.Objects[0].Alpha.pop_back();
    EXPECT_THROW(WriteUmf(shortTrack), std::invalid_argument);

    // Lights and cameras always carry every frame.
    TModel emptyLight = RichModel();
    emptyLight.ModelLights[0].Values.clear();
    EXPECT_THROW(WriteUmf(emptyLight), std::invalid_argument);
}
