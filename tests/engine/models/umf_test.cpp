// The UMF reader: the tagged stream, its put-back rules, short and broken
// files, and the Drawable flag that keeps the drawing inside its arrays.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "engine/models/umf.h"
#include "engine/support/files.h"
#include "tests/support/temp_files.h"

namespace {

// Builds UMF bytes by hand, little-endian.
struct TUmfBytes {
    std::vector<std::uint8_t> Data;

    TUmfBytes& Bytes(std::initializer_list<int> values) {
        for (int v : values)
            Data.push_back(static_cast<std::uint8_t>(v));
        return *this;
    }
    template <typename T> TUmfBytes& Put(T value) {
        std::uint8_t raw[sizeof value];
        std::memcpy(raw, &value, sizeof value);
        Data.insert(Data.end(), raw, raw + sizeof value);
        return *this;
    }
    TUmfBytes& U16(std::uint16_t v) { return Put(v); }
    TUmfBytes& U32(std::uint32_t v) { return Put(v); }
    TUmfBytes& F32(float v) { return Put(v); }
    // A matrix that only translates.
    TUmfBytes& Matrix(float tx, float ty, float tz) {
        for (int i = 0; i < 16; ++i)
            F32(i == 12 ? tx : i == 13 ? ty : i == 14 ? tz : (i % 5 == 0 ? 1.0f : 0.0f));
        return *this;
    }
    TUmfBytes& Header(std::uint16_t word, std::uint32_t frames) {
        return Bytes({0xFF, 0x00}).U16(word).U32(frames);
    }
    // One material item (tag byte, colour, 32-byte name area).
    TUmfBytes& Material(float r, float g, float b, float a, const std::string& name) {
        Bytes({0x11}).F32(r).F32(g).F32(b).F32(a);
        std::uint8_t area[32] = {};
        std::memcpy(area, name.data(), std::min<std::size_t>(name.size(), 32));
        Data.insert(Data.end(), area, area + 32);
        return *this;
    }
    TUmfBytes& Triangle(float base) {
        for (int i = 0; i < 9; ++i)
            F32(base + i);
        return *this;
    }
    // An object's fixed part: two tag bytes, material index, spare, mesh count.
    TUmfBytes& Object(std::uint16_t material, std::uint8_t spare, std::uint32_t meshes) {
        return Bytes({0x21, 0x22}).U16(material).Bytes({spare}).U32(meshes);
    }
    // A mesh tag and a triangles chunk of one triangle.
    TUmfBytes& OneTriangleMesh(float base) { return Bytes({0x31, 0x00}).U32(1).Triangle(base); }
    TUmfBytes& Frame(float tx, std::uint32_t mesh) { return Matrix(tx, 0, 0).U32(mesh); }
};

// The smallest file that draws: header, one untextured material, one object
// with one single-triangle mesh and both tracks.
TUmfBytes MinimalModel() {
    TUmfBytes f;
    f.Header(0x1234, 1);
    f.Bytes({0xFF, 0x05}).U32(1).Material(0.25f, 0.5f, 0.75f, 1.0f, "");
    f.Bytes({0xFF, 0x01}).U32(1).Object(0, 0x42, 1).OneTriangleMesh(1.0f);
    f.Bytes({0x05}).Frame(3.0f, 0).Bytes({0x09}).F32(0.5f);
    return f;
}

// Reads the bytes through the store; "" when it succeeds, else the error text.
std::string Read(const std::vector<std::uint8_t>& bytes) {
    std::string path = WriteTemp("model.umf", bytes);
    try {
        ReadUmf(path);
    } catch (const TIoError& e) {
        return e.what();
    }
    return "";
}

// What a file cut short raises: the runtime's text, then the file.
std::string ShortRead() {
    return "Read beyond end of file: " + TempPath("model.umf");
}

const TModel& Last() {
    return Models.back();
}

} // namespace

TEST(UmfReader, ReadsMinimalDrawableModel) {
    TUmfBytes f = MinimalModel();
    ASSERT_EQ(f.Data.size(), 194u);
    ASSERT_EQ(Read(f.Data), "");
    ASSERT_EQ(ModelCount, 1u);
    ASSERT_EQ(Models.size(), 1u);
    const TModel& m = Last();
    EXPECT_EQ(m.HeaderWord, 0x1234);
    EXPECT_EQ(m.FrameCount, 1u);
    ASSERT_EQ(m.MaterialCount, 1u);
    EXPECT_FLOAT_EQ(m.Materials[0].Colour[2], 0.75f);
    EXPECT_EQ(MaterialTextureName(m.Materials[0]), "");
    ASSERT_EQ(m.ObjectCount, 1u);
    const TModelObject& o = m.Objects[0];
    EXPECT_EQ(o.MaterialIndex, 0);
    EXPECT_EQ(o.Spare, 0x42);
    ASSERT_EQ(o.MeshCount, 1u);
    ASSERT_EQ(o.Meshes[0].TriangleCount, 1u);
    EXPECT_FLOAT_EQ(o.Meshes[0].Triangles[0].Vertices[2][2], 9.0f);
    EXPECT_EQ(o.Meshes[0].TexCoordCount, 0u);
    ASSERT_EQ(o.Frames.size(), 1u);
    EXPECT_FLOAT_EQ(o.Frames[0].Matrix[12], 3.0f);
    EXPECT_EQ(o.Frames[0].MeshIndex, 0u);
    ASSERT_EQ(o.Alpha.size(), 1u);
    EXPECT_FLOAT_EQ(o.Alpha[0], 0.5f);
    EXPECT_EQ(o.Drawable, 1);
    EXPECT_EQ(m.ModelLightCount, 0u);
    EXPECT_EQ(m.CameraCount, 0u);
}

TEST(UmfReader, EmptyOrUntaggedFileGivesEmptyModel) {
    EXPECT_EQ(Read({}), "");
    EXPECT_EQ(Read({0x00, 0xFF, 0x00, 0x01, 0x00}), "");
    ASSERT_EQ(ModelCount, 2u);
    for (const TModel& m : Models) {
        EXPECT_EQ(m.FrameCount, 0u);
        EXPECT_EQ(m.MaterialCount + m.ObjectCount + m.ModelLightCount + m.CameraCount, 0u);
    }
}

TEST(UmfReader, UnknownTopLevelChunkEndsReadingWithoutError) {
    TUmfBytes f;
    f.Header(1, 4).Bytes({0xFF, 0x02}).Bytes({0xFF, 0x05}).U32(0xFFFFFFFF); // garbage after the end
    EXPECT_EQ(Read(f.Data), "");
    EXPECT_EQ(Last().FrameCount, 4u);
    EXPECT_EQ(Last().MaterialCount, 0u);

    // Lights and cameras are not top-level chunks: they end the reading too.
    for (int id : {0x03, 0x04}) {
        TUmfBytes g;
        g.Header(1, 1).Bytes({0xFF, id}).U32(1).Bytes({0, 0, 0});
        EXPECT_EQ(Read(g.Data), "");
        EXPECT_EQ(Last().ModelLightCount + Last().CameraCount, 0u);
    }
}

TEST(UmfReader, ObjectsChunkPutsBackFollowingMaterialsTag) {
    TUmfBytes f;
    f.Header(0, 1);
    f.Bytes({0xFF, 0x01}).U32(1).Object(0, 0, 1).OneTriangleMesh(0).Bytes({0x05}).Frame(0, 0);
    f.Bytes({0x09}).F32(0.0f);
    f.Bytes({0xFF, 0x05}).U32(1).Material(1, 1, 1, 1, "wood");
    ASSERT_EQ(Read(f.Data), "");
    ASSERT_EQ(Last().MaterialCount, 1u);
    EXPECT_EQ(MaterialTextureName(Last().Materials[0]), "wood");
    ASSERT_EQ(Last().ObjectCount, 1u);
    EXPECT_EQ(Last().Objects[0].Alpha.size(), 1u);
}

TEST(UmfReader, ObjectsWithoutTracksHaveNone) {
    TUmfBytes f;
    f.Header(0, 2).Bytes({0xFF, 0x05}).U32(1).Material(1, 1, 1, 1, "");
    f.Bytes({0xFF, 0x01}).U32(3);
    f.Object(0, 0, 1).OneTriangleMesh(0).Bytes({0x09}).F32(0.1f).F32(0.2f);     // alpha only
    f.Object(0, 0, 1).OneTriangleMesh(0).Bytes({0x05}).Frame(0, 0).Frame(1, 0); // transform only
    f.Object(0, 0, 0);                                                          // neither
    ASSERT_EQ(Read(f.Data), "");
    const TModel& m = Last();
    ASSERT_EQ(m.ObjectCount, 3u);
    EXPECT_TRUE(m.Objects[0].Frames.empty());
    EXPECT_EQ(m.Objects[0].Alpha.size(), 2u);
    EXPECT_EQ(m.Objects[1].Frames.size(), 2u);
    EXPECT_TRUE(m.Objects[1].Alpha.empty());
    EXPECT_TRUE(m.Objects[2].Frames.empty() && m.Objects[2].Alpha.empty());
    EXPECT_EQ(m.Objects[2].MeshCount, 0u);
    // None is drawable throughout: the plain picture needs both tracks.
    for (const TModelObject& o : m.Objects)
        EXPECT_EQ(o.Drawable, 0);
}

TEST(UmfReader, ReadsAllMeshChunksLightsAndCameras) {
    TUmfBytes f;
    f.Header(0, 2).Bytes({0xFF, 0x05}).U32(1).Material(1, 1, 1, 1, "rock");
    f.Bytes({0xFF, 0x01}).U32(1).Object(0, 0, 2);
    // Mesh 0: every chunk kind; mesh 1: chunks in another order, one chunk given twice.
    f.Bytes({0x31}).Bytes({0x00}).U32(1).Triangle(0);
    f.Bytes({0x01}).U32(1).F32(1).F32(2).F32(3).Bytes({0x02}).U32(2).F32(4).F32(5).F32(6).F32(7).F32(8).F32(
        9);
    f.Bytes({0x03}).U32(1).F32(1).F32(2).F32(3).F32(4);
    f.Bytes({0x04}).U32(3).F32(0.1f).F32(0.2f).F32(0.3f).F32(0).F32(0).F32(0).F32(0).F32(0).F32(1);
    f.Bytes({0x31}).Bytes({0x04}).U32(1).F32(5).F32(5).F32(5).Bytes({0x00}).U32(1).Triangle(10);
    f.Bytes({0x00}).U32(2).Triangle(20).Triangle(30);
    f.Bytes({0x05}).Frame(0, 0).Frame(0, 1).Bytes({0x09}).F32(0).F32(1);
    // Trailer: two lights, then one camera.
    f.Bytes({0xFF, 0x03}).U32(2);
    for (int light = 0; light < 2; ++light) {
        f.Bytes({0x41, 7, 8});
        for (int frame = 0; frame < 2; ++frame)
            f.F32(1).F32(0.5f).F32(0.25f).F32(1).F32(99).F32(10.0f + frame).F32(20.0f + light);
        f.Matrix(1, 2, 3).Matrix(4, 5, 6);
    }
    f.Bytes({0xFF, 0x04}).U32(1).Bytes({0x51}).F32(0.1f).F32(100).F32(45).F32(0.2f).F32(200).F32(60);
    f.Matrix(7, 8, 9).Matrix(0, 0, 0);
    ASSERT_EQ(Read(f.Data), "");

    const TModel& m = Last();
    const TMesh& a = m.Objects[0].Meshes[0];
    EXPECT_EQ(a.TriangleCount, 1u);
    ASSERT_EQ(a.Chunk1Count, 1u);
    EXPECT_FLOAT_EQ(a.Chunk1[0].Values[2], 3);
    ASSERT_EQ(a.Chunk2Count, 2u);
    EXPECT_FLOAT_EQ(a.Chunk2[1].Values[0], 7);
    ASSERT_EQ(a.Chunk3Count, 1u);
    EXPECT_FLOAT_EQ(a.Chunk3[0].Values[3], 4);
    ASSERT_EQ(a.TexCoordCount, 3u);
    EXPECT_FLOAT_EQ(a.TexCoords[0].R, 0.3f);
    EXPECT_FLOAT_EQ(a.TexCoords[2].R, 1.0f);
    const TMesh& b = m.Objects[0].Meshes[1];
    ASSERT_EQ(b.TriangleCount, 2u); // the second triangles chunk replaced the first
    EXPECT_FLOAT_EQ(b.Triangles[1].Vertices[0][0], 30);
    EXPECT_EQ(b.TexCoordCount, 1u);
    // Textured and mesh 1 has fewer than 3 coordinates per triangle: not drawable.
    EXPECT_EQ(m.Objects[0].Drawable, 0);

    ASSERT_EQ(m.ModelLightCount, 2u);
    const TModelLight& l = m.ModelLights[1];
    EXPECT_EQ(l.Spare[0], 7);
    EXPECT_EQ(l.Spare[1], 8);
    ASSERT_EQ(l.Values.size(), 2u);
    EXPECT_FLOAT_EQ(l.Values[1].Attenuation, 11); // as stored: LoadModel converts
    EXPECT_FLOAT_EQ(l.Values[1].Reach, 21);
    EXPECT_FLOAT_EQ(l.Values[0].Colour[2], 0.25f);
    ASSERT_EQ(l.Matrices.size(), 2u);
    EXPECT_FLOAT_EQ(l.Matrices[1][13], 5);
    ASSERT_EQ(m.CameraCount, 1u);
    EXPECT_FLOAT_EQ(m.Cameras[0].Values[1].Far, 200);
    EXPECT_FLOAT_EQ(m.Cameras[0].Values[1].FieldOfView, 60);
    EXPECT_FLOAT_EQ(m.Cameras[0].Matrices[0][14], 9);
}

TEST(UmfReader, SecondChunkReplacesTheFirst) {
    TUmfBytes f;
    f.Header(0, 1).Bytes({0xFF, 0x05}).U32(2).Material(1, 0, 0, 1, "a").Material(0, 1, 0, 1, "b");
    f.Bytes({0xFF, 0x05}).U32(1).Material(0, 0, 1, 1, "c").Header(9, 1);
    ASSERT_EQ(Read(f.Data), "");
    ASSERT_EQ(Last().MaterialCount, 1u);
    EXPECT_EQ(MaterialTextureName(Last().Materials[0]), "c");
    EXPECT_EQ(Last().HeaderWord, 9);
}

TEST(UmfReader, FullLengthTextureNameHasNoTerminator) {
    const std::string name = "abcdefghijklmnopqrstuvwxyz012345";
    ASSERT_EQ(name.size(), 32u);
    TUmfBytes f;
    f.Header(0, 1)
        .Bytes({0xFF, 0x05})
        .U32(2)
        .Material(1, 1, 1, 1, name)
        .Material(1, 1, 1, 1, std::string("short\0junk", 10));
    ASSERT_EQ(Read(f.Data), "");
    EXPECT_EQ(MaterialTextureName(Last().Materials[0]), name);
    EXPECT_EQ(MaterialTextureName(Last().Materials[1]), "short");
}

TEST(UmfReader, ShortFileRaisesReadBeyondEndAndKeepsSlot) {
    // A lone 0xFF at the end: the chunk identifier is missing.
    TUmfBytes lone;
    lone.Header(0, 1).Bytes({0xFF});
    EXPECT_EQ(Read(lone.Data), ShortRead());
    EXPECT_EQ(ModelCount, 1u);

    // One byte after an objects chunk: the trailer check reads two.
    TUmfBytes trailer;
    trailer.Header(0, 1).Bytes({0xFF, 0x01}).U32(0).Bytes({0xFF});
    EXPECT_EQ(Read(trailer.Data), ShortRead());
    EXPECT_EQ(ModelCount, 2u);

    // A later load appends after the broken ones.
    EXPECT_EQ(Read(MinimalModel().Data), "");
    EXPECT_EQ(ModelCount, 3u);
    EXPECT_EQ(Models.size(), 3u);
    EXPECT_EQ(Models[2].Objects[0].Drawable, 1);
}

TEST(UmfReader, EveryTruncationEndsCleanlyOrAsShortRead) {
    const std::vector<std::uint8_t> full = MinimalModel().Data;
    // Ends between chunks (after the header, the materials, the mesh, each track): complete.
    // (79: the mesh's tag byte was read and the mesh simply has no chunks.)
    const std::vector<std::size_t> complete = {0, 8, 63, 79, 120, 189, 194};
    for (std::size_t n = 0; n <= full.size(); ++n) {
        SCOPED_TRACE(n);
        const std::uint32_t before = ModelCount;
        std::string error = Read(std::vector<std::uint8_t>(full.begin(), full.begin() + n));
        EXPECT_EQ(ModelCount, before + 1);
        bool clean = std::find(complete.begin(), complete.end(), n) != complete.end();
        EXPECT_EQ(error, clean ? "" : ShortRead());
        // A model whose reading failed is never drawn: it has no frames.
        EXPECT_EQ(Last().FrameCount, clean ? (n >= 8 ? 1u : 0u) : 0u);
        for (const TModelObject& o : Last().Objects)
            EXPECT_EQ(o.Drawable, n == full.size() ? 1 : 0);
    }
}

TEST(UmfReader, MissingFileLeavesStoreUnchanged) {
    try {
        ReadUmf(TempPath("does-not-exist.umf"));
        FAIL() << "no error";
    } catch (const TIoError& e) {
        EXPECT_EQ(e.what(), "File not found: " + TempPath("does-not-exist.umf"));
        EXPECT_EQ(e.Code(), IoFileNotFound);
    }
    EXPECT_EQ(ModelCount, 0u);
    EXPECT_TRUE(Models.empty());
}

TEST(UmfReader, CountsBeyondTheFileRaiseBeforeAllocating) {
    auto expectShort = [](const TUmfBytes& f) { EXPECT_EQ(Read(f.Data), ShortRead()); };
    expectShort(TUmfBytes().Header(0, 1).Bytes({0xFF, 0x05}).U32(0xFFFFFFFF));
    expectShort(TUmfBytes().Header(0, 1).Bytes({0xFF, 0x01}).U32(0x20000000));
    expectShort(TUmfBytes().Header(0, 1).Bytes({0xFF, 0x01}).U32(1).Object(0, 0, 0xFFFFFFFF));
    expectShort(TUmfBytes()
                    .Header(0, 1)
                    .Bytes({0xFF, 0x01})
                    .U32(1)
                    .Object(0, 0, 1)
                    .Bytes({0x31, 0x00})
                    .U32(0x7FFFFFFF));
    // A frame count far beyond the file makes every track too long for it.
    expectShort(TUmfBytes().Header(0, 0xFFFFFFFF).Bytes({0xFF, 0x01}).U32(1).Object(0, 0, 0).Bytes({0x05}));
    expectShort(TUmfBytes().Header(0, 0xFFFFFFFF).Bytes({0xFF, 0x01}).U32(1).Object(0, 0, 0).Bytes({0x09}));
    expectShort(TUmfBytes()
                    .Header(0, 0x10000000)
                    .Bytes({0xFF, 0x01})
                    .U32(0)
                    .Bytes({0xFF, 0x03})
                    .U32(1)
                    .Bytes({0, 0, 0}));
    expectShort(
        TUmfBytes().Header(0, 0x10000000).Bytes({0xFF, 0x01}).U32(0).Bytes({0xFF, 0x04}).U32(2).Bytes({0}));
    // Zero frames: a camera takes one byte, so a count above the bytes left is short.
    expectShort(TUmfBytes().Header(0, 0).Bytes({0xFF, 0x01}).U32(0).Bytes({0xFF, 0x04}).U32(5).Bytes({0, 0}));
}

TEST(UmfReader, RefusesModelsBeyondTheMemoryLimit) {
    // Mesh items may be a single tag byte each but take a whole TMesh in memory.
    const std::uint32_t meshes = static_cast<std::uint32_t>(MaxUmfModelBytes / sizeof(TMesh) + 1);
    TUmfBytes f;
    f.Header(0, 1).Bytes({0xFF, 0x01}).U32(1).Object(0, 0, meshes);
    f.Data.resize(f.Data.size() + meshes, 0x31);
    const std::string path = WriteTemp("huge.umf", f.Data);
    try {
        ReadUmf(path);
        FAIL() << "no error";
    } catch (const TIoError& e) {
        EXPECT_EQ(std::string(e.what()), path + ": model too large");
    }
    EXPECT_EQ(ModelCount, 1u);
    EXPECT_EQ(Last().Objects[0].MeshCount, 0u);
}

TEST(UmfReader, RefusesFrameCountChangeAfterTracks) {
    TUmfBytes f = MinimalModel();
    f.Header(0, 5);
    const std::string path = WriteTemp("late-header.umf", f.Data);
    try {
        ReadUmf(path);
        FAIL() << "no error";
    } catch (const TIoError& e) {
        EXPECT_EQ(std::string(e.what()), path + ": frame count changes after tracks were read");
    }
    EXPECT_EQ(Last().FrameCount, 0u);
    EXPECT_EQ(Last().Objects[0].Drawable, 0);

    // The same count again, or any count before the first track, is taken as it comes.
    TUmfBytes same = MinimalModel();
    same.Header(7, 1);
    EXPECT_EQ(Read(same.Data), "");
    EXPECT_EQ(Last().HeaderWord, 7);
    TUmfBytes early;
    const std::vector<std::uint8_t> rest = MinimalModel().Data;
    early.Header(0, 9).Data.insert(early.Data.end(), rest.begin(), rest.end());
    EXPECT_EQ(Read(early.Data), "");
    EXPECT_EQ(Last().FrameCount, 1u);
}

TEST(UmfDrawable, FlagsObjectsTheDrawingCouldNotDrawSafely) {
    TUmfBytes f;
    f.Header(0, 2).Bytes({0xFF, 0x05}).U32(2).Material(1, 1, 1, 1, "").Material(1, 1, 1, 1, "leaf");
    f.Bytes({0xFF, 0x01}).U32(6);
    // 0: fine, untextured, two meshes, frames select both.
    f.Object(0, 0, 2).OneTriangleMesh(0).OneTriangleMesh(1);
    f.Bytes({0x05}).Frame(0, 0).Frame(0, 1).Bytes({0x09}).F32(0).F32(0);
    // 1: material index 2 of 2.
    f.Object(2, 0, 1).OneTriangleMesh(0).Bytes({0x05}).Frame(0, 0).Frame(0, 0).Bytes({0x09}).F32(0).F32(0);
    // 2: frame 1 selects mesh 1 of 1.
    f.Object(0, 0, 1).OneTriangleMesh(0).Bytes({0x05}).Frame(0, 0).Frame(0, 1).Bytes({0x09}).F32(0).F32(0);
    // 3: textured, mesh without texture coordinates.
    f.Object(1, 0, 1).OneTriangleMesh(0).Bytes({0x05}).Frame(0, 0).Frame(0, 0).Bytes({0x09}).F32(0).F32(0);
    // 4: textured, 3 coordinates for its triangle.
    f.Object(1, 0, 1).OneTriangleMesh(0).Bytes({0x04}).U32(3);
    for (int i = 0; i < 9; ++i)
        f.F32(0.1f * i);
    f.Bytes({0x05}).Frame(0, 0).Frame(0, 0).Bytes({0x09}).F32(0).F32(0);
    // 5: textured, the mesh without coordinates exists but no frame selects it.
    f.Object(1, 0, 2).OneTriangleMesh(0).Bytes({0x31, 0x00}).U32(0);
    f.Bytes({0x05}).Frame(0, 1).Frame(0, 1).Bytes({0x09}).F32(0).F32(0);
    ASSERT_EQ(Read(f.Data), "");
    const TModel& m = Last();
    ASSERT_EQ(m.ObjectCount, 6u);
    EXPECT_EQ(m.Objects[0].Drawable, 1);
    EXPECT_EQ(m.Objects[1].Drawable, 0);
    EXPECT_EQ(m.Objects[2].Drawable, 0);
    EXPECT_EQ(m.Objects[3].Drawable, 0);
    EXPECT_EQ(m.Objects[4].Drawable, 1);
    EXPECT_EQ(m.Objects[5].Drawable, 1);
}

TEST(UmfDrawable, MaterialsAfterObjectsCountForTheFlag) {
    // The flag is set once the whole file is read: a material index is
    // checked against the materials chunk even when that comes last.
    TUmfBytes f;
    f.Header(0, 1).Bytes({0xFF, 0x01}).U32(1).Object(1, 0, 1).OneTriangleMesh(0);
    f.Bytes({0x05}).Frame(0, 0).Bytes({0x09}).F32(1);
    f.Bytes({0xFF, 0x05}).U32(2).Material(1, 1, 1, 1, "").Material(1, 1, 1, 1, "");
    ASSERT_EQ(Read(f.Data), "");
    EXPECT_EQ(Last().Objects[0].Drawable, 1);
}
