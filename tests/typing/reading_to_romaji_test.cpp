// Spelling readings with the bundled tables: ん, っ, pairs, "*", symbols and failures.
#include "typing/reading_to_romaji.h"

#include <gtest/gtest.h>

#include "tests/typing/typing_support.h"

namespace dexlora {
namespace {

using testing_support::LoadBundledTables;
using testing_support::Select;

struct Case {
    const char* reading;
    const char* romaji;  // nullptr: the reading cannot be spelled
};

void ExpectSpellings(std::initializer_list<Case> cases, const char* context) {
    for (const Case& c : cases) {
        std::string romaji = "leftover";
        std::string reason;
        bool converted = ReadingToRomaji(romaji, c.reading, &reason);
        if (c.romaji) {
            EXPECT_TRUE(converted) << context << ": " << c.reading << " (" << reason << ")";
            EXPECT_EQ(romaji, c.romaji) << context << ": " << c.reading;
        } else {
            EXPECT_FALSE(converted) << context << ": " << c.reading << " gave " << romaji;
            EXPECT_FALSE(reason.empty()) << context << ": " << c.reading;
        }
    }
}

class ReadingToRomajiTest : public ::testing::Test {
protected:
    void SetUp() override { LoadBundledTables(); }
};

TEST_F(ReadingToRomajiTest, DefaultSpellings) {
    ExpectSpellings(
        {
            {"あ", "A"},
            {"か", "KA"},
            {"しちつふじ", "SITITUFUZI"},
            {"ヴ", "VU"},
            {"", nullptr},
            // pairs come before the single kana
            {"きゃく", "KYAKU"},
            {"じゃま", "JAMA"},
            {"てぃー", "THI-"},
            {"ヴぁいおりん", "VAIORINN"},
            {"いぇい", "YEI"},
            {"ゃき", "XYAKI"},
            {"きゃ", "KYA"},
        },
        "defaults");
}

TEST_F(ReadingToRomajiTest, SyllabicN) {
    ExpectSpellings(
        {
            {"ん", "NN"},
            {"みかん", "MIKANN"},
            {"さんま", "SANMA"},
            {"しんぶん", "SINBUNN"},
            {"ほんの", "HONNNO"},
            {"こんにちは", "KONNNITIHA"},
            {"んん", "NNNN"},
            {"みかんA", "MIKANNA"},
            {"みかん1", "MIKANN1"},
            {"みかん。", "MIKANN."},
            {"みかんー", "MIKANN-"},
            {"みかん　", "MIKANN "},
            // before a vowel or や, ゆ, よ a single N would join the next kana
            {"きんえん", "KINNENN"},
            {"こんや", "KONNYA"},
            {"ほんゆ", "HONNYU"},
            {"ほんよ", "HONNYO"},
            {"れんあい", "RENNAI"},
            {"はんい", "HANNI"},
            {"てんいぇ", "TENNYE"},
            // other kana and pairs keep the single N
            {"かんじゃ", "KANJA"},
            {"ほんゃ", "HONXYA"},
        },
        "ん with N selected");

    Select(RomeTable, "ん", "NN");
    ExpectSpellings({{"さんま", "SANNMA"}, {"かんじゃ", "KANNJA"}, {"ん", "NN"}}, "ん with NN selected");
    // Only "NN" changes the rule; every other choice types the single N.
    Select(RomeTable, "ん", "XN");
    ExpectSpellings({{"さんま", "SANMA"}, {"ん", "NN"}}, "ん with XN selected");
}

TEST_F(ReadingToRomajiTest, SmallTsu) {
    ExpectSpellings(
        {
            {"っ", "XTU"},
            {"きって", "KITTE"},
            {"あっ", "AXTU"},
            {"あっあ", "AXTUA"},
            {"えっお", "EXTUO"},
            {"あっん", "AXTUNN"},
            {"っA", "XTUA"},
            {"っa", "XTUA"},
            {"っ1", "XTU1"},
            {"っ！", "XTU!"},
            {"いっしょ", "ISSYO"},
            {"まっちゃ", "MATTYA"},
            {"ばっじゃ", "BAJJA"},
            {"かっぱ", "KAPPA"},
            {"っヴぁ", "VVA"},
            // っっ: the first has no consonant to double
            {"っっか", "XTUKKA"},
            // a space has no key of its own (a placeholder's empty spelling)
            {"あっ い", "AXTUI"},
            // っ before a character without a spelling: the reading is left out
            {"っ漢", nullptr},
            {"あっＡ", nullptr},
        },
        "defaults");

    // The doubled key is the first key of the pair's own spelling.
    Select(RomeTable, "じ", "ZI");
    Select(Rome2Table, "じゃ", "JA");
    ExpectSpellings({{"ばっじゃ", "BAJJA"}, {"ばっじ", "BAZZI"}}, "じ ZI, じゃ JA");
    Select(Rome2Table, "じゃ", "ZYA");
    ExpectSpellings({{"ばっじゃ", "BAZZYA"}}, "じゃ ZYA");
    Select(Rome2Table, "じゃ", "*");
    ExpectSpellings({{"ばっじゃ", "BAZZIXYA"}}, "じゃ typed as two kana");
    Select(RomeTable, "っ", "LTSU");
    ExpectSpellings({{"あっ", "ALTSU"}, {"きって", "KITTE"}}, "っ LTSU");
}

TEST_F(ReadingToRomajiTest, PairsAndTheirAsterisk) {
    Select(Rome2Table, "しゃ", "*");
    Select(Rome2Table, "ちゅ", "CHU");
    Select(RomeTable, "ゃ", "LYA");
    ExpectSpellings({{"しゃしん", "SILYASINN"}, {"ちゅうしゃ", "CHUUSILYA"}, {"しゃ", "SILYA"}},
                    "しゃ typed as two kana");
    Select(Rome2Table, "ヴぁ", "*");
    ExpectSpellings({{"ヴぁ", "VUXA"}}, "ヴぁ typed as two kana");
}

TEST_F(ReadingToRomajiTest, LettersDigitsAndSymbols) {
    ExpectSpellings(
        {
            {"（）();:^ー、。？?！!￥％＆・　,.", "()();:^-,.?" "?!!\\%&/ ,."},
            {"ABC123", "ABC123"},
            {"abcXyz", "ABCXYZ"},
            {"Ａ", nullptr},
            {"１", nullptr},
            {"～", nullptr},
            // an ordinary space is no symbol: it matches a placeholder and is typed as nothing
            {"あ い", "AI"},
            {"漢字", nullptr},
            {"かな漢", nullptr},
        },
        "plain keys");
    std::string romaji;
    std::string reason;
    EXPECT_FALSE(ReadingToRomaji(romaji, "かなＡ", &reason));
    EXPECT_NE(reason.find("\"Ａ\" (U+FF21) at character 3"), std::string::npos) << reason;
    EXPECT_FALSE(ReadingToRomaji(romaji, "", &reason));
    EXPECT_EQ(reason, "empty reading");
    EXPECT_FALSE(ReadingToRomaji(romaji, "あ漢"));  // the reason is optional
}

TEST_F(ReadingToRomajiTest, OutOfRangeSelectionUsesTheFirstSpelling) {
    RomeTable[static_cast<size_t>(testing_support::EntryOf(RomeTable, "し"))].Selected = 7;
    RomeTable[static_cast<size_t>(testing_support::EntryOf(RomeTable, "か"))].Selected = -3;
    Rome2Table[static_cast<size_t>(testing_support::EntryOf(Rome2Table, "しゃ"))].Selected = 99;
    ExpectSpellings({{"しか", "SIKA"}, {"しゃ", "SYA"}}, "out of range");
}

TEST_F(ReadingToRomajiTest, ShortRomeIniLacksSmallTsuOrN) {
    // Keep entries 0 to 49: っ (42) is there, ん (94) is not.
    RomeTable.resize(50 + 2);
    RomeTable[50] = RomeEntry{};
    RomeTable[51] = RomeEntry{};
    BuildRomeIndex(RomeIndex, RomeTable, 1);
    ExpectSpellings({{"きって", "KITTE"}, {"っ", "XTU"}, {"さん", nullptr}, {"ん", nullptr}}, "50 entries");

    RomeTable.resize(40 + 2);
    RomeTable[40] = RomeEntry{};
    RomeTable[41] = RomeEntry{};
    BuildRomeIndex(RomeIndex, RomeTable, 1);
    ExpectSpellings({{"きって", nullptr}, {"っ", nullptr}, {"かき", "KAKI"}}, "40 entries");

    RomeTable = RomeEntries(2);
    Rome2Table = RomeEntries(2);
    BuildRomeIndex(RomeIndex, RomeTable, 1);
    BuildRomeIndex(Rome2Index, Rome2Table, 2);
    ExpectSpellings({{"か", nullptr}, {"っ", nullptr}, {"ABC", "ABC"}}, "no tables");
}

}  // namespace
}  // namespace dexlora
