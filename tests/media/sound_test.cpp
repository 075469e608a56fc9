// Wave files checked field by field, volumes in decibels, and playback over
// the dummy audio device: restarts from the start, one channel per buffer,
// buffers outliving their device and the session.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/sound.h"
#include "platform/volume.h"
#include "platform/wave_file.h"
#include "platform/window.h"
#include "tests/media/media_files.h"
#include "tests/platform_core/temp_folder.h"

namespace dexlora {
namespace {

using test::Chunk;
using test::FmtBody;
using test::Riff;

TEST(WaveFileTest, GoodFilesGiveTheirFormatAndWholeFrames) {
    const std::string pcm16(10, '\x01');
    struct Case {
        const char* name;
        std::string bytes;
        int16_t channels;
        int32_t rate;
        int16_t bits;
        size_t sampleBytes;
    };
    std::string extensible = FmtBody(0xFFFE, 2, 22050, 16) + test::Le16(22) + test::Le16(16) + test::Le32(3) +
                             test::Le16(1) + std::string(14, '\0');
    const Case cases[] = {
        {"8-bit mono 11025", test::MakeWave(8, 1, 11025, 100), 1, 11025, 8, 100},
        {"16-bit stereo 44100", test::MakeWave(16, 2, 44100, 100), 2, 44100, 16, 400},
        {"extensible PCM", Riff({Chunk("fmt ", extensible), Chunk("data", pcm16)}), 2, 22050, 16, 8},
        {"odd chunk before data", Riff({Chunk("fmt ", FmtBody(1, 1, 8000, 8)), Chunk("LIST", "abc"), Chunk("data", "xyz")}),
         1, 8000, 8, 3},
        {"data before fmt", Riff({Chunk("data", pcm16), Chunk("fmt ", FmtBody(1, 1, 8000, 16))}), 1, 8000, 16, 10},
        {"half a frame at the end", Riff({Chunk("fmt ", FmtBody(1, 2, 8000, 16)), Chunk("data", pcm16)}), 2, 8000, 16,
         8},
        {"wrong RIFF length", "RIFF" + test::Le32(4) + test::MakeWave(8, 1, 8000, 50).substr(8), 1, 8000, 8, 50},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto wave = platform_detail::ParseWave(c.bytes, c.name);
        EXPECT_EQ(wave.Format.nFormatTag, 1);
        EXPECT_EQ(wave.Format.nChannels, c.channels);
        EXPECT_EQ(wave.Format.lSamplesPerSec, c.rate);
        EXPECT_EQ(wave.Format.nBitsPerSample, c.bits);
        EXPECT_EQ(wave.Samples.size(), c.sampleBytes);
    }
}

// Bad wave files: each must raise, with or without an audio device.
std::vector<std::pair<const char*, std::string>> BadWaves() {
    const std::string data = Chunk("data", std::string(64, '\x10'));
    const std::string whole = test::MakeWave(16, 2, 44100, 100);
    return {
        {"zero bytes", ""},
        {"not RIFF", "RIFX" + whole.substr(4)},
        {"RIFF but not WAVE", "RIFF" + test::Le32(4) + "AVI "},
        {"no fmt chunk", Riff({data})},
        {"short fmt chunk", Riff({Chunk("fmt ", FmtBody(1, 1, 8000, 8).substr(0, 12)), data})},
        {"no data chunk", Riff({Chunk("fmt ", FmtBody(1, 1, 8000, 8))})},
        {"empty data", Riff({Chunk("fmt ", FmtBody(1, 1, 8000, 8)), Chunk("data", "")})},
        {"24-bit", Riff({Chunk("fmt ", FmtBody(1, 1, 8000, 24)), data})},
        {"float", Riff({Chunk("fmt ", FmtBody(3, 1, 8000, 32)), data})},
        {"ADPCM", Riff({Chunk("fmt ", FmtBody(2, 1, 8000, 4)), data})},
        {"three channels", Riff({Chunk("fmt ", FmtBody(1, 3, 8000, 16)), data})},
        {"rate 0", Riff({Chunk("fmt ", FmtBody(1, 1, 0, 8)), data})},
        {"data cut short", whole.substr(0, whole.size() - 40)},
    };
}

TEST(WaveFileTest, VolumeInHundredthsOfADecibel) {
    const std::pair<int32_t, int> cases[] = {
        {0, 128}, {-600, 64}, {-2000, 13}, {-4000, 1}, {-10000, 0}, {INT32_MIN, 0}, {300, 128}, {INT32_MAX, 128},
    };
    for (const auto& [hundredths, level] : cases) {
        EXPECT_EQ(platform_detail::MixerVolume(hundredths), level) << hundredths;
    }
}

class SoundTest : public ::testing::Test {
protected:
    std::unique_ptr<PlatformSession> session = std::make_unique<PlatformSession>(DisplayKind::Headless);
    testing_support::TempFolder folder;
    DirectSoundPtr dsound = DirectSoundCreate("");

    SoundBufferPtr Load(const std::string& name, const std::string& bytes, WAVEFORMATEX& format) {
        DSBUFFERDESC desc;
        desc.lFlags = DSBCAPS_STATIC;
        return dsound->CreateSoundBufferFromFile(folder.Write(name, bytes), desc, format);
    }
    SoundBufferPtr Load(const std::string& name, const std::string& bytes) {
        WAVEFORMATEX format;
        return Load(name, bytes, format);
    }

    // Waits (up to a generous bound) for a condition the audio thread brings about.
    static bool WaitFor(const std::function<bool()>& done) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!done()) {
            if (std::chrono::steady_clock::now() > until) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    }
};

TEST_F(SoundTest, BadFilesRaiseThroughTheDevice) {
    ASSERT_TRUE(dsound->HasAudio()) << "the dummy audio driver plays";
    for (const auto& [name, bytes] : BadWaves()) {
        try {
            Load("bad.wav", bytes);
            ADD_FAILURE() << name << ": loaded";
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.Number, ErrDirectX) << name;
        }
    }
    DSBUFFERDESC desc;
    WAVEFORMATEX format;
    try {
        dsound->CreateSoundBufferFromFile(folder.Path() + "none.wav", desc, format);
        ADD_FAILURE() << "a missing file loaded";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.Number, ErrFileNotFound);
    }
}

TEST_F(SoundTest, RestartedSoundStartsFromItsBeginning) {
    const std::pair<const char*, std::string> waves[] = {
        {"8-bit mono 11025 Hz", test::MakeWave(8, 1, 11025, 11025)},
        {"16-bit stereo 44100 Hz", test::MakeWave(16, 2, 44100, 44100)},
    };
    for (const auto& [name, bytes] : waves) {
        SCOPED_TRACE(name);
        WAVEFORMATEX format;
        SoundBufferPtr sound = Load("Key.WAV", bytes, format);
        const int32_t length = static_cast<int32_t>(bytes.size() - 44);
        EXPECT_GT(format.lSamplesPerSec, 0);

        sound->Stop();
        sound->SetCurrentPosition(0);
        sound->Play(0);
        EXPECT_TRUE(sound->IsPlaying());
        ASSERT_TRUE(WaitFor([&] { return sound->GetCurrentPosition() > length / 3; })) << "playback runs";
        sound->Stop();
        EXPECT_FALSE(sound->IsPlaying());
        const int32_t stoppedAt = sound->GetCurrentPosition();
        EXPECT_GT(stoppedAt, 0) << "Stop keeps the position";
        EXPECT_LT(stoppedAt, length);

        sound->SetCurrentPosition(0);
        EXPECT_EQ(sound->GetCurrentPosition(), 0);
        sound->Play(0);
        EXPECT_TRUE(sound->IsPlaying());
        EXPECT_LT(sound->GetCurrentPosition(), stoppedAt) << "started again from the beginning";
        sound->Stop();
    }
}

TEST_F(SoundTest, RapidRestartsNeverFail) {
    SoundBufferPtr sound = Load("miss.wav", test::MakeWave(16, 1, 22050, 4410));
    for (int i = 0; i < 200; ++i) {
        sound->Stop();
        sound->SetCurrentPosition(0);
        sound->Play(0);
        ASSERT_TRUE(sound->IsPlaying()) << "restart " << i;
    }
}

TEST_F(SoundTest, ASoundThatEndedPlaysAgainFromTheStart) {
    SoundBufferPtr sound = Load("short.wav", test::MakeWave(8, 1, 11025, 300));
    sound->Play(0);
    ASSERT_TRUE(WaitFor([&] { return !sound->IsPlaying(); }));
    EXPECT_EQ(sound->GetCurrentPosition(), 0);
    sound->Play(0);
    EXPECT_TRUE(sound->IsPlaying());
}

TEST_F(SoundTest, ManyBuffersPlayAtOnceOnTheirOwnChannels) {
    // More buffers than the mixer's 8 default channels.
    std::vector<SoundBufferPtr> sounds;
    for (int i = 0; i < 12; ++i) {
        sounds.push_back(Load("s" + std::to_string(i) + ".wav", test::MakeWave(16, 2, 44100, 44100)));
        sounds.back()->SetVolume(-600);
    }
    for (auto& s : sounds) s->Play(0);
    for (size_t i = 0; i < sounds.size(); ++i) EXPECT_TRUE(sounds[i]->IsPlaying()) << i;
    // Releasing one frees its channel without touching the others, and a new
    // buffer takes the freed channel.
    sounds[3].reset();
    for (size_t i = 0; i < sounds.size(); ++i) {
        if (sounds[i]) {
            EXPECT_TRUE(sounds[i]->IsPlaying()) << i;
        }
    }
    SoundBufferPtr late = Load("late.wav", test::MakeWave(8, 1, 11025, 11025));
    late->Play(0);
    EXPECT_TRUE(late->IsPlaying());
    for (size_t i = 0; i < sounds.size(); ++i) {
        if (sounds[i]) {
            EXPECT_TRUE(sounds[i]->IsPlaying()) << i;
        }
    }
}

TEST_F(SoundTest, BuffersOutliveTheirDeviceAndTheSession) {
    SoundBufferPtr sound = Load("result.wav", test::MakeWave(16, 2, 44100, 44100));
    dsound.reset();
    sound->Play(0);
    EXPECT_TRUE(sound->IsPlaying()) << "the buffer keeps the mixer open";

    session.reset();  // closes audio under the living buffer
    EXPECT_FALSE(sound->IsPlaying());
    sound->Stop();
    sound->SetCurrentPosition(8);
    EXPECT_EQ(sound->GetCurrentPosition(), 8);
    sound->Play(0);
    sound->SetVolume(0);
    EXPECT_FALSE(sound->IsPlaying());
}

}  // namespace
}  // namespace dexlora
