// The profile functions on CP932 INI files: lookups, cuts, numbers and writes.
#include "platform/profile.h"

#include <gtest/gtest.h>

#include <optional>

#include "platform/encoding.h"
#include "tests/platform_core/temp_folder.h"

namespace dexlora {
namespace {

using testing_support::TempFolder;

std::string Repeat(std::string_view text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += text;
    return out;
}

const std::string A = "\u3042";             // あ, two bytes in CP932
const std::string HalfA = "\uFF71";         // ｱ, one byte in CP932
const std::string Katakana_a = "\u30A2";    // ア, 0x83 0x41: its second byte is 'A'
const std::string Katakana_di = "\u30C2";   // ヂ, 0x83 0x61: its second byte is 'a'
const std::string Katakana_zo = "\u30BE";   // ゾ, 0x83 0x5D: its second byte is ']'

std::string SampleIni() {
    std::string text =
        "; a comment line\r\n"
        "Loose=before any section\r\n"
        "[Game]\r\n"
        "Text=Hello\r\n"
        "  Spaced Key  =   value with blanks   \r\n"
        "Empty=\r\n"
        "NoEquals\r\n"
        "Quoted=\"  a b  \"\r\n"
        "Single='x'\r\n"
        "Mismatch=\"abc'\r\n"
        "Dup=first\r\n"
        "Dup=second\r\n"
        ";Hidden=1\r\n"
        "Long=" + Repeat("x", 200) + "\r\n"
        "Exact=a" + Repeat(A, 63) + "\r\n"
        "Split=" + Repeat(A, 64) + "\r\n"
        "HalfWidth=" + Repeat(HalfA, 130) + "\r\n"
        "Number=12abc\r\n"
        "Letters=abc\r\n"
        "Negative= -42\r\n"
        "Plus=+7\r\n"
        "Hex=0x1F\r\n"
        "Wrap=4294967295\r\n"
        "QuotedNumber='5'\r\n"
        "Japanese=\u30C6\u30B9\u30C8\r\n" +
        std::string("Nul=ab\0cd\r\n", 11) +
        Katakana_a + "=katakana a\r\n"
        "[game]\n"
        "Other=second section of the same name\n"
        "[Skin]\r\n"
        "Path=C:\\skins\\default\\\r\n"
        "[ Spaced ]\r\n"
        "k = v\r\n"
        "[\u8A2D\u5B9A]\r\n"
        "\u5024=\u5024\r\n"
        "[" + Katakana_zo + "\r\n"
        "AfterBrokenHeader=still in " + Katakana_zo + "\r\n"
        "[Last]\r\n"
        "NoLineEnd=end";
    return Utf8ToCp932(text);
}

TEST(Profile, GetPrivateProfileStringLooksValuesUp) {
    TempFolder temp;
    std::string file = temp.Write("Sample.ini", SampleIni());
    struct Case {
        const char* name;
        std::string section;
        std::string key;
        std::string defaultValue;
        std::string expected;
    };
    const Case cases[] = {
        {"plain", "Game", "Text", "d", "Hello"},
        {"names regardless of case", "GAME", "tEXT", "d", "Hello"},
        {"blanks trimmed", "Game", "Spaced Key", "d", "value with blanks"},
        {"empty value is not the default", "Game", "Empty", "d", ""},
        {"line without '=' is no key", "Game", "NoEquals", "d", "d"},
        {"absent key", "Game", "Absent", "d", "d"},
        {"absent section", "Nothing", "Text", "d", "d"},
        {"double quotes removed", "Game", "Quoted", "d", "  a b  "},
        {"single quotes removed", "Game", "Single", "d", "x"},
        {"unmatched quotes kept", "Game", "Mismatch", "d", "\"abc'"},
        {"first of duplicate keys", "Game", "Dup", "d", "first"},
        {"only the first section of a name", "Game", "Other", "d", "d"},
        {"comment is no key", "Game", "Hidden", "d", "d"},
        {"200 bytes cut to 127", "Game", "Long", "d", Repeat("x", 127)},
        {"127 bytes with two-byte characters", "Game", "Exact", "d", "a" + Repeat(A, 63)},
        {"cut inside a two-byte character", "Game", "Split", "d", Repeat(A, 63)},
        {"one-byte katakana", "Game", "HalfWidth", "d", Repeat(HalfA, 127)},
        {"CP932 value decoded", "Game", "Japanese", "d", "\u30C6\u30B9\u30C8"},
        {"a NUL byte ends the value", "Game", "Nul", "d", "ab"},
        {"second byte is not case-folded", "Game", Katakana_di, "d", "d"},
        {"two-byte key", "Game", Katakana_a, "d", "katakana a"},
        {"backslashes kept", "Skin", "Path", "d", "C:\\skins\\default\\"},
        {"blanks inside brackets", "spaced", "K", "d", "v"},
        {"Japanese names", "\u8A2D\u5B9A", "\u5024", "d", "\u5024"},
        {"']' as a second byte closes no header", "\u8A2D\u5B9A", "AfterBrokenHeader", "d", "still in " + Katakana_zo},
        {"last line without line end", "Last", "NoLineEnd", "d", "end"},
        {"default cut inside a two-byte character", "Game", "Absent", Repeat(A, 64), Repeat(A, 63)},
        {"default kept as given", "Game", "Absent", "jos\u00E9", "jos\u00E9"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GetPrivateProfileString(c.section, c.key, c.defaultValue, file), c.expected) << c.name;
    }
    EXPECT_EQ(GetPrivateProfileString("Game", "Text", "d", temp.Path() + "missing.ini"), "d");
    EXPECT_EQ(GetPrivateProfileString("Game", "Text", "d", temp.Path() + "SAMPLE.INI"), "Hello");
    EXPECT_EQ(GetPrivateProfileString("Game", "Text", "d", temp.Path()), "d") << "a folder reads as no file";
}

TEST(Profile, GetPrivateProfileIntReadsTheLeadingNumber) {
    TempFolder temp;
    std::string file = temp.Write("Sample.ini", SampleIni());
    struct Case {
        const char* key;
        int32_t expected;
    };
    const Case cases[] = {
        {"Number", 12},   {"Letters", 0},     {"Negative", -42}, {"Plus", 7},
        {"Hex", 31},      {"Wrap", -1},       {"Empty", 99},     {"Absent", 99},
        {"NoEquals", 99}, {"QuotedNumber", 5}, {"Text", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GetPrivateProfileInt("Game", c.key, 99, file), c.expected) << c.key;
    }
    EXPECT_EQ(GetPrivateProfileInt("Game", "Number", -3, temp.Path() + "missing.ini"), -3);
}

TEST(Profile, WritePrivateProfileStringEditsInPlace) {
    struct Case {
        const char* name;
        std::optional<std::string> before;  // nullopt: no file
        std::string section;
        std::string key;
        std::string value;
        std::string after;
    };
    const std::string mixed = "; top\r\n[A]\nx=1\n\n[System]\r\n  SkinPath = old \r\nOther=2\r\n\r\n[B]\r\ny=3";
    const Case cases[] = {
        {"creates the file", std::nullopt, "System", "SkinPath", "C:\\s\\",
         "[System]\r\nSkinPath=C:\\s\\\r\n"},
        {"replaces the value, other bytes kept", mixed, "system", "skinpath", "/new/",
         "; top\r\n[A]\nx=1\n\n[System]\r\nSkinPath=/new/\r\nOther=2\r\n\r\n[B]\r\ny=3"},
        {"new key after the section's last line", mixed, "System", "Added", "z",
         "; top\r\n[A]\nx=1\n\n[System]\r\n  SkinPath = old \r\nOther=2\r\nAdded=z\r\n\r\n[B]\r\ny=3"},
        {"new key in a last section without line end", mixed, "B", "z", "4",
         "; top\r\n[A]\nx=1\n\n[System]\r\n  SkinPath = old \r\nOther=2\r\n\r\n[B]\r\ny=3\r\nz=4\r\n"},
        {"new section at the end", mixed, "New", "k", "v",
         mixed + "\r\n\r\n[New]\r\nk=v\r\n"},
        {"new section after a blank last line", "[A]\r\nx=1\r\n\r\n", "New", "k", "v",
         "[A]\r\nx=1\r\n\r\n[New]\r\nk=v\r\n"},
        {"empty value", "[A]\r\nx=1\r\n", "A", "x", "", "[A]\r\nx=\r\n"},
        {"first of duplicate keys", "[A]\r\nx=1\r\nx=2\r\n", "A", "x", "9", "[A]\r\nx=9\r\nx=2\r\n"},
        {"Japanese value in CP932", "[A]\r\n", "A", "x", "\u30B9\u30AD\u30F3\\", "[A]\r\nx=\x83\x58\x83\x4C\x83\x93\\\r\n"},
        {"empty section header", "[A]", "A", "x", "1", "[A]\r\nx=1\r\n"},
    };
    for (const Case& c : cases) {
        TempFolder temp;
        std::string file = temp.Path() + "System.ini";
        if (c.before) temp.Write("System.ini", *c.before);
        EXPECT_TRUE(WritePrivateProfileString(c.section, c.key, c.value, file)) << c.name;
        EXPECT_EQ(TempFolder::Read(file), c.after) << c.name;
        EXPECT_EQ(GetPrivateProfileString(c.section, c.key, "d", file), c.value) << c.name << " reads back";
    }
}

TEST(Profile, WritePrivateProfileStringRefusesWhatWouldNotReadBack) {
    struct Case {
        const char* name;
        std::string section;
        std::string key;
        std::string value;
    };
    const Case cases[] = {
        {"line break in the value", "A", "x", "a\r\nb=c"},
        {"line break in the key", "A", "x\ny", "1"},
        {"NUL in the value", "A", "x", std::string("a\0b", 3)},
        {"character CP932 lacks", "A", "x", "/home/jos\u00E9/"},
        {"empty key", "A", "", "1"},
        {"empty section", " ", "x", "1"},
        {"'=' in the key", "A", "a=b", "1"},
        {"comment key", "A", ";x", "1"},
    };
    TempFolder temp;
    const std::string before = "[A]\r\nx=old\r\n";
    std::string file = temp.Write("System.ini", before);
    for (const Case& c : cases) {
        EXPECT_FALSE(WritePrivateProfileString(c.section, c.key, c.value, file)) << c.name;
        EXPECT_EQ(TempFolder::Read(file), before) << c.name;
    }
}

TEST(Profile, WritePrivateProfileStringFailsWhereNoFileCanBe) {
    TempFolder temp;
    temp.Write("Taken/inside.ini", "[A]\r\n");
    EXPECT_FALSE(WritePrivateProfileString("A", "x", "1", temp.Path() + "Taken"));
    EXPECT_FALSE(WritePrivateProfileString("A", "x", "1", temp.Path() + "Missing/System.ini"));
    EXPECT_EQ(TempFolder::Read(temp.Path() + "Taken/inside.ini"), "[A]\r\n");
}

}  // namespace
}  // namespace dexlora
