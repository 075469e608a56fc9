// CP932 decoding and encoding as Windows-made data files need, and the UTF-8 codec.
#include "platform/encoding.h"

#include <gtest/gtest.h>

namespace dexlora {
namespace {

TEST(Encoding, Cp932DecodesAsWindowsWritesIt) {
    struct Case {
        const char* name;
        std::string_view cp932;
        std::string_view utf8;
    };
    const Case cases[] = {
        {"0x5C stays a backslash", "C:\\skin\\", "C:\\skin\\"},
        {"yen sign 0x818F", "\x81\x8F", "\uFFE5"},
        {"middle dot 0x8145", "\x81\x45", "\u30FB"},
        {"half-width middle dot 0xA5", "\xA5", "\uFF65"},
        {"wave dash 0x8160", "\x81\x60", "\uFF5E"},
        {"katakana vu 0x8394", "\x83\x94", "\u30F4"},
        {"half-width katakana", "\xB1\xDD", "\uFF71\uFF9D"},
        {"NEC extension", "\x87\x40", "\u2460"},
        {"line ends pass through", "a\r\nb\rc\n", "a\r\nb\rc\n"},
        {"lead byte at the end", "A\x81", "A\uFFFD"},
        {"lead byte before CR LF", "A\x81\r\nB", "A\uFFFD\r\nB"},
        {"lead byte before a blank", "\x81 x", "\uFFFD x"},
        {"bad byte between good ones", "\x82\xA0\xFF\x82\xA0", "\u3042\uFFFD\u3042"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Cp932ToUtf8(c.cp932), c.utf8) << c.name;
    }
}

TEST(Encoding, Utf8EncodesToCp932) {
    struct Case {
        const char* name;
        std::string_view utf8;
        std::string_view cp932;
        bool exact;  // whether TryUtf8ToCp932 accepts it
    };
    const Case cases[] = {
        {"ascii and backslash", "C:\\a~b", "C:\\a~b", true},
        {"full-width yen", "\uFFE5", "\x81\x8F", true},
        {"katakana vu", "\u30F4", "\x83\x94", true},
        {"half-width katakana", "\uFF71", "\xB1", true},
        {"hiragana vu has no CP932 form", "\u3094", "?", false},
        {"accented latin", "jos\u00E9/", "jos?/", false},
        {"emoji between kana", "\u3042\U0001F600\u3042", "\x82\xA0?\x82\xA0", false},
        {"malformed byte", "a\xFF" "b", "a?b", false},
        {"truncated sequence at the end", "a\xE3\x81", "a??", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Utf8ToCp932(c.utf8), c.cp932) << c.name;
        std::string exact;
        EXPECT_EQ(TryUtf8ToCp932(c.utf8, exact), c.exact) << c.name;
        if (c.exact) {
            EXPECT_EQ(exact, c.cp932) << c.name;
        }
    }
}

TEST(Encoding, Utf8CodePoints) {
    struct Case {
        const char* name;
        std::string_view utf8;
        std::u32string_view points;
    };
    const Case cases[] = {
        {"mixed widths", "a\u00E9\u3042\U0001F600", U"a\u00E9\u3042\U0001F600"},
        {"overlong slash", "\xC0\xAF", U"\uFFFD\uFFFD"},
        {"surrogate", "\xED\xA0\x80", U"\uFFFD\uFFFD\uFFFD"},
        {"above U+10FFFF", "\xF4\x90\x80\x80", U"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"truncated at the end", "x\xE3\x81", U"x\uFFFD\uFFFD"},
        {"lone continuation byte", "\x80" "a", U"\uFFFD" "a"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Utf8ToU32(c.utf8), c.points) << c.name;
        EXPECT_EQ(Utf8Length(c.utf8), c.points.size()) << c.name;
    }
}

TEST(Encoding, U32ToUtf8ReplacesInvalidCodePoints) {
    EXPECT_EQ(U32ToUtf8(U"a\u3042\U0001F600"), "a\u3042\U0001F600");
    std::u32string bad = {0xD800, 0x110000, U'b'};
    EXPECT_EQ(U32ToUtf8(bad), "\uFFFD\uFFFD" "b");
}

}  // namespace
}  // namespace dexlora
