// The typing game, from its wipe-in to the hand-over to the result scene.
#include <exception>
#include <string>

#include "drawing/display.h"
#include "drawing/scene_control.h"
#include "engine/questions.h"
#include "platform/core/encoding.h"
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

// The text window and the question drawn shift pixels to the right.
bool PrintTextWindowAndQuestion(int32_t shift) {
    clsAnimeCharacter& window = GameIni.TextWindowAnime;
    const RECT at = window.GetPosition();
    if (shift != 0) window.SetPosition(at.Left + shift, at.Top);
    if (GameIni.UseTextWindow) window.PrintCharacter(DDSurfBack);
    if (shift != 0) window.SetPosition(at.Left, at.Top);
    GameIni.QuestionX += shift, GameIni.RomeX += shift;
    const bool printed = PrintQuestion();
    GameIni.QuestionX -= shift, GameIni.RomeX -= shift;
    return printed;
}

// The character to type next in the miss colour: the romaji up to it drawn
// over in that colour, then its typed part again in the typed colour, so the
// character sits exactly where the line put it.
void FlashNextCharacter(int32_t shift) {
    const std::optional<Question> question = CurrentQuestion();
    if (!question || Fields.TypedLength < 0) return;
    // With flexible romaji the line drawn is the matcher's guide.
    const FlexibleRomaji* flexible = FlexibleMatcher();
    const std::u32string romaji = Utf8ToU32(flexible ? std::string_view(flexible->Guide()) : question->Romaji);
    const size_t typed = size_t(Fields.TypedLength);
    if (typed >= romaji.size()) return;
    const GameSettings& game = GameIni;
    const int32_t x = game.RomeX + shift;
    DrawFrameText(game.QuestionFont, game.MissColor, x, game.RomeY, U32ToUtf8(romaji.substr(0, typed + 1)));
    if (typed > 0)
        DrawFrameText(game.QuestionFont, game.QuestionFontColor3, x, game.RomeY, U32ToUtf8(romaji.substr(0, typed)));
}

}  // namespace

void GameKeyPress(char32_t key) {
    if (Fields.QuestionShown) JudgeKey(key);
}

void GameStart() {
    // A failing operation ends the program at once, without the shutdown.
    try {
        Fields.ClearCount = Fields.MissCount = Fields.MaxCombo = Fields.Combo = Fields.TypedLength = 0;
        StartGameRecord(Fields.TimeLeft);
        Fields.QuestionShown = false;
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
        Fields.TypedLength = 0;
        if (!PrintQuestion()) return;
        // Keys reach the judgment from the first frame that shows the question.
        Fields.QuestionShown = true;

        AnimationClock clock(GetTickCount());
        uint32_t secAcc = 0;
        // A wrong key shows for MissTime ms from the first frame that counts
        // it, shaking right and left in turn every 32 ms.
        int32_t missesSeen = Fields.MissCount;
        uint32_t missAt = GetTickCount() - uint32_t(GameIni.MissTime);
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
            if (Fields.MissCount != missesSeen) missesSeen = Fields.MissCount, missAt = GetTickCount();
            const uint32_t sinceMiss = GetTickCount() - missAt;
            const bool missShown = sinceMiss < uint32_t(GameIni.MissTime);
            const int32_t shake = !missShown ? 0 : sinceMiss / 32 % 2 ? -GameIni.MissShake : GameIni.MissShake;
            if (!PrintTextWindowAndQuestion(shake)) return;
            if (missShown && GameIni.MissFlash) FlashNextCharacter(shake);
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
