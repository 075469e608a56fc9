// Loading the romaji tables and building and searching their lookup texts.
#include "engine/rome_table.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

#include "engine/printable.h"
#include "engine/whole_number.h"
#include "platform/core/encoding.h"
#include "platform/core/error.h"
#include "platform/core/files.h"
#include "settings/shared.h"

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

namespace {

// Reads lines and counts them, for messages that name a line.
class CountingReader {
public:
    explicit CountingReader(const std::string& path) : file_(path) {}
    bool AtEnd() const { return file_.AtEnd(); }
    std::string ReadLine() {
        ++line_;
        return file_.ReadLine();
    }
    int32_t Line() const { return line_; }

private:
    TextFileReader file_;
    int32_t line_ = 0;
};

bool Fail(std::string* problem, std::string message) {
    if (problem) *problem = std::move(message);
    return false;
}

}  // namespace

bool LoadRomeTable(RomeEntries& table, std::string_view fileName, std::string* problem) {
    table.assign(2, RomeEntry{});
    if (problem) problem->clear();
    try {
        CountingReader file(SystemPath + std::string(fileName));
        while (!file.AtEnd()) {
            const int32_t start = file.Line() + 1;
            if (RomeEntryCount(table) == MaxRomeEntries) {
                return Fail(problem, "line " + std::to_string(start) + ": more than " +
                                         std::to_string(MaxRomeEntries) + " entries");
            }
            std::string kana = file.ReadLine();
            if (file.AtEnd()) {
                return Fail(problem, "line " + std::to_string(start) + ": the file ends inside the entry");
            }
            int32_t count = 0;
            std::string countLine = file.ReadLine();
            if (!ParseWholeNumber(countLine, count) || count < 0 || count > MaxSpellings) {
                return Fail(problem, "line " + std::to_string(file.Line()) + ": the count \"" +
                                         QuoteForMessage(countLine) + "\" is not a whole number from 0 to " +
                                         std::to_string(MaxSpellings));
            }

            // The new entry goes before the two spare ones.
            RomeEntry& entry = *table.insert(table.end() - 2, RomeEntry{});
            entry.Kana = std::move(kana);
            entry.Romaji.clear();
            // Spellings are added as they are read, so a group cut short keeps
            // Count equal to the spellings it really has.
            while (entry.Count < count) {
                if (file.AtEnd()) {
                    entry.Romaji.emplace_back();
                    return Fail(problem, "line " + std::to_string(start) + ": the file ends inside the entry");
                }
                entry.Romaji.push_back(file.ReadLine());
                ++entry.Count;
            }
            entry.Romaji.emplace_back();
            if (file.AtEnd()) {
                return Fail(problem, "line " + std::to_string(start) +
                                         ": the file ends inside the entry (its separator line is missing)");
            }
            file.ReadLine();  // separator
        }
    } catch (const RuntimeError& error) {
        return Fail(problem, error.what());
    }
    return true;
}

bool BuildRomeIndex(std::u32string& index, const RomeEntries& table, int32_t width) {
    index.clear();
    const size_t slot = static_cast<size_t>(width > 0 ? width : 0);
    for (int32_t i = 0; i < RomeEntryCount(table); ++i) {
        const RomeEntry& entry = table[static_cast<size_t>(i)];
        if (entry.Count == 0) {
            index.append(slot, U' ');
        } else if (Utf8Length(entry.Kana) == slot) {
            index += Utf8ToU32(entry.Kana);
        } else {
            index.append(slot, UnmatchableSlot);
        }
    }
    return true;
}

namespace {

std::string CodeOf(char32_t c) {
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
    return code;
}

bool Control(char32_t c) { return c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0); }

// Why no key types this character, or "" when one does.
std::string Untypable(char32_t c) {
    if (c == 0xFFFD) return "a byte that is not CP932";
    if (c >= U'a' && c <= U'z') return "a lower-case letter, which typing never gives (letters arrive as capitals)";
    if (c < 0x20 || c > 0x7E) return "a character no key types";
    return "";
}

}  // namespace

std::vector<RomeTableFinding> CheckRomeTable(const RomeEntries& table, int32_t width) {
    std::vector<RomeTableFinding> findings;
    int32_t line = 1;
    for (int32_t i = 0; i < RomeEntryCount(table); ++i) {
        const RomeEntry& entry = table[static_cast<size_t>(i)];
        auto add = [&](int32_t at, std::string what) { findings.push_back({i, at, std::move(what)}); };
        if (entry.Count > 0) {
            // Walked in place rather than decoded whole: a kana line may be megabytes long.
            const size_t length = Utf8Length(entry.Kana);
            const std::string shown = "\"" + QuoteForMessage(entry.Kana) + "\"";
            if (length != static_cast<size_t>(width)) {
                add(line, "the kana " + shown + " is " + std::to_string(length) + " characters long, not " +
                              std::to_string(width) + ": no reading ever finds it");
            } else {
                for (size_t pos = 0, size = 0; pos < entry.Kana.size(); pos += size) {
                    const char32_t c = DecodeUtf8(entry.Kana, pos, size);
                    if (c == 0xFFFD || Control(c)) {
                        add(line, "the kana " + shown + " holds " +
                                      (c == 0xFFFD ? std::string("a byte that is not CP932")
                                                   : "a control character (" + CodeOf(c) + ")"));
                        break;
                    }
                }
            }
        }
        for (int32_t s = 0; s < entry.Count && static_cast<size_t>(s) < entry.Romaji.size(); ++s) {
            const std::string& spelling = entry.Romaji[static_cast<size_t>(s)];
            const int32_t at = line + 2 + s;
            const std::string which = "spelling " + std::to_string(s + 1);
            if (spelling.empty()) {
                add(at, which + " is empty: a question needing it could never be completed");
                continue;
            }
            if (width == 2 && spelling == "*") continue;
            for (size_t pos = 0, size = 0; pos < spelling.size(); pos += size) {
                const char32_t c = DecodeUtf8(spelling, pos, size);
                std::string why = Untypable(c);
                if (!why.empty()) {
                    add(at, which + " \"" + QuoteForMessage(spelling) + "\" holds " + why + " (" + CodeOf(c) + ")");
                    break;
                }
            }
        }
        line += 3 + entry.Count;
    }
    return findings;
}

bool TypableSpelling(std::string_view spelling) {
    for (const char byte : spelling) {
        if (byte < 0x20 || byte > 0x7E || (byte >= 'a' && byte <= 'z')) return false;
    }
    return true;
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

namespace {
std::unique_ptr<RomeLookup> g_lookup;  // made at the first Current(), until Release()
}  // namespace

const RomeLookup& RomeLookup::Current() {
    if (!g_lookup) g_lookup = std::make_unique<RomeLookup>();
    RomeLookup& lookup = *g_lookup;
    if (lookup.keysMissing_ || lookup.singleEntries_ != RomeEntryCount(RomeTable) ||
        lookup.pairEntries_ != RomeEntryCount(Rome2Table) || !SameText(lookup.singleText_, RomeIndex) ||
        !SameText(lookup.pairText_, Rome2Index)) {
        lookup.Rebuild();
    }
    return lookup;
}

void RomeLookup::Release() { g_lookup.reset(); }

void RomeLookup::Rebuild() {
    keysMissing_ = false;
    singleText_ = RomeIndex;
    pairText_ = Rome2Index;
    singleEntries_ = RomeEntryCount(RomeTable);
    pairEntries_ = RomeEntryCount(Rome2Table);
    // Sized from the entries, never from the texts: slots past the last entry
    // are never an answer, and an index text may be longer than its table.
    const size_t singles = std::min(singleText_.size(), static_cast<size_t>(singleEntries_));
    const size_t pairs = std::min(pairText_.size() / 2, static_cast<size_t>(pairEntries_));
    singles_.Reset(singles);
    pairs_.Reset(pairs);
    for (size_t slot = 0; slot < singles; ++slot) {
        if (singleText_[slot] == UnmatchableSlot) continue;
        singles_.AddFirst(singleText_[slot], static_cast<int32_t>(slot));
    }
    for (size_t slot = 0; slot < pairs; ++slot) {
        if (pairText_[2 * slot] == UnmatchableSlot || pairText_[2 * slot + 1] == UnmatchableSlot) continue;
        pairs_.AddFirst(PairKey(pairText_[2 * slot], pairText_[2 * slot + 1]), static_cast<int32_t>(slot));
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
