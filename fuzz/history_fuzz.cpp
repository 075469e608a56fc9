// The game history reader: it never keeps more games than the file has lines,
// and a game read back writes a line that reads back to the same line.
#include <algorithm>
#include <cstdint>
#include <string>

#include "engine/history.h"
#include "fuzz/fuzz_support.h"

using namespace dexlora;
using dexlora::fuzz::Escaped;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    fuzz::WriteScratch("history.tsv", input);
    const std::vector<GameRecord> games = ReadHistory(fuzz::Scratch(), MaxHistoryGames);
    FUZZ_CHECK(games.size() <= static_cast<size_t>(std::count(input.begin(), input.end(), '\n')),
               std::to_string(games.size()) + " games");
    for (const GameRecord& game : games) {
        const std::string line = HistoryLine(game);
        const std::optional<GameRecord> back = ParseHistoryLine(std::string_view(line).substr(0, line.size() - 1));
        FUZZ_CHECK(back && HistoryLine(*back) == line && line.size() <= MaxHistoryLineBytes, Escaped(line));
    }
    ErrLog.clear();
    return 0;
}
