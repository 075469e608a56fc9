// A game's record: keys put down to the kana they spell with the time of each kana's first key, the figures
// of the finished game, and the result's added items (drawn only when the skin names them) with its history line.
#include <filesystem>

#include "engine/reading_to_romaji.h"
#include "scenes/game_record.h"
#include "scenes/judgment.h"
#include "tests/support/fixture.h"

namespace dexlora::test {
namespace {

using GameRecordTest = DexloraTest;

TEST_F(GameRecordTest, KeysCountForTheKanaTheySpell) {
    Tables();
    std::string romaji;
    ASSERT_TRUE(ReadingToRomaji(romaji, "かっきゃ") && romaji == "KAKKYA") << romaji;
    dexlora::Questions = QuestionList{}, QuestionMax = 0;
    for (const Question& entry : {Question{}, Question{"x", "かっきゃ", romaji}, Question{}}) dexlora::Questions.push_back(entry);
    Fields = GameFields{}, Fields.QuestionIndex = 1;
    StartGameRecord(60);
    // The key and the milliseconds before it: か with a miss, っ, きゃ with a miss, then か of the next line.
    const std::pair<char32_t, uint32_t> keys[] = {{'K', 0},   {'X', 100}, {'A', 100}, {'K', 300}, {'X', 200},
                                                  {'K', 100}, {'Y', 100}, {'A', 100}, {'K', 500}};
    for (const auto& [key, delay] : keys) headless::AdvanceClock(delay), JudgeKey(key);
    const GameRecord record = FinishGameRecord(1.5, 2, 99);
    EXPECT_TRUE(record.CorrectKeys == 7 && record.Misses == 2 && record.Accuracy == 7.0 / 9 &&
                record.KeysPerMinute == 7 && record.Length == 60 && record.Rank == 2 && record.When == 99)
        << record.CorrectKeys << " " << record.Accuracy << " " << record.KeysPerMinute;
    // Right, misses, timed, milliseconds: the first kana of a line is not timed, the others from the key before.
    const std::tuple<const char*, uint32_t, uint32_t, uint32_t, uint64_t> kana[] = {
        {"か", 3, 1, 0, 0}, {"っ", 1, 0, 1, 300}, {"きゃ", 3, 1, 1, 300}};
    ASSERT_EQ(record.Kana.size(), std::size(kana));
    for (size_t i = 0; i < std::size(kana); ++i) {
        const auto& [text, right, misses, timed, ms] = kana[i];
        const KanaRecord& k = record.Kana[i];
        EXPECT_EQ(std::tuple(k.Kana, k.Right, k.Misses, k.Timed, k.FirstKeyMs), std::tuple(text, right, misses, timed, ms));
    }
    // As many misses per key: the slower first.
    EXPECT_EQ(WeakestKana(record, 3), (std::vector<std::string>{"きゃ", "か", "っ"}));
    EXPECT_EQ(WeakestKana(record, 1).size(), 1u);
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
