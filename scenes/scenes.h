// The main window's scenes as the dispatcher starts them, and the handlers of
// its window events.
#pragma once

#include <cstdint>

namespace dexlora {

// Title: wipes in from the last frame, waits, then draws frames until a
// handler records the next scene. The caller sets GameState to 0 first.
void TitleStart();

// One typing game of TimeLeft seconds (set by the caller), ending with the
// wipe to the result background and the result scene recorded as next.
void GameStart();

// Window events of the main window.
void Form_KeyPress(char32_t& keyAscii);
void Form_MouseDown(int16_t button, int16_t shift, float x, float y);
void Form_DblClick();
// Routes the platform's window events to the handlers above.
void InstallMainWindowEvents();

// Whether the player closed the program (Esc or the window's close button),
// rather than a failure.
extern bool ClosedByPlayer;

}  // namespace dexlora
