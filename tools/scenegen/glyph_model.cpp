// Glyph strokes made solid: ribbons along each stroke, bevelled at the front
// and extruded backwards at a slant so that their sides show under the
// overlay's flat, straight-on projection. The models are untextured and drawn
// in the blended pass without depth writes, so the parts are ordered back to
// front as objects; the pictures use the same strokes as soft 2D lines.
#include <algorithm>
#include <cmath>

#include "tools/scenegen/glyphs.h"
#include "tools/scenegen/noise.h"

namespace scenegen {

namespace {

// Design pixels to model units (see glyphs.h), and where the glyph's top
// sits above the overlay's anchor.
constexpr float UnitAcross = 1.408f, UnitUp = 0.792f;
constexpr float TopAboveAnchor = 12.0f;                  // model units
constexpr float Bevel = 1.4f;                            // design pixels, across
constexpr float BevelDepth = 1.5f;                       // model units, backwards
constexpr float ExtrudeAcross = 2.4f, ExtrudeUp = -2.4f; // design pixels the sides show
constexpr float ExtrudeDepth = 8.0f;                     // model units
constexpr float HaloWidth = 1.5f;                        // design pixels
constexpr float SharpTurn = 1.8f; // miter length over half width above which a stroke is split

struct TPiece {
    std::vector<TPoint2> Points;
    bool Closed;
    bool CapStart, CapEnd; // square caps where a stroke was split at a sharp corner
};

TPoint2 Sub(TPoint2 a, TPoint2 b) {
    return {a.X - b.X, a.Z - b.Z};
}
TPoint2 Add(TPoint2 a, TPoint2 b) {
    return {a.X + b.X, a.Z + b.Z};
}
TPoint2 Mul(TPoint2 a, float k) {
    return {a.X * k, a.Z * k};
}
float Len(TPoint2 a) {
    return std::sqrt(a.X * a.X + a.Z * a.Z);
}
TPoint2 Unit(TPoint2 a) {
    float l = Len(a);
    return l > 0 ? Mul(a, 1.0f / l) : a;
}
TPoint2 LeftOf(TPoint2 d) {
    return {-d.Z, d.X};
}

// Splits strokes at corners too sharp for a mitre; drops repeated points.
std::vector<TPiece> Pieces(const TGlyph& glyph) {
    std::vector<TPiece> pieces;
    for (const TStroke& stroke : glyph.Strokes) {
        std::vector<TPoint2> pts;
        for (const TPoint2& p : stroke.Points)
            if (pts.empty() || Len(Sub(p, pts.back())) > 1e-3f) pts.push_back(p);
        if (stroke.Closed) {
            if (Len(Sub(pts.front(), pts.back())) < 1e-3f) pts.pop_back();
            pieces.push_back(TPiece{pts, true, false, false});
            continue;
        }
        TPiece current{{pts[0]}, false, false, false};
        for (std::size_t i = 1; i < pts.size(); ++i) {
            current.Points.push_back(pts[i]);
            if (i + 1 < pts.size()) {
                TPoint2 a = Unit(Sub(pts[i], pts[i - 1])), b = Unit(Sub(pts[i + 1], pts[i]));
                float cosHalf = std::sqrt(std::max(0.0f, (1.0f + a.X * b.X + a.Z * b.Z) * 0.5f));
                if (cosHalf < 1.0f / SharpTurn) {
                    current.CapEnd = true;
                    pieces.push_back(current);
                    current = TPiece{{pts[i]}, false, true, false};
                }
            }
        }
        pieces.push_back(current);
    }
    return pieces;
}

// The two edges of a piece's ribbon, `half` either side of its centre line.
// Open ends are moved outwards by `endShift` (negative: inwards).
void Ribbon(const TPiece& piece, float half, float capShift, float endShift, std::vector<TPoint2>& left,
            std::vector<TPoint2>& right) {
    const std::vector<TPoint2>& p = piece.Points;
    const std::size_t n = p.size();
    left.clear();
    right.clear();
    for (std::size_t i = 0; i < n; ++i) {
        TPoint2 dIn, dOut;
        if (piece.Closed) {
            dIn = Unit(Sub(p[i], p[(i + n - 1) % n]));
            dOut = Unit(Sub(p[(i + 1) % n], p[i]));
        } else {
            dIn = Unit(Sub(p[i], p[i == 0 ? 0 : i - 1]));
            dOut = Unit(Sub(p[i + 1 < n ? i + 1 : i], p[i]));
            if (i == 0) dIn = dOut;
            if (i + 1 == n) dOut = dIn;
        }
        TPoint2 nIn = LeftOf(dIn), nOut = LeftOf(dOut);
        TPoint2 m = Unit(Add(nIn, nOut));
        float k = half / std::max(0.3f, m.X * nIn.X + m.Z * nIn.Z);
        TPoint2 centre = p[i];
        if (!piece.Closed && i == 0)
            centre = Sub(centre, Mul(dOut, (piece.CapStart ? capShift : 0.0f) + endShift));
        if (!piece.Closed && i + 1 == n)
            centre = Add(centre, Mul(dIn, (piece.CapEnd ? capShift : 0.0f) + endShift));
        left.push_back(Add(centre, Mul(m, k)));
        right.push_back(Sub(centre, Mul(m, k)));
    }
}

TVec3 ToModel(TPoint2 p, float y, float originX) {
    return V3((p.X + originX) / UnitAcross, y, (p.Z - DigitHeight) / UnitUp + TopAboveAnchor);
}

float Area2(TPoint2 a, TPoint2 b, TPoint2 c) {
    return (b.X - a.X) * (c.Z - a.Z) - (c.X - a.X) * (b.Z - a.Z);
}

// A triangle that faces the viewer: wound counter-clockwise on the screen
// (ribbons folding on tight curves can hand in either order). Slivers with
// no area are left out.
void FacingTriangle(TGenObject& o, TPoint2 a, float ya, TPoint2 b, float yb, TPoint2 c, float yc, float ox) {
    const float area = Area2(a, b, c);
    if (std::fabs(area) < 1e-3f) return;
    if (area < 0) {
        std::swap(b, c);
        std::swap(yb, yc);
    }
    o.Add(ToModel(a, ya, ox), ToModel(b, yb, ox), ToModel(c, yc, ox));
}

void FacingQuad(TGenObject& o, TPoint2 a, float ya, TPoint2 b, float yb, TPoint2 c, float yc, TPoint2 d,
                float yd, float ox) {
    FacingTriangle(o, a, ya, b, yb, c, yc, ox);
    FacingTriangle(o, a, ya, c, yc, d, yd, ox);
}

// Boundary edges of a ribbon, each counter-clockwise around the ribbon, with
// the matching edge of a second (inset) ribbon.
struct TEdge {
    TPoint2 P, Q, InP, InQ;
};
std::vector<TEdge> Edges(const TPiece& piece, const std::vector<TPoint2>& l, const std::vector<TPoint2>& r,
                         const std::vector<TPoint2>& il, const std::vector<TPoint2>& ir) {
    std::vector<TEdge> edges;
    const std::size_t n = l.size();
    const std::size_t segments = piece.Closed ? n : n - 1;
    for (std::size_t i = 0; i < segments; ++i) {
        std::size_t j = (i + 1) % n;
        edges.push_back({r[i], r[j], ir[i], ir[j]}); // right side, forwards
        edges.push_back({l[j], l[i], il[j], il[i]}); // left side, backwards
    }
    if (!piece.Closed) {
        edges.push_back({l[0], r[0], il[0], ir[0]});                 // start cap
        edges.push_back({r[n - 1], l[n - 1], ir[n - 1], il[n - 1]}); // end cap
    }
    return edges;
}

} // namespace

TGenModel GlyphModel(const std::string& text) {
    TGenModel model;
    const TColour colours[] = {
        Rgb(0.03f, 0.05f, 0.10f), // outline
        Rgb(0.12f, 0.16f, 0.27f), // sides
        Rgb(0.56f, 0.55f, 0.50f), // bevel away from the light
        Rgb(1.00f, 1.00f, 0.96f), // bevel towards the light
        Rgb(0.96f, 0.90f, 0.74f), // face
    };
    for (const TColour& c : colours)
        model.Materials.push_back(TGenMaterial{c, ""});
    for (std::uint16_t i = 0; i < 5; ++i) {
        TGenObject o;
        o.Material = i;
        o.Alpha = i == 0 ? 0.7f : 1.0f;
        model.Objects.push_back(o);
    }
    TGenObject &halo = model.Objects[0], &sides = model.Objects[1], &shade = model.Objects[2],
               &lit = model.Objects[3], &face = model.Objects[4];
    const TPoint2 light = Unit({-0.6f, 0.8f});
    const TPoint2 extrude{ExtrudeAcross, ExtrudeUp};
    const float back = -BevelDepth - ExtrudeDepth;

    float originX = 0.0f;
    for (char c : text) {
        const TGlyph glyph = GlyphFor(c);
        const float half = (c >= 'A' && c <= 'Z' ? LetterStrokeWidth : GlyphStrokeWidth) * 0.5f;
        for (const TPiece& piece : Pieces(glyph)) {
            std::vector<TPoint2> l, r, il, ir, hl, hr;
            Ribbon(piece, half, half, 0.0f, l, r);
            Ribbon(piece, half - Bevel, half, -Bevel, il, ir);
            Ribbon(piece, half + HaloWidth, half, HaloWidth, hl, hr);
            const std::size_t n = l.size(), segments = piece.Closed ? n : n - 1;
            for (std::size_t i = 0; i < segments; ++i) {
                std::size_t j = (i + 1) % n;
                // The outline round the face and round the slanted shadow of the sides.
                FacingQuad(halo, hr[i], back, hr[j], back, hl[j], back, hl[i], back, originX);
                FacingQuad(halo, Add(hr[i], extrude), back, Add(hr[j], extrude), back, Add(hl[j], extrude),
                           back, Add(hl[i], extrude), back, originX);
                FacingQuad(face, ir[i], 0.0f, ir[j], 0.0f, il[j], 0.0f, il[i], 0.0f, originX);
            }
            for (const TEdge& e : Edges(piece, l, r, il, ir)) {
                // Bevel: from the face's edge out and back to the full outline.
                TPoint2 d = Sub(e.Q, e.P);
                TPoint2 outward = Unit({d.Z, -d.X});
                TGenObject& bevel = outward.X * light.X + outward.Z * light.Z > 0 ? lit : shade;
                FacingQuad(bevel, e.P, -BevelDepth, e.Q, -BevelDepth, e.InQ, 0.0f, e.InP, 0.0f, originX);
                // Side: shows only where the slant carries it out from under the face.
                TPoint2 pe = Add(e.P, extrude), qe = Add(e.Q, extrude);
                if (Area2(e.P, pe, qe) > 1e-3f) {
                    sides.AddQuad(ToModel(e.P, -BevelDepth, originX), ToModel(pe, back, originX),
                                  ToModel(qe, back, originX), ToModel(e.Q, -BevelDepth, originX));
                }
            }
        }
        originX += glyph.Width + 3.0f;
    }
    return model;
}

void DrawText(TPicture& picture, const std::string& text, float x, float y, float scale, TColour colour) {
    struct TSegment {
        TPoint2 A, B;
        float Half;
    };
    std::vector<TSegment> segments;
    float originX = 0.0f, height = 0.0f;
    for (char c : text) {
        const TGlyph glyph = GlyphFor(c);
        const bool letter = c >= 'A' && c <= 'Z';
        const float half = (letter ? LetterStrokeWidth : GlyphStrokeWidth) * 0.5f;
        height = std::max(height, letter ? 30.0f : DigitHeight);
        for (const TStroke& s : glyph.Strokes)
            for (std::size_t i = 0; i + 1 < s.Points.size() + (s.Closed ? 1 : 0); ++i) {
                TPoint2 a = s.Points[i], b = s.Points[(i + 1) % s.Points.size()];
                segments.push_back({{a.X + originX, a.Z}, {b.X + originX, b.Z}, half});
            }
        originX += glyph.Width + 3.0f;
    }
    // Distance in design pixels from a picture pixel's centre to the strokes.
    auto distance = [&](float px, float py) {
        TPoint2 p{(px - x) / scale, height - (py - y) / scale};
        float best = 1e9f;
        for (const TSegment& s : segments) {
            TPoint2 ab = Sub(s.B, s.A), ap = Sub(p, s.A);
            float t = std::clamp((ab.X * ap.X + ab.Z * ap.Z) / std::max(1e-6f, ab.X * ab.X + ab.Z * ab.Z),
                                 0.0f, 1.0f);
            best = std::min(best, Len(Sub(ap, Mul(ab, t))) - s.Half);
        }
        return best * scale; // picture pixels outside the stroke (negative inside)
    };
    const int x0 = std::max(0, int(x) - 4), x1 = std::min(picture.Width, int(x + originX * scale) + 6);
    const int y0 = std::max(0, int(y) - 4), y1 = std::min(picture.Height, int(y + height * scale) + 6);
    for (int py = y0; py < y1; ++py)
        for (int px = x0; px < x1; ++px) {
            TColour c = picture.Get(px, py);
            float shadow = distance(float(px) - 1.0f + 0.5f, float(py) - 1.2f + 0.5f);
            c = Mix(c, Rgb(0, 0, 0), 0.55f * Clamp01(0.5f - (shadow - 1.0f) / 1.5f));
            float d = distance(float(px) + 0.5f, float(py) + 0.5f);
            c = Mix(c, Rgb(0.05f, 0.07f, 0.12f), Clamp01(0.5f - (d - 1.0f)));
            c = Mix(c, colour, Clamp01(0.5f - d));
            picture.Set(px, py, c);
        }
}

} // namespace scenegen
