// The accepted spellings of a reading, walked as a set of partial spellings.
#include "engine/flexible_romaji.h"

#include <algorithm>
#include <span>
#include <unordered_map>

#include "engine/reading_to_romaji.h"
#include "engine/rome_table.h"
#include "platform/core/encoding.h"

namespace dexlora {

namespace {

// What the common input methods take for every kana and pair: the kana, a
// space, its spellings separated by spaces; entries end in "|".
constexpr std::string_view BuiltInSpellings =
    "あ A|い I|う U WU WHU|え E|お O|か KA CA|き KI|く KU CU QU|"
    "け KE|こ KO CO|さ SA|し SI CI SHI|す SU|せ SE CE|そ SO|た TA|"
    "ち TI CHI|つ TU TSU|て TE|と TO|な NA|に NI|ぬ NU|ね NE|"
    "の NO|は HA|ひ HI|ふ FU HU|へ HE|ほ HO|ま MA|み MI|む MU|"
    "め ME|も MO|や YA|ゆ YU|よ YO|ら RA|り RI|る RU|れ RE|ろ RO|"
    "わ WA|を WO|ん N N' NN XN|ぁ XA LA|ぃ XI LI LYI XYI|ぅ XU LU|"
    "ぇ XE LE LYE XYE|ぉ XO LO|ゃ XYA LYA|ゅ XYU LYU|ょ XYO LYO|"
    "っ XTU LTU XTSU LTSU|ゎ XWA LWA|が GA|ぎ GI|ぐ GU|げ GE|ご GO|"
    "ざ ZA|じ ZI JI|ず ZU|ぜ ZE|ぞ ZO|だ DA|ぢ DI|づ DU|で DE|"
    "ど DO|ば BA|び BI|ぶ BU|べ BE|ぼ BO|ぱ PA|ぴ PI|ぷ PU|ぺ PE|"
    "ぽ PO|ヴ VU|ゐ WYI|ゑ WYE|ヵ XKA LKA|ヶ XKE LKE|ヴぁ VA|"
    "ヴぃ VI VYI|ヴぇ VE VYE|ヴぉ VO|ヴゃ VYA|ヴゅ VYU|"
    "ヴょ VYO|きゃ KYA|きぃ KYI|きゅ KYU|きぇ KYE|きょ KYO|"
    "ぎゃ GYA|ぎぃ GYI|ぎゅ GYU|ぎぇ GYE|ぎょ GYO|しゃ SYA SHA|"
    "しぃ SYI|しゅ SYU SHU|しぇ SYE SHE|しょ SYO SHO|"
    "じゃ JA ZYA JYA|じぃ ZYI JYI|じゅ JU ZYU JYU|じぇ JE ZYE JYE|"
    "じょ JO ZYO JYO|ちゃ TYA CHA CYA|ちぃ TYI CYI|"
    "ちゅ TYU CHU CYU|ちぇ TYE CHE CYE|ちょ TYO CHO CYO|ぢゃ DYA|"
    "ぢぃ DYI|ぢゅ DYU|ぢぇ DYE|ぢょ DYO|つぁ TSA|つぃ TSI|"
    "つぇ TSE|つぉ TSO|てゃ THA|てぃ THI T'I|てゅ THU T'YU|"
    "てぇ THE|てょ THO|でゃ DHA|でぃ DHI D'I|でゅ DHU D'YU|"
    "でぇ DHE|でょ DHO|とぁ TWA|とぃ TWI|とぅ TWU T'U|とぇ TWE|"
    "とぉ TWO|どぁ DWA|どぃ DWI|どぅ DWU D'U|どぇ DWE|どぉ DWO|"
    "にゃ NYA|にぃ NYI|にゅ NYU|にぇ NYE|にょ NYO|ひゃ HYA|"
    "ひぃ HYI|ひゅ HYU|ひぇ HYE|ひょ HYO|びゃ BYA|びぃ BYI|"
    "びゅ BYU|びぇ BYE|びょ BYO|ぴゃ PYA|ぴぃ PYI|ぴゅ PYU|"
    "ぴぇ PYE|ぴょ PYO|ふぁ FA HWA|ふぃ FI HWI|ふぇ FE HWE|"
    "ふぉ FO HWO|ふゃ FYA|ふゅ FYU HWYU|ふょ FYO|みゃ MYA|"
    "みぃ MYI|みゅ MYU|みぇ MYE|みょ MYO|りゃ RYA|りぃ RYI|"
    "りゅ RYU|りぇ RYE|りょ RYO|いぇ YE|くぁ QA KWA|"
    "くぃ QI KWI|くぇ QE KWE|くぉ QO KWO|くぅ KWU|ぐぁ GWA|"
    "ぐぃ GWI|ぐぅ GWU|ぐぇ GWE|ぐぉ GWO|すぁ SWA|すぃ SWI|"
    "すぅ SWU|すぇ SWE|すぉ SWO|ずぁ ZWA|ずぃ ZWI|ずぅ ZWU|"
    "ずぇ ZWE|ずぉ ZWO|うぃ WI WHI|うぇ WE WHE|うぁ WHA|"
    "うぉ WHO|"
    ;

// Before these a single N does not make ん: the N would join the next kana.
constexpr std::u32string_view NoSingleNBefore = U"なにぬねのんあいうえおやゆよ";
// Before these っ is only typed on its own: no consonant to double.
constexpr std::u32string_view NoDoublingBefore = U"あいうえおなにぬねのんっ";

uint64_t PairKey(char32_t first, char32_t second) { return (uint64_t{first} << 32) | second; }

// The built-in spellings by kana (one character) and by pair (two packed).
struct BuiltIn {
    std::unordered_map<uint64_t, std::vector<std::string_view>> Singles;
    std::unordered_map<uint64_t, std::vector<std::string_view>> Pairs;

    BuiltIn() {
        std::string_view rest = BuiltInSpellings;
        while (!rest.empty()) {
            const std::string_view entry = rest.substr(0, rest.find('|'));
            rest.remove_prefix(std::min(rest.size(), entry.size() + 1));
            const std::u32string kana = Utf8ToU32(entry.substr(0, entry.find(' ')));
            auto& list = kana.size() == 1 ? Singles[kana[0]] : Pairs[PairKey(kana[0], kana[1])];
            for (std::string_view words = entry.substr(entry.find(' ') + 1); !words.empty();) {
                const size_t space = std::min(words.find(' '), words.size());
                list.push_back(words.substr(0, space));
                words.remove_prefix(std::min(words.size(), space + 1));
            }
        }
    }
    static const BuiltIn& Get() {
        static const BuiltIn table;
        return table;
    }
    static std::span<const std::string_view> Find(const std::unordered_map<uint64_t, std::vector<std::string_view>>& map,
                                                  uint64_t key) {
        const auto found = map.find(key);
        return found == map.end() ? std::span<const std::string_view>() : found->second;
    }
};

bool Vowel(char key) { return key == 'A' || key == 'I' || key == 'U' || key == 'E' || key == 'O'; }
bool Letter(char key) { return key >= 'A' && key <= 'Z'; }
// A key that starts a kana with a consonant a single N may stand before.
bool ConsonantForN(char key) { return Letter(key) && !Vowel(key) && key != 'N' && key != 'Y'; }
// Whether っ before a kana spelled so may be typed as its first key doubled:
// a consonant but N, and W only before a vowel (WWA).
bool Doubles(std::string_view spelling) {
    const char key = spelling.empty() ? 0 : spelling[0];
    return Letter(key) && !Vowel(key) && key != 'N' && (key != 'W' || (spelling.size() == 2 && Vowel(spelling[1])));
}

}  // namespace

FlexibleRomaji::FlexibleRomaji(std::string_view reading) : reading_(reading) {
    std::vector<SpelledUnit> units;
    valid_ = reading_.size() < (size_t{1} << 30) &&
             ReadingToRomaji(preferred_, units, reading_, RomeLookup::Current());
    if (!valid_) return;
    chars_ = Utf8ToU32(reading_);
    // The key configuration's spelling, but for っ where the tables double
    // what no input method doubles (N of な行, W before anything but a
    // vowel): there it is typed on its own.
    std::string romaji;
    pieceOf_.reserve(chars_.size());
    for (size_t u = 0; u < units.size(); ++u) {
        const size_t end = u + 1 < units.size() ? units[u + 1].RomajiStart : preferred_.size();
        std::string_view spelling(preferred_.data() + units[u].RomajiStart, end - units[u].RomajiStart);
        bool joins = units[u].JoinsNext;
        const int32_t pos = static_cast<int32_t>(pieceOf_.size());
        if (joins && chars_[size_t(pos)] == U'っ') {
            const size_t nextEnd = u + 2 < units.size() ? units[u + 2].RomajiStart : preferred_.size();
            const std::string_view following(preferred_.data() + end, u + 1 < units.size() ? nextEnd - end : 0);
            if (NoDoublingBefore.find(chars_[size_t(pos) + 1]) != std::u32string_view::npos || !Doubles(following)) {
                joins = false;
                spelling = SelectedSpelling(RomeTable[size_t(SmallTsuEntry)]);
            }
        }
        pieceFirst_.push_back(pos);
        pieceByte_.push_back(units[u].Byte);
        pieceRomaji_.push_back(romaji.size());
        pieceJoins_.push_back(joins);
        pieceOf_.insert(pieceOf_.end(), units[u].Characters, static_cast<int32_t>(u));
        romaji += spelling;
    }
    preferred_ = std::move(romaji);
    pieceByte_.push_back(reading_.size());
    pieceRomaji_.push_back(preferred_.size());
    firstToken_.assign(chars_.size(), -1);
    tokenCount_.assign(chars_.size(), 0);
    states_.push_back({SkipEmpty(0), -1, 0, {}, 0});
    UpdateGuide();
}

bool FlexibleRomaji::PieceStart(int32_t pos) const {
    return pos < Size() && pieceFirst_[size_t(pieceOf_[size_t(pos)])] == pos;
}

bool FlexibleRomaji::HasSingle(int32_t pos) const {
    const char32_t c = chars_[size_t(pos)];
    return PlainKey(c) || c == U'ん' || c == U'っ' || RomeLookup::Current().Single(c) >= 0 ||
           !BuiltIn::Find(BuiltIn::Get().Singles, c).empty();
}

// A token may end where the table pieces start, or within a pair whose
// second kana has a spelling of its own: never where no spelling goes on.
bool FlexibleRomaji::CanLand(int32_t pos) const { return pos == Size() || PieceStart(pos) || HasSingle(pos); }

bool FlexibleRomaji::Allowed(const Need& need, const Token& token) const {
    if (need.What == Need::Anything || (need.AfterPiece && token.Piece)) return true;
    const char first = pool_[token.At];
    return need.What == Need::Letter ? first == need.Key : ConsonantForN(first);
}

FlexibleRomaji::Need FlexibleRomaji::NeedAfter(const Token& token, std::string_view spelling) {
    Need need;
    need.AfterPiece = token.Piece;
    if (token.Type == Kind::SingleN) need.What = Need::Consonant;
    if (token.Type == Kind::Doubled) {
        need.What = Need::Letter;
        need.Key = spelling[0];
    }
    return need;
}

void FlexibleRomaji::Add(int32_t pos, int32_t first, std::string_view spelling, int span, Kind type, bool piece) {
    if (spelling.empty() || !TypableSpelling(spelling) || pos + span > Size() || !CanLand(pos + span)) return;
    for (size_t t = size_t(first); t < tokens_.size(); ++t) {
        if (tokens_[t].Span == span && tokens_[t].Type == type && Spelling(tokens_[t]) == spelling) return;
    }
    if (tokens_.size() - size_t(first) >= 0xFFFF) return;
    tokens_.push_back({static_cast<uint32_t>(pool_.size()), static_cast<uint32_t>(spelling.size()),
                       static_cast<uint8_t>(span), type, piece});
    pool_ += spelling;
}

void FlexibleRomaji::Build(int32_t pos) {
    if (firstToken_[size_t(pos)] >= 0) return;
    const char32_t c = chars_[size_t(pos)];
    const bool hasNext = pos + 1 < Size();
    const char32_t next = hasNext ? chars_[size_t(pos) + 1] : 0;
    const bool kanaNext = hasNext && !PlainKey(next);
    // ん and っ look at the spellings of the kana after them, which are made
    // first: each position's tokens lie together in tokens_.
    const bool singleN = c == U'ん' && kanaNext && NoSingleNBefore.find(next) == std::u32string_view::npos;
    const bool doubling = c == U'っ' && kanaNext && NoDoublingBefore.find(next) == std::u32string_view::npos;
    if (singleN || doubling) Build(pos + 1);
    const auto nextTokens = [&] {
        const size_t from = size_t(firstToken_[size_t(pos) + 1]);
        return std::span<const Token>(tokens_.data() + from, tokenCount_[size_t(pos) + 1]);
    };

    const int32_t first = static_cast<int32_t>(tokens_.size());
    const RomeLookup& lookup = RomeLookup::Current();
    const BuiltIn& builtIn = BuiltIn::Get();
    const auto addEntry = [&](const RomeEntries& table, int32_t index, int span, std::string_view skip) {
        if (index < 0) return;
        const RomeEntry& entry = table[size_t(index)];
        for (int32_t s = 0; s < entry.Count && size_t(s) < entry.Romaji.size(); ++s) {
            if (entry.Romaji[size_t(s)] != skip) Add(pos, first, entry.Romaji[size_t(s)], span, Kind::Whole, false);
        }
    };
    const auto addSingles = [&](std::string_view skip) {
        addEntry(RomeTable, lookup.Single(c), 1, skip);
        for (std::string_view s : BuiltIn::Find(builtIn.Singles, c))
            if (s != skip) Add(pos, first, s, 1, Kind::Whole, false);
    };
    const auto addPairs = [&] {
        if (!hasNext) return;
        addEntry(Rome2Table, lookup.Pair(c, next), 2, "*");
        for (std::string_view s : BuiltIn::Find(builtIn.Pairs, PairKey(c, next))) Add(pos, first, s, 2, Kind::Whole, false);
    };

    const bool pieceStart = PieceStart(pos);
    const size_t piece = size_t(pieceOf_[size_t(pos)]);
    if (pieceStart) {
        const std::string_view spelling(preferred_.data() + pieceRomaji_[piece],
                                        pieceRomaji_[piece + 1] - pieceRomaji_[piece]);
        const Kind type = !pieceJoins_[piece] ? Kind::Whole : c == U'ん' ? Kind::SingleN : Kind::Doubled;
        Add(pos, first, spelling, PieceSpan(piece), type, true);
    }
    if (const char key = PlainKey(c)) {
        Add(pos, first, std::string_view(&key, 1), 1, Kind::Whole, false);
    } else if (c == U'ん') {
        for (std::string_view s : {"NN", "XN", "N'"}) Add(pos, first, s, 1, Kind::Whole, false);
        addSingles("N");
        if (singleN && std::any_of(nextTokens().begin(), nextTokens().end(), [&](const Token& t) {
                return ConsonantForN(pool_[t.At]);
            })) {
            Add(pos, first, "N", 1, Kind::SingleN, false);
        }
    } else if (c == U'っ') {
        addSingles("");
        if (doubling) {
            for (size_t t = 0; t < nextTokens().size(); ++t) {
                // Copied out: adding a token may move the pool.
                const Token token = nextTokens()[t];
                const char key = pool_[token.At];
                if (Doubles(Spelling(token))) Add(pos, first, std::string_view(&key, 1), 1, Kind::Doubled, false);
            }
        }
    } else if (pieceStart && PieceSpan(piece) == 2) {
        addPairs();
        addSingles("");
    } else {
        addSingles("");
        addPairs();
    }
    firstToken_[size_t(pos)] = first;
    tokenCount_[size_t(pos)] = static_cast<uint16_t>(tokens_.size() - size_t(first));
}

// A piece the tables spell with no key (a placeholder's empty spelling) is
// passed over as soon as it is reached.
int32_t FlexibleRomaji::SkipEmpty(int32_t pos) const {
    while (PieceStart(pos)) {
        const size_t piece = size_t(pieceOf_[size_t(pos)]);
        if (pieceRomaji_[piece + 1] != pieceRomaji_[piece]) break;
        pos += PieceSpan(piece);
    }
    return pos;
}

int32_t FlexibleRomaji::PieceSpan(size_t piece) const {
    const int32_t end = piece + 1 < pieceFirst_.size() ? pieceFirst_[piece + 1] : Size();
    return end - pieceFirst_[piece];
}

void FlexibleRomaji::Advance(int32_t pos, int32_t token, uint32_t typed, int32_t rank) {
    const Token& t = tokens_[size_t(token)];
    State state = typed == t.Size ? State{SkipEmpty(pos + t.Span), -1, 0, NeedAfter(t, Spelling(t)), rank}
                                  : State{pos, token, typed, Need{}, rank};
    for (State& known : next_) {
        if (known.Pos == state.Pos && known.Token == state.Token && known.Typed == state.Typed &&
            known.After.What == state.After.What && known.After.Key == state.After.Key &&
            known.After.AfterPiece == state.After.AfterPiece) {
            known.Rank = std::min(known.Rank, rank);
            return;
        }
    }
    next_.push_back(state);
}

bool FlexibleRomaji::Key(char32_t key) {
    if (!valid_ || complete_ || key > 0x7E) return false;
    next_.clear();
    for (const State& state : states_) {
        if (state.Token >= 0) {
            const Token& token = tokens_[size_t(state.Token)];
            if (char32_t(pool_[token.At + state.Typed]) == key) Advance(state.Pos, state.Token, state.Typed + 1, state.Rank);
            continue;
        }
        if (state.Pos >= Size()) continue;
        Build(state.Pos);
        const int32_t first = firstToken_[size_t(state.Pos)];
        for (int32_t t = first; t < first + tokenCount_[size_t(state.Pos)]; ++t) {
            const Token& token = tokens_[size_t(t)];
            if (char32_t(pool_[token.At]) == key && Allowed(state.After, token)) Advance(state.Pos, t, 1, t - first);
        }
    }
    if (next_.empty()) return false;
    states_.swap(next_);
    typed_ += static_cast<char>(key);
    complete_ = std::any_of(states_.begin(), states_.end(),
                            [this](const State& s) { return s.Token < 0 && s.Pos == Size(); });
    UpdateGuide();
    return true;
}

void FlexibleRomaji::UpdateGuide() {
    guide_ = typed_;
    if (complete_ || states_.empty()) return;
    const State& best = *std::min_element(states_.begin(), states_.end(),
                                          [](const State& a, const State& b) { return a.Rank < b.Rank; });
    int32_t pos = best.Pos;
    Need need = best.After;
    if (best.Token >= 0) {
        const Token& token = tokens_[size_t(best.Token)];
        guide_ += Spelling(token).substr(best.Typed);
        pos = SkipEmpty(pos + token.Span);
        need = NeedAfter(token, Spelling(token));
    }
    // The rest in the key configuration's spellings, from the first place
    // where they fit on: at once unless the keys so far stopped inside a
    // pair or bind the next kana's first key.
    while (pos < Size()) {
        if (PieceStart(pos) && (need.What == Need::Anything || need.AfterPiece)) {
            guide_.append(preferred_, pieceRomaji_[size_t(pieceOf_[size_t(pos)])]);
            return;
        }
        Build(pos);
        const int32_t first = firstToken_[size_t(pos)];
        const Token* fitting = nullptr;
        for (int32_t t = first; t < first + tokenCount_[size_t(pos)] && !fitting; ++t) {
            if (Allowed(need, tokens_[size_t(t)])) fitting = &tokens_[size_t(t)];
        }
        if (!fitting) return;
        guide_ += Spelling(*fitting);
        pos = SkipEmpty(pos + fitting->Span);
        need = NeedAfter(*fitting, Spelling(*fitting));
    }
}

KanaPlace FlexibleRomaji::KanaIndex() const {
    if (!valid_ || complete_ || states_.empty()) return {static_cast<int32_t>(pieceFirst_.size()), {}};
    const State& best = *std::min_element(states_.begin(), states_.end(),
                                          [](const State& a, const State& b) { return a.Rank < b.Rank; });
    if (best.Pos >= Size()) return {static_cast<int32_t>(pieceFirst_.size()), {}};
    const size_t piece = size_t(pieceOf_[size_t(best.Pos)]);
    return {static_cast<int32_t>(piece),
            std::string_view(reading_).substr(pieceByte_[piece], pieceByte_[piece + 1] - pieceByte_[piece])};
}

}  // namespace dexlora
