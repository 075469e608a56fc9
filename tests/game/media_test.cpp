// Pictures, sounds and text on the headless session: files that load with
// their sizes, colours and formats or raise, sounds restarted and outliving
// the session, kana drawn in the fore colour where asked, and fonts closed
// with their session.
#include <SDL.h>
#include <SDL_image.h>
#include <SDL_ttf.h>

#include <chrono>
#include <numeric>
#include <thread>

#include "platform/sound.h"
#include "tests/support/fixture.h"

namespace dexlora::test {
namespace {

std::string Le16(uint32_t v) { return {char(v), char(v >> 8)}; }
std::string Le32(uint32_t v) { return Le16(v) + Le16(v >> 16); }

// The test picture: 63x32 (rows that need padding at every depth), in blocks
// of 16x16 whose colours differ across and down.
constexpr int W = 63, H = 32;
const int32_t Colours[] = {Red, Green, Blue, White, 0x123456};
int32_t Block(int x, int y) { return (x / 16 + y / 16 * 3) % 5; }

// The test picture as an uncompressed bitmap, rows bottom-up; at 8 bits through a palette.
std::string MakeBitmap(int bpp) {
    auto bgr0 = [](int32_t c) { return std::string{char(c >> 16), char(c >> 8), char(c), 0}; };
    std::string pixels, palette;
    for (int row = 0; row < H; ++row) {
        for (int x = 0, i = Block(x, H - 1 - row); x < W; i = Block(++x, H - 1 - row))
            pixels += bpp == 8 ? std::string(1, char(i)) : bgr0(Colours[i]).substr(0, bpp / 8);
        pixels.resize((pixels.size() + 3) / 4 * 4, '\0');
    }
    for (int32_t c : Colours) palette += bpp == 8 ? bgr0(c) : "";
    const auto offset = uint32_t(54 + palette.size()), size = uint32_t(pixels.size());
    std::string file = "BM";
    for (uint32_t field : {offset + size, 0u, offset, 40u, uint32_t(W), uint32_t(H),
                           1u | uint32_t(bpp) << 16, 0u, size, 2835u, 2835u, uint32_t(palette.size() / 4), 0u})
        file += Le32(field);
    return file + palette + pixels;
}

using MediaTest = DexloraTest;

TEST_F(MediaTest, PicturesLoadWithTheirSizesAndColoursOrRaise) {
    const std::string bitmap = MakeBitmap(24);
    SDL_Surface* s = SDL_LoadBMP_RW(SDL_RWFromConstMem(bitmap.data(), int(bitmap.size())), 1);
    ASSERT_EQ(IMG_SaveJPG(s, (root.Path() + "made.jpg").c_str(), 95), 0) << IMG_GetError();
    SDL_FreeSurface(s);
    const std::string jpeg = TempFolder::Read(root.Path() + "made.jpg");
    // An EXIF block holding a whole thumbnail JPEG, end marker included.
    const std::string thumbnail("\xFF\xE1\x00\x0F" "Exif\0\0" "\xFF\xD8\1\2\3\xFF\xD9", 17);
    // Tolerance per channel: JPEG is lossy, and only block centres are compared. (The fixture's
    // pictures, 32 bits top-down, load in every skin test.)
    const struct { bool jpegLoader; std::string bytes; const char *written, *loaded; int32_t error; int tolerance = 0; }
    cases[] = {
        {false, MakeBitmap(8), "8.bmp", "8.bmp", 0, 0},
        {false, bitmap, "Skin/Pics/Back.BMP", "SKIN\\pics\\back.bmp", 0, 0},
        {true, jpeg.substr(0, 2) + thumbnail + jpeg.substr(2) + "camera trailer", "Title.JPG", "title.jpg", 0, 12},
        {true, bitmap, "bitmap.jpg", "bitmap.jpg", 0, 0},  // the Windows loader goes by content
        {true, "", "none", "missing.jpg", ErrFileNotFound},
        {false, bitmap.substr(0, bitmap.size() / 2), "half.bmp", "half.bmp", ErrDirectX},
        {true, jpeg.substr(0, jpeg.size() - 1), "cut.jpg", "cut.jpg", ErrDirectX},
    };
    for (const auto& c : cases) {
        root.Write(c.written, c.bytes);
        SurfaceDesc desc{DDSD_CAPS, 0, 0, 0, DDSCAPS_OFFSCREENPLAIN};
        const std::string p = root.Path() + c.loaded;
        SurfacePtr got;
        const auto load = [&] { got = c.jpegLoader ? DDraw->CreateSurfaceFromJpeg(p, desc) : DDraw->CreateSurfaceFromFile(p, desc); };
        EXPECT_EQ(ErrorOf(load), c.error) << c.loaded;
        if (c.error) continue;
        ASSERT_TRUE(desc.lWidth == W && desc.lHeight == H) << c.loaded << ": " << desc.lWidth << "x" << desc.lHeight;
        for (int y = c.tolerance ? 8 : 0; y < H; y += c.tolerance ? 16 : 1)
            for (int x = c.tolerance ? 8 : 0; x < W; x += c.tolerance ? 16 : 1)
                ASSERT_EQ(CountColour(*got, {x, y, x + 1, y + 1}, Colours[Block(x, y)], c.tolerance), 1)
                    << c.loaded << " at " << x << "," << y << " got " << std::hex << got->GetPixel(x, y);
    }
}

// A RIFF chunk with the pad byte of odd lengths, a 16-byte "fmt " body and a wave file.
std::string Chunk(std::string_view id, std::string_view body) {
    return std::string(id) + Le32(uint32_t(body.size())) + std::string(body) + std::string(body.size() % 2, '\0');
}
std::string Fmt(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits) {
    const uint32_t align = channels * bits / 8;
    return Le16(tag) + Le16(channels) + Le32(rate) + Le32(rate * align) + Le16(align) + Le16(bits);
}
std::string Riff(std::initializer_list<std::string> chunks) {
    const std::string body = std::accumulate(chunks.begin(), chunks.end(), std::string("WAVE"));
    return "RIFF" + Le32(uint32_t(body.size())) + body;
}
std::string MakeWave(uint16_t bits, uint16_t channels, uint32_t rate, uint32_t frames) {
    return Riff({Chunk("fmt ", Fmt(1, channels, rate, bits)), Chunk("data", std::string(frames * channels * bits / 8, '\x40'))});
}

TEST_F(MediaTest, WaveFilesLoadWithTheirFormatOrRaise) {
    DSBUFFERDESC desc{DSBCAPS_STATIC};
    const std::string data = Chunk("data", std::string(64, '\x10')), whole = MakeWave(16, 2, 44100, 100);
    const std::string extensible =
        Fmt(0xFFFE, 2, 22050, 16) + Le16(22) + Le16(16) + Le32(3) + Le16(1) + std::string(14, '\0');
    // The error raised, or the channels, rate and bits of what loads (as PCM).
    const struct { const char* name; std::string bytes; int32_t error; std::string format = ""; } cases[] = {
        {"extensible PCM", Riff({Chunk("fmt ", extensible), data}), 0, "2 22050 16"},
        {"odd chunk, data, then fmt", Riff({Chunk("LIST", "abc"), data, Chunk("fmt ", Fmt(1, 1, 8000, 16))}), 0, "1 8000 16"},
        {"RIFF length left wrong", "RIFF" + Le32(4) + whole.substr(8), 0, "2 44100 16"},
        {"11 Hz, 300 frames (4.8 MB converted)", MakeWave(8, 1, 11, 300), 0, "1 11 8"},
        {"missing", "", ErrFileNotFound},
        {"not RIFF", "RIFX" + whole.substr(4), ErrDirectX},
        {"no data chunk", Riff({Chunk("fmt ", Fmt(1, 1, 8000, 8))}), ErrDirectX},
        {"half a frame only", Riff({Chunk("fmt ", Fmt(1, 2, 8000, 16)), Chunk("data", "ab")}), ErrDirectX},
    };
    for (const auto& c : cases) {
        WAVEFORMATEX format{};
        const std::string path = c.bytes.empty() ? root.Path() + "none.wav" : root.Write("s.WAV", c.bytes);
        EXPECT_EQ(ErrorOf([&] { DSound->CreateSoundBufferFromFile(path, desc, format); }), c.error) << c.name;
        const std::string loaded = Words(format.nFormatTag, format.nChannels, format.lSamplesPerSec, format.nBitsPerSample);
        EXPECT_EQ(c.error ? "1 " : loaded, "1 " + c.format) << c.name;
    }
}

// The game restarts a sound on every key; buffers outnumber the mixer's 8 default channels, and
// outlive the device and the session.
TEST(SoundSessionTest, SoundsRestartOnTheirOwnChannelsAndOutliveTheSession) {
    auto session = std::make_unique<PlatformSession>(DisplayKind::Headless);
    DirectSoundPtr dsound = DirectSoundCreate("");
    TempFolder folder;
    DSBUFFERDESC desc{DSBCAPS_STATIC};
    WAVEFORMATEX format;
    const std::string longer = folder.Write("l.wav", MakeWave(16, 2, 44100, 44100));
    std::vector<SoundBufferPtr> sounds(12);
    for (auto& s : sounds) (s = dsound->CreateSoundBufferFromFile(longer, desc, format))->Play(0);
    sounds[3] = nullptr;  // frees its channel for the next buffer, touching no other
    (sounds[3] = dsound->CreateSoundBufferFromFile(folder.Write("s.wav", MakeWave(8, 1, 11025, 11025)), desc, format))->Play(0);
    for (size_t i = 0; i < sounds.size(); ++i) EXPECT_TRUE(sounds[i]->IsPlaying()) << i;
    for (const auto& [sound, length] : {std::pair{sounds[0], 44100 * 4}, {sounds[3], 11025}}) {
        for (const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
             sound->GetCurrentPosition() <= length / 3 && std::chrono::steady_clock::now() < until;)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        for (int i = 0; i < 50; ++i) {
            sound->Stop(), sound->SetCurrentPosition(0), sound->Play(0);
            ASSERT_TRUE(sound->IsPlaying()) << "restart " << i;
        }
        EXPECT_LT(sound->GetCurrentPosition(), length / 3) << "started again from the beginning";
    }
    dsound.reset();
    sounds[0]->Stop(), sounds[0]->Play(0);
    EXPECT_TRUE(sounds[0]->IsPlaying()) << "the buffers keep the mixer open";
    session.reset();  // closes audio under the living buffers
    EXPECT_FALSE(sounds[0]->IsPlaying());
    sounds[0]->SetCurrentPosition(8), sounds[0]->Play(0), sounds[0]->SetVolume(0);
    EXPECT_TRUE(sounds[0]->GetCurrentPosition() == 8 && !sounds[0]->IsPlaying());
}

// A fresh surface of the back colour with text drawn transparent at (x, y).
SurfacePtr Draw(int32_t w, int32_t h, int32_t back, const char* face, int32_t fore, int x, int y,
                const std::string& text) {
    SurfaceDesc desc = OffscreenDesc(w, h);
    SurfacePtr s = DDraw->CreateSurface(desc);
    s->FillRect(RECT{0, 0, w, h}, back);
    s->SetFont(StdFont{face, 20.0f, false}), s->SetForeColor(fore), s->SetFontTransparency(true);
    s->DrawText(x, y, text, false);
    return s;
}
std::vector<int32_t> Render(const char* face, const std::string& text) {
    return Pixels(*Draw(80, 60, White, face, Black, 2, 2, text), {0, 0, 80, 60});
}

TEST_F(MediaTest, KanaAreDrawnInEveryFaceInTheForeColourClippedAndCached) {
    // The two Japanese faces by one of their names each, a face without kana that borrows them, none at all.
    for (const char* face : {"MS UI Gothic", "ＭＳ ゴシック", "DejaVu Sans", "No Such Face", ""}) {
        const auto a = Render(face, "あ"), i = Render(face, "い"), box = Render(face, "\xEE\x80\x80");  // private use
        EXPECT_GT(std::count_if(a.begin(), a.end(), [](int32_t p) { return p != White; }), 20) << face;
        EXPECT_TRUE(a != i && a != box && i != box) << face << ": kana alike, or drawn as the missing-glyph box";
    }
    for (auto [x, y, visible] :
         {std::tuple{-12, -10, true}, {50, 5, true}, {-1000, 5, false}, {INT32_MIN / 2, INT32_MAX / 2, false}}) {
        SurfacePtr clipped = Draw(64, 40, White, "MS UI Gothic", Black, x, y, "WWWWWWWW");
        EXPECT_EQ(CountColour(*clipped, {0, 0, 64, 40}, White) < 64 * 40, visible) << x << ", " << y;
    }
    const auto first = Render("MS UI Gothic", "問題 0");  // then far more texts than the cache holds
    SurfacePtr s = Draw(200, 80, Blue, "MS UI Gothic", White, 0, 0, "");
    for (int i = 0; i < 1500; ++i) s->DrawText(0, 0, "問題 " + std::to_string(i), false);
    EXPECT_EQ(Render("MS UI Gothic", "問題 0"), first);
}

// The fonts a session opened close with it, before SDL does.
TEST_F(MediaTest, FontsCloseWithTheirSession) {
    Render("MS UI Gothic", "あ");
    ASSERT_NE(TTF_WasInit(), 0);
    StartSession();
    EXPECT_EQ(TTF_WasInit(), 0) << "a new session has opened no font yet";
}

}  // namespace
}  // namespace dexlora::test
