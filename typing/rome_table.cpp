// Loading the romaji tables and building and searching their lookup texts.
#include "typing/rome_table.h"

#include "platform/encoding.h"
#include "platform/error.h"
#include "platform/files.h"
#include "skin/shared.h"
#include "typing/whole_number.h"

namespace dexlora {

RomeEntries RomeTable(2);
RomeEntries Rome2Table(2);
std::u32string RomeIndex;
std::u32string Rome2Index;

int32_t RomeEntryCount(const RomeEntries& table) {
    return table.size() < 2 ? 0 : static_cast<int32_t>(table.size() - 2);
}

const std::string& SelectedSpelling(const RomeEntry& entry) {
    // KeyConf.txt is clamped when read, but Selected is a plain field: never
    // index past the spellings whatever it holds.
    if (entry.Selected >= 0 && entry.Selected < entry.Count &&
        static_cast<size_t>(entry.Selected) < entry.Romaji.size()) {
        return entry.Romaji[static_cast<size_t>(entry.Selected)];
    }
    static const std::string empty;
    return entry.Romaji.empty() ? empty : entry.Romaji.front();
}

bool LoadRomeTable(RomeEntries& table, std::string_view fileName) {
    table.assign(2, RomeEntry{});
    try {
        TextFileReader file(SystemPath + std::string(fileName));
        while (!file.AtEnd()) {
            std::string kana = file.ReadLine();
            int32_t count = 0;
            if (!ParseWholeNumber(file.ReadLine(), count) || count < 0) return false;

            // The new entry goes before the two spare ones.
            RomeEntry& entry = *table.insert(table.end() - 2, RomeEntry{});
            entry.Kana = std::move(kana);
            entry.Romaji.clear();
            // Spellings are added as they are read rather than reserved from the
            // count, so a huge count in a short file costs nothing; a group cut
            // short keeps Count equal to the spellings it really has.
            while (entry.Count < count) {
                if (file.AtEnd()) {
                    entry.Romaji.emplace_back();
                    return false;
                }
                entry.Romaji.push_back(file.ReadLine());
                ++entry.Count;
            }
            entry.Romaji.emplace_back();
            file.ReadLine();  // separator
        }
    } catch (const RuntimeError&) {
        return false;
    }
    return true;
}

bool BuildRomeIndex(std::u32string& index, const RomeEntries& table, int32_t width) {
    index.clear();
    for (int32_t i = 0; i < RomeEntryCount(table); ++i) {
        const RomeEntry& entry = table[static_cast<size_t>(i)];
        if (entry.Count != 0) {
            index += Utf8ToU32(entry.Kana);
        } else {
            index.append(static_cast<size_t>(width), U' ');
        }
    }
    return true;
}

int32_t FindRomeSlot(std::u32string_view index, int32_t width, std::u32string_view text) {
    if (width <= 0 || text.size() != static_cast<size_t>(width)) return -1;
    const size_t step = static_cast<size_t>(width);
    for (size_t pos = 0; pos + step <= index.size(); pos += step) {
        if (index[pos] == text[0] && index.compare(pos, step, text) == 0) {
            return static_cast<int32_t>(pos / step);
        }
    }
    return -1;
}

int32_t FindRomeEntry(char32_t kana) {
    size_t pos = RomeIndex.find(kana);
    if (pos == std::u32string::npos || pos >= static_cast<size_t>(RomeEntryCount(RomeTable))) return -1;
    return static_cast<int32_t>(pos);
}

int32_t FindRome2Entry(char32_t first, char32_t second) {
    const char32_t pair[2] = {first, second};
    int32_t slot = FindRomeSlot(Rome2Index, 2, std::u32string_view(pair, 2));
    return slot < RomeEntryCount(Rome2Table) ? slot : -1;
}

}  // namespace dexlora
