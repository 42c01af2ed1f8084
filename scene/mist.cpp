#include "scene/mist.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "engine/features/features.h"
#include "engine/features/particle.h"
#include "engine/features/switches.h"
#include "engine/models/umf.h"
#include "engine/render/device.h"
#include "engine/support/matmath.h"
#include "platform/platform.h"

bool MistOn = false;
std::uint32_t MistLastStep = 0;

namespace {

// Engine feature and parameter numbers the mist uses.
constexpr std::uint32_t PoolsFeature = 11;
constexpr std::uint32_t SpritePoolsParameter = 11;
constexpr std::uint32_t SpritePoolSizeParameter = 12;
constexpr std::uint32_t SpriteTextureParameter = 13;
constexpr std::uint32_t SpriteRateParameter = 14;

constexpr std::uint32_t MistPool = 0;

// Where the mist starts, in the lake model's units: the foam's middle at
// its height, and half its extent along x and y.
float SourceX = 0, SourceY = 0, SourceZ = 0, SourceHalfX = 0, SourceHalfY = 0;
// Each sprite's thickest alpha, reached as it rises before it fades.
float Peak[MistSpriteCount] = {};
// Sprites started since the set-up: the seed of the next one's values.
std::uint32_t Starts = 0;

// A value in [0, 1) for the n-th start's k-th number.
float Unit(std::uint32_t n, std::uint32_t k) {
    std::uint32_t h = n * 0x9E3779B1u ^ (k + 1u) * 0x85EBCA77u;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return float(h >> 8) * (1.0f / 16777216.0f);
}

// A sprite starting over the foam, clear, rising slowly with the air that
// drifts off the falls; it thickens over its first half second or so.
void Start(TSprite& sprite, std::uint32_t index) {
    const std::uint32_t n = Starts++;
    sprite.Position[0] = SourceX + SourceHalfX * (Unit(n, 0) * 1.4f - 0.7f);
    sprite.Position[1] = SourceY + SourceHalfY * (Unit(n, 1) * 1.4f - 0.7f);
    sprite.Position[2] = SourceZ + 1.5f * Unit(n, 2);
    float dx = 0.35f * (Unit(n, 3) - 0.5f) + 0.1f, dy = 0.35f * (Unit(n, 4) - 0.5f) - 0.15f,
          dz = 0.5f + 0.5f * Unit(n, 5);
    const float length = std::sqrt(dx * dx + dy * dy + dz * dz);
    sprite.Direction[0] = dx / length;
    sprite.Direction[1] = dy / length;
    sprite.Direction[2] = dz / length;
    sprite.Speed = 0.04f + 0.05f * Unit(n, 6);
    sprite.Acceleration = -0.0002f;
    sprite.Angle = 360.0f * Unit(n, 7);
    sprite.Spin = 1.2f * (Unit(n, 8) - 0.5f);
    sprite.Size = 2.5f + 1.5f * Unit(n, 9);
    Peak[index] = 0.5f + 0.3f * Unit(n, 10);
    sprite.Alpha = 0.001f;
    sprite.Fade = -Peak[index] / (15.0f + 15.0f * Unit(n, 11)); // negative: thickening
    sprite.Alive = 1;
}

// One step of a sprite: the engine's step (fade, move, spin), turning from
// thickening to fading at its peak, and a new start once it has faded out.
void Step(TSprite& sprite, std::uint32_t index) {
    StepSprite(sprite);
    if (sprite.Fade < 0.0f && sprite.Alpha >= Peak[index])
        sprite.Fade = Peak[index] / (45.0f + 50.0f * Unit(Starts + index, 12));
    if (!sprite.Alive) Start(sprite, index);
}

std::uint32_t MistSprites() {
    if (!SpriteEntries(MistPool)) return 0;
    return std::min(SpritePools.Pools[MistPool].Capacity, MistSpriteCount);
}

// The foam's mesh box, through its frame-0 matrix, into the source.
bool FindSource() {
    if (ModelCount == 0) return false;
    const TModel& lake = Models[0];
    for (const TModelObject& o : lake.Objects) {
        if (o.MaterialIndex >= lake.Materials.size() || o.Frames.empty()) continue;
        if (MaterialTextureName(lake.Materials[o.MaterialIndex]) != MistSourceTexture) continue;
        if (o.Frames[0].MeshIndex >= o.Meshes.size()) continue;
        const TMesh& mesh = o.Meshes[o.Frames[0].MeshIndex];
        TVector corners[BoxCornerCount];
        TransformPoints(BoxCornerCount, o.Frames[0].Matrix.data(), mesh.Box, corners);
        float lo[3] = {1e30f, 1e30f, 1e30f}, hi[3] = {-1e30f, -1e30f, -1e30f};
        for (const TVector& corner : corners) {
            const float p[3] = {corner.x, corner.y, corner.z};
            for (int a = 0; a < 3; ++a)
                lo[a] = std::min(lo[a], p[a]), hi[a] = std::max(hi[a], p[a]);
        }
        SourceX = 0.5f * (lo[0] + hi[0]), SourceY = 0.5f * (lo[1] + hi[1]), SourceZ = lo[2];
        SourceHalfX = 0.5f * (hi[0] - lo[0]), SourceHalfY = 0.5f * (hi[1] - lo[1]);
        return true;
    }
    return false;
}

} // namespace

void SetUpMist() {
    MistOn = false;
    if (!FindSource()) return;
    const std::int32_t pools = 1;
    SetParameter(SpritePoolsParameter, &pools);
    EnableFeature(PoolsFeature);
    const std::uint32_t size[2] = {MistPool, MistSpriteCount};
    SetParameter(SpritePoolSizeParameter, size);
    // The texture's rate is read when it is loaded; the rate for whatever
    // loads a sprite texture later is put back.
    const std::uint16_t rate = SpriteFrameRate, neverSteps = 0;
    SetParameter(SpriteRateParameter, &neverSteps);
    try {
        SetParameter(SpriteTextureParameter, MistTexturePath);
    } catch (...) {
        SetParameter(SpriteRateParameter, &rate);
        throw;
    }
    SetParameter(SpriteRateParameter, &rate);
    TSprite* sprites = SpriteEntries(MistPool);
    const std::uint32_t count = MistSprites();
    if (!sprites || count == 0) return;
    // Each sprite some way through its life, so the mist is there from the
    // first frame and its sprites do not come and go together.
    Starts = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        Start(sprites[i], i);
        for (std::uint32_t k = 0; k < i * 11u; ++k)
            Step(sprites[i], i);
    }
    MistOn = true;
    MistLastStep = platform::GetTickCount();
}

void AdvanceMist() {
    const std::uint32_t now = platform::GetTickCount();
    TSprite* sprites = SpriteEntries(MistPool);
    if (!MistOn || !sprites) {
        MistLastStep = now;
        return;
    }
    std::uint32_t steps = (now - MistLastStep) / MistStepTicks;
    if (steps > MistMostSteps) {
        steps = MistMostSteps;
        MistLastStep = now;
    } else {
        MistLastStep += steps * MistStepTicks;
    }
    const std::uint32_t count = MistSprites();
    for (std::uint32_t k = 0; k < steps; ++k)
        for (std::uint32_t i = 0; i < count; ++i)
            Step(sprites[i], i);
}

void DrawMist() {
    if (!MistOn || !SpriteEntries(MistPool) || !DrawFlares) return;
    // The device leaves texture unit 0 replacing the colour with the
    // texture's; the sprites fade by their colour's alpha, so they modulate
    // while drawn. Blended puffs overlap each other: none writes depth.
    GLint environment = GL_MODULATE;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &environment);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glDepthMask(GL_FALSE);
    DrawFlares();
    glDepthMask(GL_TRUE);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, environment);
}
