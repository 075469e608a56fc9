// The key-configuration scene: a grid of every kana of one romaji table with
// its chosen spelling, worked with double clicks, left through
// "Exit Configure".
#pragma once

#include "engine/rome_table.h"

namespace dexlora {

// Runs the scene's frames (background, frame, the page's table, Flip,
// events) until a change of scene is recorded. The caller has shown the
// mouse pointer and set GameState to the key configuration.
void KeyConfStart();

// The cell boxes, the three buttons and their labels, on DDSurfBack.
void DrawKeyConfFrame();

// Each entry's kana and chosen spelling centred in its cell, on DDSurfBack.
// Only the first 140 entries have a cell.
void DrawKeyConfTable(const RomeEntries& table);

// A double click at (MouseX, MouseY) in the key configuration: a page button, a
// cell (its entry moves to the next spelling), or "Exit Configure" (the
// questions are rebuilt, KeyConf.txt saved and the title requested).
void KeyConfDblClick();

}  // namespace dexlora
