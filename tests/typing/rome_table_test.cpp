// Loading romaji tables (damaged files, the bundled ones) and searching their indexes.
#include "typing/rome_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "platform/encoding.h"
#include "tests/platform_core/temp_folder.h"
#include "tests/typing/typing_support.h"

namespace dexlora {
namespace {

using testing_support::MakeTable;

// "kana=spelling,spelling" per entry; "!" marks a broken entry or spare.
std::string Describe(const RomeEntries& table) {
    std::string text;
    for (int32_t i = 0; i < RomeEntryCount(table); ++i) {
        const RomeEntry& entry = table[static_cast<size_t>(i)];
        text += (i ? " " : "") + entry.Kana + "=";
        for (int32_t s = 0; s < entry.Count; ++s) text += (s ? "," : "") + entry.Romaji[static_cast<size_t>(s)];
        if (entry.Romaji.size() != static_cast<size_t>(entry.Count) + 1 || !entry.Romaji.back().empty()) text += "!";
    }
    return table.size() < 2 || table.back().Count || table[table.size() - 2].Count ? text + " spare!" : text;
}

TEST(RomeTableLoad, KeepsWhatWasReadAndReportsDamage) {
    struct Case { const char* name; const char* file; bool result; const char* entries; };  // file nullptr: none
    const Case cases[] = {
        {"groups, a placeholder", "か\r\n2\r\nKA\r\nCA\r\n\r\n\r\n0\r\n\r\nき\r\n +1 \r\nKI\r\n-", true, "か=KA,CA = き=KI"},
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
        testing_support::TempFolder folder;
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

// The reference list beside the tests holds the spellings an input method accepts, commonest first.
TEST(BundledRomeTables, HoldEveryReferenceSpellingInTheirFixedPlaces) {
    testing_support::LoadBundledTables();
    std::ifstream in(std::string(DEXLORA_SOURCE_DIR) + "/tests/typing/romaji_reference.tsv");
    std::map<std::string, std::vector<std::string>> reference;
    std::string line;
    for (std::getline(in, line); std::getline(in, line);) {  // after the header: kana TAB spellings
        std::stringstream list(line.substr(line.find('\t') + 1));
        auto& spellings = reference[line.substr(0, line.find('\t'))];
        for (std::string spelling; std::getline(list, spelling, ',');) spellings.push_back(spelling);
    }
    ASSERT_EQ(reference.size(), 86u + 123u) << "reference list not found or damaged";
    EXPECT_EQ(RomeTable[SmallTsuEntry].Kana, "っ");
    EXPECT_EQ(RomeTable[SyllabicNEntry].Kana, "ん");
    EXPECT_LE(RomeEntryCount(Rome2Table), 140) << "the key configuration shows 140 entries";
    std::set<std::string> seen;
    for (const RomeEntries* table : {&RomeTable, &Rome2Table}) {
        for (const RomeEntry& entry : *table) {
            if (entry.Count == 0) continue;
            auto found = reference.find(entry.Kana);
            ASSERT_NE(found, reference.end()) << entry.Kana << " is not in the reference list";
            EXPECT_TRUE(seen.insert(entry.Kana).second) << entry.Kana << " listed twice";
            std::vector<std::string> expected = found->second;
            if (table == &Rome2Table) expected.push_back("*");  // typed as two kana, offered last
            std::vector<std::string> spellings(entry.Romaji.begin(), entry.Romaji.begin() + entry.Count);
            EXPECT_EQ(spellings.front(), expected.front()) << entry.Kana << ": commonest first";
            EXPECT_EQ(spellings.back() == "*", table == &Rome2Table) << entry.Kana << ": \"*\" last in pairs only";
            std::sort(spellings.begin(), spellings.end());
            std::sort(expected.begin(), expected.end());
            EXPECT_EQ(spellings, expected) << entry.Kana;
        }
    }
    EXPECT_EQ(seen.size(), reference.size()) << "a reference kana has no entry";
}

}  // namespace
}  // namespace dexlora
