// The sound table over a recording fake device: the buffer calls each
// operation makes and their order, the retry rule, how a wave is read into its
// buffer, and the index and capacity rules.
#include "sound/sound.h"

#include "tests/sound/wave_bytes.h"

#include <gtest/gtest.h>

#include <map>

using namespace wavebytes;
using Log = std::vector<std::string>;

namespace {

struct TFake {
    Log Calls;                           // "buffer:Call(args)", "device:..."
    std::map<std::string, int> Failures; // "Play" (any buffer) or "1:Play" -> how many next calls fail
    int LiveBuffers = 0;
    bool NoDevice = false;
    std::vector<std::size_t> Pieces;
} fake;

// Records a call; false when a failure was asked for.
bool Call(const std::string& who, const std::string& name, const std::string& args = "") {
    bool failed = false;
    for (const std::string& key : {who + ":" + name, name})
        if (!failed && fake.Failures[key] > 0) failed = --fake.Failures[key] >= 0;
    fake.Calls.push_back(who + ":" + name + (args.empty() ? "" : "(" + args + ")") +
                         (failed ? " fails" : ""));
    return !failed;
}

// Behaves as a DirectSound static buffer: status, position, volume, memory.
struct TFakeBuffer : TSoundBuffer {
    TFakeBuffer(int id, std::uint32_t size) : memory(size), id(std::to_string(id)) { ++fake.LiveBuffers; }
    ~TFakeBuffer() override {
        fake.Calls.push_back(id + ":Release");
        --fake.LiveBuffers;
    }
    bool GetStatus(std::uint32_t& s) override { return s = status, Call(id, "GetStatus"); }
    bool Lock(std::uint32_t offset, std::uint32_t size, TLockedRegions& r) override {
        if (!Call(id, "Lock", std::to_string(offset) + "," + std::to_string(size))) return false;
        r.Data1 = memory.data() + offset;
        r.Size1 = size;
        return true;
    }
    bool Unlock(const TLockedRegions& r) override { return Call(id, "Unlock", std::to_string(r.Size1)); }
    bool Play(bool loop) override {
        return Call(id, "Play", loop ? "loop" : "once") &&
               (status = BufferPlaying | (loop ? BufferLooping : 0), 1);
    }
    bool Stop() override { return Call(id, "Stop") && (status = 0, true); }
    bool SetCurrentPosition(std::uint32_t p) override {
        return Call(id, "SetCurrentPosition", std::to_string(p)) && (position = p, true);
    }
    bool SetVolume(std::int32_t v) override {
        return Call(id, "SetVolume", std::to_string(v)) && (volume = v, true);
    }
    bool Restore() override { return Call(id, "Restore"); }

    std::uint32_t status = 0, position = 0;
    std::int32_t volume = 0;
    Bytes memory;
    std::string id;
};

struct TFakeDevice : TSoundDevice {
    ~TFakeDevice() override { fake.Calls.push_back("device:Release"); }
    std::unique_ptr<TSoundBuffer> CreateSoundBuffer(const TWaveFormat&, std::uint32_t size,
                                                    std::uint32_t flags) override {
        char args[32];
        std::snprintf(args, sizeof args, "%u,0x%X", size, flags);
        if (!Call("device", "CreateSoundBuffer", args)) return nullptr;
        return std::make_unique<TFakeBuffer>(created++, size);
    }
    void SetMusicVolume(std::int32_t v) override { Call("device", "SetMusicVolume", std::to_string(v)); }
    void ShutdownMusic() override { Call("device", "ShutdownMusic"); }
    int created = 0;
};

std::unique_ptr<TSoundDevice> MakeFakeDevice(platform::WindowHandle) {
    return fake.NoDevice ? nullptr : std::make_unique<TFakeDevice>();
}

TFakeBuffer& Buffer(int index) {
    return *static_cast<TFakeBuffer*>(Sounds.Items[index].Buffer.get());
}

class SoundTable : public ::testing::Test {
  protected:
    void SetUp() override {
        fake = TFake{}; // nothing left over from the case before
        SetSoundDeviceFactory(MakeFakeDevice);
        SetSoundPieceObserver([](std::size_t n) { fake.Pieces.push_back(n); });
        InitSound(0);
    }
    void TearDown() override {
        ShutdownSound();
        EXPECT_EQ(fake.LiveBuffers, 0);
    }
    // `count` sounds of 100 bytes loaded, and a clean log.
    void Load(int count) {
        const std::string path = dir.Write("s.wav", PlainWave(Ramp(100)));
        for (int i = 0; i < count; ++i)
            LoadWave(path);
        fake.Calls.clear();
    }
    TScratch dir;
};

} // namespace

TEST_F(SoundTable, PlayLoopAndRestartRules) {
    Load(1);
    PlaySound(0, false, true);
    PlaySound(0, false, true);
    PlaySound(0, false, false); // already looping, no restart: goes on looping
    EXPECT_EQ(fake.Calls, (Log{"0:GetStatus", "0:Play(loop)", "0:GetStatus", "0:GetStatus"}));
    EXPECT_EQ(Buffer(0).status, BufferPlaying | BufferLooping);

    fake.Calls.clear();
    Buffer(0).position = 60;
    PlaySound(0, true, false); // restart: stop, rewind, play once
    EXPECT_EQ(fake.Calls, (Log{"0:GetStatus", "0:Stop", "0:SetCurrentPosition(0)", "0:Play(once)"}));
    EXPECT_EQ(Buffer(0).position, 0u);
    EXPECT_EQ(Buffer(0).status, BufferPlaying);

    // Not playing: plays on from where it is, restart or not.
    fake.Calls.clear();
    Buffer(0).status = 0;
    Buffer(0).position = 40;
    PlaySound(0, false, false);
    Buffer(0).status = 0;
    PlaySound(0, true, true);
    EXPECT_EQ(fake.Calls, (Log{"0:GetStatus", "0:Play(once)", "0:GetStatus", "0:Play(loop)"}));
    EXPECT_EQ(Buffer(0).position, 40u);
}

TEST_F(SoundTable, AFailedCallIsRetriedOnceAfterRestoringEverySound) {
    Load(2);
    fake.Failures["Play"] = 1;
    PlaySound(1, false, true);
    EXPECT_EQ(fake.Calls,
              (Log{"1:GetStatus", "1:Play(loop) fails", "0:Restore", "1:Restore", "1:Play(loop)"}));

    // A second failure abandons the operation: no third try, nothing after it.
    fake.Calls.clear();
    fake.Failures["Stop"] = 2;
    PlaySound(1, true, false);
    EXPECT_EQ(fake.Calls, (Log{"1:GetStatus", "1:Stop fails", "0:Restore", "1:Restore", "1:Stop fails"}));
    EXPECT_EQ(Buffer(1).status, BufferPlaying | BufferLooping);
}

TEST_F(SoundTable, VolumeGoesToOneSoundOrEveryOneUntilOneFailsTwice) {
    Load(3);
    SetSoundVolume(1, -250);
    SetSoundVolume(-1, -500);
    EXPECT_EQ(fake.Calls,
              (Log{"1:SetVolume(-250)", "0:SetVolume(-500)", "1:SetVolume(-500)", "2:SetVolume(-500)"}));

    fake.Calls.clear();
    fake.Failures["1:SetVolume"] = 2;
    SetSoundVolume(-1, -300);
    EXPECT_EQ(fake.Calls, (Log{"0:SetVolume(-300)", "1:SetVolume(-300) fails", "0:Restore", "1:Restore",
                               "2:Restore", "1:SetVolume(-300) fails"}));
    EXPECT_EQ(Buffer(2).volume, -500);
}

TEST_F(SoundTable, IndicesWithoutASoundAreLeftAlone) {
    Load(2);
    for (int index : {2, 127, 128, 100000, -1, -2})
        PlaySound(index, true, true);
    for (int index : {2, 128, -2, -100000})
        SetSoundVolume(index, -100);
    EXPECT_EQ(fake.Calls, Log{});

    FreeSounds();
    fake.Calls.clear();
    SetSoundVolume(-1, -100); // nothing loaded
    PlaySound(0, false, true);
    EXPECT_EQ(fake.Calls, Log{});
}

TEST_F(SoundTable, LoadReadsTheSamplesInPiecesOf16384Bytes) {
    const Bytes samples = Ramp(100000);
    LoadWave(dir.Write("big.wav", PlainWave(samples, 18)));
    ASSERT_EQ(Sounds.Count, 1);
    EXPECT_EQ(fake.Calls,
              (Log{"device:CreateSoundBuffer(100000,0x86)", "0:Lock(0,100000)", "0:Unlock(100000)"}));
    EXPECT_EQ(fake.Pieces, (std::vector<std::size_t>{16384, 16384, 16384, 16384, 16384, 16384, 1696}));
    EXPECT_EQ(Buffer(0).memory, samples);

    // A LIST chunk before the samples is not read as samples.
    LoadWave(dir.Write("list.wav", Riff({Chunk("fmt ", Format(1, 2, 44100, 16)),
                                         Chunk("LIST", Bytes(26, 'i')), Chunk("data", Ramp(3000))})));
    EXPECT_EQ(Buffer(1).memory, Ramp(3000));
}

TEST_F(SoundTable, LoadRetriesBufferAndLockAndCountsAnEmptyBuffer) {
    const std::string path = dir.Write("s.wav", PlainWave(Ramp(64)));
    fake.Failures["CreateSoundBuffer"] = 1;
    fake.Failures["Lock"] = 1;
    LoadWave(path);
    EXPECT_EQ(fake.Calls, (Log{"device:CreateSoundBuffer(64,0x86) fails", "device:CreateSoundBuffer(64,0x82)",
                               "0:Lock(0,64) fails", "0:Restore", "0:Lock(0,64)", "0:Unlock(64)"}));
    EXPECT_EQ(Buffer(0).memory, Ramp(64));

    // A buffer that cannot be locked twice stays silent but counts.
    fake.Failures["Lock"] = 2;
    LoadWave(path);
    EXPECT_EQ(Sounds.Count, 2);
    EXPECT_EQ(Buffer(1).memory, Bytes(64, 0));

    // No buffer at all: the count stays and the next load takes the index.
    fake.Failures["CreateSoundBuffer"] = 2;
    LoadWave(path);
    EXPECT_EQ(Sounds.Count, 2);
    LoadWave(path);
    EXPECT_EQ(Sounds.Count, 3);
}

TEST_F(SoundTable, TheTableHolds128SoundsAndIgnoresMore) {
    Load(MaxSounds);
    ASSERT_EQ(Sounds.Count, MaxSounds);
    LoadWave(dir.Path("s.wav"));
    LoadWave(dir.Path("missing.wav")); // not even looked at
    EXPECT_EQ(Sounds.Count, MaxSounds);
    EXPECT_EQ(fake.Calls, Log{});
    SetSoundVolume(-1, -10);
    EXPECT_EQ(fake.Calls.size(), std::size_t(MaxSounds));
    EXPECT_EQ(fake.Calls.back(), "127:SetVolume(-10)");
}

TEST_F(SoundTable, AMissingOrCutShortWaveRaisesAndLeavesTheTableAsItWas) {
    Load(1);
    Bytes cut = PlainWave(Ramp(400));
    cut.resize(100);
    // Each error names the file; one too short to say what it is was cut short.
    const std::vector<std::pair<std::string, std::string>> cases = {
        {dir.Write("cut.wav", cut), "Read beyond end of file"},
        {dir.Write("riff.wav", {'R', 'I', 'F', 'F', 0}), "Read beyond end of file"},
        {dir.Write("empty.wav", {}), "Read beyond end of file"},
        {dir.Write("three.wav", {'R', 'I', 'F'}), "Read beyond end of file"},
        {dir.Write("one.wav", {'x'}), "Read beyond end of file"},
        {dir.Path("absent.wav"), "File not found"},
    };
    for (const auto& c : cases) {
        try {
            LoadWave(c.first);
            ADD_FAILURE() << "no error for " << c.first;
        } catch (const TIoError& e) {
            EXPECT_EQ(e.what(), c.second + ": " + c.first);
        }
    }
    EXPECT_EQ(Sounds.Count, 1);
    EXPECT_EQ(fake.Calls, Log{}); // refused before a buffer was made
}

TEST_F(SoundTable, AWaveTheTableDoesNotTakeLoadsSilentlyAsNoSound) {
    const Bytes data = Chunk("data", Ramp(48));
    Bytes badAlign = Format(1, 2, 44100, 16);
    badAlign[12] = 3;
    const std::vector<Bytes> refused = {
        {'J', 'F', 'I', 'F', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
        Riff({data}),
        Riff({Chunk("fmt ", Format(1, 1, 22050, 16))}),
        Riff({Chunk("fmt ", Format(3, 1, 44100, 32)), data}), // floating point
        Riff({Chunk("fmt ", Format(1, 1, 44100, 24)), data}),
        Riff({Chunk("fmt ", Format(1, 2, 44100, 32)), data}),
        Riff({Chunk("fmt ", Format(1, 6, 44100, 16)), data}),
        Riff({Chunk("fmt ", Format(1, 1, 7, 16)), data}),
        Riff({Chunk("fmt ", badAlign), data}),
    };
    for (std::size_t i = 0; i < refused.size(); ++i)
        EXPECT_NO_THROW(LoadWave(dir.Write("refused.wav", refused[i]))) << i;
    EXPECT_EQ(Sounds.Count, 0);
    EXPECT_EQ(fake.Calls, Log{});

    // As after a buffer that could not be made: the next wave takes the index.
    const std::string path = dir.Write("s.wav", PlainWave(Ramp(64)));
    LoadWave(path);
    ASSERT_EQ(Sounds.Count, 1);
    EXPECT_EQ(Sounds.Items[0].Name, path);
    EXPECT_EQ(Buffer(0).memory, Ramp(64));
}

TEST_F(SoundTable, FreeAndShutdownReleaseInOrder) {
    Load(2);
    SetMusicVolume(-1200);
    FreeSounds();
    EXPECT_EQ(fake.Calls,
              (Log{"device:SetMusicVolume(-1200)", "0:Stop", "0:Release", "1:Stop", "1:Release"}));
    EXPECT_EQ(Sounds.Count, 0);
    EXPECT_EQ(Sounds.Items[1].Name, "");

    Load(1); // index 0 again
    ShutdownSound();
    EXPECT_EQ(fake.Calls, (Log{"device:ShutdownMusic", "2:Stop", "2:Release", "device:Release"}));
    fake.Calls.clear();
    ShutdownSound(); // the main window's second round: nothing left
    SetMusicVolume(-1);
    EXPECT_EQ(fake.Calls, Log{});
}

TEST(SoundTableWithoutDevice, EveryCallIsANoOp) {
    fake = TFake{};
    fake.NoDevice = true;
    SetSoundDeviceFactory(MakeFakeDevice);
    InitSound(0);
    LoadWave("no/such/file.wav"); // not read: there is nothing to play it on
    PlaySound(0, false, true);
    SetSoundVolume(-1, -1000);
    SetSoundVolume(0, -1000);
    SetMusicVolume(-1000);
    FreeSounds();
    ShutdownSound();
    EXPECT_EQ(Sounds.Count, 0);
    EXPECT_EQ(fake.Calls, Log{});
}
