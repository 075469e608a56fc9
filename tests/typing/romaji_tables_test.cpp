// Romaji tables: loading (damaged files, the bundled ones), searching their indexes, choices kept in KeyConf.txt.
#include "engine/rome_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <tuple>

#include "engine/keyconf_file.h"
#include "tests/typing/typing_support.h"

namespace dexlora {
namespace {

using testing_support::MakeTable;
using testing_support::TempFolder;

// "spelling,spelling" of one entry, and "kana=spelling,spelling" for every entry of a table.
std::string Spellings(const RomeEntry& entry) {
    std::string text;
    for (int32_t s = 0; s < entry.Count; ++s) text += (s ? "," : "") + entry.Romaji[static_cast<size_t>(s)];
    return text;
}
std::string Describe(const RomeEntries& table) {
    std::string text;
    for (auto entry = table.begin(); entry + 2 < table.end(); ++entry) {
        text += (text.empty() ? "" : " ") + entry->Kana + "=" + Spellings(*entry);
    }
    return text;
}

TEST(RomeTableLoad, KeepsWhatWasReadAndReportsDamage) {
    // file nullptr: none; problem: what LoadRomeTable says went wrong.
    struct Case { const char* name; std::string file; bool result; const char* entries; const char* problem; };
    std::string spellingLines;  // a count far beyond the limit, followed by many lines
    for (int i = 0; i < 20000; ++i) spellingLines += "KA\r\n";
    std::string manyEntries;  // one entry more than a table may hold
    for (int32_t i = 0; i <= MaxRomeEntries; ++i) manyEntries += "\r\n0\r\n\r\n";
    const Case cases[] = {
        {"groups, placeholder", "か\r\n2\r\nKA\r\nCA\r\n\r\n\r\n0\r\n\r\nき\r\n +1 \r\nKI\r\n-", true, "か=KA,CA = き=KI", ""},
        {"empty file", "", true, "", ""},
        {"missing file", "\x01", false, "", "File not found"},
        {"CR-only line ends", "あ\r1\rA\r\rい\r1\rI\r-", true, "あ=A い=I", ""},
        {"last separator missing", "あ\r\n1\r\nA\r\n\r\nい\r\n1\r\nI\r\n", false, "あ=A い=I",
         "line 5: the file ends inside the entry (its separator line is missing)"},
        {"count not a number", "あ\r\n1\r\nA\r\n\r\nい\r\none\r\nI\r\n\r\n", false, "あ=A",
         "line 6: the count \"one\" is not a whole number from 0 to 100"},
        {"negative count", "あ\r\n1\r\nA\r\n\r\nい\r\n-1\r\n\r\n", false, "あ=A", "line 6: the count \"-1\""},
        {"count past 32 bits", "あ\r\n99999999999\r\nA\r\n\r\n", false, "", "line 2: the count"},
        {"count with a NUL", std::string("あ\r\n1\0\r\nA\r\n\r\n", 12), false, "", "line 2: the count \"1\\x00\""},
        {"file ends inside the spellings", "あ\r\n3\r\nA\r\nWA\r\n", false, "あ=A,WA", "line 1: the file ends inside"},
        {"file ends after a kana", "あ\r\n1\r\nA\r\n\r\nい", false, "あ=A", "line 5: the file ends inside"},
        {"huge count, many lines", "あ\r\n2000000000\r\n" + spellingLines, false, "", "line 2: the count"},
        {"count just past the limit", "あ\r\n101\r\n" + spellingLines, false, "", "line 2: the count \"101\""},
        {"more entries than a table holds", manyEntries, false, "", "line 3001: more than 1000 entries"},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        if (c.file != "\x01") folder.Write("Rome.ini", Utf8ToCp932(c.file));
        SystemPath = folder.Path();
        RomeEntries table = MakeTable({{"old", {"OLD"}}});
        std::string problem = "stale";
        EXPECT_EQ(LoadRomeTable(table, "Rome.ini", &problem), c.result) << c.name;
        if (std::string(c.name) != "more entries than a table holds") {
            EXPECT_EQ(Describe(table), c.entries) << c.name;
        } else {
            EXPECT_EQ(RomeEntryCount(table), MaxRomeEntries) << c.name;
        }
        EXPECT_EQ(problem.substr(0, std::strlen(c.problem)), c.problem) << c.name << ": " << problem;
        EXPECT_EQ(problem.empty(), c.result) << c.name << ": " << problem;
    }
}

TEST(RomeTableCheck, NamesEveryEntryNoKeyCouldType) {
    struct Case { const char* name; RomeEntries table; int32_t width; std::vector<std::string> findings; };
    const std::vector<std::string> k = {"K"};
    const Case cases[] = {
        {"sound table", MakeTable({{"か", {"KA", "CA"}}, {"", {}}, {"-", {"-"}}, {"　", {" "}}}), 1, {}},
        {"empty spelling", MakeTable({{"か", {"KA"}}, {"あ", {"A", ""}}}), 1,
         {"1@8: spelling 2 is empty: a question needing it could never be completed"}},
        {"placeholders are not checked", MakeTable({{"long label", {}}, {"", {}}, {"あ", {"A"}}}), 1, {}},
        {"kana too long", MakeTable({{"あ", k}, {"いい", k}, {"う", k}}), 1,
         {"1@5: the kana \"いい\" is 2 characters long, not 1: no reading ever finds it"}},
        {"pair too short", MakeTable({{"き", {"KI"}}}), 2,
         {"0@1: the kana \"き\" is 1 characters long, not 2: no reading ever finds it"}},
        {"kana with a byte that is not CP932", MakeTable({{"\xEF\xBF\xBD", k}}), 1,
         {"0@1: the kana \"\xEF\xBF\xBD\" holds a byte that is not CP932"}},
        {"kana NUL", MakeTable({{std::string(1, '\0'), k}}), 1,
         {"0@1: the kana \"\\x00\" holds a control character (U+0000)"}},
        {"untypable spellings", MakeTable({{"あ", {"A\xEF\xBF\xBD", "a", "Aー", "A\tB"}}}), 1,
         {"0@3: spelling 1 \"A\xEF\xBF\xBD\" holds a byte that is not CP932 (U+FFFD)",
          "0@4: spelling 2 \"a\" holds a lower-case letter, which typing never gives (letters arrive as capitals) (U+0061)",
          "0@5: spelling 3 \"Aー\" holds a character no key types (U+30FC)",
          "0@6: spelling 4 \"A\\x09B\" holds a character no key types (U+0009)"}},
        {"* spells a pair as two kana", MakeTable({{"きゃ", {"KYA", "*"}}}), 2, {}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> got;
        for (const RomeTableFinding& f : CheckRomeTable(c.table, c.width)) {
            got.push_back(std::to_string(f.Entry) + "@" + std::to_string(f.Line) + ": " + f.What);
        }
        EXPECT_EQ(got, c.findings) << c.name;
    }
}

// Each lookup goes through the index text and through the hashed copy of the current indexes.
TEST(RomeIndex, SlotsMatchOnlyAtTheirBoundaries) {
    struct Case { const char* name; RomeEntries table; std::u32string index; std::u32string lookup; int32_t slot; };
    const std::vector<std::string> k = {"K"};
    const Case cases[] = {
        {"pair straddling two slots", MakeTable({{"きゃ", k}, {"きゅ", k}}), U"きゃきゅ", U"ゃき", -1},
        {"straddling match skipped", MakeTable({{"あい", k}, {"うあ", k}, {"いう", k}}), U"あいうあいう", U"いう", 2},
        {"duplicates: the first wins", MakeTable({{"か", k}, {"き", k}, {"か", k}}), U"かきか", U"か", 0},
        {"another table, same kana", MakeTable({{"き", k}, {"か", k}}), U"きか", U"か", 1},
        {"placeholder kana not found", MakeTable({{"あ", k}, {"い", {}}, {"う", k}}), U"あ う", U"い", -1},
        {"placeholder found by a space", MakeTable({{"あ", k}, {"い", {}}, {"う", k}}), U"あ う", U" ", 1},
        {"pair placeholder: two spaces", MakeTable({{"", {}}, {"きゃ", k}}), U"  きゃ", U"  ", 0},
        {"empty table", MakeTable({}), U"", U"あ", -1},
        // A kana of the wrong length keeps its slot and is never found: later entries stay where they are.
        {"long kana keeps its slot", MakeTable({{"あ", k}, {"いい", k}, {"う", k}}), std::u32string(U"あ") + UnmatchableSlot + U"う", U"う", 2},
        {"the filler itself never found", MakeTable({{"あ", k}, {"いい", k}}), std::u32string(U"あ") + UnmatchableSlot,
         std::u32string(1, UnmatchableSlot), -1},
        {"empty kana with spellings", MakeTable({{"", k}, {"う", k}}), std::u32string(1, UnmatchableSlot) + U"う", U"う", 1},
        {"short pair keeps its slot", MakeTable({{"き", k}, {"きゃ", k}}), std::u32string(2, UnmatchableSlot) + U"きゃ", U"きゃ", 1},
        {"NUL kana", MakeTable({{std::string(1, '\0'), k}, {"う", k}}), std::u32string(1, U'\0') + U"う", U"う", 1},
    };
    for (const Case& c : cases) {
        const bool pair = c.lookup.size() == 2;
        std::u32string& index = pair ? Rome2Index : RomeIndex;
        (pair ? Rome2Table : RomeTable) = c.table;
        index = U"stale";
        BuildRomeIndex(index, c.table, pair ? 2 : 1);
        EXPECT_EQ(index, c.index) << c.name;
        const RomeLookup& hashed = RomeLookup::Current();
        EXPECT_EQ(pair ? FindRome2Entry(c.lookup[0], c.lookup[1]) : FindRomeEntry(c.lookup[0]), c.slot) << c.name;
        EXPECT_EQ(pair ? hashed.Pair(c.lookup[0], c.lookup[1]) : hashed.Single(c.lookup[0]), c.slot) << c.name;
    }
    // An index longer than its table (the table shrunk afterwards) finds nothing past the table.
    RomeTable = MakeTable({{"か", k}});
    RomeIndex = U"かき";
    EXPECT_EQ(FindRomeEntry(U'き'), -1);
    EXPECT_EQ(RomeLookup::Current().Single(U'き'), -1);
}

TEST(BundledRomeTables, HoldEveryReferenceSpellingInTheirFixedPlaces) {
    testing_support::LoadBundledTables();
    EXPECT_EQ(RomeTable[SmallTsuEntry].Kana, "っ");
    EXPECT_EQ(RomeTable[SyllabicNEntry].Kana, "ん");
    EXPECT_LE(RomeEntryCount(Rome2Table), 140) << "the key configuration shows 140 entries";
    // Each line: kana TAB the spellings an input method accepts, commonest first, in the order KeyConf.txt counts.
    std::ifstream reference(std::string(DEXLORA_SOURCE_DIR) + "/tests/typing/romaji_reference.tsv");
    int32_t lines = 0;
    std::string line;
    for (std::getline(reference, line); std::getline(reference, line); ++lines) {
        std::u32string kana = Utf8ToU32(line.substr(0, line.find('\t')));
        const bool pair = kana.size() == 2;  // a pair can also be typed as two kana, offered last
        int32_t at = pair ? FindRome2Entry(kana[0], kana[1]) : FindRomeEntry(kana[0]);
        ASSERT_GE(at, 0) << line;
        const RomeEntry& entry = (pair ? Rome2Table : RomeTable)[static_cast<size_t>(at)];
        EXPECT_EQ(Spellings(entry), line.substr(line.find('\t') + 1) + (pair ? ",*" : "")) << line;
    }
    EXPECT_EQ(lines, 86 + 123) << "reference list not found or damaged";
    auto spelled = [](const RomeEntry& entry) { return entry.Count > 0; };
    EXPECT_EQ(std::count_if(RomeTable.begin(), RomeTable.end(), spelled) +
                  std::count_if(Rome2Table.begin(), Rome2Table.end(), spelled), lines) << "entries the list lacks";
}

using Choices = std::tuple<int32_t, int32_t, int32_t, int32_t>;

// Entries in file order: か (KA, CA), a placeholder, し (SI, SHI, CI), then the pair きゃ (KYA, *).
class KeyConfFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        RomeTable = MakeTable({{"か", {"KA", "CA"}}, {"", {}}, {"し", {"SI", "SHI", "CI"}}});
        Rome2Table = MakeTable({{"きゃ", {"KYA", "*"}}});
    }
    static auto Selected() {
        return std::tie(RomeTable[0].Selected, RomeTable[1].Selected, RomeTable[2].Selected, Rome2Table[0].Selected);
    }
};

TEST_F(KeyConfFileTest, LoadAppliesNumbersByPositionAndStopsAtDamage) {
    // file nullptr: no KeyConf.txt; choices start at 9 (out of range) and keep it where not read.
    struct Case { const char* name; const char* file; bool result; Choices selected; };
    const Case cases[] = {
        {"as saved", "1\r\n0\r\n2\r\n1\r\n", true, {1, 0, 2, 1}},
        {"blanks around numbers, no last CR LF", " 1\r\n0 \r\n\t2\r\n1", true, {1, 0, 2, 1}},
        {"lines beyond the tables are ignored", "1\r\n0\r\n2\r\n1\r\n5\r\n", true, {1, 0, 2, 1}},
        {"CR-only and LF-only line ends", "1\r0\n2\r1", true, {1, 0, 2, 1}},
        {"a number past 32 bits stops reading", "1\r\n99999999999\r\n2\r\n1\r\n", false, {1, 9, 9, 9}},
        {"short: first table only", "1\r\n0\r\n2\r\n", false, {1, 0, 2, 9}},
        {"not a number stops reading", "1\r\nx\r\n2\r\n1\r\n", false, {1, 9, 9, 9}},
        {"out of range values select the first spelling", "2\r\n7\r\n-1\r\n1\r\n", true, {0, 0, 0, 1}},
        {"missing file", nullptr, false, {9, 9, 9, 9}},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        if (c.file) folder.Write("KeyConf.txt", c.file);
        SystemPath = folder.Path();
        Selected() = Choices{9, 9, 9, 9};
        EXPECT_EQ(LoadKeyConf("KeyConf.txt"), c.result) << c.name;
        EXPECT_EQ(Choices(Selected()), c.selected) << c.name;
    }
}

TEST_F(KeyConfFileTest, NextSpellingCyclesInFileOrder) {
    struct Case { RomeEntries* table; int32_t index; int32_t before; bool result; int32_t after; };
    const Case cases[] = {
        {&RomeTable, 0, 0, true, 1}, {&RomeTable, 2, 1, true, 2}, {&RomeTable, 2, 2, true, 0},
        {&RomeTable, 2, 7, true, 0}, {&RomeTable, 1, 0, false, 0}, {&Rome2Table, 0, 0, true, 1},  // 1: a placeholder
    };
    for (const Case& c : cases) {
        RomeEntry& entry = (*c.table)[static_cast<size_t>(c.index)];
        entry.Selected = c.before;
        EXPECT_EQ(NextSpelling(*c.table, c.index), c.result) << "entry " << c.index << " from " << c.before;
        EXPECT_EQ(entry.Selected, c.after) << "entry " << c.index << " from " << c.before;
    }
    for (int32_t index : {-1, 3, 140}) EXPECT_FALSE(NextSpelling(RomeTable, index)) << "entry " << index;
}

}  // namespace
}  // namespace dexlora
