// The sound table: wave files loaded whole into static buffers addressed by
// index, played once or looped, at volumes in hundredths of a decibel
// (0 = full volume, negative = attenuation). Failures are silent: without a
// sound device every call is a harmless no-op.
#pragma once

#include <cstdint>
#include <string>

#include "platform/gl_binding.h" // platform::WindowHandle

void InitSound(platform::WindowHandle window);
// The sound gets the index Sounds.Count had before the call.
void LoadWave(const std::string& path);
void PlaySound(std::int32_t index, bool restart, bool loop);
// index -1: every loaded sound.
void SetSoundVolume(std::int32_t index, std::int32_t volume);
void SetMusicVolume(std::int32_t volume);
void FreeSounds();
void ShutdownSound();
