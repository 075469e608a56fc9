// Cost of one key-configuration frame on the headless display: the
// background, 140 cell boxes and three buttons, and every cell's kana and
// spelling measured and drawn, with the bundled tables.
#include <benchmark/benchmark.h>

#include <memory>

#include "app/startup.h"
#include "drawing/display.h"
#include "engine/rome_table.h"
#include "platform/window.h"
#include "scenes/keyconf_scene.h"
#include "settings/shared.h"
#include "skin/loaders/loaders.h"

namespace dexlora {
namespace {

void BM_KeyConfFrame(benchmark::State& state) {
    PlatformSession session(DisplayKind::Headless);
    DX = std::make_shared<DirectX7>();
    DDraw = DX->DirectDrawCreate("");
    InitDisplay(MainWindowHandle(), DDraw, DDSurfPrimary, DDSurfBack, PrimaryDesc, BackBufferDesc);
    CreateWorkSurface(640, 480, DDraw, Backgrounds.KeyConfDesc, Backgrounds.DDSurfKeyConf);
    SystemPath = std::string(DEXLORA_SOURCE_DIR) + "/system/";
    LoadRomeTable(RomeTable, "Rome.ini");
    LoadRomeTable(Rome2Table, "Rome2.ini");
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
