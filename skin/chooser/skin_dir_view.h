// Drawing the skin folder chooser: caption, the current folder, the drive,
// folder and file lists with their selection and scroll bars, the key help
// or the last message, and the "OK" button.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/surface.h"
#include "skin/chooser/skin_dir_state.h"

namespace dexlora {

// Colours of the chooser (packed red + 256 green + 65536 blue), for the
// drawing and for tests that look at it.
namespace skin_dir_colors {
inline constexpr int32_t Face = 0xECF0F0;           // window background (240, 240, 236)
inline constexpr int32_t HeaderBack = 0x6E3C28;     // (40, 60, 110)
inline constexpr int32_t ListBack = 0xFFFFFF;
inline constexpr int32_t Border = 0x969696;
inline constexpr int32_t FocusBorder = 0xC86432;    // (50, 100, 200)
inline constexpr int32_t Selected = 0xC86432;       // selection in the focused list
inline constexpr int32_t SelectedIdle = 0xDCD2CD;   // selection elsewhere (205, 210, 220)
inline constexpr int32_t Text = 0x1E1E1E;
inline constexpr int32_t HiddenText = 0x787878;
inline constexpr int32_t MessageText = 0x1E1EC8;    // (200, 30, 30)
inline constexpr int32_t ButtonFace = 0xE1E1E1;
}  // namespace skin_dir_colors

// Draws the whole chooser onto surface (skin_dir_layout::Width x Height).
void DrawSkinDir(DirectDrawSurface7& surface, const SkinDirState& state);

// text, cut at the end with "…" to fit width pixels in surface's font.
std::string FitText(const DirectDrawSurface7& surface, std::string_view text, int32_t width);
// text, cut at the start with "…" to fit (for paths, whose end matters most).
std::string FitTextFromEnd(const DirectDrawSurface7& surface, std::string_view text, int32_t width);

}  // namespace dexlora
