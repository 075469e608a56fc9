// The main window as the game sees it: its handlers, DoEvents, the pointer and
// the millisecond counter, whichever display stands behind them.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>

#include "platform/detail/display_backend.h"

namespace dexlora {

namespace {

// Input taken from the display while events were held: the rest of a text
// event holding several characters, or the double click after its press.
struct Deferred {
    enum class Kind { Key, MouseDown, DblClick, KeyDown } Type = Kind::Key;
    char32_t Key = 0;
    KeyCode Code = KeyCode::None;
    int16_t Button = 0, Shift = 0;
    float X = 0, Y = 0;
    int Clicks = 0;
};

struct WindowState {
    MainWindowEvents events;
    bool pointerShown = true;
    bool flippedSinceEvents = false;
    bool held = false;
    std::deque<Deferred> deferred;
};

WindowState g_window;

void DeliverDblClick() {
    auto dblClick = g_window.events.DblClick;  // a handler may replace the handlers
    if (dblClick) dblClick();
}

// Hands out what was deferred, in order, until a handler holds the events.
void DeliverDeferred() {
    while (!g_window.held && !g_window.deferred.empty()) {
        const Deferred d = g_window.deferred.front();
        g_window.deferred.pop_front();
        switch (d.Type) {
        case Deferred::Kind::Key: platform_detail::DeliverKey(d.Key); break;
        case Deferred::Kind::MouseDown: platform_detail::DeliverMouseDown(d.Button, d.Shift, d.X, d.Y, d.Clicks); break;
        case Deferred::Kind::DblClick: DeliverDblClick(); break;
        case Deferred::Kind::KeyDown: platform_detail::DeliverKeyDown(d.Code, d.Shift); break;
        }
    }
}

}  // namespace

namespace platform_detail {

bool MayDeliver() { return !g_window.held && g_window.deferred.empty(); }

void DeliverKey(char32_t code) {
    if (g_window.held) {
        g_window.deferred.push_back({.Type = Deferred::Kind::Key, .Key = code});
        return;
    }
    auto handler = g_window.events.KeyPress;  // a handler may replace the handlers
    if (handler) handler(code);
}

void DeliverKeyDown(KeyCode code, int16_t shift) {
    if (g_window.held) {
        g_window.deferred.push_back({.Type = Deferred::Kind::KeyDown, .Code = code, .Shift = shift});
        return;
    }
    auto handler = g_window.events.KeyDown;
    if (handler) handler(code, shift);
}

void DeliverMouseDown(int16_t button, int16_t shift, float x, float y, int clicks) {
    if (x < 0 || y < 0 || x >= ScreenWidth || y >= ScreenHeight) return;
    if (g_window.held) {
        g_window.deferred.push_back(
            {.Type = Deferred::Kind::MouseDown, .Button = button, .Shift = shift, .X = x, .Y = y, .Clicks = clicks});
        return;
    }
    auto mouseDown = g_window.events.MouseDown;
    if (mouseDown) mouseDown(button, shift, x, y);
    // Every second press of a run of quick clicks is a double click, as a
    // third press starts a new one.
    if (clicks >= 2 && clicks % 2 == 0) {
        if (g_window.held)
            g_window.deferred.push_back({.Type = Deferred::Kind::DblClick});
        else
            DeliverDblClick();
    }
}

void NoteFlip() { g_window.flippedSinceEvents = true; }

void ResetWindowState() { g_window = WindowState{}; }

bool ExitAfterFirstFrame() {
    static const bool exits = [] {
        const char* value = std::getenv("DEXLORA_EXIT_AFTER_FIRST_FRAME");
        return value != nullptr && std::strcmp(value, "1") == 0;
    }();
    return exits;
}

void NotePresented() {
    if (!ExitAfterFirstFrame()) return;
    std::fflush(nullptr);
    std::_Exit(0);
}

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
    DeliverDeferred();
    // Called even while held: the headless clock moves on in a busy wait.
    display->PumpEvents(busyWait);
}

void HoldEvents(bool hold) { g_window.held = hold; }

bool EventsHeld() { return g_window.held; }

uint32_t GetTickCount() {
    DisplayBackend* display = platform_detail::CurrentBackend();
    return display ? display->Ticks() : uint32_t(SDL_GetTicks64());
}

}  // namespace dexlora
