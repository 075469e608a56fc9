// The typing engine: romaji tables and their lookups, KeyConf.txt, readings to romaji, type.txt, and the
// question checker run on them. (The install test checks the bundled skin's questions with the checker.)
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <tuple>

#include "engine/keyconf_file.h"
#include "engine/questions.h"
#include "engine/reading_to_romaji.h"
#include "engine/rome_table.h"
#include "platform/core/encoding.h"
#include "platform/core/error.h"
#include "settings/shared.h"
#include "tests/support/temp_folder.h"

namespace dexlora {
namespace {

using test::TempFolder;
using namespace std::string_literals;

// Loads the bundled system/Rome.ini and Rome2.ini, first spellings selected, and their indexes.
void LoadBundledTables() {
    SystemPath = DEXLORA_SOURCE_DIR "/system/";
    ASSERT_TRUE(LoadRomeTable(RomeTable, "Rome.ini") && LoadRomeTable(Rome2Table, "Rome2.ini") &&
                BuildRomeIndex(RomeIndex, RomeTable, 1) && BuildRomeIndex(Rome2Index, Rome2Table, 2));
}

// The file (UTF-8, written as CP932) as name in the folder, which becomes SystemPath, or no such file for "\x01".
void WriteData(const TempFolder& folder, const char* name, const std::string& file) {
    SystemPath = folder.Path();
    std::filesystem::remove(folder.Path() + name);
    if (file != "\x01") folder.Write(name, Utf8ToCp932(file));
}

TEST(RomeTableLoad, KeepsWhatWasReadAndReportsDamage) {
    // The file, the result, its entries ("kana=spelling,spelling" each), what is wrong with it.
    const std::tuple<std::string, bool, std::string, std::string> cases[] = {
        {"か\r2\rKA\rCA\r\r\r0\r\rき\r +1 \rKI\r-", true, "か=KA,CA = き=KI", ""},  // CR-only, a placeholder
        {"あ\r\n1\r\nA\r\n\r\nい\r\n1\r\nI\r\n", false, "あ=A い=I", "line 5: the file ends inside the entry"},
        {"あ\r\n1\r\nA\r\n\r\nい\r\none\r\nI\r\n\r\n", false, "あ=A", "line 6: the count \"one\" is not a whole number"},
        {"あ\r\n101\r\nA\r\n", false, "", "line 2: the count \"101\""},
        {"あ\r\n3\r\nA\r\nWA\r\n", false, "あ=A,WA", "line 1: the file ends inside"},
    };
    TempFolder folder;
    for (const auto& [file, result, expected, said] : cases) {
        WriteData(folder, "Rome.ini", file);
        RomeEntries table(3, RomeEntry{"old", 1, {"OLD", ""}, 0});
        std::string entries;
        EXPECT_EQ(LoadRomeTable(table, "Rome.ini"), result) << said;
        for (int32_t e = 0; e < RomeEntryCount(table); ++e) {
            entries += (e ? " " : "") + table[size_t(e)].Kana + "=";
            for (int32_t s = 0; s < table[size_t(e)].Count; ++s)
                entries += (s ? "," : "") + table[size_t(e)].Romaji[size_t(s)];
        }
        EXPECT_EQ(entries, expected) << said;
    }
    WriteData(folder, "Rome.ini", "あ\r\n1\r\nA\r\n\r\nいい\r\n1\r\nI\r\n\r\nう\r\n1\r\nU\r\n\r\n");
    ASSERT_TRUE(LoadRomeTable(RomeTable, "Rome.ini") && BuildRomeIndex(RomeIndex, RomeTable, 1));
    EXPECT_EQ(RomeLookup::Current().Single(U'う'), 2)
        << "a kana of the wrong length keeps its slot in the index, and the entries after it theirs";
}

TEST(KeyConfFile, LoadAppliesNumbersByPositionAndStopsAtDamage) {
    // Entries: か (KA, CA), a placeholder, し (SI, SHI, CI), then the pair きゃ (KYA, *). Choices start at 9
    // (out of range) and keep it where not read.
    using Choices = std::tuple<int32_t, int32_t, int32_t, int32_t>;
    const auto selected = [] {
        return std::tie(RomeTable[0].Selected, RomeTable[1].Selected, RomeTable[2].Selected, Rome2Table[0].Selected);
    };
    RomeTable = {{"か", 2, {"KA", "CA", ""}, 0}, {}, {"し", 3, {"SI", "SHI", "CI", ""}, 0}, {}, {}};
    Rome2Table = {{"きゃ", 2, {"KYA", "*", ""}, 0}, {}, {}};
    const std::tuple<const char*, bool, Choices> cases[] = {
        {" 1\r\n0 \r\n\t2\r\n1", true, {1, 0, 2, 1}},   {"1\r\n0\r\n2\r\n1\r\n5\r\n", true, {1, 0, 2, 1}},
        {"1\r\n0\r\n2\r\n", false, {1, 0, 2, 9}},       {"1\r\nx\r\n2\r\n1\r\n", false, {1, 9, 9, 9}},
        {"2\r\n7\r\n-1\r\n1\r\n", true, {0, 0, 0, 1}},  {"\x01", false, {9, 9, 9, 9}},  // no file
    };
    TempFolder folder;
    for (const auto& [file, result, choices] : cases) {
        WriteData(folder, "KeyConf.txt", file);
        selected() = Choices{9, 9, 9, 9};
        EXPECT_EQ(LoadKeyConf("KeyConf.txt"), result) << file;
        EXPECT_EQ(Choices(selected()), choices) << file;
    }
    EXPECT_TRUE(NextSpelling(RomeTable, 2) && RomeTable[2].Selected == 0) << "wraps to the first";
    EXPECT_FALSE(NextSpelling(RomeTable, 1) || NextSpelling(RomeTable, 3)) << "a placeholder, past the table";
}

TEST(ReadingToRomaji, SpellsWithTheSelectedSpellings) {
    // A group selects spellings (a spelling an entry lacks leaves its choice out of range), or with "=" replaces the
    // first spelling of a kana; then readings and their romaji (nullptr: the reading cannot be spelled).
    using Pairs = std::vector<std::pair<const char*, std::string>>;
    const std::vector<std::pair<Pairs, std::vector<std::pair<const char*, const char*>>>> groups = {
        {{}, {
            {"", nullptr}, {"しちつふじ", "SITITUFUZI"}, {"ヴ", "VU"}, {"きゃく", "KYAKU"}, {"てぃー", "THI-"},
            {"ゃき", "XYAKI"}, {"いぇい", "YEI"},
            // ん is N, but NN where a single N would join the next kana or end the reading
            {"さんま", "SANMA"}, {"みかん", "MIKANN"}, {"ほんの", "HONNNO"}, {"んん", "NNNN"}, {"みかん1", "MIKANN1"},
            {"はんい", "HANNI"}, {"こんや", "KONNYA"}, {"てんいぇ", "TENNYE"}, {"かんじゃ", "KANJA"}, {"ほんゃ", "HONXYA"},
            // っ doubles the first key of what follows (of a pair's own spelling), or stands alone
            {"きって", "KITTE"}, {"あっ", "AXTU"}, {"あっあ", "AXTUA"}, {"あっん", "AXTUNN"}, {"っっか", "XTUKKA"},
            {"っa", "XTUA"}, {"あっ い", "AXTUI"}, {"まっちゃ", "MATTYA"}, {"ばっじゃ", "BAJJA"}, {"ばっじ", "BAZZI"},
            {"っヴぁ", "VVA"}, {"っ漢", nullptr},
            // letters, digits and symbols are typed as they stand; a space is a placeholder's empty spelling
            {"（）();:^ー、。？?！!￥％＆・　,.", "()();:^-,.?" "?!!\\%&/ ,."}, {"abcXyz123", "ABCXYZ123"},
            {"あ い", "AI"}, {"Ａ", nullptr}, {"かな漢", nullptr}, {"   ", nullptr},
        }},
        // a spelling takes 8 keys at most
        {{{"あ", "=" + std::string(8, 'A')}, {"い", "=" + std::string(9, 'I')}, {"う", "=" + std::string(30, 'U')}},
         {{"あ", "AAAAAAAA"}, {"い", nullptr}, {"いa", "IIIIIIIIIA"}, {"ういう", nullptr}}},
        {{{"ん", "NN"}, {"っ", "LTSU"}},
         {{"さんま", "SANNMA"}, {"かんじゃ", "KANNJA"}, {"ん", "NN"}, {"あっ", "ALTSU"}, {"きって", "KITTE"}}},
        {{{"しゃ", "*"}, {"ゃ", "LYA"}, {"ちゅ", "CHU"}, {"ヴぁ", "*"}, {"じゃ", "*"}},  // pairs as two kana
         {{"しゃしん", "SILYASINN"}, {"ちゅうしゃ", "CHUUSILYA"}, {"ヴぁ", "VUXA"}, {"ばっじゃ", "BAZZILYA"}}},
        {{{"じゃ", "ZYA"}, {"し", "none"}, {"しゃ", "none"}}, {{"ばっじゃ", "BAZZYA"}, {"しゃし", "SYASI"}}},
    };
    for (const auto& [select, readings] : groups) {
        LoadBundledTables();
        for (const auto& [kana, spelling] : select) {
            const std::u32string k = Utf8ToU32(kana);
            const RomeLookup& lookup = RomeLookup::Current();
            RomeEntry& e = k.size() == 1 ? RomeTable[size_t(lookup.Single(k[0]))] : Rome2Table[size_t(lookup.Pair(k[0], k[1]))];
            if (spelling.starts_with('=')) e.Romaji[0] = spelling.substr(1);
            else e.Selected = int32_t(std::find(e.Romaji.begin(), e.Romaji.end() - 1, spelling) - e.Romaji.begin());
        }
        for (const auto& [reading, expected] : readings) {
            std::string romaji = "leftover", reason;
            const bool spelled = ReadingToRomaji(romaji, reading, &reason);
            EXPECT_EQ(spelled ? romaji : reason.empty() ? "(no reason)" : "(none)", expected ? expected : "(none)")
                << reading << " " << reason;
        }
    }
}

TEST(LoadQuestions, KeepsTheSpelledQuestionsOrRaisesLeavingThemIntact) {
    // The outcome: 1 stored, else the error raised. Questions start as three copies of 前;
    // spare entries and QuestionMax are the fuzz target's to check.
    const std::tuple<const char*, int32_t, std::string> cases[] = {
        {"桜\r\nさくら\r\n\r\n空\r\n\r\n\r\n漢字\r\n漢字\r\n-\r\n富士山\r\nふじさん\r\n\r\n", 1,
         "桜 SAKURA|富士山 FUZISANN|"},  // empty and unspellable readings left out
        {"木\rき\r-\r花\rはな\r--", 1, "木 KI|花 HANA|"}, {"木\r\nき\r\n\r\n花\r\nはな", ErrInputPastEnd, "前 MAE|"},
    };
    TempFolder folder;
    LoadBundledTables();
    for (const auto& [file, expected, questions] : cases) {
        WriteData(folder, "type.txt", file);
        Questions.assign(3, Question{"前", "まえ", "MAE"});
        int32_t outcome = 0;
        try { outcome = LoadQuestions(folder.Path(), "type.txt") ? 1 : 0; } catch (const RuntimeError& e) { outcome = e.Number; }
        std::string stored;
        for (size_t i = 1; i + 1 < Questions.size(); ++i)
            stored += std::string(Questions[i].Text) + " " + std::string(Questions[i].Romaji) + "|";
        EXPECT_EQ(std::pair(outcome, stored), std::pair(expected, questions)) << file;
    }
}

TEST(DexloraCheck, SaysWhatEachQuestionAndFileComesTo) {
    // type.txt (UTF-8, stored as CP932; nullopt: none) beside system/ with the bundled tables or this Rome.ini; the
    // status; said holds the parts, between '|', of the standard output and error.
    const std::string tree = "木\r\nき\r\n\r\n";
    const std::tuple<std::optional<std::string>, std::string, int, std::string> cases[] = {
        {"桜\r\nさくら\r\n\r\n空\r\n\r\n\r\n", "", 0, "さくら\tSAKURA\n\t!empty reading\n|: 1 of 2 questions can be typed\n"},
        {"nul\r\nか\0き\tＡ\r\n\r\n"s, "", 1, "か\\x00き\\x09Ａ\t!no spelling for \"\\x00\" (U+0000) at character 2\n"},
        {"木\r\nき\r\n", "", 1, "!the file ends inside the question that starts at line 1 |the game will not start"},
        {tree, "a\r\n2000000000\r\nA\r\n", 1, "Rome.ini is malformed at line 2|its first 0 entries are used"},
    };
    for (const auto& [typeTxt, romeIni, expected, parts] : cases) {
        TempFolder folder;
        const std::string f = folder.Path();
        std::filesystem::copy(DEXLORA_SOURCE_DIR "/system", f + "system");
        if (typeTxt) folder.Write("type.txt", Utf8ToCp932(*typeTxt));
        if (!romeIni.empty()) folder.Write("system/Rome.ini", romeIni);
        const int status = std::system((DEXLORA_CHECK " '" + f + "system' '" + f + "type.txt' >'" + f + "out' 2>&1").c_str());
        const std::string said = TempFolder::Read(f + "out");
        EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, expected) << parts << "\n" << said;
        for (size_t at = 0, bar; at <= parts.size(); at = bar + 1) {
            bar = std::min(parts.find('|', at), parts.size());
            EXPECT_NE(said.find(parts.substr(at, bar - at)), std::string::npos) << parts.substr(at, bar - at) << "\n" << said;
        }
    }
}

}  // namespace
}  // namespace dexlora
