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
#include "scenes/judgment.h"
#include "scenes/scenes.h"
#include "skin/loaders/loaders.h"

namespace dexlora {

namespace {

void DrawTimeLeft() { DrawFrameText(TimeFont, TimeFontColor, TimeX, TimeY, std::to_string(TimeLeft)); }

// The text window slides in over the bare background; the frame in which
// its movement ends is still drawn. Answers false when a handler recorded
// the next scene.
bool SlideTextWindowIn() {
    AnimationClock clock(GetTickCount());
    bool finished = false;
    while (!finished) {
        const uint32_t ticks = clock.Advance(GetTickCount());
        CopyBackground(DDSurfGame);
        for (uint32_t t = 0; t < ticks; ++t) TextWindowAnime.AddTC();
        if (TextWindowAnime.GetMoveEnd()) finished = true;
        TextWindowAnime.PrintCharacter(DDSurfBack);
        if (!EndFrame()) return false;
    }
    return true;
}

}  // namespace

void GameStart() {
    // A failing operation ends the program at once, without the shutdown.
    try {
        ClearCount = MissCount = MaxCombo = Combo = TypedLength = 0;
        GameState = Scene::Game;
        InitFirstValue(GameBackAnime, UseGameBackAnime);
        InitFirstValue(GameFrontAnime, UseGameFrontAnime);
        if (UseTextWindow) TextWindowAnime.InitFirstValue();

        if (!DDSurfGame) throw RuntimeError(ErrObjectNotSet, "no game picture");
        TakeSnapshot(DDSurfGame->Width(), DDSurfGame->Height());
        ScreenWipe(GameWipeIn, DDSurfSnapshot, DDSurfGame);
        if (SceneChangePending() || !WaitTime(200)) return;

        CopyBackground(DDSurfGame);
        if (UseTextWindow) {
            if (!SlideTextWindowIn()) return;
        } else {
            ShowFrame();
        }
        if (!WaitTime(500)) return;

        SeedRandom(ClockSeed());
        QuestionIndex = PickQuestion();
        // Keys typed during the opening were judged against the question
        // current then; the new question starts untyped all the same.
        TypedLength = 0;
        if (!PrintQuestion()) return;

        AnimationClock clock(GetTickCount());
        uint32_t secAcc = 0;
        while (TimeLeft > 0) {
            const uint32_t ticks = clock.Advance(GetTickCount());
            secAcc += clock.Elapsed();
            // At most one second per frame, however long the frame took.
            if (secAcc >= 1000) {
                --TimeLeft;
                secAcc -= 1000;
            }
            for (uint32_t t = 0; t < ticks; ++t) {
                AddTC(GameBackAnime, UseGameBackAnime);
                AddTC(GameFrontAnime, UseGameFrontAnime);
            }
            CopyBackground(DDSurfGame);
            PrintCharacter(GameBackAnime, UseGameBackAnime);
            if (UseTextWindow) TextWindowAnime.PrintCharacter(DDSurfBack);
            if (!PrintQuestion()) return;
            DrawTimeLeft();
            PrintCharacter(GameFrontAnime, UseGameFrontAnime);
            if (!EndFrame()) return;
        }

        GameState = Scene::Result;
        ResultReady = false;
        // A run still going at the end counts.
        if (MaxCombo < Combo) MaxCombo = Combo;
        if (!WaitTime(600)) return;
        DrawTimeLeft();
        TakeSnapshot(DDSurfGame->Width(), DDSurfGame->Height());
        ScreenWipe(GameWipeOut, DDSurfSnapshot, DDSurfResult);
        if (SceneChangePending()) return;
        RequestScene(NextScene::Result);
    } catch (const std::exception&) {
        EndProgramNow();
    }
}

}  // namespace dexlora
