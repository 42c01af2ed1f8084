#include "engine/textures/yuv.h"

#include <cmath>
#include <vector>

namespace {

// Clamps as the conversion does (above 255 first, then below 0) and rounds
// to nearest, ties to even (the default rounding mode).
std::uint8_t ClampRound(long double v) {
    if (v > 255.0L) v = 255.0L;
    if (v < 0.0L) v = 0.0L;
    return static_cast<std::uint8_t>(std::rint(v));
}

long double RedOf(int y, int cr) {
    return y + 1.402L * (cr - 128);
}
long double GreenOf(int y, int cb, int cr) {
    return (y - 0.34414L * (cb - 128)) - 0.71414L * (cr - 128);
}
long double BlueOf(int y, int cb) {
    return y + 1.772L * (cb - 128);
}

// Green = clamp(Y + k) for a chroma pair, k = round(-(0.34414 Cb' + 0.71414 Cr')),
// whenever that sum is not exactly halfway between two integers: its true
// value is a multiple of 1e-5, so it is then at least 1e-5 from a tie,
// far beyond the rounding error of the extended arithmetic. For the pairs
// that do sit on a tie, the rounding depends on Y (ties to even) and on the
// last bits of the arithmetic, so their rows are computed in full.
constexpr int GreenOffsetMin = -136;
constexpr int GreenOffsetMax = 136;
constexpr int ClampBase = -GreenOffsetMin;                       // index of Y + k = 0
constexpr int ClampSize = 256 + GreenOffsetMax - GreenOffsetMin; // every Y + k

bool IsTie(int cb, int cr) {
    long m = 34414L * (cb - 128) + 71414L * (cr - 128);
    long rest = ((m % 100000) + 100000) % 100000;
    return rest == 50000;
}

struct TTables {
    std::uint8_t Red[256][256];  // [Cr][Y]
    std::uint8_t Blue[256][256]; // [Cb][Y]
    // The clamp table (ClampSize bytes), then one 256-byte row per tie pair.
    std::vector<std::uint8_t> GreenStore;
    std::uint32_t GreenRow[256][256]; // [Cb][Cr]: offset of row[Y = 0] in GreenStore

    TTables() {
        for (int c = 0; c < 256; ++c) {
            for (int y = 0; y < 256; ++y) {
                Red[c][y] = ClampRound(RedOf(y, c));
                Blue[c][y] = ClampRound(BlueOf(y, c));
            }
        }
        GreenStore.resize(ClampSize);
        for (int i = 0; i < ClampSize; ++i) {
            int v = i - ClampBase;
            GreenStore[i] = static_cast<std::uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
        }
        for (int cb = 0; cb < 256; ++cb) {
            for (int cr = 0; cr < 256; ++cr) {
                if (IsTie(cb, cr)) {
                    GreenRow[cb][cr] = static_cast<std::uint32_t>(GreenStore.size());
                    for (int y = 0; y < 256; ++y)
                        GreenStore.push_back(ClampRound(GreenOf(y, cb, cr)));
                } else {
                    // Unclamped at Y = 0; Y + k then stays inside the clamp table.
                    int k = static_cast<int>(std::nearbyint(GreenOf(0, cb, cr)));
                    GreenRow[cb][cr] = static_cast<std::uint32_t>(ClampBase + k);
                }
            }
        }
    }
};

const TTables& Tables() {
    static const TTables* tables = new TTables(); // built on first use, kept for the process
    return *tables;
}

} // namespace

void YCbCrToRgbExtended(std::uint8_t y, std::uint8_t cb, std::uint8_t cr, std::uint8_t& r, std::uint8_t& g,
                        std::uint8_t& b) {
    r = ClampRound(RedOf(y, cr));
    g = ClampRound(GreenOf(y, cb, cr));
    b = ClampRound(BlueOf(y, cb));
}

TChromaRows ChromaRows(std::uint8_t cb, std::uint8_t cr) {
    const TTables& t = Tables();
    return TChromaRows{t.Red[cr], t.GreenStore.data() + t.GreenRow[cb][cr], t.Blue[cb]};
}

void YCbCrToRgb(std::uint8_t y, std::uint8_t cb, std::uint8_t cr, std::uint8_t& r, std::uint8_t& g,
                std::uint8_t& b) {
    TChromaRows rows = ChromaRows(cb, cr);
    r = rows.R[y];
    g = rows.G[y];
    b = rows.B[y];
}
