// The waterfall sound and the preview logo, byte by byte as the sound table
// and the preview read them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "sound/wave.h"
#include "tests/tools/scenegen_data.h"

using namespace scenedata;

namespace {

std::uint32_t U32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8 | std::uint32_t(b[at + 2]) << 16 |
           std::uint32_t(b[at + 3]) << 24;
}
std::uint16_t U16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return std::uint16_t(b[at] | b[at + 1] << 8);
}

class WaterfallSound : public ::testing::Test {
  protected:
    void SetUp() override {
        bytes = ReadWholeFile(DataDir() + "/sounds/smallwaterfall.wav");
        ASSERT_GT(bytes.size(), 44u);
        const std::size_t count = (bytes.size() - 44) / 2;
        samples.resize(count);
        std::memcpy(samples.data(), bytes.data() + 44, count * 2);
        frames = count / 2;
    }
    int At(std::size_t frame, int channel) const { return samples[frame * 2 + std::size_t(channel)]; }

    std::vector<std::uint8_t> bytes;
    std::vector<std::int16_t> samples;
    std::size_t frames = 0;
};

} // namespace

TEST_F(WaterfallSound, HasTheLayoutTheSoundTableReads) {
    // The table reads n at 16, the format at 20 and the data size at n + 24.
    EXPECT_EQ(std::memcmp(bytes.data(), "RIFF", 4), 0);
    EXPECT_EQ(std::memcmp(bytes.data() + 8, "WAVEfmt ", 8), 0);
    ASSERT_EQ(U32(bytes, 16), 16u);
    EXPECT_EQ(U16(bytes, 20), 1);          // PCM
    EXPECT_EQ(U16(bytes, 22), 2);          // stereo
    EXPECT_EQ(U32(bytes, 24), 44100u);     // samples per second
    EXPECT_EQ(U32(bytes, 28), 44100u * 4); // bytes per second
    EXPECT_EQ(U16(bytes, 32), 4);          // block align
    EXPECT_EQ(U16(bytes, 34), 16);         // bits per sample
    EXPECT_EQ(std::memcmp(bytes.data() + 36, "data", 4), 0);
    EXPECT_EQ(U32(bytes, 40), bytes.size() - 44);
    EXPECT_EQ(U32(bytes, 4), bytes.size() - 8);
    const double seconds = double(frames) / 44100.0;
    EXPECT_GE(seconds, 10.0);
    EXPECT_LE(seconds, 20.0);
    const TWaveLayout layout = ParseWave(bytes.data(), bytes.size());
    EXPECT_EQ(layout.DataOffset, 44u);
}

TEST_F(WaterfallSound, IsLoudNoiseBelowFullScale) {
    int peak = 0;
    double energy = 0;
    std::size_t crossings = 0;
    for (std::size_t f = 0; f < frames; ++f)
        for (int c = 0; c < 2; ++c) {
            peak = std::max(peak, std::abs(At(f, c)));
            energy += double(At(f, c)) * At(f, c);
            if (f > 0 && (At(f, c) < 0) != (At(f - 1, c) < 0)) ++crossings;
        }
    EXPECT_LT(peak, 32767 * 0.9) << "peaks must stay below full scale";
    EXPECT_GT(peak, 32767 * 0.4) << "too quiet";
    const double rms = std::sqrt(energy / double(frames * 2));
    EXPECT_GT(rms, 1500.0);
    // Rushing water is broadband noise, not a tone or a hum: its sign changes
    // hundreds to thousands of times a second.
    const double perSecond = double(crossings) / 2.0 / (double(frames) / 44100.0);
    EXPECT_GT(perSecond, 300.0);
    EXPECT_LT(perSecond, 8000.0);
    // The two ears hear related but not identical water.
    double lr = 0, ll = 0, rr = 0;
    for (std::size_t f = 0; f < frames; ++f) {
        lr += double(At(f, 0)) * At(f, 1), ll += double(At(f, 0)) * At(f, 0),
            rr += double(At(f, 1)) * At(f, 1);
    }
    const double correlation = lr / std::sqrt(ll * rr);
    EXPECT_GT(correlation, 0.2);
    EXPECT_LT(correlation, 0.95);
}

TEST_F(WaterfallSound, LoopsWithoutAClickOrADip) {
    // The step from the last frame to the first is no larger than the steps
    // inside the sound.
    for (int c = 0; c < 2; ++c) {
        std::vector<int> steps;
        for (std::size_t f = 1; f < frames; ++f)
            steps.push_back(std::abs(At(f, c) - At(f - 1, c)));
        std::sort(steps.begin(), steps.end());
        const int p999 = steps[steps.size() * 999 / 1000];
        EXPECT_LE(std::abs(At(0, c) - At(frames - 1, c)), p999) << "channel " << c;
    }
    // The level around the seam matches the level elsewhere (no dip or swell
    // from the crossfade): 0.1 s each side against the whole.
    auto rms = [&](std::size_t from, std::size_t count) {
        double e = 0;
        for (std::size_t k = 0; k < count; ++k) {
            std::size_t f = (from + k) % frames;
            e += double(At(f, 0)) * At(f, 0) + double(At(f, 1)) * At(f, 1);
        }
        return std::sqrt(e / double(2 * count));
    };
    const double whole = rms(0, frames), seam = rms(frames - 4410, 8820);
    EXPECT_GT(seam, whole * 0.6);
    EXPECT_LT(seam, whole * 1.6);
}

TEST(Logo, IsA152By112TwentyFourBitBitmap) {
    const std::vector<std::uint8_t> b = ReadWholeFile(DataDir() + "/pictures/logo.bmp");
    ASSERT_GE(b.size(), 54u);
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    const std::uint32_t row = 152 * 3; // already a multiple of 4
    EXPECT_EQ(U32(b, 2), b.size());
    EXPECT_EQ(b.size(), 54u + row * 112u);
    EXPECT_EQ(U32(b, 10), 54u); // pixels follow the two headers
    EXPECT_EQ(U32(b, 14), 40u); // BITMAPINFOHEADER
    EXPECT_EQ(U32(b, 18), 152u);
    EXPECT_EQ(U32(b, 22), 112u); // positive: bottom-up rows
    EXPECT_EQ(U16(b, 26), 1);
    EXPECT_EQ(U16(b, 28), 24);
    EXPECT_EQ(U32(b, 30), 0u); // uncompressed

    // A picture, not a blank: sky above (blue over red), water and land below,
    // and a wide spread of brightness.
    auto pixel = [&](int x, int yFromTop) {
        return &b[54 + std::size_t(111 - yFromTop) * row + std::size_t(x) * 3];
    };
    const std::uint8_t* sky = pixel(4, 2); // B, G, R
    EXPECT_GT(sky[0], sky[2]);
    int lo = 255, hi = 0;
    for (int y = 0; y < 112; ++y)
        for (int x = 0; x < 152; ++x) {
            const std::uint8_t* p = pixel(x, y);
            int l = (p[0] + p[1] * 2 + p[2]) / 4;
            lo = std::min(lo, l), hi = std::max(hi, l);
        }
    EXPECT_GT(hi - lo, 120);
}
