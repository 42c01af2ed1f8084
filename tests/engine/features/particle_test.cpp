// The sprite and flare pools: creation, resizing, texture animation, the
// sprite step, flares and the feature calls that reach the pools.
#include <gtest/gtest.h>

#include <cstdint>

#include "engine/features/features.h"
#include "engine/features/particle.h"
#include "engine/features/switches.h"
#include "engine/textures/umt.h"
#include "engine/textures/umt_writer.h"
#include "tests/support/temp_files.h"

namespace {
TSprite LiveSprite(float alpha, float fade) {
    TSprite s{};
    s.Alive = 1;
    s.Alpha = alpha;
    s.Fade = fade;
    s.Speed = 1.0f;
    s.Acceleration = 0.5f;
    s.Direction[0] = 2.0f;
    s.Spin = 10.0f;
    s.Size = 1.0f;
    return s;
}
} // namespace

TEST(Pools, CreateMakesDeadEntriesAndFreeEmptiesBothFamilies) {
    CreatePools(2, 1, 3, 500);
    ASSERT_EQ(SpritePools.Count, 2u);
    ASSERT_EQ(FlarePools.Count, 1u);
    EXPECT_EQ(FlarePools.Pools[0].Capacity, 500u);
    for (std::uint32_t p = 0; p < 2; ++p) {
        EXPECT_EQ(SpritePools.Pools[p].Capacity, 3u);
        EXPECT_EQ(SpritePools.Pools[p].Configured, 0);
        for (std::uint32_t i = 0; i < 3; ++i)
            EXPECT_EQ(SpriteEntries(p)[i].Alive, 0);
    }
    for (std::uint32_t i = 0; i < 500; ++i)
        EXPECT_EQ(FlareEntries(0)[i].Used, 0);
    FreePools();
    EXPECT_EQ(SpritePools.Count, 0u);
    EXPECT_EQ(FlarePools.Count, 0u);
    EXPECT_EQ(SpriteEntries(0), nullptr);
    FreePools(); // nothing left: harmless
}

TEST(Pools, ResizeKeepsLeadingEntriesAndGrowsDead) {
    CreatePools(1, 1, 2, 2);
    SpriteEntries(0)[0] = LiveSprite(1, 0);
    SpriteEntries(0)[1] = LiveSprite(0.5f, 0);
    ResizeSpritePool(0, 1);
    EXPECT_EQ(SpritePools.Pools[0].Capacity, 1u);
    ResizeSpritePool(0, 64);
    ASSERT_EQ(SpritePools.Pools[0].Capacity, 64u);
    EXPECT_EQ(SpriteEntries(0)[0].Alive, 1);
    EXPECT_EQ(SpriteEntries(0)[0].Alpha, 1.0f);
    for (std::uint32_t i = 1; i < 64; ++i)
        EXPECT_EQ(SpriteEntries(0)[i].Alive, 0) << i; // the dropped one does not come back
    AddFlare(0, 1, 2, 3, 1, 4);
    ResizeFlarePool(0, 10);
    EXPECT_EQ(FlareEntries(0)[0].Used, 1);
    for (std::uint32_t i = 1; i < 10; ++i)
        EXPECT_EQ(FlareEntries(0)[i].Used, 0);
}

TEST(Pools, CallsWithoutPoolsOrBeyondThemChangeNothing) {
    ResizeSpritePool(0, 10);
    ResizeFlarePool(0, 10);
    ConfigureSpritePool(0, 1, 2, 30, 0);
    ConfigureFlarePool(3, 1, 2, 30, 0);
    AddFlare(0, 0, 0, 0, 1, 1);
    ResetFlares();
    EXPECT_EQ(SpritePools.Count, 0u);
    CreatePools(1, 1, 1, 1);
    ResizeSpritePool(1, 10);
    ConfigureSpritePool(5, 1, 2, 30, 0);
    AddFlare(1, 0, 0, 0, 1, 1);
    EXPECT_EQ(SpritePools.Pools[0].Configured, 0);
    EXPECT_EQ(FlareEntries(0)[0].Used, 0);
    // Absurd capacities are refused, not attempted.
    ResizeFlarePool(0, 0xFFFFFFFFu);
    EXPECT_EQ(FlarePools.Pools[0].Capacity, 1u);
}

TEST(Pools, ConfigureSetsTheIntervalToTheNearestMillisecond) {
    CreatePools(1, 1, 1, 1);
    ConfigureSpritePool(0, 5, 7, 30, 1234);
    const TPool& p = SpritePools.Pools[0];
    EXPECT_EQ(p.FrameInterval, 33);
    EXPECT_EQ(p.FirstTexture, 5);
    EXPECT_EQ(p.LastTexture, 7);
    EXPECT_EQ(p.CurrentTexture, 5u);
    EXPECT_EQ(p.LastStep, 1234u);
    EXPECT_EQ(p.Configured, 1);
    ConfigureFlarePool(0, 0, 0, 30000, 0);
    EXPECT_EQ(FlarePools.Pools[0].FrameInterval, 0);
    ConfigureFlarePool(0, 0, 0, 16, 0); // 62.5 ties to even
    EXPECT_EQ(FlarePools.Pools[0].FrameInterval, 62);
    ConfigureFlarePool(0, 0, 0, 48, 0); // 20.83
    EXPECT_EQ(FlarePools.Pools[0].FrameInterval, 21);
}

TEST(TextureStep, CyclesThroughTheRunAtTheInterval) {
    CreatePools(1, 0, 1, 0);
    ConfigureSpritePool(0, 5, 7, 30, 100);
    TPool& p = SpritePools.Pools[0];
    EXPECT_FALSE(StepPoolTexture(p, 132)); // 32 ms: not yet
    EXPECT_EQ(p.CurrentTexture, 5u);
    std::vector<std::uint32_t> shown;
    std::uint32_t now = 100;
    for (int i = 0; i < 4; ++i) {
        now += 33;
        EXPECT_TRUE(StepPoolTexture(p, now));
        shown.push_back(p.CurrentTexture);
    }
    EXPECT_EQ(shown, (std::vector<std::uint32_t>{6, 7, 5, 6}));
    EXPECT_EQ(p.LastStep, now);
}

TEST(TextureStep, SurvivesTheTickCounterWrapping) {
    CreatePools(1, 0, 1, 0);
    ConfigureSpritePool(0, 1, 2, 30, 0xFFFFFFF0u);
    EXPECT_TRUE(StepPoolTexture(SpritePools.Pools[0], 0x00000011u)); // 33 ms later, across the wrap
    EXPECT_EQ(SpritePools.Pools[0].CurrentTexture, 2u);
}

TEST(TextureStep, OneTextureRunAndRateZero) {
    CreatePools(2, 0, 1, 0);
    ConfigureSpritePool(0, 4, 4, 30000, 0);
    EXPECT_TRUE(StepPoolTexture(SpritePools.Pools[0], 0)); // interval 0: every drawing
    EXPECT_EQ(SpritePools.Pools[0].CurrentTexture, 4u);
    ConfigureSpritePool(1, 1, 3, 0, 0);
    for (std::uint32_t now : {0u, 1000u, 0x7FFFFFFFu, 0xFFFFFFFFu})
        EXPECT_FALSE(StepPoolTexture(SpritePools.Pools[1], now));
    EXPECT_EQ(SpritePools.Pools[1].CurrentTexture, 1u);
}

TEST(TextureStep, ABackwardsRunStaysWithinItsEnds) {
    CreatePools(1, 0, 1, 0);
    ConfigureSpritePool(0, 9, 3, 30000, 0);
    for (int i = 0; i < 5; ++i) {
        StepPoolTexture(SpritePools.Pools[0], 0);
        EXPECT_EQ(SpritePools.Pools[0].CurrentTexture, 9u);
    }
}

TEST(SpriteStep, FadesMovesAndSpinsThenDiesWithoutMoving) {
    TSprite s = LiveSprite(1.0f, 0.25f);
    std::vector<float> x;
    for (int step = 0; step < 4; ++step) {
        StepSprite(s);
        x.push_back(s.Position[0]);
    }
    // Speeds 1.5, 2, 2.5 along direction 2: x = 3, 7, 12, then no move.
    EXPECT_EQ(x, (std::vector<float>{3, 7, 12, 12}));
    EXPECT_EQ(s.Alive, 0);
    EXPECT_EQ(s.Alpha, 0.0f);
    EXPECT_EQ(s.Angle, 30.0f);
    EXPECT_EQ(s.Speed, 2.5f);
}

TEST(FlarePool, FillsTheFirstFreeEntryAndDropsWhenFull) {
    CreatePools(0, 1, 0, FlarePoolCapacity);
    for (std::uint32_t i = 0; i < 501; ++i)
        AddFlare(0, float(i), 0, 0, 1, 40);
    const TFlare* flares = FlareEntries(0);
    EXPECT_EQ(flares[499].Position[0], 499.0f);
    EXPECT_EQ(flares[0].Position[0], 0.0f);
    ResetFlares();
    for (std::uint32_t i = 0; i < 500; ++i)
        ASSERT_EQ(flares[i].Used, 0);
    AddFlare(0, 7, 8, 9, 0.5f, 3);
    EXPECT_EQ(flares[0].Used, 1);
    EXPECT_EQ(flares[0].Position[2], 9.0f);
    EXPECT_EQ(flares[0].Alpha, 0.5f);
    EXPECT_EQ(flares[0].Size, 3.0f);
}

TEST(PoolFeatures, ElevenMakesTheCountedSpritePoolsAndOneFlarePool) {
    const std::int32_t count = 3;
    SetParameter(11, &count);
    EnableFeature(11);
    EXPECT_EQ(SpritePools.Count, 3u);
    EXPECT_EQ(SpritePools.Pools[2].Capacity, 1u);
    ASSERT_EQ(FlarePools.Count, 1u);
    EXPECT_EQ(FlarePools.Pools[0].Capacity, FlarePoolCapacity);
    const std::uint32_t resize[2] = {2, 40};
    SetParameter(12, resize);
    EXPECT_EQ(SpritePools.Pools[2].Capacity, 40u);
    const std::uint32_t flares[2] = {0, 7};
    SetParameter(8, flares);
    EXPECT_EQ(FlarePools.Pools[0].Capacity, 7u);
    DisableFeature(8);
    EXPECT_EQ(FlarePools.Pools[0].Capacity, 0u);
    AddFlare(0, 1, 1, 1, 1, 1); // capacity 0: nothing to fill
    DisableFeature(11);
    EXPECT_EQ(SpritePools.Count, 0u);
    EXPECT_EQ(FlarePools.Count, 0u);
}

TEST(PoolFeatures, WithoutPoolsTheyDoNothing) {
    const std::uint32_t resize[2] = {0, 40};
    SetParameter(8, resize);
    SetParameter(12, resize);
    SetParameter(13, "no-such-file.umt"); // not even read
    EnableFeature(8);
    EXPECT_EQ(FlaresOn, 0);
    DisableFeature(8);
    DisableFeature(11);
    const std::int32_t negative = -1;
    SetParameter(11, &negative);
    EnableFeature(11);
    EXPECT_EQ(SpritePools.Count, 0u);
    EXPECT_EQ(FlarePools.Count, 1u);
}

TEST(PoolFeatures, SpriteTextureThatUploadsNothingLeavesPoolZeroAsItWas) {
    const std::int32_t count = 1;
    SetParameter(11, &count);
    EnableFeature(11);
    TUmtImage image;
    image.Width = image.Height = 1;
    image.BitsPerPixel = 24;
    image.Pixels = {255, 255, 255};
    const std::string path = TempPath("sprite.umt");
    SaveUmt(path, image, false);
    SetParameter(13, path.c_str());                // no backend: no texture is made
    EXPECT_EQ(SpritePools.Pools[0].Configured, 0); // not pointed at texture 0, someone else's
    EXPECT_TRUE(UmtImages.empty());
}
