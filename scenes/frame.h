// The frame steps every scene shares: copying a background, drawing text,
// showing the frame and letting window events run. A failing copy, draw or
// flip raises RuntimeError (a missing surface ErrObjectNotSet) for the
// scene's own handler.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/surface.h"
#include "skin/loaders/items.h"

namespace dexlora {

// Copies the rectangle (0, 0, width, height) of a background onto DDSurfBack
// at (0, 0); without a size, the whole picture.
void CopyBackground(const SurfacePtr& background, int32_t width, int32_t height);
void CopyBackground(const SurfacePtr& background);

// Copies the rectangle (0, 0, width, height) of DDSurfBack, the last frame,
// into DDSurfSnapshot, from which a wipe starts.
void TakeSnapshot(int32_t width, int32_t height);

// Draws text on DDSurfBack with its top-left at (x, y), in the font and
// colour, over the frame (no box behind it).
void DrawFrameText(const StdFont& font, int32_t color, int32_t x, int32_t y, std::string_view text);
// A skin's text item at its place in its font and colour: its own text, or
// the one given (a label followed by a figure, say).
inline void DrawTextItem(const TextItem& item, std::string_view text) {
    DrawFrameText(item.Font, item.Color, item.X, item.Y, text);
}
inline void DrawTextItem(const TextItem& item) { DrawTextItem(item, item.Text); }

// Shows the frame composed on DDSurfBack, waiting for the display.
void ShowFrame();

// The end of each pass of a scene loop: shows the frame and lets window
// events run. Answers false once a handler has recorded a change of scene.
bool EndFrame();

}  // namespace dexlora
