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
namespace {

using test::TempFolder;
using namespace std::string_literals;

TEST(HostileUse, SkinFolderReadsBackAsChosen) {
    // A blank at the end, which reading trims; a letter CP932 lacks, kept only where a user folder can hold it.
    for (auto [folder, userFolder] :
         {std::pair{"/skins/Mine ", true}, {"/skins/Caf\xC3\xA9", true}, {"/skins/Caf\xC3\xA9", false}}) {
        TempFolder temp;
        SystemPath = temp.Path() + "system/", UserSettingsPath = userFolder ? temp.Path() + "user/" : "";
        temp.Write("system/System.ini", "[System]\r\nSkinPath=/skins/Standard\r\n");
        EXPECT_EQ(RememberSkinFolder(folder), userFolder) << folder << userFolder;
        EXPECT_EQ(RememberedSkinFolder("/program"), userFolder ? folder : "/skins/Standard") << folder << userFolder;
    }
    UserSettingsPath.clear();
}

// Runs body in a child process; answers its exit status and its peak memory in KB.
std::pair<int, long> InChild(const auto& body) {
    int status = 0;
    rusage usage{};
    if (const pid_t pid = fork(); pid == 0) body(), _exit(0);
    else wait4(pid, &status, 0, &usage);
    return {WEXITSTATUS(status), usage.ru_maxrss};
}

// The checker on か (\x82\xA9) spelled "K" and a lead byte that the line end cuts.
TEST(HostileUse, CheckerRefusesWhatNoKeyTypesWithinTheGamesMemory) {
    for (auto [type, line] : {std::pair{"x\r\n\x82\xA9\r\n\r\n"s, "\t!the spelling \"K\xEF\xBF\xBD\""},
                              {"x\r\n" + std::string(size_t{8} << 20, '\xFF') + "\r\n\r\n", "\t!no spelling"}}) {
        TempFolder folder;
        folder.Write("Rome2.ini", ""), folder.Write("Rome.ini", "\x82\xA9\r\n1\r\nK\x82\r\n\r\n");
        const std::string path = folder.Write("type.txt", type), out = folder.Path() + "out";
        const auto [status, peak] = InChild([&] {
            const int fd = open(out.c_str(), O_WRONLY | O_CREAT, 0600);
            dup2(fd, 1), dup2(fd, 2), execl(DEXLORA_CHECK, DEXLORA_CHECK, folder.Path().c_str(), path.c_str(), nullptr);
        });
        const long gamePeak = InChild([&] {  // what the game takes to read the same files
            SystemPath = folder.Path(), LoadRomeTable(RomeTable, "Rome.ini"), BuildRomeIndex(RomeIndex, RomeTable, 1);
            LoadQuestions(folder.Path(), "type.txt");
        }).second;
        EXPECT_TRUE(status == 1 && TempFolder::Read(out).find(line) != std::string::npos) << line << ": " << TempFolder::Read(out);
        EXPECT_LT(peak, gamePeak + 4096) << line;
    }
}

}  // namespace
}  // namespace dexlora
