// Game surfaces: XRGB8888 pixels with BltFast (plain and colour-keyed), pixels,
// fills, boxes, the primary/back-buffer pair and Flip.
#include <SDL_image.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/detail/display_backend.h"
#include "platform/detail/sdl_internal.h"

namespace dexlora {

namespace platform_detail {

namespace {

// Larger requests are refused rather than left to exhaust memory.
constexpr int MaxSide = 16384;
constexpr int64_t MaxPixels = int64_t{1} << 26;

}  // namespace

SurfaceOwner NewGameSurface(int width, int height) {
    if (width <= 0 || height <= 0 || width > MaxSide || height > MaxSide ||
        int64_t{width} * height > MaxPixels) {
        return nullptr;
    }
    // SDL allocates the pixels zeroed: a new surface is black.
    return SurfaceOwner(SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, GamePixelFormat));
}

SurfaceOwner ToGameSurface(SDL_Surface* any) {
    if (any == nullptr) return nullptr;
    SurfaceOwner converted(SDL_ConvertSurfaceFormat(any, GamePixelFormat, 0));
    if (!converted) return nullptr;
    // The conversion carries the source's colour key and RLE wish along; game
    // surfaces keep their key themselves and must keep their pixels reachable.
    SDL_SetColorKey(converted.get(), SDL_FALSE, 0);
    SDL_SetSurfaceRLE(converted.get(), 0);
    if (converted->pixels == nullptr) return nullptr;
    return converted;
}

}  // namespace platform_detail

using platform_detail::ColorToPixel;
using platform_detail::PixelToColor;

namespace {

constexpr Uint32 RgbMask = 0x00FFFFFF;

[[noreturn]] void Fail(const char* what) { throw RuntimeError(ErrDirectX, what); }

Uint32* Row(SDL_Surface* s, int y) {
    return reinterpret_cast<Uint32*>(static_cast<Uint8*>(s->pixels) + ptrdiff_t{y} * s->pitch);
}
const Uint32* Row(const SDL_Surface* s, int y) {
    return reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(s->pixels) + ptrdiff_t{y} * s->pitch);
}

// One row of a keyed copy, written as a mask and a blend without branches so
// that the compiler turns it into vector compares.
void CopyRowKeyed(Uint32* __restrict dst, const Uint32* __restrict src, int n, Uint32 key) {
    for (int i = 0; i < n; ++i) {
        const Uint32 s = src[i];
        const Uint32 copy = Uint32(0) - Uint32((s & RgbMask) != key);
        dst[i] = (s & copy) | (dst[i] & ~copy);
    }
}

// The rows of a copy within one surface must be walked away from the overlap.
void CopyRows(SDL_Surface* dst, int x, int y, const SDL_Surface* src, const RECT& r, bool keyed, Uint32 key) {
    const int w = r.Right - r.Left, h = r.Bottom - r.Top;
    const bool upward = dst == src && y > r.Top;
    for (int i = 0; i < h; ++i) {
        const int row = upward ? h - 1 - i : i;
        Uint32* d = Row(dst, y + row) + x;
        const Uint32* s = Row(src, r.Top + row) + r.Left;
        if (keyed) {
            CopyRowKeyed(d, s, w, key);
        } else {
            std::memmove(d, s, size_t(w) * sizeof(Uint32));
        }
    }
}

// A copy between scaled surfaces: the destination covers the scaled edges of
// its logical rectangle, the source's scaled rectangle may be one pixel
// narrower or wider (rounding), its last column and row then repeated.
void CopyScaled(SDL_Surface* dst, const RECT& to, SDL_Surface* src, const RECT& from, bool keyed, Uint32 key) {
    const int w = std::min(to.Right, dst->w) - to.Left, h = std::min(to.Bottom, dst->h) - to.Top;
    const int sw = from.Right - from.Left, sh = from.Bottom - from.Top;
    if (w <= 0 || h <= 0 || sw <= 0 || sh <= 0) return;
    platform_detail::SurfaceOwner aside;
    if (dst == src) {
        // Copy the source aside: rows and columns may repeat.
        aside = platform_detail::NewGameSurface(sw, sh);
        if (!aside) Fail("BltFast: out of memory");
        CopyRows(aside.get(), 0, 0, src, from, false, 0);
        src = aside.get();
    }
    const int left = aside ? 0 : from.Left, top = aside ? 0 : from.Top;
    const int n = std::min(w, sw);
    for (int i = 0; i < h; ++i) {
        Uint32* d = Row(dst, to.Top + i) + to.Left;
        const Uint32* s = Row(src, top + std::min(i, sh - 1)) + left;
        if (keyed) {
            CopyRowKeyed(d, s, n, key);
        } else {
            std::memcpy(d, s, size_t(n) * sizeof(Uint32));
        }
        for (int x = n; x < w; ++x)
            if (!keyed || (s[sw - 1] & RgbMask) != key) d[x] = s[sw - 1];
    }
}

RECT ScaledRect(const RECT& r, double scale) {
    using platform_detail::ScaledEdge;
    return {ScaledEdge(r.Left, scale), ScaledEdge(r.Top, scale), ScaledEdge(r.Right, scale),
            ScaledEdge(r.Bottom, scale)};
}

bool Overlaps(int x, int y, const RECT& r) {
    const int w = r.Right - r.Left, h = r.Bottom - r.Top;
    return x < r.Right && r.Left < x + w && y < r.Bottom && r.Top < y + h;
}

}  // namespace

DirectDrawSurface7::DirectDrawSurface7(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
DirectDrawSurface7::~DirectDrawSurface7() { platform_detail::ForgetSurface(*impl_); }

SurfacePtr MakeSurface(platform_detail::SurfaceOwner surface) {
    if (!surface || surface->format->format != platform_detail::GamePixelFormat || surface->pixels == nullptr) {
        Fail("MakeSurface: not a game surface");
    }
    auto impl = std::make_unique<DirectDrawSurface7::Impl>();
    impl->width = surface->w;
    impl->height = surface->h;
    impl->surface = std::move(surface);
    return std::make_shared<DirectDrawSurface7>(std::move(impl));
}

SurfacePtr MakePrimary(SurfacePtr back) {
    auto impl = std::make_unique<DirectDrawSurface7::Impl>();
    impl->width = back->Width();
    impl->height = back->Height();
    impl->scale = back->Scale();
    impl->primary = true;
    impl->back = std::move(back);
    return std::make_shared<DirectDrawSurface7>(std::move(impl));
}

int32_t DirectDrawSurface7::Width() const { return impl_->width; }
int32_t DirectDrawSurface7::Height() const { return impl_->height; }
double DirectDrawSurface7::Scale() const { return impl_->scale; }

void DirectDrawSurface7::GetSurfaceDesc(DDSURFACEDESC2& desc) const {
    desc = OffscreenDesc(Width(), Height());
    desc.lCaps = impl_->caps;
    if (impl_->primary) {
        desc.lFlags |= DDSD_BACKBUFFERCOUNT;
        desc.lBackBufferCount = 1;
    }
}

void DirectDrawSurface7::BltFast(int32_t x, int32_t y, DirectDrawSurface7& src, const RECT& rect, int32_t flags) {
    if ((flags & ~(DDBLTFAST_WAIT | DDBLTFAST_SRCCOLORKEY)) != 0) Fail("BltFast: unsupported flags");
    if (rect.Right < rect.Left || rect.Bottom < rect.Top) Fail("BltFast: reversed rectangle");
    // An empty rectangle copies nothing, wherever it lies: a sprite clipped
    // away entirely is not an error.
    if (rect.Right == rect.Left || rect.Bottom == rect.Top) return;

    if (rect.Left < 0 || rect.Top < 0 || rect.Right > src.Width() || rect.Bottom > src.Height()) {
        Fail("BltFast: rectangle outside the source");
    }
    const int64_t w = int64_t{rect.Right} - rect.Left, h = int64_t{rect.Bottom} - rect.Top;
    if (x < 0 || y < 0 || x + w > Width() || y + h > Height()) Fail("BltFast: copy outside the destination");

    // Without a key on the source a keyed copy copies everything.
    const bool keyed = (flags & DDBLTFAST_SRCCOLORKEY) != 0 && src.impl_->hasColorKey;
    const Uint32 key = src.impl_->colorKeyPixel & RgbMask;
    SDL_Surface* from = platform_detail::Settle(*src.impl_, false);
    SDL_Surface* dst = platform_detail::Settle(*impl_, true);

    if (impl_->scale != 1.0 || src.impl_->scale != 1.0) {
        if (impl_->scale != src.impl_->scale) platform_detail::SyncComposeScale();
        if (impl_->scale != src.impl_->scale) Fail("BltFast: surfaces of different scales");
        from = platform_detail::Settle(*src.impl_, false);
        dst = platform_detail::Settle(*impl_, true);
        const RECT to = ScaledRect(RECT{x, y, int32_t(x + w), int32_t(y + h)}, impl_->scale);
        CopyScaled(dst, to, from, ScaledRect(rect, impl_->scale), keyed, key);
        return;
    }

    if (from == dst && keyed && Overlaps(x, y, rect)) {
        // A keyed copy onto itself reads pixels it has just written; copy
        // the source rectangle aside first.
        auto copy = platform_detail::NewGameSurface(int(w), int(h));
        if (!copy) Fail("BltFast: out of memory");
        CopyRows(copy.get(), 0, 0, from, rect, false, 0);
        CopyRows(dst, x, y, copy.get(), RECT{0, 0, int32_t(w), int32_t(h)}, true, key);
        return;
    }
    CopyRows(dst, x, y, from, rect, keyed, key);
}

void DirectDrawSurface7::SetColorKey(int32_t flags, const DDCOLORKEY& key) {
    if (flags != DDCKEY_SRCBLT) Fail("SetColorKey: only a source key is supported");
    const Uint32 pixel = ColorToPixel(key.low);
    if (impl_->hasColorKey && impl_->colorKeyPixel == pixel) return;
    impl_->hasColorKey = true;
    impl_->colorKeyPixel = pixel;
    // A scaled picture is scaled again so that its keyed pixels stay exact.
    if (impl_->picture && impl_->scale != 1.0) impl_->stale = true;
}

// A scaled surface answers with the pixel at the centre of the unit, a
// scaled picture with its own pixel.
int32_t DirectDrawSurface7::GetPixel(int32_t x, int32_t y) const {
    if (x < 0 || y < 0 || x >= Width() || y >= Height()) return -1;
    if (impl_->picture && impl_->scale != 1.0) return PixelToColor(Row(platform_detail::PicturePixels(*impl_), y)[x]);
    const double s = impl_->scale;
    return GetDevicePixel(int32_t((x + 0.5) * s), int32_t((y + 0.5) * s));
}

int32_t DirectDrawSurface7::GetDevicePixel(int32_t px, int32_t py) const {
    const SDL_Surface* s = platform_detail::Settle(*impl_, false);
    if (px < 0 || py < 0 || px >= s->w || py >= s->h) return -1;
    return PixelToColor(Row(s, py)[px]);
}

void DirectDrawSurface7::SetPixel(int32_t x, int32_t y, int32_t color) {
    if (x < 0 || y < 0 || x >= Width() || y >= Height()) return;
    if (impl_->picture) {
        // A picture stays one: its own pixels change, scaled again when used,
        // and its file no longer has them.
        SDL_Surface* own = platform_detail::PicturePixels(*impl_);
        Row(own, y)[x] = ColorToPixel(color);
        impl_->file.reset();
        impl_->stale = own != impl_->surface.get();
        return;
    }
    FillRect(RECT{x, y, x + 1, y + 1}, color);
}

void DirectDrawSurface7::FillRect(const RECT& logical, int32_t color) {
    SDL_Surface* s = platform_detail::Settle(*impl_, true);
    const RECT rect = impl_->scale == 1.0 ? logical : ScaledRect(logical, impl_->scale);
    const int left = std::max(rect.Left, 0), top = std::max(rect.Top, 0);
    const int right = std::min(rect.Right, s->w), bottom = std::min(rect.Bottom, s->h);
    if (left >= right || top >= bottom) return;
    const Uint32 pixel = ColorToPixel(color);
    for (int y = top; y < bottom; ++y) std::fill(Row(s, y) + left, Row(s, y) + right, pixel);
}

void DirectDrawSurface7::DrawBox(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    // Like a GDI rectangle: the corners may come in any order, right and
    // bottom lie outside, so the outline covers x1..x2-1 and y1..y2-1.
    if (x2 < x1) std::swap(x1, x2);
    if (y2 < y1) std::swap(y1, y2);
    if (x1 == x2 || y1 == y2) return;
    const int32_t c = impl_->foreColor;
    FillRect(RECT{x1, y1, x2, y1 + 1}, c);
    FillRect(RECT{x1, y2 - 1, x2, y2}, c);
    FillRect(RECT{x1, y1, x1 + 1, y2}, c);
    FillRect(RECT{x2 - 1, y1, x2, y2}, c);
}

std::shared_ptr<DirectDrawSurface7> DirectDrawSurface7::GetAttachedSurface(int32_t caps) {
    if (!impl_->primary || caps != DDSCAPS_BACKBUFFER) Fail("GetAttachedSurface: no such surface");
    return impl_->back;
}

void DirectDrawSurface7::Flip(DirectDrawSurface7* target, int32_t flags) {
    if (!impl_->primary) Fail("Flip: not a primary surface");
    if (target != nullptr && target != impl_->back.get()) Fail("Flip: not the attached back buffer");
    if ((flags & ~DDFLIP_WAIT) != 0) Fail("Flip: unsupported flags");
    DisplayBackend* display = platform_detail::CurrentBackend();
    if (display == nullptr) Fail("Flip: no display");
    // The back buffer is shown as it is, and still reads as the frame just
    // shown (the game copies the last frame from it): nothing is copied.
    platform_detail::Settle(impl_->back->impl(), false);
    platform_detail::NoteFlip();
    display->Present(*impl_->back);
    platform_detail::NotePresented();
    platform_detail::ReleaseIdlePictures();
    // The next frame is composed at the scale the output has now.
    platform_detail::SyncComposeScale();
}

bool DirectDrawSurface7::SavePng(std::string_view path) const {
    return IMG_SavePNG(platform_detail::Settle(*impl_, false), std::string(path).c_str()) == 0;
}

}  // namespace dexlora
