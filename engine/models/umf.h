// The UMF model file and the model store.
//
// A UMF file holds one animated model: materials, objects (each a set of
// alternative triangle meshes with a per-frame transform track and a
// per-frame alpha track), lights and cameras, all sampled at F frames. The
// file is a tagged stream without magic, version, lengths or checksum: the
// reader finds the end of every variable-length list by looking at the next
// byte(s) and putting back what it does not recognise.
//
// All values little-endian; integers unsigned; counts uint32; reals IEEE
// single precision; a matrix is 16 floats in OpenGL column order
// (translation at elements 12, 13, 14); a point is 3 floats x, y, z.
//
// ** top level: chunks, each opened by 0xFF and an identifier
//   0xFF 0x00  header     uint16 header word (kept, not interpreted), uint32 F
//   0xFF 0x01  objects    uint32 N, N x (2 tag bytes, object), then trailer
//                         chunks 0xFF 0x03 lights / 0xFF 0x04 cameras
//   0xFF 0x05  materials  uint32 N, N x (1 tag byte, 48-byte material)
//   Any other byte or identifier ends the reading; what was taken is
//   consumed and the rest of the file ignored. A lone 0xFF at the very end
//   is a short read. Lights and cameras at top level end the reading.
//
// ** material (48 bytes)
//   0   16  4 x float   colour r, g, b, a
//   16  32  bytes       texture name up to the first zero byte, at most 32
//                       (no terminator when all 32 are used); empty = untextured
//
// ** object
//   0   2   uint16      material index
//   2   1   uint8       spare (kept)
//   3   4   uint32      mesh count M
//   7   ... M x (1 tag byte, mesh), then object chunks, each one tag byte:
//           0x05  transform track  F x 68: matrix (64), uint32 mesh index
//           0x09  alpha track      F x 4: float alpha
//           anything else is put back and ends the object
//
// ** mesh: chunks, each one tag byte, uint32 n, n items
//   0x00  triangles            36  3 vertices x (x, y, z), drawing order
//   0x01  chunk 1              12  3 floats (kept, unused)
//   0x02  chunk 2              12  3 floats (kept, unused)
//   0x03  chunk 3              16  4 floats (kept, unused)
//   0x04  texture coordinates  12  s, t, r; one per triangle vertex
//   anything else is put back and ends the mesh
//
// ** lights chunk: uint32 N, N x (1 tag byte, 2 bytes kept, F x 28-byte
//    light value, F x 64-byte matrix)
//   light value: 0 16 colour r, g, b, a (ambient and diffuse) | 16 4 spare
//   float | 20 4 attenuation distance d | 24 4 reach r
//   The light's position at a frame is the translation of its matrix.
//
// ** cameras chunk: uint32 N, N x (1 tag byte, F x 12-byte camera value,
//    F x 64-byte matrix)
//   camera value: 0 4 near | 4 4 far | 8 4 vertical field of view, degrees
//
// A file parses as intended only when the byte after each mesh is not
// 0x00..0x04 and the byte after each object is not 0x05 or 0x09. Tracks are
// sized by the frame count in force when they are read, so the header comes
// first. A chunk that occurs twice in the same scope replaces the earlier one.
//
// What the reader adds to the format's trust in its files: every count is
// checked against the bytes left before anything is allocated for it ("Read
// beyond end of file"); a model may use at most MaxUmfModelBytes of memory;
// a header that changes the frame count after tracks were read is refused;
// and the drawing code draws an object at a frame only when IsObjectDrawable
// (below) says so, so a broken file never makes it read outside an array.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/support/matmath.h"

// File record sizes.
constexpr std::size_t UmfMaterialSize = 48;
constexpr std::size_t UmfTextureNameSize = 32;
// The most memory the records of one model may take (64-bit count x size
// products), far above any real scene, far below what would strain a machine.
constexpr std::uint64_t MaxUmfModelBytes = 256u * 1024u * 1024u;

// A matrix: 16 floats in OpenGL column order, translation at 12, 13, 14
// (data() goes to glLoadMatrixf / glMultMatrixf unchanged).
using TModelMatrix = std::array<float, 16>;
static_assert(sizeof(TModelMatrix) == 64, "matrix = 16 floats as in the file");

// One triangle: three vertices x, y, z in drawing order (mesh coordinates).
struct TTriangle {
    float Vertices[3][3];
};
static_assert(sizeof(TTriangle) == 36, "triangle = 9 floats as in the file");

// One texture coordinate triple s, t, r; a mesh has one per triangle vertex.
struct TTexCoord {
    float S, T, R;
};
static_assert(sizeof(TTexCoord) == 12, "texture coordinate = 3 floats as in the file");

// Items of the mesh chunks 1 to 3: kept, interpreted by nothing.
struct TMeshItem3 {
    float Values[3];
};
struct TMeshItem4 {
    float Values[4];
};
static_assert(sizeof(TMeshItem3) == 12 && sizeof(TMeshItem4) == 16, "mesh chunk items as in the file");

// One frame of an object's transform track.
struct TObjectFrame {
    TModelMatrix Matrix;
    std::uint32_t MeshIndex; // which of the object's meshes is shown at this frame
};
static_assert(sizeof(TObjectFrame) == 68, "transform track record as in the file");

// One frame of a light. As read: Attenuation is the distance d and Reach the
// reach r; LoadModel turns them into 1 / d^2 and r^2 in place.
struct TLightParams {
    float Colour[4]; // r, g, b, a: ambient and diffuse colour
    float Spare;     // kept, not interpreted
    float Attenuation;
    float Reach;
};
static_assert(sizeof(TLightParams) == 28, "light value as in the file");

// One frame of a camera.
struct TCameraParams {
    float Near;
    float Far;
    float FieldOfView; // vertical, degrees
};
static_assert(sizeof(TCameraParams) == 12, "camera value as in the file");

struct TMaterial {
    float Colour[4] = {}; // r, g, b, a
    // The file's 32-byte name area, kept whole: the texture name is the bytes
    // up to the first zero, at most 32 (MaterialTextureName).
    std::uint8_t Name[UmfTextureNameSize] = {};
    // Filled by LoadModel; zero after reading.
    std::uint8_t Textured = 0;      // 1 when the name is not empty
    std::uint8_t BitsPerPixel = 0;  // of the material's UMT image: 24 or 32
    std::uint16_t FirstTexture = 0; // run of TextureNames indexes, one per
    std::uint16_t LastTexture = 0;  // frame of the image, inclusive
};

// Corner order of every box (Box and EyeBox of meshes, EyeBox of models),
// min and max per axis:
//   0 (min, min, min)  1 (max, min, min)  2 (max, max, min)  3 (min, max, min)
//   4 (min, min, max)  5 (max, min, max)  6 (max, max, max)  7 (min, max, max)
constexpr int BoxCornerCount = 8;

// A chunk the mesh does not have keeps count 0 and an empty array; every
// count equals the size of its array.
struct TMesh {
    std::uint32_t TriangleCount = 0;
    std::vector<TTriangle> Triangles;
    std::uint32_t Chunk1Count = 0;
    std::vector<TMeshItem3> Chunk1;
    std::uint32_t Chunk2Count = 0;
    std::vector<TMeshItem3> Chunk2;
    std::uint32_t Chunk3Count = 0;
    std::vector<TMeshItem4> Chunk3;
    std::uint32_t TexCoordCount = 0; // triples, 3 per triangle when textured
    std::vector<TTexCoord> TexCoords;
    // Box and Centre are adjacent (and so are EyeBox and EyeCentre), so the
    // nine points go through TransformPoints in one call.
    TVector Box[BoxCornerCount] = {}; // mesh coordinates, filled by LoadModel
    TVector Centre = {};
    TVector EyeBox[BoxCornerCount] = {}; // eye space, filled at draw time
    TVector EyeCentre = {};
};

struct TModelObject {
    std::uint16_t MaterialIndex = 0; // into the model's Materials
    std::uint8_t Spare = 0;          // kept, not interpreted
    std::uint32_t MeshCount = 0;
    std::vector<TMesh> Meshes;
    // Transform track: FrameCount records, or empty when the object has none.
    std::vector<TObjectFrame> Frames;
    // Alpha track: FrameCount values, or empty when the object has none.
    std::vector<float> Alpha;
    // 1 when every drawing takes the object at every frame below the model's
    // FrameCount: IsObjectDrawable holds at each of them and the alpha track
    // holds FrameCount entries. A summary for tools and checks; the drawing
    // itself decides frame by frame. Set by ReadUmf once the file is read.
    std::uint8_t Drawable = 0;
};

struct TModelLight {
    std::uint8_t Spare[2] = {};         // copied from the file, not interpreted
    std::vector<TLightParams> Values;   // FrameCount entries
    std::vector<TModelMatrix> Matrices; // FrameCount matrices
};

struct TModelCamera {
    std::vector<TCameraParams> Values;  // FrameCount entries
    std::vector<TModelMatrix> Matrices; // FrameCount matrices; multiplied onto the projection
};

struct TModel {
    std::uint16_t HeaderWord = 0; // from the header chunk, not interpreted
    std::uint32_t FrameCount = 0; // F; every track holds exactly F entries
    std::uint32_t MaterialCount = 0;
    std::vector<TMaterial> Materials;
    std::uint32_t ObjectCount = 0;
    std::vector<TModelObject> Objects;
    std::uint32_t ModelLightCount = 0;
    std::vector<TModelLight> ModelLights;
    std::uint32_t CameraCount = 0;
    std::vector<TModelCamera> Cameras;
    // Eye-space box of the meshes shown at the frame last drawn (drawing fills it).
    TVector EyeBox[BoxCornerCount] = {};
};

// The model store: models in load order, index from 0. Records may move when
// the store grows (keep indexes, not pointers to records); the arrays inside
// a record never move. Nothing removes a model.
extern std::vector<TModel> Models;
extern std::uint32_t ModelCount; // always Models.size()

// Appends one model to the store and fills it from the UMF file at path
// (relative to the current directory unless absolute; backslashes are
// separators). A file that cannot be opened raises its TIoError before the
// store changes. Later errors: "Read beyond end of file: <path>" for a file
// that ends inside a count or an item, and, with code 13, "<path>: model too
// large" or "<path>: frame count changes after tracks were read" (<path> as
// MessagePath gives it). Each leaves the new
// slot counted with what was read, but with FrameCount 0, so that no frame
// of it is ever drawn, projected or lit.
void ReadUmf(const std::string& path);

// Parses UMF bytes into `model`, which must be a fresh record. `name` is the
// file name errors mention. Raises as ReadUmf; on an error `model` holds
// what was read, FrameCount included. Sets every object's Drawable flag.
void ParseUmf(const std::uint8_t* data, std::size_t size, TModel& model, const std::string& name);

// The material's texture name: the name area up to the first zero, at most 32 characters.
std::string MaterialTextureName(const TMaterial& material);

// Recomputes every object's Drawable flag from the model as it stands.
void UpdateDrawableFlags(TModel& model);

// Whether the drawing may draw the object at `frame` without reading outside
// an array: the frame is below FrameCount and within the transform track,
// MaterialIndex is below MaterialCount, the frame's MeshIndex is below
// MeshCount, and when the material names a texture that mesh has at least
// 3 x TriangleCount texture coordinates. The alpha track is not asked for:
// only DrawModel outside the glow pass reads it, and it checks the frame
// against the track itself. DrawModel and DrawReflectiveModel skip an
// object that fails (as if it were culled): a broken frame loses the object
// at that frame only.
bool IsObjectDrawable(const TModel& model, const TModelObject& object, std::uint32_t frame);
