// Reading and writing KeyConf.txt, and cycling an entry's spelling.
#include "engine/keyconf_file.h"

#include "engine/printable.h"
#include "engine/whole_number.h"
#include "platform/core/error.h"
#include "settings/user_settings.h"

namespace dexlora {

namespace {

// ReadSelections that also counts the lines it reads (into line) and says why
// it stopped.
bool ReadCountedSelections(TextFileReader& file, RomeEntries& table, int64_t& line, std::string& problem) {
    for (int32_t i = 0; i < RomeEntryCount(table); ++i) {
        if (file.AtEnd()) {
            problem = "line " + std::to_string(line + 1) + ": the file ends before the choices of every entry";
            return false;
        }
        int32_t selected = 0;
        std::string text = file.ReadLine();
        ++line;
        if (!ParseWholeNumber(text, selected)) {
            problem = "line " + std::to_string(line) + ": \"" + QuoteForMessage(text) +
                      "\" is not a whole number";
            return false;
        }
        RomeEntry& entry = table[static_cast<size_t>(i)];
        // Clamped here, so that the key configuration shows the spelling the
        // questions really use and the next save writes a valid number.
        entry.Selected = selected >= 0 && selected < entry.Count ? selected : 0;
    }
    return true;
}

}  // namespace

bool ReadSelections(TextFileReader& file, RomeEntries& table) {
    int64_t line = 0;
    std::string problem;
    return ReadCountedSelections(file, table, line, problem);
}

bool WriteSelections(std::string& file, const RomeEntries& table) {
    for (int32_t i = 0; i < RomeEntryCount(table); ++i) {
        file += std::to_string(table[static_cast<size_t>(i)].Selected);
        file += "\r\n";
    }
    return true;
}

bool LoadKeyConf(std::string_view fileName, std::string* problem) {
    std::string why;
    bool read = false;
    try {
        TextFileReader file(SettingsFileToRead(fileName));
        int64_t line = 0;
        read = ReadCountedSelections(file, RomeTable, line, why) && ReadCountedSelections(file, Rome2Table, line, why);
    } catch (const RuntimeError& error) {
        why = error.what();
    }
    if (problem) *problem = read ? std::string() : why;
    return read;
}

bool SaveKeyConf(std::string_view fileName) {
    std::string text;
    if (!WriteSelections(text, RomeTable) || !WriteSelections(text, Rome2Table)) return false;
    return WriteFileAtomically(SettingsFileToWrite(fileName), text);
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
