// Shared inside platform/ only: the SDL objects behind the DirectX vocabulary. Nothing outside platform/ includes this header.
#pragma once

#include <SDL.h>

#include <functional>
#include <memory>

#include "platform/detail/sdl_ptrs.h"
#include "platform/surface.h"

namespace dexlora::platform_detail {

// Every game surface uses this pixel format.
inline constexpr Uint32 GamePixelFormat = SDL_PIXELFORMAT_XRGB8888;

// Packed game colour (red + 256 green + 65536 blue) <-> XRGB8888 pixel.
inline Uint32 ColorToPixel(int32_t color) {
    const Uint32 r = color & 0xFF, g = (color >> 8) & 0xFF, b = (color >> 16) & 0xFF;
    return (r << 16) | (g << 8) | b;
}
inline int32_t PixelToColor(Uint32 pixel) {
    const int32_t r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
    return r | (g << 8) | (b << 16);
}

// A new XRGB8888 surface (filled black), or null when SDL cannot make it.
SurfaceOwner NewGameSurface(int width, int height);
// Converts any SDL surface to a new XRGB8888 one (null on failure). The
// result has no colour key and is never RLE-encoded.
SurfaceOwner ToGameSurface(SDL_Surface* any);

// Registers a teardown (closing the mixer, the fonts) that the platform session
// runs, latest first, before SDL_Quit when it ends.
void AtSessionEnd(std::function<void()> teardown);

}  // namespace dexlora::platform_detail

namespace dexlora {

struct DirectDrawSurface7::Impl {
    ~Impl();
    // The pixels brought up to date, to read (Pixels) or to change
    // (Writable); about to be overwritten whole, nothing to bring up to
    // date (Overwritten). Nothing reaches them another way.
    SDL_Surface* Pixels();
    SDL_Surface* Writable();
    SDL_Surface* Overwritten();

    platform_detail::SurfaceOwner surface;   // XRGB8888, never RLE
    // Back buffer only: after Flip exchanged the pixels, this surface's
    // content is the frame just shown, which stays in the primary's pixels
    // named here; it is copied across only when this surface is next used.
    const SDL_Surface* shown = nullptr;
    bool hasColorKey = false;
    Uint32 colorKeyPixel = 0;                // in XRGB8888 form
    StdFont font;
    int32_t foreColor = 0;
    int32_t backColor = 0xFFFFFF;
    bool fontTransparent = true;
    bool primary = false;
    int32_t caps = DDSCAPS_OFFSCREENPLAIN;   // as GetSurfaceDesc reports it
    std::shared_ptr<DirectDrawSurface7> back;  // primary only
};

// Wraps an owned XRGB8888 SDL surface in a game surface.
SurfacePtr MakeSurface(platform_detail::SurfaceOwner surface);

}  // namespace dexlora
