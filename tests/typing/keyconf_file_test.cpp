// KeyConf.txt: round trip, numbers applied by position, damaged files, spelling cycles.
#include "keyconf/keyconf_file.h"

#include <gtest/gtest.h>

#include "skin/shared.h"
#include "tests/platform_core/temp_folder.h"

namespace dexlora {
namespace {

using testing_support::TempFolder;

// RomeTable: か (KA, CA), a placeholder, し (SI, SHI, CI); Rome2Table: きゃ (KYA, *).
void MakeSmallTables() {
    auto entry = [](const char* kana, std::vector<std::string> spellings) {
        RomeEntry e;
        e.Kana = kana;
        e.Count = static_cast<int32_t>(spellings.size());
        e.Romaji = std::move(spellings);
        e.Romaji.emplace_back();
        return e;
    };
    RomeTable = {entry("か", {"KA", "CA"}), entry("", {}), entry("し", {"SI", "SHI", "CI"}), RomeEntry{},
                 RomeEntry{}};
    Rome2Table = {entry("きゃ", {"KYA", "*"}), RomeEntry{}, RomeEntry{}};
}

std::vector<int32_t> Selections() {
    std::vector<int32_t> all;
    for (const RomeEntries* table : {&RomeTable, &Rome2Table}) {
        for (int32_t i = 0; i < RomeEntryCount(*table); ++i) all.push_back((*table)[static_cast<size_t>(i)].Selected);
    }
    return all;
}

void SetSelections(const std::vector<int32_t>& values) {
    size_t next = 0;
    for (RomeEntries* table : {&RomeTable, &Rome2Table}) {
        for (int32_t i = 0; i < RomeEntryCount(*table); ++i) (*table)[static_cast<size_t>(i)].Selected = values[next++];
    }
}

class KeyConfFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        MakeSmallTables();
        SystemPath = folder_.Path();
    }
    TempFolder folder_;
};

TEST_F(KeyConfFileTest, SaveWritesOneLinePerEntryAndLoadsBack) {
    SetSelections({1, 0, 2, 1});
    ASSERT_TRUE(SaveKeyConf("KeyConf.txt"));
    EXPECT_EQ(TempFolder::Read(folder_.Path() + "KeyConf.txt"), "1\r\n0\r\n2\r\n1\r\n");

    SetSelections({0, 0, 0, 0});
    EXPECT_TRUE(LoadKeyConf("KeyConf.txt"));
    EXPECT_EQ(Selections(), (std::vector<int32_t>{1, 0, 2, 1}));
}

TEST_F(KeyConfFileTest, LoadAppliesNumbersByPositionAndStopsAtDamage) {
    struct Case {
        const char* name;
        const char* file;  // nullptr: no KeyConf.txt
        bool result;
        std::vector<int32_t> selections;  // starting from 9 9 9 9 (9 is out of range, kept where not read)
    };
    const Case cases[] = {
        {"whole file", "1\r\n0\r\n2\r\n1\r\n", true, {1, 0, 2, 1}},
        {"blanks around numbers, no last CR LF", " 1\r\n0 \r\n\t2\r\n1", true, {1, 0, 2, 1}},
        {"lines beyond the tables are ignored", "1\r\n0\r\n2\r\n1\r\n5\r\n", true, {1, 0, 2, 1}},
        {"short: first table only", "1\r\n0\r\n2\r\n", false, {1, 0, 2, 9}},
        {"short: inside the first table", "1\r\n", false, {1, 9, 9, 9}},
        {"not a number stops reading", "1\r\nx\r\n2\r\n1\r\n", false, {1, 9, 9, 9}},
        {"empty line stops reading", "1\r\n\r\n2\r\n1\r\n", false, {1, 9, 9, 9}},
        {"too large a number", "1\r\n0\r\n99999999999\r\n1\r\n", false, {1, 0, 9, 9}},
        {"out of range values select the first spelling", "2\r\n7\r\n-1\r\n1\r\n", true, {0, 0, 0, 1}},
        {"empty file", "", false, {9, 9, 9, 9}},
        {"missing file", nullptr, false, {9, 9, 9, 9}},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        if (c.file) folder.Write("KeyConf.txt", c.file);
        SystemPath = folder.Path();
        SetSelections({9, 9, 9, 9});
        EXPECT_EQ(LoadKeyConf("KeyConf.txt"), c.result) << c.name;
        EXPECT_EQ(Selections(), c.selections) << c.name;
    }
}

TEST_F(KeyConfFileTest, AFailedSaveLeavesTheOldFile) {
    folder_.Write("KeyConf.txt", "1\r\n0\r\n2\r\n1\r\n");
    SystemPath = folder_.Path() + "missing-folder/";
    EXPECT_FALSE(SaveKeyConf("KeyConf.txt"));
    folder_.Write("locked/KeyConf.txt", "x");  // a folder where the file should be
    SystemPath = folder_.Path();
    EXPECT_FALSE(SaveKeyConf("locked"));
    EXPECT_EQ(TempFolder::Read(folder_.Path() + "KeyConf.txt"), "1\r\n0\r\n2\r\n1\r\n");
}

TEST_F(KeyConfFileTest, NextSpellingCyclesInFileOrder) {
    struct Case {
        const char* name;
        RomeEntries* table;
        int32_t index;
        int32_t before;
        bool result;
        int32_t after;
    };
    const Case cases[] = {
        {"two spellings: first to second", &RomeTable, 0, 0, true, 1},
        {"two spellings: wraps", &RomeTable, 0, 1, true, 0},
        {"three spellings: middle", &RomeTable, 2, 1, true, 2},
        {"three spellings: wraps", &RomeTable, 2, 2, true, 0},
        {"out of range choice restarts", &RomeTable, 2, 7, true, 0},
        {"negative choice restarts", &RomeTable, 2, -4, true, 0},
        {"placeholder does not react", &RomeTable, 1, 0, false, 0},
        {"pair to its asterisk", &Rome2Table, 0, 0, true, 1},
    };
    for (const Case& c : cases) {
        RomeEntry& entry = (*c.table)[static_cast<size_t>(c.index)];
        entry.Selected = c.before;
        EXPECT_EQ(NextSpelling(*c.table, c.index), c.result) << c.name;
        EXPECT_EQ(entry.Selected, c.after) << c.name;
    }
    for (int32_t index : {-1, 3, 4, 140}) {
        EXPECT_FALSE(NextSpelling(RomeTable, index)) << "index " << index;
    }
    RomeEntries one = {RomeEntry{"あ", 1, {"A", ""}, 0}, RomeEntry{}, RomeEntry{}};
    EXPECT_TRUE(NextSpelling(one, 0));
    EXPECT_EQ(one[0].Selected, 0) << "a single spelling stays";
}

}  // namespace
}  // namespace dexlora
