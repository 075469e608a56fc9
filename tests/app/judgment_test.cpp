// The key handler without a running scene: the scene table of every key, and
// the judgment of typed characters with its counters and sounds.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "drawing/scene_control.h"
#include "engine/questions.h"
#include "platform/sound.h"
#include "platform/window.h"
#include "scenes/game_fields.h"
#include "scenes/judgment.h"
#include "scenes/scenes.h"
#include "skin/loaders/loaders.h"
#include "tests/platform_core/temp_folder.h"
#include "tests/skin/loader_fixture.h"

namespace dexlora::test {
namespace {

// A question list holding these entries, spare ones included.
QuestionList MakeQuestions(const std::vector<Question>& entries) {
    QuestionList list;
    for (const Question& q : entries) list.push_back(q);
    return list;
}

class KeyTest : public ::testing::Test {
protected:
    PlatformSession session{DisplayKind::Headless};
    void SetUp() override {
        ResetSceneControl();
        ResetGameFields();
        ResultFrontAnime.clear();
    }
    void TearDown() override {
        ResetSceneControl();
        ResetSkinGlobals();
        Questions = QuestionList{};
    }
};

TEST_F(KeyTest, SceneKeysFollowGameState) {
    using N = NextScene;
    struct Case {
        int32_t state;
        bool resultReady;
        char32_t key;
        N next;
        int32_t stateAfter, timeLeft;
        bool pointerShown;
    };
    const std::vector<Case> cases = {
        {0, false, U'k', N::KeyConf, 3, 0, true},   {0, false, U'D', N::Game, 0, 30, false},
        {0, false, U's', N::Game, 0, 1, false},     {0, false, U'x', N::Game, 0, 60, false},
        {0, false, 13, N::Game, 0, 60, false},      {0, false, U'あ', N::Game, 0, 60, false},
        {0, false, 27, N::Shutdown, 0, 0, false},
        {1, false, 27, N::Shutdown, 1, 0, false},   {1, false, U'K', N::None, 1, 0, false},
        {2, false, U'a', N::None, 2, 0, false},     {2, false, 27, N::Shutdown, 2, 0, false},
        {2, true, U'a', N::Title, 0, 0, false},     {2, true, 13, N::Title, 0, 0, false},
        {3, false, U'a', N::None, 3, 0, false},     {3, false, 27, N::Shutdown, 3, 0, false},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        ResetSceneControl();
        ResetGameFields();
        ShowMousePointer(false);
        GameState = c.state;
        ResultReady = c.resultReady;
        ResultFrontAnime.resize(1);
        char32_t key = c.key;
        Form_KeyPress(key);
        EXPECT_EQ(PendingScene(), c.next) << "row " << i;
        EXPECT_EQ(GameState, c.stateAfter) << "row " << i;
        EXPECT_EQ(TimeLeft, c.timeLeft) << "row " << i;
        EXPECT_EQ(MousePointerShown(), c.pointerShown) << "row " << i;
        EXPECT_EQ(ResultFrontAnime.empty(), c.next == N::Title) << "row " << i << ": released on leaving the result";
        if (c.key >= U'a' && c.key <= U'z') EXPECT_EQ(key, c.key - 32) << "row " << i << ": upper-cased in place";
    }
}

TEST_F(KeyTest, MouseDownKeepsTheNearestPixel) {
    const std::vector<std::pair<float, int32_t>> cases = {{10.4f, 10}, {10.6f, 11}, {2.5f, 2}, {3.5f, 4}};
    for (auto [x, expected] : cases) {
        Form_MouseDown(1, 0, x, x);
        EXPECT_EQ(MouseX, expected) << x;
        EXPECT_EQ(MouseY, expected) << x;
    }
}

TEST_F(KeyTest, JudgmentCountsKeysAndPlaysTheirSounds) {
    testing_support::TempFolder folder;
    DirectSoundPtr dsound = DirectSoundCreate("");
    // A steady sound two seconds long, so that "playing" is stable for the test.
    const std::string wave = folder.Write("s.wav", WaveFile(2 * 8000, '\x40'));
    for (SoundSlot& slot : GameSounds) {
        DSBUFFERDESC desc{DSBCAPS_STATIC};
        WAVEFORMATEX format;
        slot.Buffer = dsound->CreateSoundBufferFromFile(wave, desc, format);
        slot.Loaded = true;
    }
    const bool audible = dsound->HasAudio();
    // One question, so every pick is question 1 again.
    Questions = MakeQuestions({{}, {"あ・い", "あ･い", "A\uFF65I"}, {}});
    QuestionMax = 0;
    struct Step {
        char32_t key;
        int32_t typed, combo, maxCombo, misses, clears;
        const char* sounds;  // which of key, completion, miss started: "k", "c", "m" or ""
    };
    const std::vector<Step> steps = {
        {U'A', 1, 1, 0, 0, 0, "k"},        {U'X', 1, 0, 1, 1, 0, "m"},  {U'X', 1, 0, 1, 2, 0, "m"},
        {U'\uFF65', 2, 1, 1, 2, 0, "k"},   {U'I', 0, 2, 1, 2, 1, "c"},  {U'A', 1, 3, 1, 2, 1, "k"},
        {U'/', 2, 4, 1, 2, 1, ""},         {U'i', 2, 0, 4, 3, 1, "m"},  {U'I', 0, 1, 4, 3, 2, "c"},
    };
    QuestionIndex = 1;
    for (size_t i = 0; i < steps.size(); ++i) {
        const Step& s = steps[i];
        for (SoundSlot& slot : GameSounds) slot.Buffer->Stop();
        JudgeKey(s.key);
        EXPECT_EQ(TypedLength, s.typed) << "step " << i;
        EXPECT_EQ(Combo, s.combo) << "step " << i;
        EXPECT_EQ(MaxCombo, s.maxCombo) << "step " << i;
        EXPECT_EQ(MissCount, s.misses) << "step " << i;
        EXPECT_EQ(ClearCount, s.clears) << "step " << i;
        EXPECT_EQ(QuestionIndex, 1) << "step " << i;
        if (!audible) continue;
        std::string played;
        if (GameSounds[0].Buffer->IsPlaying()) played += "k";
        if (GameSounds[1].Buffer->IsPlaying()) played += "c";
        if (GameSounds[2].Buffer->IsPlaying()) played += "m";
        EXPECT_EQ(played, s.sounds) << "step " << i;
    }
    ClearSoundSlots(GameSounds);
}

TEST_F(KeyTest, KeysWithNothingToTypeAreIgnored) {
    struct Case {
        const char* name;
        std::vector<Question> questions;
        int32_t index, typed;
    };
    const std::vector<Case> cases = {
        {"the spare empty entry before the first game", {{}, {"あ", "あ", "A"}, {}}, 0, 0},
        {"an index past a shorter rebuilt list", {{}, {"あ", "あ", "A"}, {}}, 7, 0},
        {"a negative index", {{}, {"あ", "あ", "A"}, {}}, -1, 0},
        {"typed past the end", {{}, {"あ", "あ", "A"}, {}}, 1, 5},
    };
    for (const Case& c : cases) {
        Questions = MakeQuestions(c.questions);
        QuestionMax = int32_t(Questions.size()) - 3;
        ResetGameFields();
        QuestionIndex = c.index;
        TypedLength = c.typed;
        for (char32_t key : {U'A', U'X', U'/'}) JudgeKey(key);
        EXPECT_EQ(std::tuple(TypedLength, Combo, MissCount, ClearCount), std::tuple(c.typed, 0, 0, 0)) << c.name;
        EXPECT_FALSE(Judgment()) << c.name;
    }
}

TEST_F(KeyTest, PicksCoverEveryQuestionAndNoOther) {
    struct Case {
        int32_t count;
        uint32_t seed;
    };
    for (const Case& c : std::vector<Case>{{1, 1}, {3, 2}, {10, 3}, {100000, 4}}) {
        QuestionMax = c.count - 1;
        SeedRandom(c.seed);
        std::vector<int> seen(size_t(c.count) + 2);
        for (int i = 0; i < std::min(c.count * 20, 200000); ++i) {
            const int32_t q = PickQuestion();
            ASSERT_GE(q, 1) << c.count;
            ASSERT_LE(q, c.count) << c.count;
            ++seen[size_t(q)];
        }
        if (c.count <= 10)
            for (int q = 1; q <= c.count; ++q) EXPECT_GT(seen[size_t(q)], 0) << c.count << " question " << q;
    }
}

}  // namespace
}  // namespace dexlora::test
