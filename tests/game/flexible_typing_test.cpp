// Flexible romaji in the game: keys judged and counted through it, its guide drawn, F2 on the title and the options line.
#include "scenes/judgment.h"
#include "settings/player_options.h"
#include "settings/user_settings.h"
#include "tests/support/fixture.h"

namespace dexlora::test {
namespace {

class FlexibleTypingTest : public DexloraTest {
protected:
    ~FlexibleTypingTest() override { ResetPlayerOptions(); }
};

TEST_F(FlexibleTypingTest, KeysCountAsTheFixedRomajiCountsThem) {
    Tables();
    ASSERT_TRUE(SetOptionForRun(Option::FlexibleRomaji, "on"));
    dexlora::Questions = QuestionList{}, QuestionMax = 0;
    for (const Question& q : {Question{}, Question{"今茶", "こんちゃ", "KONTYA"}, Question{}}) dexlora::Questions.push_back(q);
    Fields = GameFields{};
    Fields.QuestionIndex = 1;
    // The key; typed, combo, max combo, misses, clears; the guide after it.
    struct Step { char key; int32_t typed, combo, maxCombo, misses, clears; const char* guide; };
    const Step steps[] = {
        {'K', 1, 1, 0, 0, 0, "KONTYA"}, {'O', 2, 2, 0, 0, 0, "KONTYA"}, {'N', 3, 3, 0, 0, 0, "KONTYA"},
        {'C', 4, 4, 0, 0, 0, "KONCHA"}, {'X', 4, 0, 4, 1, 0, "KONCHA"}, {'H', 5, 1, 4, 1, 0, "KONCHA"},
        {'A', 0, 2, 4, 1, 1, "KONTYA"}, {'K', 1, 3, 4, 1, 1, "KONTYA"}, {'O', 2, 4, 4, 1, 1, "KONTYA"},
        {'X', 3, 5, 4, 1, 1, "KOXNTYA"}, {'X', 3, 0, 5, 2, 1, "KOXNTYA"},
    };
    for (size_t i = 0; i < std::size(steps); ++i) {
        const Step& s = steps[i];
        JudgeKey(char32_t(s.key));
        const GameFields& f = Fields;
        EXPECT_EQ(std::tuple(f.TypedLength, f.Combo, f.MaxCombo, f.MissCount, f.ClearCount),
                  std::tuple(s.typed, s.combo, s.maxCombo, s.misses, s.clears)) << "step " << i;
        ASSERT_NE(FlexibleMatcher(), nullptr);
        EXPECT_EQ(FlexibleMatcher()->Guide(), s.guide) << "step " << i;
    }
    ResetPlayerOptions();
    EXPECT_EQ(FlexibleMatcher(), nullptr) << "off: the fixed romaji judges";
}

TEST_F(FlexibleTypingTest, F2SwitchesItOnTheTitleWhoseLineShowsIt) {
    // A black skin without an options line of its own: the line shows at the
    // foot only while the option is on.
    Tables(false);
    for (const char* name : {"Title", "Game", "Result", "KeyConf"}) Bmp("skin/" + std::string(name) + ".bmp", 640, 480, Black);
    Questions({{"社", "しゃ"}});
    Ini("Game.ini", "[QuestionText]\nRomeX=20\nRomeY=100\nQuestionFontColor2=0,255,0\nQuestionFontColor3=255,0,0\n");
    root.Write("system/System.ini", SystemIni(skin));
    std::vector<int> lineInk;  // white pixels at the foot of each title frame
    std::string remembered;
    int step = 0;
    onFrame = [&](const DirectDrawSurface7& frame, const FrameRecord& r) {
        if (r.State == Scene::Title) lineInk.push_back(CountColour(frame, RECT{0, 455, 640, 480}, White, 64));
        const auto fkey = [](uint32_t delay) {
            headless::Script({{.At = GetTickCount() + delay, .Type = Kind::KeyDown, .Code = KeyCode::F2}});
        };
        if (step == 0 && r.State == Scene::Title && lineInk.size() > 10) ++step, fkey(0), Key(U's', 300);
        if (step == 1 && r.State == Scene::Game && r.Question == 1) {
            ++step, remembered = TempFolder::Read(SettingsFileToWrite("Options.ini"));
            for (uint32_t i = 0; i < 7; ++i) Key(U"sixyaka"[i], 50 + 50 * i);  // しゃ, then two misses
        }
        if (step == 2 && r.State == Scene::Result) ++step, Key(U'q', 4000);
        if (step == 3 && r.State == Scene::Title) ++step, lineInk.clear(), fkey(300), Key(27, 600);
    };
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(std::tuple(Fields.ClearCount, Fields.MissCount, Fields.MaxCombo), std::tuple(1, 2, 5));
    EXPECT_NE(remembered.find("flexible-romaji=on"), std::string::npos) << remembered;
    ASSERT_GT(lineInk.size(), 20u);
    EXPECT_GT(lineInk.front(), 0) << "on: the line drawn";
    EXPECT_EQ(lineInk.back(), 0) << "off again: a skin without the line looks as before";
}

}  // namespace
}  // namespace dexlora::test
