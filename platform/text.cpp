// Text on game surfaces: the font state each surface keeps, and drawing and
// measuring texts in it, with rendered texts cached between frames.
#include <cstddef>
#include <functional>
#include <list>
#include <string>
#include <unordered_map>

#include "platform/font_library.h"
#include "platform/sdl_internal.h"

namespace dexlora {
namespace {

using platform_detail::SurfaceOwner;

// Rendered texts, white on transparent, kept so that a frame drawing the same
// texts again only blends them. The least recently used go first once the
// cache holds too many entries or too many bytes.
class RenderedTextCache {
public:
    static constexpr size_t MaxEntries = 512;
    static constexpr size_t MaxBytes = 32u * 1024 * 1024;

    static RenderedTextCache& Instance() {
        static RenderedTextCache cache;
        return cache;
    }

    // The text rendered in face, or null when it renders to nothing.
    SDL_Surface* Get(TTF_Font* face, std::string_view text) {
        if (auto it = index_.find(Key{face, text}); it != index_.end()) {
            entries_.splice(entries_.begin(), entries_, it->second);
            return it->second->surface.get();
        }
        const std::string owned(text);
        SurfaceOwner rendered(TTF_RenderUTF8_Blended(face, owned.c_str(), SDL_Color{255, 255, 255, 255}));
        if (!rendered) return nullptr;
        const size_t bytes = static_cast<size_t>(rendered->pitch) * rendered->h;
        entries_.push_front(Entry{face, owned, std::move(rendered), bytes});
        Entry& entry = entries_.front();
        index_.emplace(Key{face, entry.text}, entries_.begin());  // the key views the entry's text
        bytes_ += bytes;
        while (entries_.size() > 1 && (entries_.size() > MaxEntries || bytes_ > MaxBytes)) {
            const Entry& old = entries_.back();
            index_.erase(Key{old.face, old.text});
            bytes_ -= old.bytes;
            entries_.pop_back();
        }
        return entry.surface.get();
    }

private:
    struct Entry {
        TTF_Font* face;
        std::string text;
        SurfaceOwner surface;
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

}  // namespace

void DirectDrawSurface7::SetFont(const StdFont& font) { impl_->font = font; }

void DirectDrawSurface7::SetForeColor(int32_t color) { impl_->foreColor = color; }

void DirectDrawSurface7::SetFontTransparency(bool transparent) { impl_->fontTransparent = transparent; }

void DirectDrawSurface7::SetFontBackColor(int32_t color) { impl_->backColor = color; }

// With no usable font (none installed) texts draw nothing: the game goes on
// without them rather than failing in the middle of a frame.
void DirectDrawSurface7::DrawText(int32_t x, int32_t y, std::string_view text, bool) {
    if (text.empty()) return;
    TTF_Font* face = platform_detail::FaceFor(platform_detail::OpenGameFont(impl_->font), text);
    if (!face) return;
    SDL_Surface* rendered = RenderedTextCache::Instance().Get(face, text);
    if (!rendered) return;
    SDL_Surface* target = impl_->surface.get();
    SDL_Rect at{x, y, rendered->w, rendered->h};
    if (!impl_->fontTransparent) {
        SDL_Rect box = at;  // SDL clips the box to the surface
        SDL_FillRect(target, &box, platform_detail::ColorToPixel(impl_->backColor));
    }
    const Uint32 fore = platform_detail::ColorToPixel(impl_->foreColor);
    SDL_SetSurfaceColorMod(rendered, (fore >> 16) & 0xFF, (fore >> 8) & 0xFF, fore & 0xFF);
    SDL_BlitSurface(rendered, nullptr, target, &at);
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
