// Texts from data files made safe to print on one terminal line.
#pragma once

#include <string>
#include <string_view>

namespace dexlora {

// text (UTF-8) with every control character, NUL included, written as \xHH
// (C0 and DEL) or \u00HH (C1), so that it prints whole and on one line and a
// tab inside it never passes for a field separator. Other characters, U+FFFD
// and backslashes included, stay as they are.
std::string EscapeControls(std::string_view text);

}  // namespace dexlora
