// The key-configuration scene: double clicks on cells and page buttons,
// leaving through "Exit Configure" (questions rebuilt, KeyConf.txt saved),
// a table longer than the screen and a background smaller than it.
#include <filesystem>

#include "engine/keyconf_file.h"
#include "scenes/keyconf_layout.h"
#include "scenes/keyconf_scene.h"
#include "tests/support/fixture.h"

namespace dexlora::test {
namespace {

// Entries of the bundled Rome.ini: あ (A only), a placeholder, ふ (FU, HU)
// and ん (N, NN, N', XN).
constexpr int32_t EntryA = 0, EntryGap = 40, EntryFu = 52, EntryN = 94;

class KeyConfTest : public DexloraTest {
protected:
    KeyConfTest() {
        Screen();
        Tables();
        Backgrounds.DDSurfKeyConf = Surface(640, 480, White);
        Backgrounds.KeyConfDesc.lWidth = 640, Backgrounds.KeyConfDesc.lHeight = 480, GameState = Scene::KeyConf;
        Questions({{"本", "ほん"}, {"新聞", "しんぶん"}, {"富士", "ふじ"}});
        EXPECT_TRUE(LoadQuestions(SkinPath, "type.txt"));
    }
    // A double click on an entry's cell.
    static void DoubleClick(int32_t x, int32_t y) { Form_MouseDown(1, 0, float(x), float(y)), Form_DblClick(); }
    static void DoubleClick(int32_t entry) {
        int32_t left = 0, top = 0;
        KeyConfCellOrigin(entry, left, top);
        DoubleClick(left + 21, top + 18);
    }
    static std::vector<int32_t> Selections(const RomeEntries& table) {
        std::vector<int32_t> selected;
        for (const RomeEntry& e : table) selected.push_back(e.Selected);
        return selected;
    }
};

TEST_F(KeyConfTest, DoubleClicksChangeTheCellOrThePage) {
    // Page, entry, and its choice after each double click.
    const std::tuple<const char*, int32_t, int32_t, std::vector<int32_t>> rows[] = {
        {"two spellings toggle", 0, EntryFu, {1, 0, 1}},
        {"one spelling stays", 0, EntryA, {0, 0}},
        {"a placeholder does not react", 0, EntryGap, {0, 0}},
        {"four spellings cycle and wrap", 0, EntryN, {1, 2, 3, 0, 1}},
        {"a pair on the second page", 1, 0, {1, 0, 1}},
    };
    for (const auto& [name, page, entry, afterEach] : rows) {
        Fields.KeyConfPage = page;
        RomeEntries& table = page == 0 ? RomeTable : Rome2Table;
        for (RomeEntries* t : {&RomeTable, &Rome2Table})
            for (RomeEntry& e : *t) e.Selected = 0;
        for (size_t i = 0; i < afterEach.size(); ++i) {
            std::vector<int32_t> expected = Selections(table);
            expected[size_t(entry)] = afterEach[i];
            DoubleClick(entry);
            EXPECT_EQ(Selections(table), expected) << name << ", click " << i + 1;
        }
        EXPECT_EQ(std::pair(PendingScene(), GameState), std::pair(NextScene::None, Scene::KeyConf)) << name;
    }
    // Key 2, Key 1, between the buttons, between the grids.
    for (auto [x, y, before, after] : {std::tuple{450, 445, 0, 1}, {300, 430, 1, 0}, {405, 440, 1, 1}, {100, 200, 0, 0}}) {
        Fields.KeyConfPage = before, DoubleClick(x, y);
        EXPECT_EQ(Fields.KeyConfPage, after) << x << "," << y;
    }
}

TEST_F(KeyConfTest, ExitConfigureRebuildsTheQuestionsAndSavesTheChoicesOnlyWhenTheyCanBeTyped) {
    DoubleClick(EntryN);   // NN
    DoubleClick(EntryFu);  // HU
    // type.txt at the time (nullptr: gone), and what comes next.
    const std::tuple<const char*, const char*, NextScene> rows[] = {
        {"type.txt gone", nullptr, NextScene::EndNow},
        {"no question can be spelled any more", "x\n＠\n\n", NextScene::Shutdown},
        {"the questions as they were", "本\nほん\n\n新聞\nしんぶん\n\n富士\nふじ\n\n", NextScene::Title},
    };
    for (const auto& [name, typeTxt, next] : rows) {
        ResetSceneControl(), ShowMousePointer(true), std::filesystem::remove(skin + "type.txt");
        GameState = Scene::KeyConf;
        if (typeTxt) Ini("type.txt", typeTxt);
        DoubleClick(560, 445);
        EXPECT_EQ(PendingScene(), next) << name;
        EXPECT_EQ(std::filesystem::exists(system + "KeyConf.txt"), next == NextScene::Title) << name;
        EXPECT_EQ(MousePointerShown(), next != NextScene::Title) << name;
    }
    EXPECT_EQ(GameState, Scene::Title);
    std::vector<std::string> romaji;
    for (int32_t i = 1; i <= QuestionMax + 1; ++i) romaji.emplace_back(dexlora::Questions[size_t(i)].Romaji);
    EXPECT_EQ(romaji, (std::vector<std::string>{"HONN", "SINNBUNN", "HUZI"}));
    // KeyConf.txt read back as chosen.
    for (RomeEntry& e : RomeTable) e.Selected = 0;
    ASSERT_TRUE(LoadKeyConf("KeyConf.txt"));
    EXPECT_EQ(std::pair(RomeTable[EntryN].Selected, RomeTable[EntryFu].Selected), std::pair(1, 1));
}

TEST_F(KeyConfTest, ATableLongerThanTheScreenKeepsToItsCells) {
    // 150 entries (and the two spare ones): the first 140 fill both grids,
    // the rest have no cell and are neither drawn nor chosen.
    auto frame = [](size_t entries, const std::string& kana = "あ") {
        RomeEntries table(entries, RomeEntry{kana, 2, {"A", "AA", ""}, 0});
        table.resize(entries + 2);
        DDSurfBack->BltFast(0, 0, *Backgrounds.DDSurfKeyConf, ScreenRect, DDBLTFAST_WAIT);
        DrawKeyConfFrame(), DrawKeyConfTable(table);
        RomeTable = table;
        return Pixels(*DDSurfBack, ScreenRect);
    };
    EXPECT_EQ(frame(140), frame(150));
    EXPECT_NE(frame(140), frame(140, "")) << "each cell shows its kana";
    DoubleClick(139);
    EXPECT_EQ(RomeTable[139].Selected, 1);
    EXPECT_EQ(std::count_if(RomeTable.begin() + 140, RomeTable.end(), [](const RomeEntry& e) { return e.Selected; }), 0);
}

TEST_F(KeyConfTest, ABackgroundSmallerThanTheScreenIsCopiedAtItsSize) {
    Backgrounds.DDSurfKeyConf = Surface(200, 100, 0x00FFFF);
    Backgrounds.KeyConfDesc.lWidth = 200, Backgrounds.KeyConfDesc.lHeight = 100;
    int32_t corner = -1;
    headless::OnFlip([&](const DirectDrawSurface7& frame, uint64_t) { corner = frame.GetPixel(5, 5); });
    headless::Script({{GetTickCount() + 100, Kind::DblClick, 0, 560, 445}});
    KeyConfStart();
    EXPECT_EQ(std::pair(PendingScene(), corner), std::pair(NextScene::Title, 0x00FFFF));
}

}  // namespace
}  // namespace dexlora::test
