// The platform session, the main window and its events, and the millisecond
// clock. Two displays stand behind one interface: the real window (SDL2) and a
// headless one for tests, whose Flip advances a virtual clock by one 60 Hz
// refresh. Everything else (drawing, text, sound) is shared by both.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace dexlora {

class DirectDrawSurface7;

enum class DisplayKind { Window, Headless };

// Owns SDL for the life of the program (or of one test). Headless selects the
// SDL dummy video and audio drivers. Only one session exists at a time.
class PlatformSession {
public:
    explicit PlatformSession(DisplayKind kind);
    ~PlatformSession();
    PlatformSession(const PlatformSession&) = delete;
    PlatformSession& operator=(const PlatformSession&) = delete;
};

DisplayKind CurrentDisplayKind();

// Keys that type no character, as dialogs and scripts name them.
enum class KeyCode { None, Up, Down, Left, Right, PageUp, PageDown, Home, End, Tab, Enter, Escape, Backspace, Space, F10 };

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

// Controls of the headless display (tests and CI). Calling them with a real
// window does nothing.
namespace headless {

// The virtual clock: Flip advances it by one 60 Hz refresh (16.667 ms,
// accumulated in whole units so it never drifts); a DoEvents with no Flip
// since the previous DoEvents (a busy wait) advances it by 1 ms.
void SetClock(uint32_t ms);
void AdvanceClock(uint32_t ms);

// A KeyDown is a key that types no character: from Esc, Enter and Backspace
// the main window gets 27, 13 and 8, from the others nothing, as from the
// real window.
struct ScriptedEvent {
    enum class Kind { Key, MouseDown, DblClick, Close, KeyDown };
    uint32_t At = 0;          // virtual time at which DoEvents delivers it
    Kind Type = Kind::Key;
    char32_t Key = 0;         // Kind::Key
    float X = 0, Y = 0;       // Kind::MouseDown / DblClick (a DblClick also sends its MouseDown)
    int16_t Button = 1;       // Kind::MouseDown: 1 left, 2 right, 4 middle
    int16_t Shift = 0;        // Kind::MouseDown and KeyDown: 1 shift, 2 ctrl, 4 alt
    KeyCode Code = KeyCode::None;  // Kind::KeyDown
};

// Queues events; DoEvents delivers those whose time has come, in order.
void Script(std::vector<ScriptedEvent> events);
size_t PendingEvents();

// Number of Flips so far, and a hook called with the back buffer at each Flip.
uint64_t FrameCount();
void OnFlip(std::function<void(const DirectDrawSurface7& frame, uint64_t frame_number)> hook);

// A dialog window (platform/dialog_window.h) shown before the main window
// takes scripted events as they come due, and leaves the later ones queued
// for the main window once it closes; with nothing left in the script it
// closes as its close control would, so that no test waits for ever. There,
// Key 27, 13, 9 and 8 are Esc, Enter, Tab and Backspace, Close closes it, and
// a DblClick is the second press of a double click (left button only). Each
// frame it shows goes to this hook with the dialog's caption; a shown frame
// and a wait for input each advance the clock by one refresh.
void OnDialogFrame(std::function<void(const DirectDrawSurface7& frame, std::string_view caption)> hook);

}  // namespace headless

}  // namespace dexlora
