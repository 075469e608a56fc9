// The sprite class: a sheet of equal cells, a position moving by a fixed step
// on every 15 ms tick for a limited number of moves, a frame stepping through
// the cells at its own pace, and a transparent colour.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/surface.h"

namespace dexlora {

// What ClipToScreen leaves for PrintCharacter: the part of the cell to copy
// and where it goes.
extern RECT BlitSrcRect;
extern int32_t BlitX;
extern int32_t BlitY;

// Clips rect, to be drawn at (x, y), against the 640x480 screen. A sprite off
// the left or top edge is not clipped on its right or bottom edge in the same
// call; one wholly off the screen yields a reversed rectangle.
void ClipToScreen(const RECT& rect, int32_t x, int32_t y);

class clsAnimeCharacter {
public:
    // Movable into lists; not copyable, so that a loop cannot advance a copy
    // by mistake.
    clsAnimeCharacter() = default;
    clsAnimeCharacter(const clsAnimeCharacter&) = delete;
    clsAnimeCharacter& operator=(const clsAnimeCharacter&) = delete;
    clsAnimeCharacter(clsAnimeCharacter&&) = default;
    clsAnimeCharacter& operator=(clsAnimeCharacter&&) = default;

    // Loads the sheet from a picture file; the cell is the sheet's height and
    // its width divided by the frame count (nearest, halves to even). A file
    // that cannot be loaded is reported by LoadImageSurface and leaves the
    // sprite without a sheet and with a cell of 0 x 0.
    void InitFromFile(DirectDrawPtr& dd, std::string_view strFileName);
    // Back to waiting at the start position, frame 0, with a fresh move count.
    void InitFirstValue();
    void InitPosition(int32_t lngStartX, int32_t lngStartY, float sngStartDX, float sngStartDY);
    // Timing, mode (0 loop, 1 back and forth; other values keep the mode),
    // wait before starting, the sheet's columns and rows, whether the sprite
    // stays visible when its motion has ended, and the move limit (lngMax + 1
    // moves). 0 columns or rows raise a division-by-zero RuntimeError.
    void InitAnimeData(int32_t lngChangeTime, int32_t lngMode, int32_t lngInterval, int32_t lngXNumber,
                       int32_t lngYnumber, bool blnVisibleAfterMoveEnd, int32_t lngMax);
    // Left = x, Top = y, Right = Bottom = 0.
    RECT GetPosition() const;
    // Moves the sprite to (lngX, lngY); part of the sprite's interface, though
    // no scene calls it.
    void SetPosition(int32_t lngX, int32_t lngY);
    // Draws the current cell at the position, clipped to the screen and
    // keyed by the transparent colour. Draws nothing while waiting, once
    // ended unless visible after the end, without a sheet, or wholly off the
    // screen. A missing destination raises ErrObjectNotSet.
    void PrintCharacter(const SurfacePtr& DDSurfPrint);
    // One 15 ms tick.
    void AddTC();
    // A new move budget, without moving the sprite back; part of the sprite's
    // interface, though no scene calls it.
    void SetMoveCountCheck(int32_t lngMax);
    bool GetMoveEnd() const { return blnMoveEnd; }
    // Set when the sprite is placed; kept with the sprite's interface,
    // though nothing reads it.
    bool Exsist() const { return blnExsist; }
    void Exsist(bool blnGet) { blnExsist = blnGet; }
    void RegionColor(int32_t lngColor) { lngRegionColor = lngColor; }
    int32_t GetWidth() const { return lngWidth; }
    int32_t GetHeight() const { return lngHeight; }
    int32_t GetSurfWidth() const { return SheetDesc.lWidth; }
    int32_t GetSurfHeight() const { return SheetDesc.lHeight; }
    // The transparent colour becomes that of the sheet's top-left pixel
    // (unchanged without a sheet).
    void AutoSetRegionColor();

    // Read-only views for the scenes' and tests' checks.
    int32_t Frame() const { return lngFrame; }
    bool Started() const { return blnStarted; }
    int32_t MoveCount() const { return lngMoveCount; }
    int32_t RegionColorValue() const { return lngRegionColor; }
    bool HasSheet() const { return DDSurfSheet != nullptr; }
    // Sprites naming the same unchanged file share one sheet.
    const DirectDrawSurface7* Sheet() const { return DDSurfSheet.get(); }

private:
    void MoveStep();
    void CheckMoveCount();

    int32_t lngPosX = 0, lngPosY = 0;
    float sngDX = 0, sngDY = 0;
    float sngPosX = 0, sngPosY = 0;
    int32_t lngTC = 1;
    int32_t lngFrame = 0;
    bool blnReverse = false;
    int32_t lngFrameCount = 1;
    int32_t lngFrameTime = 0;
    int32_t lngAnimeMode = 0;
    SurfacePtr DDSurfSheet;
    SurfaceDesc SheetDesc;
    int32_t lngWidth = 0, lngHeight = 0;
    bool blnExsist = false;
    int32_t lngMoveCount = 0;
    int32_t lngMaxMove = 0;
    int32_t lngRegionColor = 0;
    bool blnMoveEnd = false;
    bool blnVisibleAfterEnd = false;
    int32_t lngFirstX = 0, lngFirstY = 0;
    int32_t lngWait = 0;
    int32_t lngColumns = 0, lngRows = 0;
    bool blnStarted = false;
};

}  // namespace dexlora
