// Pictures of a skin's scenes: each scene runs as in the game, on the
// headless display with its virtual clock, and one chosen frame is saved.
#include "tools/scene_pictures.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <limits>
#include <vector>

#include "drawing/scene_control.h"
#include "engine/history.h"
#include "engine/printable.h"
#include "engine/rome_table.h"
#include "platform/core/encoding.h"
#include "platform/surface.h"
#include "platform/headless.h"
#include "platform/window.h"
#include "scenes/game_fields.h"
#include "scenes/judgment.h"
#include "scenes/keyconf_scene.h"
#include "scenes/records_scene.h"
#include "scenes/result_scene.h"
#include "scenes/result_score.h"
#include "scenes/scenes.h"
#include "skin/loaders/loaders.h"

namespace dexlora {
namespace {

// A scene that has not shown its picture after this much virtual time (a
// sprite whose entry never ends, say) is pictured as it stands then.
constexpr uint32_t SceneTimeLimitMs = 120000;

// The title and the game are pictured once their animations have run a while.
constexpr uint32_t TitleShownMs = 1500;
// The result prompt is brightest in the 26th frame after the figures appear.
constexpr int ResultFramesShown = 26;

void Print(const std::string& line) {
    const std::string text = EscapeControls("picture: " + line) + "\n";
    std::fwrite(text.data(), 1, text.size(), stdout);
}

// Runs scene until choose, asked at every flip, picks the frame being shown;
// saves that frame to path and asks the scene to end. Answers whether a
// picture was written.
bool Capture(const std::string& path, const std::function<void()>& scene, const std::function<bool()>& choose) {
    ResetSceneControl();
    bool taken = false, written = false, late = false;
    const uint32_t start = GetTickCount();
    headless::OnFlip([&](const DirectDrawSurface7& frame, uint64_t) {
        if (taken) return;
        late = GetTickCount() - start > SceneTimeLimitMs;
        if (!choose() && !late) return;
        written = frame.SavePng(path);
        taken = true;
        RequestScene(NextScene::Title);
    });
    scene();
    headless::OnFlip(nullptr);
    const NextScene next = PendingScene();
    ResetSceneControl();
    if (!taken) {
        Print(path + ": not made, the scene " +
              (next == NextScene::Shutdown || next == NextScene::EndNow ? "ended the game" : "showed nothing"));
        return false;
    }
    if (!written) {
        Print(path + ": cannot be written");
        return false;
    }
    Print(path + (late ? " (the scene was still coming in after " + std::to_string(SceneTimeLimitMs / 1000) + " s)" : ""));
    return true;
}

// A score whose mastery gets rank, or false when no score does (thresholds
// out of order, or beyond what a score can reach).
bool ScoreForRank(int32_t rank, int32_t& score) {
    int64_t target = 0;
    if (rank < static_cast<int32_t>(ResultIni.Points.size())) {
        target = int64_t{ResultIni.Points[static_cast<size_t>(rank)]} * 1000;
    } else if (!ResultIni.Points.empty()) {
        target = int64_t{*std::min_element(ResultIni.Points.begin(), ResultIni.Points.end())} * 1000 - 2;
    }
    target = std::clamp<int64_t>(target, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max());
    target -= target % 2;  // the counters below make even scores
    score = static_cast<int32_t>(target);
    return ResultRank(ResultIni.Points, MasteryOfScore(score)) == rank;
}

// Counters of a game that scores an even score, ten questions cleared where
// the score allows, so the figures look like a real game's.
void SetCountersForScore(int32_t score) {
    if (score <= 0) {
        Fields.MaxCombo = Fields.ClearCount = 0;
        Fields.MissCount = static_cast<int32_t>(-(int64_t{score} / 2));
        return;
    }
    // ClearCount × (20 × MaxCombo + 6) − 2 × MissCount, with the fewest misses.
    const int64_t clears = score >= 60 ? 10 : 1;
    const int64_t perClear = (score + clears - 1) / clears;
    const int64_t combo = perClear <= 6 ? 0 : (perClear - 6 + 19) / 20;
    Fields.ClearCount = static_cast<int32_t>(clears);
    Fields.MaxCombo = static_cast<int32_t>(combo);
    Fields.MissCount = static_cast<int32_t>(((20 * combo + 6) * clears - score) / 2);
}

// Games of a player getting faster over the chart's span, every kana of the
// tables typed and a few of them missed and slow, for the records picture.
std::vector<GameRecord> SampleGames() {
    std::vector<GameRecord> games;
    for (int32_t g = 0; g < static_cast<int32_t>(RecordsChartGames); ++g) {
        GameRecord game{.When = 1796000000 + int64_t{g} * 43200, .Length = g % 5 == 4 ? 30 : 60};
        game.KeysPerMinute = 150 + 3 * g + (g * 37 % 11) * 4;
        game.Accuracy = 0.9 + 0.0015 * g - (g * 53 % 7) * 0.004;
        game.Mastery = game.KeysPerMinute / 25;
        for (const RomeEntries* table : {&RomeTable, &Rome2Table}) {
            for (int32_t e = 0; e < RomeEntryCount(*table); ++e) {
                const RomeEntry& entry = (*table)[static_cast<size_t>(e)];
                if (entry.Count == 0 || (e + g) % 3 == 0) continue;
                const uint32_t misses = e % 17 == 3 ? 3 : e % 7 == 0 ? 1 : 0;
                game.Kana.push_back({entry.Kana, 6, misses, 2, 2 * uint64_t(240 + e % 13 * 25 + misses * 120)});
            }
        }
        games.push_back(std::move(game));
    }
    return games;
}

}  // namespace

bool WriteScenePictures(const std::string& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (!std::filesystem::is_directory(folder)) {
        Print(folder + ": not a folder and cannot be made");
        return false;
    }
    const std::string base = (std::filesystem::path(folder) / "").string();
    InstallMainWindowEvents();
    Fields = GameFields{};
    bool all = true;

    GameState = Scene::Title;
    uint32_t start = GetTickCount();
    all &= Capture(base + "title.png", TitleStart, [&] { return GetTickCount() - start >= TitleShownMs; });

    // A game with its first question half typed, keys arriving as typed, and
    // then a wrong key, which shows as the skin asks.
    Fields.TimeLeft = 60;
    size_t half = 0;
    bool typed = false;
    all &= Capture(base + "game.png", GameStart, [&] {
        if (typed) return static_cast<size_t>(Fields.TypedLength) >= half;
        const std::optional<Question> question = CurrentQuestion();
        if (GameState != Scene::Game || Fields.QuestionIndex < 1 || !question || question->Romaji.empty()) return false;
        const std::u32string romaji = Utf8ToU32(question->Romaji);
        half = romaji.size() / 2;
        std::vector<headless::ScriptedEvent> keys;
        for (size_t i = 0; i < half; ++i) keys.push_back({GetTickCount(), headless::ScriptedEvent::Kind::Key, romaji[i]});
        if (half > 0) keys.push_back({GetTickCount(), headless::ScriptedEvent::Kind::Key, romaji[half] == U'#' ? U'%' : U'#'});
        headless::Script(keys);
        typed = true;
        return half == 0;
    });

    // Each rank's result, with the prompt at its brightest.
    for (int32_t rank = 0; rank <= static_cast<int32_t>(ResultIni.Points.size()); ++rank) {
        const std::string path = base + "result-rank-" + std::to_string(rank) + ".png";
        int32_t score = 0;
        if (!ScoreForRank(rank, score)) {
            Print(path + ": not made, no mastery reaches rank " + std::to_string(rank) +
                  " (an earlier threshold is not higher)");
            continue;
        }
        SetCountersForScore(score);
        GameState = Scene::Result;
        Fields.ResultReady = false;
        ResultPromptDirection = false;
        int shown = 0;
        all &= Capture(path, [] { PrintResult(); }, [&] { return Fields.ResultReady && ++shown >= ResultFramesShown; });
    }

    // Both pages of the key configuration.
    for (int32_t page : {0, 1}) {
        GameState = Scene::KeyConf;
        Fields.KeyConfPage = page;
        all &= Capture(base + (page == 0 ? "keyconf-key1.png" : "keyconf-key2.png"), KeyConfStart, [] { return true; });
    }

    // The records of a made-up player.
    GameState = Scene::Records;
    const std::vector<GameRecord> games = SampleGames();
    all &= Capture(base + "records.png", [&] { ShowRecords(games); }, [] { return true; });
    return all;
}

}  // namespace dexlora
