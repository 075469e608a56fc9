// The result scene.
#include "scenes/result_scene.h"

#include <algorithm>
#include <string>

#include "drawing/display.h"
#include "drawing/scene_control.h"
#include "drawing/wipes.h"
#include "platform/core/error.h"
#include "platform/window.h"
#include "scenes/anime_lists.h"
#include "scenes/game_fields.h"
#include "scenes/judgment.h"
#include "scenes/result_score.h"
#include "skin/loaders/loaders.h"

namespace dexlora {

bool ResultPromptDirection = false;

namespace {

// The result background onto the back buffer. A picture smaller than the
// screen is copied at its own size, as the other scenes copy theirs, rather
// than failing the copy and leaving the scene stuck before ResultReady.
void CopyResultBackground() {
    const RECT rect{0, 0, std::min(ResultDesc.lWidth, ScreenWidth), std::min(ResultDesc.lHeight, ScreenHeight)};
    DDSurfBack->BltFast(0, 0, *DDSurfResult, rect, DDBLTFAST_WAIT);
}

void Flip() { DDSurfPrimary->Flip(nullptr, DDFLIP_WAIT); }

void DrawItem(const TextItem& item, const std::string& text) {
    DDSurfBack->SetFont(item.Font);
    DDSurfBack->SetFontTransparency(true);
    DDSurfBack->SetForeColor(item.Color);
    DDSurfBack->DrawText(item.X, item.Y, text, false);
}

// Runs the scene; answers false as soon as a change of scene is recorded.
bool RunResult() {
    if (!DDSurfResult || !DDSurfSnapshot) throw RuntimeError(ErrObjectNotSet, "no result background");
    // Score, mastery and rank, and the rank's animations.
    const int32_t score = ResultScore(MaxCombo, ClearCount, MissCount);
    const double mastery = MasteryOfScore(score);
    const std::string masteryText = MasteryText(mastery);
    const int32_t rank = ResultRank(Points, mastery);
    UseResultBackAnime = LoadAnimeList(ResultAnimeFile(true, rank), ResultBackAnime, ResultBackAnimeWarning,
                                       AnimeFileKind::ResultBack);
    UseResultFrontAnime = LoadAnimeList(ResultAnimeFile(false, rank), ResultFrontAnime,
                                        ResultFrontAnimeWarning, AnimeFileKind::ResultFront);
    if (SceneChangePending()) return false;  // a picture of the rank's files could not be loaded
    InitFirstValue(ResultBackAnime, UseResultBackAnime);
    InitFirstValue(ResultFrontAnime, UseResultFrontAnime);

    // From the last typing frame to the result background.
    DDSurfSnapshot->BltFast(0, 0, *DDSurfBack, ScreenRect, DDBLTFAST_WAIT);
    ScreenWipe(ResultWipeIn, DDSurfSnapshot, DDSurfResult);
    if (SceneChangePending()) return false;
    CopyResultBackground();
    Flip();
    if (!WaitTime(200)) return false;

    // The result window and the big character come in, one tick a frame.
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
        Flip();
        DoEvents();
        if (SceneChangePending()) return false;
        if ((!UseResultWindow || ResultWindowAnime.GetMoveEnd()) && (!UseBigChara || clsBigChara.GetMoveEnd())) break;
    }
    if (!WaitTime(500)) return false;

    PlaySoundSlot(ResultSounds[0]);
    AnimationClock clock(GetTickCount());
    ResultReady = true;
    int32_t promptColor = 0;

    // The figures under the pulsing prompt, until a key leaves.
    const std::string maxComboText = MaxComboItem.Text + std::to_string(MaxCombo);
    const std::string missText = MissItem.Text + std::to_string(MissCount);
    const std::string clearText = ClearItem.Text + std::to_string(ClearCount);
    const std::string rateText = RateItem.Text + masteryText + RateSuffix;
    for (;;) {
        for (uint32_t ticks = clock.Advance(GetTickCount()); ticks > 0; --ticks) {
            AddTC(ResultBackAnime, UseResultBackAnime);
            AddTC(ResultFrontAnime, UseResultFrontAnime);
        }
        CopyResultBackground();
        PrintCharacter(ResultBackAnime, UseResultBackAnime);
        if (UseResultWindow) ResultWindowAnime.PrintCharacter(DDSurfBack);

        promptColor = PulseColor(promptColor, ResultPromptDirection);
        DDSurfBack->SetFont(EnterItem.Font);
        DDSurfBack->SetFontBackColor(promptColor);
        DDSurfBack->SetForeColor(promptColor);
        DDSurfBack->SetFontTransparency(true);
        DDSurfBack->DrawText(EnterItem.X, EnterItem.Y, EnterItem.Text, false);

        DrawItem(MaxComboItem, maxComboText);
        DrawItem(MissItem, missText);
        DrawItem(ClearItem, clearText);
        DrawItem(RateItem, rateText);

        if (UseBigChara) clsBigChara.PrintCharacter(DDSurfBack);
        PrintCharacter(ResultFrontAnime, UseResultFrontAnime);
        Flip();
        DoEvents();
        if (SceneChangePending()) return false;
        if (!WaitTime(40)) return false;
    }
}

}  // namespace

bool PrintResult() {
    try {
        RunResult();
        return true;
    } catch (const RuntimeError&) {
        return false;
    }
}

}  // namespace dexlora
