// Wave files checked field by field and playback over the dummy audio device:
// restarts from the start, one channel per buffer, buffers outliving the session.
#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <thread>
#include <tuple>
#include <vector>

#include "tests/media/media_fixture.h"

namespace dexlora::test {
namespace {

// A RIFF chunk: id, length, body and the pad byte of odd lengths.
std::string Chunk(std::string_view id, std::string_view body) {
    return std::string(id) + Le32(static_cast<uint32_t>(body.size())) + std::string(body) +
           std::string(body.size() % 2, '\0');
}
// A "fmt " chunk body of 16 bytes.
std::string FmtBody(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits) {
    const uint32_t align = channels * bits / 8;
    return Le16(tag) + Le16(channels) + Le32(rate) + Le32(rate * align) + Le16(align) + Le16(bits);
}
std::string Riff(const std::vector<std::string>& chunks) {
    std::string body = "WAVE";
    for (const auto& c : chunks) body += c;
    return "RIFF" + Le32(static_cast<uint32_t>(body.size())) + body;
}
// A PCM wave file of a steady level, frames sample frames long.
std::string MakeWave(uint16_t bits, uint16_t channels, uint32_t rate, uint32_t frames) {
    const std::string samples(frames * channels * bits / 8, '\x40');
    return Riff({Chunk("fmt ", FmtBody(1, channels, rate, bits)), Chunk("data", samples)});
}

class SoundTest : public MediaTest {
protected:
    WAVEFORMATEX format;  // of the last file loaded
    int files = 0;

    // A buffer of the bytes saved as a file; of no file at all when missing.
    SoundBufferPtr Load(const std::string& bytes, bool missing = false) {
        DSBUFFERDESC desc{DSBCAPS_STATIC};
        const std::string name = std::to_string(++files) + ".WAV";
        const std::string path = missing ? folder.Path() + name : folder.Write(name, bytes);
        return dsound->CreateSoundBufferFromFile(path, desc, format);
    }

    // Waits (up to a generous bound) for a condition the audio thread brings about.
    static bool WaitFor(const std::function<bool()>& done) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!done() && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        return done();
    }
};

TEST_F(SoundTest, WaveFilesLoadWithTheirFormatOrRaise) {
    ASSERT_TRUE(dsound->HasAudio()) << "the dummy audio driver plays";
    const std::string data = Chunk("data", std::string(64, '\x10'));
    const std::string whole = MakeWave(16, 2, 44100, 100);
    const std::string extensible =
        FmtBody(0xFFFE, 2, 22050, 16) + Le16(22) + Le16(16) + Le32(3) + Le16(1) + std::string(14, '\0');
    const struct {
        const char* name;
        std::string bytes;
        int32_t error;  // 0: loads as PCM of channels x rate x bits
        int16_t channels = 0;
        int32_t rate = 0;
        int16_t bits = 0;
    } cases[] = {
        {"8-bit mono 11025", MakeWave(8, 1, 11025, 100), 0, 1, 11025, 8},
        {"extensible PCM", Riff({Chunk("fmt ", extensible), data}), 0, 2, 22050, 16},
        {"odd chunk before data", Riff({Chunk("fmt ", FmtBody(1, 1, 8000, 8)), Chunk("LIST", "abc"), data}), 0, 1, 8000,
         8},
        {"data before fmt", Riff({data, Chunk("fmt ", FmtBody(1, 1, 8000, 16))}), 0, 1, 8000, 16},
        {"RIFF length left wrong", "RIFF" + Le32(4) + whole.substr(8), 0, 2, 44100, 16},
        {"missing", "", ErrFileNotFound},
        {"zero bytes", "", ErrDirectX},
        {"not RIFF", "RIFX" + whole.substr(4), ErrDirectX},
        {"no fmt chunk", Riff({data}), ErrDirectX},
        {"no data chunk", Riff({Chunk("fmt ", FmtBody(1, 1, 8000, 8))}), ErrDirectX},
        {"half a frame only", Riff({Chunk("fmt ", FmtBody(1, 2, 8000, 16)), Chunk("data", "ab")}), ErrDirectX},
        {"24-bit", Riff({Chunk("fmt ", FmtBody(1, 1, 8000, 24)), data}), ErrDirectX},
        {"float", Riff({Chunk("fmt ", FmtBody(3, 1, 8000, 32)), data}), ErrDirectX},
        {"three channels", Riff({Chunk("fmt ", FmtBody(1, 3, 8000, 16)), data}), ErrDirectX},
        {"rate 0", Riff({Chunk("fmt ", FmtBody(1, 1, 0, 8)), data}), ErrDirectX},
        {"data cut short", whole.substr(0, whole.size() - 40), ErrDirectX},
    };
    for (const auto& c : cases) {
        format = WAVEFORMATEX{};
        EXPECT_EQ(ErrorOf([&] { Load(c.bytes, c.error == ErrFileNotFound); }), c.error) << c.name;
        if (c.error == 0) {
            EXPECT_EQ(std::tuple(format.nFormatTag, format.nChannels, format.lSamplesPerSec, format.nBitsPerSample),
                      std::tuple(int16_t{1}, c.channels, c.rate, c.bits))
                << c.name;
        }
    }
}

// Files whose sound would grow enormous once converted to the mixer's rate,
// or whose chunk sizes point far past the file's end.
TEST_F(SoundTest, ExtremeWavesLoadWithinBoundsOrRaise) {
    ASSERT_TRUE(dsound->HasAudio());
    const std::string fmt = Chunk("fmt ", FmtBody(1, 1, 8000, 8));
    const std::string data = Chunk("data", std::string(64, '\x10'));
    const struct {
        const char* name;
        std::string bytes;
        int32_t error;
    } cases[] = {
        {"1 Hz, 16 KB", MakeWave(8, 1, 1, 16384), ErrDirectX},
        {"10 Hz, one frame", MakeWave(8, 1, 10, 1), ErrDirectX},
        {"11 Hz, 300 frames (4.8 MB converted)", MakeWave(8, 1, 11, 300), 0},
        {"384000 Hz, 8-bit, tiny", MakeWave(8, 1, 384000, 3), 0},
        {"384000 Hz stereo, 16-bit, 8 MB", MakeWave(16, 2, 384000, 2 << 20), 0},
        {"22050 Hz stereo, 16-bit, 6 MB", MakeWave(16, 2, 22050, 1536 * 1024), 0},
        {"8000 Hz mono, 8-bit, 16 MB (converted past the limit)", MakeWave(8, 1, 8000, 16 << 20), ErrDirectX},
        {"data chunk of 4 GB", Riff({fmt}) + "data" + Le32(0xFFFFFFFF) + std::string(64, '\x10'), ErrDirectX},
        {"chunk of 4 GB before data", Riff({fmt}) + "LIST" + Le32(0xFFFFFFF0) + data, ErrDirectX},
        {"format chunk of 4 GB", Riff({}) + "fmt " + Le32(0xFFFFFFFF) + FmtBody(1, 1, 8000, 8) + data, ErrDirectX},
        {"odd chunk of 2^32 - 1 bytes then data", Riff({fmt}) + "junk" + Le32(0xFFFFFFFF) + data, ErrDirectX},
    };
    LargestAllocation counting;
    for (const auto& c : cases) {
        SoundBufferPtr buffer;
        LargestAllocation::Largest = 0;
        EXPECT_EQ(ErrorOf([&] { buffer = Load(c.bytes); }), c.error) << c.name;
        EXPECT_LT(LargestAllocation::Largest, size_t{64} << 20) << c.name << ": the converter's buffers grew with the rate";
        if (c.error == 0 && buffer) {
            buffer->Play(0);
            EXPECT_TRUE(buffer->IsPlaying()) << c.name;
            buffer->Stop();
        }
    }
}

TEST_F(SoundTest, RestartedSoundStartsFromItsBeginning) {
    for (const std::string& bytes : {MakeWave(8, 1, 11025, 11025), MakeWave(16, 2, 44100, 44100)}) {
        SoundBufferPtr sound = Load(bytes);
        SCOPED_TRACE(format.nBitsPerSample);
        const auto length = static_cast<int32_t>(bytes.size() - 44);
        sound->Play(0);
        ASSERT_TRUE(WaitFor([&] { return sound->GetCurrentPosition() > length / 3; })) << "playback runs";
        sound->Stop();
        EXPECT_FALSE(sound->IsPlaying());
        const int32_t stoppedAt = sound->GetCurrentPosition();
        EXPECT_GT(stoppedAt, 0) << "Stop keeps the position";
        EXPECT_LT(stoppedAt, length);
        // The game's restart, as on every key: many in a row never fail.
        for (int i = 0; i < 50; ++i) {
            sound->Stop();
            sound->SetCurrentPosition(0);
            EXPECT_EQ(sound->GetCurrentPosition(), 0);
            sound->Play(0);
            ASSERT_TRUE(sound->IsPlaying()) << "restart " << i;
        }
        EXPECT_LT(sound->GetCurrentPosition(), stoppedAt) << "started again from the beginning";
    }
}

TEST_F(SoundTest, ManyBuffersPlayOnTheirOwnChannelsAndOutliveTheSession) {
    std::vector<SoundBufferPtr> sounds(12);  // more than the mixer's 8 default channels
    for (auto& s : sounds) (s = Load(MakeWave(16, 2, 44100, 44100)))->Play(0);
    auto allPlaying = [&](const char* when) {
        for (size_t i = 0; i < sounds.size(); ++i) EXPECT_TRUE(sounds[i]->IsPlaying()) << when << " " << i;
    };
    allPlaying("all started");
    // Releasing one frees its channel without touching the others, and a new
    // buffer takes the freed channel.
    sounds[3] = nullptr;
    sounds[3] = Load(MakeWave(8, 1, 11025, 11025));
    sounds[3]->Play(0);
    allPlaying("one replaced");

    dsound.reset();
    sounds[0]->Stop();
    sounds[0]->Play(0);
    EXPECT_TRUE(sounds[0]->IsPlaying()) << "the buffers keep the mixer open";
    session.reset();  // closes audio under the living buffers
    EXPECT_FALSE(sounds[0]->IsPlaying());
    sounds[0]->SetCurrentPosition(8);
    EXPECT_EQ(sounds[0]->GetCurrentPosition(), 8);
    sounds[0]->Play(0);
    sounds[0]->SetVolume(0);
    EXPECT_FALSE(sounds[0]->IsPlaying());
}

}  // namespace
}  // namespace dexlora::test
