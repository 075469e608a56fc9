// The player's romaji choices the saves write: three kana of three spellings
// and two pairs of two, old (all first spellings) or newer.
#pragma once

#include <string>

#include "engine/rome_table.h"

namespace dexlora::testing_support {

// KeyConf.txt as SaveKeyConf writes the old and the newer choices.
inline const std::string OldKeyConf = "0\r\n0\r\n0\r\n0\r\n0\r\n";
inline const std::string NewerKeyConf = "2\r\n0\r\n1\r\n0\r\n1\r\n";

inline void SetChoices(bool newer) {
    const auto table = [](size_t entries, int32_t spellings) {
        RomeEntries made(entries + 2);
        for (size_t i = 0; i < entries; ++i) {
            made[i].Count = spellings;
            made[i].Romaji.assign(size_t(spellings) + 1, "X");
        }
        return made;
    };
    RomeTable = table(3, 3);
    Rome2Table = table(2, 2);
    if (newer) {
        RomeTable[0].Selected = 2;
        RomeTable[2].Selected = 1;
        Rome2Table[1].Selected = 1;
    }
}

}  // namespace dexlora::testing_support
