#include "tools/scenegen/near_ground.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "tools/scenegen/maths.h"
#include "tools/scenegen/meadow.h"
#include "tools/scenegen/noise.h"
#include "tools/scenegen/parallel.h"

namespace scenegen {

namespace {

// A part's range of the view, as the tangents CameraView gives (x right, y
// up), and its texture's size. The ranges overlap by more than the widest
// triangle of the fine grid is wide, so that every triangle fits one whole;
// upwards they reach past the crests of the hills behind the rock face (the
// highest corner of NearGroundArea is seen 0.239 up), else the far slopes
// of the gullies there keep the far land's coarse texture, draped from
// above.
struct TPartRange {
    float X0, X1, Y0, Y1;
    int Width, Height;
};
constexpr TPartRange Parts[NearParts] = {
    {-0.68f, 0.68f, -0.56f, 0.25f, 1024, 1024}, // the middle
    {-1.95f, -0.48f, -0.53f, 0.25f, 1024, 512}, // the west side, out to 32:9
    {0.48f, 1.95f, -0.53f, 0.25f, 1024, 512},   // the east side
};

// Ground closer than this to the camera lies below every screen's bottom
// edge; its triangles keep the far land's texture.
constexpr float NearestDepth = 12.0f;

bool InRange(const TPartRange& r, TVec3 view) {
    return view.z >= NearestDepth && view.x >= r.X0 && view.x <= r.X1 && view.y >= r.Y0 && view.y <= r.Y1;
}

TVec3 TexCoordIn(const TPartRange& r, TVec3 view) {
    return V3((view.x - r.X0) / (r.X1 - r.X0), (view.y - r.Y0) / (r.Y1 - r.Y0), 0.0f);
}

// One texel's claim: the ground point it shows, how much ground its texel
// covers, and how far that lies from the camera.
struct TClaim {
    TVec3 Point;
    TVec3 Major; // the texel's longer side, in world units
    float Minor = 0.0f;
    float Distance = std::numeric_limits<float>::max();
    bool Inside = false; // within its triangle, not in the margin round it
    bool Taken = false;
};

// Lets every triangle of `object` claim the texels it covers, and a margin
// of a texel round it, keeping for each texel the claim nearest the camera
// (a claim inside a triangle always beats one in a margin).
void ClaimTexels(const TGenObject& object, int width, int height, std::vector<TClaim>& claims) {
    const TVec3 eye = CameraEye();
    for (std::size_t t = 0; t < object.Triangles.size(); ++t) {
        const std::array<TVec3, 3>& p = object.Triangles[t];
        const std::array<TVec3, 3>& st = object.TexCoords[t];
        // Texel space: texel (i, j) has its centre at (i, j).
        float qx[3], qy[3];
        for (int v = 0; v < 3; ++v) {
            qx[v] = st[v].x * float(width) - 0.5f;
            qy[v] = st[v].y * float(height) - 0.5f;
        }
        const float e1x = qx[1] - qx[0], e1y = qy[1] - qy[0], e2x = qx[2] - qx[0], e2y = qy[2] - qy[0];
        const float det = e1x * e2y - e2x * e1y;
        if (std::fabs(det) < 1e-6f) continue;
        // The world's change for a step of one texel across and one down.
        const TVec3 d1 = p[1] - p[0], d2 = p[2] - p[0];
        const TVec3 perI = (d1 * e2y - d2 * e1y) * (1.0f / det);
        const TVec3 perJ = (d2 * e1x - d1 * e2x) * (1.0f / det);
        const bool iLonger = Length(perI) >= Length(perJ);
        const TVec3 major = iLonger ? perI : perJ;
        const float minor = iLonger ? Length(perJ) : Length(perI);
        // Each edge's distance in texels, to give the margin.
        float edgeLength[3];
        for (int v = 0; v < 3; ++v) {
            const int a = (v + 1) % 3, b = (v + 2) % 3;
            edgeLength[v] = std::max(1e-6f, Hypot(qx[b] - qx[a], qy[b] - qy[a]));
        }
        const int i0 = std::max(0, int(std::floor(std::min({qx[0], qx[1], qx[2]}) - 1.0f)));
        const int i1 = std::min(width - 1, int(std::ceil(std::max({qx[0], qx[1], qx[2]}) + 1.0f)));
        const int j0 = std::max(0, int(std::floor(std::min({qy[0], qy[1], qy[2]}) - 1.0f)));
        const int j1 = std::min(height - 1, int(std::ceil(std::max({qy[0], qy[1], qy[2]}) + 1.0f)));
        for (int j = j0; j <= j1; ++j)
            for (int i = i0; i <= i1; ++i) {
                const float x = float(i) - qx[0], y = float(j) - qy[0];
                const float l1 = (x * e2y - e2x * y) / det, l2 = (e1x * y - x * e1y) / det;
                const float l[3] = {1.0f - l1 - l2, l1, l2};
                bool inside = true, near = true;
                for (int v = 0; v < 3; ++v) {
                    // l[v] * (twice the area) / edge length: texels from the edge.
                    const float fromEdge = l[v] * std::fabs(det) / edgeLength[v];
                    inside = inside && l[v] >= 0.0f;
                    near = near && fromEdge >= -1.0f;
                }
                if (!near) continue;
                const TVec3 point = p[0] + d1 * l1 + d2 * l2;
                const float distance = Length(point - eye);
                TClaim& c = claims[std::size_t(j) * std::size_t(width) + std::size_t(i)];
                if (c.Taken && (c.Inside > inside || (c.Inside == inside && c.Distance <= distance)))
                    continue;
                c = TClaim{point, major, minor, distance, inside, true};
            }
    }
}

// Fills the texels no triangle claimed from their claimed neighbours, so
// that filtering and the smaller mipmap levels never pull in a stray colour.
void FillUnclaimed(TPicture& picture, std::vector<bool> done) {
    const int width = picture.Width, height = picture.Height;
    for (int pass = 0; pass < 6; ++pass) {
        std::vector<bool> next = done;
        for (int j = 0; j < height; ++j)
            for (int i = 0; i < width; ++i) {
                if (done[std::size_t(j) * std::size_t(width) + std::size_t(i)]) continue;
                TColour sum = Rgb(0, 0, 0);
                int n = 0;
                for (int dj = -1; dj <= 1; ++dj)
                    for (int di = -1; di <= 1; ++di) {
                        const int a = i + di, b = j + dj;
                        if (a < 0 || b < 0 || a >= width || b >= height) continue;
                        if (!done[std::size_t(b) * std::size_t(width) + std::size_t(a)]) continue;
                        const TColour c = picture.Get(a, b);
                        sum = Rgb(sum.r + c.r, sum.g + c.g, sum.b + c.b);
                        ++n;
                    }
                if (n == 0) continue;
                picture.Set(i, j, Scaled(sum, 1.0f / float(n)));
                next[std::size_t(j) * std::size_t(width) + std::size_t(i)] = true;
            }
        done.swap(next);
    }
    // Whatever is left lies far from any ground: the mean colour.
    TColour mean = Rgb(0, 0, 0);
    int n = 0;
    for (int j = 0; j < height; ++j)
        for (int i = 0; i < width; ++i)
            if (done[std::size_t(j) * std::size_t(width) + std::size_t(i)]) {
                const TColour c = picture.Get(i, j);
                mean = Rgb(mean.r + c.r, mean.g + c.g, mean.b + c.b);
                ++n;
            }
    mean = n > 0 ? Scaled(mean, 1.0f / float(n)) : Rgb(0.3f, 0.4f, 0.2f);
    for (int j = 0; j < height; ++j)
        for (int i = 0; i < width; ++i)
            if (!done[std::size_t(j) * std::size_t(width) + std::size_t(i)]) picture.Set(i, j, mean);
}

// Blades of grass standing up from the turf, seen from the camera: a texel
// wide and as tall as a blade a third of a unit high looks from there,
// lighter at their tips and darker at their roots. They fade out where they
// would be only a texel or two tall. Returns the brightness they give the
// texel (i, j) of a texture whose texels are `texelHeight` tall as tangents
// of the view, showing ground `distance` away.
float Blades(int i, int j, float distance, float texelHeight) {
    const float tall = 0.35f / (distance * texelHeight);
    const float fade = SmoothRange(2.2f, 4.0f, tall);
    if (fade <= 0.0f) return 1.0f;
    const float length = std::min(tall, 10.0f);
    const float phase = (LatticeValue(i, 0, 211u) + 1.0f) * 0.5f * length;
    const float along = (float(j) + phase) / length;
    const float blade = std::floor(along), up = along - blade;
    const float v = 0.6f * LatticeValue(i, int(blade), 213u) + 0.5f * (up - 0.5f);
    return 1.0f + 0.25f * fade * v;
}

} // namespace

int NearGroundPart(TVec3 a, TVec3 b, TVec3 c, TVec3 (&tex)[3]) {
    const TVec3 view[3] = {CameraView(a), CameraView(b), CameraView(c)};
    const float middle = (view[0].x + view[1].x + view[2].x) / 3.0f;
    // The middle part first; a side part only for what the middle cannot hold.
    const int order[NearParts] = {0, middle < 0.0f ? 1 : 2, middle < 0.0f ? 2 : 1};
    for (int part : order) {
        const TPartRange& r = Parts[part];
        if (!InRange(r, view[0]) || !InRange(r, view[1]) || !InRange(r, view[2])) continue;
        for (int v = 0; v < 3; ++v)
            tex[v] = TexCoordIn(r, view[v]);
        return part;
    }
    return -1;
}

std::vector<TPicture> BakeNearGround(const TGenModel& model, const std::uint16_t (&materials)[NearParts],
                                     const std::vector<TShadowCaster>& casters) {
    // Every texel claims its ground; then all are painted in one go, two
    // samples along each texel's longer side.
    std::vector<std::vector<TClaim>> claims(NearParts);
    std::vector<TGroundSample> samples;
    for (int part = 0; part < NearParts; ++part) {
        const int width = Parts[part].Width, height = Parts[part].Height;
        claims[part].resize(std::size_t(width) * std::size_t(height));
        for (const TGenObject& object : model.Objects)
            if (object.Material == materials[part]) ClaimTexels(object, width, height, claims[part]);
        for (const TClaim& c : claims[part]) {
            if (!c.Taken) continue;
            const float footprint = std::max(c.Minor, 0.5f * Length(c.Major));
            samples.push_back({c.Point - c.Major * 0.25f, footprint, {}, 0.0f});
            samples.push_back({c.Point + c.Major * 0.25f, footprint, {}, 0.0f});
        }
    }
    const float margin = 4.0f + ReliefRadius; // the lie of the land is read round each point
    PaintGround(TArea{NearGroundArea.X0 - margin, NearGroundArea.Y0 - margin, NearGroundArea.X1 + margin,
                      NearGroundArea.Y1 + margin},
                0.15f, casters, samples);

    std::vector<TPicture> pictures;
    std::size_t next = 0;
    for (int part = 0; part < NearParts; ++part) {
        const int width = Parts[part].Width, height = Parts[part].Height;
        const float texelHeight = (Parts[part].Y1 - Parts[part].Y0) / float(height);
        TPicture picture(width, height, 3);
        std::vector<bool> done(claims[part].size(), false);
        for (int j = 0; j < height; ++j)
            for (int i = 0; i < width; ++i) {
                const std::size_t k = std::size_t(j) * std::size_t(width) + std::size_t(i);
                if (!claims[part][k].Taken) continue;
                const TGroundSample &a = samples[next], &b = samples[next + 1];
                next += 2;
                const float turf = 0.5f * (a.Turf + b.Turf);
                const float blades = Lerp(1.0f, Blades(i, j, claims[part][k].Distance, texelHeight), turf);
                picture.Set(i, j,
                            Scaled(Rgb(0.5f * (a.Colour.r + b.Colour.r), 0.5f * (a.Colour.g + b.Colour.g),
                                       0.5f * (a.Colour.b + b.Colour.b)),
                                   blades));
                done[k] = true;
            }
        FillUnclaimed(picture, std::move(done));
        pictures.push_back(std::move(picture));
    }
    return pictures;
}

} // namespace scenegen
