// Wave files put together byte by byte (any chunk order, lying sizes) for the
// wave reader's and the sound table's tests, and a scratch folder for them.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <unistd.h>

namespace wavebytes {

using Bytes = std::vector<std::uint8_t>;

inline void Put(Bytes& b, std::uint32_t v, int size) {
    for (int i = 0; i < size; ++i)
        b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// Tag, size (the body's own unless given), body, pad byte after an odd body.
inline Bytes Chunk(const char* tag, Bytes body, std::int64_t statedSize = -1) {
    Bytes b(tag, tag + 4);
    Put(b, static_cast<std::uint32_t>(statedSize < 0 ? std::int64_t(body.size()) : statedSize), 4);
    if (body.size() & 1) body.push_back(0);
    b.insert(b.end(), body.begin(), body.end());
    return b;
}

// A format chunk body of `size` bytes (18: with cbSize = 0). Extensible
// formats (tag 0xFFFE) get their 22 bytes with sub-format `sub` (1 PCM, 3 float).
inline Bytes Format(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate, std::uint16_t bits,
                    std::size_t size = 16, std::uint32_t sub = 1) {
    Bytes b;
    const std::uint32_t align = channels * bits / 8u;
    for (auto [v, n] : {std::pair<std::uint32_t, int>{tag, 2},
                        {channels, 2},
                        {rate, 4},
                        {rate * align, 4},
                        {align, 2},
                        {bits, 2}})
        Put(b, v, n);
    if (tag == 0xFFFE) {
        for (auto [v, n] : {std::pair<std::uint32_t, int>{22, 2},
                            {bits, 2},
                            {3, 4},
                            {sub, 4},
                            {0x00100000, 4},
                            {0xAA000080, 4},
                            {0x719B3800, 4}})
            Put(b, v, n);
    }
    b.resize(size, 0);
    return b;
}

inline Bytes Riff(const std::vector<Bytes>& chunks) {
    Bytes body = {'W', 'A', 'V', 'E'};
    for (const Bytes& c : chunks)
        body.insert(body.end(), c.begin(), c.end());
    Bytes b = {'R', 'I', 'F', 'F'};
    Put(b, static_cast<std::uint32_t>(body.size()), 4);
    b.insert(b.end(), body.begin(), body.end());
    return b;
}

// Sample bytes that differ along the way, so misplaced reads show.
inline Bytes Ramp(std::size_t count) {
    Bytes b(count);
    for (std::size_t i = 0; i < count; ++i)
        b[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
    return b;
}

// A 16-bit mono wave, its format chunk `formatSize` bytes long.
inline Bytes PlainWave(const Bytes& samples, std::size_t formatSize = 16) {
    return Riff({Chunk("fmt ", Format(1, 1, 22050, 16, formatSize)), Chunk("data", samples)});
}

class TScratch {
  public:
    TScratch() {
        char pattern[] = "/tmp/tarnwick-sound.XXXXXX";
        dir_ = mkdtemp(pattern) ? pattern : "/tmp";
    }
    ~TScratch() {
        for (const std::string& f : files_)
            std::remove(f.c_str());
        rmdir(dir_.c_str());
    }
    std::string Path(const std::string& name) {
        files_.push_back(dir_ + "/" + name);
        return files_.back();
    }
    std::string Write(const std::string& name, const Bytes& bytes) {
        const std::string path = Path(name);
        if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
            std::fwrite(bytes.data(), 1, bytes.size(), f);
            std::fclose(f);
        }
        return path;
    }

  private:
    std::string dir_;
    std::vector<std::string> files_;
};

} // namespace wavebytes
