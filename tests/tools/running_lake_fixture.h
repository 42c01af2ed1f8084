// A test of the generated lake running on its own clock (see
// tools/snapshot/running_lake.h), drawn offscreen at the size the test sets
// before SetUp.
#pragma once

#include "engine/render/device.h"
#include "platform/platform.h"
#include "tests/support/gl_fixture.h"
#include "tests/tools/scenegen_data.h"
#include "tools/snapshot/running_lake.h"

class RunningLakeTest : public OffscreenGlTest {
  protected:
    RunningLakeTest(int w, int h) { width = w, height = h; }
    void SetUp() override {
        OffscreenGlTest::SetUp();
        ASSERT_TRUE(platform::SetCurrentDirectory(scenedata::DataDir()));
        SetUpRunningLake(surface, width, height, 1);
    }
    void TearDown() override {
        StopRunningLake();
        DeviceDone();
        OffscreenGlTest::TearDown();
    }
};
