// Shift_JIS (code page 932) text as Windows writes it, and UTF-8/UTF-32 helpers.
// All text inside the program is UTF-8; data files are CP932 on disk.
#pragma once

#include <string>
#include <string_view>

namespace dexlora {

// CP932 bytes to UTF-8. A byte sequence that is not valid CP932 becomes U+FFFD
// for each bad byte; decoding never fails.
std::string Cp932ToUtf8(std::string_view bytes);

// UTF-8 to CP932 bytes. A character CP932 cannot hold becomes "?", or the
// code of a look-alike where the encoder knows one (U+00A2 as 0x8191).
std::string Utf8ToCp932(std::string_view utf8);

// UTF-8 to CP932 bytes without any loss: answers false (out unspecified) when
// the text holds a character CP932 cannot hold or a malformed byte, for
// writers that must not store a changed text.
bool TryUtf8ToCp932(std::string_view utf8, std::string& out);

// Whether a CP932 byte opens a two-byte character (the next byte belongs to it).
inline bool IsCp932LeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// Code points of a UTF-8 text; malformed bytes become U+FFFD each.
std::u32string Utf8ToU32(std::string_view utf8);
std::string U32ToUtf8(std::u32string_view text);

// Decodes one UTF-8 character at text[pos]: answers its code point and sets
// length to its bytes; U+FFFD and length 1 for a malformed byte (overlong
// forms, surrogates and values above U+10FFFF are malformed).
char32_t DecodeUtf8(std::string_view text, size_t pos, size_t& length);

// Number of code points in a UTF-8 text ("characters" everywhere in the game).
size_t Utf8Length(std::string_view utf8);

}  // namespace dexlora
