// Wave files: the reader the sound table loads its sounds with, and the writer
// the scene-data generator makes "sounds\smallwaterfall.wav" with.
//
// A wave file is a RIFF file of chunks. All values are little-endian.
//
//   offset  size  meaning
//   ------  ----  -------------------------------------------------------------
//        0     4  "RIFF"
//        4     4  size of the rest of the file (not trusted: the file's own size is used)
//        8     4  "WAVE"
//       12     4  "fmt "                      the format chunk
//       16     4  n: size of the format chunk body (16 for plain PCM, 18 with cbSize, 40 extensible)
//       20    16  the first 16 bytes of a WAVEFORMATEX (TWaveFormat below):
//                   +0  u16 format tag (1 = PCM, 0xFFFE = extensible)
//                   +2  u16 channels
//                   +4  u32 samples per second
//                   +8  u32 average bytes per second
//                  +12  u16 block align (bytes per sample frame, all channels)
//                  +14  u16 bits per sample
//       36 n-16  the rest of the format chunk: cbSize (u16) and, for an
//                extensible format, valid bits (u16), channel mask (u32) and
//                the sub-format GUID (16 bytes, PCM = 00000001-0000-0010-8000-00aa00389b71)
//   n + 20     4  "data"                      the sample chunk
//   n + 24     4  d: size of the samples in bytes
//   n + 28     d  the samples: interleaved frames; 8-bit samples unsigned, 16-bit signed
//
// That is the usual layout (n = 16: data size at 40, samples from 44; n = 18:
// 42 and 46). Other chunks ("LIST", "fact", ...) may sit anywhere between or
// around the two; the reader finds "fmt " and "data" by their tags and skips
// the rest. A chunk of odd size is followed by one pad byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/support/errors.h"

// The wave formats the sound buffers take: 1 or 2 channels of 8- or 16-bit
// PCM, at most this many bytes of samples (the largest static buffer
// DirectSound makes).
constexpr std::uint32_t MaxWaveDataSize = 0x0FFFFFFF;

constexpr std::uint16_t WaveFormatPcm = 1;
constexpr std::uint16_t WaveFormatExtensible = 0xFFFE;

// The first 16 bytes of a WAVEFORMATEX, as stored in the file.
struct TWaveFormat {
    std::uint16_t FormatTag;
    std::uint16_t Channels;
    std::uint32_t SamplesPerSec;
    std::uint32_t AvgBytesPerSec;
    std::uint16_t BlockAlign;
    std::uint16_t BitsPerSample;
};
static_assert(sizeof(TWaveFormat) == 16, "TWaveFormat is the file's 16-byte PCM format");

// Where a wave file keeps its format and samples.
struct TWaveLayout {
    TWaveFormat Format;       // as read; an extensible PCM format is given as plain PCM (tag 1)
    std::uint32_t FormatSize; // n, the size of the format chunk body
    std::uint64_t DataOffset; // file offset of the first sample byte
    std::uint32_t DataSize;   // d, bytes of samples (never past the end of the file)
};

// Finds the format and data chunks of a wave file held in memory, checking
// every size against the bytes there are. Any format tag is accepted here.
// TIoError: "Read beyond end of file" (IoReadBeyondEnd) for a file cut
// short, which a file of fewer than 4 bytes always is; IoInvalidData with
// the reason for the rest: "Not a wave file", "Wave file has no format
// chunk", "Wave file has no data chunk", ... after "PATH: " when `path`
// names the file ("Read beyond end of file: PATH", as the runtime's texts).
TWaveLayout ParseWaveChunks(const std::uint8_t* data, std::size_t size,
                            const std::string& path = std::string());

// ParseWaveChunks, then the checks the sound buffers need (IoInvalidData):
// "Not a PCM wave file", "Unsupported wave format: ...", "Wave data too large".
TWaveLayout ParseWave(const std::uint8_t* data, std::size_t size, const std::string& path = std::string());

// A wave file opened for playback: its layout is read and checked on opening
// (as ParseWave, without reading the samples), and the samples are then read
// in order. The file stays open until the object goes.
class TWaveFile {
  public:
    // TIoError: "File not found" and the other runtime errors, or one of
    // ParseWave's, each naming the file.
    explicit TWaveFile(const std::string& path);
    ~TWaveFile();
    TWaveFile(const TWaveFile&) = delete;
    TWaveFile& operator=(const TWaveFile&) = delete;

    const TWaveLayout& Layout() const { return layout_; }
    // Copies the next `size` sample bytes; "Read beyond end of file" past the data chunk.
    void ReadSamples(void* out, std::size_t size);

  private:
    std::string path_;
    void* file_ = nullptr; // the open std::FILE
    TWaveLayout layout_{};
    std::uint64_t read_ = 0; // sample bytes handed out so far
};

// A whole wave file: its format and its sample bytes.
struct TWave {
    TWaveFormat Format;
    std::vector<std::uint8_t> Samples;
};
// Reads a playable wave file whole (ParseWave's checks).
TWave ReadWave(const std::string& path);

// Writes 16-bit PCM: the 12-byte RIFF header, a 16-byte format chunk and the
// data chunk directly after it (so n = 16 and the samples start at offset 44).
// `samples` holds interleaved frames, `channels` values each. The path may use
// backslashes. std::invalid_argument for channels outside 1..2, a sample rate
// outside 1..200000, a sample count that is not whole frames or more samples
// than a wave holds; TIoError when the file cannot be written.
void SaveWave(const std::string& path, int channels, int sampleRate,
              const std::vector<std::int16_t>& samples);
