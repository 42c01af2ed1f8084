// The generated lake model and its textures, read back as the engine reads
// them, against what the scene's drawing relies on.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

#include "tests/tools/scenegen_data.h"

using namespace scenedata;

namespace {

// The water square: the scene draws its 128 x 128 grid from -1..1 scaled by
// 74 and moved to (24, 190, -11).
constexpr double WaterX0 = -50, WaterX1 = 98, WaterY0 = 116, WaterY1 = 264, WaterZ = -11;

class LakeModel : public ::testing::Test {
  protected:
    void SetUp() override { lake = &Models[Load("tarnwick")]; }

    bool Textured(const TModelObject& o) const {
        return !MaterialTextureName(lake->Materials[o.MaterialIndex]).empty();
    }
    std::string TextureName(const TModelObject& o) const {
        return MaterialTextureName(lake->Materials[o.MaterialIndex]);
    }
    std::uint8_t BitsOf(const std::string& name) {
        if (!bits.count(name)) bits[name] = Texture(name).BitsPerPixel;
        return bits[name];
    }
    // The drawing's pass rule: blended for untextured, 32-bit or alpha above 0.
    bool Blended(const TModelObject& o) {
        return !Textured(o) || BitsOf(TextureName(o)) == 32 || o.Alpha[0] > 0.0f;
    }
    bool Terrain(const TModelObject& o) const {
        const std::string name = TextureName(o);
        return name.rfind("lake_ground", 0) == 0 || name == "lake_land";
    }
    std::vector<TVec> Points(const TModelObject& o) const {
        std::vector<TVec> points;
        for (const TTriangle& t : o.Meshes[0].Triangles)
            for (int v = 0; v < 3; ++v)
                points.push_back(Vertex(t, v));
        return points;
    }
    // Height of the land at (x, y): the highest terrain triangle over the point.
    double GroundAt(double x, double y) const {
        double best = -1e30;
        for (const TModelObject& o : lake->Objects) {
            if (!Terrain(o)) continue;
            for (const TTriangle& t : o.Meshes[0].Triangles) {
                TVec a = Vertex(t, 0), b = Vertex(t, 1), c = Vertex(t, 2);
                double det = (b.X - a.X) * (c.Y - a.Y) - (c.X - a.X) * (b.Y - a.Y);
                if (std::fabs(det) < 1e-9) continue;
                double u = ((x - a.X) * (c.Y - a.Y) - (c.X - a.X) * (y - a.Y)) / det;
                double v = ((b.X - a.X) * (y - a.Y) - (x - a.X) * (b.Y - a.Y)) / det;
                if (u < -1e-6 || v < -1e-6 || u + v > 1 + 1e-6) continue;
                best = std::max(best, a.Z + u * (b.Z - a.Z) + v * (c.Z - a.Z));
            }
        }
        return best;
    }

    // The trees', bushes' and reeds' cut-outs, near and far.
    bool Cutouts(const TModelObject& o) const { return TextureName(o).rfind("lake_trees", 0) == 0; }
    // Calls `f(point, texel, area)` at points spread over the object's
    // triangles, each standing for an equal share `area` of its triangle,
    // with the RGBA texel of its texture there.
    template <typename F> void ForEachTexel(const TModelObject& o, F f) {
        const std::string name = TextureName(o);
        if (!textures.count(name)) textures.emplace(name, Texture(name));
        const TUmtImage& image = textures.at(name);
        ASSERT_EQ(image.BitsPerPixel, 32) << name;
        const TMesh& mesh = o.Meshes[0];
        for (std::size_t t = 0; t < mesh.Triangles.size(); ++t) {
            const TTriangle& tri = mesh.Triangles[t];
            const TVec p0 = Vertex(tri, 0), p1 = Vertex(tri, 1), p2 = Vertex(tri, 2);
            const TVec n = Cross(Minus(p1, p0), Minus(p2, p0));
            const double area = 0.5 * std::sqrt(Dot(n, n));
            const TTexCoord &ta = mesh.TexCoords[3 * t], &tb = mesh.TexCoords[3 * t + 1],
                            &tc = mesh.TexCoords[3 * t + 2];
            for (int i = 0; i < 5; ++i)
                for (int j = 0; i + j < 5; ++j) {
                    const double a = (i + 1.0 / 3) / 6, b = (j + 1.0 / 3) / 6, c = 1 - a - b;
                    const int x =
                        std::clamp(int((a * ta.S + b * tb.S + c * tc.S) * image.Width), 0, image.Width - 1);
                    const int y =
                        std::clamp(int((a * ta.T + b * tb.T + c * tc.T) * image.Height), 0, image.Height - 1);
                    const TVec p{a * p0.X + b * p1.X + c * p2.X, a * p0.Y + b * p1.Y + c * p2.Y,
                                 a * p0.Z + b * p1.Z + c * p2.Z};
                    f(p, image.Frame(0) + (std::size_t(y) * image.Width + std::size_t(x)) * 4, area / 15);
                }
        }
    }

    TModel* lake = nullptr;
    std::map<std::string, std::uint8_t> bits;
    std::map<std::string, TUmtImage> textures;
};

} // namespace

TEST_F(LakeModel, EveryObjectHasBothTracksAndIndexesInRange) {
    ASSERT_EQ(lake->FrameCount, 1u);
    ASSERT_GE(lake->CameraCount, 1u);
    ASSERT_FALSE(lake->Objects.empty());
    for (std::size_t i = 0; i < lake->Objects.size(); ++i) {
        const TModelObject& o = lake->Objects[i];
        SCOPED_TRACE("object " + std::to_string(i));
        ASSERT_EQ(o.Frames.size(), 1u);
        ASSERT_EQ(o.Alpha.size(), 1u);
        EXPECT_LT(o.MaterialIndex, lake->MaterialCount);
        ASSERT_LT(o.Frames[0].MeshIndex, o.MeshCount);
        const TMesh& mesh = o.Meshes[o.Frames[0].MeshIndex];
        EXPECT_GT(mesh.TriangleCount, 0u);
        if (Textured(o)) {
            EXPECT_EQ(mesh.TexCoordCount, 3u * mesh.TriangleCount);
        }
        for (const TTriangle& t : mesh.Triangles)
            for (int v = 0; v < 3; ++v)
                for (int k = 0; k < 3; ++k)
                    ASSERT_TRUE(std::isfinite(t.Vertices[v][k]));
        EXPECT_EQ(o.Drawable, 1);
    }
}

TEST_F(LakeModel, SecondUploadedTextureIsTheBrightPictureTheWaterReflects) {
    // Textures are uploaded material by material, one per frame of each image.
    std::vector<std::string> uploads;
    for (const TMaterial& m : lake->Materials) {
        const std::string name = MaterialTextureName(m);
        if (name.empty()) continue;
        for (std::uint32_t f = 0; f <= Texture(name).LastFrame; ++f)
            uploads.push_back(name);
    }
    ASSERT_GE(uploads.size(), 2u);
    const TUmtImage mirror = Texture(uploads[1]);
    ASSERT_EQ(mirror.LastFrame, 0u);

    // Where the calm water looks it up: sphere mapping of each grid vertex in
    // the lake's own space (the modelview is identity, translate, scale).
    double sum = 0, blue = 0;
    int samples = 0;
    for (int r = 1; r < 128; r += 6)
        for (int c = 1; c < 127; c += 6) {
            TVec p{24 + 74 * (1 - 2.0 * r / 127), 190 + 74 * (1 - 2.0 * c / 127), WaterZ};
            double len = std::sqrt(Dot(p, p));
            TVec u{p.X / len, p.Y / len, p.Z / len};
            TVec n{0, 0, -1}; // (0, 0, -4/127) through the inverse transpose of the scale, normalised
            double k = 2 * Dot(n, u);
            TVec refl{u.X - k * n.X, u.Y - k * n.Y, u.Z - k * n.Z};
            double m = 2 * std::sqrt(refl.X * refl.X + refl.Y * refl.Y + (refl.Z + 1) * (refl.Z + 1));
            int x = std::clamp(int((refl.X / m + 0.5) * mirror.Width), 0, mirror.Width - 1);
            int y = std::clamp(int((refl.Y / m + 0.5) * mirror.Height), 0, mirror.Height - 1);
            const std::uint8_t* px =
                mirror.Frame(0) + (std::size_t(y) * mirror.Width + x) * mirror.BytesPerPixel();
            sum += (0.299 * px[0] + 0.587 * px[1] + 0.114 * px[2]) / 255.0;
            blue += px[2] >= px[0] ? 1 : 0;
            ++samples;
        }
    EXPECT_GT(sum / samples, 0.2) << "the calm water would look black";
    EXPECT_LT(sum / samples, 0.9) << "the calm water would look white";
    EXPECT_GT(blue / samples, 0.9) << "the water should reflect a bluish sky";
}

TEST_F(LakeModel, BlendedPassEndsWithATexturedObjectInView) {
    // The water is drawn with texturing as the blended pass's last visible
    // object left it; at every screen shape it must be on.
    const TModelObject* last = nullptr;
    for (const TModelObject& o : lake->Objects)
        if (Blended(o)) last = &o;
    ASSERT_NE(last, nullptr);
    EXPECT_TRUE(Textured(*last));
    for (double aspect : {4.0 / 3.0, 16.0 / 9.0, 21.0 / 9.0}) {
        const auto clip = ClipMatrix(lake->Cameras[0], aspect);
        EXPECT_TRUE(BoxInView(clip, Points(*last))) << "aspect " << aspect;
        for (const TModelObject& o : lake->Objects)
            if (Blended(o) && BoxInView(clip, Points(o))) {
                EXPECT_TRUE(Textured(o));
            }
    }
}

TEST_F(LakeModel, FrontFacesWindCounterClockwiseSeenFromCameraOne) {
    const TVec eye = EyeOf(lake->Cameras[0].Matrices[0]);
    for (std::size_t i = 0; i < lake->Objects.size(); ++i) {
        const TModelObject& o = lake->Objects[i];
        const bool terrain = Terrain(o);
        int wrong = 0;
        for (const TTriangle& t : o.Meshes[0].Triangles) {
            TVec a = Vertex(t, 0), n = Cross(Minus(Vertex(t, 1), a), Minus(Vertex(t, 2), a));
            // Ground faces up (seen from above wherever it is seen); everything
            // else faces the camera.
            bool front = terrain ? n.Z > 0 : Dot(n, Minus(eye, a)) > 0;
            if (!front) ++wrong;
        }
        EXPECT_EQ(wrong, 0) << "object " << i << " (" << TextureName(o) << ")";
    }
}

TEST_F(LakeModel, CameraOneStandsAboveTheWaterAndSeesTheWholeScene) {
    const TModelCamera& camera = lake->Cameras[0];
    const TVec eye = EyeOf(camera.Matrices[0]);
    EXPECT_GT(eye.Z, WaterZ + 5);
    EXPECT_GT(eye.Z, GroundAt(eye.X, eye.Y) + 3) << "camera under or on the ground";
    // Looking over the water: across the lower part of the screen, at every
    // screen shape, the view meets open water inside the square.
    const TModelMatrix& m = camera.Matrices[0];
    const TVec right{m[0], m[4], m[8]}, up{m[1], m[5], m[9]}, forward{-m[2], -m[6], -m[10]};
    const double halfHeight = std::tan(camera.Values[0].FieldOfView * M_PI / 360.0);
    for (double aspect : {4.0 / 3.0, 16.0 / 9.0, 21.0 / 9.0})
        for (double sy : {-0.5, -0.75, -1.0})
            for (double sx : {-0.6, 0.0, 0.6}) {
                SCOPED_TRACE("aspect " + std::to_string(aspect) + " screen " + std::to_string(sx) + ", " +
                             std::to_string(sy));
                TVec d{forward.X + (right.X * sx * aspect + up.X * sy) * halfHeight,
                       forward.Y + (right.Y * sx * aspect + up.Y * sy) * halfHeight,
                       forward.Z + (right.Z * sx * aspect + up.Z * sy) * halfHeight};
                ASSERT_LT(d.Z, 0);
                double t = (WaterZ - eye.Z) / d.Z;
                TVec hit{eye.X + t * d.X, eye.Y + t * d.Y, WaterZ};
                EXPECT_TRUE(hit.X > WaterX0 && hit.X < WaterX1 && hit.Y > WaterY0 && hit.Y < WaterY1);
                EXPECT_LT(GroundAt(hit.X, hit.Y), WaterZ);
            }
    // Near and far hold every vertex.
    for (const TModelObject& o : lake->Objects)
        for (const TVec& p : Points(o)) {
            TVec d = Minus(p, eye);
            ASSERT_LT(std::sqrt(Dot(d, d)), camera.Values[0].Far);
        }
    EXPECT_LE(camera.Values[0].Near, 2.0f);
}

TEST_F(LakeModel, LandRisesAboveTheWaterAllAlongTheSquaresEdges) {
    // The water is a square; the lake's shore lies inside it, so its straight
    // edges are under ground (with room for the ripples' height) or behind
    // nearer ground wherever camera 1 may see them, on screens up to 32:9
    // wide (ground that no view shows is left out of the model).
    const TModelMatrix& m = lake->Cameras[0].Matrices[0];
    const TVec eye = EyeOf(m), right{m[0], m[4], m[8]}, up{m[1], m[5], m[9]}, forward{-m[2], -m[6], -m[10]};
    const double halfHeight = std::tan(lake->Cameras[0].Values[0].FieldOfView * M_PI / 360.0);
    auto seen = [&](double x, double y) {
        const TVec d = Minus(TVec{x, y, WaterZ}, eye);
        const double along = Dot(d, forward);
        return along > 1 && std::fabs(Dot(d, right)) < along * halfHeight * 32 / 9 &&
               std::fabs(Dot(d, up)) < along * halfHeight;
    };
    int checked = 0;
    auto check = [&](double x, double y, const char* edge) {
        if (!seen(x, y)) return;
        ++checked;
        if (GroundAt(x, y) > WaterZ + 1.5) return;
        bool hidden = false;
        for (double t = 0.3; t < 0.98 && !hidden; t += 0.02) {
            const TVec p{eye.X + t * (x - eye.X), eye.Y + t * (y - eye.Y),
                         eye.Z + t * (WaterZ + 1.5 - eye.Z)};
            hidden = GroundAt(p.X, p.Y) > p.Z;
        }
        EXPECT_TRUE(hidden) << edge << " edge at " << x << ", " << y;
    };
    for (double s = 0; s <= 1.0; s += 1.0 / 64) {
        const double x = WaterX0 + s * (WaterX1 - WaterX0), y = WaterY0 + s * (WaterY1 - WaterY0);
        check(x, WaterY0, "south");
        check(x, WaterY1, "north");
        check(WaterX0, y, "west");
        check(WaterX1, y, "east");
    }
    EXPECT_GT(checked, 100);
    // And the lake itself is open water in the middle.
    EXPECT_LT(GroundAt(24, 190), WaterZ - 2);
}

TEST_F(LakeModel, TexturesArePowersOfTwoWithBlockCodedAndRawAmongThem) {
    std::set<std::string> names;
    for (const TMaterial& m : lake->Materials)
        if (!MaterialTextureName(m).empty()) names.insert(MaterialTextureName(m));
    int blockCoded = 0, raw = 0;
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        const TUmtImage image = Texture(name);
        auto powerOfTwo = [](int v) { return v > 0 && (v & (v - 1)) == 0; };
        EXPECT_TRUE(powerOfTwo(image.Width) && image.Width <= 1024);
        EXPECT_TRUE(powerOfTwo(image.Height) && image.Height <= 1024);
        (image.Encoding == UmtBlockCoded ? blockCoded : raw) += 1;
    }
    EXPECT_GE(blockCoded, 1);
    EXPECT_GE(raw, 1);
}

TEST_F(LakeModel, StaysWithinItsTriangleBudget) {
    std::size_t triangles = 0;
    for (const TModelObject& o : lake->Objects)
        triangles += o.Meshes[0].TriangleCount;
    EXPECT_GT(triangles, 5000u); // a landscape, not a placeholder
    EXPECT_LE(triangles, 30000u);
}

TEST_F(LakeModel, DrawsNoGroundUnderTheWaterAndNoSkyFarBelowTheHorizon) {
    // Ground deep under the water, inside the part of the square the water
    // draws, is always painted over by it; the land's skyline stands above
    // the horizon all across the view, so sky far below the horizon there is
    // always hidden.
    const TModelMatrix& m = lake->Cameras[0].Matrices[0];
    const TVec eye = EyeOf(m), forward{-m[2], -m[6], -m[10]};
    const double drawnX1 = 24 + 74 * 125.0 / 127, drawnY0 = 190 - 74 * 125.0 / 127,
                 drawnY1 = 190 + 74 * 125.0 / 127;
    int deep = 0, low = 0;
    for (const TModelObject& o : lake->Objects) {
        const bool sky = TextureName(o) == "lake_sky";
        if (!Terrain(o) && !sky) continue;
        for (const TTriangle& t : o.Meshes[0].Triangles) {
            bool under = true;
            for (int v = 0; v < 3; ++v) {
                const TVec p = Vertex(t, v), d = Minus(p, eye);
                under = under && p.Z < WaterZ - 3 && p.X > WaterX0 && p.X < drawnX1 && p.Y > drawnY0 &&
                        p.Y < drawnY1;
                const double flat = std::sqrt(d.X * d.X + d.Y * d.Y);
                const bool ahead = (d.X * forward.X + d.Y * forward.Y) > 0.5 * flat; // within 60 degrees
                if (sky && ahead && d.Z < -0.05 * flat) ++low;
            }
            if (!sky && under) ++deep;
        }
    }
    EXPECT_EQ(deep, 0) << "ground triangles hidden under the water";
    EXPECT_EQ(low, 0) << "sky vertices ahead more than 3 degrees below the horizon";
}

TEST_F(LakeModel, CutOutsAreShapedToWhatTheyShow) {
    // Cut-outs are blended: every fragment of them costs, clear or not. Whole
    // cells round the trees, bushes and reeds are about a third leaves; the
    // rectangles round their cover are more.
    double covered = 0, total = 0;
    for (const TModelObject& o : lake->Objects) {
        if (!Cutouts(o)) continue;
        ForEachTexel(o, [&](TVec, const std::uint8_t* texel, double area) {
            covered += texel[3] > 0 ? area : 0;
            total += area;
        });
    }
    ASSERT_GT(total, 0);
    EXPECT_GT(covered / total, 0.38) << "share of the cut-outs' area with cover";
}

TEST_F(LakeModel, FarTreesFadeIntoTheHazeLikeTheGround) {
    // The mean colour of what the cut-outs show, in bands of distance from
    // camera 1: the farther the band, the nearer the pale blue of the haze
    // the far land fades into.
    const double haze[3] = {0.74, 0.81, 0.88};
    const double bands[][2] = {{0, 125}, {150, 210}, {260, 1e9}};
    double sums[3][4] = {};
    const TVec eye = EyeOf(lake->Cameras[0].Matrices[0]);
    for (const TModelObject& o : lake->Objects) {
        if (!Cutouts(o)) continue;
        ForEachTexel(o, [&](TVec p, const std::uint8_t* texel, double) {
            if (texel[3] < 128) return;
            const double d = std::hypot(p.X - eye.X, p.Y - eye.Y);
            for (int b = 0; b < 3; ++b)
                if (d >= bands[b][0] && d < bands[b][1]) {
                    for (int k = 0; k < 3; ++k)
                        sums[b][k] += texel[k] / 255.0;
                    sums[b][3] += 1;
                }
        });
    }
    double apart[3];
    for (int b = 0; b < 3; ++b) {
        ASSERT_GT(sums[b][3], 100) << "band " << b;
        double d2 = 0;
        for (int k = 0; k < 3; ++k)
            d2 += std::pow(sums[b][k] / sums[b][3] - haze[k], 2);
        apart[b] = std::sqrt(d2);
    }
    EXPECT_LT(apart[1], 0.92 * apart[0]) << "middle distance against near";
    EXPECT_LT(apart[2], 0.92 * apart[1]) << "far against middle distance";
}

TEST_F(LakeModel, BushesAreLeafyClumpsNotRoundBlobs) {
    // The bushes' two cells fill the atlas's lower right quarter (128 x 128
    // texels each). A disc's squared outline over its area is about 4 pi
    // (12.6); clumps of leaves with a broken edge have far more outline.
    const TUmtImage atlas = Texture("lake_trees");
    ASSERT_EQ(atlas.Width, 1024);
    ASSERT_GE(atlas.Height, 128);
    for (int x0 : {768, 896}) {
        auto cover = [&](int x, int y) {
            return x >= x0 && x < x0 + 128 && y >= 0 && y < 128 &&
                   atlas.Frame(0)[(std::size_t(y) * atlas.Width + std::size_t(x)) * 4 + 3] >= 128;
        };
        double area = 0, outline = 0;
        for (int y = 0; y < 128; ++y)
            for (int x = x0; x < x0 + 128; ++x) {
                if (!cover(x, y)) continue;
                area += 1;
                if (!cover(x + 1, y) || !cover(x - 1, y) || !cover(x, y + 1) || !cover(x, y - 1))
                    outline += 1;
            }
        ASSERT_GT(area, 2000) << "cell at " << x0;
        EXPECT_GT(outline * outline / area, 20.0) << "cell at " << x0;
    }
}

TEST_F(LakeModel, TheFallsComeDownASteepRockFace) {
    // Not a bump of the ground: a face of its own, standing from the water
    // to well above it, most of it steeper than 60 degrees.
    double steep = 0, total = 0, low = 1e30, high = -1e30;
    for (const TModelObject& o : lake->Objects) {
        if (TextureName(o) != "lake_rock") continue;
        for (const TTriangle& t : o.Meshes[0].Triangles) {
            const TVec n = Cross(Minus(Vertex(t, 1), Vertex(t, 0)), Minus(Vertex(t, 2), Vertex(t, 0)));
            const double area = std::sqrt(Dot(n, n));
            total += area;
            steep += std::fabs(n.Z) < 0.5 * area ? area : 0;
            for (int v = 0; v < 3; ++v)
                low = std::min(low, Vertex(t, v).Z), high = std::max(high, Vertex(t, v).Z);
        }
    }
    ASSERT_GT(total, 0) << "no rock face";
    EXPECT_GT(steep / total, 0.7);
    EXPECT_LT(low, WaterZ);
    EXPECT_GT(high, WaterZ + 12);
}

TEST_F(LakeModel, TheLandStepsUpAcrossTheBackOfTheLake) {
    // The falls drop from a step in the land that runs on either side of
    // them across the whole back of the lake: looking north from the water
    // anywhere across the view, the drawn ground climbs steeply somewhere,
    // nine units or more within a run of twelve.
    int columns = 0, stepped = 0;
    for (double x = -60; x <= 110; x += 10) {
        std::vector<double> ground;
        for (double y = 200; y <= 330; y += 1.5)
            ground.push_back(GroundAt(x, y));
        double steepest = 0;
        for (std::size_t i = 0; i + 8 < ground.size(); ++i)
            if (ground[i] > -1e29 && ground[i + 8] > -1e29)
                steepest = std::max(steepest, ground[i + 8] - std::max(ground[i], WaterZ));
        ++columns;
        stepped += steepest >= 9;
    }
    EXPECT_GE(stepped, columns * 4 / 5) << stepped << " of " << columns;
}

TEST_F(LakeModel, TheEscarpmentsLipIsBroken) {
    // How high the land steps up within a run of twelve, looking north at x.
    auto step = [&](double x) {
        std::vector<double> ground;
        for (double y = 150; y <= 330; y += 2)
            ground.push_back(GroundAt(x, y));
        double steepest = 0;
        for (std::size_t i = 0; i + 6 < ground.size(); ++i)
            if (ground[i] > -1e29 && ground[i + 6] > -1e29)
                steepest = std::max(steepest, ground[i + 6] - std::max(ground[i], WaterZ));
        return steepest;
    };
    // Not a wall with a wavy top: away from the falls, notches and gullies
    // cut its lip, each a drop of a third or more from the lip on both
    // sides within twenty units.
    std::vector<double> xs, steps;
    for (double x = -64; x <= 116; x += 4)
        if (std::fabs(x - 42) > 16) xs.push_back(x), steps.push_back(step(x));
    int notches = 0;
    bool inNotch = false;
    for (std::size_t i = 0; i < xs.size(); ++i) {
        double left = 0, right = 0;
        for (std::size_t j = 0; j < xs.size(); ++j) {
            if (xs[j] < xs[i] && xs[j] >= xs[i] - 20) left = std::max(left, steps[j]);
            if (xs[j] > xs[i] && xs[j] <= xs[i] + 20) right = std::max(right, steps[j]);
        }
        const bool dip = steps[i] < 0.67 * std::min(left, right);
        notches += dip && !inNotch;
        inNotch = dip;
    }
    EXPECT_GE(notches, 3);
}

namespace {

// The cut-outs of the trees, bushes and reeds: each a rectangle of two
// triangles, the first holding its two lower corners.
struct TCutoutQuad {
    TVec Foot; // the middle of its lower edge
    double Height, Width;
};

std::vector<TCutoutQuad> CutoutQuads(const TModel& lake) {
    std::vector<TCutoutQuad> quads;
    for (const TModelObject& o : lake.Objects) {
        if (MaterialTextureName(lake.Materials[o.MaterialIndex]).rfind("lake_trees", 0) != 0) continue;
        const TMesh& mesh = o.Meshes[0];
        for (std::size_t t = 0; t + 1 < mesh.Triangles.size(); t += 2) {
            const TVec a = Vertex(mesh.Triangles[t], 0), b = Vertex(mesh.Triangles[t], 1),
                       c = Vertex(mesh.Triangles[t], 2);
            quads.push_back({{(a.X + b.X) / 2, (a.Y + b.Y) / 2, (a.Z + b.Z) / 2},
                             c.Z - a.Z,
                             std::hypot(b.X - a.X, b.Y - a.Y)});
        }
    }
    return quads;
}

} // namespace

TEST_F(LakeModel, TreesStandOnTheGroundAsDrawn) {
    // Neither floating above the drawn ground nor sunk into it by more than
    // the foot of a trunk. Reeds may stand in the shallows.
    int checked = 0;
    for (const TCutoutQuad& q : CutoutQuads(*lake)) {
        const double ground = GroundAt(q.Foot.X, q.Foot.Y);
        if (ground < -1e29 || ground < WaterZ) continue; // ground no view shows, or under water
        ++checked;
        EXPECT_LT(q.Foot.Z, ground + 0.25) << "floating at " << q.Foot.X << ", " << q.Foot.Y;
        EXPECT_GT(q.Foot.Z, ground - 1.0) << "sunk at " << q.Foot.X << ", " << q.Foot.Y;
    }
    EXPECT_GT(checked, 200);
}

TEST_F(LakeModel, CutOutsAreDrawnFarToNearWhereTheyOverlap) {
    // The blended pass writes no depth: a cut-out drawn after a nearer one
    // that it overlaps on screen would show through it. And the plants of
    // one clump, a few strides apart, are seen through one haze: one behind
    // a nearer neighbour it overlaps, drawn hazier than everything in front
    // of it, reads as a pale ghost of a tree among dark ones.
    const TModelMatrix& m = lake->Cameras[0].Matrices[0];
    const TVec eye = EyeOf(m), right{m[0], m[4], m[8]}, up{m[1], m[5], m[9]}, forward{-m[2], -m[6], -m[10]};
    struct TDrawn {
        double Distance, X0, Y0, X1, Y1;
        TVec Foot;
        int Haze; // 0 the atlas, 1 the far texture's nearer copy, 2 its farther one
    };
    std::vector<TDrawn> drawn; // in drawing order
    for (const TModelObject& o : lake->Objects) {
        if (!Cutouts(o)) continue;
        const bool far = TextureName(o) != "lake_trees";
        const TMesh& mesh = o.Meshes[0];
        for (std::size_t t = 0; t + 1 < mesh.Triangles.size(); t += 2) {
            const TVec a = Vertex(mesh.Triangles[t], 0), b = Vertex(mesh.Triangles[t], 1);
            const TVec foot{(a.X + b.X) / 2, (a.Y + b.Y) / 2, 0};
            const int haze = far ? 1 + (mesh.TexCoords[3 * t].T >= 0.5) : 0;
            TDrawn d{std::hypot(foot.X - eye.X, foot.Y - eye.Y), 1e30, 1e30, -1e30, -1e30, foot, haze};
            for (std::size_t k = t; k < t + 2; ++k)
                for (int v = 0; v < 3; ++v) {
                    const TVec p = Minus(Vertex(mesh.Triangles[k], v), eye);
                    const double x = Dot(p, right) / Dot(p, forward), y = Dot(p, up) / Dot(p, forward);
                    d.X0 = std::min(d.X0, x), d.Y0 = std::min(d.Y0, y);
                    d.X1 = std::max(d.X1, x), d.Y1 = std::max(d.Y1, y);
                }
            drawn.push_back(d);
        }
    }
    int wrong = 0, ghosts = 0;
    for (std::size_t i = 0; i < drawn.size(); ++i) {
        const TDrawn& p = drawn[i];
        int hazeInFront = -1; // the most haze of those in front of it that it overlaps
        bool besideClearer = false;
        for (std::size_t j = 0; j < drawn.size(); ++j) {
            const TDrawn& q = drawn[j];
            if (q.Distance >= p.Distance || !(p.X0 < q.X1 && q.X0 < p.X1 && p.Y0 < q.Y1 && q.Y0 < p.Y1))
                continue;
            wrong += j < i;
            hazeInFront = std::max(hazeInFront, q.Haze);
            besideClearer = besideClearer ||
                            (q.Haze < p.Haze && std::hypot(p.Foot.X - q.Foot.X, p.Foot.Y - q.Foot.Y) < 10);
        }
        ghosts += besideClearer && p.Haze > hazeInFront;
    }
    EXPECT_GT(drawn.size(), 500u);
    EXPECT_EQ(wrong, 0) << "cut-outs drawn after a nearer one they overlap";
    EXPECT_EQ(ghosts, 0) << "cut-outs hazier than a nearer one of their clump they overlap";
}

TEST_F(LakeModel, TreesCastTheirShadowsAwayFromTheSun) {
    // The sun stands in the west-south-west, so a tree's shadow lies on the
    // ground to its east-north-east: the near ground's texture is darker
    // there than on the tree's sunny side for most trees standing apart
    // (slopes and the woods' edges darken some sunny sides too; without
    // shadows it is about one in three).
    std::map<std::string, TUmtImage> grounds;
    const double awayX = 0.94, awayY = 0.34;
    // The near ground's texture coordinate at (x, y), from its triangles.
    auto brightness = [&](double x, double y) {
        for (const TModelObject& o : lake->Objects) {
            const std::string name = TextureName(o);
            if (name.rfind("lake_ground", 0) != 0) continue;
            if (!grounds.count(name)) grounds.emplace(name, Texture(name));
            const TUmtImage& ground = grounds.at(name);
            const TMesh& mesh = o.Meshes[0];
            for (std::size_t t = 0; t < mesh.Triangles.size(); ++t) {
                const TVec a = Vertex(mesh.Triangles[t], 0), b = Vertex(mesh.Triangles[t], 1),
                           c = Vertex(mesh.Triangles[t], 2);
                const double det = (b.X - a.X) * (c.Y - a.Y) - (c.X - a.X) * (b.Y - a.Y);
                if (std::fabs(det) < 1e-9) continue;
                const double u = ((x - a.X) * (c.Y - a.Y) - (c.X - a.X) * (y - a.Y)) / det;
                const double v = ((b.X - a.X) * (y - a.Y) - (x - a.X) * (b.Y - a.Y)) / det;
                if (u < 0 || v < 0 || u + v > 1) continue;
                const TTexCoord &ta = mesh.TexCoords[3 * t], &tb = mesh.TexCoords[3 * t + 1],
                                &tc = mesh.TexCoords[3 * t + 2];
                const int px = std::clamp(int((ta.S + u * (tb.S - ta.S) + v * (tc.S - ta.S)) * ground.Width),
                                          0, ground.Width - 1);
                const int py = std::clamp(int((ta.T + u * (tb.T - ta.T) + v * (tc.T - ta.T)) * ground.Height),
                                          0, ground.Height - 1);
                const std::uint8_t* p = ground.Frame(0) + (std::size_t(py) * ground.Width + std::size_t(px)) *
                                                              ground.BytesPerPixel();
                return 0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2];
            }
        }
        return -1.0;
    };
    int trees = 0, shaded = 0;
    const std::vector<TCutoutQuad> quads = CutoutQuads(*lake);
    for (const TCutoutQuad& q : quads) {
        if (q.Height < 2.5 || q.Foot.Z < WaterZ + 2.5) continue; // reeds at the water
        // Trees and bushes with no more than two others round them: deeper
        // in the woods and groves the shadows overlap.
        int others = 0;
        for (const TCutoutQuad& other : quads)
            others += &other != &q && other.Foot.Z > WaterZ + 2.5 &&
                      std::hypot(other.Foot.X - q.Foot.X, other.Foot.Y - q.Foot.Y) < 1.2 * q.Height;
        if (others > 2) continue;
        double away = 0, sunny = 0;
        for (double k : {0.5, 0.7, 0.9}) {
            const double d = k * q.Height;
            away += brightness(q.Foot.X + awayX * d, q.Foot.Y + awayY * d);
            sunny += brightness(q.Foot.X - awayX * d, q.Foot.Y - awayY * d);
        }
        if (away < 0 || sunny < 0) continue;
        ++trees;
        shaded += away < sunny ? 1 : 0;
    }
    ASSERT_GE(trees, 8);
    EXPECT_GT(double(shaded) / trees, 0.6) << shaded << " of " << trees << " trees";
}

TEST_F(LakeModel, TheLandNearTheLakeStaysSharpAtFullHd) {
    // Ground seen from low down lies nearly edge on. The renderer picks a
    // texture's mipmap level by the most texels a pixel steps over in any
    // direction, so ground textured from above shows a coarse level and
    // smears across the screen. What shows is a texel of that level: across
    // the screen it must stay within two pixels on the land within 150 units
    // and on all the fine ground round the lake, up the hills behind the
    // rock face and over their crests, as camera 1 sees it at 1920 x 1080.
    const TModelMatrix& m = lake->Cameras[0].Matrices[0];
    const TVec eye = EyeOf(m), right{m[0], m[4], m[8]}, up{m[1], m[5], m[9]}, forward{-m[2], -m[6], -m[10]};
    const double halfHeight = std::tan(lake->Cameras[0].Values[0].FieldOfView * M_PI / 360.0);
    const double halfWidth = halfHeight * 16 / 9;
    std::map<std::string, TUmtImage> textures;
    int checked = 0, blurred = 0;
    double worst = 0;
    for (const TModelObject& o : lake->Objects) {
        if (!Terrain(o)) continue;
        const std::string name = TextureName(o);
        if (!textures.count(name)) textures.emplace(name, Texture(name));
        const TUmtImage& texture = textures.at(name);
        const TMesh& mesh = o.Meshes[0];
        for (std::size_t t = 0; t < mesh.Triangles.size(); ++t) {
            double px[3][2], tx[3][2];
            bool inView = true;
            TVec centre{0, 0, 0};
            for (int v = 0; v < 3; ++v) {
                const TVec p = Vertex(mesh.Triangles[t], v), d = Minus(p, eye);
                const double along = Dot(d, forward);
                inView = inView && along > 1;
                px[v][0] = Dot(d, right) / (along * halfWidth) * 960;
                px[v][1] = Dot(d, up) / (along * halfHeight) * 540;
                tx[v][0] = mesh.TexCoords[3 * t + v].S * texture.Width;
                tx[v][1] = mesh.TexCoords[3 * t + v].T * texture.Height;
                centre = {centre.X + p.X / 3, centre.Y + p.Y / 3, centre.Z + p.Z / 3};
            }
            const TVec d = Minus(centre, eye);
            const double along = Dot(d, forward);
            const bool fine = centre.X > -72 && centre.X < 120 && centre.Y < 354;
            if (!inView || centre.Z < WaterZ + 0.3 || (Dot(d, d) > 150.0 * 150.0 && !fine) ||
                std::fabs(Dot(d, right)) > along * halfWidth || std::fabs(Dot(d, up)) > along * halfHeight)
                continue;
            // Texels per pixel: A = dT * dP^-1.
            const double p1x = px[1][0] - px[0][0], p1y = px[1][1] - px[0][1];
            const double p2x = px[2][0] - px[0][0], p2y = px[2][1] - px[0][1];
            const double det = p1x * p2y - p2x * p1y;
            if (std::fabs(det) < 1e-3) continue; // edge on: no pixels
            const double t1x = tx[1][0] - tx[0][0], t1y = tx[1][1] - tx[0][1];
            const double t2x = tx[2][0] - tx[0][0], t2y = tx[2][1] - tx[0][1];
            const double a = (t1x * p2y - t2x * p1y) / det, b = (t2x * p1x - t1x * p2x) / det;
            const double c = (t1y * p2y - t2y * p1y) / det, e = (t2y * p1x - t1y * p2x) / det;
            const double level = std::max({1.0, std::hypot(a, c), std::hypot(b, e)});
            // The fewest texels a pixel steps over, in any direction.
            const double s = a * a + b * b + c * c + e * e, q = a * e - b * c;
            const double fewest =
                std::sqrt(std::max(0.0, 0.5 * (s - std::sqrt(std::max(0.0, s * s - 4 * q * q)))));
            const double pixels = fewest > 0 ? level / fewest : 1e9;
            ++checked;
            blurred += pixels > 2.0 ? 1 : 0;
            worst = std::max(worst, pixels);
        }
    }
    ASSERT_GT(checked, 500);
    EXPECT_LT(double(blurred) / checked, 0.01) << blurred << " of " << checked << ", worst " << worst;
}

TEST_F(LakeModel, PlantsCoverTheWholeWidthOfTheWidestScreen) {
    // Across a 32:9 screen, cut into sixteen columns, every column shows the
    // plants' cover: none is bare ground where the middle ones have woods.
    constexpr int Columns = 16;
    const std::array<double, 16> clip = ClipMatrix(lake->Cameras[0], 32.0 / 9.0);
    double cover[Columns] = {};
    for (const TModelObject& o : lake->Objects) {
        if (!Cutouts(o)) continue;
        ForEachTexel(o, [&](TVec p, const std::uint8_t* texel, double area) {
            if (texel[3] < 128) return;
            const double x = clip[0] * p.X + clip[4] * p.Y + clip[8] * p.Z + clip[12];
            const double w = clip[3] * p.X + clip[7] * p.Y + clip[11] * p.Z + clip[15];
            if (w <= 0 || std::fabs(x / w) >= 1) return;
            // Screen area: world area shrinks with the square of the depth.
            cover[int((x / w + 1) * 0.5 * Columns)] += area / (w * w);
        });
    }
    std::vector<double> sorted(cover, cover + Columns);
    std::sort(sorted.begin(), sorted.end());
    const double median = sorted[Columns / 2];
    ASSERT_GT(median, 0);
    for (int c = 0; c < Columns; ++c)
        EXPECT_GT(cover[c], 0.25 * median) << "column " << c << " of " << Columns;
}

TEST_F(LakeModel, TreesStandInGroupsFromSaplingsToOldTrees) {
    // The trees and bushes on the land (not the reeds and grass at the
    // water): few stand alone, with no other within ten units, as they
    // would if sprinkled over the meadows; and the tallest tenth stand more
    // than three times as tall as the lowest tenth.
    std::vector<TCutoutQuad> plants;
    for (const TCutoutQuad& q : CutoutQuads(*lake))
        if (q.Foot.Z > WaterZ + 2.5) plants.push_back(q);
    ASSERT_GT(plants.size(), 500u);
    std::size_t alone = 0;
    std::vector<double> heights;
    for (const TCutoutQuad& a : plants) {
        double nearest = 1e30;
        for (const TCutoutQuad& b : plants)
            if (&a != &b) nearest = std::min(nearest, std::hypot(a.Foot.X - b.Foot.X, a.Foot.Y - b.Foot.Y));
        alone += nearest > 10.0;
        heights.push_back(a.Height);
    }
    EXPECT_LT(double(alone) / double(plants.size()), 0.03) << alone << " of " << plants.size() << " alone";
    // No tree taller than any bush stands off on its own, where it reads at
    // no clear scale: each has another at least half as tall within twelve
    // units.
    std::size_t lone = 0;
    TVec where{};
    for (const TCutoutQuad& a : plants) {
        if (a.Height < 4.5) continue;
        bool company = false;
        for (const TCutoutQuad& b : plants)
            company = company || (&a != &b && b.Height >= 0.5 * a.Height &&
                                  std::hypot(a.Foot.X - b.Foot.X, a.Foot.Y - b.Foot.Y) < 12.0);
        if (!company) ++lone, where = a.Foot;
    }
    EXPECT_EQ(lone, 0u) << "trees on their own, one at " << where.X << ", " << where.Y;
    std::sort(heights.begin(), heights.end());
    EXPECT_LT(heights[heights.size() / 10], 0.3 * heights[heights.size() * 9 / 10]) << "heights";
}

TEST_F(LakeModel, TheNearMeadowsOnlyWideScreensShowHoldGrovesAndScrub) {
    // Out to either side beyond a 16:9 screen's edge, and within 150 units of
    // camera 1, the meadows are no empty lawn: trees of full height stand
    // there in groves, with young trees and bushes of many sizes round them.
    const TModelMatrix& m = lake->Cameras[0].Matrices[0];
    const TVec eye = EyeOf(m), right{m[0], m[4], m[8]}, forward{-m[2], -m[6], -m[10]};
    std::vector<double> low[2];
    std::vector<TCutoutQuad> seen, bushes;
    int tall[2] = {};
    for (const TCutoutQuad& q : CutoutQuads(*lake)) {
        const TVec p = Minus(q.Foot, eye);
        const double across = Dot(p, right) / Dot(p, forward);
        if (q.Foot.Z < WaterZ + 2.5 || std::fabs(across) < 0.8 || std::fabs(across) > 32.0 / 9 * 0.4142 ||
            std::hypot(p.X, p.Y) > 150)
            continue;
        const int side = across > 0;
        seen.push_back(q);
        if (q.Height < 4.5) bushes.push_back(q);
        if (q.Height >= 4.5)
            ++tall[side];
        else
            low[side].push_back(q.Height);
    }
    // The low plants grow in thickets and at the trees' feet, not dotted
    // singly over the grass: most touch another plant.
    std::size_t alone = 0;
    for (const TCutoutQuad& a : bushes) {
        bool touches = false;
        for (const TCutoutQuad& b : seen) {
            const double d = std::hypot(a.Foot.X - b.Foot.X, a.Foot.Y - b.Foot.Y);
            touches = touches || (d > 1e-6 && d < 0.5 * (a.Width + b.Width));
        }
        alone += !touches;
    }
    EXPECT_LT(double(alone), 0.45 * double(bushes.size()))
        << alone << " of " << bushes.size() << " low plants alone";
    for (int side = 0; side < 2; ++side) {
        EXPECT_GE(tall[side], 10) << (side ? "right" : "left");
        ASSERT_GE(low[side].size(), 10u) << (side ? "right" : "left");
        std::sort(low[side].begin(), low[side].end());
        EXPECT_GT(low[side][low[side].size() * 9 / 10], 2.0 * low[side][low[side].size() / 10])
            << (side ? "right" : "left") << ": the low plants' heights";
    }
}

TEST_F(LakeModel, BeyondTheFineGroundTheSlopesStayGentle) {
    // Outside the fine ground round the lake (x -72..120, y up to 312) the land's
    // texture is draped from above at a coarse scale: a steep slope there
    // stretches it into streaks. Across the hills to either side of the
    // lake (the rock face in the middle has its own), up to the far range,
    // no triangle of the drawn ground is steep enough to show rock.
    double flattest = 1;
    TVec where{};
    for (const TModelObject& o : lake->Objects) {
        if (!Terrain(o)) continue;
        for (const TTriangle& t : o.Meshes[0].Triangles) {
            const TVec a = Vertex(t, 0), b = Vertex(t, 1), c = Vertex(t, 2);
            const TVec m{(a.X + b.X + c.X) / 3, (a.Y + b.Y + c.Y) / 3, (a.Z + b.Z + c.Z) / 3};
            const bool fine = m.X > -80 && m.X < 128 && m.Y < 318, middle = std::fabs(m.X - 24) < 60;
            if (fine || middle || std::fabs(m.X - 24) > 300 || m.Y < 150 || m.Y > 340) continue;
            const double ux = b.X - a.X, uy = b.Y - a.Y, uz = b.Z - a.Z;
            const double vx = c.X - a.X, vy = c.Y - a.Y, vz = c.Z - a.Z;
            const double nx = uy * vz - uz * vy, ny = uz * vx - ux * vz, nz = ux * vy - uy * vx;
            const double up = std::fabs(nz) / std::sqrt(nx * nx + ny * ny + nz * nz);
            if (up < flattest) flattest = up, where = m;
        }
    }
    EXPECT_GT(flattest, 0.8) << "steepest at " << where.X << ", " << where.Y;
}
