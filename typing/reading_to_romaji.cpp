// Spelling a kana reading with the romaji selected for every kana and pair.
#include "typing/reading_to_romaji.h"

#include <cstdint>
#include <cstdio>

#include "platform/encoding.h"
#include "typing/rome_table.h"

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

// The key of a letter, digit or symbol, which are typed as they stand
// (lower-case letters folded, since typed letters are compared in upper
// case); 0 for every other character.
char PlainKey(char32_t c) {
    if (c >= U'ぁ' && c <= U'ヶ') return 0;  // kana, the common case (ー and ・ lie above)
    if (c >= U'a' && c <= U'z') return static_cast<char>(c - U'a' + 'A');
    if ((c >= U'A' && c <= U'Z') || (c >= U'0' && c <= U'9')) return static_cast<char>(c);
    size_t at = SymbolChars.find(c);
    return at == std::u32string_view::npos ? 0 : SymbolKeys[at];
}

// The first character (code point) of a UTF-8 spelling.
std::string_view FirstCharacter(std::string_view spelling) {
    if (spelling.empty()) return spelling;
    size_t length = 0;
    DecodeUtf8(spelling, 0, length);
    return spelling.substr(0, length);
}

// One conversion: walks the reading and appends a piece per rule.
class Speller {
public:
    Speller(std::u32string_view text, std::string& romaji, std::string* reason)
        : text_(text), romaji_(romaji), reason_(reason), lookup_(RomeLookup::Current()) {}

    bool Run() {
        if (text_.empty()) return Fail("empty reading");
        size_t p = 0;
        while (p < text_.size()) {
            char32_t c1 = text_[p];
            bool last = p + 1 == text_.size();
            if (char key = PlainKey(c1)) {
                romaji_ += key;
            } else if (c1 == U'ん') {
                if (!AppendN(p)) return false;
            } else if (c1 == U'っ') {
                if (!AppendSmallTsu(p)) return false;
            } else if (!last && AppendPair(c1, text_[p + 1])) {
                ++p;
            } else if (!AppendKana(p)) {
                return false;
            }
            ++p;
            if (romaji_.size() > MaxKeysPerCharacter * text_.size()) {
                return Fail("the romaji would be longer than " + std::to_string(MaxKeysPerCharacter) +
                            " keys for each character of the reading");
            }
        }
        // A placeholder's or an empty spelling's piece adds no key: a question
        // of nothing but those could never be completed.
        if (romaji_.empty()) return Fail("the romaji would be empty");
        return true;
    }

private:
    bool Fail(const std::string& why) {
        romaji_.clear();
        if (reason_) *reason_ = why;
        return false;
    }

    bool NoSpelling(size_t p) {
        char32_t c = text_[p];
        char code[16];
        std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
        return Fail("no spelling for \"" + U32ToUtf8(std::u32string_view(&text_[p], 1)) + "\" (" + code +
                    ") at character " + std::to_string(p + 1));
    }

    // The entry of ん or っ at its fixed place, or null when Rome.ini is too
    // short to have it or holds a placeholder there.
    static const RomeEntry* FixedEntry(int32_t index) {
        if (index >= RomeEntryCount(RomeTable)) return nullptr;
        const RomeEntry& entry = RomeTable[static_cast<size_t>(index)];
        return entry.Count > 0 ? &entry : nullptr;
    }

    bool AppendN(size_t p) {
        const RomeEntry* entry = FixedEntry(SyllabicNEntry);
        if (!entry) return Fail("no spelling for \"ん\": Rome.ini entry 94 is missing or has no spelling");
        bool doubled = p + 1 == text_.size() || PlainKey(text_[p + 1]) ||
                       DoubleNBefore.find(text_[p + 1]) != std::u32string_view::npos ||
                       SelectedSpelling(*entry) == "NN";
        romaji_ += doubled ? "NN" : "N";
        return true;
    }

    bool AppendSmallTsuAlone() {
        const RomeEntry* entry = FixedEntry(SmallTsuEntry);
        if (!entry) return Fail("no spelling for \"っ\": Rome.ini entry 42 is missing or has no spelling");
        romaji_ += SelectedSpelling(*entry);
        return true;
    }

    // っ doubles the first key of the piece that follows it. That piece is the
    // pair's own spelling when the next two kana form a pair with one, so
    // mixed choices (じ ZI, じゃ JA) still give keys that belong together (JJA).
    bool AppendSmallTsu(size_t p) {
        // Without its own entry っ is a kana the tables do not know, even
        // where it would only double a consonant: fail as the lone っ does.
        if (!FixedEntry(SmallTsuEntry) || p + 1 >= text_.size()) return AppendSmallTsuAlone();
        char32_t next = text_[p + 1];
        if (PlainKey(next) || SmallTsuAloneBefore.find(next) != std::u32string_view::npos) {
            return AppendSmallTsuAlone();
        }
        std::string_view following;
        if (p + 2 < text_.size()) {
            int32_t pair = lookup_.Pair(next, text_[p + 2]);
            if (pair >= 0) {
                const std::string& spelling = SelectedSpelling(Rome2Table[static_cast<size_t>(pair)]);
                if (spelling != "*") following = spelling;
            }
        }
        if (following.empty()) {
            int32_t single = lookup_.Single(next);
            if (single >= 0) following = SelectedSpelling(RomeTable[static_cast<size_t>(single)]);
        }
        // Nothing to double (a kana with no spelling of its own): type っ
        // alone and let the next character succeed or fail by itself.
        if (following.empty()) return AppendSmallTsuAlone();
        romaji_ += FirstCharacter(following);
        return true;
    }

    // The pair c1 c2 with a spelling of its own; false when absent or "*".
    bool AppendPair(char32_t c1, char32_t c2) {
        int32_t pair = lookup_.Pair(c1, c2);
        if (pair < 0) return false;
        const std::string& spelling = SelectedSpelling(Rome2Table[static_cast<size_t>(pair)]);
        if (spelling == "*") return false;
        romaji_ += spelling;
        return true;
    }

    bool AppendKana(size_t p) {
        int32_t single = lookup_.Single(text_[p]);
        if (single < 0) return NoSpelling(p);
        romaji_ += SelectedSpelling(RomeTable[static_cast<size_t>(single)]);
        return true;
    }

    std::u32string_view text_;
    std::string& romaji_;
    std::string* reason_;
    const RomeLookup& lookup_;
};

}  // namespace

bool ReadingToRomaji(std::string& romaji, std::string_view reading, std::string* reason) {
    romaji.clear();
    std::u32string text = Utf8ToU32(reading);
    return Speller(text, romaji, reason).Run();
}

}  // namespace dexlora
