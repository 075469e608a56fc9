// A window showing game frames: scaled into the window's own surface on the
// processor, or drawn by a renderer that waits for the display.
#include "platform/detail/sdl_ptrs.h"

namespace dexlora::platform_detail {

FrameWindow::FrameWindow(const char* caption, int width, int height, Uint32 windowFlags, Uint32 pixelFormat)
    : width_(width), height_(height), pixelFormat_(pixelFormat) {
    window.reset(SDL_CreateWindow(caption, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height, windowFlags));
    if (!window) FailSdl("SDL_CreateWindow");
}

void FrameWindow::Choose(PresentPath path) {
    if (chosen_ && path == path_) return;
    chosen_ = true;
    path_ = path;
    texture.reset();
    renderer.reset();
    target_ = nullptr;
    // The display server reads the window's surface from shared memory; SDL
    // must not put a renderer of its own behind it (a user's own setting of
    // the hint still wins).
    if (path == PresentPath::Software) SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (path != PresentPath::Accelerated) return;
    renderer.reset(SDL_CreateRenderer(window.get(), -1, SDL_RENDERER_PRESENTVSYNC));
    if (!renderer) renderer.reset(SDL_CreateRenderer(window.get(), -1, SDL_RENDERER_SOFTWARE));
    if (!renderer) FailSdl("SDL_CreateRenderer");
    if (SDL_RenderSetLogicalSize(renderer.get(), width_, height_) != 0) FailSdl("SDL_RenderSetLogicalSize");
    texture.reset(SDL_CreateTexture(renderer.get(), pixelFormat_, SDL_TEXTUREACCESS_STREAMING, width_, height_));
    if (!texture) FailSdl("SDL_CreateTexture");
}

SDL_Surface& FrameWindow::Target() {
    SDL_Surface* surface = SDL_GetWindowSurface(window.get());
    if (surface == nullptr) FailSdl("SDL_GetWindowSurface");
    if (surface != target_ || surface->w != targetW_ || surface->h != targetH_) {
        // A new surface (the window's size changed; it may take the old
        // one's address): its bars are painted once, and the frame's place
        // worked out again.
        target_ = surface, targetW_ = surface->w, targetH_ = surface->h;
        area_ = FrameArea(width_, height_, surface->w, surface->h);
        if (SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0)) != 0) FailSdl("SDL_FillRect");
    }
    return *surface;
}

void FrameWindow::Upload(const SDL_Surface& frame) {
    if (!chosen_) Choose(path_);
    if (path_ == PresentPath::Accelerated) {
        int w = 0, h = 0;
        SDL_QueryTexture(texture.get(), nullptr, nullptr, &w, &h);
        if (w != frame.w || h != frame.h) {
            texture.reset(SDL_CreateTexture(renderer.get(), frame.format->format, SDL_TEXTUREACCESS_STREAMING,
                                            frame.w, frame.h));
            if (!texture) FailSdl("SDL_CreateTexture");
            // A frame composed at the output's own size is shown pixel for
            // pixel: nothing to filter.
            if (frame.w != width_) SDL_SetTextureScaleMode(texture.get(), SDL_ScaleModeNearest);
        }
        if (SDL_UpdateTexture(texture.get(), nullptr, frame.pixels, frame.pitch) != 0) FailSdl("SDL_UpdateTexture");
        return;
    }
    SDL_Surface& target = Target();
    if (target.format->format == frame.format->format) {
        scaler_.Scale(frame, target, area_);
    } else if (SDL_BlitScaled(const_cast<SDL_Surface*>(&frame), nullptr, &target, &area_) != 0) {
        // A display of another depth: SDL converts (and scales) as it copies.
        FailSdl("SDL_BlitScaled");
    }
}

void FrameWindow::Show() {
    if (!chosen_) Choose(path_);
    if (path_ == PresentPath::Software) {
        // A surface lost to a change of size since the upload is shown black
        // this once; the next frame fills the new one.
        if (SDL_UpdateWindowSurface(window.get()) != 0) {
            Target();
            if (SDL_UpdateWindowSurface(window.get()) != 0) FailSdl("SDL_UpdateWindowSurface");
        }
        return;
    }
    // Only bars need clearing: a frame that fills the window covers it all.
    int w = 0, h = 0;
    if (SDL_GetRendererOutputSize(renderer.get(), &w, &h) != 0 || int64_t{w} * height_ != int64_t{h} * width_) {
        if (SDL_SetRenderDrawColor(renderer.get(), 0, 0, 0, SDL_ALPHA_OPAQUE) != 0 ||
            SDL_RenderClear(renderer.get()) != 0) {
            FailSdl("SDL_RenderClear");
        }
    }
    if (SDL_RenderCopy(renderer.get(), texture.get(), nullptr, nullptr) != 0) FailSdl("SDL_RenderCopy");
    SDL_RenderPresent(renderer.get());
}

void FrameWindow::ToFrame(int& x, int& y) const {
    if (path_ != PresentPath::Software) return;
    // Where the next frame goes: the window's size may have changed since the last.
    int w = 0, h = 0;
    SDL_GetWindowSize(window.get(), &w, &h);
    const SDL_Rect area = FrameArea(width_, height_, w, h);
    if (area.w <= 0 || area.h <= 0) return;
    // Rounded down, so that a point left of or above the frame stays outside it.
    auto map = [](int at, int start, int size, int frame) {
        const int64_t scaled = int64_t{at - start} * frame;
        return int(scaled >= 0 ? scaled / size : -((-scaled + size - 1) / size));
    };
    x = map(x, area.x, area.w, width_);
    y = map(y, area.y, area.h, height_);
}

}  // namespace dexlora::platform_detail
