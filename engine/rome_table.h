// The romaji tables of single kana and of two-kana pairs, and their lookup texts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dexlora {

// One kana (or two-kana pair) and the spellings it can be typed with.
struct RomeEntry {
    // The kana spelled: one character in Rome.ini, two in Rome2.ini. An entry
    // without spellings may hold any text, which only labels its cell.
    std::string Kana;
    // Number of spellings; 0 marks a placeholder entry.
    int32_t Count = 0;
    // The spellings at 0 to Count-1, then one empty text at index Count.
    std::vector<std::string> Romaji{std::string()};
    // Index of the spelling in use.
    int32_t Selected = 0;
};

// A table holds its N entries at 0 to N-1, followed by two spare empty entries.
using RomeEntries = std::vector<RomeEntry>;

extern RomeEntries RomeTable;   // Rome.ini: single kana
extern RomeEntries Rome2Table;  // Rome2.ini: two-kana pairs

// Slot i of an index text belongs to entry i of its table: one character per
// slot in RomeIndex, two in Rome2Index.
extern std::u32string RomeIndex;
extern std::u32string Rome2Index;

// Fixed places in RomeTable that the conversion of readings relies on.
constexpr int32_t SmallTsuEntry = 42;  // っ typed on its own
constexpr int32_t SyllabicNEntry = 94; // ん

// Far above any real table (about a hundred entries of a few spellings each;
// the key configuration shows 140): a table beyond them is damage, and
// refusing it keeps a hostile file from costing memory out of all proportion.
constexpr int32_t MaxRomeEntries = 1000;
constexpr int32_t MaxSpellings = 100;

// What an index slot holds for an entry whose kana does not have the slot's
// width: no decoded text ever holds it (it lies past U+10FFFF), so the entry
// is never found and the entries after it keep their slots.
constexpr char32_t UnmatchableSlot = 0x110000;

// The number of real entries N of a table (its spare entries not counted).
int32_t RomeEntryCount(const RomeEntries& table);

// The spelling in use: Romaji[Selected], or the first spelling when Selected is
// out of range (an empty text for a placeholder entry).
const std::string& SelectedSpelling(const RomeEntry& entry);

// Reads SystemPath + fileName into table (N entries then two spare ones).
// Answers false when the file is missing or malformed: a count that is not a
// whole number from 0 to MaxSpellings, more than MaxRomeEntries entries, or a
// file ending inside a group. The entries read before the fault stay, a partly
// read one with the spellings it got. When problem is given, it receives what
// went wrong ("" on success), naming the line for a malformed file.
bool LoadRomeTable(RomeEntries& table, std::string_view fileName, std::string* problem = nullptr);

// Builds the lookup text of a table: each entry's Kana, or width spaces for an
// entry without spellings, or width UnmatchableSlot characters for a kana that
// is not width characters long. Always answers true.
bool BuildRomeIndex(std::u32string& index, const RomeEntries& table, int32_t width);

// One fault of a loaded table that the game does not refuse but a player
// would meet: an entry whose kana is never found, or a spelling no key types.
struct RomeTableFinding {
    int32_t Entry;     // 0-based, as KeyConf.txt counts
    int32_t Line;      // 1-based line of the file holding the fault
    std::string What;  // what is wrong, naming the text (control characters escaped)
};

// The faults of every entry with spellings: a kana not width characters long
// or holding a control character or U+FFFD (a byte that is not CP932), and spellings that are empty
// or hold anything but printable ASCII without lower-case letters (typed
// letters arrive as capitals). "*" alone is a spelling in a pair table
// (width 2). Lines are counted as the entries lie in the file.
std::vector<RomeTableFinding> CheckRomeTable(const RomeEntries& table, int32_t width);

// Whether some key types every character of spelling: printable ASCII but
// lower-case letters, which typing never gives (letters arrive as capitals).
// Conversion refuses a spelling that fails this: no key could ever complete it.
bool TypableSpelling(std::string_view spelling);

// The entry of RomeTable for one kana and of Rome2Table for a pair, from
// hashed copies of RomeIndex and Rome2Index: the first slot whose text is
// the kana, among the table's entries; scanning the texts for every kana
// would be most of the cost of reading a long type.txt. One thread only.
class RomeLookup {
public:
    // The lookup for the index texts as they are now; rebuilt when either
    // text differs from the one it was made from. Take it once per reading.
    static const RomeLookup& Current();
    // Frees the lookup; the next Current() builds it again.
    static void Release();

    // The entry, or -1 when absent.
    int32_t Single(char32_t kana) const;
    int32_t Pair(char32_t first, char32_t second) const;

private:
    // Slot numbers by key (one character, or two packed in 64 bits), open
    // addressing in a power-of-two table: indexes hold at most a few hundred slots.
    class SlotHash {
    public:
        void Reset(size_t slots);
        void AddFirst(uint64_t key, int32_t slot);  // a later equal key keeps the first slot
        int32_t Find(uint64_t key) const;

    private:
        static constexpr uint64_t Empty = ~uint64_t{0};
        size_t Home(uint64_t key) const;
        std::vector<uint64_t> keys_;
        std::vector<int32_t> slots_;
        int shift_ = 63;
    };

    void Rebuild();

    bool keysMissing_ = true;  // never built: empty texts would look current
    std::u32string singleText_;
    std::u32string pairText_;
    int32_t singleEntries_ = 0;  // the tables' sizes the hashes were made for
    int32_t pairEntries_ = 0;
    SlotHash singles_;
    SlotHash pairs_;
};

}  // namespace dexlora
