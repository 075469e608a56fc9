// Turning a question's kana reading into the romaji the player types.
#pragma once

#include <string>
#include <string_view>

namespace dexlora {

// Spells reading (UTF-8) with the spellings selected in RomeTable and
// Rome2Table, looked up through RomeIndex and Rome2Index. Answers true and the
// whole romaji in romaji when every character could be spelled; otherwise
// false, and when reason is given, why (the character without a spelling, or
// "empty reading").
bool ReadingToRomaji(std::string& romaji, std::string_view reading, std::string* reason = nullptr);

}  // namespace dexlora
