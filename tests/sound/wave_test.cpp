// The wave reader on waves laid out every way they come and broken every way
// they break, and the writer the scene data is made with.
#include "sound/wave.h"

#include "tests/sound/wave_bytes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

using namespace wavebytes;

namespace {

TWaveLayout Parse(const Bytes& b) {
    return ParseWave(b.data(), b.size());
}

// "code: text" of the error ParseWave raises, "" if none.
std::string ParseError(const Bytes& b) {
    try {
        Parse(b);
    } catch (const TIoError& e) {
        return std::to_string(e.Code()) + ": " + e.what();
    }
    return "";
}

} // namespace

TEST(WaveReader, FindsTheChunksByTheirTags) {
    const Bytes samples = Ramp(100);
    const Bytes fmt = Chunk("fmt ", Format(1, 2, 44100, 16));
    const Bytes list = Chunk("LIST", Bytes(17, 'i')); // odd: a pad byte follows

    // The usual layouts: data size at 40 and samples from 44, or 42 and 46 with cbSize.
    TWaveLayout plain = Parse(PlainWave(samples, 16)), withCbSize = Parse(PlainWave(samples, 18));
    EXPECT_EQ(plain.DataOffset, 44u);
    EXPECT_EQ(withCbSize.DataOffset, 46u);
    EXPECT_EQ(withCbSize.FormatSize, 18u);
    EXPECT_EQ(withCbSize.DataSize, 100u);
    EXPECT_EQ(withCbSize.Format.SamplesPerSec, 22050u);
    EXPECT_EQ(withCbSize.Format.AvgBytesPerSec, 44100u);
    EXPECT_EQ(withCbSize.Format.BlockAlign, 2);

    // Other chunks between, before or after; the format even after the data.
    EXPECT_EQ(Parse(Riff({fmt, list, Chunk("data", samples)})).DataOffset, 12u + 24 + 26 + 8);
    EXPECT_EQ(Parse(Riff({list, fmt, Chunk("data", samples), list})).DataOffset, 12u + 26 + 24 + 8);
    TWaveLayout after = Parse(Riff({Chunk("data", samples), list, fmt}));
    EXPECT_EQ(after.DataOffset, 20u);
    EXPECT_EQ(after.Format.Channels, 2);

    // The last chunk may lack its pad byte.
    Bytes unpadded = PlainWave(Ramp(7));
    unpadded.pop_back();
    EXPECT_EQ(Parse(unpadded).DataSize, 7u);

    // Extensible PCM is PCM; extensible float is not, though the chunk walk alone takes it.
    TWaveLayout ext = Parse(Riff({Chunk("fmt ", Format(0xFFFE, 2, 48000, 16, 40)), Chunk("data", samples)}));
    EXPECT_EQ(ext.Format.FormatTag, WaveFormatPcm);
    EXPECT_EQ(ext.DataOffset, 68u);
    const Bytes floats = Riff({Chunk("fmt ", Format(0xFFFE, 2, 48000, 32, 40, 3)), Chunk("data", samples)});
    EXPECT_EQ(ParseError(floats), "13: Not a PCM wave file");
    EXPECT_EQ(ParseWaveChunks(floats.data(), floats.size()).Format.FormatTag, WaveFormatExtensible);
}

TEST(WaveReader, RefusesBadWavesWithTheirReason) {
    const Bytes fmt = Chunk("fmt ", Format(1, 1, 22050, 16)), data = Chunk("data", Ramp(48));
    Bytes cut = PlainWave(Ramp(1000)), avi = Riff({fmt, data}), badAlign = Format(1, 2, 44100, 16);
    cut.resize(600);
    Bytes cutHeader = Riff({fmt});
    cutHeader.insert(cutHeader.end(), {'d', 'a', 't'});
    std::memcpy(&avi[8], "AVI ", 4);
    badAlign[12] = 3;
    const std::vector<std::pair<Bytes, std::string>> cases = {
        {{}, "100: Read beyond end of file"},
        {{'M', 'Z', 0x90}, "100: Read beyond end of file"},
        {{'M', 'Z', 0x90, 0}, "13: Not a wave file"},
        {avi, "13: Not a wave file"},
        {{'R', 'I', 'F', 'F', 0, 0}, "100: Read beyond end of file"},
        {cut, "100: Read beyond end of file"},
        {cutHeader, "100: Read beyond end of file"},
        // Sizes near 4 GiB are refused from the size alone, before anything is allocated.
        {Riff({fmt, Chunk("data", Ramp(8), 0xFFFFFFFF)}), "100: Read beyond end of file"},
        {Riff({Chunk("fmt ", Format(1, 1, 22050, 16), 0xFFFFFFF0)}), "100: Read beyond end of file"},
        {Riff({fmt, Chunk("LIST", Bytes(4), 0x7FFFFFFF), data}), "100: Read beyond end of file"},
        {Riff({data}), "13: Wave file has no format chunk"},
        {Riff({fmt, Chunk("LIST", Bytes(6))}), "13: Wave file has no data chunk"},
        {Riff({Chunk("fmt ", Format(1, 1, 22050, 16, 14)), data}), "13: Wave format chunk too short"},
        {Riff({Chunk("fmt ", Format(3, 1, 44100, 32)), data}), "13: Not a PCM wave file"},
        {Riff({Chunk("fmt ", Format(2, 1, 44100, 4)), data}), "13: Not a PCM wave file"},
        {Riff({Chunk("fmt ", Format(1, 1, 44100, 24)), data}),
         "13: Unsupported wave format: 24 bits per sample"},
        {Riff({Chunk("fmt ", Format(1, 6, 44100, 16)), data}), "13: Unsupported wave format: 6 channels"},
        {Riff({Chunk("fmt ", Format(1, 0, 44100, 16)), data}), "13: Unsupported wave format: 0 channels"},
        {Riff({Chunk("fmt ", Format(1, 1, 0, 16)), data}),
         "13: Unsupported wave format: 0 samples per second"},
        {Riff({Chunk("fmt ", badAlign), data}), "13: Corrupt wave format: wrong block align"},
    };
    for (std::size_t i = 0; i < cases.size(); ++i)
        EXPECT_EQ(ParseError(cases[i].first), cases[i].second) << i;
}

TEST(WaveFile, ReadsTheSamplesOfAWaveWithAListChunkAndNoFurther) {
    TScratch dir;
    const Bytes samples = Ramp(5000);
    const std::string path = dir.Write(
        "list.wav",
        Riff({Chunk("fmt ", Format(1, 1, 8000, 16)), Chunk("LIST", Bytes(34, 'x')), Chunk("data", samples)}));
    EXPECT_EQ(ReadWave(path).Samples, samples);

    TWaveFile file(path);
    Bytes got(5000);
    file.ReadSamples(got.data(), 4096);
    file.ReadSamples(got.data() + 4096, 904);
    EXPECT_EQ(got, samples);
    try {
        file.ReadSamples(got.data(), 1);
        ADD_FAILURE() << "read past the data chunk";
    } catch (const TIoError& e) {
        EXPECT_EQ(e.what(), "Read beyond end of file: " + path);
    }
    try {
        TWaveFile missing(dir.Path("missing.wav"));
        ADD_FAILURE() << "opened a missing file";
    } catch (const TIoError& e) {
        EXPECT_EQ(e.Code(), IoFileNotFound);
    }
}

TEST(WaveWriter, WritesPlainPcmThatReadsBack) {
    TScratch dir;
    const std::vector<std::int16_t> samples = {0, 1, -1, 32767, -32768, 1234, -4321, 7};
    const std::string path = dir.Path("out.wav");
    SaveWave(path, 2, 22050, samples);

    Bytes bytes(100);
    std::FILE* f = std::fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f));
    std::fclose(f);
    const Bytes expected =
        Riff({Chunk("fmt ", Format(1, 2, 22050, 16)),
              Chunk("data", {0, 0, 1, 0, 0xFF, 0xFF, 0xFF, 0x7F, 0, 0x80, 0xD2, 0x04, 0x1F, 0xEF, 7, 0})});
    EXPECT_EQ(bytes, expected);

    EXPECT_THROW(SaveWave(path, 0, 22050, {}), std::invalid_argument);
    EXPECT_THROW(SaveWave(path, 3, 22050, {0, 0, 0}), std::invalid_argument);
    EXPECT_THROW(SaveWave(path, 2, 22050, {0, 0, 0}), std::invalid_argument); // half a frame
    EXPECT_THROW(SaveWave(path, 1, 0, {0}), std::invalid_argument);
    EXPECT_THROW(SaveWave(dir.Path("no/such/folder.wav"), 1, 22050, {0}), TIoError);
}
