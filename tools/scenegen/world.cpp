#include "tools/scenegen/world.h"

#include <algorithm>
#include <cmath>

#include "tools/scenegen/noise.h"
#include "tools/scenegen/seeds.h"
#include "tools/scenegen/toolkit.h"

namespace scenegen {

namespace {

// Wraps an angle difference into -pi..pi.
float AngleDelta(float a, float b) {
    float d = a - b;
    while (d > Pi)
        d -= 2.0f * Pi;
    while (d < -Pi)
        d += 2.0f * Pi;
    return d;
}
} // namespace

float ShoreRadius(float angle) {
    // Broad bays, then coves and points of a few boat lengths.
    return 52.0f + 4.0f * Sin(2.0f * angle + 0.9f) + 3.0f * Cos(3.0f * angle - 0.4f) +
           1.5f * Sin(5.0f * angle + 2.0f) + 2.2f * Sin(7.0f * angle + 1.3f) +
           1.6f * Sin(11.0f * angle + 0.2f) + 0.9f * Sin(16.0f * angle + 2.5f);
}

namespace {

// The stream's course: how far along it from the lip (x, y) lies, and how
// far to its side.
void StreamCoordinates(float x, float y, float& along, float& side) {
    const float dx = x - LakeCentreX, dy = y - LakeCentreY;
    const float d = std::sqrt(dx * dx + dy * dy);
    const float delta = AngleDelta(Atan2(dy, dx), FallsAngle);
    along = d * Cos(delta) - (ShoreRadius(FallsAngle) + CliffDepth);
    const float meander = SmoothRange(0.0f, 30.0f, along) *
                          (8.0f * Sin(along / 32.0f + 0.3f) + 3.0f * Sin(along / 11.0f + 1.7f) - 2.4f);
    side = d * Sin(delta) - meander;
}

// How far the stream reaches into the hills.
constexpr float StreamLength = 260.0f;

// Where the falls' notch lies across the escarpment (x): the lake centre plus
// the shore's reach towards FallsAngle.
constexpr float FallsX = 42.0f;

} // namespace

namespace {

// Where (x, y) lies on the stream: how far along it from the lip, and its
// distance from the middle of the water over the water's half-width there
// (below 1 in the water). False beyond either end.
bool StreamPlace(float x, float y, float& along, float& across) {
    float side = 0.0f;
    StreamCoordinates(x, y, along, side);
    if (along < -1.0f || along > StreamLength) return false;
    const float width = 1.0f + 0.5f * SmoothRange(StreamLength, 0.0f, along) +
                        0.3f * Fbm(along / 6.0f, 0.5f, seeds::StreamWidth, 2);
    across = std::fabs(side) / width;
    return true;
}

// 1 along the stream's reach, fading out at its ends.
float StreamReach(float along) {
    return SmoothRange(StreamLength, StreamLength - 60.0f, along) * SmoothRange(-1.0f, 1.0f, along);
}

} // namespace

float StreamWater(float x, float y) {
    float along = 0.0f, across = 0.0f;
    if (!StreamPlace(x, y, along, across)) return 0.0f;
    return SmoothRange(1.2f, 0.8f, across) * StreamReach(along);
}

float StreamBank(float x, float y, float& fromLip) {
    float along = 0.0f, across = 0.0f;
    fromLip = 1e9f;
    if (!StreamPlace(x, y, along, across)) return 0.0f;
    fromLip = along;
    // As wide as the water again on either side, raggedly.
    const float reach = 2.4f + 0.6f * Fbm(x / 2.5f, y / 2.5f, seeds::StreamBanks, 2);
    return SmoothRange(reach, 0.9f, across) *
           SmoothRange(StreamLength - 40.0f, StreamLength - 100.0f, along) * SmoothRange(-1.0f, 1.0f, along);
}

namespace {

// The escarpment: a step in the land across the head of the valley, whose
// foot the lake reaches only where the falls come down. Its foot's y at x
// runs through these points, bowed round the lake's head and swinging
// towards the near shore on either side, where it runs on into the hills,
// with bays and spurs of its own away from the falls.
float ScarpFootY(float x) {
    struct TPoint {
        float X, Y;
    };
    constexpr TPoint points[] = {{-400.0f, 150.0f}, {-250.0f, 196.0f}, {-140.0f, 232.0f}, {-70.0f, 247.0f},
                                 {-20.0f, 250.0f},  {12.0f, 246.0f},   {30.0f, 239.0f},   {45.0f, 235.0f},
                                 {68.0f, 232.0f},   {100.0f, 228.0f},  {150.0f, 214.0f},  {230.0f, 188.0f},
                                 {400.0f, 140.0f}};
    constexpr int count = int(sizeof(points) / sizeof(points[0]));
    int k = 0;
    while (k + 2 < count && x > points[k + 1].X)
        ++k;
    // Cubic pieces through the points, each point's slope that of the
    // line through its neighbours.
    auto slope = [&](int i) {
        const TPoint a = points[std::max(i - 1, 0)], b = points[std::min(i + 1, count - 1)];
        return (b.Y - a.Y) / (b.X - a.X);
    };
    const TPoint a = points[k], b = points[k + 1];
    const float w = b.X - a.X, t = std::clamp((x - a.X) / w, 0.0f, 1.0f);
    const float t2 = t * t, t3 = t2 * t;
    float y = (2.0f * t3 - 3.0f * t2 + 1.0f) * a.Y + (t3 - 2.0f * t2 + t) * w * slope(k) +
              (-2.0f * t3 + 3.0f * t2) * b.Y + (t3 - t2) * w * slope(k + 1);
    if (x < points[0].X) y += (x - points[0].X) * slope(0);
    if (x > points[count - 1].X) y += (x - points[count - 1].X) * slope(count - 1);
    const float wander = SmoothRange(15.0f, 45.0f, std::fabs(x - FallsX));
    return y + wander * (6.0f * Fbm(x / 70.0f, 0.5f, seeds::ScarpLine, 3) +
                         2.0f * Fbm(x / 13.0f, 2.5f, seeds::ScarpLine + 7u, 2));
}

// How far (x, y) lies beyond the escarpment's foot, square to it: the foot
// is the line above, or the lake's shore where the lake reaches in further
// (`beyond` is the distance beyond the waterline). The face stands a few
// units from the water there, as the rock face's mesh does.
float ScarpBeyond(float x, float y, float beyond) {
    const float e = 0.5f, dy = (ScarpFootY(x + e) - ScarpFootY(x - e)) / (2.0f * e);
    const float line = (y - ScarpFootY(x)) / std::sqrt(1.0f + dy * dy);
    const float shore = beyond - 3.2f;
    // The smaller of the two, rounded where they meet.
    const float k = 4.0f, h = std::max(k - std::fabs(line - shore), 0.0f) / k;
    return std::min(line, shore) - h * h * k * 0.25f;
}

// 1 along the middle of the escarpment, falling to 0 towards its ends,
// beyond the fine ground round the lake, where the gullies, blocks and
// swells of its lip die away: their walls would be steep slopes under the coarse
// texture, stretched into streaks.
float LipEnds(float x) {
    return SmoothRange(120.0f, 60.0f, std::fabs(x - 40.0f));
}

// Gullies: clefts where water has worn the lip back, at uneven spacing,
// some deep and some barely begun, none by the falls. `spread` widens the
// cleft into the fan of stone it has shed at the foot.
float Gully(float x, float spread) {
    const float cleft = 1.0f - std::fabs(ValueNoise(x / 21.0f, 0.5f, seeds::ScarpGully));
    const float worn = SmoothRange(-0.35f, 0.25f, ValueNoise(x / 47.0f, 3.5f, seeds::ScarpGully + 1u));
    return SmoothRange(0.8f - spread, 0.97f - 0.5f * spread, cleft) * (0.3f + 0.7f * worn) *
           SmoothRange(14.0f, 26.0f, std::fabs(x - FallsX)) * LipEnds(x);
}

// The horizontal run of the escarpment's slope at x.
float ScarpRun(float x) {
    const float off = std::fabs(x - 40.0f);
    const float own = 4.0f + 20.0f * SmoothRange(0.0f, 0.6f, Fbm(x / 30.0f, 4.5f, seeds::ScarpRun, 3)) +
                      14.0f * Gully(x, 0.1f) + 30.0f * SmoothRange(55.0f, 120.0f, off) +
                      20.0f * SmoothRange(120.0f, 220.0f, off) +
                      // Beyond the fine ground round the lake the land's
                      // texture is draped from above at a coarse scale, and
                      // a steep face would stretch it into streaks: there
                      // the step eases into a long slope.
                      60.0f * SmoothRange(NearArea.X0 + 25.0f, NearArea.X0 - 25.0f, x) +
                      45.0f * SmoothRange(NearArea.X1 - 15.0f, NearArea.X1 + 30.0f, x);
    return Lerp(5.8f, own, SmoothRange(12.0f, 40.0f, std::fabs(x - FallsX)));
}

// How high the escarpment stands over the land at its foot, and the
// horizontal run of its slope: steep and tall near the falls, elsewhere
// swelling and sagging, in blocks of uneven width that stand a little
// higher or lower than their neighbours, notched by the gullies; here a
// sheer wall, there a broken slope that turf can hold. Its ends sink into
// the hillsides.
float ScarpHeight(float x, float beyond) {
    const float ends = LipEnds(x), spread = 0.35f + 0.6f * (1.0f - ends);
    const float swell =
        Lerp(0.5f, SmoothRange(-spread, spread, Fbm(x / 45.0f, 2.5f, seeds::ScarpHeight, 3)), ends);
    const float blockAt = x / 13.0f + 0.8f * ValueNoise(x / 19.0f, 6.5f, seeds::ScarpHeight + 7u);
    const float cell = std::floor(blockAt);
    const float block = Lerp(LatticeValue(std::int32_t(cell), 9, seeds::ScarpHeight + 8u),
                             LatticeValue(std::int32_t(cell) + 1, 9, seeds::ScarpHeight + 8u),
                             SmoothRange(0.65f, 1.0f, blockAt - cell));
    const float lip = (1.0f + 0.3f * block * ends) * (1.0f - 0.6f * Gully(x, 0.0f));
    const float falls = SmoothRange(12.0f, 40.0f, std::fabs(x - FallsX));
    const float off = std::fabs(x - 40.0f);
    // To the east the land below is higher: the step there is lower.
    const float east = 1.0f - 0.4f * SmoothRange(70.0f, 110.0f, x);
    // The swells and sags, the blocks and gullies are the lip's own: a
    // short way back the land behind is whole again, and further back it
    // rises evenly into the hills.
    const float run = ScarpRun(x), edge = SmoothRange(run + 30.0f, run + 8.0f, beyond);
    const float own = Lerp(14.0f, 7.0f + 14.0f * swell, SmoothRange(run + 140.0f, run + 40.0f, beyond));
    const float plateau = Lerp(15.0f, own, falls) * east * SmoothRange(250.0f, 90.0f, off);
    return plateau * Lerp(1.0f, Lerp(1.0f, lip, falls), edge);
}

// The face's blocks: it has broken along its joints into blocks of uneven
// width, each standing a little forward of or back from its neighbours and
// each broken off at its own height. `seed` picks which of a block's values.
float FaceBlock(float x, std::uint32_t seed) {
    const float at = x / 5.5f + 0.9f * ValueNoise(x / 8.0f, 1.5f, seeds::ScarpBlocks);
    const float cell = std::floor(at);
    const float here = LatticeValue(std::int32_t(cell), 5, seed),
                next = LatticeValue(std::int32_t(cell) + 1, 5, seed);
    // A higher value sets a block further back or breaks it off lower. Where
    // the next block east does so, the step down to it would face away from
    // the afternoon sun and throw its shadow over that block's shoulder: there
    // it has crumbled into a longer slope the sun reaches.
    return Lerp(here, next, SmoothRange(next > here ? 0.1f : 0.6f, 1.0f, at - cell));
}

// Open joints: narrow clefts down the face at uneven spacing, where the
// rock has weathered back along a crack; 1 in a cleft.
float FaceJoint(float x) {
    return SmoothRange(0.9f, 0.98f, 1.0f - std::fabs(ValueNoise(x / 3.7f, 9.5f, seeds::ScarpJoints))) *
           SmoothRange(0.1f, 0.5f, ValueNoise(x / 11.0f, 2.5f, seeds::ScarpJoints + 1u));
}

// The share of the escarpment's height `height` reached `beyond` units past
// its foot on a slope of horizontal run `run`: the bare face, in places
// broken by a ledge of turf part way up that widens and pinches out along
// it, up to where the rock breaks off (the blocks' tops, at their own
// heights, lower in the clefts), and above that a shoulder of turf rounding
// over to the lip. `broken` is 1 on the part of the face whose blocks and
// clefts are its own, 0 where it stays whole.
float ScarpRise(float x, float beyond, float run, float height, float broken) {
    const float joint = broken * FaceJoint(x);
    // Blocks stand forward or back by a share of the slope's run, so they
    // show on the long slopes as well as the steep faces.
    const float b =
        beyond - broken * ((1.6f + 0.07f * run) * (0.5f + 0.5f * FaceBlock(x, seeds::ScarpBlocks + 1u)) +
                           (0.6f + 0.02f * run) * joint);
    const float top =
        1.0f - broken * Clamp01(0.05f + 0.22f * (0.5f + 0.5f * FaceBlock(x, seeds::ScarpBlocks + 2u)) +
                                0.2f * joint + 0.3f * Gully(x, 0.0f) +
                                0.04f * ValueNoise(x / 1.7f, 3.5f, seeds::ScarpBlocks + 3u));
    const float ledge = SmoothRange(0.2f, 0.5f,
                                    0.6f * ValueNoise(x / 9.0f, 8.5f, seeds::ScarpLedge) +
                                        0.4f * FaceBlock(x, seeds::ScarpLedge + 2u)) *
                        SmoothRange(14.0f, 26.0f, std::fabs(x - FallsX));
    const float at = 0.3f + 0.35f * (0.5f + 0.5f * ValueNoise(x / 8.0f, 2.5f, seeds::ScarpLedge + 1u));
    const float wide = ledge * (1.5f + 0.35f * run), foot = 0.1f * run, face = 0.9f * run * top;
    // The shoulder: gentle enough to hold turf.
    const float shoulder = 0.5f + (1.0f - top) * height * 0.9f / 0.45f;
    const float crown = foot + face + wide;
    return 0.1f * SmoothRange(-0.5f * run, 0.3f * run, b) +
           0.9f * (at * top * SmoothRange(foot, foot + at * face, b) +
                   (1.0f - at) * top * SmoothRange(foot + at * face + wide, crown, b) +
                   (1.0f - top) * SmoothRange(crown, crown + shoulder, b));
}

// Fans of stone fallen from the face, heaped against its foot: highest
// under the gullies that feed them, a thin apron elsewhere. Returns the
// fan's height at `beyond` past the foot of a step `height` high, and how
// much of the ground there it covers with loose stone.
float Talus(float x, float beyond, float height, float& cover) {
    const float feed = Gully(x, 0.25f);
    const float top = height * (0.08f + 0.3f * feed) *
                      (0.6f + 0.4f * (0.5f + 0.5f * ValueNoise(x / 9.0f, 4.5f, seeds::ScarpTalus)));
    const float reach = 2.0f + 2.5f * top; // about the angle loose stone rests at
    const float rise = SmoothRange(-reach, 0.5f, beyond);
    cover = SmoothRange(1.0f, 2.5f, top) * SmoothRange(-reach, 0.3f - 0.6f * reach, beyond) *
            SmoothRange(-0.3f, 0.5f, Fbm(x / 2.5f, beyond / 2.5f, seeds::ScarpTalus + 1u, 2) + 0.2f);
    return top * rise * rise;
}

// The escarpment's part of the ground's height at (x, y), `b` beyond the
// waterline, its loose stone there, and the height of its step (`scarp`).
float ScarpAt(float x, float y, float b, float& talusCover, float& scarp) {
    const float beyond = ScarpBeyond(x, y, b);
    scarp = ScarpHeight(x, beyond);
    const float fan = Talus(x, beyond, scarp, talusCover) * SmoothRange(1.0f, 8.0f, b);
    const float broken = LipEnds(x) * SmoothRange(14.0f, 26.0f, std::fabs(x - FallsX));
    const float run = ScarpRun(x);
    const float rise = ScarpRise(x, beyond, run, scarp, broken);
    // Knobs and hollows of weathered rock, which the turf at the face's top
    // and on its ledges holds only in places.
    // On the long slopes, broader swells too, which break their bands of
    // bare rock into patches.
    const float rough =
        broken * SmoothRange(0.03f, 0.25f, rise) * SmoothRange(0.995f, 0.8f, rise) *
        (0.6f * Fbm(x / 1.6f, y / 1.6f, seeds::ScarpRough, 2) +
         1.4f * SmoothRange(15.0f, 45.0f, run) * Fbm(x / 6.0f, y / 6.0f, seeds::ScarpRough + 2u, 2));
    const float face = scarp * rise + rough;
    // Only where the fan lies over the face's own slope.
    talusCover *= SmoothRange(1.0f, 8.0f, b) * SmoothRange(0.6f, -0.4f, face - fan);
    return std::max(face, fan);
}

} // namespace

float TerrainHeight(float x, float y) {
    const float dx = x - LakeCentreX, dy = y - LakeCentreY;
    const float d = std::sqrt(dx * dx + dy * dy);
    const float angle = Atan2(dy, dx);
    const float b = d - ShoreRadius(angle); // signed distance beyond the waterline

    if (b <= 0.0f) return WaterLevel - 8.0f * SmoothRange(0.0f, 20.0f, -b);

    // Banks: steep at the water, easing off, then rolling hills that grow
    // with the distance from the lake. The near (south) shore stays low so
    // the view from it is open.
    float rise = 4.5f * (1.0f - Exp(-b / 7.0f)) + 0.16f * b;
    float open = 0.35f + 0.65f * SmoothRange(150.0f, 230.0f, y);
    float hillAmp = 24.0f * SmoothRange(6.0f, 120.0f, b) * open;
    float hills = hillAmp * (0.5f + 0.5f * Fbm(x / 170.0f, y / 170.0f, seeds::Hills, 5));
    float bumps = 1.6f * Fbm(x / 14.0f, y / 14.0f, seeds::Bumps, 4) * SmoothRange(0.0f, 8.0f, b);
    // A range of higher ground far to the north closes the valley.
    float range = 60.0f * SmoothRange(330.0f, 640.0f, y) *
                  (0.55f + 0.45f * Ridged(x / 260.0f, y / 260.0f, seeds::FarRange, 5));
    const float low = WaterLevel + rise + hills + bumps + range;
    float talus = 0.0f, scarp = 0.0f;
    float h = low + ScarpAt(x, y, b, talus, scarp);

    // The rock face: within a narrow arc of the shore the lake reaches in to
    // the foot of a cliff (a mesh of its own stands there) and the land stays
    // up as a shelf behind it; the ground rises only behind the face.
    // Its width wanders, so the face's ends meet the hillside unevenly.
    const float arcWidth = 0.26f * (1.0f + 0.2f * ValueNoise(angle * 9.0f, 0.5f, seeds::RockFaceWidth));
    float arc = Exp(-Pow(AngleDelta(angle, FallsAngle) / arcWidth, 2.0f));
    if (arc > 0.01f) {
        float ragged = b + 0.8f * Fbm(x / 5.0f, y / 5.0f, seeds::RockFaceEdge, 3);
        float shelf = low + scarp - WaterLevel + 3.0f * Fbm(x / 9.0f, y / 9.0f, seeds::RockShelf, 3);
        float cliff = WaterLevel - 1.0f + (shelf + 1.0f) * SmoothRange(3.2f, CliffDepth + 2.0f, ragged);
        // The stream's notch at the lip, along the line from the lake centre.
        float lateral = d * Sin(AngleDelta(angle, FallsAngle));
        cliff -= 2.5f * Exp(-lateral * lateral / 5.0f) * SmoothRange(CliffDepth - 2.0f, CliffDepth + 3.0f, b);
        // At the foot the ground goes down under the water; behind the face
        // it only ever rises, so the hills beyond keep their height.
        float shaped = h + (cliff - h) * SmoothRange(0.05f, 0.6f, arc);
        h = shaped + (std::max(h, shaped) - shaped) * SmoothRange(3.2f, 4.5f, ragged);
    }

    // The stream's bed and the shallow valley it has worn.
    float along = 0.0f, side = 0.0f;
    StreamCoordinates(x, y, along, side);
    if (along > -4.0f && along < StreamLength + 20.0f) {
        const float reach =
            SmoothRange(-4.0f, 2.0f, along) * SmoothRange(StreamLength + 20.0f, StreamLength - 60.0f, along);
        h -= reach * (1.2f * Exp(-side * side / 2.5f) + 2.5f * Exp(-side * side / 60.0f));
    }
    return h;
}

float ScarpTalus(float x, float y) {
    const float dx = x - LakeCentreX, dy = y - LakeCentreY;
    const float b = std::sqrt(dx * dx + dy * dy) - ShoreRadius(Atan2(dy, dx));
    float cover = 0.0f, scarp = 0.0f;
    if (b > 0.0f) ScarpAt(x, y, b, cover, scarp);
    return cover;
}

float WoodsDensity(float x, float y, float height) {
    const float dx = x - LakeCentreX, dy = y - LakeCentreY;
    const float beyond = std::sqrt(dx * dx + dy * dy) - ShoreRadius(Atan2(dy, dx));
    const float above = height - WaterLevel;
    float woods =
        Fbm(x / 70.0f, y / 70.0f, seeds::Woods, 4) + 0.3f * SmoothRange(15.0f, 80.0f, beyond) - 0.08f;
    // The woods' edge wanders in and out in bays and tongues, and glades
    // open inside them: whole woods with meadow between, not trees spread
    // evenly over the hills.
    woods += 0.14f * Fbm(x / 22.0f, y / 22.0f, seeds::WoodsEdge, 2);
    woods -= 0.4f * SmoothRange(0.2f, 0.4f, Fbm(x / 30.0f, y / 30.0f, seeds::Glades, 2));
    // The meadows out to the sides, which only screens wider than 16:9
    // show, are wooded more than the middle of the view, or they read as
    // empty.
    const TVec3 seen = CameraView(V3(x, y, height));
    if (seen.z > 0.0f) woods += 0.2f * SmoothRange(0.7f, 1.0f, std::fabs(seen.x));
    woods *= SmoothRange(3.0f, 6.0f, above);
    // The escarpment's broken face and its ledges, from its foot to just
    // over its lip, are rock and turf: no forest floor on them. Behind the
    // lip the woods stand back by a distance that wanders, so that their
    // first trees do not line its crest.
    const float run = ScarpRun(x), fromFoot = ScarpBeyond(x, y, beyond);
    const float back = run + 6.0f + 16.0f * Clamp01(0.5f + Fbm(x / 16.0f, y / 16.0f, seeds::LipWoods, 2));
    woods -= 0.5f * SmoothRange(-3.0f, 1.0f, fromFoot) * SmoothRange(back + 4.0f, back - 4.0f, fromFoot) *
             SmoothRange(150.0f, 100.0f, std::fabs(x - FallsX));
    // A clearing along the stream near the lip keeps it in sight.
    float along = 0.0f, side = 0.0f;
    StreamCoordinates(x, y, along, side);
    if (along > -4.0f && along < StreamLength)
        woods -= 0.3f * Exp(-side * side / 50.0f) * SmoothRange(StreamLength, 60.0f, along);
    return SmoothRange(0.12f, 0.22f, woods);
}

TVec3 TerrainNormal(float x, float y, float step) {
    float hx = TerrainHeight(x + step, y) - TerrainHeight(x - step, y);
    float hy = TerrainHeight(x, y + step) - TerrainHeight(x, y - step);
    return Normalised(V3(-hx, -hy, 2.0f * step));
}

TVec3 CameraEye() {
    return V3(24.0f, 128.0f, 4.5f);
}

TVec3 CameraTarget() {
    const float yaw = 4.0f * Pi / 180.0f, pitch = -3.0f * Pi / 180.0f;
    TVec3 dir = V3(Sin(yaw) * Cos(pitch), Cos(yaw) * Cos(pitch), Sin(pitch));
    return CameraEye() + dir * 100.0f;
}

TVec3 CameraView(TVec3 p) {
    const TVec3 eye = CameraEye(), forward = Normalised(CameraTarget() - eye);
    const TVec3 right = Normalised(Cross(forward, V3(0, 0, 1))), up = Cross(right, forward);
    const TVec3 d = p - eye;
    const float z = Dot(d, forward);
    if (z <= 1e-3f) return V3(0, 0, z);
    return V3(Dot(d, right) / z, Dot(d, up) / z, z);
}

bool TriangleMayShow(TVec3 a, TVec3 b, TVec3 c) {
    // Half the view's height as a tangent, and its half width at the widest
    // screen, each with a margin of a few pixels.
    const float halfUp = ViewHalfUp * 1.02f;
    const float halfAcross = halfUp * WidestAspect;
    const TVec3 v[3] = {CameraView(a), CameraView(b), CameraView(c)};
    int behind = 0, left = 0, right = 0, below = 0, above = 0;
    for (const TVec3& p : v) {
        if (p.z < CameraNear) {
            ++behind;
            continue; // its tangents mean nothing: only the near plane judges it
        }
        left += p.x<-halfAcross, right += p.x> halfAcross;
        below += p.y<-halfUp, above += p.y> halfUp;
    }
    if (behind == 3) return false;
    if (behind > 0) return true; // crosses the near plane: kept
    return left < 3 && right < 3 && below < 3 && above < 3;
}

} // namespace scenegen
