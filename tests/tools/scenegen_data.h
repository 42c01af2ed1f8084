// Reading back the scene data the generator wrote into the distribution
// folder, for the tests of what the engine relies on in it.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <unistd.h>
#include <vector>

#include "engine/models/umf.h"
#include "engine/support/files.h"
#include "engine/textures/umt.h"

namespace scenedata {

inline std::string DataDir() {
    return TARNWICK_DIST_DIR;
}
inline std::string ModelPath(const std::string& name) {
    return DataDir() + "/models/" + name + ".umf";
}

// Reads a model file into the store and returns its index.
inline std::uint32_t Load(const std::string& name) {
    ReadUmf(ModelPath(name));
    return ModelCount - 1;
}

inline TUmtImage Texture(const std::string& name) {
    const std::vector<std::uint8_t> bytes = ReadWholeFile(DataDir() + "/models/" + name + ".umt");
    return DecodeUmt(bytes.data(), bytes.size(), name);
}

// The folder the test programs (and the generator) are built into.
inline std::string BinDir() {
    char buffer[4096];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return ".";
    std::string self(buffer, std::size_t(n));
    return self.substr(0, self.find_last_of('/'));
}

struct TVec {
    double X, Y, Z;
};
inline TVec Vertex(const TTriangle& t, int v) {
    return {t.Vertices[v][0], t.Vertices[v][1], t.Vertices[v][2]};
}
inline TVec Minus(TVec a, TVec b) {
    return {a.X - b.X, a.Y - b.Y, a.Z - b.Z};
}
inline TVec Cross(TVec a, TVec b) {
    return {a.Y * b.Z - a.Z * b.Y, a.Z * b.X - a.X * b.Z, a.X * b.Y - a.Y * b.X};
}
inline double Dot(TVec a, TVec b) {
    return a.X * b.X + a.Y * b.Y + a.Z * b.Z;
}

// The eye of a view matrix (world to eye space, column order): -R^T t.
inline TVec EyeOf(const TModelMatrix& m) {
    return {-(m[0] * m[12] + m[1] * m[13] + m[2] * m[14]), -(m[4] * m[12] + m[5] * m[13] + m[6] * m[14]),
            -(m[8] * m[12] + m[9] * m[13] + m[10] * m[14])};
}

// Projection x camera, as SetCamera builds it for the given aspect ratio.
inline std::array<double, 16> ClipMatrix(const TModelCamera& camera, double aspect) {
    const TCameraParams& p = camera.Values[0];
    const double f = 1.0 / std::tan(p.FieldOfView * M_PI / 360.0);
    double proj[16] = {f / aspect,
                       0,
                       0,
                       0,
                       0,
                       f,
                       0,
                       0,
                       0,
                       0,
                       (p.Far + p.Near) / (p.Near - p.Far),
                       -1,
                       0,
                       0,
                       2.0 * p.Far * p.Near / (p.Near - p.Far),
                       0};
    std::array<double, 16> clip{};
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            for (int k = 0; k < 4; ++k)
                clip[c * 4 + r] += proj[k * 4 + r] * camera.Matrices[0][c * 4 + k];
    return clip;
}

// True when some part of the box of these points may be inside the frustum
// of `clip` (the drawing code's test: culled only when all corners lie
// behind one plane).
inline bool BoxInView(const std::array<double, 16>& m, const std::vector<TVec>& points) {
    TVec lo{1e30, 1e30, 1e30}, hi{-1e30, -1e30, -1e30};
    for (const TVec& p : points) {
        lo = {std::min(lo.X, p.X), std::min(lo.Y, p.Y), std::min(lo.Z, p.Z)};
        hi = {std::max(hi.X, p.X), std::max(hi.Y, p.Y), std::max(hi.Z, p.Z)};
    }
    const int rows[6][2] = {{0, -1}, {0, 1}, {1, 1}, {1, -1}, {2, -1}, {2, 1}};
    for (const auto& plane : rows) {
        int i = plane[0];
        double s = plane[1];
        double a = m[3] + s * m[i], b = m[7] + s * m[4 + i], c = m[11] + s * m[8 + i],
               d = m[15] + s * m[12 + i];
        bool anyInside = false;
        for (int k = 0; k < 8; ++k) {
            double x = k & 1 ? hi.X : lo.X, y = k & 2 ? hi.Y : lo.Y, z = k & 4 ? hi.Z : lo.Z;
            if (a * x + b * y + c * z + d >= 0) anyInside = true;
        }
        if (!anyInside) return false;
    }
    return true;
}

} // namespace scenedata
