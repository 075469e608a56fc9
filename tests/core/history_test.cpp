// The game history: where it lives, lines read back as written, damaged files, rotation, and appends that
// a kill, a full disk or an unwritable folder never make lose an earlier game.
#include "engine/history.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <functional>
#include <thread>

#include "settings/shared.h"
#include "tests/support/temp_folder.h"

namespace dexlora {
namespace {

using test::TempFolder;
using namespace std::string_literals;

GameRecord Game(int32_t combo) {
    return {.When = 1765000000 + combo, .Length = 30, .Flexible = true, .MaxCombo = combo, .Misses = 3, .Clears = 4,
            .Mastery = -1.25, .Rank = 2, .CorrectKeys = 120, .KeysPerMinute = 240.5, .Accuracy = 0.9756,
            .Kana = {{"か", 10, 1, 4, 1234}, {"a:b", 1, 0, 1, 9}, {"きゃ", 30, 2, 10, 5000}}};
}

// The max combos of the games read (they name the games), and whether the read left a message.
std::string Combos(const std::string& folder, size_t last = 100) {
    ErrLog.clear();
    std::string out;
    for (const GameRecord& game : ReadHistory(folder, last)) out += std::to_string(game.MaxCombo) + " ";
    return out + (ErrLog.empty() ? "" : "+message");
}

std::string Repeat(std::string_view text, size_t times) {
    std::string out;
    while (times-- > 0) out += text;
    return out;
}

std::string Replace(std::string text, std::string_view from, std::string_view to) {
    return text.replace(text.find(from), from.size(), to);
}

TEST(History, FolderFollowsTheDataHome) {
    const std::string keptHome = std::getenv("HOME");
    for (auto [data, folder] : {std::pair{"/d/", "/d/dexlora/"}, {"relative", "/h/.local/share/dexlora/"}}) {
        setenv("XDG_DATA_HOME", data, 1), setenv("HOME", "/h", 1);
        EXPECT_EQ(HistoryFolder(), folder) << data;
    }
    setenv("HOME", keptHome.c_str(), 1), unsetenv("XDG_DATA_HOME");
}

TEST(History, LinesHoldTheMostTypedKanaWithinTheirLimit) {
    // A kana that would break the line is left out; a game of many kana keeps the most typed that fit.
    GameRecord many = Game(1);
    many.Kana = {{"a b", 1, 0, 0, 0}, {"\t", 1, 0, 0, 0}};
    for (uint32_t i = 0; i < 2000; ++i) many.Kana.push_back({"k" + std::to_string(i), i, 0, 0, 0});
    const std::string line = HistoryLine(many);
    const std::optional<GameRecord> kept = ParseHistoryLine(std::string_view(line).substr(0, line.size() - 1));
    EXPECT_TRUE(line.size() < MaxHistoryLineBytes && kept && kept->Kana.size() > 100 && kept->Kana[0].Kana == "k1999" &&
                line.find("a b") == std::string::npos) << line.size();
}

TEST(History, DamagedLinesAreSkippedWithOneMessage) {
    const std::string header = "when (UTC)\tand the rest\n", game1 = HistoryLine(Game(1)), game2 = HistoryLine(Game(2));
    // The current file, the rotated one (with a "-" none), what is read.
    const std::tuple<const char*, std::string, std::string, std::string> cases[] = {
        {"no history yet", "-", "-", ""},
        {"no header, blank lines", game1 + "\n\n" + game2, "-", "1 2 "},
        {"a spreadsheet's line ends", Replace(header + game1, "\n", "\r\n") + game2, "-", "1 2 "},
        {"the last line torn by a crash", header + game1 + game2.substr(0, 30), "-", "1 +message"},
        {"a line cut short at its kana", header + game1 + Replace(game2, ":5000", ":") + game1, "-", "1 1 +message"},
        {"a column missing", header + Replace(game1, "\t30\t", "\t") + game2, "-", "2 +message"},
        {"a column more", header + Replace(game1, "\n", "\t\n") + game2, "-", "2 +message"},
        {"letters for a number", Replace(game1, "\t30\t", "\tthirty\t") + game2, "-", "2 +message"},
        {"the 31st of February", Replace(game1, "2025-12-06", "2025-02-31") + game2, "-", "2 +message"},
        {"accuracy above one", Replace(game1, "0.9756", "1.5") + game2, "-", "2 +message"},
        {"negative misses", Replace(game1, "\t3\t4\t", "\t-3\t4\t") + game2, "-", "2 +message"},
        {"mastery not a number", Replace(game1, "-1.250", "nan") + game2, "-", "2 +message"},
        {"a kana without its numbers", Replace(game1, "か:", "か") + game2, "-", "2 +message"},
        {"a line past the limit", Replace(game1, "か:10:1:4:1234", Repeat("か:10:1:4:1234 ", 300) + "か:1:0:1:9") + game2, "-", "2 +message"},
        {"the rotated file holds the older games", header + game2, header + game1, "1 2 "},
        {"a rotated file, damaged", game2, header + "x\n" + game1 + "y", "1 2 +message"},
        {"a file past the size limit", std::string(MaxHistoryBytes + 1, '\n'), game1, "1 +message"},
        {"a folder named as the file", "folder", "-", "+message"},
    };
    for (const auto& [name, current, rotated, read] : cases) {
        TempFolder temp;
        if (current == "folder") std::filesystem::create_directories(temp.Path() + "history.tsv");
        else if (current != "-") temp.Write("history.tsv", current);
        if (rotated != "-") temp.Write("history.1.tsv", rotated);
        EXPECT_EQ(Combos(temp.Path()), read) << name;
        if (read.ends_with("message")) {
            EXPECT_EQ(Combos(temp.Path()).find("message"), std::string::npos) << name << ": logged again";
        }
    }
    // Only the last ones asked for, oldest first, from both files.
    TempFolder temp;
    temp.Write("history.tsv", header + game2 + HistoryLine(Game(3))), temp.Write("history.1.tsv", game1 + game2);
    EXPECT_EQ(Combos(temp.Path(), 3), "2 2 3 ");
    EXPECT_EQ(Combos(temp.Path(), 1), "3 ");
    const std::vector<GameRecord> newestWithKana = ReadHistory(temp.Path(), 3, 1);
    EXPECT_TRUE(newestWithKana[1].Kana.empty() && newestWithKana[2].Kana.size() == 3) << "kana of the newest only";
}

TEST(History, AFullFileRotatesAwayWhole) {
    TempFolder temp;
    std::string full = "when\n";
    for (size_t i = 0; i < MaxHistoryGames; ++i) full += HistoryLine(Game(7));
    temp.Write("history.tsv", full), temp.Write("history.1.tsv", "an older rotation\n");
    for (int32_t combo : {1, 2}) ASSERT_TRUE(AppendHistory(temp.Path(), Game(combo)));
    EXPECT_EQ(TempFolder::Read(temp.Path() + "history.1.tsv"), full);
    EXPECT_EQ(Combos(temp.Path(), 3), "7 1 2 ");
    EXPECT_EQ(ReadHistory(temp.Path(), MaxHistoryGames + 5).size(), MaxHistoryGames + 2);
}

TEST(History, AppendsNeverLoseAnEarlierGame) {
    // A writer killed at any moment: at most its last line is torn, and the next game still lands whole.
    TempFolder killed;
    const pid_t child = fork();
    if (child == 0) {
        for (int32_t combo = 1;; ++combo) AppendHistory(killed.Path() + "data/", Game(combo));
    }
    while (Combos(killed.Path() + "data/").size() < 40) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    kill(child, SIGKILL), waitpid(child, nullptr, 0);
    const std::string before = TempFolder::Read(killed.Path() + "data/history.tsv");
    ASSERT_TRUE(AppendHistory(killed.Path() + "data/", Game(0)));
    const std::string after = Combos(killed.Path() + "data/", 100000);
    EXPECT_TRUE(after.starts_with("1 2 3 4 5 ") && (after.ends_with(" 0 ") || after.ends_with(" 0 +message"))) << after;
    EXPECT_EQ(std::count(after.begin(), after.end(), ' '), std::count(before.begin(), before.end(), '\n')) << after;

    // A full disk: a file size limit binds root too, and the write fails with EFBIG, not SIGXFSZ.
    TempFolder full;
    ASSERT_TRUE(AppendHistory(full.Path(), Game(1)) && AppendHistory(full.Path(), Game(2)));
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previous), 0);
    const rlimit small = {std::filesystem::file_size(full.Path() + "history.tsv") + 20, previous.rlim_max};
    const bool written = setrlimit(RLIMIT_FSIZE, &small) == 0 && AppendHistory(full.Path(), Game(3));
    setrlimit(RLIMIT_FSIZE, &previous);
    EXPECT_EQ(written ? "written" : Combos(full.Path()), "1 2 ") << "past a file size limit";
    EXPECT_TRUE(AppendHistory(full.Path(), Game(4)) && Combos(full.Path()) == "1 2 4 ") << Combos(full.Path());

    // Places no game can be written to: the answer is false, at once.
    const std::pair<const char*, std::function<std::string(const TempFolder&)>> places[] = {
        {"a read-only folder", [](const TempFolder& t) { return chmod(t.Path().c_str(), 0500), t.Path(); }},
        {"below a file", [](const TempFolder& t) { return t.Write("file", "x") + "/dexlora/"; }},
        {"the file a folder", [](const TempFolder& t) { return t.Write("history.tsv/x", ""), t.Path(); }},
        {"the file a FIFO", [](const TempFolder& t) { return mkfifo((t.Path() + "history.tsv").c_str(), 0600), t.Path(); }},
        {"no folder known", [](const TempFolder&) { return ""s; }},
    };
    for (const auto& [name, place] : places) {
        TempFolder temp;
        const std::string folder = place(temp);
        const bool root = geteuid() == 0 && name == "a read-only folder"s;  // root writes there all the same
        EXPECT_EQ(AppendHistory(folder, Game(1)), root) << name;
        chmod(temp.Path().c_str(), 0700);
    }
}

}  // namespace
}  // namespace dexlora
