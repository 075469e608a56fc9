// The scene dispatcher: the one place a scene starts, so that scenes follow
// each other instead of nesting and the stack stays flat however long a run.
#include "app/startup.h"
#include "drawing/scene_control.h"
#include "platform/window.h"
#include "scenes/keyconf_scene.h"
#include "scenes/result_scene.h"
#include "scenes/scenes.h"

namespace dexlora {

int RunScenes() {
    for (;;) {
        switch (TakeSceneRequest()) {
        case NextScene::None:
            // A scene stopped by a failure leaves its last picture on the
            // screen; keys still follow GameState until one starts a scene.
            while (!SceneChangePending()) DoEvents();
            break;
        case NextScene::Title: TitleStart(); break;
        case NextScene::Game: GameStart(); break;
        case NextScene::Result: PrintResult(); break;
        case NextScene::KeyConf: KeyConfStart(); break;
        case NextScene::Shutdown:
            Form_Unload();
            return ClosedByPlayer ? 0 : 1;
        case NextScene::EndNow:
            ReportLoadMessages();
            return 1;
        }
    }
}

}  // namespace dexlora
