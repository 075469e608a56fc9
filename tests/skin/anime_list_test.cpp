// Animation definition files: the list a file yields or the way it fails, the
// result files' sounds, and which file each rank of the result scene reads.
#include <optional>
#include <sstream>
#include <vector>

#include "tests/skin/loader_fixture.h"

namespace dexlora::test {
namespace {

constexpr char Warning[] = "Game_Anime.iniにエラーの可能性があったので、デフォルト値で設定しました";

// "x,y,w,h" of each sprite, in list order.
std::string Sprites(const AnimeList& list) {
    std::ostringstream s;
    for (const clsAnimeCharacter& sprite : list) {
        RECT at = sprite.GetPosition();
        s << at.Left << "," << at.Top << "," << sprite.GetWidth() << "," << sprite.GetHeight() << ";";
    }
    return s.str();
}

struct AnimeCase {
    const char* name;
    std::optional<std::string> ini;
    bool answer;
    std::string sprites;
    std::string errLog;  // "{skin}" stands for the skin folder
    bool ended = false;
};

TEST_F(LoaderTest, AnimeListTable) {
    Bmp("skin/sheet.bmp", 64, 16);
    Bmp("skin/Sub/Star.bmp", 20, 10);
    Bmp("outside.bmp", 20, 10);
    const std::string warned = std::string(Warning) + "\r\n";
    const AnimeCase cases[] = {
        {"file absent", std::nullopt, false, "", ""},
        {"no names", "[setting]\nAnimeName=\n[a]\nFileName=sheet.bmp\n", false, "", ""},
        {"two names in order, defaults", "[setting]\nAnimeName=b,a\n[a]\nFileName=sheet.bmp\nColumn=4\n"
         "[b]\nFileName=sheet.bmp\nStartX=-5\nStartY=7\nRow=2\n", true, "-5,7,64,8;320,240,16,16;", ""},
        {"sub-folder with backslash, other case", "[setting]\nAnimeName=a\n[a]\nFileName=SUB\\star.BMP\n", true,
         "320,240,20,10;", ""},
        {"a name without its section", "[setting]\nAnimeName=a,b\n[a]\nFileName=sheet.bmp\n", false,
         "320,240,64,16;", PictureLine("{skin}"), true},
        {"DX not a number", "[setting]\nAnimeName=a\n[a]\nFileName=sheet.bmp\nDX=1,5\n", false, "", warned},
        {"second DY empty keeps the first", "[setting]\nAnimeName=a,b\n[a]\nFileName=sheet.bmp\n"
         "[b]\nFileName=sheet.bmp\nDY=\n", false, "320,240,64,16;", warned},
        {"0 rows", "[setting]\nAnimeName=a\n[a]\nFileName=sheet.bmp\nRow=0\n", false, "", warned},
        {"picture outside the skin", "[setting]\nAnimeName=a\n[a]\nFileName=..\\outside.bmp\n", false, "",
         PictureLine("{skin}..\\outside.bmp"), true},
        {"picture climbing out of a sub-folder", "[setting]\nAnimeName=a\n[a]\nFileName=Sub/../../outside.bmp\n",
         false, "", PictureLine("{skin}Sub/../../outside.bmp"), true},
        {"picture staying inside with ..", "[setting]\nAnimeName=a\n[a]\nFileName=Sub\\..\\sheet.bmp\n", true,
         "320,240,64,16;", ""},
    };
    for (const AnimeCase& c : cases) {
        Fresh();
        std::filesystem::remove(Skin() + "anime.ini");
        if (c.ini) Ini("anime.ini", *c.ini);
        AnimeList list;
        EXPECT_EQ(LoadAnimeList("anime.ini", list, Warning), c.answer) << c.name;
        EXPECT_EQ(Sprites(list), c.sprites) << c.name;
        EXPECT_EQ(ErrLog, WithSkin(c.errLog)) << c.name;
        EXPECT_EQ((PendingScene() == NextScene::Shutdown), c.ended) << c.name;
    }
}

TEST_F(LoaderTest, SpriteKeysReachTheSprite) {
    Bmp("skin/sheet.bmp", 64, 16, 0x336699, 0x123456);
    Ini("anime.ini", "[setting]\nAnimeName=a\n[a]\nFileName=sheet.bmp\nStartX=0\nStartY=0\nDX=2.5\nDY=-1\n"
                     "Wait=1\nMoveCount=1\nVisibleAfterMoveEnd=0\nColumn=2\nMode=1\nTime=0\n");
    AnimeList list;
    ASSERT_TRUE(LoadAnimeList("anime.ini", list, Warning)) << ErrLog;
    clsAnimeCharacter& sprite = list.front();
    EXPECT_EQ(sprite.RegionColorValue(), 0x123456);
    sprite.InitFirstValue();
    sprite.AddTC();  // waiting
    EXPECT_FALSE(sprite.Started());
    sprite.AddTC();  // starts
    sprite.AddTC();  // the one move of MoveCount 1
    EXPECT_EQ(sprite.GetPosition().Left, 2);
    EXPECT_EQ(sprite.GetPosition().Top, -1);
    EXPECT_TRUE(sprite.GetMoveEnd());
    // Not visible after its end: nothing drawn.
    SurfaceDesc desc{DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH, 480, 640, 0, DDSCAPS_OFFSCREENPLAIN};
    SurfacePtr screen = DDraw->CreateSurface(desc);
    screen->FillRect(RECT{0, 0, 640, 480}, 0);
    sprite.PrintCharacter(screen);
    EXPECT_EQ(screen->GetPixel(5, 5), 0);
}

// Result files replace their list; their "First" sound goes to slot 0, the
// back file emptying the other slots first.
TEST_F(LoaderTest, ResultAnimeFilesAndTheirSounds) {
    Bmp("skin/sheet.bmp", 64, 16);
    Wave("skin/fanfare.wav");
    Wave("outside.wav");
    struct Case {
        const char* name;
        AnimeFileKind kind;
        std::string ini;
        bool answer;
        std::string slots;  // 'L' per loaded slot after the load, all three loaded before
        std::string errLog;
    };
    const std::string names = "[setting]\nAnimeName=a\n[a]\nFileName=sheet.bmp\n";
    const Case cases[] = {
        {"back file without sound", AnimeFileKind::ResultBack, names, true, "LLL", ""},
        {"back file with sound empties the slots", AnimeFileKind::ResultBack,
         "[Sound]\nFirst=Fanfare.WAV\n" + names, true, "L--", ""},
        {"front file with sound replaces slot 0", AnimeFileKind::ResultFront, "[Sound]\nFirst=fanfare.wav\n" + names,
         true, "LLL", ""},
        {"back file sound missing", AnimeFileKind::ResultBack, "[Sound]\nFirst=none.wav\n" + names, false, "---",
         std::string(ResultBackAnimeWarning) + "\r\n"},
        {"front file sound outside the skin", AnimeFileKind::ResultFront, "[Sound]\nFirst=../outside.wav\n" + names,
         false, "LLL", std::string(ResultFrontAnimeWarning) + "\r\n"},
    };
    for (const Case& c : cases) {
        Fresh();
        Ini("Gold.ini", c.ini);
        for (SoundSlot& slot : ResultSounds) slot = {nullptr, true};
        AnimeList list;
        list.emplace_back();  // the previous result's character
        const auto warning = c.kind == AnimeFileKind::ResultBack ? ResultBackAnimeWarning : ResultFrontAnimeWarning;
        EXPECT_EQ(LoadAnimeList("gold.ini", list, warning, c.kind), c.answer) << c.name;
        EXPECT_EQ(list.size(), c.answer ? 1u : 0u) << c.name;
        std::string slots;
        for (const SoundSlot& slot : ResultSounds) slots += slot.Loaded ? 'L' : '-';
        EXPECT_EQ(slots, c.slots) << c.name;
        if (c.answer && c.ini.find("First") != std::string::npos) {
            EXPECT_TRUE(ResultSounds[0].Buffer) << c.name;
        }
        EXPECT_EQ(ErrLog, c.errLog) << c.name;
    }
}

TEST(ResultAnimeFile, RankPositionsNeverReadPastTheList) {
    struct Case {
        const char* name;
        std::vector<std::string> names;
        int32_t rank;
        const char* back;
    };
    const Case cases[] = {
        {"last named rank", {"a", "b"}, 1, "b.ini"},
        {"negative rank", {"a"}, -1, "Result_BackAnime.ini"},
        {"empty name", {"a", ""}, 1, "Result_BackAnime.ini"},
        {"name in a sub-folder", {"ranks\\gold"}, 0, "ranks\\gold.ini"},
    };
    for (const Case& c : cases) {
        FileNameBack = c.names;
        UseFileNameBack = true;
        FileNameFront = {"front"};
        UseFileNameFront = false;
        EXPECT_EQ(ResultAnimeFile(true, c.rank), c.back) << c.name;
        EXPECT_EQ(ResultAnimeFile(false, c.rank), "Result_FrontAnime.ini") << c.name;
    }
    FileNameBack.clear();
    FileNameFront.clear();
    UseFileNameBack = false;
}

}  // namespace
}  // namespace dexlora::test
