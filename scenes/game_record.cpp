// Collecting a game's record: every judged key is put down to the kana of the
// reading it spells, with the time the kana's first key took.
#include "scenes/game_record.h"

#include <algorithm>
#include <optional>
#include <unordered_map>

#include "engine/reading_to_romaji.h"
#include "platform/core/encoding.h"
#include "scenes/game_fields.h"
#include "scenes/judgment.h"
#include "settings/player_options.h"
#include "settings/shared.h"

namespace dexlora {

namespace {

struct Collector {
    int32_t Length = 60;
    std::vector<KanaRecord> Kana;                     // in the order first met
    std::unordered_map<std::string, size_t> KanaAt;  // index in Kana by text
    std::optional<uint32_t> LastRight;                // time of the last right key
    int32_t LastPiece = -1;                           // and the piece of the question it was for
    // The question whose romaji is mapped: its romaji's first byte stands for it.
    const char* Mapped = nullptr;
    std::vector<int32_t> PieceOfKey;  // per romaji character, the piece of the reading it spells (-1: none)
    std::vector<std::string_view> PieceText;
};
Collector Game;

// Spells the current question again piece by piece to learn which piece of
// its reading each key of its romaji spells. A question the tables no longer
// spell as it stands (changed since it was loaded) puts its keys down to none.
void MapQuestion(const Question& question) {
    Game.Mapped = question.Romaji.data();
    Game.PieceOfKey.assign(Utf8Length(question.Romaji), -1);
    Game.PieceText.clear();
    std::string romaji;
    std::vector<SpelledUnit> units;
    if (!ReadingToRomaji(romaji, units, question.Reading, RomeLookup::Current()) || romaji != question.Romaji) return;
    size_t key = 0, byte = 0;
    for (size_t i = 0; i < units.size(); ++i) {
        const bool last = i + 1 == units.size();
        Game.PieceText.push_back(question.Reading.substr(units[i].Byte, (last ? question.Reading.size() : units[i + 1].Byte) - units[i].Byte));
        for (const size_t end = last ? romaji.size() : units[i + 1].RomajiStart; byte < end && key < Game.PieceOfKey.size();) {
            size_t length = 1;
            DecodeUtf8(romaji, byte, length);
            Game.PieceOfKey[key++] = int32_t(i), byte += length;
        }
    }
}

}  // namespace

void StartGameRecord(int32_t length) {
    Game = Collector{};
    Game.Length = length;
}

void RecordKey(bool right, uint32_t now) {
    const std::optional<Question> question = CurrentQuestion();
    if (!question || Fields.TypedLength < 0) return;
    if (question->Romaji.data() != Game.Mapped) MapQuestion(*question);
    const size_t typed = size_t(Fields.TypedLength);
    const int32_t piece = typed < Game.PieceOfKey.size() ? Game.PieceOfKey[typed] : -1;
    RecordKanaKey(piece, piece >= 0 ? Game.PieceText[size_t(piece)] : "", typed, right, now);
}

void RecordKanaKey(int32_t index, std::string_view kana, size_t typed, bool right, uint32_t now) {
    if (index >= 0 && !kana.empty()) {
        auto [at, added] = Game.KanaAt.try_emplace(std::string(kana), Game.Kana.size());
        if (added) Game.Kana.push_back({std::string(kana)});
        KanaRecord& record = Game.Kana[at->second];
        if (!right) {
            ++record.Misses;
        } else {
            ++record.Right;
            // The first key of a piece is timed from the right key before,
            // but in a question's first piece: its time is the reading of a
            // new line more than the finding of a key.
            if (typed > 0 && index != Game.LastPiece && Game.LastRight) {
                ++record.Timed;
                record.FirstKeyMs += now - *Game.LastRight;
            }
        }
    }
    if (right) Game.LastRight = now, Game.LastPiece = index;
}

GameRecord FinishGameRecord(double mastery, int32_t rank, int64_t when) {
    GameRecord record;
    record.When = when, record.Length = Game.Length, record.Flexible = OptionOn(Option::FlexibleRomaji);
    record.MaxCombo = Fields.MaxCombo, record.Misses = Fields.MissCount, record.Clears = Fields.ClearCount;
    record.Mastery = mastery, record.Rank = rank;
    int64_t right = 0;
    for (const KanaRecord& kana : Game.Kana) right += kana.Right;
    record.CorrectKeys = int32_t(std::min<int64_t>(right, INT32_MAX));
    // Keys per minute of the game's whole length: the clock runs from the
    // first question, whether or not a key is typed.
    record.KeysPerMinute = Game.Length > 0 ? record.CorrectKeys * 60.0 / Game.Length : 0;
    const int64_t judged = right + Fields.MissCount;
    record.Accuracy = judged > 0 ? double(right) / double(judged) : 0;
    for (const KanaRecord& kana : Game.Kana) {
        if (kana.Right + kana.Misses > 0) record.Kana.push_back(kana);
    }
    return record;
}

bool SaveGameRecord(const GameRecord& record, bool compare) {
    if (HistoryPath.empty()) return false;
    bool best = false;
    if (compare) {
        const std::vector<GameRecord> earlier = ReadHistory(HistoryPath, MaxHistoryGames, 0);
        const std::optional<GameRecord> before = BestOfLength(earlier, record.Length);
        best = before && record.KeysPerMinute > before->KeysPerMinute;
    }
    static bool told = false;
    if (!AppendHistory(HistoryPath, record) && !told) {
        told = true;
        AppendErrLog("History: a game could not be added to " + HistoryPath + "history.tsv");
    }
    return best;
}

std::vector<std::string> WeakestKana(const GameRecord& record, size_t count) {
    std::vector<const KanaRecord*> kana;
    for (const KanaRecord& entry : record.Kana) kana.push_back(&entry);
    // a.Misses / a.Keys > b.Misses / b.Keys without division; then the mean first-key times.
    const auto weaker = [](const KanaRecord* a, const KanaRecord* b) {
        const uint64_t aKeys = uint64_t{a->Right} + a->Misses, bKeys = uint64_t{b->Right} + b->Misses;
        if (a->Misses * bKeys != b->Misses * aKeys) return a->Misses * bKeys > b->Misses * aKeys;
        return a->FirstKeyMs * std::max<uint64_t>(b->Timed, 1) > b->FirstKeyMs * std::max<uint64_t>(a->Timed, 1);
    };
    std::stable_sort(kana.begin(), kana.end(), weaker);
    std::vector<std::string> names;
    for (size_t i = 0; i < kana.size() && i < count; ++i) names.push_back(kana[i]->Kana);
    return names;
}

}  // namespace dexlora
