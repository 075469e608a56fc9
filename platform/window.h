// The platform session, the main window and its events, and the millisecond
// clock. Two displays stand behind one interface: the real window (SDL2) and a
// headless one (platform/headless.h), whose Flip advances a virtual clock by
// one 60 Hz refresh. Everything else (drawing, text, sound) is shared by both.
#pragma once

#include <cstdint>
#include <functional>

namespace dexlora {

enum class DisplayKind { Window, Headless };

// Owns SDL for the life of the program (or of one test), and the open fonts
// and texts rendered in them while it runs; the settings files kept parsed
// are dropped when it ends. Headless selects the SDL dummy video and audio
// drivers. Only one session exists at a time.
class PlatformSession {
public:
    explicit PlatformSession(DisplayKind kind);
    ~PlatformSession();
    PlatformSession(const PlatformSession&) = delete;
    PlatformSession& operator=(const PlatformSession&) = delete;
};

DisplayKind CurrentDisplayKind();

// Keys that type no character, as dialogs and scripts name them.
enum class KeyCode { None, Up, Down, Left, Right, PageUp, PageDown, Home, End, Tab, Enter, Escape, Backspace, Space,
                     F1, F2, F3, F4, F5, F6, F7, F8, F9, F10, F11, F12 };

// The main window's event handlers, called from DoEvents only.
struct MainWindowEvents {
    // A typed character as a Unicode code point; Esc, Enter and Backspace
    // arrive as 27, 13 and 8. Closing the window from outside sends 27.
    std::function<void(char32_t& keyAscii)> KeyPress;
    // A mouse-button press at (x, y) on the 640x480 screen (never on the
    // letterbox bars). button: 1 left, 2 right, 4 middle.
    std::function<void(int16_t button, int16_t shift, float x, float y)> MouseDown;
    // The second press of a double click (after its MouseDown).
    std::function<void()> DblClick;
    // A function key (F1 to F12) pressed; shift: 1 shift, 2 ctrl, 4 alt.
    // Function keys type no character, so they never reach KeyPress.
    std::function<void(KeyCode code, int16_t shift)> KeyDown;
};

void SetMainWindowEvents(MainWindowEvents events);

// The main window (caption "DexloraSoftware"). Its handle is what
// SetCooperativeLevel takes; the window itself appears when the display
// device takes the screen.
int64_t MainWindowHandle();
void ShowMainWindow();
void HideMainWindow();
void SetMainWindowFocus();
void ShowMousePointer(bool show);
bool MousePointerShown();

// Lets pending window events run through the handlers. Alt+Enter (full
// screen <-> window) is handled here and never reaches KeyPress.
void DoEvents();

// While events are held (a handler has decided what runs next), DoEvents
// hands out nothing more: the rest of the input, including the rest of an
// event that was being delivered, stays queued in order until released.
void HoldEvents(bool hold);
bool EventsHeld();

// The 32-bit millisecond counter; differences are taken modulo 2^32.
uint32_t GetTickCount();

}  // namespace dexlora
