// The main window's scenes: the one table of them, the entries of the title
// and the typing game, and the handlers of the main window's events.
#pragma once

#include <cstdint>
#include <span>

#include "drawing/scene_control.h"
#include "platform/window.h"

namespace dexlora {

// One row per scene, in GameState order. A scene's entry runs it until it
// ends: with the next scene recorded (by the scene itself or by a handler
// it let run), or with nothing recorded when a failure stopped it, the
// screen keeping its last picture. Adding a scene is a row here, a value of
// Scene and NextScene, and the scene's own files.
struct SceneRow {
    Scene State;
    NextScene StartedBy;  // the record the dispatcher starts it on
    void (*Start)();
    void (*KeyPress)(char32_t key);  // a typed key but Esc, upper-cased; null ignores keys
    void (*DblClick)();              // a double click at (MouseX, MouseY); null ignores it
    void (*KeyDown)(KeyCode code);   // a function key; null ignores it
    bool TakesFocus;                 // ScreenBlt gives the main window the keyboard focus
};

std::span<const SceneRow, SceneCount> SceneTable();
const SceneRow& SceneOf(Scene state);
// The scene a record starts; null for no record and for the two ends.
const SceneRow* SceneStartedBy(NextScene next);

// Gives the main window the keyboard focus in a scene that takes it (the key
// configuration calls it after each click). A failure ends the program at
// once.
void ScreenBlt();

// Title: wipes in from the last frame, waits, then draws frames until a
// handler records the next scene. The caller sets GameState to the title.
void TitleStart();
// A key on the title: "K" the key configuration, any other a game ("D" of
// 30 seconds, "S" of 1, else 60).
void TitleKeyPress(char32_t key);
// A function key on the title: each switches a player option or opens a
// scene; the title names them. F5: how frames reach the screen.
void TitleKeyDown(KeyCode code);
// Hands the player's present option to the display (at start-up, and when
// the title switches it).
void ApplyPresentOption();

// One typing game of TimeLeft seconds (set by the caller), ending with the
// wipe to the result background and the result scene recorded as next.
void GameStart();
// A key in the typing game: judged once the game's first question is shown,
// ignored during its opening.
void GameKeyPress(char32_t key);

// Window events of the main window. A key goes to the running scene's row
// after Esc, which closes the program from every scene.
void Form_KeyPress(char32_t& keyAscii);
void Form_MouseDown(int16_t button, int16_t shift, float x, float y);
void Form_DblClick();
void Form_KeyDown(KeyCode code, int16_t shift);
// Routes the platform's window events to the handlers above.
void InstallMainWindowEvents();

// Whether the player closed the program (Esc or the window's close button),
// rather than a failure.
extern bool ClosedByPlayer;

}  // namespace dexlora
