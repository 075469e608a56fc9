// What lies under a point of the key-configuration screen.
#include "scenes/keyconf_layout.h"

namespace dexlora {

KeyConfTarget KeyConfTargetAt(int32_t x, int32_t y, int32_t& entry) {
    constexpr KeyConfTarget buttonTargets[3] = {KeyConfTarget::Key1, KeyConfTarget::Key2, KeyConfTarget::Exit};
    for (int i = 0; i < 3; ++i) {
        const KeyConfButton& b = KeyConfButtons[i];
        if (x >= b.Left && x <= b.Right && y >= b.Top && y <= b.Bottom) return buttonTargets[i];
    }
    const int32_t gridRight = KeyConfGridLeft + KeyConfColumns * KeyConfCellWidth;
    if (x < KeyConfGridLeft || x >= gridRight) return KeyConfTarget::Nothing;
    for (int32_t grid = 0; grid < 2; ++grid) {
        const int32_t top = KeyConfGridTops[grid];
        if (y < top || y >= top + KeyConfRows * KeyConfCellHeight) continue;
        const int32_t column = (x - KeyConfGridLeft) / KeyConfCellWidth;
        const int32_t row = (y - top) / KeyConfCellHeight;
        entry = KeyConfGridEntries * grid + KeyConfRows * column + row;
        return KeyConfTarget::Cell;
    }
    return KeyConfTarget::Nothing;
}

}  // namespace dexlora
