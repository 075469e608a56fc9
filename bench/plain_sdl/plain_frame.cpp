// The typing-scene frame with SDL2, SDL_ttf and fontconfig alone.
#include "plain_sdl/plain_frame.h"

#include <fontconfig/fontconfig.h>

#include <stdexcept>
#include <string>

namespace plain_sdl {

const char* const kTexts[4] = {
    "タイピング練習Dexloraへ、ようこそ！キーを押してね！！",
    "残り時間 60 秒　コンボ 123 ミス 4 クリア 567",
    "ＳＣＯＲＥ：12345 ランクＡ 正確さ98.5％です！！！",
    "Press any key: 何かキーを押すと始まります！！",
};

namespace {

constexpr int kWidth = 640, kHeight = 480;
constexpr Uint32 kKey = 0xFF00FF;

[[noreturn]] void Fail(const std::string& what) { throw std::runtime_error(what + ": " + SDL_GetError()); }

Surface NewSurface(int w, int h) {
    Surface s(SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_XRGB8888));
    if (!s) Fail("SDL_CreateRGBSurfaceWithFormat");
    return s;
}

void Fill(SDL_Surface* s, int x0, int y0, int x1, int y1, Uint32 rgb) {
    SDL_Rect r{x0, y0, x1 - x0, y1 - y0};
    SDL_FillRect(s, &r, rgb);
}

// Cells of a disc on the key colour, the same pictures the game's version of
// this frame draws.
Surface KeyedPicture(int cols, int w, int h) {
    Surface s = NewSurface(cols * w, h);
    Fill(s.get(), 0, 0, cols * w, h, kKey);
    auto* px = static_cast<Uint32*>(s->pixels);
    const int stride = s->pitch / 4;
    for (int c = 0; c < cols; ++c)
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const int dx = 2 * x - w, dy = 2 * y - h;
                if (dx * dx + dy * dy < w * h) {
                    const Uint32 red = Uint32(x * 255 / w), blue = 0x30 | Uint32(c << 6);
                    px[y * stride + c * w + x] = red << 16 | 0x60 << 8 | blue;
                }
            }
    SDL_SetColorKey(s.get(), SDL_TRUE, kKey);
    return s;
}

// The file fontconfig gives for the name the skins use, in Japanese.
std::pair<std::string, int> MatchFont(const char* name) {
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(name));
    FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>("ja"));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match) throw std::runtime_error(std::string("no font for ") + name);
    FcChar8* file = nullptr;
    int index = 0;
    FcPatternGetString(match, FC_FILE, 0, &file);
    FcPatternGetInteger(match, FC_INDEX, 0, &index);
    std::pair<std::string, int> found{reinterpret_cast<const char*>(file), index};
    FcPatternDestroy(match);
    return found;
}

}  // namespace

Session::Session() {
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) Fail("SDL_Init");
    if (TTF_Init() != 0) Fail("TTF_Init");
}

Session::~Session() {
    TTF_Quit();
    SDL_Quit();
}

Frame::Frame(Placement placement, bool vsync) {
    back_ = NewSurface(kWidth, kHeight);
    background_ = NewSurface(kWidth, kHeight);
    for (int y = 0; y < kHeight; y += 8)
        Fill(background_.get(), 0, y, kWidth, y + 8, 0x100040 | Uint32(y * 255 / kHeight) << 8);
    window_picture_ = KeyedPicture(1, 400, 60);
    sprite_sheet_ = KeyedPicture(2, 128, 128);

    const auto [file, index] = MatchFont("MS UI Gothic");
    std::unique_ptr<TTF_Font, FontDeleter> font(TTF_OpenFontIndexDPI(file.c_str(), 12, index, 96, 96));
    if (!font) Fail("TTF_OpenFontIndexDPI");
    for (int i = 0; i < 4; ++i) {
        const Uint8 grey = Uint8(0xFF - 0x20 * i);
        texts_[i].reset(TTF_RenderUTF8_Blended(font.get(), kTexts[i], SDL_Color{grey, grey, grey, 255}));
        if (!texts_[i]) Fail("TTF_RenderUTF8_Blended");
    }

    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
    int w = kWidth, h = kHeight;
    Uint32 flags = 0;
    if (placement == Placement::Desktop) {
        SDL_Rect bounds{0, 0, kWidth, kHeight};
        SDL_GetDisplayBounds(0, &bounds);
        w = bounds.w;
        h = bounds.h;
        flags = SDL_WINDOW_BORDERLESS;
    }
    window_.reset(SDL_CreateWindow("plain SDL frame", 0, 0, w, h, flags));
    if (!window_) Fail("SDL_CreateWindow");
    renderer_.reset(SDL_CreateRenderer(window_.get(), -1, vsync ? SDL_RENDERER_PRESENTVSYNC : 0));
    if (!renderer_) Fail("SDL_CreateRenderer");
    if (SDL_RenderSetLogicalSize(renderer_.get(), kWidth, kHeight) != 0) Fail("SDL_RenderSetLogicalSize");
    texture_.reset(SDL_CreateTexture(renderer_.get(), SDL_PIXELFORMAT_XRGB8888, SDL_TEXTUREACCESS_STREAMING, kWidth,
                                     kHeight));
    if (!texture_) Fail("SDL_CreateTexture");
}

void Frame::Compose(uint32_t marker) {
    ++tick_;
    SDL_BlitSurface(background_.get(), nullptr, back_.get(), nullptr);
    const int cell = int(tick_ / 4 % 2);
    for (int i = 0; i < 10; ++i) {
        SDL_Rect from{cell * 128, 0, 128, 128};
        SDL_Rect to{i == 9 ? 560 : 20 + 60 * i, i == 8 ? -40 : 40 + 30 * i, 128, 128};
        SDL_BlitSurface(sprite_sheet_.get(), &from, back_.get(), &to);
    }
    SDL_Rect windowAt{120, 400, 400, 60};
    SDL_BlitSurface(window_picture_.get(), nullptr, back_.get(), &windowAt);
    for (int i = 0; i < 4; ++i) {
        SDL_Rect at{30, 20 + 100 * i, 0, 0};
        SDL_BlitSurface(texts_[i].get(), nullptr, back_.get(), &at);
    }
    Fill(back_.get(), 0, 0, 8, 8, marker & 0xFFFFFF);
}

void Frame::Present() {
    SDL_UpdateTexture(texture_.get(), nullptr, back_->pixels, back_->pitch);
    SDL_SetRenderDrawColor(renderer_.get(), 0, 0, 0, 255);
    SDL_RenderClear(renderer_.get());
    SDL_RenderCopy(renderer_.get(), texture_.get(), nullptr, nullptr);
    SDL_RenderPresent(renderer_.get());
}

}  // namespace plain_sdl
