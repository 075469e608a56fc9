// What a game records for the player's history, collected key by key while
// it runs, and what the result screen says about it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/history.h"

namespace dexlora {

// A game of length seconds starts: the keys of the last one are forgotten.
void StartGameRecord(int32_t length);

// The key just judged against the current question's romaji at
// Fields.TypedLength (before it moves on): right or a miss, at now
// (milliseconds).
void RecordKey(bool right, uint32_t now);

// A key judged for kana, the piece at index of the current question's
// reading, with typed keys of the question typed before it.
void RecordKanaKey(int32_t index, std::string_view kana, size_t typed, bool right, uint32_t now);

// The game that just ran out of time, with the figures of Fields and the
// result's mastery and rank, dated when (seconds since 1970).
GameRecord FinishGameRecord(double mastery, int32_t rank, int64_t when);

// Adds record to the player's history (HistoryPath; nothing when empty).
// With compare, answers whether it beat the best earlier game of its length
// by keys per minute (false when there was none). A history that cannot be
// written leaves one message in ErrLog for the whole run.
bool SaveGameRecord(const GameRecord& record, bool compare);

// The kana of record that cost most: the most misses per key first, then
// the slowest first key; at most count of them.
std::vector<std::string> WeakestKana(const GameRecord& record, size_t count);

}  // namespace dexlora
