// Cost of one key-configuration frame on the headless display: the
// background, 140 cell boxes and three buttons, and every cell's kana and
// spelling measured and drawn, with the bundled tables.
#include <benchmark/benchmark.h>

#include <memory>

#include "bench/scenes/scene_bench_display.h"
#include "engine/rome_table.h"
#include "scenes/keyconf_scene.h"
#include "skin/loaders/loaders.h"

namespace dexlora {
namespace {

void BM_KeyConfFrame(benchmark::State& state) {
    const auto session = SceneBenchDisplay();
    CreateWorkSurface(640, 480, DDraw, Backgrounds.KeyConfDesc, Backgrounds.DDSurfKeyConf);
    const RomeEntries& table = state.range(0) == 0 ? RomeTable : Rome2Table;
    for (auto _ : state) {
        DDSurfBack->BltFast(0, 0, *Backgrounds.DDSurfKeyConf, RECT{0, 0, 640, 480}, DDBLTFAST_WAIT);
        DrawKeyConfFrame();
        DrawKeyConfTable(table);
        DDSurfPrimary->Flip(nullptr, DDFLIP_WAIT);
    }
    ReleaseGameObjects();
}
BENCHMARK(BM_KeyConfFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace dexlora

BENCHMARK_MAIN();
