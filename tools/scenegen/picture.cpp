#include "tools/scenegen/picture.h"

#include <cmath>

#include "tools/scenegen/maths.h"

namespace scenegen {

TColour Mix(const TColour& a, const TColour& b, float t) {
    return TColour{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t,
                   a.a + (b.a - a.a) * t};
}

TColour Scaled(const TColour& c, float k) {
    return TColour{c.r * k, c.g * k, c.b * k, c.a};
}

TPicture::TPicture(int width, int height, int channels)
    : Width(width), Height(height), Channels(channels),
      Bytes(std::size_t(width) * std::size_t(height) * std::size_t(channels), 0) {}

static std::uint8_t ToByte(float v) {
    float scaled = v * 255.0f + 0.5f;
    if (!(scaled > 0.0f)) return 0; // also NaN
    if (scaled >= 255.0f) return 255;
    return std::uint8_t(scaled);
}

void TPicture::Set(int x, int y, const TColour& c) {
    std::uint8_t* p = &Bytes[(std::size_t(y) * std::size_t(Width) + std::size_t(x)) * std::size_t(Channels)];
    p[0] = ToByte(c.r);
    p[1] = ToByte(c.g);
    p[2] = ToByte(c.b);
    if (Channels == 4) p[3] = ToByte(c.a);
}

TColour TPicture::Get(int x, int y) const {
    const std::uint8_t* p =
        &Bytes[(std::size_t(y) * std::size_t(Width) + std::size_t(x)) * std::size_t(Channels)];
    return TColour{p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f, Channels == 4 ? p[3] / 255.0f : 1.0f};
}

TColour TPicture::Sample(float s, float t) const {
    float fx = s * float(Width) - 0.5f, fy = t * float(Height) - 0.5f;
    float x0f = std::floor(fx), y0f = std::floor(fy);
    float tx = fx - x0f, ty = fy - y0f;
    auto wrap = [](int v, int n) { return ((v % n) + n) % n; };
    int x0 = wrap(int(x0f), Width), x1 = wrap(int(x0f) + 1, Width);
    int y0 = wrap(int(y0f), Height), y1 = wrap(int(y0f) + 1, Height);
    TColour top = Mix(Get(x0, y0), Get(x1, y0), tx);
    TColour bottom = Mix(Get(x0, y1), Get(x1, y1), tx);
    return Mix(top, bottom, ty);
}

float Length(TVec3 a) {
    return std::sqrt(Dot(a, a));
}

TVec3 Normalised(TVec3 a) {
    float len = Length(a);
    return len > 0.0f ? a * (1.0f / len) : a;
}

TMatrix IdentityMatrix() {
    return TMatrix{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
}

TMatrix LookAtMatrix(TVec3 eye, TVec3 target, TVec3 up) {
    TVec3 f = Normalised(target - eye);
    TVec3 s = Normalised(Cross(f, up));
    TVec3 u = Cross(s, f);
    TMatrix m = IdentityMatrix();
    m[0] = s.x, m[4] = s.y, m[8] = s.z;
    m[1] = u.x, m[5] = u.y, m[9] = u.z;
    m[2] = -f.x, m[6] = -f.y, m[10] = -f.z;
    m[12] = -Dot(s, eye);
    m[13] = -Dot(u, eye);
    m[14] = Dot(f, eye);
    return m;
}

TMatrix PerspectiveMatrix(double fovyDegrees, double aspect, double zNear, double zFar) {
    double f = 1.0 / Tan(fovyDegrees * 3.14159265358979323846 / 360.0);
    TMatrix m{};
    m[0] = float(f / aspect);
    m[5] = float(f);
    m[10] = float((zFar + zNear) / (zNear - zFar));
    m[11] = -1.0f;
    m[14] = float(2.0 * zFar * zNear / (zNear - zFar));
    return m;
}

TMatrix Multiply(const TMatrix& a, const TMatrix& b) {
    TMatrix r{};
    for (int c = 0; c < 4; ++c)
        for (int row = 0; row < 4; ++row) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k)
                sum += a[k * 4 + row] * b[c * 4 + k];
            r[c * 4 + row] = sum;
        }
    return r;
}

std::array<float, 4> Transform(const TMatrix& m, TVec3 p) {
    std::array<float, 4> r{};
    for (int row = 0; row < 4; ++row)
        r[row] = m[row] * p.x + m[4 + row] * p.y + m[8 + row] * p.z + m[12 + row];
    return r;
}

void TGenObject::Add(TVec3 a, TVec3 b, TVec3 c) {
    Triangles.push_back({a, b, c});
}

void TGenObject::Add(TVec3 a, TVec3 b, TVec3 c, TVec3 ta, TVec3 tb, TVec3 tc) {
    Triangles.push_back({a, b, c});
    TexCoords.push_back({ta, tb, tc});
}

void TGenObject::AddQuad(TVec3 a, TVec3 b, TVec3 c, TVec3 d) {
    Add(a, b, c);
    Add(a, c, d);
}

void TGenObject::AddQuad(TVec3 a, TVec3 b, TVec3 c, TVec3 d, TVec3 ta, TVec3 tb, TVec3 tc, TVec3 td) {
    Add(a, b, c, ta, tb, tc);
    Add(a, c, d, ta, tc, td);
}

std::size_t TGenModel::TriangleCount() const {
    std::size_t n = 0;
    for (const TGenObject& o : Objects)
        n += o.Triangles.size();
    return n;
}

} // namespace scenegen
