// The key-configuration scene on the headless display: double clicks on
// cells and buttons, leaving through "Exit Configure", and its pixels.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/keyconf_file.h"
#include "scene_fixture.h"
#include "scenes/keyconf_layout.h"
#include "scenes/keyconf_scene.h"

namespace dexlora::test {
namespace {

constexpr int32_t Background = 0xE0F0FF;  // a light cream, packed red + 256 green + 65536 blue
constexpr int32_t TextColour = 0x0000C0;  // dark red

// Entries of the bundled Rome.ini the cases rely on.
constexpr int32_t EntryA = 0;    // あ: A only
constexpr int32_t EntryFu = 52;  // ふ: FU, HU
constexpr int32_t EntryGap = 40; // a placeholder
constexpr int32_t EntryN = 94;   // ん: N, NN, N', XN

class KeyConfSceneTest : public SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        DDSurfKeyConf = Plain(Background);
        KeyConfDesc = SurfaceDesc{DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH, 480, 640, 0, DDSCAPS_OFFSCREENPLAIN};
        KeyConfFont = StdFont{"MS UI Gothic", 9.0f, false};
        KeyConfFontColor = TextColour;
        GameState = 3;
        WriteQuestions({{"本", "ほん"}, {"新聞", "しんぶん"}, {"富士", "ふじ"}});
        ASSERT_TRUE(LoadQuestions("type.txt"));
    }
    // A double click at (x, y), as the window delivers it.
    static void DoubleClick(int32_t x, int32_t y) {
        Form_MouseDown(1, 0, float(x), float(y));
        Form_DblClick();
    }
    // The middle of the cell showing entry.
    static std::pair<int32_t, int32_t> CellMiddle(int32_t entry) {
        int32_t left = 0, top = 0;
        KeyConfCellOrigin(entry, left, top);
        return {left + 21, top + 18};
    }
    static std::vector<int32_t> Selections(const RomeEntries& table) {
        std::vector<int32_t> selected;
        for (int32_t i = 0; i < RomeEntryCount(table); ++i) selected.push_back(table[static_cast<size_t>(i)].Selected);
        return selected;
    }
    // The frame the scene composes for a table, drawn here with its own
    // drawing functions.
    Frame Composed(const RomeEntries& table) {
        DDSurfBack->BltFast(0, 0, *DDSurfKeyConf, ScreenRect, DDBLTFAST_WAIT);
        DrawKeyConfFrame();
        DrawKeyConfTable(table);
        return CaptureFrame(*DDSurfBack);
    }
};

TEST_F(KeyConfSceneTest, DoubleClicksOnCells) {
    struct Row {
        const char* name;
        int32_t page;
        int32_t entry;
        int32_t clicks;
        std::vector<int32_t> selectedAfterEach;
    };
    const Row rows[] = {
        {"two spellings toggle", 0, EntryFu, 3, {1, 0, 1}},
        {"one spelling stays", 0, EntryA, 2, {0, 0}},
        {"a placeholder does not react", 0, EntryGap, 2, {0, 0}},
        {"four spellings cycle and wrap", 0, EntryN, 5, {1, 2, 3, 0, 1}},
        {"a pair on the second page, typed whole or kana by kana", 1, 0, 3, {1, 0, 1}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        for (RomeEntry& e : RomeTable) e.Selected = 0;
        for (RomeEntry& e : Rome2Table) e.Selected = 0;
        KeyConfPage = row.page;
        RomeEntries& table = row.page == 0 ? RomeTable : Rome2Table;
        const auto [x, y] = CellMiddle(row.entry);
        for (int32_t i = 0; i < row.clicks; ++i) {
            std::vector<int32_t> expected = Selections(table);
            expected[static_cast<size_t>(row.entry)] = row.selectedAfterEach[static_cast<size_t>(i)];
            DoubleClick(x, y);
            EXPECT_EQ(Selections(table), expected) << "after click " << i + 1;
        }
        EXPECT_FALSE(SceneChangePending());
        EXPECT_EQ(GameState, 3);
    }
}

TEST_F(KeyConfSceneTest, PageButtonsChangeOnlyTheGridShown) {
    RomeTable[EntryFu].Selected = 1;
    const std::vector<int32_t> before1 = Selections(RomeTable), before2 = Selections(Rome2Table);
    const Frame page0 = Composed(RomeTable);
    const Frame page1 = Composed(Rome2Table);
    ASSERT_NE(page0, page1);
    // Key 2 at t=100, between the grids at t=150 (nothing), Key 1 on its
    // corner at t=200, Key 2 at t=300, then leave at t=400. Every frame shows
    // the page KeyConfPage held when it was composed: a click shows in the
    // very next frame.
    headless::Script({
        {100, headless::ScriptedEvent::Kind::DblClick, 0, 450, 445},
        {150, headless::ScriptedEvent::Kind::DblClick, 0, 100, 200},
        {200, headless::ScriptedEvent::Kind::DblClick, 0, 300, 430},
        {300, headless::ScriptedEvent::Kind::DblClick, 0, 510, 460},
        {400, headless::ScriptedEvent::Kind::DblClick, 0, 570, 445},
    });
    std::vector<int32_t> pages;
    std::vector<bool> matches;
    headless::OnFlip([&](const DirectDrawSurface7& frame, uint64_t) {
        const Frame f = CaptureFrame(frame);
        pages.push_back(KeyConfPage);
        matches.push_back(f == (KeyConfPage == 0 ? page0 : page1));
    });
    KeyConfStart();
    headless::OnFlip(nullptr);
    EXPECT_EQ(PendingScene(), NextScene::Title);
    ASSERT_GT(pages.size(), 20u);
    for (size_t i = 0; i < pages.size(); ++i) EXPECT_TRUE(matches[i]) << "frame " << i;
    // The page changed exactly three times, starting with the page 1 frames.
    int changes = 0;
    for (size_t i = 1; i < pages.size(); ++i) changes += pages[i] != pages[i - 1];
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(pages.front(), 0);
    EXPECT_EQ(pages.back(), 1);
    RomeTable[EntryFu].Selected = before1[EntryFu];
    EXPECT_EQ(Selections(RomeTable), before1);
    EXPECT_EQ(Selections(Rome2Table), before2);
}

TEST_F(KeyConfSceneTest, ExitConfigureRebuildsQuestionsAndSavesTheChoices) {
    ShowMousePointer(true);
    DoubleClick(CellMiddle(EntryN).first, CellMiddle(EntryN).second);
    ASSERT_EQ(SelectedSpelling(RomeTable[EntryN]), "NN");
    DoubleClick(CellMiddle(EntryFu).first, CellMiddle(EntryFu).second);
    ASSERT_EQ(SelectedSpelling(RomeTable[EntryFu]), "HU");
    DoubleClick(560, 445);  // "Exit Configure"

    EXPECT_EQ(GameState, 0);
    EXPECT_EQ(PendingScene(), NextScene::Title);
    EXPECT_FALSE(MousePointerShown());
    std::vector<std::string> romaji;
    for (int32_t i = 1; i <= QuestionMax + 1; ++i) romaji.emplace_back(Questions[static_cast<size_t>(i)].Romaji);
    EXPECT_EQ(romaji, (std::vector<std::string>{"HONN", "SINNBUNN", "HUZI"}));

    const std::string saved = testing_support::TempFolder::Read(SystemPath + "KeyConf.txt");
    size_t lines = 0;
    for (size_t at = saved.find("\r\n"); at != std::string::npos; at = saved.find("\r\n", at + 2)) ++lines;
    EXPECT_EQ(lines, static_cast<size_t>(RomeEntryCount(RomeTable) + RomeEntryCount(Rome2Table)));
    // Read back into fresh tables, the choices are the ones made.
    for (RomeEntry& e : RomeTable) e.Selected = 0;
    ASSERT_TRUE(LoadKeyConf("KeyConf.txt"));
    EXPECT_EQ(RomeTable[EntryN].Selected, 1);
    EXPECT_EQ(RomeTable[EntryFu].Selected, 1);
}

TEST_F(KeyConfSceneTest, ExitConfigureWithABrokenQuestionFile) {
    struct Row {
        const char* name;
        const char* typeTxt;  // CP932-safe ASCII or UTF-8; null: no file
        NextScene outcome;
    };
    const Row rows[] = {
        {"type.txt gone", nullptr, NextScene::EndNow},
        {"type.txt cut inside a question", "a\r\n", NextScene::EndNow},
        {"no question can be spelled any more", "x\r\n\xef\xbc\xa0\r\n\r\n", NextScene::Shutdown},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ResetSceneControl();
        GameState = 3;
        std::filesystem::remove(SkinPath + "type.txt");
        std::filesystem::remove(SystemPath + "KeyConf.txt");
        if (row.typeTxt) folder_.Write("skin/type.txt", Utf8ToCp932(row.typeTxt));
        DoubleClick(560, 445);
        EXPECT_EQ(PendingScene(), row.outcome);
        EXPECT_FALSE(std::filesystem::exists(SystemPath + "KeyConf.txt"));
    }
}

TEST_F(KeyConfSceneTest, FramePixels) {
    const Frame f = Composed(RomeTable);
    struct Row {
        const char* name;
        int32_t x, y;
        int32_t colour;
    };
    const Row rows[] = {
        {"first cell's left line", 10, 30, 0},
        {"first cell's right line", 52, 30, 0},
        {"second cell's top line", 30, 47, 0},
        {"last upper cell's right line", 611, 180, 0},
        {"below the upper grid", 300, 195, Background},
        {"lower grid's top line", 300, 210, 0},
        {"right of the grids", 612, 100, Background},
        {"inside a placeholder's cell", 10 + 43 * 8 + 21, 10 + 18, Background},
        {"Key 1 box, left", 300, 445, 0},
        {"Exit Configure box, right", 619, 445, 0},
        {"between the buttons", 405, 445, Background},
    };
    for (const Row& row : rows) EXPECT_EQ(f.At(row.x, row.y), row.colour) << row.name;
    // Kana and spelling in the text colour, inside the cell of あ; labels in
    // their boxes.
    int32_t left = 0, top = 0;
    KeyConfCellOrigin(EntryA, left, top);
    EXPECT_TRUE(HasColour(f, RECT{left + 1, top + 1, left + 42, top + 18}, TextColour)) << "kana of あ";
    EXPECT_TRUE(HasColour(f, RECT{left + 1, top + 18, left + 42, top + 36}, TextColour)) << "spelling of あ";
    for (const KeyConfButton& b : KeyConfButtons)
        EXPECT_TRUE(HasColour(f, RECT{b.LabelX, b.LabelY, b.Right, b.Bottom}, TextColour)) << b.Label;
}

TEST_F(KeyConfSceneTest, ATableLongerThanTheScreen) {
    // 150 entries: the first 140 fill both grids, the rest have no cell and
    // nothing is drawn over the buttons.
    RomeEntries table;
    for (int i = 0; i < 150; ++i) table.push_back(RomeEntry{"あ", 2, {"A", "AA", ""}, 0});
    table.resize(152);
    RomeTable = table;
    const Frame f = Composed(RomeTable);
    const Frame empty = Composed(RomeEntries(2));
    for (int32_t y = 395; y < 480; ++y)
        for (int32_t x = 0; x < 640; ++x) ASSERT_EQ(f.At(x, y), empty.At(x, y)) << x << "," << y;
    DoubleClick(CellMiddle(139).first, CellMiddle(139).second);
    EXPECT_EQ(RomeTable[139].Selected, 1);
    for (int i = 140; i < 150; ++i) EXPECT_EQ(RomeTable[static_cast<size_t>(i)].Selected, 0);
}

TEST_F(KeyConfSceneTest, ABackgroundSmallerThanTheScreen) {
    DDSurfKeyConf = MakeSurface(200, 100);
    DDSurfKeyConf->FillRect(RECT{0, 0, 200, 100}, 0x00FFFF);
    KeyConfDesc.lWidth = 200;
    KeyConfDesc.lHeight = 100;
    headless::Script({{GetTickCount() + 100, headless::ScriptedEvent::Kind::DblClick, 0, 560, 445}});
    RecordFrames();
    KeyConfStart();
    EXPECT_EQ(PendingScene(), NextScene::Title);
    ASSERT_FALSE(frames_.empty());
    EXPECT_EQ(frames_.back().At(5, 5), 0x00FFFF);
}

}  // namespace
}  // namespace dexlora::test
