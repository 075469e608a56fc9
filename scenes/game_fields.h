// The game fields of the main window that the scenes share, and the random
// sequence behind the question picks.
#pragma once

#include <cstdint>

namespace dexlora {

// The current question (an index into Questions) and how much of its romaji
// has been typed, in characters.
extern int32_t QuestionIndex;
extern int32_t TypedLength;
// Correct keys since the last miss, the longest such run, wrong keys and
// finished questions of the running game.
extern int32_t Combo;
extern int32_t MaxCombo;
extern int32_t MissCount;
extern int32_t ClearCount;
// Seconds left in the running game; set by whoever starts it.
extern int32_t TimeLeft;
// A key may leave the result scene.
extern bool ResultReady;
// The key configuration's page: 0 the single-kana table, 1 the two-kana table.
extern int32_t KeyConfPage;
// Where the last mouse button was pressed, in whole pixels.
extern int32_t MouseX;
extern int32_t MouseY;

// Every field above back to its value when the program starts, and the
// random sequence below restarted as at start.
void ResetGameFields();

// The shared random sequence: restarted from seed, and its next value, a
// single-precision number in [0, 1).
void SeedRandom(uint32_t seed);
float NextRandom();
// A seed taken from the clock, as each game reseeds. On the headless display
// it is the virtual millisecond counter, so that a scripted game is repeatable.
uint32_t ClockSeed();

// A random question index from 1 to QuestionMax + 1: every question may come,
// the one just finished included.
int32_t PickQuestion();

}  // namespace dexlora
