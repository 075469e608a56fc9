// What the scene benchmarks start from: a headless display with the game's
// primary and back buffer, and the bundled key tables loaded.
#pragma once

#include <memory>
#include <string>

#include "app/startup.h"
#include "drawing/display.h"
#include "engine/rome_table.h"
#include "platform/window.h"
#include "settings/shared.h"

namespace dexlora {

// The display lasts as long as the session answered.
inline std::unique_ptr<PlatformSession> SceneBenchDisplay() {
    auto session = std::make_unique<PlatformSession>(DisplayKind::Headless);
    DX = std::make_shared<DirectX7>();
    DDraw = DX->DirectDrawCreate("");
    InitDisplay(MainWindowHandle(), DDraw, DDSurfPrimary, DDSurfBack, PrimaryDesc, BackBufferDesc);
    SystemPath = std::string(DEXLORA_SOURCE_DIR) + "/system/";
    LoadRomeTable(RomeTable, "Rome.ini");
    LoadRomeTable(Rome2Table, "Rome2.ini");
    return session;
}

}  // namespace dexlora
