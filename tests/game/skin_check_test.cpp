// dexlora-check --skin, run as a skin author runs it, on small skins built by
// the test and on the bundled skin: the exit status and the line that says why.
#include <filesystem>

#include "tests/support/fixture.h"

namespace dexlora::test {
namespace {

using SkinCheckTest = DexloraTest;

TEST_F(SkinCheckTest, StatusAndTheLineThatSaysWhy) {
    const std::string sprite = "[setting]\nAnimeName=a\n[a]\nFileName=sheet.bmp\n";
    const std::string star = "[setting]\nAnimeName=a,Star\n[a]\nFileName=sheet.bmp\n[Star]\nFileName=star.bmp\n";
    const std::string bundled = DEXLORA_SOURCE_DIR "/skins/Standard/";
    // The folder checked, files written over a working skin ("" removes one), the status and the line.
    const struct {
        std::string folder;
        std::vector<std::pair<std::string, std::string>> files;
        int status;
        std::string line;
    } cases[] = {
        {skin, {}, 0, "dexlora-check: 0 load messages; the game starts with this skin\n"},
        {bundled, {}, 0, "dexlora-check: 0 load messages; the game starts with this skin\n"},
        {skin, {{"keyconf.ini", "[TitleText]\nKeyConfFontColor=1,2\n"}, {"Game.ini", "[Sound]\nType=missing.wav\n"}}, 0,
         ": 2 load messages; the game starts"},
        {skin, {{"result.ini", "[BackGround]\nFileName=Backs\\Result.jpg\n"}}, 1,
         "end: " + skin + "Backs\\Result.jpg cannot be loaded (named by FileName in section [BackGround] of result.ini); "
         "the game ends at start-up"},
        {skin, {{"Title_FrontAnime.ini", star}}, 1, "(named by FileName in section [Star] of Title_FrontAnime.ini)"},
        {skin, {{"chara.bmp", "BM"}}, 1, "end: " + skin + "chara.bmp cannot be loaded (the large character)"},
        {skin, {{"title.ini", "[BackGround]\nFileName=small.bmp\n"}}, 1,
         "small.bmp is 320x240, smaller than the 640x480 screen"},
        {skin, {{"result.ini", "[Rank]\nPoint=90,50\nFileNameBack=Gold,Gold,Bronze\nFileNameFront=,\n"},
                {"Bronze.ini", star}}, 1,
         "(named by FileName in section [Star] of Bronze.ini); the game ends at a result of rank 2"},
        {skin, {{"type.txt", ""}}, 1, "end: " + skin + "type.txt cannot be read"},
        {skin, {{"type.txt", "Ａ\nＡ\n\n"}}, 1, "end: no question of " + skin + "type.txt can be typed"},
        {skin + "type.txt", {}, 2, "dexlora-check: " + skin + "type.txt: not a folder\n"},
        {skin + "none", {}, 2, ": not a folder\n"},
    };
    for (const auto& c : cases) {
        std::filesystem::remove_all(skin);
        for (const char* name : {"Game.bmp", "Result.bmp", "Title.bmp", "KeyConf.bmp"})
            Bmp("skin/" + std::string(name), 640, 480);
        Bmp("skin/small.bmp", 320, 240);
        Bmp("skin/sheet.bmp", 32, 32);
        Questions({{"桜", "さくら"}});
        for (const char* name : {"Game_FrontAnime.ini", "Title_BackAnime.ini", "Result_BackAnime.ini"})
            Ini(name, sprite);
        for (const auto& [name, text] : c.files) {
            if (text.empty()) std::filesystem::remove(skin + name);
            else if (name.ends_with(".bmp")) root.Write("skin/" + name, text);
            else Ini(name, text);
        }
        const auto [out, status] =
            RunCommand(DEXLORA_CHECK " '" DEXLORA_SOURCE_DIR "/system/' --skin '" + c.folder + "' 2>&1");
        EXPECT_EQ(status, c.status) << out;
        EXPECT_NE(out.find(c.line), std::string::npos) << out;
    }
}

}  // namespace
}  // namespace dexlora::test
