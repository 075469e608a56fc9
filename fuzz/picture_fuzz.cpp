// Pictures as a skin names them: the same bytes under a ".bmp" and a ".jpg"
// name, loaded the way the skin loaders load them. A load either gives a
// surface of the size it reports, within the picture limits, or reports the
// failure and leaves the old surface.
#include <cstdint>
#include <string>
#include <string_view>

#include "drawing/display.h"
#include "drawing/scene_control.h"
#include "fuzz/fuzz_support.h"
#include "platform/window.h"
#include "settings/shared.h"

using namespace dexlora;

namespace {

// The headless screen, taken once; its surfaces go before the session.
struct Screen {
    PlatformSession session{DisplayKind::Headless};
    Screen() {
        DDraw = DirectDrawCreate("");
        if (!InitDisplay(MainWindowHandle(), DDraw, DDSurfPrimary, DDSurfBack, PrimaryDesc, BackBufferDesc)) {
            fuzz::Fail(__FILE__, __LINE__, "InitDisplay", ErrLog);
        }
    }
    ~Screen() {
        DDSurfPrimary = DDSurfBack = nullptr;
        DDraw = nullptr;
    }
};

void Load(const std::string& path) {
    ErrLog.clear();
    ResetSceneControl();
    SurfaceDesc small{DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH, 2, 2, 0, DDSCAPS_OFFSCREENPLAIN};
    SurfaceDesc desc;
    SurfacePtr old = DDraw->CreateSurface(small);
    SurfacePtr surf = old;
    LoadImageSurface(DDraw, path, desc, surf);
    if (surf == old) {
        FUZZ_CHECK((PendingScene() == NextScene::Shutdown) && !ErrLog.empty(), "a failed load of " + path + " was not reported");
        return;
    }
    FUZZ_CHECK(ErrLog.empty() && !(PendingScene() == NextScene::Shutdown), "a load of " + path + " reported: " + ErrLog);
    FUZZ_CHECK(surf && surf->Width() == desc.lWidth && surf->Height() == desc.lHeight,
               path + ": reported " + std::to_string(desc.lWidth) + "x" + std::to_string(desc.lHeight));
    FUZZ_CHECK(desc.lWidth > 0 && desc.lHeight > 0 && desc.lWidth <= 16384 && desc.lHeight <= 16384 &&
                   int64_t{desc.lWidth} * desc.lHeight <= 32LL * 1024 * 1024,
               path + ": " + std::to_string(desc.lWidth) + "x" + std::to_string(desc.lHeight));
    // The picture is really there: reading its far corner touches the last row.
    surf->GetPixel(desc.lWidth - 1, desc.lHeight - 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Screen screen;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    auto& scratch = fuzz::ScratchFolder::Get();
    Load(scratch.Write("picture.bmp", input));
    Load(scratch.Write("picture.jpg", input));
    return 0;
}
