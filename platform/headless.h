// The headless display's controls: its virtual clock, scripted input and the
// frames it shows. Tests, benchmarks and the skin checker's pictures run the
// game on it; called with a real window they do nothing.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "platform/window.h"

namespace dexlora {

class DirectDrawSurface7;

namespace headless {

// The virtual clock: Flip advances it by one 60 Hz refresh (16.667 ms,
// accumulated in whole units so it never drifts); a DoEvents with no Flip
// since the previous DoEvents (a busy wait) advances it by 1 ms.
void SetClock(uint32_t ms);
void AdvanceClock(uint32_t ms);

// A KeyDown is a key that types no character: from Esc, Enter and Backspace
// the main window gets 27, 13 and 8, from F1 to F12 a KeyDown, from the
// others nothing, as from the real window.
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

// The size frames are shown at, in output pixels per 640x480 unit (1 unless
// set); with sharp composition on, surfaces follow it from now on.
void SetOutputScale(double scale);

}  // namespace headless

}  // namespace dexlora
