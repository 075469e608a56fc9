// The seam through which drawing failures close the main window.
#include "drawing/main_window.h"

#include <utility>

namespace dexlora {

namespace {
std::function<void()>& Handler() {
    static std::function<void()> handler;
    return handler;
}
bool unloadRequested = false;
}  // namespace

void SetUnloadMainWindowHandler(std::function<void()> handler) {
    Handler() = std::move(handler);
}

void UnloadMainWindow() {
    unloadRequested = true;
    // A copy, so that a handler replacing itself does not destroy the
    // function that is running.
    if (auto handler = Handler()) handler();
}

bool MainWindowUnloadRequested() { return unloadRequested; }

void ResetMainWindowUnloadRequest() { unloadRequested = false; }

}  // namespace dexlora
