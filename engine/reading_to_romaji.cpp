// Spelling a kana reading with the romaji selected for every kana and pair.
#include "engine/reading_to_romaji.h"

#include <cstdint>
#include <cstdio>

#include "engine/printable.h"
#include "engine/rome_table.h"
#include "platform/core/encoding.h"

namespace dexlora {

namespace {

// Symbols of a reading and the key each is typed with, position by position.
constexpr std::u32string_view SymbolChars = U"（）();:^ー、。？?！!￥％＆・\u3000,.";
constexpr std::string_view SymbolKeys = "()();:^-,.?" "?!!\\%&/ ,.";  // split: no trigraph
static_assert(SymbolChars.size() == SymbolKeys.size());

// Before these, ん must be typed NN: after a single N the next key would join
// the N into another kana (KINEN reads as きねん, KONYA as こにゃ).
constexpr std::u32string_view DoubleNBefore = U"なにぬねのんあいうえおやゆよ";
// Before these, っ is typed on its own: there is no consonant to double.
constexpr std::u32string_view SmallTsuAloneBefore = U"あいうえおんっ";

}  // namespace

char PlainKey(char32_t c) {
    if (c >= U'ぁ' && c <= U'ヶ') return 0;  // kana, the common case (ー and ・ lie above)
    if (c >= U'a' && c <= U'z') return static_cast<char>(c - U'a' + 'A');
    if ((c >= U'A' && c <= U'Z') || (c >= U'0' && c <= U'9')) return static_cast<char>(c);
    size_t at = SymbolChars.find(c);
    return at == std::u32string_view::npos ? 0 : SymbolKeys[at];
}

namespace {

// The first character (code point) of a UTF-8 spelling.
std::string_view FirstCharacter(std::string_view spelling) {
    if (spelling.empty()) return spelling;
    size_t length = 0;
    DecodeUtf8(spelling, 0, length);
    return spelling.substr(0, length);
}

// One character of a reading: its code point and its length in bytes, 0 past the end.
struct Character {
    char32_t code = 0;
    size_t length = 0;
};

// One conversion: walks the reading and appends a piece per rule. The reading
// is decoded as it is walked, never copied: a reading may be megabytes long.
class Speller {
public:
    Speller(std::string_view reading, std::string& romaji, std::string* reason, const RomeLookup& lookup,
            std::vector<SpelledUnit>* units = nullptr)
        : reading_(reading), romaji_(romaji), reason_(reason), lookup_(lookup), units_(units) {}

    bool Run() {
        if (reading_.empty()) return Fail("empty reading");
        size_t pos = 0;     // byte offset of c1
        size_t number = 1;  // c1 counted in characters from 1
        Character c1 = At(0);
        while (pos < reading_.size()) {
            const Character c2 = At(pos + c1.length);
            size_t bytes = c1.length;
            bool pair = false;
            const size_t romajiStart = romaji_.size();
            joinsNext_ = false;
            if (char key = PlainKey(c1.code)) {
                romaji_ += key;
            } else if (c1.code == U'ん') {
                if (!AppendN(c2)) return false;
            } else if (c1.code == U'っ') {
                if (!AppendSmallTsu(c2, pos + c1.length + c2.length)) return false;
            } else if (const RomeEntry* pairEntry = c2.length != 0 ? PairEntry(c1.code, c2.code) : nullptr) {
                if (!AppendSpelling(*pairEntry, SelectedSpelling(*pairEntry))) return false;
                bytes += c2.length;
                pair = true;
            } else if (!AppendKana(c1.code, number)) {
                return false;
            }
            if (units_) units_->push_back({pos, pair ? 2u : 1u, romajiStart, joinsNext_});
            pos += bytes;
            number += pair ? 2 : 1;
            c1 = pair ? At(pos) : c2;
            // Checked against bytes on the way (never fewer than characters)
            // and exactly at the end, so no second pass counts characters.
            if (romaji_.size() > MaxKeysPerCharacter * reading_.size()) break;
        }
        if (romaji_.size() > MaxKeysPerCharacter * (number - 1)) {
            return Fail("the romaji would be longer than " + std::to_string(MaxKeysPerCharacter) +
                        " keys for each character of the reading");
        }
        // A placeholder's or an empty spelling's piece adds no key: a question
        // of nothing but those could never be completed.
        if (romaji_.empty()) return Fail("the romaji would be empty");
        return true;
    }

private:
    Character At(size_t pos) const {
        Character c;
        if (pos < reading_.size()) c.code = DecodeUtf8(reading_, pos, c.length);
        return c;
    }

    bool Fail(const std::string& why) {
        romaji_.clear();
        if (reason_) *reason_ = why;
        return false;
    }

    bool NoSpelling(char32_t c, size_t number) {
        char code[16];
        std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
        return Fail("no spelling for \"" + U32ToUtf8(std::u32string_view(&c, 1)) + "\" (" + code +
                    ") at character " + std::to_string(number));
    }

    // The entry of ん or っ at its fixed place, or null when Rome.ini is too
    // short to have it or holds a placeholder there.
    static const RomeEntry* FixedEntry(int32_t index) {
        if (index >= RomeEntryCount(RomeTable)) return nullptr;
        const RomeEntry& entry = RomeTable[static_cast<size_t>(index)];
        return entry.Count > 0 ? &entry : nullptr;
    }

    bool AppendN(Character next) {
        const RomeEntry* entry = FixedEntry(SyllabicNEntry);
        if (!entry) return Fail("no spelling for \"ん\": Rome.ini entry 94 is missing or has no spelling");
        bool doubled = next.length == 0 || PlainKey(next.code) ||
                       DoubleNBefore.find(next.code) != std::u32string_view::npos ||
                       SelectedSpelling(*entry) == "NN";
        romaji_ += doubled ? "NN" : "N";
        joinsNext_ = !doubled;
        return true;
    }

    bool AppendSmallTsuAlone() {
        const RomeEntry* entry = FixedEntry(SmallTsuEntry);
        if (!entry) return Fail("no spelling for \"っ\": Rome.ini entry 42 is missing or has no spelling");
        return AppendSpelling(*entry, SelectedSpelling(*entry));
    }

    // Appends piece, spelling (part of) entry, when some key types it: a
    // character no key types (U+FFFD from a damaged table, a lower-case
    // letter) would leave the question impossible to complete.
    bool AppendSpelling(const RomeEntry& entry, std::string_view piece) {
        if (!TypableSpelling(piece)) {
            return Fail("the spelling \"" + QuoteForMessage(SelectedSpelling(entry)) + "\" of \"" +
                        QuoteForMessage(entry.Kana) + "\" holds a character no key types");
        }
        romaji_ += piece;
        return true;
    }

    // っ doubles the first key of the piece that follows it. That piece is the
    // pair's own spelling when the next two kana form a pair with one, so
    // mixed choices (じ ZI, じゃ JA) still give keys that belong together (JJA).
    // afterNext is the byte offset of the character after next.
    bool AppendSmallTsu(Character next, size_t afterNext) {
        // Without its own entry っ is a kana the tables do not know, even
        // where it would only double a consonant: fail as the lone っ does.
        if (!FixedEntry(SmallTsuEntry) || next.length == 0) return AppendSmallTsuAlone();
        if (PlainKey(next.code) || SmallTsuAloneBefore.find(next.code) != std::u32string_view::npos) {
            return AppendSmallTsuAlone();
        }
        const RomeEntry* following = nullptr;
        if (const Character third = At(afterNext); third.length != 0) following = PairEntry(next.code, third.code);
        if (!following || SelectedSpelling(*following).empty()) {
            int32_t single = lookup_.Single(next.code);
            following = single >= 0 ? &RomeTable[static_cast<size_t>(single)] : nullptr;
        }
        // Nothing to double (a kana with no spelling of its own): type っ
        // alone and let the next character succeed or fail by itself.
        if (!following || SelectedSpelling(*following).empty()) return AppendSmallTsuAlone();
        joinsNext_ = true;
        return AppendSpelling(*following, FirstCharacter(SelectedSpelling(*following)));
    }

    // The entry of the pair c1 c2 when it has a spelling of its own; null
    // when the pair is absent or its spelling is "*".
    const RomeEntry* PairEntry(char32_t c1, char32_t c2) const {
        int32_t pair = lookup_.Pair(c1, c2);
        if (pair < 0) return nullptr;
        const RomeEntry& entry = Rome2Table[static_cast<size_t>(pair)];
        return SelectedSpelling(entry) == "*" ? nullptr : &entry;
    }

    bool AppendKana(char32_t c, size_t number) {
        int32_t single = lookup_.Single(c);
        if (single < 0) return NoSpelling(c, number);
        const RomeEntry& entry = RomeTable[static_cast<size_t>(single)];
        return AppendSpelling(entry, SelectedSpelling(entry));
    }

    std::string_view reading_;
    std::string& romaji_;
    std::string* reason_;
    const RomeLookup& lookup_;
    std::vector<SpelledUnit>* units_;
    bool joinsNext_ = false;  // the piece being spelled stands only before the next
};

}  // namespace

bool ReadingToRomaji(std::string& romaji, std::string_view reading, std::string* reason) {
    return ReadingToRomaji(romaji, reading, RomeLookup::Current(), reason);
}

bool ReadingToRomaji(std::string& romaji, std::string_view reading, const RomeLookup& lookup, std::string* reason) {
    romaji.clear();
    return Speller(reading, romaji, reason, lookup).Run();
}

bool ReadingToRomaji(std::string& romaji, std::vector<SpelledUnit>& units, std::string_view reading,
                     const RomeLookup& lookup, std::string* reason) {
    romaji.clear();
    units.clear();
    return Speller(reading, romaji, reason, lookup, &units).Run();
}

}  // namespace dexlora
