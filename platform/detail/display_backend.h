// Private to platform/: the one seam between the real window and the headless
// display. Both share every surface and drawing routine; they differ only in
// where a finished frame goes, where time comes from and where input comes from.
#pragma once

#include <cstdint>

#include "platform/surface.h"
#include "platform/window.h"

namespace dexlora {

class DirectDrawSurface7;

namespace platform_detail {

// The fixed screen every frame is composed for.

}  // namespace platform_detail

class DisplayBackend {
public:
    virtual ~DisplayBackend() = default;

    virtual DisplayKind Kind() const = 0;
    virtual int64_t WindowHandle() const = 0;

    // Exclusive full screen on (SetCooperativeLevel with DDSCL_FULLSCREEN |
    // DDSCL_EXCLUSIVE) and off (DDSCL_NORMAL or RestoreDisplayMode).
    virtual void TakeScreen() = 0;
    virtual void GiveScreenBack() = 0;
    virtual bool CanPresentDepth(int32_t bpp) const = 0;

    virtual void ShowWindow(bool show) = 0;
    virtual void Focus() = 0;
    virtual void ShowPointer(bool show) = 0;

    // Shows a finished frame (the back buffer), waiting for the display.
    virtual void Present(const DirectDrawSurface7& frame) = 0;
    // Delivers pending input through the platform_detail::Deliver* functions,
    // taking the next event only while platform_detail::MayDeliver() answers
    // true. busyWait: no frame was shown since the previous call.
    virtual void PumpEvents(bool busyWait) = 0;
    virtual uint32_t Ticks() = 0;
    // Output pixels per 640x480 unit the frames are shown at.
    virtual double OutputScale() const { return 1.0; }
};

namespace platform_detail {

// The running session's display, or null when no session exists.
DisplayBackend* CurrentBackend();

// Input as the main window's handlers receive it; shared by both displays so
// that they agree on what reaches the game. A press outside the 640x480 screen
// (on a letterbox bar) is dropped.
void DeliverKey(char32_t code);
void DeliverKeyDown(KeyCode code, int16_t shift);
void DeliverMouseDown(int16_t button, int16_t shift, float x, float y, int clicks);

// Whether DoEvents may hand out another event now (no hold, nothing deferred).
bool MayDeliver();

// Called by Flip so that DoEvents can tell a frame loop from a busy wait.
void NoteFlip();

// Forgets the handlers and per-session state when a session ends.
void ResetWindowState();

// For measuring start-up from outside: with DEXLORA_EXIT_AFTER_FIRST_FRAME=1
// in the environment a dialog closes once it has been shown (as its close
// control would), and the program ends with status 0 right after showing
// its first frame in the main window.
bool ExitAfterFirstFrame();
// Called by Flip once the display has shown a frame.
void NotePresented();

}  // namespace platform_detail
}  // namespace dexlora
