// The result scene.
#include "scenes/result_scene.h"

#include <algorithm>
#include <optional>
#include <string>

#include "drawing/display.h"
#include "drawing/scene_control.h"
#include "drawing/wipes.h"
#include "platform/core/error.h"
#include "platform/window.h"
#include "scenes/anime_lists.h"
#include "scenes/frame.h"
#include "scenes/game_fields.h"
#include "scenes/judgment.h"
#include "scenes/result_score.h"
#include "scenes/scenes.h"
#include "settings/shared.h"
#include "skin/loaders/loaders.h"

namespace dexlora {

bool ResultPromptDirection = false;

namespace {

// The result background onto the back buffer. A picture smaller than the
// screen is copied at its own size, as the other scenes copy theirs, rather
// than failing the copy and leaving the scene stuck before ResultReady.
void CopyResultBackground() {
    const SurfaceDesc& desc = Backgrounds.ResultDesc;
    CopyBackground(Backgrounds.DDSurfResult, std::min(desc.lWidth, ScreenWidth), std::min(desc.lHeight, ScreenHeight));
}

// Score, mastery and rank of the finished game, and the rank's animations in
// their start states. Answers the mastery as shown, or nothing when a
// picture of the rank's files could not be loaded (which closes the window).
std::optional<std::string> LoadRank() {
    const int32_t score = ResultScore(Fields.MaxCombo, Fields.ClearCount, Fields.MissCount);
    const double mastery = MasteryOfScore(score);
    const int32_t rank = ResultRank(ResultIni.Points, mastery);
    Anime.UseResultBackAnime = LoadAnimeList(SkinPath, ResultAnimeFile(true, rank), Anime.ResultBackAnime,
                                             ResultBackAnimeWarning, AnimeFileKind::ResultBack);
    Anime.UseResultFrontAnime = LoadAnimeList(SkinPath, ResultAnimeFile(false, rank), Anime.ResultFrontAnime,
                                              ResultFrontAnimeWarning, AnimeFileKind::ResultFront);
    if (SceneChangePending()) return std::nullopt;
    InitFirstValue(Anime.ResultBackAnime, Anime.UseResultBackAnime);
    InitFirstValue(Anime.ResultFrontAnime, Anime.UseResultFrontAnime);
    return MasteryText(mastery);
}

// From the last typing frame to the result background, shown, then a wait.
bool WipeIn() {
    TakeSnapshot(ScreenWidth, ScreenHeight);
    ScreenWipe(ResultIni.ResultWipeIn, DDSurfSnapshot, Backgrounds.DDSurfResult);
    if (SceneChangePending()) return false;
    CopyResultBackground();
    ShowFrame();
    return WaitTime(200);
}

// The result window and the big character come in, one tick a frame, until
// both have stopped (one frame with neither); then a wait.
bool EnterWindowAndCharacter() {
    if (BigChara.UseBigChara) BigChara.clsBigChara.InitFirstValue();
    if (ResultIni.UseResultWindow) ResultIni.ResultWindowAnime.InitFirstValue();
    for (;;) {
        CopyResultBackground();
        if (ResultIni.UseResultWindow) {
            ResultIni.ResultWindowAnime.AddTC();
            ResultIni.ResultWindowAnime.PrintCharacter(DDSurfBack);
        }
        if (BigChara.UseBigChara) {
            BigChara.clsBigChara.AddTC();
            BigChara.clsBigChara.PrintCharacter(DDSurfBack);
        }
        if (!EndFrame()) return false;
        if ((!ResultIni.UseResultWindow || ResultIni.ResultWindowAnime.GetMoveEnd()) &&
            (!BigChara.UseBigChara || BigChara.clsBigChara.GetMoveEnd()))
            break;
    }
    return WaitTime(500);
}

// The result sound, then the figures under the pulsing prompt, until a key
// records the next scene.
void ShowFigures(const std::string& masteryText) {
    PlaySoundSlot(ResultIni.ResultSounds[0]);
    AnimationClock clock(GetTickCount());
    Fields.ResultReady = true;
    int32_t promptColor = 0;

    const std::string maxComboText = ResultIni.MaxComboItem.Text + std::to_string(Fields.MaxCombo);
    const std::string missText = ResultIni.MissItem.Text + std::to_string(Fields.MissCount);
    const std::string clearText = ResultIni.ClearItem.Text + std::to_string(Fields.ClearCount);
    const std::string rateText = ResultIni.RateItem.Text + masteryText + ResultIni.RateSuffix;
    do {
        for (uint32_t ticks = clock.Advance(GetTickCount()); ticks > 0; --ticks) {
            AddTC(Anime.ResultBackAnime, Anime.UseResultBackAnime);
            AddTC(Anime.ResultFrontAnime, Anime.UseResultFrontAnime);
        }
        CopyResultBackground();
        PrintCharacter(Anime.ResultBackAnime, Anime.UseResultBackAnime);
        if (ResultIni.UseResultWindow) ResultIni.ResultWindowAnime.PrintCharacter(DDSurfBack);

        promptColor = PulseColor(promptColor, ResultPromptDirection);
        DDSurfBack->SetFontBackColor(promptColor);
        const TextItem& enter = ResultIni.EnterItem;
        DrawFrameText(enter.Font, promptColor, enter.X, enter.Y, enter.Text);

        DrawTextItem(ResultIni.MaxComboItem, maxComboText);
        DrawTextItem(ResultIni.MissItem, missText);
        DrawTextItem(ResultIni.ClearItem, clearText);
        DrawTextItem(ResultIni.RateItem, rateText);

        if (BigChara.UseBigChara) BigChara.clsBigChara.PrintCharacter(DDSurfBack);
        PrintCharacter(Anime.ResultFrontAnime, Anime.UseResultFrontAnime);
    } while (EndFrame() && WaitTime(40));
}

}  // namespace

// The scene reads top to bottom as its steps: the rank, the wipe, the entry
// of the window and the big character, the figures.
bool PrintResult() {
    try {
        if (!Backgrounds.DDSurfResult || !DDSurfSnapshot) throw RuntimeError(ErrObjectNotSet, "no result background");
        const std::optional<std::string> masteryText = LoadRank();
        if (!masteryText || !WipeIn() || !EnterWindowAndCharacter()) return true;
        ShowFigures(*masteryText);
        return true;
    } catch (const RuntimeError&) {
        return false;
    }
}

void ResultKeyPress(char32_t) {
    if (!Fields.ResultReady) return;
    Anime.ResultFrontAnime.clear();
    GameState = Scene::Title;
    RequestScene(NextScene::Title);
}

}  // namespace dexlora
