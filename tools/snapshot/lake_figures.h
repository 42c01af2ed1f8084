// Three figures that say how the rippled water reads, from two frames of the
// same view: the land alone (the lake model without its water) and the
// whole scene. Where drawing the water changes a pixel, the water shows.
//
// - ShoreCorrelation: in the middle two thirds of the width, wherever the far
//   shore line runs level, the mean brightness of a band of the shore just
//   above the line (a 40th of the height) against that of the band of water
//   just below it, column by column: Pearson's correlation, -1..1. Near 1
//   when the water mirrors the shore, near 0 when ripples erase it.
// - FarToNear: each column's water, from its lowest row up to the shore
//   line, cut into thirds: the mean brightness of the far thirds over that
//   of the near thirds.
// - NearDarkShare: the share (0..1) of the near thirds' pixels darker than
//   40 of 255.
// Brightness is 0.3 R + 0.59 G + 0.11 B, 0..255.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

struct TLakeFigures {
    double ShoreCorrelation = 0;
    double FarToNear = 0;
    double NearDarkShare = 0;
    int ShoreColumns = 0; // columns that gave the correlation
    int NearPixels = 0;   // pixels of the near thirds
};

constexpr double DarkWaterLevel = 40.0;

namespace lakefigures {

inline double Correlation(const std::vector<double>& a, const std::vector<double>& b) {
    const double n = double(a.size());
    double ma = 0, mb = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        ma += a[i] / n, mb += b[i] / n;
    double ab = 0, aa = 0, bb = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        ab += (a[i] - ma) * (b[i] - mb), aa += (a[i] - ma) * (a[i] - ma), bb += (b[i] - mb) * (b[i] - mb);
    return aa > 0 && bb > 0 ? ab / std::sqrt(aa * bb) : 0.0;
}

} // namespace lakefigures

// `land` and `lake` are width x height RGBA, row 0 at the bottom.
inline TLakeFigures MeasureLake(const std::vector<std::uint8_t>& land, const std::vector<std::uint8_t>& lake,
                                int width, int height) {
    auto at = [&](int x, int y) { return (std::size_t(y) * std::size_t(width) + std::size_t(x)) * 4; };
    auto water = [&](int x, int y) {
        const std::size_t i = at(x, y);
        return std::abs(land[i] - lake[i]) + std::abs(land[i + 1] - lake[i + 1]) +
                   std::abs(land[i + 2] - lake[i + 2]) >
               6;
    };
    auto brightness = [&](int x, int y) {
        const std::size_t i = at(x, y);
        return 0.3 * lake[i] + 0.59 * lake[i + 1] + 0.11 * lake[i + 2];
    };
    // The far shore line in column x: the row above the highest run of four
    // water pixels, or -1 when the column shows no lake.
    std::vector<int> shore(std::size_t(width), -1), bottom(std::size_t(width), -1);
    for (int x = 0; x < width; ++x) {
        for (int y = height - 1; y >= 4 && shore[std::size_t(x)] < 0; --y)
            if (water(x, y) && water(x, y - 1) && water(x, y - 2) && water(x, y - 3))
                shore[std::size_t(x)] = y + 1;
        for (int y = 0; y < shore[std::size_t(x)] && bottom[std::size_t(x)] < 0; ++y)
            if (water(x, y)) bottom[std::size_t(x)] = y;
    }

    TLakeFigures f;
    const int band = std::max(2, height / 40);
    std::vector<double> above, below;
    for (int x = width / 6; x < width * 5 / 6; ++x) {
        const int row = shore[std::size_t(x)], left = shore[std::size_t(x - 6)],
                  right = shore[std::size_t(x + 6)];
        if (row < band + 2 || row + band + 2 >= height || std::abs(left - right) > 3) continue;
        double a = 0, b = 0;
        for (int k = 0; k < band; ++k)
            a += brightness(x, row + 1 + k), b += brightness(x, row - 2 - k);
        above.push_back(a / band), below.push_back(b / band);
    }
    f.ShoreColumns = int(above.size());
    f.ShoreCorrelation = lakefigures::Correlation(above, below);

    double nearSum = 0, farSum = 0;
    long nearCount = 0, farCount = 0, nearDark = 0;
    for (int x = 0; x < width; ++x) {
        const int lo = bottom[std::size_t(x)], hi = shore[std::size_t(x)];
        if (lo < 0 || hi - lo < 6) continue;
        const int third = (hi - lo) / 3;
        for (int y = lo; y < lo + third; ++y)
            if (water(x, y)) {
                const double v = brightness(x, y);
                nearSum += v, ++nearCount, nearDark += v < DarkWaterLevel;
            }
        for (int y = hi - third; y < hi; ++y)
            if (water(x, y)) farSum += brightness(x, y), ++farCount;
    }
    f.NearPixels = int(nearCount);
    if (nearCount > 0 && farCount > 0 && nearSum > 0) {
        f.FarToNear = (farSum / double(farCount)) / (nearSum / double(nearCount));
        f.NearDarkShare = double(nearDark) / double(nearCount);
    }
    return f;
}
