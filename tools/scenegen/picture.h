// Pictures and models as the generator builds them, before they are written.
//
// TPicture is a texture in the layout the engine uploads: rows from row 0
// (texture coordinate t = 0) upwards, R G B or R G B A bytes. TGenModel is a
// lake or glyph model in memory: materials, objects with one mesh each, and
// cameras, all at a single frame. model_files.cpp turns both into the
// engine's own records and writes them.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace scenegen {

struct TColour {
    float r = 0, g = 0, b = 0, a = 1; // 0..1 each
};

inline TColour Rgb(float r, float g, float b, float a = 1.0f) {
    return TColour{r, g, b, a};
}
TColour Mix(const TColour& a, const TColour& b, float t);
TColour Scaled(const TColour& c, float k); // r, g, b times k; alpha kept

struct TPicture {
    int Width = 0;
    int Height = 0;
    int Channels = 3; // 3: RGB, 4: RGBA
    // Written block-coded YCbCr (else raw rows): a third of the size, but an
    // 8 x 8 block shares one colour, so blocks show wherever colours meet (a
    // cloud on the blue sky, grass by sand): for near-grey pictures only.
    bool BlockCoded = false;
    // Frames of an animated texture, one after another from frame 0 (Get,
    // Set and Sample see frame 0).
    int Frames = 1;
    std::vector<std::uint8_t> Bytes;

    TPicture() = default;
    TPicture(int width, int height, int channels);

    void Set(int x, int y, const TColour& c);
    TColour Get(int x, int y) const;
    // Bilinear sample at texture coordinates (s, t), repeating like GL_REPEAT.
    TColour Sample(float s, float t) const;
};

struct TVec3 {
    float x = 0, y = 0, z = 0;
};
inline TVec3 V3(float x, float y, float z) {
    return TVec3{x, y, z};
}
inline TVec3 operator+(TVec3 a, TVec3 b) {
    return V3(a.x + b.x, a.y + b.y, a.z + b.z);
}
inline TVec3 operator-(TVec3 a, TVec3 b) {
    return V3(a.x - b.x, a.y - b.y, a.z - b.z);
}
inline TVec3 operator*(TVec3 a, float k) {
    return V3(a.x * k, a.y * k, a.z * k);
}
inline float Dot(TVec3 a, TVec3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline TVec3 Cross(TVec3 a, TVec3 b) {
    return V3(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}
float Length(TVec3 a);
TVec3 Normalised(TVec3 a);

// Column-major 4 x 4 matrix, translation in elements 12, 13 and 14.
using TMatrix = std::array<float, 16>;
TMatrix IdentityMatrix();
// The view matrix of an eye at `eye` looking at `target` with `up` upwards
// (what gluLookAt builds): world to eye space.
TMatrix LookAtMatrix(TVec3 eye, TVec3 target, TVec3 up);
// A perspective projection as gluPerspective builds it.
TMatrix PerspectiveMatrix(double fovyDegrees, double aspect, double zNear, double zFar);
TMatrix Multiply(const TMatrix& a, const TMatrix& b); // a x b
// (x, y, z, 1) through the matrix: x, y, z, w of the result.
std::array<float, 4> Transform(const TMatrix& m, TVec3 p);

struct TGenMaterial {
    TColour Colour;      // used as is when untextured
    std::string Texture; // texture name (models/<name>.umt), empty: untextured
};

struct TGenObject {
    std::uint16_t Material = 0;
    float Alpha = 0.0f;                          // the alpha track's one value
    std::vector<std::array<TVec3, 3>> Triangles; // counter-clockwise seen from the front
    std::vector<std::array<TVec3, 3>> TexCoords; // s, t, r per vertex (empty when untextured)

    // Adds a triangle (and its texture coordinates when given).
    void Add(TVec3 a, TVec3 b, TVec3 c);
    void Add(TVec3 a, TVec3 b, TVec3 c, TVec3 ta, TVec3 tb, TVec3 tc);
    // A quad a-b-c-d (counter-clockwise from the front) as two triangles.
    void AddQuad(TVec3 a, TVec3 b, TVec3 c, TVec3 d);
    void AddQuad(TVec3 a, TVec3 b, TVec3 c, TVec3 d, TVec3 ta, TVec3 tb, TVec3 tc, TVec3 td);
};

struct TGenCamera {
    float Near = 1.0f;
    float Far = 1000.0f;
    float FieldOfView = 45.0f; // vertical, degrees
    TMatrix Matrix{};          // view matrix, multiplied onto the projection
};

struct TGenModel {
    std::vector<TGenMaterial> Materials;
    std::vector<TGenObject> Objects;
    std::vector<TGenCamera> Cameras;

    std::size_t TriangleCount() const;
};

// A texture the models name, with the name they use for it.
struct TNamedPicture {
    std::string Name;
    TPicture Picture;
};

} // namespace scenegen
