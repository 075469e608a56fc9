// A small window of its own for a modal dialog shown before the main window
// takes the screen: a surface to compose on, showing it, and its input. On the
// headless display its input comes from the script and its frames go to
// headless::OnDialogFrame.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/surface.h"
#include "platform/window.h"

namespace dexlora {

struct DialogEvent {
    enum class Kind { Key, Character, MouseDown, Wheel, Close };
    Kind Type = Kind::Close;
    KeyCode Code = KeyCode::None;  // Key
    bool Shift = false;            // Key: a Shift key is held
    char32_t Character = 0;        // Character: a typed character (never a control character)
    int X = 0, Y = 0;              // MouseDown, Wheel: pointer position in the dialog
    int Clicks = 1;                // MouseDown: 2 for the second press of a double click
    int WheelLines = 0;            // Wheel: lines, positive towards the top
};

class DialogWindow {
public:
    // Opens the dialog window at width x height, centred; raises RuntimeError
    // ErrDirectX when it cannot be made. Needs a running PlatformSession.
    DialogWindow(std::string_view caption, int width, int height);
    ~DialogWindow();
    DialogWindow(const DialogWindow&) = delete;
    DialogWindow& operator=(const DialogWindow&) = delete;

    // The picture shown by Present, width x height.
    DirectDrawSurface7& Surface();
    // Shows the surface as it is now, waiting for the display; raises
    // RuntimeError ErrDirectX when the display refuses the picture.
    void Present();
    // The next input event; none when nothing arrived within a moment (at
    // most a tenth of a second), so that the caller can redraw.
    std::optional<DialogEvent> NextEvent();

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace dexlora
