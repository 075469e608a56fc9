// Judging typed keys against every spelling a common input method turns into
// a reading, key by key, and the romaji guide that follows the player.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dexlora {

// Where the next key belongs: the index of a piece of the reading as the
// romaji tables split it (a pair such as きゃ is one piece), and its text.
struct KanaPlace {
    int32_t Index = 0;
    std::string_view Text;  // empty once the reading is complete
};

// The keys accepted for a reading: every kana and pair in any spelling of the
// built-in list or of Rome.ini and Rome2.ini; small kana with X or L first, so
// a pair may be typed as its two parts (KI then XYA); ん as NN, XN or N', or as
// a single N before a kana that starts with a consonant other than N and Y;
// っ on its own (XTU, LTU, XTSU, LTSU) or as the first consonant of the next
// kana doubled, but N and the places where no consonant follows (a vowel,
// な行, ん, っ, a symbol, the end). Letters, digits and symbols as themselves.
// The tables are read as they are when it is made; it is made for one
// question and thrown away with it.
class FlexibleRomaji {
public:
    explicit FlexibleRomaji(std::string_view reading);

    // Whether the tables spell the reading at all; an invalid one takes no key.
    bool Valid() const { return valid_; }
    // Whether some accepted spelling of the rest continues with key: then the
    // key is typed and true answered; otherwise nothing changes.
    bool Key(char32_t key);
    // Whether the keys typed spell the whole reading.
    bool Complete() const { return complete_; }
    // The keys typed so far, then the rest in the key configuration's
    // spellings, but for the piece being typed, which keeps the spelling its
    // keys so far commit to (after SH, し goes on as SHI).
    const std::string& Guide() const { return guide_; }
    size_t TypedCount() const { return typed_.size(); }
    KanaPlace KanaIndex() const;

    std::string_view Reading() const { return reading_; }
    // The reading in the key configuration's spellings, as the questions hold it.
    const std::string& Romaji() const { return preferred_; }

private:
    enum class Kind : uint8_t { Whole, SingleN, Doubled };
    // One way to type the kana from a place in the reading.
    struct Token {
        uint32_t At;     // the spelling in pool_
        uint32_t Size;
        uint8_t Span;    // reading characters covered: 1, or 2 for a pair
        Kind Type;
        bool Piece;      // the key configuration's spelling of the table piece starting here
    };
    // What the next token must start with after a single N or a doubled letter.
    struct Need {
        enum : uint8_t { Anything, Letter, Consonant } What = Anything;
        char Key = 0;
        bool AfterPiece = false;  // the key configuration's own pieces always fit
    };
    struct State {
        int32_t Pos;    // the first character of the token being typed, or of the next token
        int32_t Token;  // into tokens_; -1 between tokens
        uint32_t Typed; // keys of the token typed
        Need After;     // between tokens: what the next must start with
        int32_t Rank;   // the place among its alternatives of the token the last key typed
    };

    std::string_view Spelling(const Token& token) const { return {pool_.data() + token.At, token.Size}; }
    int32_t Size() const { return static_cast<int32_t>(chars_.size()); }
    bool PieceStart(int32_t pos) const;
    int32_t PieceSpan(size_t piece) const;
    int32_t SkipEmpty(int32_t pos) const;
    bool CanLand(int32_t pos) const;
    bool HasSingle(int32_t pos) const;
    bool Allowed(const Need& need, const Token& token) const;
    static Need NeedAfter(const Token& token, std::string_view spelling);
    void Build(int32_t pos);
    void Add(int32_t pos, int32_t first, std::string_view spelling, int span, Kind type, bool piece);
    void Advance(int32_t pos, int32_t token, uint32_t typed, int32_t rank);
    void UpdateGuide();

    std::string reading_;
    bool valid_ = false;
    bool complete_ = false;
    std::u32string chars_;
    std::string preferred_;
    std::vector<int32_t> pieceOf_;      // per character: its table piece
    std::vector<int32_t> pieceFirst_;   // per piece: its first character
    std::vector<size_t> pieceByte_;     // per piece: where it starts in the reading, then the end
    std::vector<size_t> pieceRomaji_;   // per piece: where its keys start in preferred_, then the end
    std::vector<bool> pieceJoins_;
    std::vector<int32_t> firstToken_;   // per character: its tokens in tokens_, -1 until asked for
    std::vector<uint16_t> tokenCount_;
    std::vector<Token> tokens_;
    std::string pool_;
    std::vector<State> states_;
    std::vector<State> next_;
    std::string typed_;
    std::string guide_;
};

}  // namespace dexlora
