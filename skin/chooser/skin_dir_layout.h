// Where everything sits in the skin folder chooser, shared by its drawing and
// by the hit tests of its mouse handling.
#pragma once

#include "platform/surface.h"

namespace dexlora::skin_dir_layout {

inline constexpr int Width = 480;
inline constexpr int Height = 360;

inline constexpr RECT Header{0, 0, Width, 28};
inline constexpr RECT PathBox{52, 33, 472, 53};
inline constexpr RECT DriveList{8, 76, 236, 152};
inline constexpr RECT FolderList{8, 176, 236, 306};
inline constexpr RECT FileList{244, 76, 472, 306};
inline constexpr RECT OkButton{372, 316, 472, 346};

inline constexpr int LabelGap = 18;        // a list's label sits this far above it
inline constexpr int RowHeight = 18;
inline constexpr int Inset = 2;            // between a list's border and its first row
inline constexpr int ScrollBarWidth = 10;

constexpr int VisibleRows(const RECT& list) { return (list.Bottom - list.Top - 2 * Inset) / RowHeight; }

constexpr bool Inside(const RECT& r, int x, int y) { return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom; }

}  // namespace dexlora::skin_dir_layout
