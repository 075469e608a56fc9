// Escaping control characters for printing.
#include "typing/printable.h"

#include <cstdio>

#include "platform/encoding.h"

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
        } else {
            out.append(text, pos, length);
        }
        pos += length;
    }
    return out;
}

}  // namespace dexlora
