// Escaping control characters for printing.
#include "engine/printable.h"

#include <cstdio>

#include "platform/core/encoding.h"

namespace dexlora {

std::string EscapeControls(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t pos = 0; pos < text.size();) {
        size_t length = 1;
        char32_t c = DecodeUtf8(text, pos, length);
        if (c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0)) {
            char code[8];
            std::snprintf(code, sizeof code, c < 0x80 ? "\\x%02X" : "\\u%04X", static_cast<unsigned>(c));
            out += code;
        } else if (c == 0xFFFD) {
            out += "\xEF\xBF\xBD";  // a malformed byte (or a cut character) prints as U+FFFD
        } else {
            out.append(text, pos, length);
        }
        pos += length;
    }
    return out;
}

std::string QuoteForMessage(std::string_view text, size_t maxCharacters) {
    size_t end = 0;
    for (size_t count = 0; end < text.size() && count < maxCharacters; ++count) {
        size_t length = 1;
        DecodeUtf8(text, end, length);
        end += length;
    }
    return EscapeControls(text.substr(0, end)) + (end < text.size() ? "..." : "");
}

}  // namespace dexlora
