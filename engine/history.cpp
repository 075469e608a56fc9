// The player's game history.
#include "engine/history.h"

namespace dexlora {

std::string HistoryFolder() { return {}; }

bool AppendHistory(const std::string&, const GameRecord&) { return false; }

std::vector<GameRecord> ReadHistory(const std::string&, size_t) { return {}; }

std::optional<GameRecord> BestOfLength(std::span<const GameRecord>, int32_t) { return std::nullopt; }

}  // namespace dexlora
