// The key handler without a running scene: the next scene of every key in
// every scene, the judgment of typed characters with its counters and
// sounds, keys with nothing to type, and the question picks.
#include "platform/sound.h"
#include "tests/support/fixture.h"
#include "scenes/anime_lists.h"
#include "scenes/judgment.h"

namespace dexlora::test {
namespace {

class KeyTest : public DexloraTest {
protected:
    // One question between the spare empty entries, so that every pick is question 1.
    static void OneQuestion(const Question& q) {
        dexlora::Questions = QuestionList{};
        for (const Question& entry : {Question{}, q, Question{}}) dexlora::Questions.push_back(entry);
        QuestionMax = 0;
    }
};

TEST_F(KeyTest, SceneKeysFollowGameState) {
    using N = NextScene;
    struct Row {
        int32_t state;
        bool resultReady;
        char32_t key;
        N next;
        int32_t stateAfter, timeLeft;
        bool pointerShown;
    };
    const Row rows[] = {
        {0, false, U'k', N::KeyConf, 3, 0, true},   {0, false, U'D', N::Game, 0, 30, false},
        {0, false, U's', N::Game, 0, 1, false},     {0, false, U'x', N::Game, 0, 60, false},
        {0, false, 13, N::Game, 0, 60, false},      {0, false, U'あ', N::Game, 0, 60, false},
        {0, false, 27, N::Shutdown, 0, 0, false},   {1, false, 27, N::Shutdown, 1, 0, false},
        {1, false, U'K', N::None, 1, 0, false},     {2, false, U'a', N::None, 2, 0, false},
        {2, false, 27, N::Shutdown, 2, 0, false},   {2, true, U'a', N::Title, 0, 0, false},
        {3, false, U'a', N::None, 3, 0, false},     {3, false, 27, N::Shutdown, 3, 0, false},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        const Row& row = rows[i];
        ResetSceneControl();
        ResetGameFields();
        ShowMousePointer(false);
        GameState = row.state;
        ResultReady = row.resultReady;
        ResultFrontAnime.resize(1);
        char32_t key = row.key;
        Form_KeyPress(key);
        EXPECT_EQ(std::tuple(PendingScene(), GameState, TimeLeft, MousePointerShown()),
                  std::tuple(row.next, row.stateAfter, row.timeLeft, row.pointerShown)) << "row " << i;
        EXPECT_EQ(ResultFrontAnime.empty(), row.next == N::Title) << "row " << i << ": released on leaving the result";
        EXPECT_EQ(key, row.key >= U'a' && row.key <= U'z' ? row.key - 32 : row.key) << "row " << i << ": upper-cased in place";
    }
    for (auto [x, rounded] : {std::pair{10.4f, 10}, {10.6f, 11}, {2.5f, 2}, {3.5f, 4}}) {
        Form_MouseDown(1, 0, x, x);
        EXPECT_EQ(std::pair(MouseX, MouseY), std::pair(rounded, rounded)) << x << ": the nearest pixel, ties to even";
    }
}

TEST_F(KeyTest, JudgmentCountsKeysAndPlaysTheirSounds) {
    // A steady sound two seconds long, so that "playing" holds for the test.
    const std::string wave = root.Write("s.wav", WaveFile(2 * 8000, '\x40'));
    for (SoundSlot& slot : GameSounds) {
        DSBUFFERDESC desc{DSBCAPS_STATIC};
        WAVEFORMATEX format;
        slot.Buffer = DSound->CreateSoundBufferFromFile(wave, desc, format);
        slot.Loaded = true;
    }
    OneQuestion({"あ・い", "あ･い", "A\uFF65I"});
    QuestionIndex = 1;
    struct Step {
        char32_t key;
        int32_t typed, combo, maxCombo, misses, clears;
        const char* sounds;  // which of key, completion and miss started
    };
    const Step steps[] = {
        {U'A', 1, 1, 0, 0, 0, "k"},      {U'X', 1, 0, 1, 1, 0, "m"}, {U'X', 1, 0, 1, 2, 0, "m"},
        {U'\uFF65', 2, 1, 1, 2, 0, "k"}, {U'I', 0, 2, 1, 2, 1, "c"}, {U'A', 1, 3, 1, 2, 1, "k"},
        {U'/', 2, 4, 1, 2, 1, ""},       {U'i', 2, 0, 4, 3, 1, "m"}, {U'I', 0, 1, 4, 3, 2, "c"},
    };
    for (size_t i = 0; i < std::size(steps); ++i) {
        const Step& s = steps[i];
        for (SoundSlot& slot : GameSounds) slot.Buffer->Stop();
        JudgeKey(s.key);
        EXPECT_EQ(std::tuple(TypedLength, Combo, MaxCombo, MissCount, ClearCount, QuestionIndex),
                  std::tuple(s.typed, s.combo, s.maxCombo, s.misses, s.clears, 1)) << "step " << i;
        std::string played;
        for (int slot = 0; slot < 3; ++slot)
            if (GameSounds[slot].Buffer->IsPlaying()) played += "kcm"[slot];
        EXPECT_EQ(played, DSound->HasAudio() ? s.sounds : "") << "step " << i;
    }
    ClearSoundSlots(GameSounds);
}

TEST_F(KeyTest, KeysWithNothingToTypeAreIgnored) {
    // The spare empty entry before the first game, an index past the list or
    // below it, and a question typed to its end.
    for (auto [index, typed] : {std::pair{0, 0}, {7, 0}, {-1, 0}, {1, 5}}) {
        OneQuestion({"あ", "あ", "A"});
        ResetGameFields();
        QuestionIndex = index;
        TypedLength = typed;
        for (char32_t key : {U'A', U'X', U'/'}) JudgeKey(key);
        EXPECT_EQ(std::tuple(TypedLength, Combo, MissCount, ClearCount), std::tuple(typed, 0, 0, 0)) << index;
        EXPECT_FALSE(Judgment()) << index;
    }
}

TEST_F(KeyTest, PicksCoverEveryQuestionAndNoOther) {
    for (int32_t count : {1, 3, 10, 100000}) {
        QuestionMax = count - 1;
        std::vector<int> seen(size_t(count) + 2);
        for (int i = 0; i < std::min(count * 20, 200000); ++i) ++seen[size_t(std::clamp(PickQuestion(), 0, count + 1))];
        EXPECT_EQ(seen.front() + seen.back(), 0) << count << ": a pick outside 1 to " << count;
        EXPECT_TRUE(count > 10 || std::count(seen.begin() + 1, seen.end() - 1, 0) == 0) << count << ": one never picked";
    }
}

}  // namespace
}  // namespace dexlora::test
