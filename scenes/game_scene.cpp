// The typing game, from its wipe-in to the hand-over to the result scene.
#include <exception>
#include <string>

#include "drawing/display.h"
#include "drawing/scene_control.h"
#include "engine/questions.h"
#include "platform/window.h"
#include "scenes/anime_lists.h"
#include "scenes/frame.h"
#include "scenes/game_fields.h"
#include "scenes/game_record.h"
#include "scenes/judgment.h"
#include "scenes/scenes.h"
#include "skin/loaders/loaders.h"

namespace dexlora {

namespace {

void DrawTimeLeft() {
    DrawFrameText(GameIni.TimeFont, GameIni.TimeFontColor, GameIni.TimeX, GameIni.TimeY, std::to_string(Fields.TimeLeft));
}

// The text window slides in over the bare background; the frame in which
// its movement ends is still drawn. Answers false when a handler recorded
// the next scene.
bool SlideTextWindowIn() {
    AnimationClock clock(GetTickCount());
    bool finished = false;
    while (!finished) {
        const uint32_t ticks = clock.Advance(GetTickCount());
        CopyBackground(Backgrounds.DDSurfGame);
        for (uint32_t t = 0; t < ticks; ++t) GameIni.TextWindowAnime.AddTC();
        if (GameIni.TextWindowAnime.GetMoveEnd()) finished = true;
        GameIni.TextWindowAnime.PrintCharacter(DDSurfBack);
        if (!EndFrame()) return false;
    }
    return true;
}

}  // namespace

void GameStart() {
    // A failing operation ends the program at once, without the shutdown.
    try {
        Fields.ClearCount = Fields.MissCount = Fields.MaxCombo = Fields.Combo = Fields.TypedLength = 0;
        StartGameRecord(Fields.TimeLeft);
        GameState = Scene::Game;
        InitFirstValue(Anime.GameBackAnime, Anime.UseGameBackAnime);
        InitFirstValue(Anime.GameFrontAnime, Anime.UseGameFrontAnime);
        if (GameIni.UseTextWindow) GameIni.TextWindowAnime.InitFirstValue();

        if (!Backgrounds.DDSurfGame) throw RuntimeError(ErrObjectNotSet, "no game picture");
        TakeSnapshot(Backgrounds.DDSurfGame->Width(), Backgrounds.DDSurfGame->Height());
        ScreenWipe(GameIni.GameWipeIn, DDSurfSnapshot, Backgrounds.DDSurfGame);
        if (SceneChangePending() || !WaitTime(200)) return;

        CopyBackground(Backgrounds.DDSurfGame);
        if (GameIni.UseTextWindow) {
            if (!SlideTextWindowIn()) return;
        } else {
            ShowFrame();
        }
        if (!WaitTime(500)) return;

        SeedRandom(ClockSeed());
        Fields.QuestionIndex = PickQuestion();
        // Keys typed during the opening were judged against the question
        // current then; the new question starts untyped all the same.
        Fields.TypedLength = 0;
        if (!PrintQuestion()) return;

        AnimationClock clock(GetTickCount());
        uint32_t secAcc = 0;
        while (Fields.TimeLeft > 0) {
            const uint32_t ticks = clock.Advance(GetTickCount());
            secAcc += clock.Elapsed();
            // At most one second per frame, however long the frame took.
            if (secAcc >= 1000) {
                --Fields.TimeLeft;
                secAcc -= 1000;
            }
            for (uint32_t t = 0; t < ticks; ++t) {
                AddTC(Anime.GameBackAnime, Anime.UseGameBackAnime);
                AddTC(Anime.GameFrontAnime, Anime.UseGameFrontAnime);
            }
            CopyBackground(Backgrounds.DDSurfGame);
            PrintCharacter(Anime.GameBackAnime, Anime.UseGameBackAnime);
            if (GameIni.UseTextWindow) GameIni.TextWindowAnime.PrintCharacter(DDSurfBack);
            if (!PrintQuestion()) return;
            DrawTimeLeft();
            PrintCharacter(Anime.GameFrontAnime, Anime.UseGameFrontAnime);
            if (!EndFrame()) return;
        }

        GameState = Scene::Result;
        Fields.ResultReady = false;
        // A run still going at the end counts.
        if (Fields.MaxCombo < Fields.Combo) Fields.MaxCombo = Fields.Combo;
        if (!WaitTime(600)) return;
        DrawTimeLeft();
        TakeSnapshot(Backgrounds.DDSurfGame->Width(), Backgrounds.DDSurfGame->Height());
        ScreenWipe(GameIni.GameWipeOut, DDSurfSnapshot, Backgrounds.DDSurfResult);
        if (SceneChangePending()) return;
        RequestScene(NextScene::Result);
    } catch (const std::exception&) {
        EndProgramNow();
    }
}

}  // namespace dexlora
