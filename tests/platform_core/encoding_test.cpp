// CP932 decoding and encoding as Windows-made data files need.
#include "platform/encoding.h"

#include <gtest/gtest.h>

namespace dexlora {
namespace {

TEST(Encoding, Cp932AsWindowsWritesIt) {
    // Both: the two texts convert into each other without loss. Decode: bad CP932 bytes become
    // U+FFFD. Encode: what CP932 cannot hold becomes '?', and TryUtf8ToCp932 refuses it.
    enum Way { Both, Decode, Encode };
    struct Case { const char* name; Way way; std::string_view cp932, utf8; };
    const Case cases[] = {
        {"0x5C stays a backslash", Both, "C:\\skin\\", "C:\\skin\\"},
        {"yen sign 0x818F", Both, "\x81\x8F", "\uFFE5"},
        {"middle dot 0x8145", Both, "\x81\x45", "\u30FB"},
        {"half-width middle dot 0xA5", Both, "\xA5", "\uFF65"},
        {"wave dash 0x8160", Both, "\x81\x60", "\uFF5E"},
        {"katakana vu 0x8394", Both, "\x83\x94", "\u30F4"},
        {"half-width katakana and tilde", Both, "\xB1\xDD~", "\uFF71\uFF9D~"},
        {"lead byte at the end", Decode, "A\x81", "A\uFFFD"},
        {"lead byte before CR LF", Decode, "A\x81\r\nB", "A\uFFFD\r\nB"},
        {"bad byte between good ones", Decode, "\x82\xA0\xFF\x82\xA0", "\u3042\uFFFD\u3042"},
        {"hiragana vu has no CP932 form", Encode, "?", "\u3094"},
        {"emoji between kana", Encode, "\x82\xA0?\x82\xA0", "\u3042\U0001F600\u3042"},
        {"malformed UTF-8 byte", Encode, "a?b", "a\xFF" "b"},
        {"truncated UTF-8 at the end", Encode, "a??", "a\xE3\x81"},
    };
    for (const Case& c : cases) {
        if (c.way != Encode) {
            EXPECT_EQ(Cp932ToUtf8(c.cp932), c.utf8) << c.name;
        }
        if (c.way != Decode) {
            EXPECT_EQ(Utf8ToCp932(c.utf8), c.cp932) << c.name;
        }
        std::string exact;
        EXPECT_EQ(TryUtf8ToCp932(c.utf8, exact), c.way == Both) << c.name;
        EXPECT_TRUE(c.way != Both || exact == c.cp932) << c.name << ": TryUtf8ToCp932 gave " << exact;
    }
}

}  // namespace
}  // namespace dexlora
