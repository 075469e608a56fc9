// The main window's event handlers: each only records what happens next.
#include <cmath>

#include "drawing/rounding.h"
#include "drawing/scene_control.h"
#include "platform/window.h"
#include "scenes/game_fields.h"
#include "scenes/judgment.h"
#include "scenes/keyconf_scene.h"
#include "scenes/scenes.h"
#include "skin/loaders/loaders.h"

namespace dexlora {

bool ClosedByPlayer = false;

void Form_KeyPress(char32_t& keyAscii) {
    if (keyAscii >= U'a' && keyAscii <= U'z') keyAscii -= U'a' - U'A';
    if (keyAscii == 27) {
        ClosedByPlayer = true;
        UnloadMainWindow();
        return;
    }
    switch (GameState) {
    case 0:
        if (keyAscii == U'K') {
            ShowMousePointer(true);
            GameState = 3;
            RequestScene(NextScene::KeyConf);
            return;
        }
        Fields.TimeLeft = keyAscii == U'D' ? 30 : keyAscii == U'S' ? 1 : 60;
        RequestScene(NextScene::Game);
        return;
    case 1: JudgeKey(keyAscii); return;
    case 2:
        if (!Fields.ResultReady) return;
        Anime.ResultFrontAnime.clear();
        GameState = 0;
        RequestScene(NextScene::Title);
        return;
    default: return;  // the key configuration works with the mouse
    }
}

void Form_MouseDown(int16_t, int16_t, float x, float y) {
    Fields.MouseX = RoundHalfEven(x);
    Fields.MouseY = RoundHalfEven(y);
}

void Form_DblClick() {
    if (GameState == 3) KeyConfDblClick();
}

void InstallMainWindowEvents() {
    SetMainWindowEvents({
        .KeyPress = Form_KeyPress,
        .MouseDown = Form_MouseDown,
        .DblClick = Form_DblClick,
    });
}

}  // namespace dexlora
