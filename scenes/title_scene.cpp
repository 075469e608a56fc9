// The title scene.
#include <exception>

#include "drawing/display.h"
#include "drawing/scene_control.h"
#include "platform/window.h"
#include "scenes/anime_lists.h"
#include "scenes/scenes.h"
#include "skin/loaders/loaders.h"

namespace dexlora {

void TitleStart() {
    // A failing operation ends the scene without a message: the screen keeps
    // its last picture and keys still follow GameState.
    try {
        InitFirstValue(TitleBackAnime, UseTitleBackAnime);
        InitFirstValue(TitleFrontAnime, UseTitleFrontAnime);
        if (!DDSurfTitle) return;
        TakeSnapshot(DDSurfTitle->Width(), DDSurfTitle->Height());
        ScreenWipe(TitleWipeIn, DDSurfSnapshot, DDSurfTitle);
        if (SceneChangePending() || !WaitTime(200)) return;

        AnimationClock clock(GetTickCount());
        for (;;) {
            for (uint32_t ticks = clock.Advance(GetTickCount()); ticks > 0; --ticks) {
                AddTC(TitleBackAnime, UseTitleBackAnime);
                AddTC(TitleFrontAnime, UseTitleFrontAnime);
            }
            CopyBackground(DDSurfTitle);
            PrintCharacter(TitleBackAnime, UseTitleBackAnime);
            for (const TextItem& item : TitleTexts) {
                DDSurfBack->SetFontTransparency(true);
                DDSurfBack->SetFont(item.Font);
                DDSurfBack->SetForeColor(item.Color);
                DDSurfBack->DrawText(item.X, item.Y, item.Text, false);
            }
            PrintCharacter(TitleFrontAnime, UseTitleFrontAnime);
            ShowFrame();
            DoEvents();
            if (SceneChangePending()) return;
        }
    } catch (const std::exception&) {
    }
}

}  // namespace dexlora
