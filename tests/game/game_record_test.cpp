// Keys judged and recorded: flexible romaji switched by F2 on the title, its counts and guide, each key put down to the kana it spells
// with the time of the kana's first key, the finished game's figures, and the result's added items (drawn only
// when the skin names them).
#include <filesystem>

#include "engine/reading_to_romaji.h"
#include "scenes/game_record.h"
#include "scenes/judgment.h"
#include "settings/player_options.h"
#include "tests/support/fixture.h"

namespace dexlora::test {
namespace {

class GameRecordTest : public DexloraTest {
protected:
    ~GameRecordTest() override { ResetPlayerOptions(); }
    // The question between two empty ones, its first key due, with flexible romaji on or off.
    static void OneQuestion(const Question& question, bool flexible) {
        ASSERT_TRUE(SetOptionForRun(Option::FlexibleRomaji, flexible ? "on" : "off"));
        dexlora::Questions = QuestionList{}, QuestionMax = 0;
        for (const Question& q : {Question{}, question, Question{}}) dexlora::Questions.push_back(q);
        Fields = GameFields{}, Fields.QuestionIndex = 1;
    }
};

TEST_F(GameRecordTest, FlexibleKeysCountAsTheFixedRomajiCountsThem) {
    Tables();
    OneQuestion({"今茶", "こんちゃ", "KONTYA"}, true);
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

TEST_F(GameRecordTest, F2OnTheTitleSwitchesFlexibleRomajiAndALineShowsItOnASkinWithoutOne) {
    for (const char* name : {"Title", "Game", "Result", "KeyConf"}) Bmp("skin/" + std::string(name) + ".bmp", 640, 480, Black);
    Questions({{"社", "しゃ"}});
    std::vector<std::pair<int, bool>> seen;  // white pixels at the foot of each title frame, and the option
    onFrame = [&](const DirectDrawSurface7& frame, const FrameRecord&) {
        seen.emplace_back(CountColour(frame, RECT{0, 455, 640, 480}, White, 64), OptionOn(Option::FlexibleRomaji));
        if (seen.size() == 60 || seen.size() == 100)  // an even number: off again, as remembered
            headless::Script({{.At = GetTickCount(), .Type = Kind::KeyDown, .Code = KeyCode::F2}});
        if (seen.size() == 115) Key(27);
    };
    EXPECT_EQ(Run(), 0);
    for (size_t frame : {55, 95, 112}) EXPECT_EQ(seen[frame].first > 0, seen[frame].second) << "frame " << frame;
    EXPECT_TRUE(seen[95].second && !seen[112].second) << "F2 switches it on and off";
}

TEST_F(GameRecordTest, KeysCountForTheKanaTheySpell) {
    Tables();
    std::string romaji;
    ASSERT_TRUE(ReadingToRomaji(romaji, "かっきゃ") && romaji == "KAKKYA") << romaji;
    // Typed in the tables' spelling, or with flexible romaji as KA XTU KILYA: か with a miss, っ, きゃ with a
    // miss, then か of the next line; a key and the milliseconds before it. Per kana: right, misses, timed,
    // milliseconds (the first kana of a line is not timed, the others from the right key before). Then the
    // weakest: the most misses per key, and of as many, the slower first.
    using Kana = std::tuple<std::string, uint32_t, uint32_t, uint32_t, uint64_t>;
    const std::tuple<bool, std::u32string, std::vector<uint32_t>, std::vector<Kana>, const char*> rows[] = {
        {false, U"KXAKXKYAK", {0, 100, 100, 300, 200, 100, 100, 100, 500},
         {{"か", 3, 1, 0, 0}, {"っ", 1, 0, 1, 300}, {"きゃ", 3, 1, 1, 300}}, "きゃ か っ"},
        {true, U"KXAXTUQKILYAK", {0, 100, 100, 300, 50, 50, 200, 100, 50, 50, 50, 50, 500},
         {{"か", 3, 1, 0, 0}, {"っ", 3, 0, 1, 300}, {"きゃ", 5, 1, 1, 300}}, "か きゃ っ"},
    };
    for (const auto& [flexible, keys, delays, kana, weakest] : rows) {
        OneQuestion({"x", "かっきゃ", romaji}, flexible);
        StartGameRecord(60);
        for (size_t i = 0; i < keys.size(); ++i) headless::AdvanceClock(delays[i]), JudgeKey(keys[i]);
        const GameRecord record = FinishGameRecord(1.5, 2, 99);
        const int32_t right = int32_t(keys.size()) - 2;
        EXPECT_TRUE(record.CorrectKeys == right && record.Misses == 2 && record.Accuracy == right / (right + 2.0) &&
                    record.KeysPerMinute == right && record.Length == 60 && record.Rank == 2 && record.When == 99 &&
                    record.Flexible == flexible) << HistoryLine(record);
        std::vector<Kana> got;
        for (const KanaRecord& k : record.Kana) got.emplace_back(k.Kana, k.Right, k.Misses, k.Timed, k.FirstKeyMs);
        EXPECT_EQ(got, kana) << "flexible " << flexible;
        std::string weak;
        for (const std::string& k : WeakestKana(record, 3)) weak += (weak.empty() ? "" : " ") + k;
        EXPECT_EQ(weak, weakest) << "flexible " << flexible;
    }
}

TEST_F(GameRecordTest, TheResultAddsTheSkinsItemsAndTheHistoryItsLine) {
    for (const char* name : {"Title", "Game", "Result", "KeyConf"}) Bmp("skin/" + std::string(name) + ".bmp", 640, 480, Black);
    Questions({{"あい", "あい"}});
    const std::string extras = "[ResultExtra]\nFontColor=0,255,0\nSpeedText=KPM \nSpeedY=300\nAccuracyText=ACC \n"
                               "AccuracyY=330\nBestText=BEST\nBestY=360\nWeakText=W \nWeakY=390\n";
    const std::string earlier = HistoryLine(GameRecord{.Length = 1, .KeysPerMinute = 10, .Kana = {}});
    const std::string faster = HistoryLine(GameRecord{.Length = 1, .KeysPerMinute = 1000, .Kana = {}});
    // result.ini, the earlier history; which of the bands of speed, accuracy, best and weakest show green ink.
    const std::tuple<const char*, std::string, std::string, std::string> rows[] = {
        {"a skin without the items", "", earlier, "----"},
        {"all items, a slower earlier game", extras, earlier, "++++"},
        {"all items, a faster earlier game", extras, earlier + faster, "++-+"},
        {"all items, no earlier game of its length", extras, "", "++-+"},
    };
    const std::string kept = std::getenv("XDG_DATA_HOME") ? std::getenv("XDG_DATA_HOME") : "";
    for (const auto& [name, ini, history, shown] : rows) {
        Ini("result.ini", ini);
        const std::string data = root.Path() + "data/";
        std::filesystem::remove_all(data);
        if (!history.empty()) root.Write("data/dexlora/history.tsv", history);
        setenv("XDG_DATA_HOME", data.c_str(), 1);
        std::string bands;
        bool typed = false;
        onFrame = [&](const DirectDrawSurface7& frame, const FrameRecord& r) {
            if (frames.size() == 1) Key(U's');
            if (r.State == Scene::Game && r.Question > 0 && !typed) typed = true, Key(U'A', 100), Key(U'X', 200);
            if (r.State != Scene::Result || !Fields.ResultReady || !bands.empty()) return;
            for (int32_t y : {300, 330, 360, 390}) bands += CountColour(frame, RECT{300, y, 640, y + 20}, Green, 64) > 0 ? "+" : "-";
            Key(27);
        };
        EXPECT_EQ(Run(), 0) << name;
        EXPECT_EQ(bands, shown) << name;
    }
    kept.empty() ? unsetenv("XDG_DATA_HOME") : setenv("XDG_DATA_HOME", kept.c_str(), 1);
}

}  // namespace
}  // namespace dexlora::test
