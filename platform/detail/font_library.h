// Fonts by the names skins give them, found through fontconfig with Japanese
// preferred, opened with SDL_ttf once in a platform session and closed when
// it ends. Private to platform/.
#pragma once

#include <SDL_ttf.h>

#include <string_view>

#include "platform/surface.h"

namespace dexlora::platform_detail {

// The faces for one game font: the face asked for, and a Japanese gothic face
// of the same size for texts holding characters the first one lacks. Both
// null when no font at all can be opened (no fonts installed), or outside a
// session.
struct FontFaces {
    TTF_Font* Primary = nullptr;
    TTF_Font* Fallback = nullptr;
};

FontFaces OpenGameFont(const StdFont& font);

// The face that shows text: Primary, unless it lacks a character of text
// that Fallback has.
TTF_Font* FaceFor(const FontFaces& faces, std::string_view text);

// Pixels per em of a size in points on a 96 DPI screen, rounded to whole
// pixels as the Windows font mapper does (9 pt -> 12, 20 pt -> 27). Sizes
// that are not positive numbers get the default 9 points.
int PixelsPerEm(float points);

}  // namespace dexlora::platform_detail
