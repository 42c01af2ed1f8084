#include "tools/scenegen/falls.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/scenegen/cliff.h"
#include "tools/scenegen/noise.h"
#include "tools/scenegen/seeds.h"
#include "tools/scenegen/toolkit.h"
#include "tools/scenegen/world.h"

namespace scenegen {

namespace {

// The falls' texture: the curtain in the left half, the stream's white
// water in the lower right quarter (the upper right quarter stays clear).
// Each part is laid half a texel in from its edges.
constexpr int FallsTextureWidth = 128, FallsTextureHeight = 256;
constexpr int CurtainWidth = 64, LipHeight = 128;
constexpr int FoamWidth = 128, FoamHeight = 64;
constexpr int MistSide = 64;
constexpr float TexelS = 1.0f / FallsTextureWidth, TexelT = 1.0f / FallsTextureHeight;
constexpr float CurtainS0 = 0.5f * TexelS, CurtainS1 = (CurtainWidth - 0.5f) * TexelS;
constexpr float LipS0 = (CurtainWidth + 0.5f) * TexelS, LipS1 = 1.0f - 0.5f * TexelS;
constexpr float LipT0 = 0.5f * TexelT, LipT1 = (LipHeight - 0.5f) * TexelT;

// Noise that flows with the frames: `row` is a texel row, and frame k
// samples the pattern FlowStepRows * k rows further on, so the pattern moves
// toward row 0 as the frames go by and comes round again after FlowFrames
// frames. `cells` lattice cells lie along one period of the flow (few:
// long streaks; many: short blobs); `across` is the other coordinate.
float FlowNoise(int row, int frame, float across, int cells, std::uint32_t seed, int octaves,
                int stepRows = FlowStepRows) {
    const int period = FlowFrames * stepRows;
    const float along = float(row * cells) / float(period) + float(frame * stepRows * cells) / float(period);
    return Fbm(along, across, seed, octaves, 0.5f, cells);
}

// The horizontal way from the foot of the falls out over the lake.
TVec3 TowardLake() {
    const TVec3 foot = RockFacePoint(FallsAngle, 0.0f);
    return Normalised(V3(LakeCentreX - foot.x, LakeCentreY - foot.y, 0.0f));
}

// How far the stream's water reaches to each side of `p` along `side`
// (level, unit): its half width and the offset of its middle. A stream that
// is not there gives the smallest falls.
void StreamSpan(TVec3 p, TVec3 side, float& halfWidth, float& middle) {
    float lo = 0.0f, hi = 0.0f;
    bool found = false;
    for (int i = -40; i <= 40; ++i) {
        const float d = 0.25f * float(i);
        if (StreamWater(p.x + side.x * d, p.y + side.y * d) < 0.5f) continue;
        if (!found) lo = d;
        hi = d, found = true;
    }
    halfWidth = found ? 0.5f * (hi - lo) + 0.25f : 1.0f;
    middle = found ? 0.5f * (hi + lo) : 0.0f;
}

// A quad of the level water seen from above, whichever way round its
// corners were given: counter-clockwise from above is its front. Left out
// where it lies above camera 1's eye, which sees only its underside.
void AddLevelQuad(TGenObject& o, TVec3 a, TVec3 b, TVec3 c, TVec3 d, TVec3 ta, TVec3 tb, TVec3 tc, TVec3 td) {
    const TVec3 n = Cross(b - a, c - a);
    const bool upward = n.z >= 0.0f;
    const TVec3 up = n * (upward ? 1.0f : -1.0f);
    if (Dot(up, CameraEye() - a) <= 0.0f || Dot(up, CameraEye() - c) <= 0.0f) return;
    if (upward)
        o.AddQuad(a, b, c, d, ta, tb, tc, td);
    else
        o.AddQuad(a, d, c, b, ta, td, tc, tb);
}

// The same for a triangle.
void AddLevelTriangle(TGenObject& o, TVec3 a, TVec3 b, TVec3 c, TVec3 ta, TVec3 tb, TVec3 tc) {
    const TVec3 n = Cross(b - a, c - a);
    const TVec3 up = n * (n.z >= 0.0f ? 1.0f : -1.0f);
    if (Dot(up, CameraEye() - a) <= 0.0f) return;
    if (n.z >= 0.0f)
        o.Add(a, b, c, ta, tb, tc);
    else
        o.Add(a, c, b, ta, tc, tb);
}

// How far out from the foot of the rock face the lake begins: where the
// falls come down and the foam spreads from. A bank in front of the foot
// is jumped, and so is the cell of the drawn ground after it (the ground's
// grid is NearGridStep apart, so it comes down to the water a cell past
// where the land dips under it).
float LandingDistance() {
    const TVec3 foot = RockFacePoint(FallsAngle, 0.0f), lake = TowardLake();
    float out = 1.2f;
    for (int i = 0; i < 40; ++i, out += 0.5f) {
        const TVec3 p = foot + lake * out;
        if (TerrainHeight(p.x, p.y) <= WaterLevel - 0.3f) break;
    }
    return out + NearGridStep;
}

// The lip the falls come over: half the falls' width there (broader where
// the stream is broader), and the stream's half width and the offset of its
// middle across it.
struct TLip {
    float Half, StreamHalf, Middle;
};
TLip Lip() {
    const TVec3 lake = TowardLake(), side = Normalised(Cross(V3(0, 0, 1), lake));
    const TVec3 lip = RockFacePoint(FallsAngle, RockFaceTop(FallsAngle)) - lake * 1.5f;
    TLip l{};
    StreamSpan(lip, side, l.StreamHalf, l.Middle);
    l.Half = std::max(2.6f, 1.7f * l.StreamHalf);
    return l;
}

// How much water comes over the lip at `across` (-1 at the left of the
// curtain's top, 1 at its right): the stream's channel is deepest in its
// middle and its bed parts the flow into tongues, fullest where it is
// deepest; over the rock to the sides only thin runnels come over.
float LipWater(const TLip& lip, float across) {
    const float d = (across * lip.Half - lip.Middle) / (lip.StreamHalf + 2.4f);
    const float channel = std::sqrt(Clamp01(1.0f - d * d));
    const float warp = across + 0.2f * ValueNoise(across * 2.5f, 0.5f, seeds::FallsTongues);
    const float split = SmoothRange(-1.0f, -0.4f, Cos(warp * 10.0f + 0.8f)) *
                        (0.75f + 0.25f * ValueNoise(across * 5.0f, 2.5f, seeds::FallsTongues));
    const float runnels =
        0.22f * SmoothRange(0.45f, 0.75f, ValueNoise(across * 6.0f, 1.5f, seeds::FallsTongues + 2u));
    return Clamp01(std::max(channel * (0.2f + 0.8f * split), runnels));
}

// A loop of FlowFrames frames of `width` x `height`, one after another,
// frame k painted by paint(picture, k).
template <class TPaint> TPicture FrameLoop(int width, int height, int channels, TPaint paint) {
    TPicture frames(width, height, channels);
    frames.Frames = FlowFrames;
    frames.Bytes.clear();
    for (int k = 0; k < FlowFrames; ++k) {
        TPicture picture(width, height, channels);
        paint(picture, k);
        frames.Bytes.insert(frames.Bytes.end(), picture.Bytes.begin(), picture.Bytes.end());
    }
    return frames;
}

} // namespace

TGenObject Waterfall(std::uint16_t material) {
    TGenObject falls;
    falls.Material = material;
    falls.Alpha = 1.0f;
    // Down the groove of the rock face, just in front of it, from the notch
    // in its lip to a little under the water, the tongues of deep water
    // shooting out farther than the thin water between them. The rows lie
    // closer together near the lip, where the water curls over.
    const TVec3 foot = RockFacePoint(FallsAngle, 0.0f);
    const TVec3 lake = TowardLake();
    const TVec3 right = BillboardRight(foot);
    const float top = RockFaceTop(FallsAngle), bottom = -0.8f;
    const TLip lip = Lip();
    // Out from the face in an arc that lands where the lake begins.
    const float landing = LandingDistance();
    constexpr int Rows = 12, Columns = 8;
    auto curtainPoint = [&](int k, int c, TVec3& p, TVec3& t) {
        const float f = 1.0f - Pow(1.0f - float(k) / float(Rows), 1.6f);
        const float a = 2.0f * float(c) / float(Columns) - 1.0f;
        // The water leaves the lip in an arc and falls clear of the face,
        // spreading as it falls.
        const float bulge = (0.25f * (1.0f - a * a) + 0.8f * LipWater(lip, a)) * SmoothRange(1.0f, 0.8f, f);
        const float clear = 0.8f + (landing - 0.8f) * std::sqrt(std::max(0.0f, 1.0f - f)) + bulge;
        const float half = lip.Half * (1.0f + 0.55f * (1.0f - f) * (1.0f - f));
        p = RockFacePoint(FallsAngle, bottom + (top - bottom) * f) + lake * clear + right * (a * half);
        t = V3(CurtainS0 + (CurtainS1 - CurtainS0) * 0.5f * (a + 1.0f), 0.5f * TexelT + (1.0f - TexelT) * f,
               0);
    };
    for (int k = 0; k < Rows; ++k)
        for (int c = 0; c < Columns; ++c) {
            TVec3 p[4], t[4];
            curtainPoint(k, c, p[0], t[0]);
            curtainPoint(k, c + 1, p[1], t[1]);
            curtainPoint(k + 1, c + 1, p[2], t[2]);
            curtainPoint(k + 1, c, p[3], t[3]);
            falls.AddQuad(p[0], p[1], p[2], p[3], t[0], t[1], t[2], t[3]);
        }

    // The stream's white water, from a few units upstream to where the
    // curtain leaves the lip, as wide as the stream and just above it.
    const TVec3 side = Normalised(Cross(V3(0, 0, 1), lake));
    const TVec3 lipEdge = RockFacePoint(FallsAngle, top) + lake * 0.8f;
    constexpr int Reaches = 6;
    constexpr float Upstream = 9.0f;
    TVec3 prevL{}, prevR{};
    for (int k = 0; k <= Reaches; ++k) {
        const float d = Upstream * float(k) / float(Reaches);
        TVec3 centre = lipEdge - lake * d;
        float half = lip.Half, middle = 0.0f;
        if (k > 0) {
            StreamSpan(centre, side, half, middle);
            half = std::max(1.2f, 1.15f * half);
            centre = centre + side * middle;
            centre.z = std::max(TerrainHeight(centre.x, centre.y), lipEdge.z) + 0.12f;
        }
        const TVec3 l = centre - side * half, r = centre + side * half;
        const float t = LipT0 + (LipT1 - LipT0) * float(k) / float(Reaches);
        if (k > 0) {
            const float t0 = LipT0 + (LipT1 - LipT0) * float(k - 1) / float(Reaches);
            AddLevelQuad(falls, prevL, prevR, r, l, V3(LipS0, t0, 0), V3(LipS1, t0, 0), V3(LipS1, t, 0),
                         V3(LipS0, t, 0));
        }
        prevL = l, prevR = r;
    }
    return falls;
}

TGenObject FallsFoam(std::uint16_t material) {
    TGenObject foam;
    foam.Material = material;
    foam.Alpha = 0.0f;
    // White water churned up where the falls land: a fan round the foot out
    // over the lake, reaching farthest under the tongues, with a rim pulled
    // in wherever the shore comes near. Domed a little (never so steep that
    // camera 1 sees under it), so the ripples cover its rim more often than
    // its middle.
    const TVec3 lake = TowardLake(), side = Normalised(Cross(V3(0, 0, 1), lake));
    const TLip lip = Lip();
    // From where the falls land, a little out over the lake.
    const TVec3 centre = RockFacePoint(FallsAngle, 0.0f) + lake * (LandingDistance() + 0.5f);
    const float reach = 2.6f * lip.Half;
    constexpr int Spokes = 18, Rings = 3;
    constexpr float Spread = 1.5f; // radians each side of straight out
    const float texelS = 1.0f / FoamWidth, texelT = 1.0f / FoamHeight;
    auto wayAt = [&](float angle) { return lake * Cos(angle) + side * Sin(angle); };
    auto onWater = [&](TVec3 p) { return TerrainHeight(p.x, p.y) <= WaterLevel - 0.3f; };
    std::vector<float> rim(Spokes + 1);
    for (int i = 0; i <= Spokes; ++i) {
        const float angle = Spread * (2.0f * float(i) / float(Spokes) - 1.0f);
        const float under = LipWater(lip, Clamp01(0.5f + 0.6f * Sin(angle)) * 2.0f - 1.0f);
        float r = reach * (0.55f + 0.5f * under + 0.25f * ValueNoise(float(i) * 0.7f, 0.5f, seeds::FoamRim)) *
                  (0.8f + 0.2f * Cos(angle));
        while (r > 1.5f && !onWater(centre + wayAt(angle) * r))
            r *= 0.9f;
        rim[std::size_t(i)] = r;
    }
    auto point = [&](int i, int j, TVec3& p, TVec3& t) {
        const float angle = Spread * (2.0f * float(i) / float(Spokes) - 1.0f), f = float(j) / float(Rings);
        p = centre + wayAt(angle) * (rim[std::size_t(i)] * f);
        p.z = WaterLevel + 0.15f + 0.25f * (1.0f - f);
        t = V3(0.5f * texelS + (1.0f - texelS) * float(i) / float(Spokes), 1.0f - 0.5f * texelT - 0.45f * f,
               0);
    };
    for (int j = 0; j < Rings; ++j)
        for (int i = 0; i < Spokes; ++i) {
            TVec3 p[4], t[4];
            point(i, j, p[0], t[0]);
            point(i, j + 1, p[1], t[1]);
            point(i + 1, j + 1, p[2], t[2]);
            point(i + 1, j, p[3], t[3]);
            if (j == 0) // the middle: one triangle, its inner corners being one point
                AddLevelTriangle(foam, p[0], p[1], p[2], t[0], t[1], t[2]);
            else
                AddLevelQuad(foam, p[0], p[1], p[2], p[3], t[0], t[1], t[2], t[3]);
        }

    // Beyond it the foam breaks into lace and streaks that drift out over
    // the lake, curling aside, narrowing and thinning to nothing, longest
    // and most of them under the tongues. Their ends lie just above the
    // still water, so the ripples wash over them.
    constexpr int Streaks = 24, Segments = 4;
    for (int n = 0; n < Streaks; ++n) {
        TRandom random = RandomFor(seeds::FoamDrift, n);
        const float place = (float(n) + 0.2f + 0.6f * float(random.Unit())) / float(Streaks);
        const float angle =
            Spread * 0.95f * Pow(std::fabs(2.0f * place - 1.0f), 0.5f) * (place < 0.5f ? -1.0f : 1.0f);
        const int spoke = std::min(Spokes, int((angle / Spread + 1.0f) * 0.5f * float(Spokes) + 0.5f));
        const float under = LipWater(lip, Clamp01(0.5f + 0.6f * Sin(angle)) * 2.0f - 1.0f);
        const TVec3 start = centre + wayAt(angle) * (0.75f * rim[std::size_t(spoke)]);
        const TVec3 way = wayAt(std::clamp(angle * 1.15f, -Spread, Spread));
        const TVec3 aside = Normalised(Cross(V3(0, 0, 1), way));
        // Curling away from straight out, as the lake carries it aside.
        const float curl = (angle < 0.0f ? -0.35f : 0.35f) * float(random.Unit());
        const float length = reach * (1.0f + 1.4f * float(random.Unit())) * (0.7f + 0.6f * under) *
                             (0.55f + 0.45f * std::fabs(Sin(angle)));
        const float width = 0.35f + 0.6f * float(random.Unit()) * (0.5f + under);
        auto path = [&](float g) { return start + way * (length * g) + aside * (curl * length * g * g); };
        // Cut short where it would run onto the shore.
        float reaches = 1.0f;
        for (int q = 1; q <= 8 && reaches == 1.0f; ++q)
            if (!onWater(path(float(q) / 8.0f))) reaches = float(q - 1) / 8.0f;
        if (reaches * length < 1.5f) continue;
        auto along = [&](float g) { return path(g * reaches); };
        const float s0 = 0.5f * texelS + (1.0f - texelS) * place;
        TVec3 prevL{}, prevR{}, prevT0{}, prevT1{};
        for (int k = 0; k <= Segments; ++k) {
            const float g = float(k) / float(Segments);
            TVec3 mid = along(g);
            mid.z = WaterLevel + 0.17f - 0.1f * g;
            const float half = width * Pow(1.0f - g, 0.7f) * (0.7f + 0.3f * float(random.Unit()));
            const float t = 0.55f - 0.5f * g - 0.03f * float(n % 3);
            const TVec3 l = mid - aside * half, r = mid + aside * half;
            const TVec3 tl = V3(s0 - 0.02f, t, 0), tr = V3(s0 + 0.02f, t, 0);
            if (k == Segments)
                AddLevelTriangle(foam, prevL, prevR, mid, prevT0, prevT1, V3(s0, t, 0));
            else if (k > 0)
                AddLevelQuad(foam, prevL, prevR, r, l, prevT0, prevT1, tr, tl);
            prevL = l, prevR = r, prevT0 = tl, prevT1 = tr;
        }
    }
    return foam;
}

TPicture WaterfallTexture() {
    // The water over the lip across the curtain, as it comes over and as it
    // has spread a little by the time it lands.
    const TLip lip = Lip();
    std::vector<float> over(CurtainWidth), spread(CurtainWidth, 0.0f);
    for (int x = 0; x < CurtainWidth; ++x)
        over[std::size_t(x)] = LipWater(lip, (float(x) + 0.5f) / float(CurtainWidth) * 2.0f - 1.0f);
    for (int x = 0; x < CurtainWidth; ++x)
        for (int d = -12; d <= 12; ++d)
            spread[std::size_t(x)] += over[std::size_t(std::clamp(x + d, 0, CurtainWidth - 1))] / 25.0f;
    // Each tongue is rounded: lit on its flank toward the sun, shaded on the
    // other.
    const float sunAcross = Dot(SunDirection(), BillboardRight(RockFacePoint(FallsAngle, 0.0f)));
    std::vector<float> flank(CurtainWidth);
    for (int x = 0; x < CurtainWidth; ++x)
        flank[std::size_t(x)] = Clamp01(0.5f + 3.0f * sunAcross *
                                                   (over[std::size_t(std::min(x + 1, CurtainWidth - 1))] -
                                                    over[std::size_t(std::max(x - 1, 0))]));
    return FrameLoop(FallsTextureWidth, FallsTextureHeight, 4, [&](TPicture& picture, int k) {
        // The curtain: glassy tongues curling over the lip with a bright
        // edge where they turn, whitening as they fall and parting into
        // streaks that fray into strands and drops, the dark wet rock
        // showing between them, and churned white at the foot. Where the
        // water comes over stays the same from frame to frame; the streaks
        // and drops slide down.
        for (int y = 0; y < FallsTextureHeight; ++y)
            for (int x = 0; x < CurtainWidth; ++x) {
                const float u = (float(x) + 0.5f) / float(CurtainWidth),
                            v = (float(y) + 0.5f) / FallsTextureHeight;
                const float fall = 1.0f - v; // 0 at the lip, 1 at the foot
                // The tongues wander a little from side to side as they
                // fall, and spread into one another.
                const float wander =
                    3.0f * fall * ValueNoise(fall * 4.0f, u * 1.5f, seeds::FallsTongues + 1u);
                const int from = std::clamp(int(float(x) + wander + 0.5f), 0, CurtainWidth - 1);
                const float wide = spread[std::size_t(from)];
                const float water = Lerp(over[std::size_t(from)], wide, SmoothRange(0.15f, 0.8f, fall));
                const float streak = FlowNoise(y, k, u * 11.0f, 2, seeds::FallsStreaks, 3);
                const float fine = FlowNoise(y, k, u * 19.0f, 5, seeds::FallsFine, 2);
                const float drops = FlowNoise(y, k, u * 12.0f, 12, seeds::FallsDrops, 2);
                const float ragged = 0.06f * FlowNoise(y, k, 3.0f, 3, seeds::FallsEdge, 2) * (0.3f + fall);
                const float edge = SmoothRange(0.0f, 0.1f, u + ragged) * SmoothRange(1.0f, 0.9f, u - ragged);
                // The streaks part more and more as they fall, and low down
                // the strands break into drops.
                const float body =
                    water * (1.15f - 0.3f * fall) + 0.4f * streak * (0.5f + fall) + 0.3f * fine;
                const float parting = 0.24f + 0.28f * fall;
                float a = SmoothRange(parting, parting + 0.4f, body);
                a *= Lerp(1.0f, SmoothRange(-0.5f, 0.2f, drops + 0.4f * water),
                          0.8f * SmoothRange(0.4f, 0.9f, fall));
                const float churn =
                    SmoothRange(0.84f, 0.99f, fall) * SmoothRange(0.1f, 0.4f, wide) * (0.7f + 0.3f * drops);
                a = std::max(a, 0.9f * churn);
                // Glassy and green where it curls over the lip, a bright
                // line where it turns, white once it has broken.
                const float aerated = SmoothRange(0.03f, 0.25f, fall);
                const float curl = SmoothRange(0.0f, 0.012f, fall) * SmoothRange(0.04f, 0.015f, fall) *
                                   SmoothRange(0.2f, 0.5f, water);
                const float bright = Clamp01((0.2f + aerated * (0.45f + 0.5f * streak + 0.25f * fine)) *
                                                 (0.7f + 0.5f * flank[std::size_t(from)]) +
                                             0.9f * curl + churn);
                TColour c = Mix(Mix(Rgb(0.30f, 0.40f, 0.37f), Rgb(0.58f, 0.65f, 0.69f), aerated),
                                Rgb(0.97f, 0.98f, 1.0f), bright);
                // Between the streaks the dark wet rock shows through a thin
                // film of spray, with wisps of it drifting down.
                const float film = 0.24f * SmoothRange(0.0f, 0.2f, wide) * (1.0f - 0.5f * fall);
                a = std::max(a, 0.45f * SmoothRange(0.1f, 0.4f, wide) * SmoothRange(0.35f, 0.8f, fine));
                const float alpha = a + film * (1.0f - a);
                if (alpha > 0.0f) c = Mix(Rgb(0.42f, 0.47f, 0.48f), c, a / alpha);
                c.a = alpha * edge * SmoothRange(1.0f, 0.985f, v);
                picture.Set(x, y, c);
            }
        // The stream's white water: thin over the stream bed upstream,
        // breaking white as it nears the lip (row 0).
        for (int y = 0; y < LipHeight; ++y)
            for (int x = 0; x < FallsTextureWidth - CurtainWidth; ++x) {
                const float u = (float(x) + 0.5f) / float(FallsTextureWidth - CurtainWidth),
                            v = (float(y) + 0.5f) / float(LipHeight);
                const float streak = FlowNoise(y, k, u * 9.0f, 4, seeds::FallsStreaks + 20u, 3);
                const float fleck = FlowNoise(y, k, u * 20.0f, 12, seeds::FoamFlecks + 20u, 2);
                const float white = SmoothRange(0.8f, 0.05f, v) * (0.65f + 0.35f * streak) + 0.25f * fleck;
                const float edge = SmoothRange(0.0f, 0.25f, u) * SmoothRange(1.0f, 0.75f, u);
                const float a = edge * SmoothRange(1.0f, 0.55f, v) * Clamp01(0.25f + 0.6f * white);
                TColour c = Mix(Rgb(0.40f, 0.48f, 0.46f), Rgb(0.95f, 0.97f, 0.98f), Clamp01(white));
                c.a = a;
                picture.Set(CurtainWidth + x, y, c);
            }
    });
}

TPicture FoamTexture() {
    return FrameLoop(FoamWidth, FoamHeight, 3, [](TPicture& picture, int k) {
        // White water churned at the foot (t = 1) with bubbles and shadowed
        // hollows, opening out into lace: threads of foam round holes of
        // grey-green water, the holes widening and the threads thinning
        // toward the rim (t = 0).
        for (int y = 0; y < FoamHeight; ++y)
            for (int x = 0; x < FoamWidth; ++x) {
                const float u = (float(x) + 0.5f) / FoamWidth, v = (float(y) + 0.5f) / FoamHeight;
                const float out = 1.0f - v; // 0 at the foot, 1 at the rim
                const float streaks = FlowNoise(y, k, u * 18.0f, 1, seeds::FoamStreaks, 3, FoamStepRows);
                const float flecks = FlowNoise(y, k, u * 40.0f, 4, seeds::FoamFlecks, 2, FoamStepRows);
                const float threads =
                    1.0f - std::fabs(FlowNoise(y, k, u * 30.0f, 2, seeds::FoamLace, 2, FoamStepRows));
                const float lace =
                    SmoothRange(0.45f + 0.35f * out, 0.7f + 0.2f * out, threads + 0.15f * streaks);
                const float churned = SmoothRange(0.55f, 0.25f, out);
                const float foam =
                    Clamp01(std::max(churned * (0.85f + 0.3f * flecks), lace * (1.0f - 0.25f * out)) +
                            0.2f * flecks * (1.0f - out));
                const TColour water = Mix(Rgb(0.40f, 0.47f, 0.47f), Rgb(0.28f, 0.34f, 0.35f), out);
                const TColour white = Mix(Rgb(0.74f, 0.80f, 0.82f), Rgb(0.95f, 0.96f, 0.96f),
                                          Clamp01(0.6f + 0.5f * streaks + 0.3f * flecks));
                picture.Set(x, y, Mix(water, white, foam));
            }
    });
}

TPicture MistTexture() {
    TPicture picture(MistSide, MistSide, 4);
    // A round, billowy puff, densest in the middle and thinning smoothly to
    // nothing well inside the square, so no sprite ever shows an edge.
    for (int y = 0; y < MistSide; ++y)
        for (int x = 0; x < MistSide; ++x) {
            const float dx = (float(x) + 0.5f) / MistSide * 2.0f - 1.0f,
                        dy = (float(y) + 0.5f) / MistSide * 2.0f - 1.0f;
            const float r2 = (dx * dx + dy * dy) / 0.81f;
            const float falloff = r2 >= 1.0f ? 0.0f : (1.0f - r2) * (1.0f - r2);
            const float billows = Fbm(float(x) / 12.0f, float(y) / 12.0f, seeds::MistBillows, 3);
            TColour c =
                Mix(Rgb(0.80f, 0.83f, 0.84f), Rgb(0.98f, 0.98f, 0.98f), Clamp01(0.6f + 0.5f * billows));
            c.a = falloff * Clamp01(0.75f + 0.35f * billows);
            picture.Set(x, y, c);
        }
    return picture;
}

} // namespace scenegen
