// KeyConf.txt: the spelling chosen for every entry of both romaji tables.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/rome_table.h"
#include "platform/core/files.h"

namespace dexlora {

// Reads fileName from the player's folder or else the system folder
// (SettingsFileToRead): one number per line, RomeTable's entries first,
// then Rome2Table's, each number belonging to an entry by its position alone.
// Stops at a missing file, a short file or a line that is not a number; the
// entries read so far keep their values, later ones keep theirs. A value that
// is negative or not below the entry's Count selects the first spelling.
// Answers true when both tables were read completely; when problem is given,
// it receives why not (naming the line), or "" on success.
bool LoadKeyConf(std::string_view fileName, std::string* problem = nullptr);

// Writes fileName where the next start reads it (SettingsFileToWrite),
// exactly N1 + N2 lines ending in CR LF, in one atomic replacement: the old
// file stays whole when the write fails.
bool SaveKeyConf(std::string_view fileName);

// Reads Selected of entries 0 to N-1 of table from file, in order.
bool ReadSelections(TextFileReader& file, RomeEntries& table);
// Appends Selected of entries 0 to N-1 of table to file, one line each.
bool WriteSelections(std::string& file, const RomeEntries& table);

// Moves entry index of table to its next spelling, wrapping to the first.
// Answers false, changing nothing, for a placeholder or an index out of range.
bool NextSpelling(RomeEntries& table, int32_t index);

}  // namespace dexlora
