// The wave reader on arbitrary bytes: from memory, and from a file the way the
// sound table opens it. Either both refuse the bytes with a TIoError or both
// find the same layout, whose samples then lie inside the input.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <unistd.h>

#include "sound/wave.h"

namespace {

// The file each input is written to: in $WAVE_FUZZ_SCRATCH if set (the test
// script gives it a folder it removes), else in /dev/shm or /tmp, removed on a
// normal exit. Memory-backed is best: a disk file costs most of a run.
const std::string& ScratchFile() {
    static const std::string path = [] {
        const char* dir = std::getenv("WAVE_FUZZ_SCRATCH");
        if (!dir || !*dir) dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        std::atexit([] { std::remove(ScratchFile().c_str()); });
        return std::string(dir) + "/wave_fuzz." + std::to_string(getpid()) + ".wav";
    }();
    return path;
}

// Every sample byte is looked at, so that a layout pointing outside the input shows.
unsigned Sum(const std::uint8_t* p, std::size_t n) {
    unsigned s = 0;
    for (std::size_t i = 0; i < n; ++i)
        s += p[i];
    return s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    bool parsed = false;
    TWaveLayout layout{};
    try {
        ParseWaveChunks(data, size);
        layout = ParseWave(data, size);
        parsed = true;
        if (layout.DataOffset > size || layout.DataSize > size - layout.DataOffset) std::abort();
        if (layout.DataSize > MaxWaveDataSize) std::abort();
        volatile unsigned sink = Sum(data + layout.DataOffset, layout.DataSize);
        (void)sink;
    } catch (const TIoError&) {
    }

    std::FILE* f = std::fopen(ScratchFile().c_str(), "wb");
    if (!f) return 0;
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
    try {
        TWave wave = ReadWave(ScratchFile());
        if (!parsed || wave.Samples.size() != layout.DataSize) std::abort();
        if (layout.DataSize &&
            std::memcmp(wave.Samples.data(), data + layout.DataOffset, layout.DataSize) != 0)
            std::abort();
        if (std::memcmp(&wave.Format, &layout.Format, sizeof wave.Format) != 0) std::abort();
    } catch (const TIoError&) {
        if (parsed) std::abort();
    }
    return 0;
}
