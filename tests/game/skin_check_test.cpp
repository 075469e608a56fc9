// dexlora-check --skin, run as a skin author runs it, on small skins built by
// the test: the exit status and the line that says why. (The install test
// checks the bundled skin.)
#include <filesystem>

#include "tests/support/fixture.h"

namespace dexlora::test {
namespace {

using SkinCheckTest = DexloraTest;

TEST_F(SkinCheckTest, StatusAndTheLineThatSaysWhy) {
    const std::string sprite = "[setting]\nAnimeName=a\n[a]\nFileName=sheet.bmp\n";
    const std::string star = "[setting]\nAnimeName=a,Star\n[a]\nFileName=sheet.bmp\n[Star]\nFileName=star.bmp\n";
    // The folder checked, files written over a working skin ("" removes one), the status and the line.
    const struct { std::string folder; std::vector<std::pair<std::string, std::string>> files; int status; std::string line; }
    cases[] = {
        {skin, {}, 0, "dexlora-check: 0 load messages; the game starts with this skin\n"},
        {skin, {{"keyconf.ini", "[TitleText]\nKeyConfFontColor=1,2\n"}, {"Game.ini", "[Sound]\nType=missing.wav\n"}}, 0,
         ": 2 load messages; the game starts"},
        {skin, {{"result.ini", "[BackGround]\nFileName=Backs\\Result.jpg\n"}}, 1,
         "end: " + skin + "Backs\\Result.jpg cannot be loaded (named by FileName in section [BackGround] of result.ini); "
         "the game ends at start-up"},
        {skin, {{"Title_FrontAnime.ini", star}}, 1, "(named by FileName in section [Star] of Title_FrontAnime.ini)"},
        {skin, {{"chara.bmp", "BM"}}, 1, "end: " + skin + "chara.bmp cannot be loaded (the large character)"},
        {skin, {{"title.ini", "[BackGround]\nFileName=small.bmp\n"}}, 1, "small.bmp is 320x240, smaller than the"},
        {skin, {{"result.ini", "[Rank]\nPoint=90,50\nFileNameBack=Gold,Gold,Bronze\nFileNameFront=,\n"},
                {"Bronze.ini", star}}, 1,
         "(named by FileName in section [Star] of Bronze.ini); the game ends at a result of rank 2"},
        {skin, {{"result.ini", "[Rank]\nPoint=50\nFileNameFront=Gold\n"}, {"Gold.ini", "[Sound]\nFirst=s.wav\n"}}, 0,
         "warn: rank 1 (Result_BackAnime.ini, Result_FrontAnime.ini) names no result sound while rank 0 does"},
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
        for (const char* name : {"Game_FrontAnime.ini", "Title_BackAnime.ini", "Result_BackAnime.ini"}) Ini(name, sprite);
        for (const auto& [name, text] : c.files) {
            if (text.empty()) std::filesystem::remove(skin + name);
            else if (name.ends_with(".bmp")) root.Write("skin/" + name, text);
            else Ini(name, text);
        }
        const auto [out, status] =
            RunCommand(DEXLORA_CHECK " '" DEXLORA_SOURCE_DIR "/system/' --skin '" + c.folder + "' 2>&1");
        EXPECT_TRUE(status == c.status && out.find(c.line) != std::string::npos) << out;
    }
}

}  // namespace
}  // namespace dexlora::test
