// dexlora-check --pictures on a small skin: every scene's picture written,
// each different from the others (a missing one reads empty), and a rank no
// mastery reaches told and skipped.
#include <filesystem>

#include "tests/support/fixture.h"

namespace dexlora::test {
namespace {

using ScenePicturesTest = DexloraTest;

TEST_F(ScenePicturesTest, EveryScenePictured) {
    for (const char* name : {"Title", "Game", "Result", "KeyConf"}) Bmp("skin/" + std::string(name) + ".bmp", 640, 480, 0x202020);
    Questions({{"かきくけこ", "かきくけこ"}});
    Ini("result.ini", "[Rank]\nPoint=50,90\n");  // out of order: no mastery is at least 90 and below 50
    const std::string folder = root.Path() + "pictures/";
    const auto [out, status] = RunCommand(std::string(DEXLORA_CHECK) + " '" DEXLORA_SOURCE_DIR "/system/' --skin '" + skin +
                                          "' --pictures '" + folder + "' 2>&1");
    EXPECT_NE(out.find("result-rank-1.png: not made, no mastery reaches rank 1"), std::string::npos) << out;
    EXPECT_EQ(status, 0) << out;
    EXPECT_FALSE(std::filesystem::exists(folder + "result-rank-1.png"));
    const std::vector<std::string> names = {"title", "game", "result-rank-0", "result-rank-2", "keyconf-key1", "keyconf-key2", "records"};
    for (size_t i = 0; i < names.size(); ++i)
        for (size_t j = 0; j < i; ++j)
            EXPECT_NE(TempFolder::Read(folder + names[i] + ".png"), TempFolder::Read(folder + names[j] + ".png")) << names[i] << " " << names[j];
}

}  // namespace
}  // namespace dexlora::test
