// dexlora-check --skin on small broken skins built by the test, line by line,
// and on the bundled skin.
#include <filesystem>
#include <map>

#include "tests/skin/check_run.h"
#include "tests/skin/loader_fixture.h"

namespace dexlora::test {
namespace {

CheckRun RunSkinCheck(const std::string& skinFolder) {
    return RunCommand(std::string(DEXLORA_CHECK) + " '" DEXLORA_SOURCE_DIR "/system/' --skin '" + skinFolder + "' 2>&1");
}

std::string Log(std::string_view line) { return "log: " + std::string(line) + "\n"; }

constexpr char Starts[] = "dexlora-check: 0 load messages; the game starts with this skin\n";
constexpr char NotStarting[] = "; the game would not start with this skin\n";

struct CheckCase {
    const char* name;
    std::map<std::string, std::string> files;  // written over the working skin; "" removes a file
    std::string out;                           // "{skin}" stands for the skin folder
    int status;
};

TEST_F(LoaderTest, SkinCheckerReportsEachFindingInOrder) {
    const std::string sprite = "[setting]\nAnimeName=a\n[a]\nFileName=sheet.bmp\n";
    const std::string missingSprite = "[setting]\nAnimeName=a,Star\n[a]\nFileName=sheet.bmp\n[Star]\nFileName=star.bmp\n";
    const std::string gameWarning = "game.iniでエラーの可能性があったので、デフォルト値で設定しました";
    const std::string keyConfWarning = "KeyConf.iniでエラーの可能性があったので、デフォルト値で設定しました";
    const CheckCase cases[] = {
        {"a working skin", {}, Starts, 0},
        {"warnings only, in start-up's order",
         {{"keyconf.ini", "[TitleText]\nKeyConfFontColor=1,2\n"},
          {"Game.ini", "[Sound]\nType=missing.wav\n"},
          {"Title_BackAnime.ini", "[setting]\nAnimeName=a\n[a]\nFileName=sheet.bmp\nDX=x\n"}},
         Log(gameWarning) + Log(TitleBackAnimeWarning) + Log(keyConfWarning) +
             "dexlora-check: 3 load messages; the game starts with this skin\n",
         0},
        {"a background missing after a warning",
         {{"Game_FrontAnime.ini", "[setting]\nAnimeName=a\n[a]\nFileName=sheet.bmp\nColumn=0\n"},
          {"result.ini", "[BackGround]\nFileName=Backs\\Result.jpg\n"}},
         Log(GameFrontAnimeWarning) + Log("{skin}Backs\\Result.jpgが読みこめなかった可能性があります") +
             "end: {skin}Backs\\Result.jpg cannot be loaded (named by FileName in section [BackGround] of result.ini); "
             "the game ends at start-up\n"
             "dexlora-check: 2 load messages" + NotStarting,
         1},
        {"a sprite picture missing", {{"Title_FrontAnime.ini", missingSprite}},
         Log("{skin}star.bmpが読みこめなかった可能性があります") +
             "end: {skin}star.bmp cannot be loaded (named by FileName in section [Star] of Title_FrontAnime.ini); "
             "the game ends at start-up\n"
             "dexlora-check: 1 load message" + NotStarting,
         1},
        {"a chara.bmp that is no picture", {{"chara.bmp", "BM"}},
         Log("{skin}chara.bmpが読みこめなかった可能性があります") +
             "end: {skin}chara.bmp cannot be loaded (the large character); the game ends at start-up\n"
             "dexlora-check: 1 load message" + NotStarting,
         1},
        {"a title picture smaller than the screen", {{"title.ini", "[BackGround]\nFileName=small.bmp\n"}},
         "end: the title background {skin}small.bmp is 320x240, smaller than the 640x480 screen (named by FileName "
         "in section [BackGround] of title.ini); the game ends at start-up\n"
         "dexlora-check: 0 load messages" + std::string(NotStarting),
         1},
        {"rank files: a warning, and a picture missing at the third rank",
         {{"result.ini", "[Rank]\nPoint=90,50\nFileNameBack=Gold,Gold,Bronze\nFileNameFront=,\n"},
          {"gold.ini", "[setting]\nAnimeName=a\n[a]\nFileName=sheet.bmp\nDY=?\n"},
          {"Bronze.ini", missingSprite}},
         Log(std::string(ResultBackAnimeWarning) + " (Gold.ini, at a result of rank 0)") +
             Log("{skin}star.bmpが読みこめなかった可能性があります (Bronze.ini, at a result of rank 2)") +
             "end: {skin}star.bmp cannot be loaded (named by FileName in section [Star] of Bronze.ini); the game ends "
             "at a result of rank 2\n"
             "dexlora-check: 2 load messages; the game starts, but ends at a result of rank 2\n",
         1},
        {"type.txt missing", {{"type.txt", ""}},
         "end: {skin}type.txt cannot be read (File not found: {skin}type.txt); the game ends at start-up\n"
         "dexlora-check: 0 load messages" + std::string(NotStarting),
         1},
        {"no question can be typed", {{"type.txt", "Ａ\r\nＡ\r\n\r\n"}},
         "end: no question of {skin}type.txt can be typed with the tables of " DEXLORA_SOURCE_DIR
         "/system/ (dexlora-check SYSTEM_FOLDER TYPE_TXT tells why for each); the game ends at start-up\n"
         "dexlora-check: 0 load messages" + std::string(NotStarting),
         1},
    };
    for (const CheckCase& c : cases) {
        std::filesystem::remove_all(Skin());
        for (const char* name : {"Game.bmp", "Result.bmp", "Title.bmp", "KeyConf.bmp"})
            Bmp("skin/" + std::string(name), 640, 480);
        Bmp("skin/small.bmp", 320, 240);
        Bmp("skin/sheet.bmp", 32, 32);
        Ini("type.txt", "桜\nさくら\n\n");
        for (const char* name : {"Game_FrontAnime.ini", "Title_BackAnime.ini", "Result_BackAnime.ini"})
            Ini(name, sprite);
        for (const auto& [name, text] : c.files) {
            if (text.empty()) std::filesystem::remove(Skin() + name);
            else if (name.ends_with(".ini") || name == "type.txt") Ini(name, text);
            else scratch_.Write("skin/" + name, text);
        }
        CheckRun run = RunSkinCheck(Skin());
        EXPECT_EQ(run.out, WithSkin(c.out)) << c.name;
        EXPECT_EQ(run.status, c.status) << c.name;
    }
}

TEST_F(LoaderTest, SkinCheckerRefusesWhatIsNoFolder) {
    Ini("type.txt", "桜\nさくら\n\n");
    for (const std::string& path : {Skin() + "type.txt", Skin() + "none"}) {
        CheckRun run = RunSkinCheck(path);
        EXPECT_EQ(run.status, 2) << path;
        EXPECT_EQ(run.out, "dexlora-check: " + path + ": not a folder\n") << path;
    }
}

TEST(SkinChecker, FindsNothingInTheBundledSkin) {
    const std::string skin = DEXLORA_SOURCE_DIR "/skins/Standard/";
    if (!std::filesystem::exists(skin + "Game.ini"))
        GTEST_SKIP() << "the bundled skin has no settings files yet";
    CheckRun run = RunSkinCheck(skin);
    EXPECT_EQ(run.out, Starts);
    EXPECT_EQ(run.status, 0);
}

}  // namespace
}  // namespace dexlora::test
