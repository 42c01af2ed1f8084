// The sound device on Windows: DirectSound, loaded at run time from
// "DSound.dll", with a DirectMusic performance on the same device so that a
// music master volume can be set (no music is ever loaded).
//
// The unit owns SoundDevice and the DirectMusic objects from InitSound to
// ShutdownSound. Every step of bringing them up runs only if the ones before
// it succeeded; a failed step leaves what exists until ShutdownSound. Without
// the library, its entry or a default sound device there is no device at all.
#include "sound/sound_backend.h"

#include <windows.h>
#include <objbase.h>
#include <mmsystem.h>
#include <dsound.h>
#include <dmusici.h>

namespace {

// The GUIDs the unit uses, as DirectMusic publishes them.
const GUID ClsidDirectMusic = {0x636B9F10, 0x0C7D, 0x11D1, {0x95, 0xB2, 0x00, 0x20, 0xAF, 0xDC, 0x74, 0x21}};
const GUID IidDirectMusic = {0x6536115A, 0x7B2D, 0x11D2, {0xBA, 0x18, 0x00, 0x00, 0xF8, 0x75, 0xAC, 0x12}};
const GUID ClsidDirectMusicLoader = {
    0xD2AC2892, 0xB39B, 0x11D1, {0x87, 0x04, 0x00, 0x60, 0x08, 0x93, 0xB1, 0xBD}};
const GUID IidDirectMusicLoader = {
    0x2FFAACA2, 0x5DCA, 0x11D2, {0xAF, 0xA6, 0x00, 0xAA, 0x00, 0x24, 0xD8, 0xB6}};
const GUID ClsidDirectMusicPerformance = {
    0xD2AC2881, 0xB39B, 0x11D1, {0x87, 0x04, 0x00, 0x60, 0x08, 0x93, 0xB1, 0xBD}};
const GUID IidDirectMusicPerformance = {
    0x07D43D03, 0x6523, 0x11D2, {0x87, 0x1D, 0x00, 0x60, 0x08, 0x93, 0xB1, 0xBD}};
const GUID GuidPerfMasterVolume = {
    0xD2AC28B1, 0xB39B, 0x11D1, {0x87, 0x04, 0x00, 0x60, 0x08, 0x93, 0xB1, 0xBD}};

constexpr DWORD CooperativePriority = 2;     // DSSCL_PRIORITY
constexpr DWORD ContextInprocServer = 1;     // CLSCTX_INPROC_SERVER
constexpr DWORD ContextInproc = 3;           // CLSCTX_INPROC: in-process server or handler
constexpr DWORD PortParamsChannelGroups = 2; // DMUS_PORTPARAMS_CHANNELGROUPS
constexpr DWORD PortParamsEffects = 0x20;    // DMUS_PORTPARAMS_EFFECTS
constexpr DWORD EffectReverbChorus = 3;      // DMUS_EFFECT_REVERB | DMUS_EFFECT_CHORUS

static_assert(sizeof(DMUS_PORTPARAMS7) == 32, "the port parameters DirectMusic 6 takes");
// 36 bytes in a 32-bit program; the format pointer makes it 40 in a 64-bit one.
static_assert(sizeof(DSBUFFERDESC) == (sizeof(void*) == 8 ? 40 : 36),
              "DSBUFFERDESC of DirectSound 7 and later");
static_assert(sizeof(TWaveFormat) + sizeof(WORD) == sizeof(WAVEFORMATEX),
              "a WAVEFORMATEX is the file's format + cbSize");

using TDirectSoundCreate = HRESULT(WINAPI*)(LPCGUID, LPDIRECTSOUND*, LPUNKNOWN);

// A music entry: a segment the performance could play. This program loads
// none. (Plain data only: the device's destructor may run at process exit,
// after this unit's objects would have been destroyed.)
struct TMidi {
    const char* Name = nullptr;
    IDirectMusicSegment* Segment = nullptr;
};
constexpr int MaxMidi = 128;
struct TMidiMusic {
    std::int32_t Count = 0;
    std::int32_t Current = -1; // the entry playing, -1 = none
    TMidi Items[MaxMidi];
};

// The platform objects, each null until made.
IDirectSound* SoundDevice = nullptr;
IDirectMusic* MusicDevice = nullptr;
IDirectMusicLoader* MusicLoader = nullptr;
IDirectMusicPerformance* MusicPerformance = nullptr;
IDirectMusicPort* MusicPort = nullptr;
TMidiMusic MidiMusic;
bool ComStarted = false; // CoInitialize succeeded (S_OK or S_FALSE) and wants its CoUninitialize

// "DSound.dll" and its entry, looked up once; null when either is missing.
TDirectSoundCreate DirectSoundCreateEntry() {
    static TDirectSoundCreate entry = [] {
        HMODULE library = LoadLibraryA("DSound.dll");
        if (!library) return TDirectSoundCreate(nullptr);
        return reinterpret_cast<TDirectSoundCreate>(
            reinterpret_cast<void*>(GetProcAddress(library, "DirectSoundCreate")));
    }();
    return entry;
}

template <typename T> void Release(T*& object) {
    if (object) object->Release();
    object = nullptr;
}

void ClearMusic() {
    for (TMidi& midi : MidiMusic.Items) {
        midi.Name = nullptr;
        Release(midi.Segment);
    }
    MidiMusic.Current = -1;
    MidiMusic.Count = 0;
}

// COM and the DirectMusic performance on the sound device, step by step; the
// first step that fails ends it.
void InitMusic(HWND window) {
    const HRESULT com = CoInitialize(nullptr);
    ComStarted = SUCCEEDED(com);
    if (com != S_OK) return; // COM already started by someone else counts as failure too
    if (CoCreateInstance(ClsidDirectMusic, nullptr, ContextInprocServer, IidDirectMusic,
                         reinterpret_cast<void**>(&MusicDevice)) != S_OK) {
        MusicDevice = nullptr;
        return;
    }
    // From here on only an error result counts as failure.
    if (FAILED(MusicDevice->SetDirectSound(SoundDevice, window))) return;
    if (FAILED(CoCreateInstance(ClsidDirectMusicLoader, nullptr, ContextInproc, IidDirectMusicLoader,
                                reinterpret_cast<void**>(&MusicLoader)))) {
        MusicLoader = nullptr;
        return;
    }
    if (FAILED(CoCreateInstance(ClsidDirectMusicPerformance, nullptr, ContextInproc,
                                IidDirectMusicPerformance, reinterpret_cast<void**>(&MusicPerformance)))) {
        MusicPerformance = nullptr;
        return;
    }
    GUID portClass{};
    if (FAILED(MusicDevice->GetDefaultPort(&portClass))) return;
    // The 32-byte parameters of DirectMusic 6, kept in the 36 bytes of the later
    // structure: Wine's CreatePort writes those back whatever dwSize says.
    DMUS_PORTPARAMS8 params{};
    params.dwSize = sizeof(DMUS_PORTPARAMS7);
    params.dwValidParams = PortParamsChannelGroups | PortParamsEffects;
    params.dwChannelGroups = 1;
    params.dwEffectFlags = EffectReverbChorus;
    if (FAILED(MusicDevice->CreatePort(portClass, &params, &MusicPort, nullptr))) {
        MusicPort = nullptr;
        return;
    }
    if (FAILED(MusicPerformance->Init(&MusicDevice, SoundDevice, window))) return;
    if (FAILED(MusicPerformance->AddPort(MusicPort))) return;
    if (FAILED(MusicPerformance->AssignPChannelBlock(0, MusicPort, 1))) return;
    if (FAILED(MusicPort->Activate(TRUE))) return;
    MidiMusic.Current = -1;
}

class TDsSoundBuffer : public TSoundBuffer {
  public:
    explicit TDsSoundBuffer(IDirectSoundBuffer* buffer) : buffer_(buffer) {}
    ~TDsSoundBuffer() override { Release(buffer_); }

    bool GetStatus(std::uint32_t& status) override {
        DWORD value = 0;
        const HRESULT result = buffer_->GetStatus(&value);
        status = value;
        return result == DS_OK;
    }
    bool Lock(std::uint32_t offset, std::uint32_t size, TLockedRegions& regions) override {
        LPVOID data1 = nullptr, data2 = nullptr;
        DWORD size1 = 0, size2 = 0;
        if (buffer_->Lock(offset, size, &data1, &size1, &data2, &size2, 0) != DS_OK) return false;
        regions.Data1 = data1;
        regions.Size1 = size1;
        regions.Data2 = data2;
        regions.Size2 = size2;
        return true;
    }
    bool Unlock(const TLockedRegions& regions) override {
        return buffer_->Unlock(regions.Data1, regions.Size1, regions.Data2, regions.Size2) == DS_OK;
    }
    bool Play(bool loop) override { return buffer_->Play(0, 0, loop ? DSBPLAY_LOOPING : 0) == DS_OK; }
    bool Stop() override { return buffer_->Stop() == DS_OK; }
    bool SetCurrentPosition(std::uint32_t position) override {
        return buffer_->SetCurrentPosition(position) == DS_OK;
    }
    bool SetVolume(std::int32_t volume) override { return buffer_->SetVolume(volume) == DS_OK; }
    bool Restore() override { return buffer_->Restore() == DS_OK; }

  private:
    IDirectSoundBuffer* buffer_;
};

class TDsSoundDevice : public TSoundDevice {
  public:
    // Normally ShutdownSound has ended the music side already; at process
    // exit without it, whatever is left goes here.
    ~TDsSoundDevice() override {
        ShutdownMusic();
        Release(SoundDevice);
    }

    std::unique_ptr<TSoundBuffer> CreateSoundBuffer(const TWaveFormat& format, std::uint32_t size,
                                                    std::uint32_t flags) override {
        WAVEFORMATEX wave{};
        wave.wFormatTag = format.FormatTag;
        wave.nChannels = format.Channels;
        wave.nSamplesPerSec = format.SamplesPerSec;
        wave.nAvgBytesPerSec = format.AvgBytesPerSec;
        wave.nBlockAlign = format.BlockAlign;
        wave.wBitsPerSample = format.BitsPerSample;
        wave.cbSize = 0;
        DSBUFFERDESC desc{};
        desc.dwSize = sizeof desc;
        desc.dwFlags = flags;
        desc.dwBufferBytes = size;
        desc.lpwfxFormat = &wave;
        IDirectSoundBuffer* buffer = nullptr;
        if (SoundDevice->CreateSoundBuffer(&desc, &buffer, nullptr) != DS_OK || !buffer) {
            if (buffer) buffer->Release();
            return nullptr;
        }
        return std::make_unique<TDsSoundBuffer>(buffer);
    }

    void SetMusicVolume(std::int32_t volume) override {
        if (!MusicPerformance) return;
        LONG value = volume;
        MusicPerformance->SetGlobalParam(GuidPerfMasterVolume, &value, sizeof value);
    }

    // The music side goes in this order: port, music entries, performance,
    // loader and music device, then COM.
    void ShutdownMusic() override {
        if (MusicPort) {
            MusicPort->Activate(FALSE);
            Release(MusicPort);
        }
        ClearMusic();
        if (MusicPerformance) {
            MusicPerformance->Stop(nullptr, nullptr, 0, 0);
            MusicPerformance->CloseDown();
            Release(MusicPerformance);
        }
        Release(MusicLoader);
        Release(MusicDevice);
        if (ComStarted) CoUninitialize();
        ComStarted = false;
    }
};

} // namespace

std::unique_ptr<TSoundDevice> CreatePlatformSoundDevice(platform::WindowHandle windowHandle) {
    const HWND window = reinterpret_cast<HWND>(windowHandle);
    const TDirectSoundCreate directSoundCreate = DirectSoundCreateEntry();
    if (!directSoundCreate) return nullptr;
    if (directSoundCreate(nullptr, &SoundDevice, nullptr) != DS_OK || !SoundDevice) {
        SoundDevice = nullptr;
        return nullptr;
    }
    auto device = std::make_unique<TDsSoundDevice>();
    if (SoundDevice->SetCooperativeLevel(window, CooperativePriority) != DS_OK) return device;
    InitMusic(window);
    return device;
}
