// Stand-ins for the result and key-configuration scenes until they are
// built: the result is ready at once, the key configuration goes straight
// back to the title.
#include "app/pending_scenes.h"

#include "drawing/scene_control.h"
#include "platform/window.h"
#include "typing/scenes/game_fields.h"

namespace dexlora {

bool PrintResult() {
    ResultReady = true;
    while (!SceneChangePending()) DoEvents();
    return true;
}

void KeyConfStart() {
    ShowMousePointer(false);
    GameState = 0;
    RequestScene(NextScene::Title);
}

void KeyConfDblClick() {}

}  // namespace dexlora
