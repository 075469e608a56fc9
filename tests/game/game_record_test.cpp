// A game's record: keys put down to the kana they spell with the time of each kana's first key, the figures
// of the finished game, and the result's added items (drawn only when the skin names them) with its history line.
#include <filesystem>

#include "engine/reading_to_romaji.h"
#include "scenes/game_record.h"
#include "scenes/judgment.h"
#include "settings/player_options.h"
#include "tests/support/fixture.h"

namespace dexlora::test {
namespace {

using GameRecordTest = DexloraTest;

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
        ASSERT_TRUE(SetOptionForRun(Option::FlexibleRomaji, flexible ? "on" : "off"));
        dexlora::Questions = QuestionList{}, QuestionMax = 0;
        for (const Question& entry : {Question{}, Question{"x", "かっきゃ", romaji}, Question{}}) dexlora::Questions.push_back(entry);
        Fields = GameFields{}, Fields.QuestionIndex = 1;
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
    ResetPlayerOptions();
}

TEST_F(GameRecordTest, TheResultAddsTheSkinsItemsAndTheHistoryItsLine) {
    for (const char* name : {"Title", "Game", "Result", "KeyConf"}) Bmp("skin/" + std::string(name) + ".bmp", 640, 480, Black);
    Questions({{"あい", "あい"}});
    const std::string extras = "[ResultExtra]\nFontColor=0,255,0\nSpeedText=KPM \nSpeedY=300\nAccuracyText=ACC \n"
                               "AccuracyY=330\nBestText=BEST\nBestY=360\nWeakText=W \nWeakY=390\n";
    const std::string earlier = HistoryLine(GameRecord{.Length = 1, .KeysPerMinute = 10, .Kana = {}});
    const std::string faster = HistoryLine(GameRecord{.Length = 1, .KeysPerMinute = 1000, .Kana = {}});
    // result.ini, the earlier history; which of the four bands show green ink.
    const std::tuple<const char*, std::string, std::string, std::string> rows[] = {
        {"a skin without the items", "", earlier, "----"},
        {"all items, a slower earlier game", extras, earlier, "SABW"},
        {"all items, a faster earlier game", extras, earlier + faster, "SA-W"},
        {"all items, no earlier game of its length", extras, "", "SA-W"},
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
        ASSERT_EQ(bands.size(), 4u) << name;
        for (size_t i = 0; i < 4; ++i) EXPECT_EQ(bands[i] == '+', shown[i] != '-') << name << ": band " << i;
        // One line more, whichever the skin: the game of one second, あ right, then a miss on い.
        const std::vector<GameRecord> games = ReadHistory(data + "dexlora/", 10);
        ASSERT_FALSE(games.empty()) << name;
        EXPECT_EQ(games.size(), size_t(std::count(history.begin(), history.end(), '\n')) + 1) << name;
        const GameRecord& game = games.back();
        EXPECT_TRUE(game.Length == 1 && game.CorrectKeys == 1 && game.Misses == 1 && game.KeysPerMinute == 60 &&
                    game.Accuracy == 0.5 && game.Kana.size() == 2 && game.Kana[1].Kana == "い" && game.Kana[1].Misses == 1) << name << HistoryLine(game);
    }
    kept.empty() ? unsetenv("XDG_DATA_HOME") : setenv("XDG_DATA_HOME", kept.c_str(), 1);
}

}  // namespace
}  // namespace dexlora::test
