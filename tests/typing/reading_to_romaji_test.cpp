// Spelling readings with the bundled tables: ん, っ, pairs, "*", symbols and failures.
#include "typing/reading_to_romaji.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/typing/typing_support.h"

namespace dexlora {
namespace {

// Selects spelling for kana in either table; a spelling the entry lacks leaves a choice past its spellings.
void Select(std::string_view kana, std::string_view spelling) {
    for (RomeEntries* table : {&RomeTable, &Rome2Table}) {
        for (RomeEntry& entry : *table) {
            if (entry.Kana != kana || entry.Count == 0) continue;
            auto first = entry.Romaji.begin();
            entry.Selected = static_cast<int32_t>(std::find(first, first + entry.Count, spelling) - first);
            return;
        }
    }
    ADD_FAILURE() << "no entry for " << kana;
}

TEST(ReadingToRomaji, SpellsWithTheSelectedSpellings) {
    struct Case { const char* reading; const char* romaji; };  // romaji nullptr: the reading cannot be spelled
    // A group selects spellings, or keeps only the first keepRomeEntries entries of Rome.ini.
    struct Group {
        const char* name;
        std::vector<std::pair<const char*, const char*>> select;
        std::vector<Case> cases;
        int32_t keepRomeEntries = -1;
    };
    const std::vector<Group> groups = {
        {"defaults", {}, {
            {"か", "KA"}, {"", nullptr}, {"しちつふじ", "SITITUFUZI"}, {"ヴ", "VU"}, {"きゃく", "KYAKU"}, {"きゃ", "KYA"},
            {"てぃー", "THI-"}, {"ゃき", "XYAKI"}, {"いぇい", "YEI"},
            // ん is N, but NN where a single N would join the next kana or end the reading
            {"ん", "NN"}, {"さんま", "SANMA"}, {"みかん", "MIKANN"}, {"ほんの", "HONNNO"}, {"んん", "NNNN"},
            {"みかん1", "MIKANN1"}, {"みかん。", "MIKANN."}, {"きんえん", "KINNENN"}, {"はんい", "HANNI"},
            {"こんや", "KONNYA"}, {"ほんゆ", "HONNYU"}, {"ほんよ", "HONNYO"}, {"てんいぇ", "TENNYE"},
            {"かんじゃ", "KANJA"}, {"ほんゃ", "HONXYA"},
            // っ doubles the first key of what follows (of a pair's own spelling), or stands alone
            {"っ", "XTU"}, {"きって", "KITTE"}, {"あっ", "AXTU"}, {"あっあ", "AXTUA"}, {"あっん", "AXTUNN"},
            {"っっか", "XTUKKA"}, {"っa", "XTUA"}, {"っ！", "XTU!"}, {"あっ い", "AXTUI"}, {"まっちゃ", "MATTYA"},
            {"ばっじゃ", "BAJJA"}, {"ばっじ", "BAZZI"}, {"っヴぁ", "VVA"}, {"っ漢", nullptr}, {"あっＡ", nullptr},
            // letters, digits and symbols are typed as they stand; a space is a placeholder's empty spelling
            {"（）();:^ー、。？?！!￥％＆・　,.", "()();:^-,.?" "?!!\\%&/ ,."}, {"abcXyz123", "ABCXYZ123"},
            {"あ い", "AI"}, {"Ａ", nullptr}, {"１", nullptr}, {"～", nullptr}, {"かな漢", nullptr},
        }},
        {"ん NN, っ LTSU", {{"ん", "NN"}, {"っ", "LTSU"}},
         {{"さんま", "SANNMA"}, {"かんじゃ", "KANNJA"}, {"ん", "NN"}, {"あっ", "ALTSU"}, {"きって", "KITTE"}}},
        {"ん XN", {{"ん", "XN"}}, {{"さんま", "SANMA"}, {"ん", "NN"}}},
        {"pairs typed as two kana", {{"しゃ", "*"}, {"ゃ", "LYA"}, {"ちゅ", "CHU"}, {"ヴぁ", "*"}, {"じゃ", "*"}},
         {{"しゃしん", "SILYASINN"}, {"ちゅうしゃ", "CHUUSILYA"}, {"ヴぁ", "VUXA"}, {"ばっじゃ", "BAZZILYA"}}},
        {"じゃ ZYA, choices out of range", {{"じゃ", "ZYA"}, {"し", "none"}, {"しゃ", "none"}},
         {{"ばっじゃ", "BAZZYA"}, {"しゃし", "SYASI"}}},
        {"Rome.ini without っ or ん", {}, {{"きって", nullptr}, {"さん", nullptr}, {"かき", "KAKI"}}, 40},
    };
    for (const Group& group : groups) {
        testing_support::LoadBundledTables();
        for (const auto& [kana, spelling] : group.select) Select(kana, spelling);
        if (group.keepRomeEntries >= 0) RomeTable.erase(RomeTable.begin() + group.keepRomeEntries, RomeTable.end() - 2);
        BuildRomeIndex(RomeIndex, RomeTable, 1);
        for (const Case& c : group.cases) {
            std::string romaji = "leftover";
            std::string reason;
            bool converted = ReadingToRomaji(romaji, c.reading, &reason);
            std::string got = converted ? romaji : reason.empty() ? "(no reason)" : "(none)";
            EXPECT_EQ(got, c.romaji ? c.romaji : "(none)") << group.name << ": " << c.reading << " " << reason;
        }
    }
}

}  // namespace
}  // namespace dexlora
