// Texts from data files made safe to print on one terminal line.
#pragma once

#include <string>
#include <string_view>

namespace dexlora {

// text (UTF-8) with every control character, NUL included, written as \xHH
// (C0 and DEL) or \u00HH (C1), so that it prints whole and on one line and a
// tab inside it never passes for a field separator. A byte that is not UTF-8
// becomes U+FFFD; other characters, backslashes included, stay as they are.
std::string EscapeControls(std::string_view text);

// EscapeControls of the first maxCharacters characters of text, followed by
// "..." when text is longer: a message quotes a line without repeating
// megabytes of it.
std::string QuoteForMessage(std::string_view text, size_t maxCharacters = 40);

}  // namespace dexlora
