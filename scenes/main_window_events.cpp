// The main window's event handlers: each only records what happens next.
#include "drawing/rounding.h"
#include "drawing/scene_control.h"
#include "platform/window.h"
#include "scenes/game_fields.h"
#include "scenes/scenes.h"

namespace dexlora {

bool ClosedByPlayer = false;

void Form_KeyPress(char32_t& keyAscii) {
    if (keyAscii >= U'a' && keyAscii <= U'z') keyAscii -= U'a' - U'A';
    if (keyAscii == 27) {
        ClosedByPlayer = true;
        UnloadMainWindow();
        return;
    }
    if (const auto keyPress = SceneOf(GameState).KeyPress) keyPress(keyAscii);
}

void Form_MouseDown(int16_t, int16_t, float x, float y) {
    Fields.MouseX = RoundHalfEven(x);
    Fields.MouseY = RoundHalfEven(y);
}

void Form_DblClick() {
    if (const auto dblClick = SceneOf(GameState).DblClick) dblClick();
}

void Form_KeyDown(KeyCode code, int16_t) {
    if (const auto keyDown = SceneOf(GameState).KeyDown) keyDown(code);
}

void InstallMainWindowEvents() {
    SetMainWindowEvents({
        .KeyPress = Form_KeyPress,
        .MouseDown = Form_MouseDown,
        .DblClick = Form_DblClick,
        .KeyDown = Form_KeyDown,
    });
}

}  // namespace dexlora
