// The key handler without a running scene: the scene table it follows, the
// next scene of every key in every scene, the judgment of typed characters with its counters and
// sounds, keys with nothing to type or typed before the game shows its
// question, and the question picks.
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
        dexlora::Questions = QuestionList{}, QuestionMax = 0;
        for (const Question& entry : {Question{}, q, Question{}}) dexlora::Questions.push_back(entry);
    }
};

TEST(SceneTableTest, EveryStateHasItsRowAndRecord) {
    for (size_t i = 0; i < SceneCount; ++i) {
        const SceneRow& row = SceneTable()[i];
        EXPECT_TRUE(row.State == Scene(i) && row.Start && SceneStartedBy(row.StartedBy) == &row) << "row " << i;
    }
}

TEST_F(KeyTest, SceneKeysFollowGameState) {
    using N = NextScene;
    using S = Scene;
    struct Row { S state; bool resultReady; char32_t key; N next; S stateAfter; int32_t timeLeft; bool pointerShown; };
    const Row rows[] = {
        {S::Title, false, U'k', N::KeyConf, S::KeyConf, 0, true},  {S::Title, false, U'D', N::Game, S::Title, 30, false},
        {S::Title, false, U's', N::Game, S::Title, 1, false},  {S::Title, false, U'x', N::Game, S::Title, 60, false},
        {S::Title, false, 13, N::Game, S::Title, 60, false},  {S::Title, false, U'あ', N::Game, S::Title, 60, false},
        {S::Title, false, 27, N::Shutdown, S::Title, 0, false},  {S::Game, false, 27, N::Shutdown, S::Game, 0, false},
        {S::Game, false, U'K', N::None, S::Game, 0, false},  {S::Game, false, U'a', N::None, S::Game, 0, false},
        {S::Result, false, U'a', N::None, S::Result, 0, false},
        {S::Result, false, 27, N::Shutdown, S::Result, 0, false},  {S::Result, true, U'a', N::Title, S::Title, 0, false},
        {S::KeyConf, false, U'a', N::None, S::KeyConf, 0, false},  {S::KeyConf, false, 27, N::Shutdown, S::KeyConf, 0, false},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        const Row& row = rows[i];
        ResetSceneControl(), Fields = GameFields{}, ShowMousePointer(false);
        GameState = row.state, Fields.ResultReady = row.resultReady;
        OneQuestion({"あ", "あ", "A"}), Fields.QuestionIndex = 1;  // current, but its game has not shown it yet
        Anime.ResultFrontAnime.resize(1);
        char32_t key = row.key;
        Form_KeyPress(key);
        EXPECT_EQ(std::tuple(PendingScene(), GameState, Fields.TimeLeft, MousePointerShown(), Fields.Combo + Fields.MissCount),
                  std::tuple(row.next, row.stateAfter, row.timeLeft, row.pointerShown, 0)) << "row " << i;
        EXPECT_EQ(Anime.ResultFrontAnime.empty(), row.next == N::Title)
            << "row " << i << ": released on leaving the result";
        EXPECT_EQ(key, row.key >= U'a' && row.key <= U'z' ? row.key - 32 : row.key) << "row " << i << ": upper-cased in place";
    }
    for (auto [x, rounded] : {std::pair{10.4f, 10}, {10.6f, 11}, {2.5f, 2}, {3.5f, 4}}) {
        Form_MouseDown(1, 0, x, x);
        EXPECT_EQ(std::pair(Fields.MouseX, Fields.MouseY), std::pair(rounded, rounded))
            << x << ": the nearest pixel, ties to even";
    }
}

TEST_F(KeyTest, JudgmentCountsKeysAndPlaysTheirSounds) {
    // A steady sound two seconds long, so that "playing" holds for the test.
    const std::string wave = root.Write("s.wav", WaveFile(2 * 8000, '\x40'));
    DSBUFFERDESC desc{DSBCAPS_STATIC};
    WAVEFORMATEX format;
    for (SoundSlot& slot : GameIni.GameSounds) slot = {DSound->CreateSoundBufferFromFile(wave, desc, format), true};
    OneQuestion({"あ・い", "あ･い", "A\uFF65I"});
    Fields.QuestionIndex = 1;
    // The key; typed, combo, max combo, misses, clears; which of key, completion and miss sounds started.
    struct Step { char32_t key; int32_t typed, combo, maxCombo, misses, clears; const char* sounds; };
    const Step steps[] = {
        {U'A', 1, 1, 0, 0, 0, "k"},      {U'X', 1, 0, 1, 1, 0, "m"}, {U'X', 1, 0, 1, 2, 0, "m"},
        {U'\uFF65', 2, 1, 1, 2, 0, "k"}, {U'I', 0, 2, 1, 2, 1, "c"}, {U'A', 1, 3, 1, 2, 1, "k"},
        {U'/', 2, 4, 1, 2, 1, ""},       {U'i', 2, 0, 4, 3, 1, "m"}, {U'I', 0, 1, 4, 3, 2, "c"},
    };
    for (size_t i = 0; i < std::size(steps); ++i) {
        const Step& s = steps[i];
        for (SoundSlot& slot : GameIni.GameSounds) slot.Buffer->Stop();
        JudgeKey(s.key);
        const GameFields& f = Fields;
        EXPECT_EQ(std::tuple(f.TypedLength, f.Combo, f.MaxCombo, f.MissCount, f.ClearCount, f.QuestionIndex),
                  std::tuple(s.typed, s.combo, s.maxCombo, s.misses, s.clears, 1)) << "step " << i;
        std::string played;
        for (int slot = 0; slot < 3; ++slot)
            if (GameIni.GameSounds[slot].Buffer->IsPlaying()) played += "kcm"[slot];
        EXPECT_EQ(played, DSound->HasAudio() ? s.sounds : "") << "step " << i;
    }
    ClearSoundSlots(GameIni.GameSounds);
}

TEST_F(KeyTest, KeysWithNothingToTypeAreIgnored) {
    // The spare empty entry before the first game, an index past the list or
    // below it, and a question typed to its end.
    for (auto [index, typed] : {std::pair{0, 0}, {7, 0}, {-1, 0}, {1, 5}}) {
        OneQuestion({"あ", "あ", "A"});
        Fields = GameFields{};
        Fields.QuestionIndex = index, Fields.TypedLength = typed;
        for (char32_t key : {U'A', U'X', U'/'}) JudgeKey(key);
        EXPECT_EQ(std::tuple(Fields.TypedLength, Fields.Combo, Fields.MissCount, Fields.ClearCount),
                  std::tuple(typed, 0, 0, 0)) << index;
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
