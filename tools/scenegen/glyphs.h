// The clock and counter glyphs: digits 0..9, the separator, "AM" and "PM",
// and the letters of the product name for the logo.
//
// A glyph is a set of strokes (centre lines with a width) drawn in "design
// pixels": the pixels of a 1280 x 720 screen, x to the right and z up, the
// baseline at 0 and a digit 44 high. The overlay draws its models through a
// flat projection in which one model unit is 0.0022 of the screen's half
// width and half height, so a unit is 1.408 design pixels across and 0.792
// up; the glyph models are scaled by those factors so that they keep their
// shape on a 16:9 screen.
#pragma once

#include <string>
#include <vector>

#include "tools/scenegen/picture.h"

namespace scenegen {

struct TPoint2 {
    float X, Z;
};

// One stroke: a centre line, open or closed.
struct TStroke {
    std::vector<TPoint2> Points;
    bool Closed = false;
};

struct TGlyph {
    std::vector<TStroke> Strokes;
    float Width = 28.0f; // design pixels
};

constexpr float DigitHeight = 44.0f;      // design pixels
constexpr float GlyphStrokeWidth = 7.0f;  // design pixels
constexpr float LetterStrokeWidth = 6.0f; // design pixels

// '0'..'9', ':' (the separator), and the capital letters A C I K M N P R T W.
TGlyph GlyphFor(char c);

// The 3D model of a line of glyphs (e.g. "7", ":" or "AM"): untextured,
// drawn in the blended pass in object order: a dark outline, the dark
// extruded sides, the shaded and the lit bevel, then the pale face.
TGenModel GlyphModel(const std::string& text);

// Draws `text` into the picture (row 0 at the top) with its top-left corner
// at (x, y) pixels, `scale` pixels per design pixel: a dark outline, a drop
// shadow, then the strokes in `colour`.
void DrawText(TPicture& picture, const std::string& text, float x, float y, float scale, TColour colour);

} // namespace scenegen
