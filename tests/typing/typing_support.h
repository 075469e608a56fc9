// Helpers shared by the typing-engine tests: the bundled tables, small hand-made ones, temporary folders.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "engine/rome_table.h"
#include "platform/core/encoding.h"
#include "settings/shared.h"
#include "tests/platform_core/temp_folder.h"

namespace dexlora::testing_support {

inline const std::string SourceSystemFolder = std::string(DEXLORA_SOURCE_DIR) + "/system/";

// Loads system/Rome.ini and system/Rome2.ini of the sources, first spellings selected, and their indexes.
inline void LoadBundledTables() {
    SystemPath = SourceSystemFolder;
    ASSERT_TRUE(LoadRomeTable(RomeTable, "Rome.ini"));
    ASSERT_TRUE(LoadRomeTable(Rome2Table, "Rome2.ini"));
    BuildRomeIndex(RomeIndex, RomeTable, 1);
    BuildRomeIndex(Rome2Index, Rome2Table, 2);
}

// A table of kana and their spellings (none: a placeholder), with its two spare entries.
inline RomeEntries MakeTable(std::initializer_list<std::pair<std::string, std::vector<std::string>>> entries) {
    RomeEntries table;
    for (const auto& [kana, spellings] : entries) {
        table.push_back(RomeEntry{kana, static_cast<int32_t>(spellings.size()), spellings, 0});
        table.back().Romaji.emplace_back();
    }
    table.resize(table.size() + 2);
    return table;
}

}  // namespace dexlora::testing_support
