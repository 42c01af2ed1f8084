// The generated lake as people watch it: set up, warmed up and run on its own
// clock for frames 16 ms apart, so that the drops keep the water rippled.
// In frames 300, 450 and 600 the shore's reflection reads through the
// ripples, the far water is brighter than the near water, and the near water
// is not dark blotches: rippled water reads the whole of its picture, not
// only the still lake's ring.
#include <vector>

#include "engine/render/device.h"
#include "platform/platform.h"
#include "tests/tools/running_lake_fixture.h"
#include "tools/snapshot/lake_figures.h"
#include "tools/snapshot/running_lake.h"

namespace {

class RippledLake : public RunningLakeTest {
  protected:
    RippledLake() : RunningLakeTest(640, 360) {}
};

} // namespace

TEST_F(RippledLake, ReflectsTheShoreBrighterFarOffWithoutDarkBlotches) {
    double correlation = 0, farToNear = 0, darkShare = 0;
    int done = 1;
    for (int frame : {300, 450, 600}) {
        AdvanceRunningLake(frame - done - 1);
        DrawRunningLakeFrame();
        done = frame;
        const std::vector<std::uint8_t> lake = platform::OffscreenPixels(surface);
        DrawRunningLandFrame();
        const TLakeFigures f = MeasureLake(platform::OffscreenPixels(surface), lake, width, height);
        ASSERT_GT(f.ShoreColumns, width / 3) << "frame " << frame << ": columns with a level far shore";
        ASSERT_GT(f.NearPixels, width * height / 20) << "frame " << frame;
        correlation += f.ShoreCorrelation / 3, farToNear += f.FarToNear / 3, darkShare += f.NearDarkShare / 3;
    }
    EXPECT_GE(correlation, 0.4) << "the band below the far shore line against the band above it";
    EXPECT_GE(farToNear, 1.2) << "the far third of the water's brightness over the near third's";
    EXPECT_LE(darkShare, 0.10) << "share of the near water darker than 40/255";
}
