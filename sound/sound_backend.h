// What the sound table needs from the platform's audio: a device that makes
// static sound buffers and sets the music volume, and buffers that are filled,
// played once or looped, stopped, moved, queried and turned down.
//
// The calls mirror DirectSound's (IDirectSound, IDirectSoundBuffer): each
// reports success or failure the way a DirectSound call returns zero or not,
// and the table applies its retry rule to them. sound_dsound.cpp implements it
// on Windows, sound_openal.cpp on Linux; tests put a recording fake in its place.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/gl_binding.h" // platform::WindowHandle
#include "sound/wave.h"

// Buffer creation flags (DSBCAPS_*).
constexpr std::uint32_t BufferStatic = 0x02;        // filled once, played many times
constexpr std::uint32_t BufferLocHardware = 0x04;   // must be mixed by the sound card
constexpr std::uint32_t BufferCtrlVolume = 0x80;    // SetVolume works
constexpr std::uint32_t BufferFlagsHardware = 0x86; // what LoadWave asks for first
constexpr std::uint32_t BufferFlagsAnywhere = 0x82; // its second try: the device chooses the memory

// Buffer status bits (DSBSTATUS_*).
constexpr std::uint32_t BufferPlaying = 0x01;
constexpr std::uint32_t BufferLooping = 0x04;

// Volumes are hundredths of a decibel: 0 is full volume, -10000 (-100 dB) the
// least a buffer takes; nothing above 0 is accepted.
constexpr std::int32_t VolumeMin = -10000;
constexpr std::int32_t VolumeMax = 0;

// The memory a Lock hands out: a static buffer gives all of it in the first
// region; the second is for ring buffers that wrap and stays empty here.
struct TLockedRegions {
    void* Data1 = nullptr;
    std::uint32_t Size1 = 0;
    void* Data2 = nullptr;
    std::uint32_t Size2 = 0;
};

// One sound buffer. Destroying it releases it (and stops it sounding).
class TSoundBuffer {
  public:
    virtual ~TSoundBuffer() = default;
    // BufferPlaying, BufferLooping.
    virtual bool GetStatus(std::uint32_t& status) = 0;
    // Write access to `size` bytes from `offset`; Unlock hands them back to the sound card.
    virtual bool Lock(std::uint32_t offset, std::uint32_t size, TLockedRegions& regions) = 0;
    virtual bool Unlock(const TLockedRegions& regions) = 0;
    // Plays from the current position, to the end or round and round. On a
    // buffer that is already playing it only changes whether it loops.
    virtual bool Play(bool loop) = 0;
    // Stops; the position stays where it was.
    virtual bool Stop() = 0;
    // The next sample to play, as a byte offset.
    virtual bool SetCurrentPosition(std::uint32_t position) = 0;
    // VolumeMin..VolumeMax; anything else fails.
    virtual bool SetVolume(std::int32_t volume) = 0;
    // Gets the memory of a buffer the system took away back (empty: the
    // samples are not reloaded).
    virtual bool Restore() = 0;
};

// The sound device of the main window. Destroying it releases the device
// itself, after every buffer it made is gone.
class TSoundDevice {
  public:
    virtual ~TSoundDevice() = default;
    // A static buffer of `size` bytes of the format; null when the device cannot make it.
    virtual std::unique_ptr<TSoundBuffer> CreateSoundBuffer(const TWaveFormat& format, std::uint32_t size,
                                                            std::uint32_t flags) = 0;
    // The music master volume, hundredths of a decibel.
    virtual void SetMusicVolume(std::int32_t volume) = 0;
    // Ends the music side (DirectMusic and COM), the first part of ShutdownSound.
    virtual void ShutdownMusic() = 0;
};

// Brings up the platform's sound for the window: the device, and as much of
// the music side as comes up. Null when there is no sound device at all.
// Implemented once per platform (sound_dsound.cpp, sound_openal.cpp).
std::unique_ptr<TSoundDevice> CreatePlatformSoundDevice(platform::WindowHandle window);

// Linux: turns OpenAL Soft's own messages off for this process (and the
// programs it starts) unless the user set ALSOFT_LOGLEVEL. It writes the
// environment: the program calls it before any thread starts.
void SilenceSoundLibraries();

// What InitSound makes its device with: CreatePlatformSoundDevice unless a
// test put another in its place. Null restores the platform's.
using TSoundDeviceFactory = std::unique_ptr<TSoundDevice> (*)(platform::WindowHandle window);
void SetSoundDeviceFactory(TSoundDeviceFactory factory);
