// Saves of KeyConf.txt and System.ini that fail or are killed at every step
// leave the old file or the new one, whole, and no temporary file for long.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <set>

#include "engine/keyconf_file.h"
#include "platform/core/files.h"
#include "settings/ini.h"
#include "settings/shared.h"
#include "settings/user_settings.h"
#include "tests/platform_core/temp_folder.h"
#include "tests/saves/child_process.h"
#include "tests/saves/choices.h"

namespace dexlora {
namespace {

using testing_support::ChildEnd;
using testing_support::RunInChild;
using testing_support::SetChoices;
using testing_support::SkipReport;
using testing_support::TempFolder;

// One kind of save: the file it writes, its bytes before and after, and the
// call the game makes to save it.
struct SaveKind {
    const char* file;
    std::string oldBytes;
    std::string newBytes;
    bool (*save)(bool newer);
};

const SaveKind Kinds[] = {
    {"KeyConf.txt", testing_support::OldKeyConf, testing_support::NewerKeyConf,
     [](bool newer) {
         SetChoices(newer);
         return SaveKeyConf("KeyConf.txt");
     }},
    {"System.ini", "[System]\r\nSkinPath=/games/old skin\r\n", "[System]\r\nSkinPath=/games/new skin\r\n",
     [](bool newer) {
         return WriteIniString(SettingsFileToWrite("System.ini"), "System", "SkinPath",
                               newer ? "/games/new skin" : "/games/old skin");
     }},
};

// Which whole version folder holds for kind ("old", "new"), or what it holds
// instead; leftovers receives every other entry of the folder.
std::string Version(const std::string& folder, const SaveKind& kind, std::set<std::string>* leftovers = nullptr) {
    if (leftovers) {
        leftovers->clear();
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            const std::string name = entry.path().filename().string();
            if (name != kind.file) leftovers->insert(name);
        }
    }
    const std::string bytes = TempFolder::Read(folder + kind.file);
    if (bytes == kind.oldBytes) return "old";
    if (bytes == kind.newBytes) return "new";
    return "torn: \"" + bytes + "\"";
}

// The game's folders for a save into folder, with the old file in place.
void StartWith(const std::string& folder, const SaveKind& kind) {
    SystemPath = folder;
    UserSettingsPath.clear();
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    FILE* out = std::fopen((folder + kind.file).c_str(), "wb");
    ASSERT_NE(out, nullptr);
    std::fwrite(kind.oldBytes.data(), 1, kind.oldBytes.size(), out);
    std::fclose(out);
}

AtomicWriteStep failingStep;
int failingError;

int FailChosenStep(AtomicWriteStep step) { return step == failingStep ? failingError : 0; }
int KillAtChosenStep(AtomicWriteStep step) {
    if (step == failingStep) raise(SIGKILL);
    return 0;
}

// Every step in their order, as the failure messages name them.
const char* const StepNames[] = {"create temporary", "write", "keep mode", "flush", "close", "rename", "sync folder"};
static_assert(std::size(StepNames) == int(AtomicWriteStep::SyncFolder) + 1);
const char* StepName(AtomicWriteStep step) { return StepNames[int(step)]; }

class NothingLost : public ::testing::Test {
protected:
    void TearDown() override { AtomicWriteFaultForTests = nullptr; }
    TempFolder temp;
    const std::string folder = temp.Path() + "system/";
};

TEST_F(NothingLost, AFailedStepLeavesTheOldFileAndNoTemporary) {
    struct Case {
        AtomicWriteStep step;
        int error;
        bool saved;  // the content was in place before the step failed
    };
    const Case cases[] = {
        {AtomicWriteStep::CreateTemporary, ENOSPC, false}, {AtomicWriteStep::Write, ENOSPC, false},
        {AtomicWriteStep::KeepMode, EPERM, false},         {AtomicWriteStep::Flush, EIO, false},
        {AtomicWriteStep::Close, ENOSPC, false},           {AtomicWriteStep::Rename, EACCES, false},
        {AtomicWriteStep::SyncFolder, EIO, true},
    };
    for (const SaveKind& kind : Kinds) {
        for (const Case& c : cases) {
            const std::string row = std::string(kind.file) + " at " + StepName(c.step) + " with " + strerror(c.error);
            StartWith(folder, kind);
            failingStep = c.step;
            failingError = c.error;
            AtomicWriteFaultForTests = FailChosenStep;
            EXPECT_EQ(kind.save(true), c.saved) << row << ": a failure must not be reported as success";
            AtomicWriteFaultForTests = nullptr;
            std::set<std::string> leftovers;
            EXPECT_EQ(Version(folder, kind, &leftovers), c.saved ? "new" : "old") << row;
            EXPECT_TRUE(leftovers.empty()) << row << ": left " << *leftovers.begin();
        }
    }
}

TEST_F(NothingLost, AKilledSaveLeavesOneWholeVersionAndTheNextSaveCleansUp) {
    for (const SaveKind& kind : Kinds) {
        for (int i = 0; i < int(std::size(StepNames)); ++i) {
            const auto step = AtomicWriteStep(i);
            const std::string row = std::string(kind.file) + " killed at " + StepName(step);
            StartWith(folder, kind);
            failingStep = step;
            const ChildEnd end = RunInChild([&kind] {
                AtomicWriteFaultForTests = KillAtChosenStep;
                kind.save(true);
                return std::string("the save finished");
            });
            EXPECT_EQ(end.signal, SIGKILL) << row << ": " << end.report;
            const bool renamed = step == AtomicWriteStep::SyncFolder;
            EXPECT_EQ(Version(folder, kind), renamed ? "new" : "old") << row;

            // The player saves again (the old choices, then the new ones):
            // each save lands whole and nothing of the killed one stays.
            for (bool newer : {false, true}) {
                EXPECT_TRUE(kind.save(newer)) << row;
                std::set<std::string> leftovers;
                EXPECT_EQ(Version(folder, kind, &leftovers), newer ? "new" : "old") << row;
                EXPECT_TRUE(leftovers.empty()) << row << ": left " << *leftovers.begin();
            }
        }
    }
}

TEST_F(NothingLost, AFolderOrFileWithoutWritePermissionKeepsTheOldFile) {
    struct Case {
        const char* name;
        std::filesystem::perms folderMode;
        std::filesystem::perms fileMode;
    };
    using std::filesystem::perms;
    const Case cases[] = {
        {"folder without write permission", perms(0555), perms(0644)},
        {"read-only file in a folder open to all", perms(0777), perms(0444)},
    };
    std::filesystem::permissions(temp.Path(), perms(0755));
    for (const SaveKind& kind : Kinds) {
        for (const Case& c : cases) {
            const std::string row = std::string(kind.file) + ", " + c.name;
            StartWith(folder, kind);
            std::filesystem::permissions(folder + kind.file, c.fileMode);
            std::filesystem::permissions(folder, c.folderMode);
            const ChildEnd end = RunInChild([&kind] {
                if (!testing_support::DropRootRights()) return std::string("cannot become user nobody");
                return kind.save(true) ? std::string("the save reported success") : std::string();
            });
            std::filesystem::permissions(folder, perms(0755));
            EXPECT_EQ(end.report, "") << row;
            std::set<std::string> leftovers;
            EXPECT_EQ(Version(folder, kind, &leftovers), "old") << row;
            EXPECT_TRUE(leftovers.empty()) << row << ": left " << *leftovers.begin();
        }
    }
}

TEST_F(NothingLost, AFullFileSystemKeepsTheOldFile) {
    struct Case {
        const char* name;
        const char* options;
        bool fill;  // fill the space left with another file first
    };
    const std::string smallFolder = temp.Path() + "small/system/";
    const Case cases[] = {
        {"no space for the new bytes", "size=64k", true},
        // The root, the system folder and the old file take all three.
        {"no inode for the temporary file", "nr_inodes=3", false},
    };
    const std::string mountPoint = temp.Path() + "small";
    for (const SaveKind& kind : Kinds) {
        for (const Case& c : cases) {
            const std::string row = std::string(kind.file) + ", " + c.name;
            std::filesystem::create_directories(mountPoint);
            const ChildEnd end = RunInChild([&] {
                if (std::string why = testing_support::MountSmallFileSystem(mountPoint, c.options); !why.empty()) {
                    return why;
                }
                StartWith(smallFolder, kind);
                if (c.fill) {
                    FILE* filler = std::fopen((smallFolder + "filler").c_str(), "wb");
                    if (!filler) return std::string("no filler");
                    const std::string block(1024, 'f');
                    while (std::fwrite(block.data(), 1, block.size(), filler) == block.size() &&
                           std::fflush(filler) == 0) {
                    }
                    std::fclose(filler);
                }
                std::string report;
                if (kind.save(true)) report += "the save reported success; ";
                std::set<std::string> leftovers;
                const std::string version = Version(smallFolder, kind, &leftovers);
                if (version != "old") report += version + "; ";
                leftovers.erase("filler");
                if (!leftovers.empty()) report += "left " + *leftovers.begin();
                return report;
            });
            if (end.report.starts_with(SkipReport)) GTEST_SKIP() << end.report;
            EXPECT_EQ(end.report, "") << row;
        }
    }
}

}  // namespace
}  // namespace dexlora
