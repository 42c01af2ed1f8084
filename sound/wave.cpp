#include "sound/wave.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>

#include "engine/support/files.h"
#include "platform/platform.h"

namespace {

constexpr std::uint32_t FormatBodySize = 16;     // the PCM part of a format chunk
constexpr std::uint32_t ExtensibleBodySize = 40; // 16 + cbSize + the 22 bytes of WAVEFORMATEXTENSIBLE
constexpr std::uint32_t MinSampleRate = 100;     // the range DirectSound buffers take
constexpr std::uint32_t MaxSampleRate = 200000;

// KSDATAFORMAT_SUBTYPE_PCM as it is stored in a file.
const std::uint8_t PcmSubFormat[16] = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                       0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

std::uint16_t U16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}
std::uint32_t U32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

// A reason the file is refused, after the file's name (as the model and
// texture readers give theirs).
std::string About(const std::string& text, const std::string& path) {
    return path.empty() ? text : MessagePath(path) + ": " + text;
}
[[noreturn]] void Invalid(const std::string& message, const std::string& path) {
    throw TIoError(IoInvalidData, About(message, path));
}
// A file cut short is the runtime's own read error, as for any other file.
[[noreturn]] void Truncated(const std::string& path) {
    throw FileError(IoReadBeyondEnd, path);
}

// Walks the chunks of a wave file of `size` bytes. `readAt(offset, out, n)`
// copies n bytes from the offset; it is only asked for bytes inside the file.
// `path` names the file in the errors (empty: no name).
template <typename ReadAt>
TWaveLayout ScanChunks(std::uint64_t size, ReadAt readAt, const std::string& path) {
    std::uint8_t header[12];
    // Too short for even the "RIFF" tag: whatever it was meant to be, it was cut short.
    if (size < 4) Truncated(path);
    if (size < sizeof header) {
        // Too short for a RIFF header: truncated if it begins like one.
        std::uint8_t start[4] = {};
        readAt(0, start, 4);
        if (std::memcmp(start, "RIFF", 4) == 0) Truncated(path);
        Invalid("Not a wave file", path);
    }
    readAt(0, header, sizeof header);
    if (std::memcmp(header, "RIFF", 4) != 0 || std::memcmp(header + 8, "WAVE", 4) != 0)
        Invalid("Not a wave file", path);

    TWaveLayout layout{};
    bool haveFormat = false, haveData = false;
    std::uint64_t pos = sizeof header;
    while (!(haveFormat && haveData)) {
        if (size - pos < 8) {
            if (size > pos) Truncated(path); // ends inside a chunk header
            break;
        }
        std::uint8_t chunk[8];
        readAt(pos, chunk, sizeof chunk);
        const std::uint32_t chunkSize = U32(chunk + 4);
        const std::uint64_t body = pos + 8;
        if (chunkSize > size - body) Truncated(path);

        if (std::memcmp(chunk, "fmt ", 4) == 0 && !haveFormat) {
            if (chunkSize < FormatBodySize) Invalid("Wave format chunk too short", path);
            std::uint8_t fmt[ExtensibleBodySize] = {};
            const std::uint32_t take = chunkSize < ExtensibleBodySize ? chunkSize : ExtensibleBodySize;
            readAt(body, fmt, take);
            TWaveFormat& f = layout.Format;
            f.FormatTag = U16(fmt);
            f.Channels = U16(fmt + 2);
            f.SamplesPerSec = U32(fmt + 4);
            f.AvgBytesPerSec = U32(fmt + 8);
            f.BlockAlign = U16(fmt + 12);
            f.BitsPerSample = U16(fmt + 14);
            // An extensible format whose samples are plain PCM is plain PCM.
            if (f.FormatTag == WaveFormatExtensible && take == ExtensibleBodySize && U16(fmt + 16) >= 22 &&
                std::memcmp(fmt + 24, PcmSubFormat, sizeof PcmSubFormat) == 0)
                f.FormatTag = WaveFormatPcm;
            layout.FormatSize = chunkSize;
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0 && !haveData) {
            layout.DataOffset = body;
            layout.DataSize = chunkSize;
            haveData = true;
        }
        pos = body + chunkSize + (chunkSize & 1u);
        if (pos > size) break; // the last chunk's pad byte may be missing
    }
    if (!haveFormat) Invalid("Wave file has no format chunk", path);
    if (!haveData) Invalid("Wave file has no data chunk", path);
    return layout;
}

void CheckPlayable(const TWaveLayout& layout, const std::string& path) {
    const TWaveFormat& f = layout.Format;
    if (f.FormatTag != WaveFormatPcm) Invalid("Not a PCM wave file", path);
    if (f.Channels != 1 && f.Channels != 2)
        Invalid("Unsupported wave format: " + std::to_string(f.Channels) + " channels", path);
    if (f.BitsPerSample != 8 && f.BitsPerSample != 16)
        Invalid("Unsupported wave format: " + std::to_string(f.BitsPerSample) + " bits per sample", path);
    if (f.SamplesPerSec < MinSampleRate || f.SamplesPerSec > MaxSampleRate)
        Invalid("Unsupported wave format: " + std::to_string(f.SamplesPerSec) + " samples per second", path);
    if (f.BlockAlign != f.Channels * f.BitsPerSample / 8)
        Invalid("Corrupt wave format: wrong block align", path);
    if (layout.DataSize > MaxWaveDataSize) Invalid("Wave data too large", path);
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

void PutU16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    PutU16(out, v & 0xFFFFu);
    PutU16(out, v >> 16);
}
void PutTag(std::vector<std::uint8_t>& out, const char* tag) {
    out.insert(out.end(), tag, tag + 4);
}

} // namespace

TWaveLayout ParseWaveChunks(const std::uint8_t* data, std::size_t size, const std::string& path) {
    return ScanChunks(
        size,
        [data](std::uint64_t offset, void* out, std::size_t n) {
            if (n) std::memcpy(out, data + offset, n);
        },
        path);
}

TWaveLayout ParseWave(const std::uint8_t* data, std::size_t size, const std::string& path) {
    TWaveLayout layout = ParseWaveChunks(data, size, path);
    CheckPlayable(layout, path);
    return layout;
}

TWaveFile::TWaveFile(const std::string& path) : path_(path) {
    if (path.empty()) throw TIoError(IoFileNotFound);
    if (platform::DirectoryExists(path)) throw FolderError(path);
    errno = 0;
    std::unique_ptr<std::FILE, FileCloser> f(platform::OpenFile(path, "rb"));
    if (!f) RaiseErrno(errno ? errno : ENOENT, path);
    std::FILE* fp = f.get();
    if (std::fseek(fp, 0, SEEK_END) != 0) RaiseErrno(errno ? errno : EIO, path);
    const long end = std::ftell(fp);
    if (end < 0) RaiseErrno(errno ? errno : EIO, path);

    layout_ = ScanChunks(
        static_cast<std::uint64_t>(end),
        [fp, &path](std::uint64_t offset, void* out, std::size_t n) {
            if (std::fseek(fp, static_cast<long>(offset), SEEK_SET) != 0)
                RaiseErrno(errno ? errno : EIO, path);
            if (std::fread(out, 1, n, fp) != n) {
                if (std::ferror(fp)) RaiseErrno(errno ? errno : EIO, path);
                Truncated(path); // the file shrank while we read it
            }
        },
        path);
    CheckPlayable(layout_, path);
    if (std::fseek(fp, static_cast<long>(layout_.DataOffset), SEEK_SET) != 0)
        RaiseErrno(errno ? errno : EIO, path);
    file_ = f.release();
}

TWaveFile::~TWaveFile() {
    if (file_) std::fclose(static_cast<std::FILE*>(file_));
}

void TWaveFile::ReadSamples(void* out, std::size_t size) {
    if (size > layout_.DataSize - read_) Truncated(path_);
    std::FILE* fp = static_cast<std::FILE*>(file_);
    if (size && std::fread(out, 1, size, fp) != size) {
        if (std::ferror(fp)) RaiseErrno(errno ? errno : EIO, path_);
        Truncated(path_);
    }
    read_ += size;
}

TWave ReadWave(const std::string& path) {
    TWaveFile file(path);
    TWave wave{file.Layout().Format, {}};
    wave.Samples.resize(file.Layout().DataSize);
    file.ReadSamples(wave.Samples.data(), wave.Samples.size());
    return wave;
}

void SaveWave(const std::string& path, int channels, int sampleRate,
              const std::vector<std::int16_t>& samples) {
    if (channels < 1 || channels > 2) throw std::invalid_argument("SaveWave: channels must be 1 or 2");
    if (sampleRate < 1 || sampleRate > static_cast<int>(MaxSampleRate))
        throw std::invalid_argument("SaveWave: sample rate out of range");
    if (samples.size() % static_cast<std::size_t>(channels) != 0)
        throw std::invalid_argument("SaveWave: samples are not whole frames");
    if (samples.size() > MaxWaveDataSize / 2) throw std::invalid_argument("SaveWave: too many samples");

    const std::uint32_t dataSize = static_cast<std::uint32_t>(samples.size() * 2);
    const std::uint32_t blockAlign = static_cast<std::uint32_t>(channels) * 2;
    std::vector<std::uint8_t> out;
    out.reserve(44 + dataSize);
    PutTag(out, "RIFF");
    PutU32(out, 36 + dataSize);
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    PutU32(out, FormatBodySize);
    PutU16(out, WaveFormatPcm);
    PutU16(out, static_cast<std::uint32_t>(channels));
    PutU32(out, static_cast<std::uint32_t>(sampleRate));
    PutU32(out, static_cast<std::uint32_t>(sampleRate) * blockAlign);
    PutU16(out, blockAlign);
    PutU16(out, 16);
    PutTag(out, "data");
    PutU32(out, dataSize);
    for (std::int16_t s : samples)
        PutU16(out, static_cast<std::uint16_t>(s));
    WriteWholeFile(path, out.data(), out.size());
}
