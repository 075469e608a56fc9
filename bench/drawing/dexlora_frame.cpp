// The typing-scene frame through the game's drawing layer.
#include "dexlora_frame.h"

#include <SDL.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include "app/startup.h"
#include "drawing/display.h"
#include "plain_sdl/plain_frame.h"
#include "tests/support/bmp_writer.h"

namespace dexlora::bench {

namespace {

constexpr int32_t kKey = 0xFF00FF;

SurfacePtr MakeSurface(int32_t width, int32_t height) {
    SurfaceDesc desc = OffscreenDesc(width, height);
    return DDraw->CreateSurface(desc);
}

// A picture with transparent corners around a filled disc in each cell, so
// keyed copies skip about a fifth of the pixels.
SurfacePtr MakeKeyedPicture(int32_t cols, int32_t width, int32_t height) {
    SurfacePtr surf = MakeSurface(cols * width, height);
    surf->FillRect(RECT{0, 0, cols * width, height}, kKey);
    for (int32_t c = 0; c < cols; ++c)
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x) {
                int32_t dx = 2 * x - width, dy = 2 * y - height;
                if (dx * dx + dy * dy < width * height)
                    surf->SetPixel(c * width + x, y, 0x306000 | (x * 255 / width) | (c << 22));
            }
    return surf;
}

DisplayKind KindOf(Shown shown) {
    if (shown == Shown::Headless) return DisplayKind::Headless;
    if (shown == Shown::DummyWindow) setenv("SDL_VIDEODRIVER", "dummy", 1);
    return DisplayKind::Window;
}

}  // namespace

TypingFrame::TypingFrame(Shown shown) : session_(KindOf(shown)) {
    DX = std::make_shared<DirectX7>();
    DDraw = DX->DirectDrawCreate("");
    InitDisplay(MainWindowHandle(), DDraw, DDSurfPrimary, DDSurfBack, PrimaryDesc, BackBufferDesc);
    if (shown == Shown::DummyWindow || shown == Shown::Window640) {
        // Alt+Enter leaves the desktop-wide window for a 640x480 one.
        SDL_Event e{};
        e.type = SDL_KEYDOWN;
        e.key.windowID = Uint32(MainWindowHandle());
        e.key.keysym.sym = SDLK_RETURN;
        e.key.keysym.scancode = SDL_SCANCODE_RETURN;
        e.key.keysym.mod = KMOD_LALT;
        SDL_PushEvent(&e);
        DoEvents();
    }

    background_ = MakeSurface(640, 480);
    for (int32_t y = 0; y < 480; y += 8)
        background_->FillRect(RECT{0, y, 640, y + 8}, 0x400010 | ((y * 255 / 480) << 8));
    window_ = MakeKeyedPicture(1, 400, 60);
    window_->SetColorKey(DDCKEY_SRCBLT, DDCOLORKEY{kKey, kKey});

    folder_ = std::filesystem::temp_directory_path() / ("dexlora-frame-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder_);
    std::string sheet = (folder_ / "sprite.bmp").string();
    test::WriteBmp(*MakeKeyedPicture(2, 128, 128), sheet);
    // A skin's pictures are older than the game: once the file's change
    // stamp can tell a later change apart, the sprites share one sheet, as
    // they do in play.
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    for (int i = 0; i < 10; ++i) {
        auto sprite = std::make_unique<clsAnimeCharacter>();
        sprite->InitFromFile(DDraw, sheet);
        // One sprite hangs off the right edge, one off the top, as skins
        // place them while they slide in.
        int32_t x = i == 9 ? 560 : 20 + 60 * i;
        int32_t y = i == 8 ? -40 : 40 + 30 * i;
        sprite->InitPosition(x, y, 0.0f, 0.0f);
        sprite->InitAnimeData(4, 1, 0, 2, 1, true, 1 << 30);
        sprite->AutoSetRegionColor();
        sprite->InitFirstValue();
        sprites_.push_back(std::move(sprite));
    }
    font_.Name = "MS UI Gothic";
    font_.Size = 12.0f;
}

TypingFrame::~TypingFrame() {
    sprites_.clear();
    background_.reset();
    window_.reset();
    ReleaseDisplay(MainWindowHandle());
    ReleaseGameObjects();
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

void TypingFrame::ComposeFrame(int32_t marker) {
    for (auto& sprite : sprites_) sprite->AddTC();
    DDSurfBack->BltFast(0, 0, *background_, RECT{0, 0, 640, 480}, DDBLTFAST_WAIT);
    for (auto& sprite : sprites_) sprite->PrintCharacter(DDSurfBack);
    DDSurfBack->BltFast(120, 400, *window_, RECT{0, 0, 400, 60}, DDBLTFAST_WAIT | DDBLTFAST_SRCCOLORKEY);
    for (int i = 0; i < 4; ++i) {
        DDSurfBack->SetFontTransparency(true);
        DDSurfBack->SetFont(font_);
        DDSurfBack->SetForeColor(0xFFFFFF - 0x202020 * i);
        DDSurfBack->DrawText(30, 20 + 100 * i, plain_sdl::kTexts[i], false);
    }
    DDSurfBack->FillRect(RECT{0, 0, 8, 8}, marker);
    DDSurfPrimary->Flip(nullptr, DDFLIP_WAIT);
}

void TypingFrame::CopyAndFlip() {
    DDSurfBack->BltFast(0, 0, *background_, RECT{0, 0, 640, 480}, DDBLTFAST_WAIT);
    DDSurfPrimary->Flip(nullptr, DDFLIP_WAIT);
}

}  // namespace dexlora::bench
