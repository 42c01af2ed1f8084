#include "tools/scenegen/glyphs.h"

#include <cmath>

#include "tools/scenegen/toolkit.h"

namespace scenegen {

namespace {

// Points of an elliptic arc from a0 to a1 degrees (either direction).
std::vector<TPoint2> Arc(float cx, float cz, float rx, float rz, float a0, float a1, int steps) {
    std::vector<TPoint2> points;
    for (int i = 0; i <= steps; ++i) {
        float a = (a0 + (a1 - a0) * float(i) / float(steps)) * Pi / 180.0f;
        points.push_back({cx + rx * Cos(a), cz + rz * Sin(a)});
    }
    return points;
}

// A closed rounded loop: a superellipse of exponent p, counter-clockwise.
TStroke Loop(float cx, float cz, float rx, float rz, float p) {
    TStroke s;
    s.Closed = true;
    const int steps = 44;
    for (int i = 0; i < steps; ++i) {
        float a = 2.0f * Pi * float(i) / float(steps);
        float c = Cos(a), sn = Sin(a);
        float x = std::copysign(Pow(std::fabs(c), 2.0f / p), c);
        float z = std::copysign(Pow(std::fabs(sn), 2.0f / p), sn);
        s.Points.push_back({cx + rx * x, cz + rz * z});
    }
    return s;
}

TStroke Line(std::initializer_list<TPoint2> points) {
    return TStroke{points, false};
}

TStroke Join(std::vector<TPoint2> a, const std::vector<TPoint2>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return TStroke{a, false};
}

TGlyph Rotated(TGlyph g) { // half a turn about the digit's middle
    for (TStroke& s : g.Strokes)
        for (TPoint2& p : s.Points)
            p = {g.Width - p.X, DigitHeight - p.Z};
    return g;
}

TGlyph Six() {
    TGlyph g;
    g.Strokes.push_back(Loop(14.0f, 13.5f, 10.5f, 10.0f, 2.2f));
    std::vector<TPoint2> rise{{3.6f, 13.5f}};
    std::vector<TPoint2> arc = Arc(15.5f, 24.0f, 11.9f, 16.5f, 180.0f, 75.0f, 14);
    g.Strokes.push_back(Join(rise, arc));
    return g;
}

} // namespace

TGlyph GlyphFor(char c) {
    TGlyph g;
    switch (c) {
    case '0':
        g.Strokes.push_back(Loop(14.0f, 22.0f, 10.5f, 18.5f, 2.6f));
        break;
    case '1':
        g.Strokes.push_back(Line({{6.5f, 32.5f}, {16.0f, 40.5f}, {16.0f, 3.5f}}));
        g.Strokes.push_back(Line({{6.5f, 3.5f}, {24.5f, 3.5f}}));
        break;
    case '2':
        g.Strokes.push_back(
            Join(Arc(14.0f, 30.0f, 10.5f, 10.5f, 165.0f, -35.0f, 16), {{3.5f, 3.5f}, {24.5f, 3.5f}}));
        break;
    case '3':
        g.Strokes.push_back(TStroke{Arc(13.5f, 31.0f, 10.0f, 9.5f, 155.0f, -90.0f, 16), false});
        g.Strokes.push_back(TStroke{Arc(13.5f, 12.5f, 11.0f, 9.0f, 90.0f, -155.0f, 16), false});
        break;
    case '4':
        g.Strokes.push_back(Line({{18.5f, 3.5f}, {18.5f, 40.5f}, {3.5f, 14.0f}, {25.0f, 14.0f}}));
        break;
    case '5':
        g.Strokes.push_back(Join({{23.0f, 40.5f}, {5.5f, 40.5f}, {5.0f, 22.5f}, {10.0f, 24.2f}},
                                 Arc(13.0f, 13.5f, 11.0f, 10.5f, 75.0f, -155.0f, 18)));
        break;
    case '6':
        g = Six();
        break;
    case '7':
        g.Strokes.push_back(Line({{3.5f, 40.5f}, {24.5f, 40.5f}, {11.0f, 3.5f}}));
        break;
    case '8':
        g.Strokes.push_back(Loop(14.0f, 31.5f, 8.5f, 9.0f, 2.3f));
        g.Strokes.push_back(Loop(14.0f, 12.0f, 10.5f, 8.5f, 2.3f));
        break;
    case '9':
        g = Rotated(Six());
        break;
    case ':':
        g.Strokes.push_back(Line({{14.0f, 8.0f}, {14.0f, 12.5f}}));
        g.Strokes.push_back(Line({{14.0f, 27.0f}, {14.0f, 31.5f}}));
        break;
    // Capitals, 30 high, for the am and pm signs and the logo.
    case 'A':
        g.Width = 24.0f;
        g.Strokes.push_back(Line({{3, 3}, {12, 27}, {21, 3}}));
        g.Strokes.push_back(Line({{7, 11}, {17, 11}}));
        break;
    case 'C':
        g.Width = 24.0f;
        g.Strokes.push_back(TStroke{Arc(13.0f, 15.0f, 10.0f, 12.0f, 50.0f, 310.0f, 20), false});
        break;
    case 'I':
        g.Width = 12.0f;
        g.Strokes.push_back(Line({{6, 3}, {6, 27}}));
        break;
    case 'K':
        g.Width = 24.0f;
        g.Strokes.push_back(Line({{3, 3}, {3, 27}}));
        g.Strokes.push_back(Line({{20, 27}, {4, 11}}));
        g.Strokes.push_back(Line({{9, 15.5f}, {21, 3}}));
        break;
    case 'M':
        g.Width = 26.0f;
        g.Strokes.push_back(Line({{3, 3}, {3, 27}, {13, 11}, {23, 27}, {23, 3}}));
        break;
    case 'N':
        g.Width = 24.0f;
        g.Strokes.push_back(Line({{3, 3}, {3, 27}, {21, 3}, {21, 27}}));
        break;
    case 'P':
    case 'R':
        g.Width = 24.0f;
        g.Strokes.push_back(
            Join(Join({{3, 3}, {3, 27}, {12, 27}}, Arc(12.5f, 20.0f, 8.5f, 7.0f, 90.0f, -90.0f, 10)).Points,
                 {{3, 13}}));
        if (c == 'R') g.Strokes.push_back(Line({{11, 13}, {21, 3}}));
        break;
    case 'T':
        g.Width = 24.0f;
        g.Strokes.push_back(Line({{2, 27}, {22, 27}}));
        g.Strokes.push_back(Line({{12, 27}, {12, 3}}));
        break;
    case 'W':
        g.Width = 28.0f;
        g.Strokes.push_back(Line({{2, 27}, {8, 3}, {14, 19}, {20, 3}, {26, 27}}));
        break;
    default:
        break;
    }
    return g;
}

} // namespace scenegen
