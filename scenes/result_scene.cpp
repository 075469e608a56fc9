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
#include "skin/loaders/loaders.h"

namespace dexlora {

bool ResultPromptDirection = false;

namespace {

// The result background onto the back buffer. A picture smaller than the
// screen is copied at its own size, as the other scenes copy theirs, rather
// than failing the copy and leaving the scene stuck before ResultReady.
void CopyResultBackground() {
    CopyBackground(DDSurfResult, std::min(ResultDesc.lWidth, ScreenWidth), std::min(ResultDesc.lHeight, ScreenHeight));
}

// Score, mastery and rank of the finished game, and the rank's animations in
// their start states. Answers the mastery as shown, or nothing when a
// picture of the rank's files could not be loaded (which closes the window).
std::optional<std::string> LoadRank() {
    const int32_t score = ResultScore(MaxCombo, ClearCount, MissCount);
    const double mastery = MasteryOfScore(score);
    const int32_t rank = ResultRank(Points, mastery);
    UseResultBackAnime = LoadAnimeList(ResultAnimeFile(true, rank), ResultBackAnime, ResultBackAnimeWarning,
                                       AnimeFileKind::ResultBack);
    UseResultFrontAnime = LoadAnimeList(ResultAnimeFile(false, rank), ResultFrontAnime,
                                        ResultFrontAnimeWarning, AnimeFileKind::ResultFront);
    if (SceneChangePending()) return std::nullopt;
    InitFirstValue(ResultBackAnime, UseResultBackAnime);
    InitFirstValue(ResultFrontAnime, UseResultFrontAnime);
    return MasteryText(mastery);
}

// From the last typing frame to the result background, shown, then a wait.
bool WipeIn() {
    TakeSnapshot(ScreenWidth, ScreenHeight);
    ScreenWipe(ResultWipeIn, DDSurfSnapshot, DDSurfResult);
    if (SceneChangePending()) return false;
    CopyResultBackground();
    ShowFrame();
    return WaitTime(200);
}

// The result window and the big character come in, one tick a frame, until
// both have stopped (one frame with neither); then a wait.
bool EnterWindowAndCharacter() {
    if (UseBigChara) clsBigChara.InitFirstValue();
    if (UseResultWindow) ResultWindowAnime.InitFirstValue();
    for (;;) {
        CopyResultBackground();
        if (UseResultWindow) {
            ResultWindowAnime.AddTC();
            ResultWindowAnime.PrintCharacter(DDSurfBack);
        }
        if (UseBigChara) {
            clsBigChara.AddTC();
            clsBigChara.PrintCharacter(DDSurfBack);
        }
        if (!EndFrame()) return false;
        if ((!UseResultWindow || ResultWindowAnime.GetMoveEnd()) && (!UseBigChara || clsBigChara.GetMoveEnd())) break;
    }
    return WaitTime(500);
}

// The result sound, then the figures under the pulsing prompt, until a key
// records the next scene.
void ShowFigures(const std::string& masteryText) {
    PlaySoundSlot(ResultSounds[0]);
    AnimationClock clock(GetTickCount());
    ResultReady = true;
    int32_t promptColor = 0;

    const std::string maxComboText = MaxComboItem.Text + std::to_string(MaxCombo);
    const std::string missText = MissItem.Text + std::to_string(MissCount);
    const std::string clearText = ClearItem.Text + std::to_string(ClearCount);
    const std::string rateText = RateItem.Text + masteryText + RateSuffix;
    do {
        for (uint32_t ticks = clock.Advance(GetTickCount()); ticks > 0; --ticks) {
            AddTC(ResultBackAnime, UseResultBackAnime);
            AddTC(ResultFrontAnime, UseResultFrontAnime);
        }
        CopyResultBackground();
        PrintCharacter(ResultBackAnime, UseResultBackAnime);
        if (UseResultWindow) ResultWindowAnime.PrintCharacter(DDSurfBack);

        promptColor = PulseColor(promptColor, ResultPromptDirection);
        DDSurfBack->SetFontBackColor(promptColor);
        DrawFrameText(EnterItem.Font, promptColor, EnterItem.X, EnterItem.Y, EnterItem.Text);

        DrawTextItem(MaxComboItem, maxComboText);
        DrawTextItem(MissItem, missText);
        DrawTextItem(ClearItem, clearText);
        DrawTextItem(RateItem, rateText);

        if (UseBigChara) clsBigChara.PrintCharacter(DDSurfBack);
        PrintCharacter(ResultFrontAnime, UseResultFrontAnime);
    } while (EndFrame() && WaitTime(40));
}

}  // namespace

// The scene reads top to bottom as its steps: the rank, the wipe, the entry
// of the window and the big character, the figures.
bool PrintResult() {
    try {
        if (!DDSurfResult || !DDSurfSnapshot) throw RuntimeError(ErrObjectNotSet, "no result background");
        const std::optional<std::string> masteryText = LoadRank();
        if (!masteryText || !WipeIn() || !EnterWindowAndCharacter()) return true;
        ShowFigures(*masteryText);
        return true;
    } catch (const RuntimeError&) {
        return false;
    }
}

void ResultKeyPress(char32_t) {
    if (!ResultReady) return;
    ResultFrontAnime.clear();
    GameState = Scene::Title;
    RequestScene(NextScene::Title);
}

}  // namespace dexlora
