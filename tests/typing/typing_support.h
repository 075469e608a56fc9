// Helpers shared by the typing-engine tests: the bundled tables and CP932 files.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>

#include "platform/encoding.h"
#include "skin/shared.h"
#include "typing/rome_table.h"

namespace dexlora::testing_support {

inline const std::string SourceSystemFolder = std::string(DEXLORA_SOURCE_DIR) + "/system/";

// Loads system/Rome.ini and system/Rome2.ini of the sources with every first
// spelling selected, and builds both indexes.
inline void LoadBundledTables() {
    SystemPath = SourceSystemFolder;
    ASSERT_TRUE(LoadRomeTable(RomeTable, "Rome.ini"));
    ASSERT_TRUE(LoadRomeTable(Rome2Table, "Rome2.ini"));
    ASSERT_TRUE(BuildRomeIndex(RomeIndex, RomeTable, 1));
    ASSERT_TRUE(BuildRomeIndex(Rome2Index, Rome2Table, 2));
}

// The lines, each followed by CR LF, encoded as CP932.
inline std::string Cp932Lines(std::initializer_list<std::string_view> lines) {
    std::string text;
    for (std::string_view line : lines) {
        text += line;
        text += "\r\n";
    }
    return Utf8ToCp932(text);
}

// The index of the first entry of table spelling kana, or -1.
inline int32_t EntryOf(const RomeEntries& table, std::string_view kana) {
    for (int32_t i = 0; i < RomeEntryCount(table); ++i) {
        if (table[static_cast<size_t>(i)].Kana == kana && table[static_cast<size_t>(i)].Count > 0) return i;
    }
    return -1;
}

// Selects the spelling text of the entry for kana; fails the test when absent.
inline void Select(RomeEntries& table, std::string_view kana, std::string_view spelling) {
    int32_t entry = EntryOf(table, kana);
    ASSERT_GE(entry, 0) << kana;
    RomeEntry& e = table[static_cast<size_t>(entry)];
    for (int32_t s = 0; s < e.Count; ++s) {
        if (e.Romaji[static_cast<size_t>(s)] == spelling) {
            e.Selected = s;
            return;
        }
    }
    FAIL() << kana << " has no spelling " << spelling;
}

}  // namespace dexlora::testing_support
