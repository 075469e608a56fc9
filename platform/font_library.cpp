// Font matching through fontconfig and the session's library of open fonts.
#include "platform/detail/font_library.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <unordered_map>

#include "platform/core/encoding.h"
#include "platform/detail/sdl_internal.h"
#include "platform/detail/session_owned.h"

namespace dexlora::platform_detail {
namespace {

struct PatternDeleter {
    void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
using PatternOwner = std::unique_ptr<FcPattern, PatternDeleter>;

struct TtfFontDeleter {
    void operator()(TTF_Font* f) const { TTF_CloseFont(f); }
};
using TtfFontOwner = std::unique_ptr<TTF_Font, TtfFontDeleter>;

// The face used for text a font cannot show, and for empty face names.
constexpr const char* JapaneseGothicFace = "MS UI Gothic";

// Windows' Japanese faces are not installed here; each gets the installed face
// of the same kind, proportional for proportional ones so texts keep their
// width. fontconfig alone would give every one of them the fixed-width gothic.
struct StandIn {
    const char* windowsFace;
    const char* installedFace;
};
constexpr std::array<StandIn, 12> StandIns{{
    {"MS UI Gothic", "IPAPGothic"},
    {"MS PGothic", "IPAPGothic"},
    {"ＭＳ Ｐゴシック", "IPAPGothic"},
    {"Meiryo", "IPAPGothic"},
    {"Meiryo UI", "IPAPGothic"},
    {"メイリオ", "IPAPGothic"},
    {"MS Gothic", "IPAGothic"},
    {"ＭＳ ゴシック", "IPAGothic"},
    {"MS PMincho", "IPAPMincho"},
    {"ＭＳ Ｐ明朝", "IPAPMincho"},
    {"MS Mincho", "IPAMincho"},
    {"ＭＳ 明朝", "IPAMincho"},
}};

const FcChar8* Fc(const std::string& s) { return reinterpret_cast<const FcChar8*>(s.c_str()); }

// Face names compare as Windows compares them: letter case and blanks aside.
bool SameFaceName(std::string_view a, std::string_view b) {
    auto next = [](std::string_view s, size_t& i) -> int {
        while (i < s.size() && s[i] == ' ') ++i;
        if (i == s.size()) return -1;
        const char c = s[i++];
        return (c >= 'a' && c <= 'z') ? c - 'a' + 'A' : static_cast<unsigned char>(c);
    };
    size_t i = 0, j = 0;
    for (;;) {
        const int x = next(a, i), y = next(b, j);
        if (x != y) return false;
        if (x < 0) return true;
    }
}

struct FontFile {
    std::string Path;
    int Index = 0;
    bool ExactFamily = false;  // the face asked for is really installed
};

// The fonts of one platform session, opened once each and closed with it.
// fontconfig keeps its whole configuration until FcFini, which leak checkers
// report; no pattern outlives the call that made it and the open fonts do not
// depend on fontconfig, so the library starts it and stops it when it goes.
class FontLibrary : public Currenton<FontLibrary> {
public:
    FontLibrary() {
        fontconfig_ = FcInit();
        ready_ = fontconfig_ && TTF_Init() == 0;
    }

    ~FontLibrary() {
        faces_.clear();
        open_.clear();  // every font closes before the library goes
        if (ready_) TTF_Quit();
        if (fontconfig_) FcFini();
    }

    FontFaces Faces(const StdFont& font) {
        const int ppem = PixelsPerEm(font.Size);
        const std::string key = font.Name + '\n' + std::to_string(ppem) + (font.Bold ? "b" : "");
        if (auto it = faces_.find(key); it != faces_.end()) return it->second;
        FontFaces faces;
        if (ready_) {
            faces.Fallback = Open(Resolve(JapaneseGothicFace), ppem, font.Bold);
            faces.Primary = Open(Resolve(font.Name), ppem, font.Bold);
            if (!faces.Primary) faces.Primary = faces.Fallback;
        }
        faces_.emplace(key, faces);
        return faces;
    }

private:
    // The file for a face name: the face itself when installed, else its
    // stand-in, else the face fontconfig prefers for Japanese text.
    std::optional<FontFile> Resolve(const std::string& name) {
        if (name.empty()) return Resolve(JapaneseGothicFace);
        std::optional<FontFile> found = Match(name);
        if (found && found->ExactFamily) return found;
        for (const StandIn& s : StandIns) {
            if (SameFaceName(name, s.windowsFace)) {
                if (auto standIn = Match(s.installedFace)) return standIn;
                break;
            }
        }
        return found;
    }

    std::optional<FontFile> Match(const std::string& name) {
        if (auto it = matches_.find(name); it != matches_.end()) return it->second;
        std::optional<FontFile> found = MatchUncached(name);
        matches_.emplace(name, found);
        return found;
    }

    static std::optional<FontFile> MatchUncached(const std::string& name) {
        // The family is set directly rather than parsed, so names holding
        // '-' or ':' stay whole.
        PatternOwner pattern(FcPatternCreate());
        if (!pattern) return std::nullopt;
        FcPatternAddString(pattern.get(), FC_FAMILY, Fc(name));
        FcPatternAddString(pattern.get(), FC_LANG, reinterpret_cast<const FcChar8*>("ja"));
        FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
        FcDefaultSubstitute(pattern.get());
        FcResult result = FcResultNoMatch;
        PatternOwner match(FcFontMatch(nullptr, pattern.get(), &result));
        FcChar8* file = nullptr;
        if (!match || FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch) {
            return std::nullopt;
        }
        FontFile found{reinterpret_cast<const char*>(file), 0, false};
        FcPatternGetInteger(match.get(), FC_INDEX, 0, &found.Index);
        FcChar8* family = nullptr;
        for (int i = 0; FcPatternGetString(match.get(), FC_FAMILY, i, &family) == FcResultMatch; ++i) {
            if (SameFaceName(reinterpret_cast<const char*>(family), name)) {
                found.ExactFamily = true;
            }
        }
        return found;
    }

    TTF_Font* Open(const std::optional<FontFile>& file, int ppem, bool bold) {
        if (!file) return nullptr;
        auto key = std::make_tuple(file->Path, file->Index, ppem, bold);
        if (auto it = open_.find(key); it != open_.end()) return it->second.get();
        // Pixel sizes are whole, so the face opens at 72 DPI with ppem "points".
        TtfFontOwner font(TTF_OpenFontIndexDPI(file->Path.c_str(), ppem, file->Index, 72, 72));
        if (font && bold) TTF_SetFontStyle(font.get(), TTF_STYLE_BOLD);
        TTF_Font* raw = font.get();
        open_.emplace(std::move(key), std::move(font));  // a failure is remembered too
        return raw;
    }

    bool fontconfig_ = false;
    bool ready_ = false;  // fontconfig and SDL_ttf both started
    std::unordered_map<std::string, std::optional<FontFile>> matches_;
    std::map<std::tuple<std::string, int, int, bool>, TtfFontOwner> open_;
    std::unordered_map<std::string, FontFaces> faces_;
};

}  // namespace

FontFaces OpenGameFont(const StdFont& font) {
    FontLibrary* library = SessionOwned<FontLibrary>();
    return library ? library->Faces(font) : FontFaces{};
}

TTF_Font* FaceFor(const FontFaces& faces, std::string_view text) {
    if (!faces.Fallback || faces.Primary == faces.Fallback) return faces.Primary;
    size_t length = 0;
    for (size_t pos = 0; pos < text.size(); pos += length) {
        const char32_t cp = DecodeUtf8(text, pos, length);
        if (cp < 0x80) continue;  // plain ASCII stays with the face asked for
        if (!TTF_GlyphIsProvided32(faces.Primary, cp) && TTF_GlyphIsProvided32(faces.Fallback, cp)) {
            return faces.Fallback;
        }
    }
    return faces.Primary;
}

int PixelsPerEm(float points) {
    if (!std::isfinite(points) || points <= 0.0f) points = 9.0f;
    const long ppem = std::lround(static_cast<double>(points) * 96.0 / 72.0);
    return static_cast<int>(std::clamp(ppem, 1L, 512L));
}

}  // namespace dexlora::platform_detail
