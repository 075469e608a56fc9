// Pictures and sounds reach the game in its own formats exactly as SDL's
// decoders and the files have them: every pixel of every kind of picture,
// and the bytes of a sound the mixer opened for.
#include <SDL.h>
#include <SDL_image.h>
#include <SDL_mixer.h>

#include <atomic>

#include "platform/sound.h"
#include "tests/support/fixture.h"

namespace dexlora::test {
namespace {

std::string Le16(uint32_t v) { return {char(v), char(v >> 8)}; }
std::string Le32(uint32_t v) { return Le16(v) + Le16(v >> 16); }

std::string Source(const char* path) { return TempFolder::Read(std::string(DEXLORA_SOURCE_DIR) + "/" + path); }

using DecodingTest = DexloraTest;

TEST_F(DecodingTest, PicturesMatchSdlsOwnDecodingPixelForPixel) {
    const std::string bottomUp = Source("fuzz/corpus/picture/rgb24-bmp");
    const struct { const char* name; std::string bytes; } cases[] = {
        {"24-bit bottom-up, padded rows", bottomUp},
        {"24-bit without its last padding (refused)", bottomUp.substr(0, bottomUp.size() - 1)},
        {"32-bit top-down", Source("fuzz/corpus/picture/rgb32-top-down-bmp")},
        {"colour JPEG, odd size", Source("fuzz/corpus/picture/colour-odd-size-jpg")},
        {"grey JPEG", Source("fuzz/corpus/picture/grey-jpg")},
        {"the standard skin's game picture", Source("skins/Standard/game.jpg")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = root.Write("p.jpg", c.bytes);
        SurfaceDesc desc{};
        SurfacePtr got;
        const int32_t error = ErrorOf([&] { got = DDraw->CreateSurfaceFromJpeg(path, desc); });
        SDL_Surface* decoded = IMG_Load(path.c_str());
        ASSERT_EQ(error != 0, decoded == nullptr) << IMG_GetError();
        if (decoded == nullptr) continue;
        SDL_Surface* want = SDL_ConvertSurfaceFormat(decoded, SDL_PIXELFORMAT_BGR888, 0);  // packed as GetPixel packs
        ASSERT_TRUE(want && got->Width() == want->w && got->Height() == want->h);
        int wrong = 0;
        for (int i = 0; i < want->w * want->h; ++i)
            wrong += got->GetPixel(i % want->w, i / want->w) != int32_t(static_cast<Uint32*>(want->pixels)[i]);
        SDL_FreeSurface(want), SDL_FreeSurface(decoded);
        EXPECT_EQ(wrong, 0);
    }
}

// What the mixer plays, taken after mixing.
std::atomic<size_t> g_heard{0};
Uint8 g_stream[1 << 15];
void Hear(void*, Uint8* stream, int length) {
    const size_t n = std::min(size_t(length), sizeof g_stream - g_heard);
    std::copy(stream, stream + n, g_stream + g_heard.load()), g_heard += n;
}

// The mixer runs at 44100 Hz in stereo whatever the sounds; one in its format plays byte for byte.
TEST_F(DecodingTest, ASoundInTheMixersFormatPlaysAsItIs) {
    const struct { uint16_t channels; uint32_t rate; const char* mixer; } cases[] = {
        {1, 22050, "44100 2"}, {2, 44100, "44100 2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rate);
        StartSession();
        std::string samples;  // a ramp with no silent sample, so that its start is plain to see
        for (uint32_t i = 0; i < c.rate / 10 * c.channels; ++i) samples += Le16(1000 + i % 3000);
        const uint32_t align = c.channels * 2u;
        const std::string body = "WAVEfmt " + Le32(16) + Le16(1) + Le16(c.channels) + Le32(c.rate) +
                                 Le32(c.rate * align) + Le16(align) + Le16(16) + "data" + Le32(uint32_t(samples.size()));
        DSBUFFERDESC desc{DSBCAPS_STATIC};
        WAVEFORMATEX format{};
        const std::string path = root.Write("s.wav", "RIFF" + Le32(uint32_t(body.size() + samples.size())) + body + samples);
        SoundBufferPtr sound = DSound->CreateSoundBufferFromFile(path, desc, format);
        int rate = 0, channels = 0;
        Uint16 mixed = 0;
        ASSERT_TRUE(DSound->HasAudio() && Mix_QuerySpec(&rate, &mixed, &channels));
        EXPECT_EQ(Words(rate, channels), c.mixer);
        if (rate != int(c.rate)) continue;
        g_heard = 0;
        Mix_SetPostMix(Hear, nullptr), sound->Play(0);
        for (int ms = 0; g_heard < sizeof g_stream && ms < 5000; ms += 5) SDL_Delay(5);
        Mix_SetPostMix(nullptr, nullptr);
        const std::string heard(reinterpret_cast<const char*>(g_stream), sizeof g_stream);
        EXPECT_TRUE(heard.substr(std::min(heard.find_first_not_of('\0'), heard.size()), samples.size()) == samples)
            << "not the file's bytes";
    }
}

}  // namespace
}  // namespace dexlora::test
