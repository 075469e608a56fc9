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

// The checker on か (\x82\xA9) spelled "K" and a lead byte that the line end cuts, then on 8 MiB of lead bytes.
TEST(HostileUse, CheckerRefusesWhatNoKeyTypesWithinTheGamesMemory) {
    test::TempFolder folder;
    folder.Write("Rome2.ini", ""), folder.Write("Rome.ini", "\x82\xA9\r\n1\r\nK\x82\r\n\r\n");
    const std::string path =
        folder.Write("type.txt", "x\r\n\x82\xA9\r\n\r\ny\r\n" + std::string(8 << 20, '\xFF') + "\r\n\r\n");
    const auto [status, peak] = InChild([&] {
        dup2(open((folder.Path() + "out").c_str(), O_WRONLY | O_CREAT, 0600), 1), dup2(1, 2);
        execl(DEXLORA_CHECK, DEXLORA_CHECK, folder.Path().c_str(), path.c_str(), nullptr);
    });
    const long gamePeak = InChild([&] {  // what the game takes to read the same files
        SystemPath = folder.Path(), LoadRomeTable(RomeTable, "Rome.ini"), BuildRomeIndex(RomeIndex, RomeTable, 1);
        LoadQuestions(folder.Path(), "type.txt");
    }).second;
    const std::string said = test::TempFolder::Read(folder.Path() + "out");
    EXPECT_TRUE(status == 1 && said.find("\t!the spelling \"K\xEF\xBF\xBD\"") != std::string::npos &&
                said.find("\t!no spelling") != std::string::npos) << status << said.substr(0, 1000);
#ifndef DEXLORA_SANITIZED
    EXPECT_LT(peak, gamePeak + 4096);
#endif
}

}  // namespace dexlora
