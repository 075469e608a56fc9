// Reading and writing KeyConf.txt, and cycling an entry's spelling.
#include "keyconf/keyconf_file.h"

#include "platform/error.h"
#include "skin/settings/shared.h"
#include "typing/whole_number.h"

namespace dexlora {

bool ReadSelections(TextFileReader& file, RomeEntries& table) {
    for (int32_t i = 0; i < RomeEntryCount(table); ++i) {
        if (file.AtEnd()) return false;
        int32_t selected = 0;
        if (!ParseWholeNumber(file.ReadLine(), selected)) return false;
        RomeEntry& entry = table[static_cast<size_t>(i)];
        // Clamped here, so that the key configuration shows the spelling the
        // questions really use and the next save writes a valid number.
        entry.Selected = selected >= 0 && selected < entry.Count ? selected : 0;
    }
    return true;
}

bool WriteSelections(std::string& file, const RomeEntries& table) {
    for (int32_t i = 0; i < RomeEntryCount(table); ++i) {
        file += std::to_string(table[static_cast<size_t>(i)].Selected);
        file += "\r\n";
    }
    return true;
}

bool LoadKeyConf(std::string_view fileName) {
    try {
        TextFileReader file(SystemPath + std::string(fileName));
        return ReadSelections(file, RomeTable) && ReadSelections(file, Rome2Table);
    } catch (const RuntimeError&) {
        return false;
    }
}

bool SaveKeyConf(std::string_view fileName) {
    std::string text;
    if (!WriteSelections(text, RomeTable) || !WriteSelections(text, Rome2Table)) return false;
    return WriteFileAtomically(SystemPath + std::string(fileName), text);
}

bool NextSpelling(RomeEntries& table, int32_t index) {
    if (index < 0 || index >= RomeEntryCount(table)) return false;
    RomeEntry& entry = table[static_cast<size_t>(index)];
    if (entry.Count <= 0) return false;
    if (entry.Selected < 0 || entry.Selected >= entry.Count - 1) {
        entry.Selected = 0;
    } else {
        ++entry.Selected;
    }
    return true;
}

}  // namespace dexlora
