// Flexible romaji: which key sequences finish a reading, which key is refused, the guide and the kana of the next key.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "engine/flexible_romaji.h"
#include "engine/questions.h"
#include "engine/reading_to_romaji.h"
#include "engine/rome_table.h"
#include "platform/core/encoding.h"
#include "settings/shared.h"
#include "tests/support/temp_folder.h"

namespace dexlora {
namespace {

// The bundled tables, first spellings selected.
void LoadBundledTables() {
    SystemPath = DEXLORA_SOURCE_DIR "/system/";
    ASSERT_TRUE(LoadRomeTable(RomeTable, "Rome.ini") && LoadRomeTable(Rome2Table, "Rome2.ini") &&
                BuildRomeIndex(RomeIndex, RomeTable, 1) && BuildRomeIndex(Rome2Index, Rome2Table, 2));
}

// The keys typed until one is refused: "done" when they finish the reading,
// "open" when they are all taken and more are due, else "refused at N".
std::string Outcome(FlexibleRomaji& matcher, std::string_view keys) {
    for (size_t i = 0; i < keys.size(); ++i) {
        if (!matcher.Key(char32_t(keys[i]))) return "refused at " + std::to_string(i);
    }
    return matcher.Complete() ? "done" : "open";
}

TEST(FlexibleRomaji, TakesEveryInputMethodSpellingAndRefusesTheRest) {
    LoadBundledTables();
    const struct { const char* reading; const char* keys; const char* outcome; } rows[] = {
        // The tables' spellings, whole or a pair as its two kana, are the random spellings' below; here the rest.
        {"し", "SHA", "refused at 2"}, {"ふぁ", "FA", "done"}, {"ふぁ", "HULA", "done"}, {"いぇ", "YE", "done"},
        {"いぇ", "IXE", "done"}, {"ゐを", "WYIWO", "done"}, {"ー、。・", "-,./", "done"}, {"aB1", "AB1", "done"},
        // ん: NN, XN, N' always; a single N before a consonant but N and Y
        {"こんばん", "KONBAN", "open"}, {"きんえん", "KINEN", "refused at 3"}, {"おんな", "ONNA", "refused at 3"},
        {"こんや", "KONYA", "refused at 3"}, {"ほんにゃ", "HONNYA", "refused at 4"}, {"うんん", "UNXN", "refused at 2"},
        {"かんっぱ", "KANPPA", "done"},
        // っ: the next kana's first consonant doubled, or on its own
        {"きって", "KICCE", "refused at 2"}, {"まっちゃ", "MATCHA", "refused at 3"}, {"あっわ", "AWWA", "done"},
        {"あっゐ", "AWWYI", "refused at 1"}, {"あっあ", "AA", "refused at 1"}, {"あっな", "ANNA", "refused at 1"},
        {"あっん", "AXTSUNN", "done"}, {"あっ", "AXTU", "done"}, {"あっ", "AT", "refused at 1"},
        {"あっっか", "AXTUKKA", "done"}, {"あっ、", "A,", "refused at 1"},
    };
    for (const auto& row : rows) {
        FlexibleRomaji matcher(row.reading);
        EXPECT_EQ(Outcome(matcher, row.keys), row.outcome) << row.reading << " typed " << row.keys;
    }
    // A key configuration that lists one spelling of し: the input method's others are taken too.
    test::TempFolder folder;
    folder.Write("Rome.ini", "\x82\xB5\r\n1\r\nSI\r\n\r\n"), folder.Write("Rome2.ini", "");
    SystemPath = folder.Path();
    ASSERT_TRUE(LoadRomeTable(RomeTable, "Rome.ini") && BuildRomeIndex(RomeIndex, RomeTable, 1));
    for (const char* keys : {"SI", "SHI", "CI"}) {
        FlexibleRomaji matcher("し");
        EXPECT_EQ(Outcome(matcher, keys), "done") << keys << " on a table of SI alone";
    }
    LoadBundledTables();
}

TEST(FlexibleRomaji, GuideFollowsTheSpellingTheKeysCommitTo) {
    LoadBundledTables();
    const struct { const char* reading; const char* keys; const char* guide; const char* kana; } rows[] = {
        {"しか", "", "SIKA", "し"}, {"しか", "S", "SIKA", "し"}, {"しか", "SH", "SHIKA", "し"},
        {"しか", "SHIC", "SHICA", "か"}, {"つ", "TS", "TSU", "つ"}, {"きゃく", "KI", "KIXYAKU", "きゃ"},
        {"きゃく", "KIXYA", "KIXYAKU", "く"}, {"こんばん", "KON", "KONBANN", "ば"}, {"こんばん", "KONN", "KONNBANN", "ば"},
        {"こんばん", "KONB", "KONBANN", "ば"}, {"ほん", "HON", "HONN", "ん"}, {"まっちゃ", "MA", "MATTYA", "っ"},
        {"まっちゃ", "MAC", "MACCHA", "ちゃ"}, {"あっな", "", "AXTUNA", "あ"}, {"いぇ", "Y", "YE", "いぇ"},
        {"いぇ", "I", "IXE", "いぇ"}, {"あ", "A", "A", ""},
    };
    for (const auto& row : rows) {
        FlexibleRomaji matcher(row.reading);
        for (const char* key = row.keys; *key; ++key) matcher.Key(char32_t(*key));
        EXPECT_EQ(matcher.Guide(), row.guide) << row.reading << " after " << row.keys;
        EXPECT_EQ(matcher.KanaIndex().Text, row.kana) << row.reading << " after " << row.keys;
    }
    RomeTable[21].Selected = 1;      // SHI: the key configuration's choice leads the guide
    EXPECT_EQ(FlexibleRomaji("しし").Guide(), "SHISHI");
    RomeTable[21].Selected = 0;
}

// A spelling of the reading drawn at random from the tables piece by piece,
// apart from the matcher: any spelling of a piece, a pair sometimes as its two
// kana, ん and っ on their own or joined to the next piece as the tables join them.
std::string RandomSpelling(std::string_view reading, std::mt19937& random) {
    std::string romaji, keys;
    std::vector<SpelledUnit> units;
    const RomeLookup& lookup = RomeLookup::Current();
    const auto pick = [&](int32_t index, const RomeEntries& table = RomeTable) {
        const RomeEntry& entry = table[size_t(index)];
        const std::string& s = entry.Romaji[random() % size_t(entry.Count)];
        return s == "*" ? entry.Romaji[0] : s;
    };
    bool doubled = false;  // the last piece was っ, typed as the first key of this one
    for (size_t u = 0; ReadingToRomaji(romaji, units, reading, lookup) && u < units.size(); ++u) {
        const std::u32string kana = Utf8ToU32(reading.substr(units[u].Byte, 3 * units[u].Characters));
        const bool joins = units[u].JoinsNext && (kana[0] == U'ん' || romaji[units[u].RomajiStart] != 'N');
        std::string typed = PlainKey(kana[0]) ? std::string(1, PlainKey(kana[0]))
                            : kana[0] == U'ん'  ? (joins ? "N" : std::vector<std::string>{"NN", "XN", "N'"}[random() % 3])
                            : kana[0] == U'っ'  ? (joins && random() % 2 ? "" : pick(SmallTsuEntry))
                            : units[u].Characters == 1 ? pick(lookup.Single(kana[0]))
                            : random() % 3 ? pick(lookup.Pair(kana[0], kana[1]), Rome2Table)
                                           : pick(lookup.Single(kana[0])) + pick(lookup.Single(kana[1]));
        if (doubled) keys += typed[0];
        doubled = typed.empty();
        keys += typed;
    }
    return keys;
}

TEST(FlexibleRomaji, RandomSpellingsOfTheBundledQuestionsFinishWithoutAMiss) {
    LoadBundledTables();
    ASSERT_TRUE(LoadQuestions(DEXLORA_SOURCE_DIR "/skins/Standard/", "type.txt"));
    std::mt19937 random(20261207);
    for (int round = 0; round < 400; ++round) {
        const Question question = Questions[1 + random() % size_t(QuestionMax + 1)];
        const std::string keys = RandomSpelling(question.Reading, random);
        FlexibleRomaji matcher(question.Reading);
        EXPECT_EQ(Outcome(matcher, keys), "done") << question.Reading << " typed " << keys;
        EXPECT_EQ(matcher.Guide(), keys) << question.Reading;
    }
}

}  // namespace
}  // namespace dexlora
