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
    const RECT rect{0, 0, std::min(desc.lWidth, ScreenWidth), std::min(desc.lHeight, ScreenHeight)};
    DDSurfBack->BltFast(0, 0, *Backgrounds.DDSurfResult, rect, DDBLTFAST_WAIT);
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
    if (!Backgrounds.DDSurfResult || !DDSurfSnapshot) throw RuntimeError(ErrObjectNotSet, "no result background");
    // Score, mastery and rank, and the rank's animations.
    const int32_t score = ResultScore(Fields.MaxCombo, Fields.ClearCount, Fields.MissCount);
    const double mastery = MasteryOfScore(score);
    const std::string masteryText = MasteryText(mastery);
    const int32_t rank = ResultRank(ResultIni.Points, mastery);
    Anime.UseResultBackAnime = LoadAnimeList(SkinPath, ResultAnimeFile(true, rank), Anime.ResultBackAnime,
                                             ResultBackAnimeWarning, AnimeFileKind::ResultBack);
    Anime.UseResultFrontAnime = LoadAnimeList(SkinPath, ResultAnimeFile(false, rank), Anime.ResultFrontAnime,
                                              ResultFrontAnimeWarning, AnimeFileKind::ResultFront);
    if (SceneChangePending()) return false;  // a picture of the rank's files could not be loaded
    InitFirstValue(Anime.ResultBackAnime, Anime.UseResultBackAnime);
    InitFirstValue(Anime.ResultFrontAnime, Anime.UseResultFrontAnime);

    // From the last typing frame to the result background.
    DDSurfSnapshot->BltFast(0, 0, *DDSurfBack, ScreenRect, DDBLTFAST_WAIT);
    ScreenWipe(ResultIni.ResultWipeIn, DDSurfSnapshot, Backgrounds.DDSurfResult);
    if (SceneChangePending()) return false;
    CopyResultBackground();
    Flip();
    if (!WaitTime(200)) return false;

    // The result window and the big character come in, one tick a frame.
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
        Flip();
        DoEvents();
        if (SceneChangePending()) return false;
        if ((!ResultIni.UseResultWindow || ResultIni.ResultWindowAnime.GetMoveEnd()) &&
            (!BigChara.UseBigChara || BigChara.clsBigChara.GetMoveEnd()))
            break;
    }
    if (!WaitTime(500)) return false;

    PlaySoundSlot(ResultIni.ResultSounds[0]);
    AnimationClock clock(GetTickCount());
    Fields.ResultReady = true;
    int32_t promptColor = 0;

    // The figures under the pulsing prompt, until a key leaves.
    const std::string maxComboText = ResultIni.MaxComboItem.Text + std::to_string(Fields.MaxCombo);
    const std::string missText = ResultIni.MissItem.Text + std::to_string(Fields.MissCount);
    const std::string clearText = ResultIni.ClearItem.Text + std::to_string(Fields.ClearCount);
    const std::string rateText = ResultIni.RateItem.Text + masteryText + ResultIni.RateSuffix;
    for (;;) {
        for (uint32_t ticks = clock.Advance(GetTickCount()); ticks > 0; --ticks) {
            AddTC(Anime.ResultBackAnime, Anime.UseResultBackAnime);
            AddTC(Anime.ResultFrontAnime, Anime.UseResultFrontAnime);
        }
        CopyResultBackground();
        PrintCharacter(Anime.ResultBackAnime, Anime.UseResultBackAnime);
        if (ResultIni.UseResultWindow) ResultIni.ResultWindowAnime.PrintCharacter(DDSurfBack);

        promptColor = PulseColor(promptColor, ResultPromptDirection);
        DDSurfBack->SetFont(ResultIni.EnterItem.Font);
        DDSurfBack->SetFontBackColor(promptColor);
        DDSurfBack->SetForeColor(promptColor);
        DDSurfBack->SetFontTransparency(true);
        DDSurfBack->DrawText(ResultIni.EnterItem.X, ResultIni.EnterItem.Y, ResultIni.EnterItem.Text, false);

        DrawItem(ResultIni.MaxComboItem, maxComboText);
        DrawItem(ResultIni.MissItem, missText);
        DrawItem(ResultIni.ClearItem, clearText);
        DrawItem(ResultIni.RateItem, rateText);

        if (BigChara.UseBigChara) BigChara.clsBigChara.PrintCharacter(DDSurfBack);
        PrintCharacter(Anime.ResultFrontAnime, Anime.UseResultFrontAnime);
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
