// Turning a question's kana reading into the romaji the player types.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/rome_table.h"

namespace dexlora {

// Far above any real spelling (four keys to a kana at most): a longer romaji
// comes from a damaged table, and refusing it bounds a question's memory by
// its reading's length whatever the tables hold.
constexpr size_t MaxKeysPerCharacter = 8;

// Spells reading (UTF-8) with the spellings selected in RomeTable and
// Rome2Table, looked up through RomeIndex and Rome2Index. Answers true and the
// whole romaji in romaji when every character could be spelled into at least
// one key, with spellings some key types (TypableSpelling), and no more than
// MaxKeysPerCharacter keys per character of the reading; otherwise false, and
// when reason is given, why (the character without a spelling, a spelling no
// key types, "empty reading", an empty or overlong romaji).
bool ReadingToRomaji(std::string& romaji, std::string_view reading, std::string* reason = nullptr);

// The same through a lookup taken once (RomeLookup::Current()) for many
// readings while the tables stay as they are: checking that the lookup is
// current costs as much as spelling a short reading.
bool ReadingToRomaji(std::string& romaji, std::string_view reading, const RomeLookup& lookup,
                     std::string* reason = nullptr);

// The key of a letter, digit or symbol of a reading, which are typed as they
// stand (lower-case letters folded, since typed letters are compared in upper
// case); 0 for every other character.
char PlainKey(char32_t c);

// One piece of a spelled reading: a kana, a pair, っ, ん or a symbol, and
// where its keys start in the romaji.
struct SpelledUnit {
    size_t Byte = 0;          // where it starts in the reading
    uint32_t Characters = 1;  // 2 for a pair
    size_t RomajiStart = 0;
    // A single N for ん, or っ as the first key of the next piece doubled:
    // the piece only stands before the next one.
    bool JoinsNext = false;
};

// The same, also listing the pieces in reading order (cleared first).
bool ReadingToRomaji(std::string& romaji, std::vector<SpelledUnit>& units, std::string_view reading,
                     const RomeLookup& lookup, std::string* reason = nullptr);

}  // namespace dexlora
