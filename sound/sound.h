// The sound table: wave files loaded whole into static buffers addressed by
// index, played once or looped, at volumes in hundredths of a decibel
// (0 = full volume, negative = attenuation). Failures are silent: without a
// sound device every call is a harmless no-op.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/gl_binding.h" // platform::WindowHandle
#include "sound/sound_backend.h"

void InitSound(platform::WindowHandle window);
// The sound gets the index Sounds.Count had before the call. A wave file that
// cannot be read raises the runtime's TIoError ("File not found", "Read
// beyond end of file" for one cut short, ...) and leaves the table as it was.
// A file the buffers do not take (not a wave file, no format or data chunk,
// not 8- or 16-bit PCM in one or two channels, an odd rate or block align)
// loads as no sound, silently, as when the device cannot make the buffer:
// the count stays and the next wave takes the index. Without a sound device,
// or with the table full, the call does nothing at all.
void LoadWave(const std::string& path);
// Plays sound `index`, once or looped. A sound that is already playing goes on
// unchanged unless `restart`, which stops and rewinds it first; a sound that
// is not playing starts from where it last stopped.
void PlaySound(std::int32_t index, bool restart, bool loop);
// index -1: every loaded sound.
void SetSoundVolume(std::int32_t index, std::int32_t volume);
void SetMusicVolume(std::int32_t volume);
void FreeSounds();
void ShutdownSound();

// The table itself.

constexpr int MaxSounds = 128;
// Bytes FillSound reads from a wave file at a time.
constexpr std::size_t SoundPieceSize = 16384;

struct TSound {
    std::string Name;                     // the path the sound was loaded from
    std::unique_ptr<TSoundBuffer> Buffer; // owned; released by FreeSounds
};

struct TSounds {
    std::int32_t Count = 0; // sounds loaded; entries 0..Count-1 hold a buffer each
    TSound Items[MaxSounds];
};

// The sound table; a sound's index is its position in Items.
extern TSounds Sounds;

// Restore() on the buffer of every loaded sound, results ignored.
void RestoreSounds();
// Loads the samples of sound `index` from its file into its buffer. A buffer
// that cannot be locked stays silent; a file that went bad since it was
// checked raises its TIoError.
void FillSound(std::int32_t index);

// Called with the size of every piece FillSound reads; null by default. Lets
// a test watch how a sound is read.
using TSoundPieceObserver = void (*)(std::size_t bytes);
void SetSoundPieceObserver(TSoundPieceObserver observer);
