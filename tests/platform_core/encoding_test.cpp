// CP932 decoding and encoding as Windows-made data files need.
#include "platform/encoding.h"

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
        {"cent sign only looks like 0x8191 (U+FFE0)", Encode, "\x81\x91", "\u00A2"},
        {"minus sign only looks like 0x817C (U+FF0D)", Encode, "\x81\x7C", "\u2212"},
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
        {"kana", "\x82\xA0\x83\x94", 40000},
        {"bad byte after kana", "\x82\xA0\x80", 40000},
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
        const std::string decodedUnit = Cp932ToUtf8(c.unit);
        const std::string encodedUnit = Utf8ToCp932(c.unit);
        const std::string decoded = Cp932ToUtf8(text);
        const std::string encoded = Utf8ToCp932(text);
        bool decodedSame = decoded.size() == decodedUnit.size() * static_cast<size_t>(c.copies);
        bool encodedSame = encoded.size() == encodedUnit.size() * static_cast<size_t>(c.copies);
        for (size_t at = 0; decodedSame && at < decoded.size(); at += decodedUnit.size()) {
            decodedSame = decoded.compare(at, decodedUnit.size(), decodedUnit) == 0;
        }
        for (size_t at = 0; encodedSame && at < encoded.size(); at += encodedUnit.size()) {
            encodedSame = encoded.compare(at, encodedUnit.size(), encodedUnit) == 0;
        }
        EXPECT_TRUE(decodedSame) << c.name << ": decoding";
        EXPECT_TRUE(encodedSame) << c.name << ": encoding";
    }
    alarm(0);
}

}  // namespace
}  // namespace dexlora
