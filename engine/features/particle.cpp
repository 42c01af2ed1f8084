// The sprite and flare pools (see particle.h).
#include "engine/features/particle.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

TPoolSet SpritePools;
TPoolSet FlarePools;

namespace {

// A capacity whose entries would not fit in memory is refused outright
// rather than attempted: 16M entries is far beyond any scene.
constexpr std::uint32_t MaxPoolCapacity = 1u << 24;
// FrameInterval of a pool whose rate is 0: it keeps its first texture.
constexpr std::int32_t NeverSteps = -1;

TPool* PoolAt(TPoolSet& set, std::uint32_t index) {
    return index < set.Count ? &set.Pools[index] : nullptr;
}

// Reallocates a pool's entries to `capacity`, keeping the leading ones and
// zeroing (so killing) the new ones. A refused size leaves the pool as it was.
bool ResizeEntries(TPool& pool, std::uint32_t capacity, std::size_t entrySize) {
    if (capacity > MaxPoolCapacity) return false;
    if (capacity == 0) {
        std::free(pool.Entries);
        pool.Entries = nullptr;
        pool.Capacity = 0;
        return true;
    }
    void* entries = std::realloc(pool.Entries, std::size_t(capacity) * entrySize);
    if (!entries) return false;
    if (capacity > pool.Capacity)
        std::memset(static_cast<std::uint8_t*>(entries) + std::size_t(pool.Capacity) * entrySize, 0,
                    std::size_t(capacity - pool.Capacity) * entrySize);
    pool.Entries = entries;
    pool.Capacity = capacity;
    return true;
}

void MakePools(TPoolSet& set, std::uint32_t count, std::uint32_t capacity, std::size_t entrySize) {
    if (count == 0 || count > MaxPoolCount) return;
    set.Pools = new (std::nothrow) TPool[count];
    if (!set.Pools) return;
    set.Count = count;
    for (std::uint32_t i = 0; i < count; ++i)
        ResizeEntries(set.Pools[i], capacity, entrySize);
}

void FreeSet(TPoolSet& set) {
    for (std::uint32_t i = 0; i < set.Count; ++i) {
        std::free(set.Pools[i].Entries);
        set.Pools[i].Entries = nullptr;
        set.Pools[i].Capacity = 0;
    }
    delete[] set.Pools;
    set.Pools = nullptr;
    set.Count = 0;
}

void Configure(TPool* pool, std::uint16_t first, std::uint16_t last, std::uint16_t rate, std::uint32_t now) {
    if (!pool) return;
    pool->FirstTexture = first;
    pool->LastTexture = last;
    // 1000 / rate to the nearest millisecond, ties to even (rate 30 gives 33).
    pool->FrameInterval = rate == 0
                              ? NeverSteps
                              : static_cast<std::int32_t>(std::nearbyint(1000.0 / static_cast<double>(rate)));
    pool->LastStep = now;
    pool->CurrentTexture = first;
    pool->Configured = 1;
}

} // namespace

void CreatePools(std::uint32_t spritePools, std::uint32_t flarePools, std::uint32_t spriteCapacity,
                 std::uint32_t flareCapacity) {
    FreePools(); // a second feature 11 replaces the pools instead of leaking them
    MakePools(SpritePools, spritePools, spriteCapacity, sizeof(TSprite));
    MakePools(FlarePools, flarePools, flareCapacity, sizeof(TFlare));
}

void FreePools() {
    FreeSet(SpritePools);
    FreeSet(FlarePools);
}

void ResizeSpritePool(std::uint32_t pool, std::uint32_t capacity) {
    if (TPool* p = PoolAt(SpritePools, pool)) ResizeEntries(*p, capacity, sizeof(TSprite));
}

void ResizeFlarePool(std::uint32_t pool, std::uint32_t capacity) {
    if (TPool* p = PoolAt(FlarePools, pool)) ResizeEntries(*p, capacity, sizeof(TFlare));
}

void ConfigureSpritePool(std::uint32_t pool, std::uint16_t first, std::uint16_t last, std::uint16_t rate,
                         std::uint32_t now) {
    Configure(PoolAt(SpritePools, pool), first, last, rate, now);
}

void ConfigureFlarePool(std::uint32_t pool, std::uint16_t first, std::uint16_t last, std::uint16_t rate,
                        std::uint32_t now) {
    Configure(PoolAt(FlarePools, pool), first, last, rate, now);
}

void AddFlare(std::uint32_t pool, float x, float y, float z, float alpha, float size) {
    TFlare* flares = FlareEntries(pool);
    if (!flares) return;
    const std::uint32_t capacity = FlarePools.Pools[pool].Capacity;
    for (std::uint32_t i = 0; i < capacity; ++i) {
        TFlare& flare = flares[i];
        if (flare.Used) continue;
        flare.Position[0] = x;
        flare.Position[1] = y;
        flare.Position[2] = z;
        flare.Alpha = alpha;
        flare.Size = size;
        flare.Used = 1;
        return;
    }
}

void ResetFlares() {
    TFlare* flares = FlareEntries(0);
    if (!flares) return;
    for (std::uint32_t i = 0; i < FlarePools.Pools[0].Capacity; ++i)
        flares[i].Used = 0;
}

TSprite* SpriteEntries(std::uint32_t pool) {
    const TPool* p = PoolAt(SpritePools, pool);
    return p ? static_cast<TSprite*>(p->Entries) : nullptr;
}

TFlare* FlareEntries(std::uint32_t pool) {
    const TPool* p = PoolAt(FlarePools, pool);
    return p ? static_cast<TFlare*>(p->Entries) : nullptr;
}

bool StepPoolTexture(TPool& pool, std::uint32_t now) {
    if (pool.FrameInterval < 0) return false; // rate 0
    if (now - pool.LastStep < static_cast<std::uint32_t>(pool.FrameInterval)) return false;
    // At or past the end of the run back to its start, so that a run given
    // backwards (first > last) cannot count on past the texture table.
    pool.CurrentTexture =
        pool.CurrentTexture >= pool.LastTexture ? pool.FirstTexture : pool.CurrentTexture + 1;
    pool.LastStep = now;
    return true;
}

void StepSprite(TSprite& sprite) {
    sprite.Alpha -= sprite.Fade;
    if (sprite.Alpha > 0.0f) {
        sprite.Speed += sprite.Acceleration;
        for (int k = 0; k < 3; ++k)
            sprite.Position[k] += sprite.Direction[k] * sprite.Speed;
        sprite.Angle += sprite.Spin;
    } else {
        sprite.Alive = 0;
    }
}
