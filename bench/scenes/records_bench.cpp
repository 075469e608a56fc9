// Opening the records scene on a full history (10,000 games of sixty kana
// each, the most the file keeps): the history read and the page composed in
// the bundled skin's look, to its first frame on the headless display.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

#include "bench/scenes/scene_bench_display.h"
#include "engine/history.h"
#include "engine/rome_table.h"
#include "scenes/records_scene.h"
#include "skin/loaders/loaders.h"

namespace dexlora {
namespace {

void BM_OpenRecords(benchmark::State& state) {
    const auto session = SceneBenchDisplay();
    LoadRecordsSettings(std::string(DEXLORA_SOURCE_DIR) + "/skins/Standard/");

    char folderTemplate[] = "/tmp/dexlora-records-XXXXXX";
    const std::string folder = std::string(mkdtemp(folderTemplate)) + "/";
    GameRecord game{.When = 1796000000, .KeysPerMinute = 250, .Accuracy = 0.95};
    for (int32_t e = 0; e < 60; ++e) game.Kana.push_back({RomeTable[size_t(e)].Kana, 8, uint32_t(e % 3), 2, 600});
    AppendHistory(folder, game);
    std::string lines;
    for (size_t i = 1; i < MaxHistoryGames; ++i) lines += HistoryLine(game);
    FILE* file = std::fopen((folder + "history.tsv").c_str(), "a");
    std::fwrite(lines.data(), 1, lines.size(), file);
    std::fclose(file);

    // 0: as the player meets it, the history read and the page composed and
    // shown; 1: the page alone, from games already read.
    const std::vector<GameRecord> read = ReadHistory(folder, RecordsHistoryGames, RecordsHeatGames);
    if (read.size() != MaxHistoryGames) state.SkipWithError("the history was not read whole");
    for (auto _ : state) {
        if (state.range(0) == 0) {
            DrawRecordsPage(*DDSurfBack, ReadHistory(folder, RecordsHistoryGames, RecordsHeatGames));
        } else {
            DrawRecordsPage(*DDSurfBack, read);
        }
        DDSurfPrimary->Flip(nullptr, DDFLIP_WAIT);
    }
    std::remove((folder + "history.tsv").c_str());
    std::remove(folder.c_str());
    ReleaseGameObjects();
}
BENCHMARK(BM_OpenRecords)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace dexlora

BENCHMARK_MAIN();
