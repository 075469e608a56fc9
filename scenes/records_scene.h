// The records scene: the player's personal bests per game length, a chart of
// the last games and the key configuration's kana as a heat map of misses,
// all from the game history. Any key but Esc returns to the title.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "engine/history.h"
#include "platform/surface.h"
#include "platform/window.h"

namespace dexlora {

// How many of the latest games the chart and the heat map take; the bests
// take the whole history the reader keeps.
inline constexpr size_t RecordsChartGames = 50;
inline constexpr size_t RecordsHeatGames = 20;
inline constexpr size_t RecordsHistoryGames = 10000;

// Where the page puts things (right and bottom outside).
inline constexpr RECT RecordsChartPanel{10, 96, 630, 206};
inline constexpr RECT RecordsPlot{50, 114, 590, 196};
inline constexpr int32_t RecordsHeatTop = 212;
inline constexpr int32_t RecordsHeatCellHeight = 12;
inline constexpr int32_t RecordsHeatGridGap = 3;
// Misses per 100 keys at which a cell takes the hot colour in full.
inline constexpr double RecordsHeatFull = 20;

// Where a game of the chart stands: its slot x, and the y of keys per minute
// on a scale of scaleKpm and of accuracy (0 to 1), each clamped to the plot.
// The latest game stands at the right edge.
int32_t RecordsChartX(size_t index, size_t count);
int32_t RecordsChartY(double value, double top);

// The heat map's cell of entry (0 to 139) of a key-configuration page (0 the
// single kana, 1 the pairs): the page's two grids one under the other, cells
// in the key configuration's columns and rows at a smaller height.
RECT RecordsHeatCell(int32_t page, int32_t entry);

// The whole page for games (oldest first) on target, in RecordsIni's look.
// Without games it says that there is no history yet.
void DrawRecordsPage(DirectDrawSurface7& target, std::span<const GameRecord> games);

// Runs the scene on the player's history (or on the games given, for the
// skin checker's pictures) until a change of scene is recorded. The caller
// has set GameState to the records.
void RecordsStart();
void ShowRecords(std::span<const GameRecord> games);

// The title's way in (GameState and the next scene), and the scene's keys:
// each returns to the title.
void OpenRecords();
void RecordsKeyPress(char32_t key);
void RecordsKeyDown(KeyCode code);

}  // namespace dexlora
