// The sprite and flare pools: fixed-capacity pools of camera-facing squares,
// each pool with a texture animation over a run of TextureNames indices.
// Pools are addressed by index from 0; none exist until CreatePools.
//
// Calls naming a pool that does not exist (no CreatePools yet, or an index
// beyond the pools made) change nothing. A pool draws nothing until it is
// configured: Configured is 0 from CreatePools to the first Configure call.
#pragma once

#include <cstdint>
#include <vector>

// One sprite: a moving, spinning, fading square.
struct TSprite {
    float Speed;        // distance moved per step along Direction
    float Acceleration; // added to Speed at each step
    float Position[3];
    float Direction[3];
    float Angle; // degrees about the viewing axis (drawn at Angle + 45)
    float Spin;  // degrees added to Angle at each step
    float Alpha; // vertex alpha
    float Fade;  // subtracted from Alpha at each step
    std::uint8_t Alive;
    float Size; // centre to each corner of the square
};

// One flare: a glow at a light, for one frame.
struct TFlare {
    float Position[3]; // eye space
    float Alpha;
    float Size; // as for sprites
    std::uint8_t Used;
};

// The header of one pool; Entries holds Capacity TSprite or TFlare records.
struct TPool {
    std::uint32_t Capacity = 0;
    std::uint16_t FirstTexture = 0; // TextureNames indices, inclusive
    std::uint16_t LastTexture = 0;
    std::int32_t FrameInterval = 0; // milliseconds between texture steps
    void* Entries = nullptr;        // owned
    std::uint32_t LastStep = 0;     // tick count of the last texture step
    std::uint32_t CurrentTexture = 0;
    std::uint8_t Configured = 0; // 1 once a Configure call gave it textures
};

// A family of pools: Count headers in Pools.
struct TPoolSet {
    std::uint32_t Count = 0;
    TPool* Pools = nullptr; // owned
};
extern TPoolSet SpritePools; // entries are TSprite
extern TPoolSet FlarePools;  // entries are TFlare

// Most pools of one family CreatePools makes; larger counts make none.
constexpr std::uint32_t MaxPoolCount = 65536;

// Makes that many sprite pools of spriteCapacity entries and flare pools of
// flareCapacity entries, every entry dead. Pools made before are freed first.
void CreatePools(std::uint32_t spritePools, std::uint32_t flarePools, std::uint32_t spriteCapacity,
                 std::uint32_t flareCapacity);
// Frees every pool; does nothing when there are none.
void FreePools();
// Sets a pool's capacity, keeping the leading entries that still fit; the
// entries added start dead.
void ResizeSpritePool(std::uint32_t pool, std::uint32_t capacity);
void ResizeFlarePool(std::uint32_t pool, std::uint32_t capacity);
// first..last: TextureNames indices; rate: texture frames per second (0 is
// taken as "never steps"); now: tick count.
void ConfigureSpritePool(std::uint32_t pool, std::uint16_t first, std::uint16_t last, std::uint16_t rate,
                         std::uint32_t now);
void ConfigureFlarePool(std::uint32_t pool, std::uint16_t first, std::uint16_t last, std::uint16_t rate,
                        std::uint32_t now);
// Puts a flare (eye-space position) into the first unused entry; dropped when the pool is full.
void AddFlare(std::uint32_t pool, float x, float y, float z, float alpha, float size);
// Marks every entry of flare pool 0 unused.
void ResetFlares();

// Entry access for the drawing (null when the pool does not exist).
TSprite* SpriteEntries(std::uint32_t pool);
TFlare* FlareEntries(std::uint32_t pool);
// The texture step at tick `now`: true when the pool moved on to its next
// texture (its interval has passed, unsigned 32-bit arithmetic).
bool StepPoolTexture(TPool& pool, std::uint32_t now);
// The sprite step: fade, then move and spin while Alpha stays above 0, else die.
void StepSprite(TSprite& sprite);
