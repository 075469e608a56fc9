// Romaji tables: loading (damaged files, the bundled ones), searching their indexes, choices kept in KeyConf.txt.
#include "typing/rome_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <tuple>

#include "keyconf/keyconf_file.h"
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
    struct Case { const char* name; const char* file; bool result; const char* entries; };  // file nullptr: none
    const Case cases[] = {
        {"groups, placeholder", "か\r\n2\r\nKA\r\nCA\r\n\r\n\r\n0\r\n\r\nき\r\n +1 \r\nKI\r\n-", true, "か=KA,CA = き=KI"},
        {"empty file", "", true, ""},
        {"missing file", nullptr, false, ""},
        {"last separator missing", "あ\r\n1\r\nA\r\n\r\nい\r\n1\r\nI\r\n", false, "あ=A い=I"},
        {"count not a number", "あ\r\n1\r\nA\r\n\r\nい\r\none\r\nI\r\n\r\n", false, "あ=A"},
        {"negative count", "あ\r\n1\r\nA\r\n\r\nい\r\n-1\r\n\r\n", false, "あ=A"},
        {"count past 32 bits", "あ\r\n99999999999\r\nA\r\n\r\n", false, ""},
        {"file ends inside the spellings", "あ\r\n3\r\nA\r\nWA\r\n", false, "あ=A,WA"},
        {"huge count in a short file", "あ\r\n2000000000\r\nA\r\n", false, "あ=A"},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        if (c.file) folder.Write("Rome.ini", Utf8ToCp932(c.file));
        SystemPath = folder.Path();
        RomeEntries table = MakeTable({{"old", {"OLD"}}});
        EXPECT_EQ(LoadRomeTable(table, "Rome.ini"), c.result) << c.name;
        EXPECT_EQ(Describe(table), c.entries) << c.name;
    }
}

// Each lookup goes through the index text and through the hashed copy of the current indexes.
TEST(RomeIndex, SlotsMatchOnlyAtTheirBoundaries) {
    struct Case { const char* name; RomeEntries table; std::u32string index; std::u32string lookup; int32_t slot; };
    const std::vector<std::string> k = {"K"};
    const Case cases[] = {
        {"pair found", MakeTable({{"きゃ", k}, {"きゅ", k}}), U"きゃきゅ", U"きゅ", 1},
        {"pair straddling two slots", MakeTable({{"きゃ", k}, {"きゅ", k}}), U"きゃきゅ", U"ゃき", -1},
        {"straddling match skipped", MakeTable({{"あい", k}, {"うあ", k}, {"いう", k}}), U"あいうあいう", U"いう", 2},
        {"duplicates: the first wins", MakeTable({{"か", k}, {"き", k}, {"か", k}}), U"かきか", U"か", 0},
        {"another table, same kana", MakeTable({{"き", k}, {"か", k}}), U"きか", U"か", 1},
        {"placeholder kana not found", MakeTable({{"あ", k}, {"い", {}}, {"う", k}}), U"あ う", U"い", -1},
        {"placeholder found by a space", MakeTable({{"あ", k}, {"い", {}}, {"う", k}}), U"あ う", U" ", 1},
        {"pair placeholder: two spaces", MakeTable({{"", {}}, {"きゃ", k}}), U"  きゃ", U"  ", 0},
        {"empty table", MakeTable({}), U"", U"あ", -1},
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

TEST_F(KeyConfFileTest, SaveWritesOneLinePerEntry) {
    TempFolder folder;
    SystemPath = folder.Path();
    Selected() = Choices{1, 0, 2, 1};
    ASSERT_TRUE(SaveKeyConf("KeyConf.txt"));
    EXPECT_EQ(TempFolder::Read(folder.Path() + "KeyConf.txt"), "1\r\n0\r\n2\r\n1\r\n");
    SystemPath = folder.Path() + "missing-folder/";
    EXPECT_FALSE(SaveKeyConf("KeyConf.txt"));
}

TEST_F(KeyConfFileTest, LoadAppliesNumbersByPositionAndStopsAtDamage) {
    // file nullptr: no KeyConf.txt; choices start at 9 (out of range) and keep it where not read.
    struct Case { const char* name; const char* file; bool result; Choices selected; };
    const Case cases[] = {
        {"as saved", "1\r\n0\r\n2\r\n1\r\n", true, {1, 0, 2, 1}},
        {"blanks around numbers, no last CR LF", " 1\r\n0 \r\n\t2\r\n1", true, {1, 0, 2, 1}},
        {"lines beyond the tables are ignored", "1\r\n0\r\n2\r\n1\r\n5\r\n", true, {1, 0, 2, 1}},
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
        {&RomeTable, 0, 0, true, 1}, {&RomeTable, 0, 1, true, 0}, {&RomeTable, 2, 1, true, 2},
        {&RomeTable, 2, 2, true, 0}, {&RomeTable, 2, 7, true, 0}, {&RomeTable, 2, -4, true, 0},
        {&RomeTable, 1, 0, false, 0}, {&Rome2Table, 0, 0, true, 1},  // entry 1 is a placeholder
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
