// The sound table over the platform's sound device (sound_backend.h).
//
// Every buffer call goes through the retry rule: a call that fails makes every
// loaded buffer restore its memory (a buffer the system took away comes back
// empty) and is made once more; a second failure abandons the operation.
#include "sound/sound.h"

#include <algorithm>

namespace {

// Declared before Sounds so that at process exit the buffers go first.
std::unique_ptr<TSoundDevice> SoundDevice;
TSoundDeviceFactory DeviceFactory = nullptr;
TSoundPieceObserver PieceObserver = nullptr;

// The buffer of a loaded sound, or null for an index that holds none.
TSoundBuffer* BufferAt(std::int32_t index) {
    if (index < 0 || index >= Sounds.Count) return nullptr;
    return Sounds.Items[index].Buffer.get();
}

template <typename Call> bool WithRetry(Call call) {
    if (call()) return true;
    RestoreSounds();
    return call();
}

bool SetVolumeWithRetry(TSoundBuffer* buffer, std::int32_t volume) {
    return WithRetry([&] { return buffer->SetVolume(volume); });
}

} // namespace

TSounds Sounds;

void SetSoundDeviceFactory(TSoundDeviceFactory factory) {
    DeviceFactory = factory;
}

void SetSoundPieceObserver(TSoundPieceObserver observer) {
    PieceObserver = observer;
}

void InitSound(platform::WindowHandle window) {
    // A second call keeps the device the loaded sounds belong to.
    if (SoundDevice) return;
    SoundDevice = DeviceFactory ? DeviceFactory(window) : CreatePlatformSoundDevice(window);
}

void LoadWave(const std::string& path) {
    if (!SoundDevice || Sounds.Count >= MaxSounds) return;

    TWaveLayout layout;
    try {
        TWaveFile file(path); // checks the whole layout; closed again at once
        layout = file.Layout();
    } catch (const TIoError& e) {
        if (e.Code() == IoInvalidData) return; // a wave no buffer takes: no sound
        throw;
    }
    const std::int32_t index = Sounds.Count;
    TSound& sound = Sounds.Items[index];
    sound.Buffer = SoundDevice->CreateSoundBuffer(layout.Format, layout.DataSize, BufferFlagsHardware);
    if (!sound.Buffer)
        sound.Buffer = SoundDevice->CreateSoundBuffer(layout.Format, layout.DataSize, BufferFlagsAnywhere);
    if (!sound.Buffer) return;
    sound.Name = path;
    try {
        FillSound(index);
    } catch (...) {
        sound.Buffer.reset();
        sound.Name.clear();
        throw;
    }
    Sounds.Count = index + 1; // also when the buffer could not be filled: it plays silence
}

void FillSound(std::int32_t index) {
    if (index < 0 || index >= MaxSounds) return;
    TSound& sound = Sounds.Items[index];
    if (!sound.Buffer) return;

    TWaveFile file(sound.Name);
    const std::uint32_t size = file.Layout().DataSize;
    TLockedRegions regions;
    if (!sound.Buffer->Lock(0, size, regions)) {
        sound.Buffer->Restore();
        if (!sound.Buffer->Lock(0, size, regions)) return;
    }
    // Only the first region is filled: a static buffer locked whole gives everything there.
    const std::size_t length = std::min(regions.Size1, size);
    std::uint8_t* out = static_cast<std::uint8_t*>(regions.Data1);
    try {
        for (std::size_t done = 0; done < length;) {
            const std::size_t piece = std::min(SoundPieceSize, length - done);
            file.ReadSamples(out + done, piece);
            if (PieceObserver) PieceObserver(piece);
            done += piece;
        }
    } catch (...) {
        sound.Buffer->Unlock(regions);
        throw;
    }
    sound.Buffer->Unlock(regions);
}

void RestoreSounds() {
    for (std::int32_t i = 0; i < Sounds.Count; ++i)
        if (Sounds.Items[i].Buffer) Sounds.Items[i].Buffer->Restore();
}

void PlaySound(std::int32_t index, bool restart, bool loop) {
    TSoundBuffer* buffer = BufferAt(index);
    if (!buffer) return;
    std::uint32_t status = 0;
    if (!WithRetry([&] { return buffer->GetStatus(status); })) return;
    if (status & (BufferPlaying | BufferLooping)) {
        if (!restart) return; // goes on as it is, looped or not
        if (!WithRetry([&] { return buffer->Stop(); })) return;
        if (!WithRetry([&] { return buffer->SetCurrentPosition(0); })) return;
    }
    WithRetry([&] { return buffer->Play(loop); });
}

void SetSoundVolume(std::int32_t index, std::int32_t volume) {
    if (index >= 0) {
        if (TSoundBuffer* buffer = BufferAt(index)) SetVolumeWithRetry(buffer, volume);
        return;
    }
    if (index != -1) return;
    for (std::int32_t i = 0; i < Sounds.Count; ++i) {
        TSoundBuffer* buffer = Sounds.Items[i].Buffer.get();
        if (buffer && !SetVolumeWithRetry(buffer, volume)) return;
    }
}

void SetMusicVolume(std::int32_t volume) {
    if (SoundDevice) SoundDevice->SetMusicVolume(volume);
}

void FreeSounds() {
    for (std::int32_t i = 0; i < Sounds.Count; ++i) {
        TSound& sound = Sounds.Items[i];
        sound.Name.clear();
        if (sound.Buffer) {
            sound.Buffer->Stop();
            sound.Buffer.reset();
        }
    }
    Sounds.Count = 0;
}

void ShutdownSound() {
    if (SoundDevice) SoundDevice->ShutdownMusic();
    FreeSounds();
    SoundDevice.reset();
}
