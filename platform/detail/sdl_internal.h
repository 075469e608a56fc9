// Shared inside platform/ only: the SDL objects behind the DirectX vocabulary. Nothing outside platform/ includes this header.
#pragma once

#include <SDL.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>

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

// Scaled composition: when the output is larger than 640x480, every surface
// of the display device holds its pixels at the output's scale while its
// coordinates stay in 640x480 units. Logical coordinate -> pixel edge.
inline int ScaledEdge(int64_t v, double scale) {
    return scale == 1.0 ? int(v) : int(std::floor(double(v) * scale + 0.5));
}
// A picture's file as it was read: its pixels are decoded from it again when
// needed, rather than kept beside their scaled copy.
struct PictureFile {
    std::string name;
    std::string bytes;
    bool jpeg = false;  // decoded as a JPEG, else as a bitmap
};
// Decodes a picture's file again (it decoded once already); raises ErrDirectX
// if that fails now, as when memory runs out.
SurfaceOwner DecodeAgain(const PictureFile& file);

// Registers a surface of the display device so that it follows the session's
// scale, and brings it to that scale now. file: a picture's file, which it is
// scaled smoothly from; null for a surface drawn on.
void AdoptSurface(DirectDrawSurface7& surface, std::shared_ptr<const PictureFile> file);
// Brings the session's surfaces to the scale the display asks for now.
void SyncComposeScale();
// Makes the surface's pixels current for its scale (a picture is scaled when
// first used). drawnOn: the caller is about to draw on it, after which it is
// no longer a picture to scale again from its own pixels. A primary answers
// with its back buffer's pixels. Nothing reaches a surface's pixels another
// way.
SDL_Surface* Settle(DirectDrawSurface7::Impl& impl, bool drawnOn);
// Called after each Flip: pictures not drawn from for a while keep only their
// files.
void ReleaseIdlePictures();
// A picture's own pixels at 640x480 units (decoded again from its file if
// they are not held); they change the picture when written.
SDL_Surface* PicturePixels(DirectDrawSurface7::Impl& impl);
// Leaves the session's list of scaled surfaces.
void ForgetSurface(DirectDrawSurface7::Impl& impl);

// Registers a teardown (closing the mixer, the fonts) that the platform session
// runs, latest first, before SDL_Quit when it ends.
void AtSessionEnd(std::function<void()> teardown);

}  // namespace dexlora::platform_detail

namespace dexlora {

struct DirectDrawSurface7::Impl {
    platform_detail::SurfaceOwner surface;   // XRGB8888, never RLE; none for a primary
    bool hasColorKey = false;
    Uint32 colorKeyPixel = 0;                // in XRGB8888 form
    StdFont font;
    int32_t foreColor = 0;
    int32_t backColor = 0xFFFFFF;
    bool fontTransparent = true;
    bool primary = false;
    int32_t caps = DDSCAPS_OFFSCREENPLAIN;   // as GetSurfaceDesc reports it
    std::shared_ptr<DirectDrawSurface7> back;  // primary only
    int32_t width = 0, height = 0;           // in 640x480 units
    double scale = 1.0;                      // pixels per unit of `surface`
    bool picture = false;                    // pixels decoded from a file, not drawn on since
    // A picture's file, while its pixels are still the file's.
    std::shared_ptr<const platform_detail::PictureFile> file;
    // A picture's own pixels beside its scaled copy: held from loading (or a
    // read of its pixels) until it is next drawn from or idle, unless they
    // changed and its file no longer has them.
    platform_detail::SurfaceOwner original;
    bool stale = false;                      // `surface` awaits scaling from its own pixels
    uint64_t lastUse = 0;                    // a picture's: the frame it was last drawn from in
};

// Wraps an owned XRGB8888 SDL surface in a game surface.
SurfacePtr MakeSurface(platform_detail::SurfaceOwner surface);
// A primary surface over its back buffer: it holds no pixels of its own, as
// Flip shows the back buffer's.
SurfacePtr MakePrimary(SurfacePtr back);

}  // namespace dexlora
