// The scene dispatcher: the one place a scene starts, so that scenes follow
// each other instead of nesting and the stack stays flat however long a run.
// Which scene a record starts is the scene table's business.
#include "app/startup.h"
#include "drawing/scene_control.h"
#include "platform/window.h"
#include "scenes/scenes.h"

namespace dexlora {

int RunScenes() {
    for (;;) {
        const NextScene next = TakeSceneRequest();
        if (next == NextScene::Shutdown) {
            Form_Unload();
            return ClosedByPlayer ? 0 : 1;
        }
        if (next == NextScene::EndNow) {
            ReportLoadMessages();
            return 1;
        }
        if (const SceneRow* scene = SceneStartedBy(next)) {
            scene->Start();
        } else {
            // A scene stopped by a failure leaves its last picture on the
            // screen; keys still follow GameState until one starts a scene.
            while (!SceneChangePending()) DoEvents();
        }
    }
}

}  // namespace dexlora
