// Where the key configuration puts its cells and buttons, and what lies
// under a point of the screen: one geometry for drawing and for clicks.
#pragma once

#include <cstdint>

namespace dexlora {

inline constexpr int32_t KeyConfColumns = 14;
inline constexpr int32_t KeyConfRows = 5;
inline constexpr int32_t KeyConfCellWidth = 43;
inline constexpr int32_t KeyConfCellHeight = 37;
inline constexpr int32_t KeyConfGridLeft = 10;
inline constexpr int32_t KeyConfGridTops[2] = {10, 210};
// Entries of one grid, and of the whole screen: later entries of a longer
// table are neither drawn nor chosen (they keep the spelling they have).
inline constexpr int32_t KeyConfGridEntries = KeyConfColumns * KeyConfRows;
inline constexpr int32_t KeyConfScreenEntries = 2 * KeyConfGridEntries;

// A button: its box (right and bottom outside when drawn, inside when
// clicked) and where its label starts.
struct KeyConfButton {
    int32_t Left, Top, Right, Bottom;
    int32_t LabelX, LabelY;
    const char* Label;
};
inline constexpr KeyConfButton KeyConfButtons[3] = {
    {300, 430, 400, 460, 330, 435, "Key 1"},
    {410, 430, 510, 460, 440, 435, "Key 2"},
    {520, 430, 620, 460, 522, 435, "Exit Configure"},
};

enum class KeyConfTarget { Nothing, Key1, Key2, Exit, Cell };

// What a double click at (x, y) acts on, the first region that holds the
// point deciding: the buttons (borders included), then the cells. For a
// cell, entry is set to the index it shows on the page (which may lie beyond
// the table's end).
KeyConfTarget KeyConfTargetAt(int32_t x, int32_t y, int32_t& entry);

// The top-left corner of the cell showing entry (0 to 139) of a page.
inline void KeyConfCellOrigin(int32_t entry, int32_t& left, int32_t& top) {
    const int32_t grid = entry / KeyConfGridEntries;
    const int32_t inGrid = entry % KeyConfGridEntries;
    left = KeyConfGridLeft + KeyConfCellWidth * (inGrid / KeyConfRows);
    top = KeyConfGridTops[grid] + KeyConfCellHeight * (inGrid % KeyConfRows);
}

}  // namespace dexlora
