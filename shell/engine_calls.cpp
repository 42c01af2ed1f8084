// The real subsystems behind the main window's table. Only the programs link
// this file; the shell's tests fill the table with their own procedures.
#include "shell/engine_calls.h"

#include "engine/render/device.h"
#include "scene/lake.h"
#include "sound/sound.h"

void UseRealEngineCalls() {
    TEngineCalls& e = EngineCalls;
    e.InitSound = ::InitSound;
    e.LoadWave = ::LoadWave;
    e.PlaySound = ::PlaySound;
    e.SetSoundVolume = ::SetSoundVolume;
    e.SetMusicVolume = ::SetMusicVolume;
    e.FreeSounds = ::FreeSounds;
    e.ShutdownSound = ::ShutdownSound;
    e.SetDeviceWindow = ::SetDeviceWindow;
    e.SelectBackend = ::SelectBackend;
    // The device slots are read when called: SelectBackend fills them.
    e.DeviceInit = [] { ::DeviceInit(); };
    e.DeviceResize = [](std::int32_t width, std::int32_t height) { ::DeviceResize(width, height); };
    e.DeviceDone = [] { ::DeviceDone(); };
    e.SetUpLakeScene = ::SetUpLakeScene;
    e.WarmUpWater = ::WarmUpWater;
    e.StartFrameCounters = ::StartFrameCounters;
    e.DrawLakeFrame = ::DrawLakeFrame;
    e.DrawLakeViews = ::DrawLakeViews;
}
