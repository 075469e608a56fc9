// Game.ini: every outcome of the loader as one table, from an absent file to
// each stop point, sounds that cannot be loaded and names that leave the skin.
#include <optional>
#include <sstream>

#include "tests/skin/loader_fixture.h"

namespace dexlora::test {
namespace {

constexpr char GameWarning[] = "game.iniでエラーの可能性があったので、デフォルト値で設定しました\r\n";

// What the loader left behind, with the values of an absent file as defaults.
struct GameOutcome {
    std::string errLog{};
    bool ended = false;  // the main window was closed
    bool background = true;
    bool textWindow = false;
    float questionSize = 10, timeSize = 20;
    int32_t questionX = 0, color1 = White, romeY = 20, color2 = White, color3 = White;
    int32_t timeColor = White, timeX = 300;
    std::string sounds = "---";  // 'L' for each loaded slot
    std::string wipes = "0,0";   // Enabled of In and Out

};

std::string Describe(const GameOutcome& o) {
    std::ostringstream s;
    s << "errLog=[" << o.errLog << "] ended=" << o.ended << " background=" << o.background
      << " textWindow=" << o.textWindow << " sizes=" << o.questionSize << "," << o.timeSize
      << " questionX=" << o.questionX << " colors=" << std::hex << o.color1 << "," << o.color2 << ","
      << o.color3 << "," << o.timeColor << std::dec << " romeY=" << o.romeY << " timeX=" << o.timeX
      << " sounds=" << o.sounds << " wipes=" << o.wipes;
    return s.str();
}

GameOutcome Observe() {
    GameOutcome o;
    o.errLog = ErrLog;
    o.ended = (PendingScene() == NextScene::Shutdown);
    o.background = DDSurfGame != nullptr;
    o.textWindow = UseTextWindow;
    o.questionSize = QuestionFont.Size;
    o.timeSize = TimeFont.Size;
    o.questionX = QuestionX;
    o.color1 = QuestionFontColor1;
    o.romeY = RomeY;
    o.color2 = QuestionFontColor2;
    o.color3 = QuestionFontColor3;
    o.timeColor = TimeFontColor;
    o.timeX = TimeX;
    o.sounds.clear();
    for (const SoundSlot& slot : GameSounds) o.sounds += slot.Loaded && slot.Buffer ? 'L' : '-';
    o.wipes = std::to_string(GameWipeIn.Enabled) + "," + std::to_string(GameWipeOut.Enabled);
    return o;
}

// What a stop before the time display leaves: nothing read after it, the
// background loaded all the same.
GameOutcome StoppedEarly(float questionSize = 10) {
    return {.errLog = GameWarning, .questionSize = questionSize, .timeSize = 9, .questionX = 0, .color1 = 0,
            .romeY = 0, .color2 = 0, .color3 = 0, .timeColor = 0, .timeX = 0};
}

struct GameCase {
    const char* name;
    std::optional<std::string> ini;  // nullopt: no Game.ini
    GameOutcome expected;
};

TEST_F(LoaderTest, GameSettingsTable) {
    Bmp("skin/Game.bmp", 640, 480);
    Bmp("skin/Pics/back.bmp", 640, 480);
    Bmp("skin/window.bmp", 64, 32);
    Bmp("Outside.bmp", 640, 480);
    Wave("skin/ok.wav");
    Wave("outside.wav");
    const std::string outsideBmp = Outside() + "Outside.bmp";

    const GameCase cases[] = {
        {"file absent", std::nullopt, {}},
        {"only a background, in a sub-folder, backslash and other case",
         "[BackGround]\nFileName=PICS\\Back.BMP\n", {}},
        {"wipes", "[Wipe]\nIn=BoxIn\nOut=\n", {.wipes = "-1,0"}},
        {"second colour of four parts stops after the first",
         "[QuestionText]\nQuestionFontColor1=1,2,3\nQuestionFontColor2=1,2,3,4\nRomeY=7\n",
         [] { GameOutcome o = StoppedEarly(); o.color1 = 0x030201; o.romeY = 7; return o; }()},
        {"colour with a letter is white, loading goes on",
         "[QuestionText]\nQuestionFontColor2=1,x,3\nQuestionFontColor3=300,20,5\n[Time]\nTimeX=9\n",
         {.color3 = 0x0514FF, .timeX = 9}},
        {"negative colour part is white", "[QuestionText]\nQuestionFontColor1=-1,0,0\n", {}},
        {"question font size 201 stops", "[QuestionText]\nQuestionFontSize=201\nQuestionX=5\n", StoppedEarly(9)},
        {"question font size 200 is taken", "[QuestionText]\nQuestionFontSize=200\n", {.questionSize = 200}},
        {"time font size refused is passed over", "[Time]\nTimeFontSize=500\nTimeX=12\n",
         {.timeSize = 9, .timeX = 12}},
        {"time colour malformed is black", "[Time]\nTimeFontColor=1,2\n", {.timeColor = 0}},
        {"text window", "[TextWindow]\nFileName=window.bmp\nColumn=2\nMoveCount=1\n", {.textWindow = true}},
        {"text window DX not a number", "[TextWindow]\nFileName=window.bmp\nDX=fast\n", StoppedEarly(9)},
        {"text window picture missing ends the program", "[TextWindow]\nFileName=nowhere.bmp\n",
         {.errLog = PictureLine(Skin() + "nowhere.bmp"), .ended = true, .background = false, .questionSize = 9,
          .timeSize = 9, .color1 = 0, .romeY = 0, .color2 = 0, .color3 = 0, .timeColor = 0, .timeX = 0}},
        {"sounds, one empty", "[Sound]\nType=ok.wav\nComplete=\nMiss=OK.WAV\n", {.sounds = "L-L"}},
        {"a sound that cannot be loaded stops", "[Sound]\nType=ok.wav\nComplete=missing.wav\nMiss=ok.wav\n",
         {.errLog = GameWarning, .sounds = "L--"}},
        {"a sound outside the skin", "[Sound]\nType=..\\outside.wav\n", {.errLog = GameWarning}},
        {"background missing", "[BackGround]\nFileName=none.bmp\n",
         {.errLog = PictureLine(Skin() + "none.bmp"), .ended = true, .background = false}},
        {"background outside the skin", "[BackGround]\nFileName=..\\Outside.bmp\n",
         {.errLog = PictureLine(Skin() + "..\\Outside.bmp"), .ended = true, .background = false}},
        {"background by absolute path", "[BackGround]\nFileName=" + outsideBmp + "\n",
         {.errLog = PictureLine(Skin() + outsideBmp), .ended = true, .background = false}},
        {"background by drive letter", "[BackGround]\nFileName=C:\\Game.bmp\n",
         {.errLog = PictureLine(Skin() + "C:\\Game.bmp"), .ended = true, .background = false}},
    };
    for (const GameCase& c : cases) {
        Fresh();
        std::filesystem::remove(Skin() + "Game.ini");
        if (c.ini) Ini("Game.ini", *c.ini);
        LoadGameSettings(SkinPath);
        EXPECT_EQ(Describe(Observe()), Describe(c.expected)) << c.name;
    }
}

TEST_F(LoaderTest, TextWindowTakesItsKeysAndStaysVisible) {
    Bmp("skin/Game.bmp", 640, 480);
    Bmp("skin/window.bmp", 64, 32, 0x336699, 0x00FF00);
    Ini("Game.ini",
        "[TextWindow]\nFileName=window.bmp\nStartX=10\nStartY=20\nDX=1.5\nColumn=2\nMoveCount=1\n"
        "VisibleAfterMoveEnd=0\n");
    LoadGameSettings(SkinPath);
    ASSERT_TRUE(UseTextWindow) << ErrLog;
    EXPECT_EQ(TextWindowAnime.GetWidth(), 32);
    EXPECT_EQ(TextWindowAnime.RegionColorValue(), 0x00FF00);
    // MoveCount 1: one move after the starting tick, then the motion ends.
    TextWindowAnime.InitFirstValue();
    TextWindowAnime.AddTC();
    TextWindowAnime.AddTC();
    EXPECT_EQ(TextWindowAnime.GetPosition().Left, 11);
    EXPECT_TRUE(TextWindowAnime.GetMoveEnd());
    // Visible after the end whatever the file says.
    SurfaceDesc desc{DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH, 480, 640, 0, DDSCAPS_OFFSCREENPLAIN};
    SurfacePtr screen = DDraw->CreateSurface(desc);
    screen->FillRect(RECT{0, 0, 640, 480}, 0);
    TextWindowAnime.PrintCharacter(screen);
    EXPECT_EQ(screen->GetPixel(12, 21), 0x336699);
}

}  // namespace
}  // namespace dexlora::test
