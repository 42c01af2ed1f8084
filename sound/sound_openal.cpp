// The sound device on Linux: OpenAL Soft.
//
// Every sound is a static OpenAL buffer played by a source of its own. The
// source is non-positional: stereo samples go straight to the left and right
// speakers (AL_SOFT_direct_channels) and mono samples are doubled into both,
// which is how a DirectSound buffer at the centre sounds. DirectSound's calls
// map onto the source:
//
//   Play(loop)             AL_LOOPING = loop; alSourcePlay unless already playing
//                          (alSourcePlay would start a playing source over)
//   Stop                   alSourcePause: the position stays
//   SetCurrentPosition(b)  AL_SAMPLE_OFFSET = b / block align
//   GetStatus              playing = AL_PLAYING, looping = playing and AL_LOOPING
//   SetVolume(v)           AL_GAIN = 10^(v / 2000), v in hundredths of a decibel
//   Restore                nothing to do: OpenAL never takes a buffer away
//
// Nothing plays music, so the music volume is only kept. Without an output
// device there is no TSoundDevice and the table stays silent, and the run
// says so in one line on standard error. OpenAL Soft and ALSA, which it
// loads, would otherwise print their own failures on every run (and into
// the log of xscreensaver, which starts the hack): their logging is off
// unless the user asks for it by setting ALSOFT_LOGLEVEL. OpenAL Soft takes
// its level from the environment only, and the environment may not be
// written while other threads run (the GL driver's read it), so the program
// calls SilenceSoundLibraries at its start and the device's opening leaves
// the environment alone.
#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>
#include <dlfcn.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "sound/sound_backend.h"

namespace {

class TAlSoundBuffer : public TSoundBuffer {
  public:
    TAlSoundBuffer(ALuint buffer, ALuint source, const TWaveFormat& format, std::uint32_t size, bool direct)
        : buffer_(buffer), source_(source), format_(format), size_(size), direct_(direct) {
        if (direct_) alSourcei(source_, AL_DIRECT_CHANNELS_SOFT, AL_TRUE);
        alSourcei(source_, AL_SOURCE_RELATIVE, AL_TRUE); // at the listener: no distance, no panning
        alSource3f(source_, AL_POSITION, 0.0f, 0.0f, 0.0f);
        alGetError();
    }
    ~TAlSoundBuffer() override {
        alSourceStop(source_);
        alSourcei(source_, AL_BUFFER, 0);
        alDeleteSources(1, &source_);
        alDeleteBuffers(1, &buffer_);
        alGetError();
    }

    bool GetStatus(std::uint32_t& status) override {
        alGetError();
        ALint state = AL_INITIAL, looping = AL_FALSE;
        alGetSourcei(source_, AL_SOURCE_STATE, &state);
        alGetSourcei(source_, AL_LOOPING, &looping);
        status = 0;
        if (state == AL_PLAYING) status = BufferPlaying | (looping ? BufferLooping : 0);
        return alGetError() == AL_NO_ERROR;
    }

    // A static buffer is filled whole: only the lock of all of it is given.
    bool Lock(std::uint32_t offset, std::uint32_t size, TLockedRegions& regions) override {
        if (locked_ || offset != 0 || size != size_) return false;
        staging_.assign(size_, 0);
        regions = TLockedRegions{};
        regions.Data1 = staging_.data();
        regions.Size1 = size_;
        locked_ = true;
        return true;
    }

    bool Unlock(const TLockedRegions& regions) override {
        if (!locked_ || regions.Data1 != staging_.data()) return false;
        locked_ = false;
        alGetError();
        // A buffer that a source holds cannot take new data.
        alSourceStop(source_);
        alSourcei(source_, AL_BUFFER, 0);
        const std::uint32_t frames = size_ / format_.BlockAlign;
        const bool wide = format_.BitsPerSample == 16;
        ALenum alFormat;
        std::vector<std::uint8_t> data;
        if (format_.Channels == 1 && direct_) {
            // Mono doubled into left and right, frame by frame.
            const std::size_t bytes = format_.BlockAlign;
            data.resize(static_cast<std::size_t>(frames) * bytes * 2);
            for (std::uint32_t f = 0; f < frames; ++f) {
                std::memcpy(&data[f * bytes * 2], &staging_[f * bytes], bytes);
                std::memcpy(&data[f * bytes * 2 + bytes], &staging_[f * bytes], bytes);
            }
            alFormat = wide ? AL_FORMAT_STEREO16 : AL_FORMAT_STEREO8;
        } else {
            staging_.resize(static_cast<std::size_t>(frames) * format_.BlockAlign);
            data.swap(staging_);
            alFormat = format_.Channels == 2 ? (wide ? AL_FORMAT_STEREO16 : AL_FORMAT_STEREO8)
                                             : (wide ? AL_FORMAT_MONO16 : AL_FORMAT_MONO8);
        }
        std::vector<std::uint8_t>().swap(staging_);
        alBufferData(buffer_, alFormat, data.data(), static_cast<ALsizei>(data.size()),
                     static_cast<ALsizei>(format_.SamplesPerSec));
        alSourcei(source_, AL_BUFFER, static_cast<ALint>(buffer_));
        return alGetError() == AL_NO_ERROR;
    }

    bool Play(bool loop) override {
        alGetError();
        ALint state = AL_INITIAL;
        alGetSourcei(source_, AL_SOURCE_STATE, &state);
        alSourcei(source_, AL_LOOPING, loop ? AL_TRUE : AL_FALSE);
        if (state != AL_PLAYING) alSourcePlay(source_);
        return alGetError() == AL_NO_ERROR;
    }

    bool Stop() override {
        alGetError();
        ALint state = AL_INITIAL;
        alGetSourcei(source_, AL_SOURCE_STATE, &state);
        if (state == AL_PLAYING) alSourcePause(source_);
        return alGetError() == AL_NO_ERROR;
    }

    bool SetCurrentPosition(std::uint32_t position) override {
        if (position >= size_) return false;
        alGetError();
        ALint state = AL_INITIAL;
        alGetSourcei(source_, AL_SOURCE_STATE, &state);
        const ALint frame = static_cast<ALint>(position / format_.BlockAlign);
        if (frame == 0 && state == AL_STOPPED) {
            alSourceRewind(source_); // back to the start, as a fresh source
        } else {
            alSourcei(source_, AL_SAMPLE_OFFSET, frame);
        }
        return alGetError() == AL_NO_ERROR;
    }

    bool SetVolume(std::int32_t volume) override {
        if (volume < VolumeMin || volume > VolumeMax) return false;
        alGetError();
        alSourcef(source_, AL_GAIN, static_cast<ALfloat>(std::pow(10.0, volume / 2000.0)));
        return alGetError() == AL_NO_ERROR;
    }

    bool Restore() override { return true; }

  private:
    ALuint buffer_;
    ALuint source_;
    TWaveFormat format_;
    std::uint32_t size_;
    bool direct_;
    bool locked_ = false;
    std::vector<std::uint8_t> staging_; // the samples between Lock and Unlock
};

class TAlSoundDevice : public TSoundDevice {
  public:
    TAlSoundDevice(ALCdevice* device, ALCcontext* context)
        : device_(device), context_(context), direct_(alIsExtensionPresent("AL_SOFT_direct_channels")) {}
    ~TAlSoundDevice() override {
        alcMakeContextCurrent(nullptr);
        alcDestroyContext(context_);
        alcCloseDevice(device_);
    }

    std::unique_ptr<TSoundBuffer> CreateSoundBuffer(const TWaveFormat& format, std::uint32_t size,
                                                    std::uint32_t /*flags*/) override {
        const bool pcm =
            format.FormatTag == WaveFormatPcm && (format.Channels == 1 || format.Channels == 2) &&
            (format.BitsPerSample == 8 || format.BitsPerSample == 16) &&
            format.BlockAlign == format.Channels * format.BitsPerSample / 8 && format.SamplesPerSec;
        // The sizes DirectSound takes (DSBSIZE_MIN..DSBSIZE_MAX), in whole frames.
        if (!pcm || size < 4 || size > MaxWaveDataSize || size < format.BlockAlign) return nullptr;
        alGetError();
        ALuint buffer = 0, source = 0;
        alGenBuffers(1, &buffer);
        if (alGetError() != AL_NO_ERROR) return nullptr;
        alGenSources(1, &source);
        if (alGetError() != AL_NO_ERROR) {
            alDeleteBuffers(1, &buffer);
            return nullptr;
        }
        return std::make_unique<TAlSoundBuffer>(buffer, source, format, size, direct_);
    }

    void SetMusicVolume(std::int32_t volume) override { musicVolume_ = volume; }
    void ShutdownMusic() override {}

  private:
    ALCdevice* device_;
    ALCcontext* context_;
    bool direct_;
    std::int32_t musicVolume_ = 0; // kept for a music player there is none of
};

// ALSA's error handler type (snd_lib_error_handler_t).
using TAlsaErrorHandler = void (*)(const char* file, int line, const char* function, int err, const char* fmt,
                                   ...);
using TSetAlsaErrorHandler = int (*)(TAlsaErrorHandler handler);

void IgnoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

// Silences ALSA's messages in the copy of libasound that OpenAL Soft's ALSA
// backend loads: the library is loaded here first, by the same name, and
// kept, so that the backend gets this copy with the handler in place.
void SilenceAlsa() {
    void* alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
    if (!alsa) return; // no ALSA: nothing to say anything
    auto setHandler = reinterpret_cast<TSetAlsaErrorHandler>(dlsym(alsa, "snd_lib_error_set_handler"));
    if (setHandler) setHandler(IgnoreAlsaError);
}

// Set when SilenceSoundLibraries put the level in place (the user set none).
bool LevelSetHere = false;

// The default output device, with ALSA's messages off unless the user set
// ALSOFT_LOGLEVEL (OpenAL Soft's own level is SilenceSoundLibraries').
ALCdevice* OpenQuietly() {
    if (LevelSetHere || !std::getenv("ALSOFT_LOGLEVEL")) SilenceAlsa();
    return alcOpenDevice(nullptr);
}

} // namespace

void SilenceSoundLibraries() {
    // OpenAL Soft reads its level once, when the first device opens.
    if (std::getenv("ALSOFT_LOGLEVEL")) return;
    setenv("ALSOFT_LOGLEVEL", "0", 1);
    LevelSetHere = true;
}

std::unique_ptr<TSoundDevice> CreatePlatformSoundDevice(platform::WindowHandle /*window*/) {
    ALCdevice* device = OpenQuietly();
    if (!device) {
        std::fprintf(stderr, "tarnwick: no sound device: running without sound\n");
        return nullptr;
    }
    ALCcontext* context = alcCreateContext(device, nullptr);
    if (!context || !alcMakeContextCurrent(context)) {
        if (context) alcDestroyContext(context);
        alcCloseDevice(device);
        return nullptr;
    }
    return std::make_unique<TAlSoundDevice>(device, context);
}
