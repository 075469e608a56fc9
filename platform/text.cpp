// Text on game surfaces: the font state each surface keeps, and drawing and
// measuring texts in it, with rendered texts cached between frames.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <functional>
#include <list>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/detail/font_library.h"
#include "platform/detail/sdl_internal.h"
#include "platform/detail/session_owned.h"

namespace dexlora {
namespace {

using platform_detail::SurfaceOwner;

// A rendered text kept as its coverage, one byte per pixel (0 no ink, 255 full).
struct TextMask {
    int Width = 0;
    int Height = 0;
    std::vector<Uint8> Coverage;
};

// Rendered texts, kept so that a frame drawing the same texts again only
// blends them; the colour is applied while blending, so a text drawn in
// several colours is rendered once. The least recently used go first once
// the cache holds too many entries or too many bytes. Keyed by the session's
// open fonts, it goes with the session too.
class RenderedTextCache : public platform_detail::Currenton<RenderedTextCache> {
public:
    static constexpr size_t MaxEntries = 256;
    // At 640x480 units; texts composed at a larger scale take its square.
    static constexpr double MaxBytesUnscaled = 1024 * 1024;

    // The text rendered in face, or null when it renders to nothing; scale:
    // the scale the text is drawn at.
    const TextMask* Get(TTF_Font* face, std::string_view text, double scale) {
        if (auto it = index_.find(Key{face, text}); it != index_.end()) {
            entries_.splice(entries_.begin(), entries_, it->second);
            return &it->second->mask;
        }
        std::string owned(text);
        std::optional<TextMask> mask = Render(face, owned);
        if (!mask) return nullptr;
        const size_t bytes = mask->Coverage.size() + owned.size();
        entries_.push_front(Entry{face, std::move(owned), std::move(*mask), bytes});
        Entry& entry = entries_.front();
        index_.emplace(Key{face, entry.text}, entries_.begin());  // the key views the entry's text
        bytes_ += bytes;
        const auto maxBytes = size_t(MaxBytesUnscaled * std::max(1.0, scale * scale));
        while (entries_.size() > 1 && (entries_.size() > MaxEntries || bytes_ > maxBytes)) {
            const Entry& old = entries_.back();
            index_.erase(Key{old.face, old.text});
            bytes_ -= old.bytes;
            entries_.pop_back();
        }
        return &entry.mask;
    }

private:
    static std::optional<TextMask> Render(TTF_Font* face, const std::string& text) {
        SurfaceOwner rendered(TTF_RenderUTF8_Blended(face, text.c_str(), SDL_Color{255, 255, 255, 255}));
        if (!rendered || rendered->format->format != SDL_PIXELFORMAT_ARGB8888 || SDL_MUSTLOCK(rendered.get())) {
            return std::nullopt;
        }
        TextMask mask{rendered->w, rendered->h, {}};
        mask.Coverage.resize(static_cast<size_t>(mask.Width) * mask.Height);
        for (int y = 0; y < mask.Height; ++y) {
            const auto* row = reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(rendered->pixels) +
                                                              static_cast<size_t>(y) * rendered->pitch);
            for (int x = 0; x < mask.Width; ++x) {
                mask.Coverage[static_cast<size_t>(y) * mask.Width + x] = static_cast<Uint8>(row[x] >> 24);
            }
        }
        return mask;
    }

    struct Entry {
        TTF_Font* face;
        std::string text;
        TextMask mask;
        size_t bytes;
    };
    struct Key {
        TTF_Font* face;
        std::string_view text;
        bool operator==(const Key&) const = default;
    };
    struct KeyHash {
        size_t operator()(const Key& k) const {
            return std::hash<std::string_view>{}(k.text) ^ (std::hash<const void*>{}(k.face) * 31);
        }
    };

    std::list<Entry> entries_;  // most recently used first
    std::unordered_map<Key, std::list<Entry>::iterator, KeyHash> index_;
    size_t bytes_ = 0;
};

// One channel of fore over back at coverage a, rounded: exact at 0 and 255.
inline Uint32 Mix(Uint32 fore, Uint32 back, Uint32 a) {
    const Uint32 v = fore * a + back * (255 - a) + 128;
    return (v + (v >> 8)) >> 8;
}

// Blends the mask in colour fore (XRGB) onto an XRGB8888 surface with its
// top-left at (x, y), clipped to the surface's clip rectangle.
void BlendMask(SDL_Surface* target, int32_t x, int32_t y, const TextMask& mask, Uint32 fore) {
    const SDL_Rect& clip = target->clip_rect;
    const int64_t left = std::max<int64_t>(x, clip.x), top = std::max<int64_t>(y, clip.y);
    const int64_t right = std::min<int64_t>(int64_t{x} + mask.Width, int64_t{clip.x} + clip.w);
    const int64_t bottom = std::min<int64_t>(int64_t{y} + mask.Height, int64_t{clip.y} + clip.h);
    if (left >= right || top >= bottom) return;
    const Uint32 fr = (fore >> 16) & 0xFF, fg = (fore >> 8) & 0xFF, fb = fore & 0xFF;
    for (int64_t py = top; py < bottom; ++py) {
        auto* out = reinterpret_cast<Uint32*>(static_cast<Uint8*>(target->pixels) + py * target->pitch) + left;
        const Uint8* coverage = mask.Coverage.data() + (py - y) * mask.Width + (left - x);
        for (int64_t i = 0; i < right - left; ++i) {
            const Uint32 a = coverage[i];
            if (a == 0) continue;
            if (a == 255) {
                out[i] = fore;
                continue;
            }
            const Uint32 d = out[i];
            out[i] = (Mix(fr, (d >> 16) & 0xFF, a) << 16) | (Mix(fg, (d >> 8) & 0xFF, a) << 8) | Mix(fb, d & 0xFF, a);
        }
    }
}

}  // namespace

void DirectDrawSurface7::SetFont(const StdFont& font) { impl_->font = font; }

void DirectDrawSurface7::SetForeColor(int32_t color) { impl_->foreColor = color; }

void DirectDrawSurface7::SetFontTransparency(bool transparent) { impl_->fontTransparent = transparent; }

void DirectDrawSurface7::SetFontBackColor(int32_t color) { impl_->backColor = color; }

// With no usable font (none installed), or a surface SDL cannot fill or lock,
// texts draw nothing: the game goes on without them rather than failing in
// the middle of a frame.
void DirectDrawSurface7::DrawText(int32_t x, int32_t y, std::string_view text, bool) {
    if (text.empty()) return;
    // A scaled surface gets the text rendered at its own scale, not scaled.
    StdFont font = impl_->font;
    const double scale = impl_->scale;
    if (scale != 1.0) {
        if (!std::isfinite(font.Size) || font.Size <= 0.0f) font.Size = StdFont{}.Size;
        font.Size = float(font.Size * scale);
        x = platform_detail::ScaledEdge(x, scale);
        y = platform_detail::ScaledEdge(y, scale);
    }
    TTF_Font* face = platform_detail::FaceFor(platform_detail::OpenGameFont(font), text);
    if (!face) return;
    RenderedTextCache* cache = platform_detail::SessionOwned<RenderedTextCache>();
    const TextMask* mask = cache ? cache->Get(face, text, scale) : nullptr;
    if (!mask) return;
    SDL_Surface* target = platform_detail::Settle(*impl_, true);
    if (!impl_->fontTransparent) {
        SDL_Rect box{x, y, mask->Width, mask->Height};  // SDL clips the box to the surface
        if (SDL_FillRect(target, &box, platform_detail::ColorToPixel(impl_->backColor)) != 0) return;
    }
    if (SDL_LockSurface(target) != 0) return;
    BlendMask(target, x, y, *mask, platform_detail::ColorToPixel(impl_->foreColor));
    SDL_UnlockSurface(target);
}

void DirectDrawSurface7::MeasureText(std::string_view text, int32_t& width, int32_t& height) const {
    width = 0;
    height = 0;
    TTF_Font* face = platform_detail::FaceFor(platform_detail::OpenGameFont(impl_->font), text);
    if (!face) return;
    int w = 0, h = 0;
    if (TTF_SizeUTF8(face, std::string(text).c_str(), &w, &h) == 0) {
        width = w;
        height = h;
    }
}

}  // namespace dexlora
