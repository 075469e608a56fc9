// The bundled romaji tables, loaded once for the targets that read files
// built on them.
#pragma once

#include <string>

#include "engine/rome_table.h"
#include "fuzz/fuzz_support.h"
#include "settings/shared.h"

namespace dexlora::fuzz {

inline void LoadBundledTables() {
    static const bool loaded = [] {
        SystemPath = std::string(DEXLORA_SOURCE_DIR) + "/system/";
        bool ok = LoadRomeTable(RomeTable, "Rome.ini") && LoadRomeTable(Rome2Table, "Rome2.ini") &&
                  BuildRomeIndex(RomeIndex, RomeTable, 1) && BuildRomeIndex(Rome2Index, Rome2Table, 2);
        if (!ok) Fail(__FILE__, __LINE__, "bundled romaji tables load", SystemPath);
        return ok;
    }();
    (void)loaded;
}

}  // namespace dexlora::fuzz
