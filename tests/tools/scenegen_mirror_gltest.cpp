// The generated lake's water drawn still (no drops, every height 0) by the
// real render device offscreen, through camera 1: it mirrors the far shore,
// its near part is darker than those reflections, and it leaves most of a
// wide screen to the land and the sky.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "engine/render/device.h"
#include "platform/platform.h"
#include "scene/lake.h"
#include "scene/water.h"
#include "tests/support/gl_fixture.h"
#include "tests/tools/scenegen_data.h"

namespace {

class StillLake : public OffscreenGlTest {
  protected:
    void SetUp() override {
        OffscreenGlTest::SetUp();
        ASSERT_TRUE(platform::SetCurrentDirectory(scenedata::DataDir()));
        SetDeviceWindow(surface);
        SelectBackend(2);
        DeviceInit();
        SetUpLakeScene(); // ends with a still, flat water grid
        platform::ResizeOffscreenSurface(surface, width = 960, height = 540);
        DeviceResize(width, height);
        land = Frame(false), lake = Frame(true);
        // Where drawing the water changes the picture, the water shows.
        water.resize(std::size_t(width) * std::size_t(height));
        for (std::size_t p = 0; p < water.size(); ++p) {
            const std::size_t i = p * 4;
            water[p] = std::abs(land[i] - lake[i]) + std::abs(land[i + 1] - lake[i + 1]) +
                           std::abs(land[i + 2] - lake[i + 2]) >
                       6;
        }
    }
    void TearDown() override {
        DeviceDone();
        OffscreenGlTest::TearDown();
    }
    std::vector<std::uint8_t> Frame(bool withWater) {
        BeginFrame();
        SetCamera(0, 0, 1);
        DrawModel(0, 0, 0, 0);
        if (withWater) {
            LastDropTime = platform::GetTickCount(); // no drop: the step keeps it flat
            DrawWater(false, false);
        }
        EndFrame();
        return platform::OffscreenPixels(surface);
    }
    bool Water(int x, int y) const { return water[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
    double Brightness(const std::vector<std::uint8_t>& frame, int x, int y) const {
        const std::size_t i = (std::size_t(y) * std::size_t(width) + std::size_t(x)) * 4;
        return 0.3 * frame[i] + 0.59 * frame[i + 1] + 0.11 * frame[i + 2];
    }
    // The far shore line in column x: the row (counted from the bottom) above
    // the highest run of water, or -1 when the column shows no lake.
    int ShoreRow(int x) const {
        for (int y = height - 1; y >= 4; --y)
            if (Water(x, y) && Water(x, y - 1) && Water(x, y - 2) && Water(x, y - 3)) return y + 1;
        return -1;
    }

    std::vector<std::uint8_t> land, lake;
    std::vector<bool> water;
};

double Correlation(const std::vector<double>& a, const std::vector<double>& b) {
    const double n = double(a.size());
    double ma = 0, mb = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        ma += a[i] / n, mb += b[i] / n;
    double ab = 0, aa = 0, bb = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        ab += (a[i] - ma) * (b[i] - mb), aa += (a[i] - ma) * (a[i] - ma), bb += (b[i] - mb) * (b[i] - mb);
    }
    return aa > 0 && bb > 0 ? ab / std::sqrt(aa * bb) : 0.0;
}

} // namespace

TEST_F(StillLake, MirrorsItsFarShore) {
    // Column by column, in the middle of the view where the far shore runs
    // across: the mean brightness of a band of the shore just above its line
    // against that of the band of water just below it.
    const int band = height / 40;
    std::vector<double> shore, mirrored;
    for (int x = width / 6; x < width * 5 / 6; ++x) {
        const int row = ShoreRow(x), left = ShoreRow(x - 6), right = ShoreRow(x + 6);
        if (row < band + 2 || row + band + 2 >= height || std::abs(left - right) > 3) continue;
        double above = 0, below = 0;
        for (int k = 0; k < band; ++k) {
            above += Brightness(lake, x, row + 1 + k);
            below += Brightness(lake, x, row - 2 - k);
        }
        shore.push_back(above / band);
        mirrored.push_back(below / band);
    }
    ASSERT_GT(shore.size(), std::size_t(width / 3)) << "columns with a level far shore";
    EXPECT_GT(Correlation(shore, mirrored), 0.7);
}

TEST_F(StillLake, NearWaterIsDarkerThanTheFarReflections) {
    double nearSum = 0, farSum = 0;
    int nearCount = 0, farCount = 0;
    for (int x = width / 6; x < width * 5 / 6; ++x) {
        for (int y = 0; y < height / 10; ++y)
            if (Water(x, y)) nearSum += Brightness(lake, x, y), ++nearCount;
        const int row = ShoreRow(x);
        for (int y = row - 2 - height / 40; y >= 0 && y < row - 1; ++y)
            if (Water(x, y)) farSum += Brightness(lake, x, y), ++farCount;
    }
    ASSERT_GT(nearCount, width / 2);
    ASSERT_GT(farCount, width / 2);
    EXPECT_LT(nearSum / nearCount, 0.75 * (farSum / farCount));
}

TEST_F(StillLake, LeavesMostOfAWideScreenToLandAndSky) {
    const double share = double(std::count(water.begin(), water.end(), true)) / double(water.size());
    EXPECT_LT(share, 0.40);
    EXPECT_GT(share, 0.2);
}
