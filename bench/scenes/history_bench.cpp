// The game history with 10,000 games of 60 seconds in it: recording a
// finished game as the result screen does (reading the history for the
// personal best, then appending the line with its flush to the disk), and
// reading the whole history back. Beside each, its floor: the same bytes
// read whole, and the same line appended and flushed, with no parsing.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "engine/history.h"
#include "platform/core/files.h"
#include "scenes/game_record.h"

namespace dexlora {
namespace {

// A 60-second game of about 300 keys over 80 kana, as a good player types it.
GameRecord SampleGame(int64_t when) {
    GameRecord game{.When = when, .Length = 60, .Flexible = false, .MaxCombo = 120, .Misses = 9, .Clears = 14,
                    .Mastery = 23.5, .Rank = 2, .CorrectKeys = 300, .KeysPerMinute = 300, .Accuracy = 0.97, .Kana = {}};
    const char* kana[] = {"あ", "い", "う", "え", "お", "か", "き", "く", "け", "こ", "さ", "し", "す", "せ", "そ", "た",
                          "ち", "つ", "て", "と", "な", "に", "ぬ", "ね", "の", "は", "ひ", "ふ", "へ", "ほ", "ま", "み",
                          "む", "め", "も", "や", "ゆ", "よ", "ら", "り", "る", "れ", "ろ", "わ", "を", "ん"};
    for (int i = 0; i < 80; ++i) {
        game.Kana.push_back({std::string(kana[i % 46]) + (i >= 46 ? "ゃ" : ""), uint32_t(3 + i % 5), uint32_t(i % 3),
                             uint32_t(1 + i % 4), uint64_t(400 + 37 * i)});
    }
    return game;
}

// A folder on the disk holding a full history, made once.
const std::string& FullHistory() {
    static const std::string folder = [] {
        std::string pattern = "/var/tmp/dexlora_history_bench_XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        std::ofstream out(pattern + "/history.tsv", std::ios::binary);
        out << "when\n";
        for (size_t i = 0; i < MaxHistoryGames - 1; ++i) out << HistoryLine(SampleGame(1765000000 + int64_t(i) * 90));
        return pattern + "/";
    }();
    return folder;
}

void BM_RecordGame(benchmark::State& state) {
    const std::string folder = FullHistory();
    const std::string file = folder + "history.tsv";
    std::string bytes;
    ReadWholeFile(file, bytes, MaxHistoryBytes);
    HistoryPath = folder;
    for (auto _ : state) {
        benchmark::DoNotOptimize(SaveGameRecord(SampleGame(1800000000), true));
        state.PauseTiming();
        std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;  // back to 9,999 games
        state.ResumeTiming();
    }
}

void BM_RecordGameFloor(benchmark::State& state) {
    const std::string file = FullHistory() + "floor.tsv";
    const std::string line = HistoryLine(SampleGame(1800000000));
    std::string bytes;
    for (auto _ : state) {
        ReadWholeFile(FullHistory() + "history.tsv", bytes, MaxHistoryBytes);
        const int fd = ::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
        benchmark::DoNotOptimize(::write(fd, line.data(), line.size()));
        fsync(fd), ::close(fd);
    }
    std::filesystem::remove(file);
}

// Every game with its kana, or (as the records scene reads it) only the last 20 games with theirs.
void BM_ReadHistory(benchmark::State& state) {
    const size_t kana = state.range(0) < 0 ? SIZE_MAX : size_t(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(ReadHistory(FullHistory(), MaxHistoryGames, kana).size());
}

void BM_ReadHistoryFloor(benchmark::State& state) {
    std::string bytes;
    for (auto _ : state) benchmark::DoNotOptimize(ReadWholeFile(FullHistory() + "history.tsv", bytes, MaxHistoryBytes));
}

BENCHMARK(BM_RecordGame)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RecordGameFloor)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadHistory)->Arg(-1)->Arg(20)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadHistoryFloor)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace dexlora

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    dexlora::FullHistory();  // made before the clocks start
    benchmark::RunSpecifiedBenchmarks();
    std::filesystem::remove_all(dexlora::FullHistory());
    return 0;
}
