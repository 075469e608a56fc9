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

// One step of a spelling: a kana, a two-kana pair, a letter or a symbol of
// the reading (bytes from ReadingStart, ReadingLength long) and where its keys
// start in the romaji (bytes).
struct RomajiPiece {
    uint32_t ReadingStart = 0;
    uint32_t ReadingLength = 0;
    uint32_t RomajiStart = 0;
};

// The same, and the pieces of the spelling in order.
bool ReadingToRomaji(std::string& romaji, std::string_view reading, const RomeLookup& lookup,
                     std::vector<RomajiPiece>& pieces);

}  // namespace dexlora
