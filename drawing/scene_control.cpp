// The next-scene record, the failure exits, WaitTime and PulseColor.
#include "drawing/scene_control.h"

#include <algorithm>

#include "platform/window.h"

namespace dexlora {

Scene GameState = Scene::Title;

namespace {

NextScene g_next = NextScene::None;

int Strength(NextScene next) {
    switch (next) {
    case NextScene::None: return 0;
    case NextScene::Shutdown: return 2;
    case NextScene::EndNow: return 3;
    default: return 1;
    }
}

}  // namespace

void RequestScene(NextScene next) {
    if (next == NextScene::None) return;
    if (Strength(next) >= Strength(g_next)) g_next = next;
    HoldEvents(true);
}

bool SceneChangePending() { return g_next != NextScene::None; }

NextScene PendingScene() { return g_next; }

NextScene TakeSceneRequest() {
    const NextScene next = g_next;
    g_next = NextScene::None;
    HoldEvents(false);
    return next;
}

void ResetSceneControl() {
    g_next = NextScene::None;
    GameState = Scene::Title;
    HoldEvents(false);
}

void UnloadMainWindow() { RequestScene(NextScene::Shutdown); }

void EndProgramNow() { RequestScene(NextScene::EndNow); }

bool WaitTime(int32_t ms) {
    const uint32_t start = GetTickCount();
    // Events run at least once; a negative wait is then over, as the
    // counter difference is never below 0.
    const uint32_t span = ms > 0 ? uint32_t(ms) : 0;
    do {
        DoEvents();
        if (SceneChangePending()) return false;
    } while (GetTickCount() - start < span);
    return true;
}

int32_t PulseColor(int32_t color, bool& direction) {
    int32_t r = color & 0xFF, g = (color >> 8) & 0xFF, b = (color >> 16) & 0xFF;
    if (!direction) {
        r = std::min(r + 10, 255);
        g = std::min(g + 10, 255);
        b = std::min(b + 10, 255);
        if (r == 255 || g == 255 || b == 255) direction = true;
    } else {
        r = std::max(r - 10, 0);
        g = std::max(g - 10, 0);
        b = std::max(b - 10, 0);
        if (r == 0 || g == 0 || b == 0) direction = false;
    }
    return r | (g << 8) | (b << 16);
}

}  // namespace dexlora
