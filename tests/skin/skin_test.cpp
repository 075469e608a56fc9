// Start-up's skin loading: the order of the files, seen through the order of
// their warnings, and the stop after a picture that cannot be loaded.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>

#include "settings/ini.h"
#include "tests/skin/loader_fixture.h"

namespace dexlora::test {
namespace {

std::string Line(std::string_view warning) { return std::string(warning) + "\r\n"; }

struct SkinCase {
    const char* name;
    std::map<std::string, std::string> files;  // settings files written over the working skin
    std::string errLog;                        // "{skin}" stands for the skin folder
    std::string failure;  // "path|settings file|section|key" of the picture, "" when the skin starts
    std::string flags;  // UseGameFront, UseGameBack, UseBigChara, UseTitleFront, UseTitleBack
};

TEST_F(LoaderTest, LoadSkinKeepsStartUpOrderAndStopsAtAMissingPicture) {
    const std::string anime = "[setting]\nAnimeName=a\n[a]\nFileName=sheet.bmp\n";
    const std::string badAnime = "[setting]\nAnimeName=a\n[a]\nFileName=sheet.bmp\nDX=?\n";
    const SkinCase cases[] = {
        {"a working skin", {}, "", "", "11111"},
        {"every file warns, in start-up's order",
         {{"Game_FrontAnime.ini", badAnime},
          {"Game_BackAnime.ini", badAnime},
          {"Game.ini", "[QuestionText]\nQuestionFontColor1=1\n"},
          {"result.ini", "[Rank]\nPoint=x\n"},
          {"title.ini", "[TitleText]\nTitleText1_FontSize=0\n"},
          {"Title_FrontAnime.ini", badAnime},
          {"Title_BackAnime.ini", badAnime},
          {"keyconf.ini", "[TitleText]\nKeyConfFontColor=\n"}},
         Line(GameFrontAnimeWarning) + Line(GameBackAnimeWarning) +
             Line("game.iniでエラーの可能性があったので、デフォルト値で設定しました") +
             Line("Result.iniにエラーの可能性があったので、デフォルト値で設定しました") +
             Line("Title.iniでエラーの可能性があったので、デフォルト値で設定しました") + Line(TitleFrontAnimeWarning) +
             Line(TitleBackAnimeWarning) + Line("KeyConf.iniでエラーの可能性があったので、デフォルト値で設定しました"),
         "", "00100"},
        {"Game.ini's background missing stops everything after it",
         {{"Game_BackAnime.ini", badAnime}, {"Game.ini", "[BackGround]\nFileName=Pics\\Gone.bmp\n"},
          {"result.ini", "[Rank]\nPoint=x\n"}},
         Line(GameBackAnimeWarning) + PictureLine("{skin}Pics\\Gone.bmp"),
         "{skin}Pics\\Gone.bmp|Game.ini|BackGround|FileName", "10000"},
    };
    for (const SkinCase& c : cases) {
        Fresh();
        std::filesystem::remove_all(Skin());
        for (const char* name : {"Game.bmp", "Result.bmp", "Title.bmp", "KeyConf.bmp"}) Bmp("skin/" + std::string(name), 640, 480);
        Bmp("skin/sheet.bmp", 32, 32);
        Bmp("skin/chara.bmp", 100, 100);
        for (const char* name : {"Game_FrontAnime.ini", "Game_BackAnime.ini", "Title_FrontAnime.ini", "Title_BackAnime.ini"})
            Ini(name, anime);
        for (const auto& [name, text] : c.files) Ini(name, text);
        LoadSkin();
        EXPECT_EQ(ErrLog, WithSkin(c.errLog)) << c.name;
        EXPECT_EQ((PendingScene() == NextScene::Shutdown), !c.failure.empty()) << c.name;
        const std::optional<PictureFailure> f = SkinPictureFailure();
        EXPECT_EQ(f ? f->Path + "|" + f->SettingsFile + "|" + f->Section + "|" + f->Key : "", WithSkin(c.failure))
            << c.name;
        std::string flags;
        for (bool flag : {UseGameFrontAnime, UseGameBackAnime, UseBigChara, UseTitleFrontAnime, UseTitleBackAnime})
            flags += flag ? '1' : '0';
        EXPECT_EQ(flags, c.flags) << c.name;
        // Every background of a skin that started is there to be entered.
        if (c.failure.empty()) {
            for (const SurfacePtr* surf : {&DDSurfGame, &DDSurfResult, &DDSurfTitle, &DDSurfKeyConf}) {
                EXPECT_TRUE(*surf != nullptr) << c.name;
            }
        }
    }
}

// Sprite sheets must not carry anti-aliased edges blended into their key
// colour: such pixels escape the colour key and ring every sprite.
TEST_F(LoaderTest, StandardSkinSheetsHaveNoFringeAroundTheirKeyColour) {
    const std::string skin = std::string(DEXLORA_SOURCE_DIR) + "/skins/Standard/";
    std::set<std::string> backgrounds;
    for (const char* ini : {"title.ini", "Game.ini", "result.ini", "keyconf.ini"})
        backgrounds.insert(ReadIniString(skin + ini, "BackGround", "FileName", ""));
    int sheets = 0;
    for (const auto& entry : std::filesystem::directory_iterator(skin)) {
        const std::string name = entry.path().filename().string();
        if (entry.path().extension() != ".bmp" || backgrounds.count(name)) continue;
        SurfaceDesc desc;
        SurfacePtr sheet;
        LoadImageSurface(DDraw, skin + name, desc, sheet);
        ASSERT_TRUE(sheet != nullptr) << name;
        ++sheets;
        const int32_t key = sheet->GetPixel(0, 0);
        auto channel = [](int32_t c, int shift) { return (c >> shift) & 0xFF; };
        int fringe = 0;
        for (int32_t y = 0; y < desc.lHeight; ++y) {
            for (int32_t x = 0; x < desc.lWidth; ++x) {
                const int32_t c = sheet->GetPixel(x, y);
                int distance = 0;
                for (int shift : {0, 8, 16}) distance = std::max(distance, std::abs(channel(c, shift) - channel(key, shift)));
                if (c != key && distance <= 96) ++fringe;
            }
        }
        EXPECT_EQ(fringe, 0) << name << ": pixels close to the key colour " << key;
    }
    EXPECT_GT(sheets, 5) << "the standard skin's sprite sheets were found";
}

}  // namespace
}  // namespace dexlora::test
