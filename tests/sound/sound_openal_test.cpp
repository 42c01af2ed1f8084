// The sound table on OpenAL Soft for real: its wave-writer driver records what
// would come out of the speakers, and the recording is measured against the
// wave that was played. OpenAL reads its configuration once per process, so
// every case here needs a process of its own (as ctest runs them).
#include "sound/sound.h"

#include "engine/support/files.h"
#include "tests/sound/wave_bytes.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <thread>

using namespace wavebytes;

namespace {
// Writes to the environment while counting is on; see the definitions below.
bool CountEnvironmentWrites = false;
int EnvironmentWrites = 0;
} // namespace

// The program's own setenv and unsetenv stand in for the C library's (for
// every caller in the process) and count the writes. glibc does not guard
// the environment against threads reading it meanwhile, as the GL driver's do.
extern "C" int setenv(const char* name, const char* value, int overwrite) noexcept {
    if (CountEnvironmentWrites) ++EnvironmentWrites;
    static auto real = reinterpret_cast<int (*)(const char*, const char*, int)>(dlsym(RTLD_NEXT, "setenv"));
    return real(name, value, overwrite);
}
extern "C" int unsetenv(const char* name) noexcept {
    if (CountEnvironmentWrites) ++EnvironmentWrites;
    static auto real = reinterpret_cast<int (*)(const char*)>(dlsym(RTLD_NEXT, "unsetenv"));
    return real(name);
}

namespace {

bool configured = false;

// Points OpenAL Soft at a configuration that writes its output to `outputFile`
// (none: no device can be opened at all).
bool UseWaveDriver(TScratch& dir, const std::string& outputFile) {
    if (configured) return false;
    configured = true;
    const std::string conf = dir.Path("alsoft.conf");
    std::ofstream(conf) << "[general]\n"
                           "drivers = wave\n"
                           "channels = stereo\n"
                           "frequency = 44100\n"
                           "stereo-mode = speakers\n"
                           "hrtf = false\n"
                           "[wave]\n"
                           "file = "
                        << outputFile << "\n";
    setenv("ALSOFT_CONF", conf.c_str(), 1);
    unsetenv("ALSOFT_DRIVERS");
    return true;
}

constexpr int Rate = 44100;
constexpr int Period = 40;           // samples per cycle of the test tone (1102.5 Hz)
constexpr int SourceSamples = 11000; // 275 whole cycles: the loop is seamless
constexpr double Amplitude = 0.5;

// A mono 16-bit tone of whole cycles.
std::vector<std::int16_t> Tone() {
    std::vector<std::int16_t> s(SourceSamples);
    for (int i = 0; i < SourceSamples; ++i)
        s[i] =
            static_cast<std::int16_t>(std::lround(Amplitude * 32767.0 * std::sin(2.0 * M_PI * i / Period)));
    return s;
}

double Rms(const std::vector<float>& x, std::size_t from, std::size_t to) {
    double sum = 0;
    for (std::size_t i = from; i < to; ++i)
        sum += double(x[i]) * x[i];
    return to > from ? std::sqrt(sum / double(to - from)) : 0.0;
}

double Db(double ratio) {
    return 20.0 * std::log10(ratio);
}

// The channels of a recording the wave driver wrote (16-bit or float), in -1..1.
std::vector<std::vector<float>> ReadRecording(const std::string& path) {
    const std::vector<std::uint8_t> bytes = ReadWholeFile(path);
    const TWaveLayout layout = ParseWaveChunks(bytes.data(), bytes.size());
    const std::size_t channels = layout.Format.Channels, bits = layout.Format.BitsPerSample;
    const bool floats = bits == 32 && layout.Format.FormatTag != WaveFormatPcm;
    if (channels == 0 || (bits != 16 && !floats)) {
        ADD_FAILURE() << "a recording of " << bits << "-bit samples";
        return {};
    }
    const std::size_t frames = layout.DataSize / (channels * bits / 8);
    std::vector<std::vector<float>> out(channels, std::vector<float>(frames));
    const std::uint8_t* p = bytes.data() + layout.DataOffset;
    for (std::size_t i = 0; i < frames; ++i)
        for (std::size_t c = 0; c < channels; ++c, p += bits / 8) {
            std::int16_t v = 0;
            if (floats) {
                std::memcpy(&out[c][i], p, 4);
            } else {
                std::memcpy(&v, p, 2);
                out[c][i] = v / 32768.0f;
            }
        }
    return out;
}

} // namespace

TEST(OpenAlPlayback, TheFullScreenSetUpLoopsTheSoundTenDecibelsDown) {
    TScratch dir;
    const std::string recording = dir.Path("speakers.wav");
    if (!UseWaveDriver(dir, recording)) GTEST_SKIP() << "OpenAL already configured in this process";
    const std::vector<std::int16_t> tone = Tone();
    const std::string source = dir.Path("tone.wav");
    SaveWave(source, 1, Rate, tone);

    // The main window's calls, in its order.
    InitSound(0);
    LoadWave(source);
    PlaySound(0, false, true);
    SetSoundVolume(-1, -1000);
    SetMusicVolume(-1000);
    ASSERT_EQ(Sounds.Count, 1) << "no OpenAL device with the wave driver";
    std::this_thread::sleep_for(std::chrono::milliseconds(1200));
    FreeSounds();
    ShutdownSound();

    const std::vector<std::vector<float>> out = ReadRecording(recording);
    ASSERT_EQ(out.size(), 2u);
    const std::size_t frames = out[0].size();
    std::vector<float> sourceFloat(tone.begin(), tone.end());
    for (float& v : sourceFloat)
        v /= 32768.0f;
    const double sourceRms = Rms(sourceFloat, 0, sourceFloat.size());
    const double expectedRms = sourceRms * std::pow(10.0, -10.0 / 20.0);

    // Windows of two whole cycles: a steady tone gives the same level in each.
    constexpr std::size_t Window = 2 * Period;
    const std::size_t windows = frames / Window;
    auto windowRms = [&](std::size_t c, std::size_t w) { return Rms(out[c], w * Window, (w + 1) * Window); };
    std::size_t first = windows, last = 0;
    for (std::size_t w = 0; w < windows; ++w)
        if (windowRms(0, w) > 0.1 * expectedRms) {
            first = std::min(first, w);
            last = w;
        }
    ASSERT_LT(first, last) << "the recording is silent";

    // Longer than the wave itself, and no gap anywhere: not at the seams either.
    EXPECT_GT((last - first) * Window, 3u * SourceSamples);
    for (std::size_t c = 0; c < 2; ++c)
        for (std::size_t w = first + 1; w < last; ++w)
            ASSERT_GT(windowRms(c, w), 0.5 * expectedRms)
                << "drop at " << (w * Window) / double(Rate) << " s in channel " << c;

    // The level, after the volume has settled, in both speakers.
    const std::size_t from = (first + 8) * Window + Rate / 10, to = last * Window;
    ASSERT_LT(from + Rate / 2, to);
    for (std::size_t c = 0; c < 2; ++c) {
        const double level = Db(Rms(out[c], from, to) / sourceRms);
        std::printf("channel %zu: %.3f dB against the source over %.2f s of %.2f s looped\n", c, level,
                    double(to - from) / Rate, double((last - first) * Window) / Rate);
        EXPECT_NEAR(level, -10.0, 0.5) << "channel " << c;
    }
}

TEST(OpenAlPlayback, StatusFollowsPlayingLoopingAndTheEnd) {
    TScratch dir;
    if (!UseWaveDriver(dir, dir.Path("speakers.wav")))
        GTEST_SKIP() << "OpenAL already configured in this process";
    // 0.1 s of stereo 8-bit.
    InitSound(0);
    LoadWave(dir.Write("short.wav",
                       Riff({Chunk("fmt ", Format(1, 2, 22050, 8)), Chunk("data", Bytes(4410, 0x90))})));
    ASSERT_EQ(Sounds.Count, 1);
    TSoundBuffer& buffer = *Sounds.Items[0].Buffer;
    auto status = [&] {
        std::uint32_t s = 99;
        return buffer.GetStatus(s) ? s : 99u;
    };
    auto wait = [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); };
    EXPECT_EQ(status(), 0u);
    PlaySound(0, false, true);
    wait(250); // past the end: still looping
    EXPECT_EQ(status(), BufferPlaying | BufferLooping);
    PlaySound(0, true, false); // restarted, once
    EXPECT_EQ(status(), BufferPlaying);
    wait(400);
    EXPECT_EQ(status(), 0u) << "a sound played once ends";
    PlaySound(0, false, false);
    EXPECT_EQ(status(), BufferPlaying);
    // Volumes outside what DirectSound takes are refused, as there.
    EXPECT_FALSE(buffer.SetVolume(1));
    EXPECT_FALSE(buffer.SetVolume(-10001));
    EXPECT_TRUE(buffer.SetVolume(-10000));
    ShutdownSound();
}

// The device opens while other threads may run: it leaves the environment
// alone (the program set the libraries' log level at its start).
TEST(OpenAlPlayback, OpeningTheDeviceWritesNoEnvironment) {
    TScratch dir;
    if (!UseWaveDriver(dir, dir.Path("speakers.wav")))
        GTEST_SKIP() << "OpenAL already configured in this process";
    unsetenv("ALSOFT_LOGLEVEL");
    CountEnvironmentWrites = true;
    InitSound(0);
    LoadWave(dir.Write("good.wav", PlainWave(Ramp(100))));
    CountEnvironmentWrites = false;
    EXPECT_EQ(Sounds.Count, 1) << "no OpenAL device with the wave driver";
    EXPECT_EQ(EnvironmentWrites, 0);
    FreeSounds();
    ShutdownSound();
}

TEST(OpenAlPlayback, WithoutADeviceEverythingIsSilentAndHarmless) {
    TScratch dir;
    if (!UseWaveDriver(dir, "")) GTEST_SKIP() << "OpenAL already configured in this process";
    InitSound(0);
    LoadWave(dir.Write("good.wav", PlainWave(Ramp(100))));
    LoadWave(dir.Path("missing.wav"));
    PlaySound(0, false, true);
    SetSoundVolume(-1, -1000);
    SetMusicVolume(-1000);
    EXPECT_EQ(Sounds.Count, 0);
    FreeSounds();
    ShutdownSound();
}
