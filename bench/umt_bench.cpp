// Block-coded UMT decoding: the shipped table-driven decoder next to the
// straightforward one that converts every pixel in long double. Both give
// the same bytes (checked before timing); the figures are megapixels per
// second, and the ratio between them is printed at the end (target: 10x).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "engine/textures/umt.h"
#include "engine/textures/yuv.h"

namespace {

constexpr int Side = 1024; // a 1024 x 1024 24-bit texture, one frame

// Random block-coded frame data: every byte sequence is a valid frame.
const std::vector<std::uint8_t>& BlockCodedFile() {
    static const std::vector<std::uint8_t> file = [] {
        std::vector<std::uint8_t> bytes = {Side & 255, Side >> 8, Side & 255, Side >> 8, 24, 1, 0, 0, 0, 0};
        std::mt19937 random(1234);
        const std::size_t frameBytes = std::size_t(Side / 8) * (Side / 8) * 66;
        for (std::size_t i = 0; i < frameBytes; ++i)
            bytes.push_back(static_cast<std::uint8_t>(random()));
        return bytes;
    }();
    return file;
}

// The straightforward decoder: the same block walk, each pixel converted on
// its own in extended precision.
void DecodeExtended(const std::vector<std::uint8_t>& file, std::vector<std::uint8_t>& pixels) {
    const std::uint8_t* block = file.data() + UmtHeaderSize;
    const std::size_t rowBytes = std::size_t(Side) * 3;
    for (int bc = 0; bc < Side / 8; ++bc) {
        for (int br = 0; br < Side / 8; ++br, block += 66) {
            for (int c = 0; c < 8; ++c) {
                for (int r = 0; r < 8; ++r) {
                    std::uint8_t* p =
                        pixels.data() + std::size_t(br * 8 + r) * rowBytes + std::size_t(bc * 8 + c) * 3;
                    YCbCrToRgbExtended(block[c * 8 + r], block[64], block[65], p[0], p[1], p[2]);
                }
            }
        }
    }
}

void CheckSameBytes() {
    const std::vector<std::uint8_t>& file = BlockCodedFile();
    const TUmtImage image = DecodeUmt(file.data(), file.size(), "bench.umt");
    std::vector<std::uint8_t> reference(image.Pixels.size());
    DecodeExtended(file, reference);
    if (reference != image.Pixels) {
        std::fprintf(stderr, "umt_bench: the two decoders disagree\n");
        std::exit(1);
    }
    std::printf("Both decoders give the same %zu bytes.\n", reference.size());
}

void SetRate(benchmark::State& state) {
    state.counters["MP/s"] =
        benchmark::Counter(double(state.iterations()) * Side * Side / 1e6, benchmark::Counter::kIsRate);
}

void BM_DecodeTableDriven(benchmark::State& state) {
    const std::vector<std::uint8_t>& file = BlockCodedFile();
    for (auto _ : state) {
        TUmtImage image = DecodeUmt(file.data(), file.size(), "bench.umt");
        benchmark::DoNotOptimize(image.Pixels.data());
    }
    SetRate(state);
}
BENCHMARK(BM_DecodeTableDriven)->Unit(benchmark::kMillisecond);

void BM_DecodeExtendedPerPixel(benchmark::State& state) {
    const std::vector<std::uint8_t>& file = BlockCodedFile();
    for (auto _ : state) {
        std::vector<std::uint8_t> pixels(std::size_t(Side) * Side * 3);
        DecodeExtended(file, pixels);
        benchmark::DoNotOptimize(pixels.data());
    }
    SetRate(state);
}
BENCHMARK(BM_DecodeExtendedPerPixel)->Unit(benchmark::kMillisecond);

// Keeps each benchmark's megapixels per second for the closing ratio.
class TRateReporter : public benchmark::ConsoleReporter {
  public:
    std::map<std::string, double> Rates;
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            auto it = run.counters.find("MP/s");
            if (it != run.counters.end()) Rates[run.benchmark_name()] = it->second.value;
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    CheckSameBytes();
    TRateReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double fast = reporter.Rates["BM_DecodeTableDriven"];
    const double slow = reporter.Rates["BM_DecodeExtendedPerPixel"];
    if (fast > 0 && slow > 0) {
        std::printf("Block-coded decoding: %.1f MP/s table-driven, %.1f MP/s extended per pixel: %.1fx "
                    "(target 10x)\n",
                    fast, slow, fast / slow);
    }
    benchmark::Shutdown();
    return 0;
}
