// The operations every scene applies to a whole animation list: each member
// in order, and only when the list's flag says the list is used.
#pragma once

#include <cstdint>

#include "drawing/display.h"
#include "skin/loaders/loaders.h"

namespace dexlora {

inline void InitFirstValue(AnimeList& list, bool used) {
    if (!used) return;
    for (clsAnimeCharacter& c : list) c.InitFirstValue();
}

inline void AddTC(AnimeList& list, bool used) {
    if (!used) return;
    for (clsAnimeCharacter& c : list) c.AddTC();
}

inline void PrintCharacter(AnimeList& list, bool used) {
    if (!used) return;
    for (clsAnimeCharacter& c : list) c.PrintCharacter(DDSurfBack);
}

}  // namespace dexlora
