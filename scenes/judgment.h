// The typing game's side of the key handler: judging each typed character
// against the current question's romaji, and drawing the question.
#pragma once

#include <cstdint>
#include <optional>

#include "engine/flexible_romaji.h"
#include "engine/questions.h"
#include "skin/loaders/items.h"

namespace dexlora {

// Plays a sound from its beginning, only when a sound was loaded into the slot.
void PlaySoundSlot(const SoundSlot& slot);

// The question QuestionIndex points at, or none when it points outside
// Questions (which a rebuilt, shorter question list can leave behind).
std::optional<Question> CurrentQuestion();

// While flexible romaji is on, the matcher of the current question (made
// when first asked for), which judges the keys and gives the guide drawn
// and the kana of the next key; null when the option is off or no question
// is current.
FlexibleRomaji* FlexibleMatcher();

// Judges one typed character (already upper-cased) against the character of
// the current romaji at TypedLength: a match (or "/" for "･") counts, a
// finished question picks the next one; anything else is a miss. A key
// arriving when no character is expected (no current question, or an empty
// one) is ignored: there is nothing on the screen to type. With flexible
// romaji on, the key is right when some accepted spelling of the rest of the
// reading goes on with it, and the question is finished when the keys spell
// all of it; misses and counts are kept as for the fixed romaji.
void JudgeKey(char32_t key);

// After an accepted key: when the whole romaji is typed, plays the completion
// sound, counts the question, picks the next one at random and answers true.
bool Judgment();

// Draws the current question, its whole romaji and, over its start, the typed
// part in the third colour, on DDSurfBack. A failing drawing operation ends
// the program at once (EndProgramNow); the answer is then false.
bool PrintQuestion();

}  // namespace dexlora
