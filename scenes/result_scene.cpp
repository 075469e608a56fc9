// The result scene.
#include "scenes/result_scene.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
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
#include "scenes/game_record.h"
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

// The texts of the figures a skin may add, empty for those it leaves out.
struct ExtraTexts {
    std::string Speed, Accuracy, Best, Weak;
};

std::string Decimal(double value, int digits) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", digits, value);
    return text;
}

// The finished game goes into the player's history; answers the added
// figures' texts.
ExtraTexts RecordGame(double mastery, int32_t rank) {
    const GameRecord record = FinishGameRecord(mastery, rank, std::time(nullptr));
    const ResultSettings& r = ResultIni;
    const bool best = SaveGameRecord(record, r.BestItem.Use);
    ExtraTexts texts;
    if (r.SpeedItem.Use) texts.Speed = r.SpeedItem.Item.Text + Decimal(record.KeysPerMinute, 0) + r.SpeedItem.Suffix;
    if (r.AccuracyItem.Use) {
        texts.Accuracy = r.AccuracyItem.Item.Text + Decimal(record.Accuracy * 100, 1) + r.AccuracyItem.Suffix;
    }
    if (best) texts.Best = r.BestItem.Item.Text + r.BestItem.Suffix;
    if (const std::vector<std::string> weak = WeakestKana(record, 3); r.WeakItem.Use && !weak.empty()) {
        texts.Weak = r.WeakItem.Item.Text;
        for (size_t i = 0; i < weak.size(); ++i) texts.Weak += (i > 0 ? " " : "") + weak[i];
        texts.Weak += r.WeakItem.Suffix;
    }
    return texts;
}

// Score, mastery and rank of the finished game, and the rank's animations in
// their start states. Answers the mastery as shown, or nothing when a
// picture of the rank's files could not be loaded (which closes the window).
std::optional<std::string> LoadRank(ExtraTexts& extras) {
    const int32_t score = ResultScore(Fields.MaxCombo, Fields.ClearCount, Fields.MissCount);
    const double mastery = MasteryOfScore(score);
    const int32_t rank = ResultRank(ResultIni.Points, mastery);
    extras = RecordGame(mastery, rank);
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
void ShowFigures(const std::string& masteryText, const ExtraTexts& extras) {
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
        for (const auto& [extra, text] : {std::pair{&ResultIni.SpeedItem, &extras.Speed}, {&ResultIni.AccuracyItem,
                                          &extras.Accuracy}, {&ResultIni.BestItem, &extras.Best},
                                          {&ResultIni.WeakItem, &extras.Weak}}) {
            if (!text->empty()) DrawTextItem(extra->Item, *text);
        }

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
        ExtraTexts extras;
        const std::optional<std::string> masteryText = LoadRank(extras);
        if (!masteryText || !WipeIn() || !EnterWindowAndCharacter()) return true;
        ShowFigures(*masteryText, extras);
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
