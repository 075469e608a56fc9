// The main window as the game sees it: its handlers, DoEvents, the pointer and
// the millisecond counter, whichever display stands behind them.
#include <SDL.h>

#include "platform/display_backend.h"

namespace dexlora {

namespace {

struct WindowState {
    MainWindowEvents events;
    bool pointerShown = true;
    bool flippedSinceEvents = false;
};

WindowState g_window;

}  // namespace

namespace platform_detail {

void DeliverKey(char32_t code) {
    auto handler = g_window.events.KeyPress;  // a handler may replace the handlers
    if (handler) handler(code);
}

void DeliverMouseDown(int16_t button, int16_t shift, float x, float y, int clicks) {
    if (x < 0 || y < 0 || x >= ScreenWidth || y >= ScreenHeight) return;
    auto mouseDown = g_window.events.MouseDown;
    if (mouseDown) mouseDown(button, shift, x, y);
    // Every second press of a run of quick clicks is a double click, as a
    // third press starts a new one.
    if (clicks >= 2 && clicks % 2 == 0) {
        auto dblClick = g_window.events.DblClick;
        if (dblClick) dblClick();
    }
}

void NoteFlip() { g_window.flippedSinceEvents = true; }

void ResetWindowState() { g_window = WindowState{}; }

}  // namespace platform_detail

void SetMainWindowEvents(MainWindowEvents events) { g_window.events = std::move(events); }

int64_t MainWindowHandle() {
    DisplayBackend* display = platform_detail::CurrentBackend();
    return display ? display->WindowHandle() : 0;
}

void ShowMainWindow() {
    if (DisplayBackend* display = platform_detail::CurrentBackend()) display->ShowWindow(true);
}

void HideMainWindow() {
    if (DisplayBackend* display = platform_detail::CurrentBackend()) display->ShowWindow(false);
}

void SetMainWindowFocus() {
    if (DisplayBackend* display = platform_detail::CurrentBackend()) display->Focus();
}

void ShowMousePointer(bool show) {
    g_window.pointerShown = show;
    if (DisplayBackend* display = platform_detail::CurrentBackend()) display->ShowPointer(show);
}

bool MousePointerShown() { return g_window.pointerShown; }

void DoEvents() {
    DisplayBackend* display = platform_detail::CurrentBackend();
    if (display == nullptr) return;
    const bool busyWait = !g_window.flippedSinceEvents;
    g_window.flippedSinceEvents = false;
    display->PumpEvents(busyWait);
}

uint32_t GetTickCount() {
    DisplayBackend* display = platform_detail::CurrentBackend();
    return display ? display->Ticks() : uint32_t(SDL_GetTicks64());
}

}  // namespace dexlora
