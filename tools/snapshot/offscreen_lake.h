// The lake scene set up offscreen as the full-screen run sets it up, for the
// snapshot and the measuring tools beside it.
#pragma once

#include "engine/render/device.h"
#include "platform/platform.h"
#include "scene/lake.h"

// The OpenGL device on `surface` (width x height), the lake and the overlay
// models loaded from the current folder, the water warmed up. Raises what the
// set-up raises (a missing model or texture file).
inline void SetUpOffscreenLake(platform::WindowHandle surface, int width, int height) {
    SetDeviceWindow(surface);
    SelectBackend(2);
    DeviceInit();
    DeviceResize(width, height);
    SetUpLakeScene();
    WarmUpWater();
}
