// Loading the romaji tables and building and searching their lookup texts.
#include "typing/rome_table.h"

#include <cstring>

#include "platform/encoding.h"
#include "platform/error.h"
#include "platform/files.h"
#include "skin/settings/shared.h"
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

namespace {

uint64_t PairKey(char32_t first, char32_t second) { return (uint64_t{first} << 32) | second; }

bool SameText(const std::u32string& a, const std::u32string& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(char32_t)) == 0;
}

}  // namespace

void RomeLookup::SlotHash::Reset(size_t slots) {
    size_t capacity = 16;
    shift_ = 60;
    while (capacity < slots * 4) {
        capacity *= 2;
        --shift_;
    }
    keys_.assign(capacity, Empty);
    slots_.assign(capacity, -1);
}

size_t RomeLookup::SlotHash::Home(uint64_t key) const {
    return static_cast<size_t>((key * 0x9E3779B97F4A7C15ull) >> shift_);
}

void RomeLookup::SlotHash::AddFirst(uint64_t key, int32_t slot) {
    const size_t mask = keys_.size() - 1;
    for (size_t at = Home(key);; at = (at + 1) & mask) {
        if (keys_[at] == key) return;
        if (keys_[at] == Empty) {
            keys_[at] = key;
            slots_[at] = slot;
            return;
        }
    }
}

int32_t RomeLookup::SlotHash::Find(uint64_t key) const {
    if (keys_.empty()) return -1;
    const size_t mask = keys_.size() - 1;
    for (size_t at = Home(key);; at = (at + 1) & mask) {
        if (keys_[at] == key) return slots_[at];
        if (keys_[at] == Empty) return -1;
    }
}

const RomeLookup& RomeLookup::Current() {
    static RomeLookup lookup;  // the game runs on one thread
    if (lookup.keysMissing_ || !SameText(lookup.singleText_, RomeIndex) || !SameText(lookup.pairText_, Rome2Index)) {
        lookup.Rebuild();
    }
    return lookup;
}

void RomeLookup::Rebuild() {
    keysMissing_ = false;
    singleText_ = RomeIndex;
    pairText_ = Rome2Index;
    singles_.Reset(singleText_.size());
    pairs_.Reset(pairText_.size() / 2);
    for (size_t slot = 0; slot < singleText_.size(); ++slot) {
        singles_.AddFirst(singleText_[slot], static_cast<int32_t>(slot));
    }
    for (size_t pos = 0; pos + 2 <= pairText_.size(); pos += 2) {
        pairs_.AddFirst(PairKey(pairText_[pos], pairText_[pos + 1]), static_cast<int32_t>(pos / 2));
    }
}

int32_t RomeLookup::Single(char32_t kana) const {
    int32_t slot = singles_.Find(kana);
    return slot < RomeEntryCount(RomeTable) ? slot : -1;
}

int32_t RomeLookup::Pair(char32_t first, char32_t second) const {
    int32_t slot = pairs_.Find(PairKey(first, second));
    return slot < RomeEntryCount(Rome2Table) ? slot : -1;
}

}  // namespace dexlora
