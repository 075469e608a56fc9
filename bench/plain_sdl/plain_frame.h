// The typing-scene frame composed and presented with SDL2 and SDL_ttf alone,
// no layer of ours: the floor every frame figure of the game is set beside.
#pragma once

#include <SDL.h>
#include <SDL_ttf.h>

#include <array>
#include <cstdint>
#include <memory>

namespace plain_sdl {

struct SurfaceDeleter {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
struct WindowDeleter {
    void operator()(SDL_Window* w) const { SDL_DestroyWindow(w); }
};
struct RendererDeleter {
    void operator()(SDL_Renderer* r) const { SDL_DestroyRenderer(r); }
};
struct TextureDeleter {
    void operator()(SDL_Texture* t) const { SDL_DestroyTexture(t); }
};
struct FontDeleter {
    void operator()(TTF_Font* f) const { TTF_CloseFont(f); }
};
using Surface = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

// How the window is placed. Windowed640 shows the frame unscaled; Desktop is
// a borderless window covering the desktop with the frame letterboxed and
// scaled, as the game shows itself.
enum class Placement { Windowed640, Desktop };

// SDL_Init and TTF_Init for the life of the object; the video driver is the
// one SDL_VIDEODRIVER names.
class Session {
public:
    Session();
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
};

// One window, renderer and streaming texture, the pictures of the scene, and
// the four texts rendered once and kept.
class Frame {
public:
    Frame(Placement placement, bool vsync);

    // Composes the frame on the back surface: background copy, ten keyed
    // 128x128 sprites, the keyed 400x60 window and the four texts. marker
    // changes the colour of a square in the corner, so that a frame showing
    // a new input differs from the one before.
    void Compose(uint32_t marker = 0);
    // SDL_UpdateTexture + SDL_RenderCopy + SDL_RenderPresent.
    void Present();
    SDL_Window* Window() const { return window_.get(); }

private:
    Surface back_, background_, window_picture_, sprite_sheet_;
    std::array<Surface, 4> texts_;
    std::unique_ptr<SDL_Window, WindowDeleter> window_;
    std::unique_ptr<SDL_Renderer, RendererDeleter> renderer_;
    std::unique_ptr<SDL_Texture, TextureDeleter> texture_;
    uint32_t tick_ = 0;
};

// The four 30-character texts of the frame, shared with the game's version of it.
extern const char* const kTexts[4];

}  // namespace plain_sdl
