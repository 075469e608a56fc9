// The records the skin loaders fill: texts a skin places and sounds it supplies.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/sound.h"
#include "platform/surface.h"

namespace dexlora {

// One piece of text whose place, font and colour a skin chooses.
struct TextItem {
    int32_t X = 0;      // left edge on the 640×480 screen, pixels
    int32_t Y = 0;      // top edge, pixels
    StdFont Font;       // only the face name and the size are ever set
    std::string Text;   // some items draw a number after it
    int32_t Color = 0;  // packed red + 256 × green + 65536 × blue
};

// One sound a skin may supply; a scene plays it only when Loaded is true.
struct SoundSlot {
    SoundBufferPtr Buffer;
    bool Loaded = false;
};

// Loaders keep sounds in three slots, numbered 0 to 2.
using SoundSlots = std::array<SoundSlot, 3>;

// Empties every slot (no buffer, not loaded), as loaders do before filling them.
inline void ClearSoundSlots(SoundSlots& slots) {
    for (SoundSlot& slot : slots) slot = SoundSlot{};
}

}  // namespace dexlora
