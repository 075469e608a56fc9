// KeyConf.txt: round trip, numbers applied by position, damaged files, spelling cycles.
#include "keyconf/keyconf_file.h"

#include <gtest/gtest.h>

#include <tuple>

#include "tests/platform_core/temp_folder.h"
#include "tests/typing/typing_support.h"

namespace dexlora {
namespace {

using testing_support::TempFolder;
using Choices = std::tuple<int32_t, int32_t, int32_t, int32_t>;

// Entries in file order: か (KA, CA), a placeholder, し (SI, SHI, CI), then the pair きゃ (KYA, *).
class KeyConfFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        RomeTable = testing_support::MakeTable({{"か", {"KA", "CA"}}, {"", {}}, {"し", {"SI", "SHI", "CI"}}});
        Rome2Table = testing_support::MakeTable({{"きゃ", {"KYA", "*"}}});
    }
    static auto Selected() {
        return std::tie(RomeTable[0].Selected, RomeTable[1].Selected, RomeTable[2].Selected, Rome2Table[0].Selected);
    }
};

TEST_F(KeyConfFileTest, SaveWritesOneLinePerEntryAndLoadsBack) {
    TempFolder folder;
    SystemPath = folder.Path();
    Selected() = Choices{1, 0, 2, 1};
    ASSERT_TRUE(SaveKeyConf("KeyConf.txt"));
    EXPECT_EQ(TempFolder::Read(folder.Path() + "KeyConf.txt"), "1\r\n0\r\n2\r\n1\r\n");
    Selected() = Choices{};
    EXPECT_TRUE(LoadKeyConf("KeyConf.txt"));
    EXPECT_EQ(Choices(Selected()), (Choices{1, 0, 2, 1}));
    SystemPath = folder.Path() + "missing-folder/";
    EXPECT_FALSE(SaveKeyConf("KeyConf.txt"));
}

TEST_F(KeyConfFileTest, LoadAppliesNumbersByPositionAndStopsAtDamage) {
    // file nullptr: no KeyConf.txt; choices start at 9 (out of range) and keep it where not read.
    struct Case { const char* name; const char* file; bool result; Choices selected; };
    const Case cases[] = {
        {"blanks around numbers, no last CR LF", " 1\r\n0 \r\n\t2\r\n1", true, {1, 0, 2, 1}},
        {"lines beyond the tables are ignored", "1\r\n0\r\n2\r\n1\r\n5\r\n", true, {1, 0, 2, 1}},
        {"short: first table only", "1\r\n0\r\n2\r\n", false, {1, 0, 2, 9}},
        {"not a number stops reading", "1\r\nx\r\n2\r\n1\r\n", false, {1, 9, 9, 9}},
        {"empty line stops reading", "1\r\n\r\n2\r\n1\r\n", false, {1, 9, 9, 9}},
        {"too large a number", "1\r\n0\r\n99999999999\r\n1\r\n", false, {1, 0, 9, 9}},
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
