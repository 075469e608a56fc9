// Composing at the output's scale: the session's scale, the surfaces that
// follow it, and pictures scaled smoothly from their files when first used
// (colour keys kept exact).
#include <algorithm>
#include <cstring>
#include <unordered_set>
#include <vector>

#include "platform/detail/session_owned.h"

namespace dexlora {

namespace {
bool g_sharp = true;
}  // namespace

void SetSharpComposition(bool on) {
    g_sharp = on;
    platform_detail::SyncComposeScale();
}

namespace platform_detail {

namespace {

using Impl = DirectDrawSurface7::Impl;

// The session's surfaces of the display device and the scale they are at.
class ScaledSurfaces : public Currenton<ScaledSurfaces> {
public:
    double scale = 1.0;
    std::unordered_set<Impl*> surfaces;
    uint64_t flips = 0;
};

// A picture not drawn from for this many frames (two seconds at 60 Hz) keeps
// only its file and its scaled pixels, and a large one (a quarter of the
// screen or more) gives those back too: a scene's backgrounds stay while it
// runs, the other scenes' go, and sprites, which may show only now and then,
// stay ready. Looked for twice a second.
constexpr int64_t LargePicture = int64_t{640} * 480 / 4;
constexpr uint64_t IdleFlips = 120;
constexpr uint64_t IdleCheckFlips = 30;

// For each output pixel along one side: the two source pixels around its
// centre, the weight of the second in 256ths, and the nearest one.
struct Taps {
    std::vector<int> first, second, weight, nearest;
    Taps(int from, int to) : first(to), second(to), weight(to), nearest(to) {
        const double step = double(from) / to;
        for (int i = 0; i < to; ++i) {
            const double at = (i + 0.5) * step - 0.5;
            const int lo = int(std::floor(at));
            const double frac = at - lo;
            first[i] = std::clamp(lo, 0, from - 1);
            second[i] = std::clamp(lo + 1, 0, from - 1);
            weight[i] = int(std::lround(frac * 256));
            nearest[i] = std::min(int((i + 0.5) * step), from - 1);
        }
    }
};

const Uint32* PixelRow(const SDL_Surface* s, int y) {
    return reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(s->pixels) + ptrdiff_t{y} * s->pitch);
}

// Bilinear scaling of an XRGB8888 picture. With a key, a pixel whose nearest
// source pixel is keyed gets the key exactly, and keyed pixels lend no colour
// to their neighbours, so a keyed copy of the result has no fringe.
SurfaceOwner ScalePicture(SDL_Surface* src, int w, int h, bool keyed, Uint32 key) {
    SurfaceOwner out = NewGameSurface(w, h);
    if (!out) return nullptr;
    // Without a key SDL's own bilinear stretch does the same, faster.
    if (!keyed && SDL_SoftStretchLinear(src, nullptr, out.get(), nullptr) == 0) return out;
    const Taps across(src->w, w), down(src->h, h);
    for (int y = 0; y < h; ++y) {
        const Uint32* rows[2] = {PixelRow(src, down.first[y]), PixelRow(src, down.second[y])};
        const Uint32* nearRow = PixelRow(src, down.nearest[y]);
        const int wy = down.weight[y];
        auto* o = reinterpret_cast<Uint32*>(static_cast<Uint8*>(out->pixels) + ptrdiff_t{y} * out->pitch);
        for (int x = 0; x < w; ++x) {
            if (keyed && (nearRow[across.nearest[x]] & 0xFFFFFF) == key) {
                o[x] = key;
                continue;
            }
            const int wx = across.weight[x];
            const Uint32 p[4] = {rows[0][across.first[x]], rows[0][across.second[x]], rows[1][across.first[x]],
                                 rows[1][across.second[x]]};
            const int wt[4] = {(256 - wx) * (256 - wy), wx * (256 - wy), (256 - wx) * wy, wx * wy};
            Uint32 sum[3] = {0, 0, 0}, total = 0;
            for (int k = 0; k < 4; ++k) {
                if (keyed && (p[k] & 0xFFFFFF) == key) continue;
                total += wt[k];
                for (int c = 0; c < 3; ++c) sum[c] += ((p[k] >> (8 * c)) & 0xFF) * wt[k];
            }
            Uint32 v = 0;
            for (int c = 0; c < 3; ++c) v |= ((sum[c] + total / 2) / total) << (8 * c);
            // A blend landing on the key by chance must not turn transparent.
            if (keyed && v == key) v ^= 1;
            o[x] = v;
        }
    }
    return out;
}

// Linear resampling of a drawn surface, whose content the next frame draws
// again anyway.
SurfaceOwner Resample(SDL_Surface* src, int w, int h) {
    SurfaceOwner out = NewGameSurface(w, h);
    if (out && SDL_SoftStretchLinear(src, nullptr, out.get(), nullptr) != 0) {
        SDL_BlitScaled(src, nullptr, out.get(), nullptr);
    }
    return out;
}

void Rescale(Impl& s, double scale) {
    if (s.scale == scale) return;
    if (s.primary) {  // no pixels: its back buffer follows on its own
        s.scale = scale;
        return;
    }
    if (s.picture) {
        // Its own pixels are kept for scaling (a picture with a file gives
        // them back once it is scaled or idle).
        if (s.scale == 1.0 && !s.stale) s.original = std::move(s.surface);
        s.surface.reset();
        s.scale = scale;
        s.stale = true;
        return;
    }
    const int w = ScaledEdge(s.width, scale), h = ScaledEdge(s.height, scale);
    if (SurfaceOwner scaled = Resample(s.surface.get(), w, h)) {
        s.surface = std::move(scaled);
        s.scale = scale;
    }
}

double WantedScale() {
    DisplayBackend* display = CurrentBackend();
    const double scale = g_sharp && display ? display->OutputScale() : 1.0;
    return scale > 1.0 ? scale : 1.0;
}

}  // namespace

namespace {
SurfaceOwner DecodeAgainOrFail(const Impl& s) {
    if (!s.file) throw RuntimeError(ErrDirectX, "a picture without its pixels");
    return DecodeAgain(*s.file);
}
}  // namespace

SDL_Surface* PicturePixels(Impl& s) {
    if (s.scale == 1.0 && !s.stale) return s.surface.get();
    if (!s.original) s.original = DecodeAgainOrFail(s);
    return s.original.get();
}

SDL_Surface* Settle(Impl& s, bool drawnOn) {
    if (s.primary) {
        if (!s.back) throw RuntimeError(ErrDirectX, "a primary without its back buffer");
        return Settle(s.back->impl(), drawnOn);
    }
    if (s.file) {
        if (const ScaledSurfaces* all = ScaledSurfaces::Current()) s.lastUse = all->flips;
    }
    if (s.stale) {
        if (s.scale == 1.0) {
            s.surface = s.original ? std::move(s.original) : DecodeAgainOrFail(s);
        } else {
            const bool keyed = s.hasColorKey;
            SurfaceOwner scaled = ScalePicture(PicturePixels(s), ScaledEdge(s.width, s.scale),
                                               ScaledEdge(s.height, s.scale), keyed, s.colorKeyPixel & 0xFFFFFF);
            if (!scaled) throw RuntimeError(ErrDirectX, "scaling a picture: out of memory");
            s.surface = std::move(scaled);
        }
        s.stale = false;
    }
    // Pixels its file still has are not kept beside the scaled copy.
    if (s.file) s.original.reset();
    if (drawnOn && s.picture) {
        s.picture = false;
        s.original.reset();
        s.file.reset();
    }
    return s.surface.get();
}

void AdoptSurface(DirectDrawSurface7& surface, std::shared_ptr<const PictureFile> file) {
    Impl& s = surface.impl();
    s.picture = file != nullptr;
    s.file = std::move(file);
    ScaledSurfaces* all = SessionOwned<ScaledSurfaces>();
    if (!all) return;
    s.lastUse = all->flips;
    all->surfaces.insert(&s);
    Rescale(s, all->scale);
}

void ReleaseIdlePictures() {
    ScaledSurfaces* all = ScaledSurfaces::Current();
    if (!all || ++all->flips % IdleCheckFlips != 0) return;
    for (Impl* s : all->surfaces) {
        if (!s->file || all->flips - s->lastUse <= IdleFlips) continue;
        s->original.reset();
        if (s->surface && int64_t{s->width} * s->height >= LargePicture) {
            s->surface.reset();
            s->stale = true;
        }
    }
}

void ForgetSurface(Impl& impl) {
    if (ScaledSurfaces* all = ScaledSurfaces::Current()) all->surfaces.erase(&impl);
}

void SyncComposeScale() {
    ScaledSurfaces* all = SessionOwned<ScaledSurfaces>();
    if (!all) return;
    const double scale = WantedScale();
    if (scale == all->scale) return;
    all->scale = scale;
    for (Impl* s : all->surfaces) Rescale(*s, scale);
}

}  // namespace platform_detail

}  // namespace dexlora
