// Hostile use: skin folders remembered as chosen, spellings no key types, messages that name what happened.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#include "engine/questions.h"
#include "engine/rome_table.h"
#include "platform/core/error.h"
#include "platform/core/files.h"
#include "settings/shared.h"
#include "settings/user_settings.h"
#include "tests/support/temp_folder.h"

namespace dexlora {
namespace {

using test::TempFolder;

TEST(HostileUse, SkinFolderReadsBackAsChosen) {
    struct Row { const char* name; const char* folder; bool userFolder; const char* readBack; };
    const Row rows[] = {
        {"a blank at the end, which reading trims", "/skins/Mine ", true, "/skins/Mine "},
        {"a letter CP932 lacks", "/skins/Caf\xC3\xA9", true, "/skins/Caf\xC3\xA9"},
        {"a letter CP932 lacks, nowhere to keep it", "/skins/Caf\xC3\xA9", false, "/skins/Standard"},
    };
    for (const Row& row : rows) {
        TempFolder folder;
        folder.Write("system/System.ini", "[System]\r\nSkinPath=/skins/Standard\r\n");
        SystemPath = folder.Path() + "system/";
        UserSettingsPath = row.userFolder ? folder.Path() + "user/" : "";
        EXPECT_EQ(RememberSkinFolder(row.folder), row.folder == std::string(row.readBack)) << row.name;
        EXPECT_EQ(RememberedSkinFolder("/program"), row.readBack) << row.name;
    }
    UserSettingsPath.clear();
}

TEST(HostileUse, TextFileMessagesNameWhatHappened) {
    struct Row { const char* name; void (*make)(const char* path); const char* message; };
    const Row rows[] = {
        {"a FIFO", [](const char* path) { mkfifo(path, 0600); }, "Not a regular file"},
        {"a sparse 64 GiB file", [](const char* path) { (void)!truncate(path, (close(creat(path, 0600)), off_t{64} << 30)); },
         "Too large"},
    };
    for (const Row& row : rows) {
        TempFolder folder;
        row.make((folder.Path() + "type.txt").c_str());
        std::string message = "read";
        try { TextFileReader file(folder.Path() + "type.txt"); } catch (const RuntimeError& error) { message = error.what(); }
        EXPECT_EQ(message.rfind(row.message, 0), 0u) << row.name << ": " << message;
    }
}

// Runs body in a child process; answers its exit status and its peak memory in KB.
std::pair<int, long> InChild(const std::function<void()>& body) {
    const pid_t pid = fork();
    if (pid == 0) {
        body();
        _exit(0);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    return {WEXITSTATUS(status), usage.ru_maxrss};
}

// The checker on か (\x82\xA9) spelled "K" and a lead byte that the line end cuts.
TEST(HostileUse, CheckerRefusesWhatNoKeyTypesWithinTheGamesMemory) {
    struct Row { const char* name; std::string type; const char* line; };
    const Row rows[] = {
        {"a spelling ending in a lead byte", "x\r\n\x82\xA9\r\n\r\n", "\t!the spelling \"K\xEF\xBF\xBD\""},
        {"8 MB of bytes that are not CP932", "x\r\n" + std::string(size_t{8} << 20, '\xFF') + "\r\n\r\n", "\t!no spelling"},
    };
    for (const Row& row : rows) {
        TempFolder folder;
        folder.Write("Rome.ini", "\x82\xA9\r\n1\r\nK\x82\r\n\r\n");
        folder.Write("Rome2.ini", "");
        const std::string type = folder.Write("type.txt", row.type), out = folder.Path() + "out";
        const auto [status, peak] = InChild([&] {
            dup2(open(out.c_str(), O_WRONLY | O_CREAT, 0600), 1);
            dup2(open("/dev/null", O_WRONLY), 2);
            execl(DEXLORA_CHECK, DEXLORA_CHECK, folder.Path().c_str(), type.c_str(), nullptr);
        });
        const long gamePeak = InChild([&] {
            SystemPath = folder.Path();
            LoadRomeTable(RomeTable, "Rome.ini");
            BuildRomeIndex(RomeIndex, RomeTable, 1);
            LoadQuestions(folder.Path(), "type.txt");
        }).second;
        EXPECT_EQ(status, 1) << row.name;
        EXPECT_NE(TempFolder::Read(out).find(row.line), std::string::npos) << row.name << ": " << TempFolder::Read(out);
        EXPECT_LT(peak, gamePeak + 4096) << row.name;
    }
}

}  // namespace
}  // namespace dexlora
