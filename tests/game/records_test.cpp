// The records scene: what a page shows for a few histories, a skin's records.ini, and any key back to the title.
#include <cmath>

#include "engine/history.h"
#include "scenes/keyconf_layout.h"
#include "scenes/records_scene.h"
#include "settings/ini.h"
#include "tests/support/fixture.h"

namespace dexlora::test {
namespace {

class RecordsTest : public DexloraTest {
protected:
    RecordsTest() { Tables(); }
    // A game of a length with its figures and kana ("kana:right:misses" each).
    static GameRecord Game(int32_t length, double kpm, double accuracy, std::vector<KanaRecord> kana = {}) {
        return GameRecord{.When = 1796000000, .Length = length, .KeysPerMinute = kpm, .Accuracy = accuracy, .Kana = kana};
    }
    // A pixel inside a kana's heat-map cell, left of its text.
    static int32_t Cell(const DirectDrawSurface7& page, const std::string& kana) {
        for (int32_t p = 0; p < 2; ++p) {
            const RomeEntries& table = p == 0 ? RomeTable : Rome2Table;
            for (int32_t e = 0; e < std::min(RomeEntryCount(table), KeyConfScreenEntries); ++e)
                if (table[size_t(e)].Kana == kana) {
                    const RECT c = RecordsHeatCell(p, e);
                    return page.GetPixel(c.Left + 3, (c.Top + c.Bottom) / 2);
                }
        }
        return -1;
    }
    SurfacePtr Page(const std::vector<GameRecord>& games) {
        SurfacePtr page = Surface(ScreenWidth, ScreenHeight);
        DrawRecordsPage(*page, games);
        return page;
    }
};

TEST_F(RecordsTest, ThePageShowsTheHistory) {
    const RecordsSettings look;
    const KanaRecord shiRight{"し", 10, 0, 1, 300}, tsuMissed{"つ", 5, 5, 1, 900}, kyaOnce{"きゃ", 9, 1, 0, 0};
    std::vector<GameRecord> many(RecordsChartGames, Game(60, 150, 1, {shiRight}));
    many.insert(many.begin(), Game(60, 900, 0, {tsuMissed}));  // beyond the chart's and the heat map's games
    const double nan = std::nan("");
    // Games; where the chart's last point stands (top of scale, kpm, accuracy) or none; cells of し, つ, きゃ.
    const struct { const char* name; std::vector<GameRecord> games; double top, kpm, accuracy; int32_t shi, tsu, kya; } rows[] = {
        {"no history", {}, 0, 0, 0, look.BackColor, look.BackColor, look.BackColor},
        {"one game", {Game(60, 150, 0.5, {shiRight, tsuMissed, kyaOnce})}, 200, 150, 0.5, look.ColdColor, look.HotColor,
         PackColor(143, 66, 82)},  // half way: 10 misses per 100 keys
        {"an older game left out", many, 200, 150, 1, look.ColdColor, look.PanelColor, look.PanelColor},
        {"figures out of range", {Game(30, nan, 7, {shiRight})}, 100, 0, 1, look.ColdColor, look.PanelColor, look.PanelColor},
    };
    for (const auto& row : rows) {
        const SurfacePtr page = Page(row.games);
        const RECT plot = RecordsPlot;
        const size_t n = std::min(row.games.size(), RecordsChartGames);
        EXPECT_EQ(CountColour(*page, plot, look.SpeedColor) > 0, n > 0) << row.name;
        if (n > 0) {
            const int32_t x = RecordsChartX(n - 1, n);
            EXPECT_EQ(x, plot.Right - 1) << row.name << ": the latest game at the right";
            EXPECT_EQ(page->GetPixel(x, RecordsChartY(row.kpm, row.top)), look.SpeedColor) << row.name;
            EXPECT_EQ(page->GetPixel(x, RecordsChartY(row.accuracy, 1)), look.AccuracyColor) << row.name;
        }
        EXPECT_EQ(std::vector({Cell(*page, "し"), Cell(*page, "つ"), Cell(*page, "きゃ")}),
                  std::vector({row.shi, row.tsu, row.kya})) << row.name;
    }
    // A game of each length fills its bests row; the rows of the others show a dash.
    auto bestsRow = [&](const SurfacePtr& page, int row) {
        return CountColour(*page, {130, 42 + 16 * row, 620, 56 + 16 * row}, look.TextColor, 40);
    };
    const SurfacePtr oneLength = Page({Game(30, 150, 0.5)});
    EXPECT_GT(bestsRow(oneLength, 1), 4 * bestsRow(oneLength, 0));
    EXPECT_EQ(bestsRow(oneLength, 0), bestsRow(oneLength, 2));
}

TEST_F(RecordsTest, ASkinGivesItsColoursAndBackground) {
    Bmp("skin/sky.bmp", 640, 480, Green);
    const RecordsSettings plain;
    const int32_t margin[2] = {635, 300}, panel[2] = {620, 150};
    // records.ini ("-" none); the margin's and a panel's colour, the chart's speed colour; a warning; the end.
    const struct { const char* ini; int32_t margin, panel, speed; bool warned, ended; } rows[] = {
        {"-", plain.BackColor, plain.PanelColor, plain.SpeedColor, false, false},
        {"[BackGround]\nBackColor=0,0,255\n[Chart]\nSpeedColor=255,0,0\nPanelColor=0,0,0\n", Blue, Black, Red, false, false},
        {"[BackGround]\nFileName=Sky.BMP\n[Chart]\nPanelColor=0,0,0\nPanelOpacity=50\n", Green, 0x008000, plain.SpeedColor, false, false},
        {"[Chart]\nPanelOpacity=-5\nPanelColor=0,0,0\n", plain.BackColor, plain.BackColor, plain.SpeedColor, false, false},
        {"[RecordsText]\nRecordsFontSize=0\n[Chart]\nSpeedColor=255,0,0\n", plain.BackColor, plain.PanelColor, plain.SpeedColor, true, false},
        {"[BackGround]\nFileName=gone.bmp\n", plain.BackColor, plain.PanelColor, plain.SpeedColor, false, true},
    };
    for (const auto& row : rows) {
        ResetSkinGlobals(), ResetSceneControl(), ErrLog.clear();
        std::filesystem::remove(skin + "records.ini");
        if (std::string(row.ini) != "-") Ini("records.ini", row.ini);
        LoadRecordsSettings(skin);
        const SurfacePtr page = Page({Game(60, 100, 0.5)});
        EXPECT_EQ(std::vector({page->GetPixel(margin[0], margin[1]), page->GetPixel(panel[0], panel[1]),
                               page->GetPixel(RecordsChartX(0, 1), RecordsChartY(100, 100))}),
                  std::vector({row.margin, row.panel, row.speed})) << row.ini;
        EXPECT_EQ(ErrLog.find("records.ini") != std::string::npos, row.warned) << row.ini;
        EXPECT_EQ(PendingScene() == NextScene::Shutdown, row.ended) << row.ini;
    }
}

TEST_F(RecordsTest, AnyKeyReturnsToTheTitle) {
    for (const bool functionKey : {false, true}) {
        ResetSceneControl(), OpenRecords();
        char32_t letter = U'a';
        functionKey ? Form_KeyDown(KeyCode::F3, 0) : Form_KeyPress(letter);
        EXPECT_TRUE(PendingScene() == NextScene::Title && GameState == Scene::Title) << functionKey;
    }
}

}  // namespace
}  // namespace dexlora::test
