// CP932 decoding and encoding as Windows-made data files need.
#include "platform/core/encoding.h"

#include <gtest/gtest.h>
#include <unistd.h>

namespace dexlora {
namespace {

TEST(Encoding, Cp932AsWindowsWritesIt) {
    // Both: the two texts convert into each other without loss. Decode: bad CP932 bytes become
    // U+FFFD. Encode: what CP932 cannot hold becomes '?' or a look-alike, and TryUtf8ToCp932 refuses it.
    enum Way { Both, Decode, Encode };
    struct Case { const char* name; Way way; std::string_view cp932, utf8; };
    const Case cases[] = {
        {"0x5C stays a backslash", Both, "C:\\skin\\", "C:\\skin\\"},
        {"wave dash 0x8160 as Windows maps it", Both, "\x81\x60", "\uFF5E"},
        {"half-width katakana and tilde", Both, "\xB1\xDD~", "\uFF71\uFF9D~"},
        {"lead byte at the end", Decode, "A\x81", "A\uFFFD"},
        {"lead byte before CR LF", Decode, "A\x81\r\nB", "A\uFFFD\r\nB"},
        {"bad byte between good ones", Decode, "\x82\xA0\xFF\x82\xA0", "\u3042\uFFFD\u3042"},
        {"hiragana vu has no CP932 form", Encode, "?", "\u3094"},
        {"cent sign only looks like 0x8191 (U+FFE0)", Encode, "\x81\x91", "\u00A2"},
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

// Long texts are converted in pieces; joining many copies of a short text must
// give the joined results of the short one, wherever the pieces are cut, and
// texts full of bad bytes or characters CP932 lacks must convert in a time
// that grows with their length only (before, each bad byte cost a pass over
// the rest: megabytes took minutes).
TEST(Encoding, LongTextsConvertAsTheirPartsDo) {
    alarm(120);  // a conversion that slows down to minutes fails instead of hanging
    struct Case { const char* name; std::string_view unit; int copies; };
    const Case cases[] = {
        {"lead byte before ASCII", "\x82" "a", 40000},
        {"odd length shifts every cut", "\x82\xA0\x82\xA2z", 40000},
        {"bad bytes only", "\x80", 4 << 20},
        {"lead byte before a byte no character has", "\x81\x7F", 2 << 20},
        {"emoji only", "\xF0\x9F\x98\x80", 1 << 20},
        {"characters CP932 lacks between kana", "\xE3\x82\x94\xE3\x81\x82", 200000},
        {"UTF-8 cut short", "\xE3\x81", 1 << 20},
    };
    for (const Case& c : cases) {
        std::string text;
        text.reserve(c.unit.size() * static_cast<size_t>(c.copies));
        for (int i = 0; i < c.copies; ++i) text += c.unit;
        // Whether whole is copies of unit, back to back.
        const auto repeats = [&](const std::string& whole, const std::string& unit) {
            if (whole.size() != unit.size() * static_cast<size_t>(c.copies)) return false;
            for (size_t at = 0; at < whole.size(); at += unit.size()) {
                if (whole.compare(at, unit.size(), unit) != 0) return false;
            }
            return true;
        };
        EXPECT_TRUE(repeats(Cp932ToUtf8(text), Cp932ToUtf8(c.unit))) << c.name << ": decoding";
        EXPECT_TRUE(repeats(Utf8ToCp932(text), Utf8ToCp932(c.unit))) << c.name << ": encoding";
    }
    alarm(0);
}

}  // namespace
}  // namespace dexlora
