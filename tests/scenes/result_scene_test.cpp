// The result scene on the headless display: the rank's animation files, the
// entry of the window and the big character, keys before and after
// ResultReady, and the figures.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "scene_fixture.h"
#include "scenes/result_scene.h"

namespace dexlora::test {
namespace {

constexpr int32_t Background = 0x000000;
constexpr int32_t FigureColour = 0xFF0000;  // blue: never grey like the prompt

class ResultSceneTest : public SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        DDSurfResult = Plain(Background);
        ResultDesc = SurfaceDesc{DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH, 480, 640, 0, DDSCAPS_OFFSCREENPLAIN};
        const StdFont font{"MS UI Gothic", 10.0f, false};
        EnterItem = TextItem{300, 190, font, "Press Any Key", 0};
        MaxComboItem = TextItem{300, 230, font, "MaxCombo", FigureColour};
        MissItem = TextItem{300, 260, font, "Miss", FigureColour};
        ClearItem = TextItem{300, 290, font, "Clear", FigureColour};
        RateItem = TextItem{300, 320, font, "タイプ極め度は", FigureColour};
        RateSuffix = "％です";
        ResultPromptDirection = false;
        GameState = 2;
        ResultReady = false;
    }
    MainWindowEvents TestEvents() override {
        MainWindowEvents events = SceneTest::TestEvents();
        events.KeyPress = [this](char32_t& key) {
            keys_.push_back({key, ResultReady});
            Form_KeyPress(key);
        };
        return events;
    }
    // A sprite sheet of one 16x16 cell in the skin folder: a key-coloured
    // corner and a solid body.
    std::string SpriteSheet(const std::string& name, int32_t colour) {
        SurfacePtr sheet = MakeSurface(16, 16);
        sheet->FillRect(RECT{0, 0, 16, 16}, colour);
        sheet->SetPixel(0, 0, 0x00FF00);
        SaveBmp(sheet, name);
        std::filesystem::copy_file(ScratchPath(name), SkinPath + name, std::filesystem::copy_options::overwrite_existing);
        return SkinPath + name;
    }
    // A sprite that enters in moves + 1 frames of the entry loop (one to
    // start, then one a move).
    void SetUpEntrySprite(clsAnimeCharacter& sprite, int32_t moves, int32_t x, int32_t colour) {
        sprite = clsAnimeCharacter{};
        sprite.InitFromFile(DDraw, SpriteSheet("sprite" + std::to_string(colour) + ".bmp", colour));
        sprite.InitPosition(x, 400, 0, -1);
        sprite.InitAnimeData(1, 0, 0, 1, 1, true, moves - 1);
        sprite.AutoSetRegionColor();
    }
    // Runs the scene with keys typed at the given times after its start,
    // recording for every flip whether ResultReady was set, and the frame.
    void Run(const std::vector<uint32_t>& keyOffsets) {
        const uint32_t start = GetTickCount();
        std::vector<headless::ScriptedEvent> events;
        for (uint32_t at : keyOffsets) events.push_back({start + at, headless::ScriptedEvent::Kind::Key, U'a'});
        headless::Script(events);
        ready_.clear();
        frames_.clear();
        headless::OnFlip([this](const DirectDrawSurface7& frame, uint64_t) {
            ready_.push_back(ResultReady);
            frames_.push_back(CaptureFrame(frame));
        });
        EXPECT_TRUE(PrintResult());
        headless::OnFlip(nullptr);
        EXPECT_EQ(headless::PendingEvents(), 0u);
    }
    size_t FramesBeforeReady() const { return static_cast<size_t>(std::find(ready_.begin(), ready_.end(), true) - ready_.begin()); }

    std::vector<std::pair<char32_t, bool>> keys_;
    std::vector<bool> ready_;
};

TEST_F(ResultSceneTest, EntryLoop) {
    struct Row {
        const char* name;
        int32_t windowMoves;  // 0: no result window
        int32_t charaMoves;   // 0: no big character
        size_t framesBeforeReady;
    };
    const Row rows[] = {
        // The background shown after the wipe, then the entry frames.
        {"neither: one entry frame", 0, 0, 1 + 1},
        {"the window alone", 10, 0, 1 + 11},
        {"the big character alone", 0, 4, 1 + 5},
        {"both: until the slower one ends", 6, 20, 1 + 21},
        {"both: the window slower", 30, 3, 1 + 31},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ResetSceneControl();
        GameState = 2;
        ResultReady = false;
        UseResultWindow = row.windowMoves > 0;
        if (UseResultWindow) SetUpEntrySprite(ResultWindowAnime, row.windowMoves, 100, 0x0000FF);
        UseBigChara = row.charaMoves > 0;
        if (UseBigChara) SetUpEntrySprite(clsBigChara, row.charaMoves, 500, 0xFFFFFF);
        Run({3000});
        EXPECT_EQ(FramesBeforeReady(), row.framesBeforeReady);
        EXPECT_EQ(PendingScene(), NextScene::Title);
    }
}

TEST_F(ResultSceneTest, KeysAreIgnoredUntilTheResultIsShown) {
    // Ready comes after the first flip, 200 ms, one entry frame and 500 ms:
    // about 735 ms in. Keys before it do nothing; the first one after it
    // returns to the title, and the scene ends there.
    Run({5, 100, 250, 500, 700, 1500});
    const std::vector<std::pair<char32_t, bool>> expected{
        {U'a', false}, {U'a', false}, {U'a', false}, {U'a', false}, {U'a', false}, {U'a', true}};
    EXPECT_EQ(keys_, expected);
    EXPECT_EQ(GameState, 0);
    EXPECT_EQ(PendingScene(), NextScene::Title);
    ASSERT_FALSE(ready_.empty());
    EXPECT_TRUE(ready_.back());
    // The scene stopped with the key: no frame after it.
    EXPECT_LT(frames_.size(), 2 + 1500 / 40);
}

TEST_F(ResultSceneTest, TheFiguresFollowTheirLabels) {
    MaxCombo = 12;
    MissCount = 3;
    ClearCount = 4;  // (20 × 12 + 6) × 4 − 6 = 978: 0.978
    Run({1500});
    ASSERT_GT(frames_.size(), FramesBeforeReady());
    const Frame& shown = frames_.back();
    struct Row {
        const TextItem* item;
        std::string text;
    };
    const Row rows[] = {
        {&MaxComboItem, "MaxCombo12"}, {&MissItem, "Miss3"}, {&ClearItem, "Clear4"},
        {&RateItem, "タイプ極め度は0.978％です"},
    };
    for (const Row& row : rows) {
        SurfacePtr reference = Plain(Background);
        reference->SetFont(row.item->Font);
        reference->SetForeColor(row.item->Color);
        reference->DrawText(row.item->X, row.item->Y, row.text, false);
        const Frame expected = CaptureFrame(*reference);
        bool same = true;
        for (int32_t y = row.item->Y; y < row.item->Y + 25 && same; ++y)
            for (int32_t x = 0; x < 640 && same; ++x) same = shown.At(x, y) == expected.At(x, y);
        EXPECT_TRUE(same) << row.text;
    }
}

TEST_F(ResultSceneTest, TheRankPicksItsAnimationFiles) {
    // Each animation file names as many sprites as tells it apart.
    SpriteSheet("s.bmp", 0x808080);
    SaveBmp(Plain(Background), "Result.bmp");
    std::filesystem::copy_file(ScratchPath("Result.bmp"), SkinPath + "Result.bmp");
    auto animeFile = [this](const std::string& name, int sprites) {
        std::string names = "a";
        for (int i = 1; i < sprites; ++i) names += ",a";
        folder_.Write("skin/" + name, "[setting]\r\nAnimeName=" + names + "\r\n[a]\r\nFileName=s.bmp\r\n");
    };
    animeFile("rb0.ini", 1);
    animeFile("rb1.ini", 2);
    animeFile("Result_BackAnime.ini", 3);
    animeFile("rf0.ini", 1);
    animeFile("rf1.ini", 2);
    animeFile("rf2.ini", 3);
    animeFile("rf3.ini", 4);
    animeFile("Result_FrontAnime.ini", 5);
    const std::string ranked = "[Rank]\r\nPoint=90,70,50\r\nFileNameBack=rb0,rb1\r\nFileNameFront=rf0,rf1,rf2,rf3\r\n";
    struct Row {
        const char* name;
        bool ranks;
        int32_t maxCombo, clearCount, missCount;
        size_t backSprites, frontSprites;
    };
    const Row rows[] = {
        {"rank 0", true, 450, 10, 0, 1, 1},
        {"below every threshold: rank 3", true, 0, 0, 0, 3, 4},
        {"no Point list: the default files", false, 450, 10, 0, 3, 5},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        folder_.Write("skin/result.ini", row.ranks ? ranked : "");
        ResetSkinGlobals();
        LoadResultSettings(SkinPath);
        ASSERT_TRUE(ErrLog.empty()) << ErrLog;
        ResetSceneControl();
        GameState = 2;
        ResultReady = false;
        MaxCombo = row.maxCombo;
        ClearCount = row.clearCount;
        MissCount = row.missCount;
        size_t back = 0, front = 0;
        bool used = false;
        headless::Script({{GetTickCount() + 1500, headless::ScriptedEvent::Kind::Key, U'a'}});
        headless::OnFlip([&](const DirectDrawSurface7&, uint64_t) {
            back = UseResultBackAnime ? ResultBackAnime.size() : 0;
            front = UseResultFrontAnime ? ResultFrontAnime.size() : 0;
            used = true;
        });
        EXPECT_TRUE(PrintResult());
        headless::OnFlip(nullptr);
        ASSERT_TRUE(used);
        EXPECT_EQ(back, row.backSprites);
        EXPECT_EQ(front, row.frontSprites);
    }
}

TEST_F(ResultSceneTest, ABackgroundSmallerThanTheScreen) {
    // Copied at its own size: the scene still comes to its figures, and a
    // key still leaves it.
    DDSurfResult = MakeSurface(320, 240);
    DDSurfResult->FillRect(RECT{0, 0, 320, 240}, 0x00FFFF);
    ResultDesc.lWidth = 320;
    ResultDesc.lHeight = 240;
    Run({1500});
    EXPECT_EQ(PendingScene(), NextScene::Title);
    ASSERT_GT(frames_.size(), FramesBeforeReady());
    EXPECT_EQ(frames_.back().At(10, 10), 0x00FFFF);
}

TEST_F(ResultSceneTest, NoBackgroundStopsTheSceneQuietly) {
    DDSurfResult = nullptr;
    const uint64_t flips = headless::FrameCount();
    EXPECT_FALSE(PrintResult());
    EXPECT_EQ(headless::FrameCount(), flips);
    EXPECT_FALSE(SceneChangePending());
}

}  // namespace
}  // namespace dexlora::test
