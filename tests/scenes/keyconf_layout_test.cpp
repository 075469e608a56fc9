// What a double click on the key-configuration screen lands on.
#include <gtest/gtest.h>

#include "scenes/keyconf_layout.h"

namespace dexlora {
namespace {

TEST(KeyConfLayoutTest, TargetUnderThePoint) {
    using T = KeyConfTarget;
    struct Row {
        const char* name;
        int32_t x, y;
        T target;
        int32_t entry;  // for cells
    };
    const Row rows[] = {
        {"first cell, top-left corner", 10, 10, T::Cell, 0},
        {"first cell, last pixel", 52, 46, T::Cell, 0},
        {"last cell of the upper grid", 611, 194, T::Cell, 69},
        {"right of the grids", 612, 100, T::Nothing, 0},
        {"left of the grids", 9, 100, T::Nothing, 0},
        {"above the grids", 100, 9, T::Nothing, 0},
        {"between the grids", 100, 195, T::Nothing, 0},
        {"first cell of the lower grid", 10, 210, T::Cell, 70},
        {"last cell of the lower grid", 611, 394, T::Cell, 139},
        {"below the lower grid", 100, 395, T::Nothing, 0},
        {"Key 1, top-left border", 300, 430, T::Key1, 0},
        {"Key 1, bottom-right border", 400, 460, T::Key1, 0},
        {"between Key 1 and Key 2", 405, 440, T::Nothing, 0},
        {"Key 2, left border", 410, 445, T::Key2, 0},
        {"Exit Configure, left border", 520, 430, T::Exit, 0},
        {"Exit Configure, bottom-right border", 620, 460, T::Exit, 0},
        {"below Exit Configure", 620, 461, T::Nothing, 0},
    };
    for (const Row& row : rows) {
        int32_t entry = -1;
        EXPECT_EQ(KeyConfTargetAt(row.x, row.y, entry), row.target) << row.name;
        if (row.target == T::Cell) {
            EXPECT_EQ(entry, row.entry) << row.name;
        }
    }
}

TEST(KeyConfLayoutTest, CellOriginsMatchTheCellsClickedOn) {
    // Every entry's cell, clicked in its middle, answers that entry.
    for (int32_t i = 0; i < KeyConfScreenEntries; ++i) {
        int32_t left = 0, top = 0;
        KeyConfCellOrigin(i, left, top);
        int32_t entry = -1;
        ASSERT_EQ(KeyConfTargetAt(left + 21, top + 18, entry), KeyConfTarget::Cell) << "entry " << i;
        EXPECT_EQ(entry, i);
    }
}

}  // namespace
}  // namespace dexlora
