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
        InitFirstValue(Anime.TitleBackAnime, Anime.UseTitleBackAnime);
        InitFirstValue(Anime.TitleFrontAnime, Anime.UseTitleFrontAnime);
        if (!Backgrounds.DDSurfTitle) return;
        TakeSnapshot(Backgrounds.DDSurfTitle->Width(), Backgrounds.DDSurfTitle->Height());
        ScreenWipe(TitleIni.TitleWipeIn, DDSurfSnapshot, Backgrounds.DDSurfTitle);
        if (SceneChangePending() || !WaitTime(200)) return;

        AnimationClock clock(GetTickCount());
        for (;;) {
            for (uint32_t ticks = clock.Advance(GetTickCount()); ticks > 0; --ticks) {
                AddTC(Anime.TitleBackAnime, Anime.UseTitleBackAnime);
                AddTC(Anime.TitleFrontAnime, Anime.UseTitleFrontAnime);
            }
            CopyBackground(Backgrounds.DDSurfTitle);
            PrintCharacter(Anime.TitleBackAnime, Anime.UseTitleBackAnime);
            for (const TextItem& item : TitleIni.TitleTexts) {
                DDSurfBack->SetFontTransparency(true);
                DDSurfBack->SetFont(item.Font);
                DDSurfBack->SetForeColor(item.Color);
                DDSurfBack->DrawText(item.X, item.Y, item.Text, false);
            }
            PrintCharacter(Anime.TitleFrontAnime, Anime.UseTitleFrontAnime);
            ShowFrame();
            DoEvents();
            if (SceneChangePending()) return;
        }
    } catch (const std::exception&) {
    }
}

}  // namespace dexlora
