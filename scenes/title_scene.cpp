// The title scene and its key.
#include <exception>

#include "drawing/display.h"
#include "drawing/scene_control.h"
#include "platform/window.h"
#include "scenes/anime_lists.h"
#include "scenes/frame.h"
#include "scenes/game_fields.h"
#include "scenes/options_line.h"
#include "scenes/records_scene.h"
#include "scenes/scenes.h"
#include "settings/player_options.h"
#include "skin/loaders/loaders.h"

namespace dexlora {

namespace {

void DrawOptionsLine() {
    if (TitleIni.OptionsLinePlaced || OptionsAwayFromDefault()) DrawTextItem(TitleIni.OptionsLine, OptionsLineText());
}

}  // namespace

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
        do {
            for (uint32_t ticks = clock.Advance(GetTickCount()); ticks > 0; --ticks) {
                AddTC(Anime.TitleBackAnime, Anime.UseTitleBackAnime);
                AddTC(Anime.TitleFrontAnime, Anime.UseTitleFrontAnime);
            }
            CopyBackground(Backgrounds.DDSurfTitle);
            PrintCharacter(Anime.TitleBackAnime, Anime.UseTitleBackAnime);
            for (const TextItem& item : TitleIni.TitleTexts) DrawTextItem(item);
            DrawOptionsLine();
            PrintCharacter(Anime.TitleFrontAnime, Anime.UseTitleFrontAnime);
        } while (EndFrame());
    } catch (const std::exception&) {
    }
}

void TitleKeyPress(char32_t key) {
    if (key == U'K') {
        ShowMousePointer(true);
        GameState = Scene::KeyConf;
        RequestScene(NextScene::KeyConf);
        return;
    }
    Fields.TimeLeft = key == U'D' ? 30 : key == U'S' ? 1 : 60;
    RequestScene(NextScene::Game);
}

void ApplyPresentOption() {
    SetPresentChoice(ParsePresentChoice(OptionValue(Option::Present)).value_or(PresentChoice::Auto));
}

void TitleKeyDown(KeyCode code) {
    switch (code) {
    case KeyCode::F2: CycleOption(Option::FlexibleRomaji); break;
    case KeyCode::F3: OpenRecords(); break;
    case KeyCode::F4:
        CycleOption(Option::SharpText);
        SetSharpComposition(OptionOn(Option::SharpText));
        break;
    case KeyCode::F5:
        CycleOption(Option::Present);
        ApplyPresentOption();
        break;
    default: break;
    }
}

}  // namespace dexlora
