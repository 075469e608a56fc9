// Start-up's skin loading: the order of the files, seen through the order of
// their warnings, and the stop after a picture that cannot be loaded.
#include <map>

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

}  // namespace
}  // namespace dexlora::test
