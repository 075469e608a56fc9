// Flexible romaji in the game: keys judged and counted through it, its guide drawn, F2 on the title and the options line.
#include "scenes/judgment.h"
#include "settings/player_options.h"
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

TEST_F(FlexibleTypingTest, F2OnTheTitleSwitchesItAndALineShowsItOnASkinWithoutOne) {
    Tables(false);
    for (const char* name : {"Title", "Game", "Result", "KeyConf"}) Bmp("skin/" + std::string(name) + ".bmp", 640, 480, Black);
    Questions({{"社", "しゃ"}});
    std::vector<int> lineInk;  // white pixels at the foot of each title frame
    std::vector<bool> on;
    onFrame = [&](const DirectDrawSurface7& frame, const FrameRecord&) {
        lineInk.push_back(CountColour(frame, RECT{0, 455, 640, 480}, White, 64));
        on.push_back(OptionOn(Option::FlexibleRomaji));
        if (lineInk.size() == 60 || lineInk.size() == 100)  // an even number: off again, as remembered
            headless::Script({{.At = GetTickCount(), .Type = Kind::KeyDown, .Code = KeyCode::F2}});
        if (lineInk.size() == 115) Key(27);
    };
    EXPECT_EQ(Run(), 0);
    for (size_t frame : {55, 95, 112}) EXPECT_EQ(lineInk[frame] > 0, on[frame]) << "frame " << frame;
    EXPECT_TRUE(on[95] && !on[112]) << "F2 switches it on and off";
}

}  // namespace
}  // namespace dexlora::test
