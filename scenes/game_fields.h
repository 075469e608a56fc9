// The game fields of the main window that the scenes share, and the random
// sequence behind the question picks.
#pragma once

#include <cstdint>

namespace dexlora {

struct GameFields {
    // The current question (an index into Questions) and how much of its
    // romaji has been typed, in characters.
    int32_t QuestionIndex = 0;
    int32_t TypedLength = 0;
    // Correct keys since the last miss, the longest such run, wrong keys and
    // finished questions of the running game.
    int32_t Combo = 0;
    int32_t MaxCombo = 0;
    int32_t MissCount = 0;
    int32_t ClearCount = 0;
    // The running game has drawn its first question: keys are judged from
    // then on, never against a question that is not on the screen.
    bool QuestionShown = false;
    // Seconds left in the running game; set by whoever starts it.
    int32_t TimeLeft = 0;
    // A key may leave the result scene.
    bool ResultReady = false;
    // The key configuration's page: 0 the single-kana table, 1 the two-kana
    // table.
    int32_t KeyConfPage = 0;
    // Where the last mouse button was pressed, in whole pixels.
    int32_t MouseX = 0;
    int32_t MouseY = 0;
};
// Back to the values of a fresh start by assigning GameFields{}.
extern GameFields Fields;

// The shared random sequence: restarted from seed, and its next value, a
// single-precision number in [0, 1). StartSeed is its seed when the program
// starts.
inline constexpr uint32_t StartSeed = 5489;
void SeedRandom(uint32_t seed);
float NextRandom();
// A seed taken from the clock, as each game reseeds. On the headless display
// it is the virtual millisecond counter, so that a scripted game is repeatable.
uint32_t ClockSeed();

// A random question index from 1 to QuestionMax + 1: every question may come,
// the one just finished included.
int32_t PickQuestion();

}  // namespace dexlora
