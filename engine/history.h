// The player's game history: one line per finished game in a per-user data
// file, appended so that a crash loses at most the game being written.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace dexlora {

// What the player did with one kana (or two-kana combination) of the
// readings typed in one game.
struct KanaRecord {
    std::string Kana;        // UTF-8, as the romaji tables list it
    uint32_t Right = 0;      // keys typed right for it
    uint32_t Misses = 0;     // wrong keys while it was the next to type
    uint32_t Timed = 0;      // how many first keys of it were timed
    uint64_t FirstKeyMs = 0; // their total time since the key before
};

// One finished game (a game ended by Esc is not recorded).
struct GameRecord {
    int64_t When = 0;          // seconds since 1970-01-01 UTC
    int32_t Length = 60;       // the game's seconds: 60, 30 or 1
    bool Flexible = false;     // flexible romaji was on
    int32_t MaxCombo = 0;
    int32_t Misses = 0;
    int32_t Clears = 0;
    double Mastery = 0;        // as the result screen shows it
    int32_t Rank = 0;          // index of the rank reached (0 the first listed)
    int32_t CorrectKeys = 0;
    double KeysPerMinute = 0;  // correct keys per minute of typing time
    double Accuracy = 0;       // correct keys / all judged keys, 0 to 1
    std::vector<KanaRecord> Kana;
};

// The folder of the player's history, ending in '/'. Empty (as it starts)
// keeps no history; start-up sets it to HistoryFolder().
extern std::string HistoryPath;

// $XDG_DATA_HOME/dexlora/ when that variable holds an absolute path, else
// .local/share/dexlora/ in the home folder; ends in '/'; empty when unknown.
std::string HistoryFolder();

// Adds record to the history in folder (made when missing), rotating older
// games away when the file is full. Answers false when it could not be
// written; the game goes on either way.
bool AppendHistory(const std::string& folder, const GameRecord& record);

// The last `last` games of the history in folder, oldest first; damaged
// lines are skipped, with one message in ErrLog. Reads regular files only, within
// a size limit. Only the newest kanaOfLast games come with their kana: most
// of a read's time goes to them (the older games' kana are not even checked).
std::vector<GameRecord> ReadHistory(const std::string& folder, size_t last, size_t kanaOfLast = SIZE_MAX);

// The best earlier game of a length by keys per minute, if any.
std::optional<GameRecord> BestOfLength(std::span<const GameRecord> games, int32_t length);

// The history file's limits: a file rotates away (to history.1.tsv, replacing
// the one before) when it holds MaxHistoryGames games or would grow past
// RotateHistoryBytes; the reader refuses a file above MaxHistoryBytes and a
// line above MaxHistoryLineBytes (the writer drops the least typed kana of a
// game to stay within it).
inline constexpr size_t MaxHistoryGames = 10000;
inline constexpr size_t MaxHistoryLineBytes = 4096;
inline constexpr size_t RotateHistoryBytes = 16u << 20;
inline constexpr size_t MaxHistoryBytes = RotateHistoryBytes + MaxHistoryLineBytes + 1024;

// One game as its line in the file: tab-separated, ending in '\n'.
std::string HistoryLine(const GameRecord& record);
// A line (without its line end) read back; none when it is damaged.
std::optional<GameRecord> ParseHistoryLine(std::string_view line);

}  // namespace dexlora
