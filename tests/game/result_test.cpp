// The result: score, mastery text and rank of a finished game, and the scene
// on the headless display (the entry of the window and the big character,
// the figures after their labels, a small or missing background).
#include <limits>

#include "tests/support/fixture.h"
#include "scenes/result_scene.h"
#include "scenes/result_score.h"

namespace dexlora::test {
namespace {

constexpr int32_t Max32 = std::numeric_limits<int32_t>::max(), Min32 = std::numeric_limits<int32_t>::min();

TEST(ResultScoreTest, ScoreMasteryTextAndRank) {
    // Longest combo, cleared, misses; score and mastery text.
    const std::tuple<const char*, int32_t, int32_t, int32_t, int32_t, const char*> rows[] = {
        {"nothing cleared, two misses", 30, 0, 2, -4, "-0.004"},
        {"half a percent", 2, 11, 3, 500, "0.5"},
        {"a whole value", 0, 2000, 0, 12000, "12"},
        {"tens of thousandths", 1, 5, 20, 90, "0.09"},
        {"just above the top: held there", 107374182, 2, 0, Max32, "2147483.647"},
        {"just below the top", 107374182, 1, 0, 2147483646, "2147483.646"},
        {"misses beyond the bottom: held there", 0, 0, Max32, Min32, "-2147483.648"},
        {"a negative product beyond the bottom", Max32, Min32, 0, Min32, "-2147483.648"},
    };
    for (const auto& [name, maxCombo, clears, misses, score, text] : rows) {
        EXPECT_EQ(ResultScore(maxCombo, clears, misses), score) << name;
        EXPECT_EQ(MasteryText(MasteryOfScore(score)), text) << name;
    }
    // The first threshold reached, in the list's order.
    const std::tuple<std::vector<int32_t>, double, int32_t> ranks[] = {
        {{90, 70, 50}, 70, 1},      {{90, 70, 50}, 95, 0},     {{90, 70, 50}, 69.999, 2}, {{90, 70, 50, 0}, 0, 3},
        {{90, 70, 50, 0}, -0.002, 4}, {{}, 50, 0}, {{10, 90, 50}, 60, 0}, {{-1, -5}, -3, 1},
    };
    for (const auto& [points, mastery, rank] : ranks) EXPECT_EQ(ResultRank(points, mastery), rank) << mastery;
}

class ResultSceneTest : public DexloraTest {
protected:
    ResultSceneTest() {
        Screen();
        Bmp("skin/Result.bmp", 640, 480, Black);
        Ini("result.ini", "[ResultText]\nResultFontColor=0,0,255\nMaxComboY=230\nMissY=260\nClearY=290\nText1Y=320\n");
        LoadResultSettings(skin);
        Bmp("skin/s.bmp", 16, 16, White, Green);
    }
    // A sprite that enters in moves + 1 frames (one to start, then one a move).
    void EntrySprite(clsAnimeCharacter& sprite, int32_t moves) {
        sprite = clsAnimeCharacter{};
        sprite.InitFromFile(DDraw, skin + "s.bmp"), sprite.InitPosition(100, 400, 0, -1);
        sprite.InitAnimeData(1, 0, 0, 1, 1, true, moves - 1), sprite.AutoSetRegionColor();
    }
    // Runs the scene until a key 1.5 s in leaves it; answers the frames
    // shown before ResultReady was set, and keeps the last frame shown.
    size_t Show() {
        ResetSceneControl();
        GameState = Scene::Result, Fields.ResultReady = false;
        size_t before = 0;
        headless::Script({{GetTickCount() + 1500, Kind::Key, U'a'}});
        headless::OnFlip([&](const DirectDrawSurface7& frame, uint64_t) {
            before += !Fields.ResultReady;
            if (Fields.ResultReady) last = Pixels(frame, ScreenRect);
        });
        EXPECT_TRUE(PrintResult());
        headless::OnFlip(nullptr);
        EXPECT_EQ(PendingScene(), NextScene::Title);
        return before;
    }
    std::vector<int32_t> last;  // the last frame with the figures, row by row
};

TEST_F(ResultSceneTest, TheEntryLastsUntilTheSlowerSpriteHasArrived) {
    // The background after the wipe, then the entry frames.
    for (auto [window, chara, frames] : {std::tuple{0, 0, 2u}, {6, 20, 22u}, {30, 3, 32u}}) {
        ResultIni.UseResultWindow = window > 0;
        if (window) EntrySprite(ResultIni.ResultWindowAnime, window);
        BigChara.UseBigChara = chara > 0;
        if (chara) EntrySprite(BigChara.clsBigChara, chara);
        EXPECT_EQ(Show(), frames) << "window " << window << ", character " << chara;
    }
}

TEST_F(ResultSceneTest, TheFiguresFollowTheirLabels) {
    Fields.MaxCombo = 12, Fields.MissCount = 3, Fields.ClearCount = 4;  // (20 x 12 + 6) x 4 - 6 = 978: 0.978
    Show();
    ResultSettings& r = ResultIni;
    for (auto [item, text] : {std::pair{&r.MaxComboItem, "MaxCombo12"}, {&r.MissItem, "Miss3"}, {&r.ClearItem, "Clear4"},
                              {&r.RateItem, "タイプ極め度は0.978％です"}}) {
        SurfacePtr expected = Surface(640, 480);
        expected->SetFont(item->Font), expected->SetForeColor(item->Color);
        expected->DrawText(item->X, item->Y, text, false);
        const std::vector<int32_t> band = Pixels(*expected, RECT{0, item->Y, 640, item->Y + 25});
        ASSERT_EQ(last.size(), 640u * 480u);
        EXPECT_TRUE(std::equal(band.begin(), band.end(), last.begin() + item->Y * 640)) << text;
    }
}

TEST_F(ResultSceneTest, ASmallBackgroundIsCopiedAtItsSizeAndNoneStopsTheScene) {
    Backgrounds.DDSurfResult = Surface(320, 240, 0x00FFFF);
    Backgrounds.ResultDesc.lWidth = 320, Backgrounds.ResultDesc.lHeight = 240;
    Show();
    ASSERT_EQ(last.at(10 * 640 + 10), 0x00FFFF);
    Backgrounds.DDSurfResult = nullptr;
    const uint64_t flips = headless::FrameCount();
    EXPECT_TRUE(!PrintResult() && headless::FrameCount() == flips);
}

}  // namespace
}  // namespace dexlora::test
