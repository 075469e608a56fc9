// title.ini and keyconf.ini as tables of outcomes, and the large character.
#include <optional>
#include <sstream>

#include "tests/skin/loader_fixture.h"

namespace dexlora::test {
namespace {

constexpr char TitleWarning[] = "Title.iniでエラーの可能性があったので、デフォルト値で設定しました\r\n";
constexpr char KeyConfWarning[] = "KeyConf.iniでエラーの可能性があったので、デフォルト値で設定しました\r\n";

// "text@x,y size colour" of each title text.
std::string TitleState() {
    std::ostringstream s;
    for (const TextItem& t : TitleTexts)
        s << t.Text << "@" << t.X << "," << t.Y << " " << t.Font.Size << " " << std::hex << t.Color << std::dec << "|";
    s << "wipe " << TitleWipeIn.Enabled << TitleWipeIn.Kind << " errLog=[" << ErrLog << "] background "
      << (DDSurfTitle != nullptr) << " ended " << (PendingScene() == NextScene::Shutdown);
    return s.str();
}

struct ScreenCase {
    const char* name;
    std::optional<std::string> ini;
    std::string expected;
};

TEST_F(LoaderTest, TitleSettingsTable) {
    Bmp("skin/Title.bmp", 640, 480);
    const std::string fourAt = "@@300,220 10 ffffff|@@300,240 10 ffffff|@@300,260 10 ffffff|@@300,280 10 ffffff|";
    const std::string end = " errLog=[] background 1 ended 0";
    const ScreenCase cases[] = {
        {"file absent", std::nullopt, fourAt + "wipe 0" + end},
        {"only text 2's text", "[TitleText]\nTitleText2_Text=D: 30 seconds\n",
         "@@300,220 10 ffffff|D: 30 seconds@300,240 10 ffffff|@@300,260 10 ffffff|@@300,280 10 ffffff|wipe 0" + end},
        {"two digits or none are not read", "[TitleText]\nTitleText10_Text=x\nTitleText_Text=y\n", fourAt + "wipe 0" + end},
        {"wipe, colour, size, place", "[Wipe]\nIn=BoxOut\n[TitleText]\nTitleText4_FontColor=255,0,0\n"
         "TitleText4_FontSize=24\nTitleText4_X=-3\nTitleText1_FontColor=1,2\n",
         "@@300,220 10 0|@@300,240 10 ffffff|@@300,260 10 ffffff|@@-3,280 24 ff|wipe -1BoxOut" + end},
        {"font size 300 stops at text 3; background still loaded",
         "[TitleText]\nTitleText3_Text=K\nTitleText3_FontSize=300\nTitleText3_X=5\n",
         "@@300,220 10 ffffff|@@300,240 10 ffffff|K@0,0 9 0|@0,0 9 0|wipe 0 errLog=[" + std::string(TitleWarning) +
             "] background 1 ended 0"},
        {"background missing", "[BackGround]\nFileName=Title.jpg\n",
         fourAt + "wipe 0 errLog=[" + PictureLine(Skin() + "Title.jpg") + "] background 0 ended 1"},
    };
    for (const ScreenCase& c : cases) {
        Fresh();
        std::filesystem::remove(Skin() + "title.ini");
        if (c.ini) Ini("title.ini", *c.ini);
        LoadTitleSettings(SkinPath);
        EXPECT_EQ(TitleState(), c.expected) << c.name;
    }
}

std::string KeyConfState() {
    std::ostringstream s;
    s << KeyConfFont.Name << " " << KeyConfFont.Size << " " << std::hex << KeyConfFontColor << std::dec << " errLog=["
      << ErrLog << "] background " << (DDSurfKeyConf != nullptr) << " ended " << (PendingScene() == NextScene::Shutdown);
    return s.str();
}

TEST_F(LoaderTest, KeyConfSettingsTable) {
    Bmp("skin/KeyConf.bmp", 640, 480);
    const std::string end = " errLog=[] background 1 ended 0";
    const std::string warned = " errLog=[" + std::string(KeyConfWarning) + "] background 1 ended 0";
    const ScreenCase cases[] = {
        {"file absent", std::nullopt, "MS UI Gothic 14 ffffff" + end},
        {"font and colour", "[TitleText]\nKeyConfFontName=IPAGothic\nKeyConfFontSize=12\nKeyConfFontColor=300,0,16\n",
         "IPAGothic 12 1000ff" + end},
        {"font keys in another section are not read", "[KeyConf]\nKeyConfFontSize=30\nKeyConfFontColor=0,0,0\n",
         "MS UI Gothic 14 ffffff" + end},
        {"colour of two parts warns once; background still loaded", "[TitleText]\nKeyConfFontColor=1,2\n",
         "MS UI Gothic 14 0" + warned},
        {"font size 0 warns", "[TitleText]\nKeyConfFontSize=0\n", "MS UI Gothic 9 0" + warned},
        {"background missing", "[BackGround]\nFileName=keys.bmp\n",
         "MS UI Gothic 14 ffffff errLog=[" + PictureLine(Skin() + "keys.bmp") + "] background 0 ended 1"},
    };
    for (const ScreenCase& c : cases) {
        Fresh();
        std::filesystem::remove(Skin() + "keyconf.ini");
        if (c.ini) Ini("keyconf.ini", *c.ini);
        LoadKeyConfSettings(SkinPath);
        EXPECT_EQ(KeyConfState(), c.expected) << c.name;
    }
}

TEST_F(LoaderTest, BigCharaEntersFromTheLeft) {
    LoadBigChara();
    EXPECT_FALSE(UseBigChara) << "no chara.bmp";
    Bmp("skin/chara.bmp", 200, 150);
    LoadBigChara();
    ASSERT_TRUE(UseBigChara);
    EXPECT_EQ(ErrLog, "");
    clsBigChara.InitFirstValue();
    EXPECT_EQ(clsBigChara.GetPosition().Left, -200);
    EXPECT_EQ(clsBigChara.GetPosition().Top, 330);
    for (int tick = 0; tick < 30; ++tick) clsBigChara.AddTC();
    EXPECT_EQ(clsBigChara.GetPosition().Left, 10) << "21 moves of 10 pixels";
    EXPECT_TRUE(clsBigChara.GetMoveEnd());
}

}  // namespace
}  // namespace dexlora::test
