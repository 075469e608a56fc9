// Pictures as a skin names them: the same bytes under a ".bmp" and a ".jpg"
// name, loaded as the skin loaders load them. A load either gives a surface
// of the size it reports, within the picture limits, or reports the failure
// and leaves the old surface.
#include <cstdint>
#include <string>

#include "drawing/display.h"
#include "drawing/scene_control.h"
#include "fuzz/fuzz_support.h"
#include "platform/window.h"
#include "settings/shared.h"

using namespace dexlora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A headless session and its display device, made once; the device goes first.
    static PlatformSession session{DisplayKind::Headless};
    static DirectDrawPtr draw = DirectDrawCreate("");
    for (const char* name : {"picture.bmp", "picture.jpg"}) {
        const std::string path = fuzz::WriteScratch(name, {reinterpret_cast<const char*>(data), size});
        ErrLog.clear();
        ResetSceneControl();
        SurfaceDesc desc = OffscreenDesc(2, 2);
        const SurfacePtr old = draw->CreateSurface(desc);
        SurfacePtr surf = old;
        LoadImageSurface(draw, path, desc, surf);
        const bool closed = PendingScene() == NextScene::Shutdown;
        FUZZ_CHECK(surf == old ? closed && !ErrLog.empty() : !closed && ErrLog.empty(), path + " reported " + ErrLog);
        if (surf == old) continue;
        FUZZ_CHECK(surf->Width() == desc.lWidth && surf->Height() == desc.lHeight && desc.lWidth > 0 &&
                       desc.lHeight > 0 && desc.lWidth <= 16384 && desc.lHeight <= 16384 &&
                       int64_t{desc.lWidth} * desc.lHeight <= 32LL << 20,
                   path + ": " + std::to_string(desc.lWidth) + "x" + std::to_string(desc.lHeight));
        // The picture is really there: reading its far corner touches the last row.
        surf->GetPixel(desc.lWidth - 1, desc.lHeight - 1);
    }
    return 0;
}
