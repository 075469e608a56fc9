// The result scene: the finished game's score, mastery and rank, the rank's
// animations, the entry of the result window and the big character, and the
// figures under a pulsing prompt until a key returns to the title.
#pragma once

namespace dexlora {

// Runs the result scene. The caller has set GameState to the result and
// ResultReady to false. Returns once a change of scene is recorded (a key after
// ResultReady, or Esc), or at once after a failing operation, leaving the
// screen as it was; the answer is true unless a failure stopped it.
bool PrintResult();

// A key in the result scene: once ResultReady, the front animations go and
// the title comes next; before, nothing.
void ResultKeyPress(char32_t key);

// The prompt's pulse direction (false brightening), which carries from one
// result scene to the next; false when the program starts.
extern bool ResultPromptDirection;

}  // namespace dexlora
