// The typing engine: romaji tables and their lookups, KeyConf.txt, readings to romaji, type.txt, the bundled
// data, and the question checker run on them.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <tuple>

#include "engine/keyconf_file.h"
#include "engine/questions.h"
#include "engine/reading_to_romaji.h"
#include "engine/rome_table.h"
#include "platform/core/encoding.h"
#include "platform/core/error.h"
#include "platform/core/files.h"
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
    // entries: "kana=spelling,spelling" each; problem: how what LoadRomeTable says went wrong starts.
    struct Case { std::string file; bool result; std::string entries; std::string problem; };
    const Case cases[] = {
        {"か\r2\rKA\rCA\r\r\r0\r\rき\r +1 \rKI\r-", true, "か=KA,CA = き=KI", ""},  // CR-only, a placeholder
        {"\x01", false, "", "File not found"},
        {"あ\r\n1\r\nA\r\n\r\nい\r\n1\r\nI\r\n", false, "あ=A い=I", "line 5: the file ends inside the entry"},
        {"あ\r\n1\r\nA\r\n\r\nい\r\none\r\nI\r\n\r\n", false, "あ=A",
         "line 6: the count \"one\" is not a whole number from 0 to 100"},
        {"あ\r\n101\r\nA\r\n", false, "", "line 2: the count \"101\""},
        {"あ\r\n3\r\nA\r\nWA\r\n", false, "あ=A,WA", "line 1: the file ends inside"},
        {[] { std::string many; for (int i = 0; i <= MaxRomeEntries; ++i) many += "\r\n0\r\n\r\n"; return many; }(),
         false, std::string(MaxRomeEntries, '='), "line 3001: more than 1000 entries"},
    };
    TempFolder folder;
    for (const Case& c : cases) {
        WriteData(folder, "Rome.ini", c.file);
        RomeEntries table(3, RomeEntry{"old", 1, {"OLD", ""}, 0});
        std::string problem = "stale", entries;
        EXPECT_EQ(LoadRomeTable(table, "Rome.ini", &problem), c.result) << c.problem;
        for (int32_t e = 0; e < RomeEntryCount(table); ++e) {
            const RomeEntry& entry = table[static_cast<size_t>(e)];
            entries += (e ? " " : "") + entry.Kana + "=";
            for (int32_t s = 0; s < entry.Count; ++s) entries += (s ? "," : "") + entry.Romaji[static_cast<size_t>(s)];
        }
        if (c.problem.starts_with("line 3001")) std::erase(entries, ' ');
        EXPECT_EQ(entries, c.entries) << c.problem;
        EXPECT_EQ(problem.substr(0, c.problem.size()), c.problem) << problem;
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
    struct Case { const char* file; bool result; Choices selected; };
    const Case cases[] = {
        {" 1\r\n0 \r\n\t2\r\n1", true, {1, 0, 2, 1}},   {"1\r\n0\r\n2\r\n1\r\n5\r\n", true, {1, 0, 2, 1}},
        {"1\r\n0\r\n2\r\n", false, {1, 0, 2, 9}},       {"1\r\nx\r\n2\r\n1\r\n", false, {1, 9, 9, 9}},
        {"2\r\n7\r\n-1\r\n1\r\n", true, {0, 0, 0, 1}},  {"\x01", false, {9, 9, 9, 9}},  // no file
    };
    TempFolder folder;
    for (const Case& c : cases) {
        WriteData(folder, "KeyConf.txt", c.file);
        selected() = Choices{9, 9, 9, 9};
        EXPECT_EQ(LoadKeyConf("KeyConf.txt"), c.result) << c.file;
        EXPECT_EQ(Choices(selected()), c.selected) << c.file;
    }
    EXPECT_TRUE(NextSpelling(RomeTable, 2) && RomeTable[2].Selected == 0) << "wraps to the first";
    EXPECT_FALSE(NextSpelling(RomeTable, 1) || NextSpelling(RomeTable, 3)) << "a placeholder, past the table";
}

TEST(ReadingToRomaji, SpellsWithTheSelectedSpellings) {
    struct Case { const char* reading; const char* romaji; };  // romaji nullptr: the reading cannot be spelled
    // A group selects spellings (a spelling an entry lacks leaves its choice out of range), or replaces the
    // first spelling of a kana.
    struct Group { std::vector<std::pair<const char*, std::string>> select, respell; std::vector<Case> cases; };
    const std::vector<Group> groups = {
        {{}, {}, {
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
        {{}, {{"あ", std::string(8, 'A')}, {"い", std::string(9, 'I')}, {"う", std::string(30, 'U')}},  // 8 keys at most
         {{"あ", "AAAAAAAA"}, {"い", nullptr}, {"いa", "IIIIIIIIIA"}, {"ういう", nullptr}}},
        {{{"ん", "NN"}, {"っ", "LTSU"}}, {},
         {{"さんま", "SANNMA"}, {"かんじゃ", "KANNJA"}, {"ん", "NN"}, {"あっ", "ALTSU"}, {"きって", "KITTE"}}},
        {{{"ん", "XN"}}, {}, {{"さんま", "SANMA"}, {"ん", "NN"}}},
        {{{"しゃ", "*"}, {"ゃ", "LYA"}, {"ちゅ", "CHU"}, {"ヴぁ", "*"}, {"じゃ", "*"}}, {},  // pairs as two kana
         {{"しゃしん", "SILYASINN"}, {"ちゅうしゃ", "CHUUSILYA"}, {"ヴぁ", "VUXA"}, {"ばっじゃ", "BAZZILYA"}}},
        {{{"じゃ", "ZYA"}, {"し", "none"}, {"しゃ", "none"}}, {}, {{"ばっじゃ", "BAZZYA"}, {"しゃし", "SYASI"}}},
    };
    for (const Group& group : groups) {
        LoadBundledTables();
        for (const auto& [kana, spelling] : group.select) {
            const std::u32string k = Utf8ToU32(kana);
            const RomeLookup& lookup = RomeLookup::Current();
            RomeEntry& e = k.size() == 1 ? RomeTable[size_t(lookup.Single(k[0]))]
                                         : Rome2Table[size_t(lookup.Pair(k[0], k[1]))];
            e.Selected = int32_t(std::find(e.Romaji.begin(), e.Romaji.end() - 1, spelling) - e.Romaji.begin());
        }
        for (const auto& [kana, s] : group.respell) RomeTable[size_t(RomeLookup::Current().Single(Utf8ToU32(kana)[0]))].Romaji[0] = s;
        for (const Case& c : group.cases) {
            std::string romaji = "leftover", reason;
            const std::string got =
                ReadingToRomaji(romaji, c.reading, &reason) ? romaji : reason.empty() ? "(no reason)" : "(none)";
            EXPECT_EQ(got, c.romaji ? c.romaji : "(none)") << c.reading << " " << reason;
        }
    }
}

TEST(LoadQuestions, KeepsTheSpelledQuestionsOrRaisesLeavingThemIntact) {
    // The outcome: 1 stored, else the error raised. Questions start as three copies of 前;
    // spare entries and QuestionMax are the fuzz target's to check.
    struct Case { const char* file; int32_t outcome; const char* questions; };
    const Case cases[] = {
        {"桜\r\nさくら\r\n\r\n空\r\n\r\n\r\n漢字\r\n漢字\r\n-\r\n富士山\r\nふじさん\r\n\r\n", 1,
         "桜 SAKURA|富士山 FUZISANN|"},  // empty and unspellable readings left out
        {"木\rき\r-\r花\rはな\r--", 1, "木 KI|花 HANA|"}, {"木\r\nき\r\n\r\n花\r\nはな", ErrInputPastEnd, "前 MAE|"},
    };
    TempFolder folder;
    LoadBundledTables();
    for (const Case& c : cases) {
        WriteData(folder, "type.txt", c.file);
        Questions.assign(3, Question{"前", "まえ", "MAE"});
        int32_t outcome = 0;
        try {
            outcome = LoadQuestions(folder.Path(), "type.txt") ? 1 : 0;
        } catch (const RuntimeError& raised) {
            outcome = raised.Number;
        }
        std::string stored;
        for (size_t i = 1; i + 1 < Questions.size(); ++i) {
            stored += std::string(Questions[i].Text) + " " + std::string(Questions[i].Romaji) + "|";
        }
        EXPECT_EQ(std::pair(outcome, stored), std::pair(c.outcome, std::string(c.questions))) << c.file;
    }
    QuestionList list(1);  // the list keeps its texts in one buffer, which may move as it grows
    list.push_back({"桜", "さくら", "SAKURA"});
    list.assign(2, list[1]);  // a copy of one of its own entries
    EXPECT_EQ(std::string(list.back().Romaji) + std::to_string(list.size()), "SAKURA2");
}

TEST(BundledData, EveryQuestionIsTypedUnderOtherSpellingChoices) {
    LoadBundledTables();
    const std::string skin = std::string(DEXLORA_SOURCE_DIR) + "/skins/Standard/";
    ASSERT_TRUE(LoadQuestions(skin, "type.txt"));
    size_t lines = 0;
    for (TextFileReader file(skin + "type.txt"); !file.AtEnd(); file.ReadLine()) ++lines;
    EXPECT_EQ(Questions.size() - 2, lines / 3) << "every question loads with the first spellings";
    for (const bool last : {false, true}) {  // every entry on its second spelling, then on its last
        for (RomeEntries* table : {&RomeTable, &Rome2Table}) {
            for (RomeEntry& e : *table) e.Selected = std::max(0, last ? e.Count - 1 : std::min(1, e.Count - 1));
        }
        for (size_t q = 1; q + 1 < Questions.size(); ++q) {
            std::string romaji;
            EXPECT_TRUE(ReadingToRomaji(romaji, Questions[q].Reading)) << Questions[q].Reading << (last ? " last" : " second");
        }
    }
}

TEST(DexloraCheck, SaysWhatEachQuestionAndFileComesTo) {
    // type.txt (UTF-8, stored as CP932; nullopt: none) is written beside a copy of the bundled system/, then
    // damage runs on the folder; said holds the parts, between '|', of the standard output and error.
    struct Case { std::optional<std::string> typeTxt; std::function<void(const std::string&)> damage; int status;
                  std::string said; };
    const auto none = [](const std::string&) {};
    const auto write = [](const char* name, std::string bytes) {
        return [=](const std::string& folder) { std::ofstream(folder + name, std::ios::binary) << bytes; };
    };
    const std::string tree = "木\r\nき\r\n\r\n";
    const Case cases[] = {
        {"桜\r\nさくら\r\n\r\n空\r\n\r\n\r\n", none, 0, "さくら\tSAKURA\n\t!empty reading\n|: 1 of 2 questions can be typed\n"},
        {"nul\r\nか\0き\tＡ\r\n\r\n"s, none, 1, "か\\x00き\\x09Ａ\t!no spelling for \"\\x00\" (U+0000) at character 2\n"},
        {"空白\r\n \r\n\r\n", none, 1, " \t!the romaji would be empty\n"},
        {"木\r\nき\r\n", none, 1, "!the file ends inside the question that starts at line 1 |the game will not start"},
        {std::nullopt, none, 2, "type.txt: not found\n"},
        {std::nullopt, [](auto& f) { mkfifo((f + "type.txt").c_str(), 0644); }, 2, "type.txt: not a regular file (a FIFO"},
        {"", [](auto& f) { truncate((f + "type.txt").c_str(), (off_t{64} << 20) + 1); }, 2, "type.txt: too large"},
        {tree, [](auto& f) { std::filesystem::remove(f + "system/Rome.ini"), mkdir((f + "system/Rome.ini").c_str(), 0755); },
         2, "Rome.ini: not a regular file (a folder)\n"},
        {tree, write("system/Rome.ini", "a\r\n2000000000\r\nA\r\n"), 1,
         "Rome.ini is malformed at line 2: the count \"2000000000\"|its first 0 entries are used\n"},
        {tree, write("system/Rome.ini", Utf8ToCp932("き\r\n1\r\nKI\r\n\r\nきき\r\n1\r\nKI\r\n\r\nか\r\n2\r\n\r\nka\r\n\r\nあ\r\n1\r\n") +
                                            "A\x80\r\n\r\n"), 0,
         "entry 1 (line 5): the kana \"きき\" is 2|entry 2 (line 11): spelling 1 is empty|entry 2 (line 12): spelling 2 "
         "\"ka\" holds a lower-case|entry 3 (line 16): spelling 1 \"A\uFFFD\" holds a byte that is not CP932|no entry 42"},
        {tree, write("system/KeyConf.txt", "0\r\n99999999999\r\n"), 0, "KeyConf.txt is malformed at line 2"},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        std::filesystem::create_directories(folder.Path() + "system");
        for (const char* name : {"Rome.ini", "Rome2.ini"}) {
            std::filesystem::copy(DEXLORA_SOURCE_DIR "/system/"s + name, folder.Path() + "system");
        }
        if (c.typeTxt) folder.Write("type.txt", Utf8ToCp932(*c.typeTxt));
        c.damage(folder.Path());
        const std::string f = folder.Path();
        const int status =
            std::system((DEXLORA_CHECK " '" + f + "system' '" + f + "type.txt' >'" + f + "out' 2>'" + f + "err'").c_str());
        const std::string said = TempFolder::Read(f + "out") + TempFolder::Read(f + "err");
        EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, c.status) << c.said << "\n" << said;
        for (size_t at = 0, bar; at <= c.said.size(); at = bar + 1) {
            bar = std::min(c.said.find('|', at), c.said.size());
            EXPECT_NE(said.find(c.said.substr(at, bar - at)), std::string::npos) << c.said.substr(at, bar - at) << "\n" << said;
        }
    }
}

}  // namespace
}  // namespace dexlora
