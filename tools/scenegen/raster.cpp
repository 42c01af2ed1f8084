#include "tools/scenegen/raster.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <string>

#include "tools/scenegen/parallel.h"
#include "tools/scenegen/toolkit.h"
#include "tools/scenegen/world.h"

namespace scenegen {

namespace {

using TTarget = TRenderTarget;

struct TClipVertex {
    float X, Y, Z, W; // clip space
    float S, T;
    float Height = 0.0f; // world z, for the drop below a height
};

// How triangles are drawn beyond the usual depth test (less).
struct TDrawRules {
    bool CullBackFaces = true;
    float DropBelow = -1e30f;          // points of the surface lower than this are not drawn
    int RowLow = 0, RowHigh = 1 << 30; // only rows RowLow..RowHigh - 1 of the target
};

// Draws one triangle given in clip space: near-plane clipping, culling of
// clockwise triangles, perspective-correct texturing, depth test (less).
void DrawTriangle(TTarget& target, TClipVertex v[3], const TPicture* texture, TColour flat, bool blend,
                  bool writeDepth, const TDrawRules& rules = TDrawRules{}) {
    // Clip against the near plane (z > -w) and keep w positive.
    TClipVertex in[4], out[4];
    int n = 0;
    for (int i = 0; i < 3; ++i) {
        const TClipVertex& a = v[i];
        const TClipVertex& b = v[(i + 1) % 3];
        float da = a.Z + a.W, db = b.Z + b.W;
        if (da >= 0) in[n++] = a;
        if ((da >= 0) != (db >= 0)) {
            float t = da / (da - db);
            in[n++] = TClipVertex{a.X + (b.X - a.X) * t,
                                  a.Y + (b.Y - a.Y) * t,
                                  a.Z + (b.Z - a.Z) * t,
                                  a.W + (b.W - a.W) * t,
                                  a.S + (b.S - a.S) * t,
                                  a.T + (b.T - a.T) * t,
                                  a.Height + (b.Height - a.Height) * t};
        }
    }
    if (n < 3) return;
    // To window coordinates.
    struct TWin {
        float X, Y, Z, InvW, S, T, Height;
    } w[4];
    for (int i = 0; i < n; ++i) {
        float iw = 1.0f / std::max(in[i].W, 1e-6f);
        w[i] = TWin{(in[i].X * iw + 1.0f) * 0.5f * float(target.W),
                    (in[i].Y * iw + 1.0f) * 0.5f * float(target.H),
                    in[i].Z * iw,
                    iw,
                    in[i].S * iw,
                    in[i].T * iw,
                    in[i].Height * iw};
    }
    (void)out;
    for (int k = 1; k + 1 < n; ++k) {
        const TWin &a = w[0], &b = w[k], &c = w[k + 1];
        float area = (b.X - a.X) * (c.Y - a.Y) - (c.X - a.X) * (b.Y - a.Y);
        if (area == 0.0f || (area < 0.0f && rules.CullBackFaces)) continue; // clockwise: a back face
        int x0 = std::max(0, int(std::floor(std::min({a.X, b.X, c.X}))));
        int x1 = std::min(target.W - 1, int(std::ceil(std::max({a.X, b.X, c.X}))));
        int y0 = std::max(rules.RowLow, int(std::floor(std::min({a.Y, b.Y, c.Y}))));
        int y1 = std::min(target.H, rules.RowHigh) - 1;
        y1 = std::min(y1, int(std::ceil(std::max({a.Y, b.Y, c.Y}))));
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) {
                float px = float(x) + 0.5f, py = float(y) + 0.5f;
                float w0 = ((b.X - px) * (c.Y - py) - (c.X - px) * (b.Y - py)) / area;
                float w1 = ((c.X - px) * (a.Y - py) - (a.X - px) * (c.Y - py)) / area;
                float w2 = 1.0f - w0 - w1;
                if (w0 < 0 || w1 < 0 || w2 < 0) continue;
                float z = w0 * a.Z + w1 * b.Z + w2 * c.Z;
                std::size_t at = std::size_t(y) * std::size_t(target.W) + std::size_t(x);
                if (!(z < target.Depth[at]) || z < -1.0f) continue;
                float iw = w0 * a.InvW + w1 * b.InvW + w2 * c.InvW;
                if (rules.DropBelow > -1e29f &&
                    (w0 * a.Height + w1 * b.Height + w2 * c.Height) / iw < rules.DropBelow)
                    continue;
                TColour col = flat;
                if (texture) {
                    float s = (w0 * a.S + w1 * b.S + w2 * c.S) / iw,
                          t = (w0 * a.T + w1 * b.T + w2 * c.T) / iw;
                    col = texture->Sample(s, t);
                    if (texture->Channels == 3) col.a = flat.a;
                }
                if (blend) {
                    TColour& dst = target.Colour[at];
                    dst = Mix(dst, col, col.a);
                } else {
                    target.Colour[at] = col;
                }
                if (writeDepth) target.Depth[at] = z;
            }
    }
}

// DrawLakeObjects for the rows of `rules` alone.
void DrawLakeRows(const TLakeData& lake, const TMatrix& clip, TRenderTarget& target,
                  const TDrawRules& rules) {
    std::map<std::string, const TPicture*> textures;
    for (const TNamedPicture& t : lake.Textures)
        textures[t.Name] = &t.Picture;
    const TGenModel& model = lake.Model;
    for (int pass = 0; pass < 2; ++pass)
        for (const TGenObject& object : model.Objects) {
            const TGenMaterial& material = model.Materials.at(object.Material);
            const TPicture* texture = material.Texture.empty() ? nullptr : textures.at(material.Texture);
            const bool translucent = !texture || texture->Channels == 4 || object.Alpha > 0.0f;
            if (translucent != (pass == 1)) continue;
            TColour flat = material.Colour;
            flat.a = object.Alpha;
            for (std::size_t i = 0; i < object.Triangles.size(); ++i) {
                TClipVertex v[3];
                for (int k = 0; k < 3; ++k) {
                    auto c = Transform(clip, object.Triangles[i][k]);
                    float s = texture ? object.TexCoords[i][k].x : 0.0f,
                          t = texture ? object.TexCoords[i][k].y : 0.0f;
                    v[k] = TClipVertex{c[0], c[1], c[2], c[3], s, t, object.Triangles[i][k].z};
                }
                DrawTriangle(target, v, texture, flat, pass == 1, pass == 0, rules);
            }
        }
}

} // namespace

void DrawLakeObjects(const TLakeData& lake, const TMatrix& clip, TRenderTarget& target, bool cullBackFaces,
                     float dropBelow) {
    // Bands of rows are independent: each is drawn on its own thread.
    const int bands = 8;
    ParallelRows(bands, [&](int band) {
        TDrawRules rules{cullBackFaces, dropBelow};
        rules.RowLow = target.H * band / bands, rules.RowHigh = target.H * (band + 1) / bands;
        DrawLakeRows(lake, clip, target, rules);
    });
}

TPicture RenderLakeView(const TLakeData& lake, int width, int height, int supersample, bool ripples) {
    TTarget target{width * supersample, height * supersample, {}, {}};
    target.Colour.assign(std::size_t(target.W) * std::size_t(target.H), Rgb(0, 0, 0));
    target.Depth.assign(target.Colour.size(), 1.0f);

    const TGenCamera& camera = lake.Model.Cameras.at(0);
    const TMatrix clip = Multiply(
        PerspectiveMatrix(camera.FieldOfView, double(width) / double(height), camera.Near, camera.Far),
        camera.Matrix);
    DrawLakeObjects(lake, clip, target, true, -1e30f);
    std::map<std::string, const TPicture*> textures;
    for (const TNamedPicture& t : lake.Textures)
        textures[t.Name] = &t.Picture;

    // The water: the scene's grid as the engine places it, sphere-mapped in
    // the lake's own space with the reflected picture, depth-tested.
    const TPicture* mirror = textures.at(MirrorTextureName);
    const int cells = 64;
    auto height_at = [&](float gx, float gy) {
        if (!ripples) return 0.0f;
        const float drops[3][2] = {{0.1f, 0.3f}, {-0.35f, -0.2f}, {0.45f, -0.5f}};
        float h = 0.0f;
        for (const auto& d : drops) {
            float r = Hypot(gx - d[0], gy - d[1]);
            h += 0.0025f * Sin(r * 70.0f) * Exp(-r * 7.0f);
        }
        return h;
    };
    auto water_vertex = [&](int r, int c) {
        float gx = 1.0f - 2.0f * float(r) / float(cells), gy = 1.0f - 2.0f * float(c) / float(cells);
        const float e = 0.002f;
        float h = height_at(gx, gy);
        // Normal as the scene makes it: height differences two grid cells
        // apart, and -4/127 upwards, then through the inverse transpose of the scale.
        float nx = (height_at(gx + e, gy) - height_at(gx - e, gy)) / (2.0f * e) * (4.0f / 127.0f);
        float ny = (height_at(gx, gy + e) - height_at(gx, gy - e)) / (2.0f * e) * (4.0f / 127.0f);
        TVec3 n = Normalised(V3(nx / WaterHalfSize, ny / WaterHalfSize, (-4.0f / 127.0f) / WaterHeightScale));
        TVec3 p = V3(WaterCentreX + WaterHalfSize * gx, WaterCentreY + WaterHalfSize * gy,
                     WaterLevel + WaterHeightScale * h);
        TVec3 u = Normalised(p);
        TVec3 rv = u - n * (2.0f * Dot(n, u));
        float m = 2.0f * std::sqrt(rv.x * rv.x + rv.y * rv.y + (rv.z + 1.0f) * (rv.z + 1.0f));
        auto cl = Transform(clip, p);
        return TClipVertex{cl[0], cl[1], cl[2], cl[3], rv.x / m + 0.5f, rv.y / m + 0.5f};
    };
    for (int r = 0; r < cells; ++r)
        for (int c = 0; c < cells; ++c) {
            TClipVertex a = water_vertex(r, c), b = water_vertex(r + 1, c), d = water_vertex(r, c + 1),
                        e = water_vertex(r + 1, c + 1);
            TClipVertex t1[3] = {a, b, d}, t2[3] = {d, b, e};
            DrawTriangle(target, t1, mirror, Rgb(1, 1, 1), true, true);
            DrawTriangle(target, t2, mirror, Rgb(1, 1, 1), true, true);
        }

    // Average the samples into the picture, turning it top row first.
    TPicture picture(width, height, 3);
    auto sample = [&](int x, int y) {
        return target.Colour[std::size_t(y) * std::size_t(target.W) + std::size_t(x)];
    };
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.Set(x, height - 1 - y,
                        BoxMean(sample, x * supersample, y * supersample, supersample, false));
    return picture;
}

} // namespace scenegen
