// Loading romaji tables (including damaged files) and searching their indexes.
#include "typing/rome_table.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/platform_core/temp_folder.h"
#include "tests/typing/typing_support.h"

namespace dexlora {
namespace {

using testing_support::Cp932Lines;
using testing_support::TempFolder;

struct ExpectedEntry {
    std::string kana;
    std::vector<std::string> spellings;
};

TEST(RomeTableLoad, KeepsWhatWasReadAndReportsDamage) {
    struct Case {
        const char* name;
        std::string file;
        bool result;
        std::vector<ExpectedEntry> entries;
    };
    const Case cases[] = {
        {"two whole groups", Cp932Lines({"か", "2", "KA", "CA", "", "き", "1", "KI", "-"}), true,
         {{"か", {"KA", "CA"}}, {"き", {"KI"}}}},
        {"placeholder: empty kana, no spellings", Cp932Lines({"あ", "1", "A", "", "", "0", "", "う", "1", "U", ""}),
         true, {{"あ", {"A"}}, {"", {}}, {"う", {"U"}}}},
        {"count with blanks and sign", Cp932Lines({"あ", " +1 ", "A", ""}), true, {{"あ", {"A"}}}},
        {"last line without CR LF", Utf8ToCp932("あ\r\n1\r\nA\r\n-"), true, {{"あ", {"A"}}}},
        {"empty file", "", true, {}},
        {"last separator missing", Cp932Lines({"あ", "1", "A", "", "い", "1", "I"}), false,
         {{"あ", {"A"}}, {"い", {"I"}}}},
        {"count not a number", Cp932Lines({"あ", "1", "A", "", "い", "one", "I", ""}), false, {{"あ", {"A"}}}},
        {"count is a fraction", Cp932Lines({"あ", "1.5", "A", ""}), false, {}},
        {"empty count line", Cp932Lines({"あ", "", "A", ""}), false, {}},
        {"negative count", Cp932Lines({"あ", "1", "A", "", "い", "-1", ""}), false, {{"あ", {"A"}}}},
        {"file ends after a kana line", Cp932Lines({"あ", "1", "A", "", "い"}), false, {{"あ", {"A"}}}},
        {"file ends inside the spellings", Cp932Lines({"あ", "3", "A", "WA"}), false, {{"あ", {"A", "WA"}}}},
        {"huge count in a short file", Cp932Lines({"あ", "2000000000", "A"}), false, {{"あ", {"A"}}}},
        {"count past 32 bits", Cp932Lines({"あ", "99999999999", "A", ""}), false, {}},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        folder.Write("Rome.ini", c.file);
        SystemPath = folder.Path();
        RomeEntries table(7);  // leftovers of an earlier load must go
        EXPECT_EQ(LoadRomeTable(table, "Rome.ini"), c.result) << c.name;
        ASSERT_EQ(RomeEntryCount(table), static_cast<int32_t>(c.entries.size())) << c.name;
        for (size_t i = 0; i < c.entries.size(); ++i) {
            const RomeEntry& entry = table[i];
            std::vector<std::string> spellings = c.entries[i].spellings;
            EXPECT_EQ(entry.Kana, c.entries[i].kana) << c.name << ", entry " << i;
            EXPECT_EQ(entry.Count, static_cast<int32_t>(spellings.size())) << c.name << ", entry " << i;
            EXPECT_EQ(entry.Selected, 0) << c.name << ", entry " << i;
            spellings.emplace_back();  // index Count is always an empty text
            EXPECT_EQ(entry.Romaji, spellings) << c.name << ", entry " << i;
        }
        for (size_t spare = c.entries.size(); spare < table.size(); ++spare) {
            EXPECT_EQ(table[spare].Count, 0) << c.name << ", spare " << spare;
            EXPECT_EQ(table[spare].Kana, "") << c.name << ", spare " << spare;
        }
    }
}

TEST(RomeTableLoad, MissingFileLeavesTheTwoSpareEntries) {
    TempFolder folder;
    SystemPath = folder.Path();
    RomeEntries table(9);
    EXPECT_FALSE(LoadRomeTable(table, "Rome.ini"));
    EXPECT_EQ(table.size(), 2u);
    EXPECT_EQ(RomeEntryCount(table), 0);
}

RomeEntries MakeTable(std::initializer_list<std::pair<const char*, int32_t>> entries) {
    RomeEntries table;
    for (const auto& [kana, count] : entries) {
        RomeEntry entry;
        entry.Kana = kana;
        entry.Count = count;
        entry.Romaji.assign(static_cast<size_t>(count) + 1, "X");
        entry.Romaji.back().clear();
        table.push_back(entry);
    }
    table.resize(table.size() + 2);
    return table;
}

TEST(RomeIndex, SlotsMatchOnlyAtTheirBoundaries) {
    struct Case {
        const char* name;
        RomeEntries table;
        int32_t width;
        std::u32string index;
        std::u32string lookup;
        int32_t slot;
    };
    const Case cases[] = {
        {"pair found", MakeTable({{"きゃ", 1}, {"きゅ", 1}}), 2, U"きゃきゅ", U"きゅ", 1},
        {"pair straddling two slots", MakeTable({{"きゃ", 1}, {"きゅ", 1}}), 2, U"きゃきゅ", U"ゃき", -1},
        {"straddling match skipped for a later slot", MakeTable({{"あい", 1}, {"うあ", 1}, {"いう", 1}}), 2,
         U"あいうあいう", U"いう", 2},
        {"duplicates: the first wins", MakeTable({{"か", 1}, {"き", 1}, {"か", 2}}), 1, U"かきか", U"か", 0},
        {"placeholder kana is not found", MakeTable({{"あ", 1}, {"い", 0}, {"う", 1}}), 1, U"あ う", U"い", -1},
        {"placeholder found by a space", MakeTable({{"あ", 1}, {"い", 0}, {"う", 1}}), 1, U"あ う", U" ", 1},
        {"pair placeholder takes two spaces", MakeTable({{"", 0}, {"きゃ", 1}}), 2, U"  きゃ", U"  ", 0},
        {"a text of the wrong width", MakeTable({{"きゃ", 1}}), 2, U"きゃ", U"き", -1},
        {"empty table", MakeTable({}), 1, U"", U"あ", -1},
    };
    for (const Case& c : cases) {
        std::u32string index = U"stale";
        EXPECT_TRUE(BuildRomeIndex(index, c.table, c.width)) << c.name;
        EXPECT_EQ(index, c.index) << c.name;
        EXPECT_EQ(FindRomeSlot(index, c.width, c.lookup), c.slot) << c.name;
    }
}

TEST(RomeIndex, GlobalLookupsAndTheirHashedCopyAgree) {
    struct Step {
        const char* name;
        RomeEntries single;
        RomeEntries pairs;
        std::vector<std::pair<char32_t, int32_t>> singleLookups;
        std::vector<std::pair<std::u32string, int32_t>> pairLookups;
    };
    const Step steps[] = {
        {"placeholders and duplicates",
         MakeTable({{"か", 1}, {"", 0}, {"ゃ", 1}, {"か", 1}}),
         MakeTable({{"きゃ", 1}, {"", 0}, {"かゃ", 1}, {"きゃ", 2}}),
         {{U'か', 0}, {U'ゃ', 2}, {U' ', 1}, {U'き', -1}},
         {{U"きゃ", 0}, {U"かゃ", 2}, {U"  ", 1}, {U"ゃか", -1}, {U" か", -1}}},
        {"tables replaced: the hashed copy follows",
         MakeTable({{"き", 1}, {"か", 1}}),
         MakeTable({{"かゃ", 1}}),
         {{U'か', 1}, {U'き', 0}, {U'ゃ', -1}, {U' ', -1}},
         {{U"かゃ", 0}, {U"きゃ", -1}, {U"  ", -1}}},
        {"straddling pair", MakeTable({}), MakeTable({{"あい", 1}, {"うえ", 1}}), {{U'あ', -1}},
         {{U"いう", -1}, {U"うえ", 1}}},
    };
    for (const Step& step : steps) {
        RomeTable = step.single;
        Rome2Table = step.pairs;
        BuildRomeIndex(RomeIndex, RomeTable, 1);
        BuildRomeIndex(Rome2Index, Rome2Table, 2);
        const RomeLookup& lookup = RomeLookup::Current();
        for (const auto& [kana, entry] : step.singleLookups) {
            EXPECT_EQ(FindRomeEntry(kana), entry) << step.name << ": " << static_cast<uint32_t>(kana);
            EXPECT_EQ(lookup.Single(kana), entry) << step.name << ": " << static_cast<uint32_t>(kana);
        }
        for (const auto& [pair, entry] : step.pairLookups) {
            EXPECT_EQ(FindRome2Entry(pair[0], pair[1]), entry) << step.name << ": " << U32ToUtf8(pair);
            EXPECT_EQ(lookup.Pair(pair[0], pair[1]), entry) << step.name << ": " << U32ToUtf8(pair);
        }
    }
    // An index longer than its table (a table shrunk afterwards) finds no entry past the table.
    RomeTable = MakeTable({{"か", 1}, {"き", 1}});
    BuildRomeIndex(RomeIndex, RomeTable, 1);
    RomeTable = MakeTable({{"か", 1}});
    EXPECT_EQ(FindRomeEntry(U'き'), -1);
    EXPECT_EQ(RomeLookup::Current().Single(U'き'), -1);
}

}  // namespace
}  // namespace dexlora
