// Hostile use: skin folders remembered as chosen, and spellings no key types refused within the game's memory.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "engine/questions.h"
#include "engine/rome_table.h"
#include "settings/shared.h"
#include "settings/user_settings.h"
#include "tests/support/temp_folder.h"

namespace dexlora {

TEST(HostileUse, SkinFolderReadsBackAsChosen) {
    // A blank at the end, which reading trims; a letter CP932 lacks, kept only where a user folder can hold it.
    // The last row leaves no user folder behind.
    for (auto [folder, user] : {std::pair{"/skins/Mine ", true}, {"/skins/Caf\u00E9", true}, {"/skins/Caf\u00E9", false}}) {
        test::TempFolder temp;
        SystemPath = temp.Write("System.ini", "[System]\r\nSkinPath=/skins/Standard\r\n").substr(0, temp.Path().size());
        UserSettingsPath = user ? temp.Path() + "user/" : "";
        EXPECT_TRUE(RememberSkinFolder(folder) == user && RememberedSkinFolder("/") == (user ? folder : "/skins/Standard"))
            << folder << user << ": read back " << RememberedSkinFolder("/");
    }
}

// Runs body in a child process; answers its exit status and its peak memory in KB.
static std::pair<int, long> InChild(const auto& body) {
    std::pair<int, rusage> done{};
    if (const pid_t pid = fork(); pid == 0) body(), _exit(0);
    else wait4(pid, &done.first, 0, &done.second);
    return {WEXITSTATUS(done.first), done.second.ru_maxrss};
}

// The game's side of the comparison below, run by it in a fresh process: a process that has run
// other tests holds freed memory its allocator hands out again, which would hide the game's peak.
TEST(HostileUse, DISABLED_GameReadsTheFiles) {
    const char* folder = getenv("DEXLORA_HOSTILE_FOLDER");
    if (folder == nullptr) GTEST_SKIP() << "run by the test below";
    SystemPath = folder, LoadRomeTable(RomeTable, "Rome.ini");
    BuildRomeIndex(RomeIndex, RomeTable, 1), LoadQuestions(SystemPath, "type.txt");
}

// The checker on か (\x82\xA9) spelled "K" and a lead byte that the line end cuts, then on 8 MiB of lead bytes.
TEST(HostileUse, CheckerRefusesWhatNoKeyTypesWithinTheGamesMemory) {
    test::TempFolder folder;
    folder.Write("Rome2.ini", ""), folder.Write("Rome.ini", "\x82\xA9\r\n1\r\nK\x82\r\n\r\n");
    const std::string path =
        folder.Write("type.txt", "x\r\n\x82\xA9\r\n\r\ny\r\n" + std::string(8 << 20, '\xFF') + "\r\n\r\n");
    const auto run = [&](const char* program, auto... args) {
        return InChild([&] {
            dup2(open((folder.Path() + "out").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600), 1), dup2(1, 2);
            setenv("DEXLORA_HOSTILE_FOLDER", folder.Path().c_str(), 1);
            execl(program, program, args..., nullptr);
        });
    };
    const auto [status, peak] = run(DEXLORA_CHECK, folder.Path().c_str(), path.c_str());
    const std::string said = test::TempFolder::Read(folder.Path() + "out");
    const auto [gameStatus, gamePeak] =
        run("/proc/self/exe", "--gtest_also_run_disabled_tests", "--gtest_filter=HostileUse.DISABLED_GameReadsTheFiles");
    EXPECT_TRUE(status == 1 && said.find("\t!the spelling \"K\xEF\xBF\xBD\"") != std::string::npos &&
                said.find("\t!no spelling") != std::string::npos) << status << said.substr(0, 1000);
#ifndef DEXLORA_SANITIZED
    EXPECT_TRUE(gameStatus == 0 && peak < gamePeak + 4096) << gameStatus << ": " << peak << " KB against " << gamePeak;
#endif
}

}  // namespace dexlora
