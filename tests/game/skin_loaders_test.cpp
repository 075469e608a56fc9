// The skin loaders: which names a settings file may give, each loader's
// outcomes (absent file, malformed values, stop points with their one
// warning, pictures and sounds that cannot be loaded) as one table per
// loader. (Start-up's loading order and its stop after a picture failure are
// the whole-skin fuzz target's checks; the bundled sheets' fringes are checked
// by tools/make_standard_skin.py, which makes them.)
#include <filesystem>
#include <numeric>

#include "skin/loaders/loader_support.h"
#include "tests/support/fixture.h"

namespace dexlora::test {
namespace {

class SkinLoaderTest : public DexloraTest {
protected:
    SkinLoaderTest() {
        Bmp("skin/sheet.bmp", 64, 16, 0x336699, 0x123456);
        for (const char* name : {"Game.bmp", "Result.bmp", "Title.bmp", "KeyConf.bmp"}) Bmp("skin/" + std::string(name), 640, 480);
        Wave("skin/Sounds/ok.wav"), Wave("outside.wav");
    }
    // ErrLog in short: "FILE!" for a settings file's warning, "NAME?" for a picture that could not be
    // loaded (named below the skin folder), then "end" when the main window was closed.
    std::string Logged() const {
        std::string log;
        std::istringstream lines(ErrLog);
        for (std::string line; std::getline(lines, line);) {
            if (line.starts_with(skin)) line.erase(0, skin.size());
            const size_t picture = line.find("が読みこめ");
            const size_t mark = std::min({picture, line.find("でエラー"), line.find("にエラー")});
            log += line.substr(0, mark) + (mark == picture ? "? " : "! ");
        }
        if (PendingScene() == NextScene::Shutdown) log += "end ";
        return log.substr(0, log.empty() ? 0 : log.size() - 1);
    }
    // Each row: the file (absent when "-") and what the loader leaves, as describe tells it.
    void Walk(const char* name, const std::function<void()>& load, const std::function<std::string()>& describe,
              const std::vector<std::pair<std::string, std::string>>& rows) {
        for (const auto& [ini, expected] : rows) {
            ResetSkinGlobals(), ResetSceneControl(), ErrLog.clear();
            std::filesystem::remove(skin + name);
            if (ini != "-") Ini(name, ini);
            load();
            EXPECT_EQ(describe(), expected) << ini;
        }
    }
    // "x y w h drawn;" of a sprite after three ticks, drawn on black.
    static std::string Sprite(clsAnimeCharacter& sprite) {
        sprite.InitFirstValue(), sprite.AddTC(), sprite.AddTC(), sprite.AddTC();
        SurfacePtr screen = Surface(640, 480);
        sprite.PrintCharacter(screen);
        return Words(sprite.GetPosition().Left, sprite.GetPosition().Top, sprite.GetWidth(), sprite.GetHeight(),
                     CountColour(*screen, {0, 0, 640, 480}, Black) < 640 * 480) + ";";
    }
    static std::string Sprites(AnimeList& list) {
        return std::accumulate(list.begin(), list.end(), std::string(), [](auto s, auto& a) { return s + Sprite(a); });
    }
};

std::string Hex(int32_t colour) { return (std::ostringstream() << std::hex << colour).str(); }

TEST(SkinFilePathTest, NamesStayInsideTheSkinFolder) {
    for (auto [name, inside] : {std::pair{"a.bmp", true}, {"Sub\\b.BMP", true}, {"./Sub/../a.bmp", true},
                                {"..\\a.bmp", false}, {"Sub/../../a.bmp", false}, {"/tmp/a.bmp", false},
                                {"\\a.bmp", false}, {"C:\\a.bmp", false}, {"c:a.bmp", false}})
        EXPECT_EQ(loader_detail::SkinFilePath("/skin/", name).has_value(), inside) << name;
}

// Read as a result back file, whose "First" sound goes to slot 0, emptying the other slots first. Before
// each row the list holds one sprite and every slot is loaded ('L'); 'S' is a slot with its sound.
TEST_F(SkinLoaderTest, AnimeListTable) {
    Bmp("skin/Sub/Star.bmp", 20, 10, White, 0);
    Bmp("outside.bmp", 20, 10);
    AnimeList list;
    bool answer = false;
    const std::string a = "[setting]\nAnimeName=a\n[a]\nFileName=sheet.bmp\n", b = "[b]\nFileName=sheet.bmp\n";
    Walk("anime.ini",
        [&] {
            for (SoundSlot& slot : ResultIni.ResultSounds) slot = {nullptr, true};
            list.clear(), list.emplace_back();
            answer = LoadAnimeList(SkinPath, "anime.ini", list, GameFrontAnimeWarning, AnimeFileKind::ResultBack);
        },
        [&] {
            std::string slots;
            for (const SoundSlot& slot : ResultIni.ResultSounds) slots += slot.Loaded ? (slot.Buffer ? 'S' : 'L') : '-';
            return Words(Logged(), answer, Sprites(list), slots);
        },
         {
             {"-", " 0  LLL"},
             {"[Sound]\nFirst=sounds\\OK.WAV\n" + a, " 1 320 240 64 16 1; S--"},
             {"[Sound]\nFirst=../outside.wav\n" + a, "Game_Anime.ini! 0  ---"},
             {"[setting]\nAnimeName=b,a\n[a]\nFileName=sheet.bmp\nColumn=4\n" + b + "StartX=-5\nStartY=7\nRow=2\n",
              " 1 -5 7 64 8 1;320 240 16 16 1; LLL"},
             {a + "StartX=0\nStartY=0\nDX=2.5\nDY=-1\nWait=1\nMoveCount=1\nVisibleAfterMoveEnd=0\nColumn=2\n",
              " 1 2 -1 32 16 0; LLL"},
             {"[setting]\nAnimeName=a\n[a]\nFileName=SUB\\star.BMP\n", " 1 320 240 20 10 1; LLL"},
             {"[setting]\nAnimeName=a,b\n[a]\nFileName=sheet.bmp\n", "? end 0 320 240 64 16 1; LLL"},
             {"[setting]\nAnimeName=a,b\n[a]\nFileName=sheet.bmp\n" + b + "DY=\n", "Game_Anime.ini! 0 320 240 64 16 1; LLL"},
             {"[setting]\nAnimeName=a\n[a]\nFileName=..\\outside.bmp\n", "..\\outside.bmp? end 0  LLL"},
         });
}

TEST_F(SkinLoaderTest, GameSettingsTable) {
    Bmp("skin/window.bmp", 64, 32, 0x336699, 0x00FF00);
    // The warnings, the background, the text window, the sizes of the question and time fonts, the question,
    // typed, untyped and time colours, RomeY, TimeX, the sounds and the two wipes.
    const std::string all = " 1 - 10 20 ffffff ffffff ffffff ffffff 20 300 ", stopped = " 1 - 9 9 0 0 0 0 0 0 --- 0 0";
    Walk("Game.ini", [] { LoadGameSettings(SkinPath); },
        [&] {
            GameSettings& g = GameIni;
            std::string sounds;
            for (const SoundSlot& slot : g.GameSounds) sounds += slot.Loaded && slot.Buffer ? 'L' : '-';
            return Words(Logged(), Backgrounds.DDSurfGame != nullptr, g.UseTextWindow ? Sprite(g.TextWindowAnime) : "-",
                         g.QuestionFont.Size, g.TimeFont.Size, Hex(g.QuestionFontColor1), Hex(g.QuestionFontColor2),
                         Hex(g.QuestionFontColor3), Hex(g.TimeFontColor), g.RomeY, g.TimeX, sounds, g.GameWipeIn.Enabled,
                         g.GameWipeOut.Enabled);
        },
        {
            {"-", all + "--- 0 0"},
            {"[QuestionText]\nQuestionFontColor1=1,2,3\nQuestionFontColor2=1,2,3,4\nRomeY=7\n",
             "game.ini! 1 - 10 9 30201 0 0 0 7 0 --- 0 0"},
            {"[QuestionText]\nQuestionFontColor2=1,x,3\nQuestionFontColor3=300,20,5\n[Time]\nTimeFontSize=500\nTimeX=12\n",
             " 1 - 10 9 ffffff ffffff 514ff ffffff 20 12 --- 0 0"},
            {"[QuestionText]\nQuestionFontSize=201\nQuestionX=5\n", "game.ini!" + stopped},
            {"[TextWindow]\nFileName=window.bmp\nStartX=10\nStartY=20\nDX=1.5\nColumn=2\nMoveCount=1\n"
             "VisibleAfterMoveEnd=0\n",
             " 1 11 20 32 32 1; 10 20 ffffff ffffff ffffff ffffff 20 300 --- 0 0"},
            {"[TextWindow]\nFileName=nowhere.bmp\n", "nowhere.bmp? end 0 - 9 9 0 0 0 0 0 0 --- 0 0"},
            {"[Sound]\nType=sounds\\ok.wav\nComplete=\nMiss=Sounds/OK.WAV\n", all + "L-L 0 0"},
            {"[Sound]\nType=sounds/ok.wav\nComplete=missing.wav\nMiss=sounds/ok.wav\n", "game.ini!" + all + "L-- 0 0"},
            {"[BackGround]\nFileName=none.bmp\n", "none.bmp? end 0" + all.substr(2) + "--- 0 0"},
        });
}

TEST_F(SkinLoaderTest, ResultSettingsTable) {
    Bmp("skin/window.bmp", 40, 20, 0x336699, 0);
    // The warnings, the background, the window, the enter text and place, the max combo text, the rate's Y
    // and suffix, the font size, the colour of the four texts, the points, the back and front rank names
    // ('-' when not in use) and the sound.
    const std::string texts = "Press Any Key@300,190 MaxCombo 290 ％です 10 ", none = "@0,0  0  9 0  - - 0";
    const std::string sound = "[Sound]\nFirst=sounds\\ok.wav\n", points = "[Rank]\nPoint=90,70,50,0\n";
    Walk("result.ini", [] { LoadResultSettings(SkinPath); },
        [&] {
            const auto join = [](const auto& items, bool use = true) {
                std::ostringstream s;
                for (const auto& item : items) s << item << ",";
                return use ? s.str() : "-";
            };
            ResultSettings& r = ResultIni;
            const int32_t c = r.MaxComboItem.Color;
            const bool same = r.MissItem.Color == c && r.ClearItem.Color == c && r.RateItem.Color == c;
            return Words(Logged(), Backgrounds.DDSurfResult != nullptr, r.UseResultWindow ? Sprite(r.ResultWindowAnime) : "-",
                         r.EnterItem.Text + "@" + std::to_string(r.EnterItem.X) + "," + std::to_string(r.EnterItem.Y),
                         r.MaxComboItem.Text, r.RateItem.Y, r.RateSuffix, r.RateItem.Font.Size, same ? Hex(c) : "mixed",
                         join(r.Points), join(r.FileNameBack, r.UseFileNameBack), join(r.FileNameFront, r.UseFileNameFront),
                         r.ResultSounds[0].Loaded && r.ResultSounds[0].Buffer);
        },
        {
            {"-", " 1 - " + texts + "ffffff  - - 0"},
            {"[ResultText]\nResultFontSize=12\nResultFontColor=0,0,255\nEnterText=Go\nEnterX=1\nMaxComboText=C:\n"
             "Text1Y=5\nResultText2=%\n[ResultWindow]\nFileName=window.bmp\nDY=-2.5\n" + sound,
             " 1 0 -5 40 20 1; Go@1,190 C: 5 % 12 ff0000  - - 1"},
            {points + "FileNameBack=a,b,c\nFileNameFront=w,x,y,z\n",
             " 1 - " + texts + "ffffff 90,70,50,0, a,b,c, w,x,y,z, 0"},
            {points + "FileNameBack=a,b\n" + sound, "Result.ini! 1 - " + texts + "ffffff 90,70,50,0, - - 0"},
            {"[Rank]\nPoint=90,x,50\n" + sound, "Result.ini! 1 - " + texts + "ffffff  - - 0"},
            {"[ResultText]\nResultFontSize=0\n", "Result.ini! 1 - " + none},
            {"[BackGround]\nFileName=none.bmp\n" + sound, "none.bmp? end 0 - " + texts + "ffffff  - - 0"},
        });
}

TEST_F(SkinLoaderTest, TitleAndKeyConfSettingsTables) {
    // Each title text (text, x, y, size, colour), the wipe, the warnings and the background.
    const std::string texts = "@ 300 220 10 ffffff|@ 300 240 10 ffffff|@ 300 260 10 ffffff|@ 300 280 10 ffffff|";
    Walk("title.ini", [] { LoadTitleSettings(SkinPath); },
        [&] {
            std::string s;
            for (const TextItem& t : TitleIni.TitleTexts) s += Words(t.Text, t.X, t.Y, t.Font.Size, Hex(t.Color)) + "|";
            const WipeSettings& wipe = TitleIni.TitleWipeIn;
            return Words(s, wipe.Enabled, wipe.Kind, Logged(), Backgrounds.DDSurfTitle != nullptr);
        },
        {
            {"-", texts + " 0   1"},
            {"[Wipe]\nIn=BoxOut\n[TitleText]\nTitleText2_Text=D: 30 seconds\nTitleText10_Text=x\nTitleText_Text=y\n"
             "TitleText4_FontColor=255,0,0\nTitleText4_FontSize=24\nTitleText4_X=-3\nTitleText1_FontColor=1,2\n",
             "@ 300 220 10 0|D: 30 seconds 300 240 10 ffffff|@ 300 260 10 ffffff|@ -3 280 24 ff| -1 BoxOut  1"},
            {"[TitleText]\nTitleText3_Text=K\nTitleText3_FontSize=300\nTitleText3_X=5\n",
             texts.substr(0, 40) + "K 0 0 9 0| 0 0 9 0| 0  Title.ini! 1"},
            {"[BackGround]\nFileName=Title.jpg\n", texts + " 0  Title.jpg? end 0"},
        });
    Walk("keyconf.ini", [] { LoadKeyConfSettings(SkinPath); },
        [&] {
            const KeyConfSettings& k = KeyConfIni;
            return Words(k.KeyConfFont.Name, k.KeyConfFont.Size, Hex(k.KeyConfFontColor), Logged(),
                         Backgrounds.DDSurfKeyConf != nullptr);
        },
        {
            {"-", "MS UI Gothic 14 ffffff  1"},
            {"[TitleText]\nKeyConfFontName=IPAGothic\nKeyConfFontSize=12\nKeyConfFontColor=300,0,16\n",
             "IPAGothic 12 1000ff  1"},
            {"[TitleText]\nKeyConfFontSize=0\n", "MS UI Gothic 9 0 KeyConf.ini! 1"},
            {"[BackGround]\nFileName=keys.bmp\n", "MS UI Gothic 14 ffffff keys.bmp? end 0"},
        });
}

}  // namespace
}  // namespace dexlora::test
