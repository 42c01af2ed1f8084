// The clock and counter models: placed by the overlay through a flat
// projection (x right, z up after its turn about x, 0.0022 per unit) and
// drawn unlit in the blended pass.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "tests/tools/scenegen_data.h"

using namespace scenedata;

namespace {

const char* const GlyphFiles[] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "dd", "am", "pm"};

double Luminance(const float* c) {
    return 0.299 * c[0] + 0.587 * c[1] + 0.114 * c[2];
}

// Which cells of a grid over the glyph's face (x 0..20, z -45..15 model
// units) the face's triangles cover: the glyph's shape as the screen shows it.
std::vector<bool> FaceMask(const TModel& model) {
    const TModelObject& face = model.Objects.back();
    std::vector<bool> mask;
    for (int j = 0; j < 60; ++j)
        for (int i = 0; i < 24; ++i) {
            double x = -1.0 + i, z = -45.0 + j;
            bool in = false;
            for (const TTriangle& t : face.Meshes[0].Triangles) {
                TVec a = Vertex(t, 0), b = Vertex(t, 1), c = Vertex(t, 2);
                auto side = [&](TVec p, TVec q) { return (q.X - p.X) * (z - p.Z) - (x - p.X) * (q.Z - p.Z); };
                if (side(a, b) >= 0 && side(b, c) >= 0 && side(c, a) >= 0) {
                    in = true;
                    break;
                }
            }
            mask.push_back(in);
        }
    return mask;
}

} // namespace

TEST(GlyphModels, AreSolidUnlitModelsDrawnFrontToBack) {
    for (const char* file : GlyphFiles) {
        SCOPED_TRACE(file);
        const TModel& m = Models[Load(file)];
        ASSERT_EQ(m.FrameCount, 1u);
        ASSERT_GE(m.ObjectCount, 3u);
        for (const TModelObject& o : m.Objects) {
            ASSERT_EQ(o.Drawable, 1);
            // Untextured: the blended pass, with the track's alpha as opacity.
            EXPECT_TRUE(MaterialTextureName(m.Materials[o.MaterialIndex]).empty());
            EXPECT_GE(o.Alpha[0], 0.5f);
            // Seen straight on by the overlay (x right, z up), every face is
            // counter-clockwise, so culling keeps it.
            for (const TTriangle& t : o.Meshes[0].Triangles) {
                TVec a = Vertex(t, 0), b = Vertex(t, 1), c = Vertex(t, 2);
                EXPECT_GT((b.X - a.X) * (c.Z - a.Z) - (c.X - a.X) * (b.Z - a.Z), 0.0);
            }
        }
        // The face is drawn last and is light; what lies under it is dark,
        // so the glyph reads over bright sky and dark water alike.
        const TModelObject& face = m.Objects.back();
        EXPECT_EQ(face.Alpha[0], 1.0f);
        EXPECT_GT(Luminance(m.Materials[face.MaterialIndex].Colour), 0.75);
        EXPECT_LT(Luminance(m.Materials[m.Objects[0].MaterialIndex].Colour), 0.2);
        bool middleShade = false;
        for (const TModelObject& o : m.Objects) {
            double l = Luminance(m.Materials[o.MaterialIndex].Colour);
            if (l > 0.3 && l < 0.7) middleShade = true;
        }
        EXPECT_TRUE(middleShade) << "the bevel should give the face depth";
    }
}

TEST(GlyphModels, FitTheOverlaysAdvanceAndStayOnScreen) {
    for (const char* file : GlyphFiles) {
        SCOPED_TRACE(file);
        const TModel& m = Models[Load(file)];
        double x0 = 1e9, x1 = -1e9, y0 = 1e9, y1 = -1e9, z0 = 1e9, z1 = -1e9;
        for (const TModelObject& o : m.Objects)
            for (const TTriangle& t : o.Meshes[0].Triangles)
                for (int v = 0; v < 3; ++v) {
                    TVec p = Vertex(t, v);
                    x0 = std::min(x0, p.X), x1 = std::max(x1, p.X);
                    y0 = std::min(y0, p.Y), y1 = std::max(y1, p.Y);
                    z0 = std::min(z0, p.Z), z1 = std::max(z1, p.Z);
                }
        const bool sign = std::string(file) == "am" || std::string(file) == "pm";
        // Digits step 32 units; the sign has the room after the seconds.
        EXPECT_GT(x0, -4.0);
        EXPECT_LT(x1, sign ? 60.0 : 26.0);
        // Anchored at 0.94 (clock) and 0.92 (counter) of the screen's height,
        // the glyph stays below the top edge and within the top fifth.
        EXPECT_LT(0.94 + z1 * 0.0022, 1.0);
        EXPECT_GT(0.92 + z0 * 0.0022, 0.7);
        EXPECT_GT(z1 - z0, 25.0);
        // Depth stays well inside the flat projection's -1..1.
        EXPECT_LT(std::max(std::fabs(y0), std::fabs(y1)) * 0.0022, 0.1);
    }
}

TEST(GlyphModels, EveryDigitHasItsOwnShape) {
    std::vector<std::vector<bool>> masks;
    for (int d = 0; d < 10; ++d)
        masks.push_back(FaceMask(Models[Load(std::to_string(d))]));
    for (int a = 0; a < 10; ++a) {
        int covered = int(std::count(masks[a].begin(), masks[a].end(), true));
        EXPECT_GT(covered, 60) << "digit " << a << " has almost no face";
        for (int b = a + 1; b < 10; ++b) {
            int differ = 0;
            for (std::size_t k = 0; k < masks[a].size(); ++k)
                differ += masks[a][k] != masks[b][k];
            EXPECT_GT(differ, 40) << "digits " << a << " and " << b << " look alike";
        }
    }
}
