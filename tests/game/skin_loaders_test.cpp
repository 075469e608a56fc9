// The skin loaders: which names a settings file may give, each loader's
// outcomes (absent file, malformed values, stop points with their one
// warning, pictures and sounds that cannot be loaded) as one table per
// loader, and the bundled skin's sprite sheets. (Start-up's loading order and
// its stop after a picture failure are the whole-skin fuzz target's checks.)
#include <filesystem>
#include <set>

#include "settings/ini.h"
#include "skin/loaders/loader_support.h"
#include "tests/support/fixture.h"

namespace dexlora::test {
namespace {

using Rows = std::vector<std::pair<std::string, std::string>>;

class SkinLoaderTest : public DexloraTest {
protected:
    SkinLoaderTest() {
        Bmp("skin/sheet.bmp", 64, 16, 0x336699, 0x123456);
        for (const char* name : {"Game.bmp", "Result.bmp", "Title.bmp", "KeyConf.bmp"})
            Bmp("skin/" + std::string(name), 640, 480);
        Wave("skin/Sounds/ok.wav");
        Wave("outside.wav");
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
              const Rows& rows) {
        for (const auto& [ini, expected] : rows) {
            ResetSkinGlobals(), ResetSceneControl(), ErrLog.clear();
            std::filesystem::remove(skin + name);
            if (ini != "-") Ini(name, ini);
            load();
            EXPECT_EQ(describe(), expected) << ini;
        }
    }
};

// "x y w h drawn;" of a sprite after three ticks, drawn on black.
std::string Sprite(clsAnimeCharacter& sprite) {
    sprite.InitFirstValue();
    for (int tick = 0; tick < 3; ++tick) sprite.AddTC();
    SurfaceDesc desc{DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH, 480, 640, 0, DDSCAPS_OFFSCREENPLAIN};
    SurfacePtr screen = DDraw->CreateSurface(desc);
    sprite.PrintCharacter(screen);
    const RECT at = sprite.GetPosition();
    return Words(at.Left, at.Top, sprite.GetWidth(), sprite.GetHeight(),
                 CountColour(*screen, {0, 0, 640, 480}, Black) < 640 * 480) + ";";
}
std::string Sprites(AnimeList& list) {
    std::string out;
    for (clsAnimeCharacter& sprite : list) out += Sprite(sprite);
    return out;
}
std::string Hex(int32_t colour) { return (std::ostringstream() << std::hex << colour).str(); }

TEST(SkinFilePathTest, NamesStayInsideTheSkinFolder) {
    for (auto [name, inside] : {std::pair{"a.bmp", true}, {"Sub\\b.BMP", true}, {"./Sub/../a.bmp", true},
                                {"..\\a.bmp", false}, {"Sub/../../a.bmp", false}, {"/tmp/a.bmp", false},
                                {"\\a.bmp", false}, {"C:\\a.bmp", false}, {"c:a.bmp", false}}) {
        const auto path = loader_detail::SkinFilePath("/skin/", name);
        EXPECT_EQ(path.value_or("-"), inside ? "/skin/" + std::string(name) : "-") << name;
    }
}

TEST_F(SkinLoaderTest, AnimeListTable) {
    Bmp("skin/Sub/Star.bmp", 20, 10, White, 0);
    Bmp("outside.bmp", 20, 10);
    AnimeList list;
    bool answer = false;
    const std::string a = "[setting]\nAnimeName=a\n[a]\nFileName=sheet.bmp\n", b = "[b]\nFileName=sheet.bmp\n";
    Walk("anime.ini", [&] { list.clear(), answer = LoadAnimeList(SkinPath, "anime.ini", list, GameFrontAnimeWarning); },
         [&] { return Words(Logged(), answer, Sprites(list)); },
         {
             {"-", " 0 "},
             {"[setting]\nAnimeName=\n[a]\nFileName=sheet.bmp\n", " 0 "},
             {"[setting]\nAnimeName=b,a\n[a]\nFileName=sheet.bmp\nColumn=4\n" + b + "StartX=-5\nStartY=7\nRow=2\n",
              " 1 -5 7 64 8 1;320 240 16 16 1;"},
             {a + "StartX=0\nStartY=0\nDX=2.5\nDY=-1\nWait=1\nMoveCount=1\nVisibleAfterMoveEnd=0\nColumn=2\n",
              " 1 2 -1 32 16 0;"},
             {"[setting]\nAnimeName=a\n[a]\nFileName=SUB\\star.BMP\n", " 1 320 240 20 10 1;"},
             {"[setting]\nAnimeName=a,b\n[a]\nFileName=sheet.bmp\n", "? end 0 320 240 64 16 1;"},
             {a + "DX=1,5\n", "Game_Anime.ini! 0 "},
             {"[setting]\nAnimeName=a,b\n[a]\nFileName=sheet.bmp\n" + b + "DY=\n", "Game_Anime.ini! 0 320 240 64 16 1;"},
             {a + "Row=0\n", "Game_Anime.ini! 0 "},
             {"[setting]\nAnimeName=a\n[a]\nFileName=..\\outside.bmp\n", "..\\outside.bmp? end 0 "},
         });
}

// Result files replace their list; their "First" sound goes to slot 0, the back file emptying the
// other slots first. Before each row the list holds one sprite and every slot is loaded ('L'); 'S'
// is a slot with its sound.
TEST_F(SkinLoaderTest, ResultAnimeFilesAndTheirSounds) {
    AnimeList list;
    bool answer = false;
    const std::string names = "[setting]\nAnimeName=a\n[a]\nFileName=sheet.bmp\n";
    for (AnimeFileKind kind : {AnimeFileKind::ResultBack, AnimeFileKind::ResultFront}) {
        const bool back = kind == AnimeFileKind::ResultBack;
        Walk(
            "Gold.ini",
            [&] {
                for (SoundSlot& slot : ResultIni.ResultSounds) slot = {nullptr, true};
                list.clear(), list.emplace_back();
                answer = LoadAnimeList(SkinPath, "gold.ini", list, back ? "back.iniに" : "front.iniに", kind);
            },
            [&] {
                std::string slots;
                for (const SoundSlot& slot : ResultIni.ResultSounds)
                    slots += slot.Loaded ? (slot.Buffer ? 'S' : 'L') : '-';
                return Words(ErrLog.substr(0, ErrLog.find("に")), answer, list.size(), slots);
            },
            back ? Rows{{names, " 1 1 LLL"},
                        {"[Sound]\nFirst=sounds\\OK.WAV\n" + names, " 1 1 S--"},
                        {"[Sound]\nFirst=none.wav\n" + names, "back.ini 0 0 ---"}}
                 : Rows{{"[Sound]\nFirst=Sounds/ok.wav\n" + names, " 1 1 SLL"},
                        {"[Sound]\nFirst=../outside.wav\n" + names, "front.ini 0 0 LLL"}});
    }
}

TEST_F(SkinLoaderTest, GameSettingsTable) {
    Bmp("skin/window.bmp", 64, 32, 0x336699, 0x00FF00);
    // The warnings, the background, the text window, the sizes of the question and time fonts, the question,
    // typed, untyped and time colours, RomeY, TimeX, the sounds and the two wipes.
    const std::string all = " 1 - 10 20 ffffff ffffff ffffff ffffff 20 300 ", stopped = " 1 - 9 9 0 0 0 0 0 0 --- 0 0";
    Walk(
        "Game.ini", [] { LoadGameSettings(SkinPath); },
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
            {"[Wipe]\nIn=BoxIn\nOut=\n", all + "--- -1 0"},
            {"[QuestionText]\nQuestionFontColor1=1,2,3\nQuestionFontColor2=1,2,3,4\nRomeY=7\n",
             "game.ini! 1 - 10 9 30201 0 0 0 7 0 --- 0 0"},
            {"[QuestionText]\nQuestionFontColor2=1,x,3\nQuestionFontColor3=300,20,5\n[Time]\nTimeX=9\n",
             " 1 - 10 20 ffffff ffffff 514ff ffffff 20 9 --- 0 0"},
            {"[QuestionText]\nQuestionFontColor1=-1,0,0\n", all + "--- 0 0"},
            {"[QuestionText]\nQuestionFontSize=201\nQuestionX=5\n", "game.ini!" + stopped},
            {"[QuestionText]\nQuestionFontSize=200\n", " 1 - 200 20 ffffff ffffff ffffff ffffff 20 300 --- 0 0"},
            {"[Time]\nTimeFontSize=500\nTimeX=12\n", " 1 - 10 9 ffffff ffffff ffffff ffffff 20 12 --- 0 0"},
            {"[Time]\nTimeFontColor=1,2\n", " 1 - 10 20 ffffff ffffff ffffff 0 20 300 --- 0 0"},
            {"[TextWindow]\nFileName=window.bmp\nStartX=10\nStartY=20\nDX=1.5\nColumn=2\nMoveCount=1\n"
             "VisibleAfterMoveEnd=0\n",
             " 1 11 20 32 32 1; 10 20 ffffff ffffff ffffff ffffff 20 300 --- 0 0"},
            {"[TextWindow]\nFileName=window.bmp\nDX=fast\n", "game.ini!" + stopped},
            {"[TextWindow]\nFileName=nowhere.bmp\n", "nowhere.bmp? end 0 - 9 9 0 0 0 0 0 0 --- 0 0"},
            {"[Sound]\nType=sounds\\ok.wav\nComplete=\nMiss=Sounds/OK.WAV\n", all + "L-L 0 0"},
            {"[Sound]\nType=sounds/ok.wav\nComplete=missing.wav\nMiss=sounds/ok.wav\n", "game.ini!" + all + "L-- 0 0"},
            {"[Sound]\nType=..\\outside.wav\n", "game.ini!" + all + "--- 0 0"},
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
    Walk(
        "result.ini", [] { LoadResultSettings(SkinPath); },
        [&] {
            const auto list = [](const std::vector<std::string>& names, bool use) {
                std::string s = use ? "" : "-";
                for (const std::string& name : names) s += use ? name + "," : "";
                return s;
            };
            ResultSettings& r = ResultIni;
            std::string points;
            for (int32_t point : r.Points) points += std::to_string(point) + ",";
            const int32_t c = r.MaxComboItem.Color;
            const bool same = r.MissItem.Color == c && r.ClearItem.Color == c && r.RateItem.Color == c;
            return Words(Logged(), Backgrounds.DDSurfResult != nullptr, r.UseResultWindow ? Sprite(r.ResultWindowAnime) : "-",
                         r.EnterItem.Text + "@" + std::to_string(r.EnterItem.X) + "," + std::to_string(r.EnterItem.Y),
                         r.MaxComboItem.Text, r.RateItem.Y, r.RateSuffix, r.RateItem.Font.Size, same ? Hex(c) : "mixed",
                         points, list(r.FileNameBack, r.UseFileNameBack), list(r.FileNameFront, r.UseFileNameFront),
                         r.ResultSounds[0].Loaded && r.ResultSounds[0].Buffer);
        },
        {
            {"-", " 1 - " + texts + "ffffff  - - 0"},
            {"[ResultText]\nResultFontSize=12\nResultFontColor=0,0,255\nEnterText=Go\nEnterX=1\nMaxComboText=C:\n"
             "Text1Y=5\nResultText2=%\n" + sound,
             " 1 - Go@1,190 C: 5 % 12 ff0000  - - 1"},
            {"[ResultText]\nResultFontColor=0,0\n", " 1 - " + texts + "0  - - 0"},
            {points + "FileNameBack=a,b,c\nFileNameFront=w,x,y,z\n",
             " 1 - " + texts + "ffffff 90,70,50,0, a,b,c, w,x,y,z, 0"},
            {points + "FileNameBack=a,b\n" + sound, "Result.ini! 1 - " + texts + "ffffff 90,70,50,0, - - 0"},
            {points + "FileNameBack=a,b,c\nFileNameFront=x\n", "Result.ini! 1 - " + texts + "ffffff 90,70,50,0, a,b,c, - 0"},
            {"[Rank]\nFileNameBack=a,b\n", " 1 - " + texts + "ffffff  - - 0"},
            {"[Rank]\nPoint=90,x,50\n" + sound, "Result.ini! 1 - " + texts + "ffffff  - - 0"},
            {"[ResultText]\nResultFontSize=0\n", "Result.ini! 1 - " + none},
            {"[ResultWindow]\nFileName=window.bmp\nDY=-2.5\n", " 1 0 -5 40 20 1; " + texts + "ffffff  - - 0"},
            {"[ResultWindow]\nFileName=gone.bmp\n", "gone.bmp? end 0 - " + none},
            {"[Sound]\nFirst=none.wav\n", "Result.ini! 1 - " + texts + "ffffff  - - 0"},
            {"[BackGround]\nFileName=none.bmp\n" + sound, "none.bmp? end 0 - " + texts + "ffffff  - - 0"},
        });
}

TEST_F(SkinLoaderTest, TitleAndKeyConfSettingsTables) {
    // Each title text (text, x, y, size, colour), the wipe, the warnings and the background.
    const std::string text = "@ 300 220 10 ffffff|", others = "@ 300 240 10 ffffff|@ 300 260 10 ffffff|";
    const std::string texts = text + others + "@ 300 280 10 ffffff|";
    Walk(
        "title.ini", [] { LoadTitleSettings(SkinPath); },
        [&] {
            std::string s;
            for (const TextItem& t : TitleIni.TitleTexts) s += Words(t.Text, t.X, t.Y, t.Font.Size, Hex(t.Color)) + "|";
            const WipeSettings& wipe = TitleIni.TitleWipeIn;
            return Words(s, wipe.Enabled, wipe.Kind, Logged(), Backgrounds.DDSurfTitle != nullptr);
        },
        {
            {"-", texts + " 0   1"},
            {"[TitleText]\nTitleText2_Text=D: 30 seconds\nTitleText10_Text=x\nTitleText_Text=y\n",
             text + "D: 30 seconds 300 240 10 ffffff|@ 300 260 10 ffffff|@ 300 280 10 ffffff| 0   1"},
            {"[Wipe]\nIn=BoxOut\n[TitleText]\nTitleText4_FontColor=255,0,0\nTitleText4_FontSize=24\n"
             "TitleText4_X=-3\nTitleText1_FontColor=1,2\n",
             "@ 300 220 10 0|" + others + "@ -3 280 24 ff| -1 BoxOut  1"},
            {"[TitleText]\nTitleText3_Text=K\nTitleText3_FontSize=300\nTitleText3_X=5\n",
             text + "@ 300 240 10 ffffff|K 0 0 9 0| 0 0 9 0| 0  Title.ini! 1"},
            {"[BackGround]\nFileName=Title.jpg\n", texts + " 0  Title.jpg? end 0"},
        });
    Walk(
        "keyconf.ini", [] { LoadKeyConfSettings(SkinPath); },
        [&] {
            const KeyConfSettings& k = KeyConfIni;
            return Words(k.KeyConfFont.Name, k.KeyConfFont.Size, Hex(k.KeyConfFontColor), Logged(),
                         Backgrounds.DDSurfKeyConf != nullptr);
        },
        {
            {"-", "MS UI Gothic 14 ffffff  1"},
            {"[TitleText]\nKeyConfFontName=IPAGothic\nKeyConfFontSize=12\nKeyConfFontColor=300,0,16\n",
             "IPAGothic 12 1000ff  1"},
            {"[KeyConf]\nKeyConfFontSize=30\nKeyConfFontColor=0,0,0\n", "MS UI Gothic 14 ffffff  1"},
            {"[TitleText]\nKeyConfFontColor=1,2\n", "MS UI Gothic 14 0 KeyConf.ini! 1"},
            {"[TitleText]\nKeyConfFontSize=0\n", "MS UI Gothic 9 0 KeyConf.ini! 1"},
            {"[BackGround]\nFileName=keys.bmp\n", "MS UI Gothic 14 ffffff keys.bmp? end 0"},
        });
}

// Sprite sheets must not carry anti-aliased edges blended into their key colour: such pixels escape
// the colour key and ring every sprite.
TEST_F(SkinLoaderTest, StandardSkinSheetsHaveNoFringeAroundTheirKeyColour) {
    const std::string standard = DEXLORA_SOURCE_DIR "/skins/Standard/";
    std::set<std::string> sheets;
    for (const auto& entry : std::filesystem::directory_iterator(standard))
        if (entry.path().extension() == ".bmp") sheets.insert(entry.path().filename().string());
    for (const char* ini : {"title.ini", "Game.ini", "result.ini", "keyconf.ini"})
        sheets.erase(ReadIniString(standard + ini, "BackGround", "FileName", ""));
    EXPECT_GT(sheets.size(), 5u) << "the standard skin's sprite sheets were found";
    for (const std::string& name : sheets) {
        SurfaceDesc desc;
        SurfacePtr sheet;
        LoadImageSurface(DDraw, standard + name, desc, sheet);
        ASSERT_TRUE(sheet) << name;
        const RECT all{0, 0, desc.lWidth, desc.lHeight};
        const int32_t key = sheet->GetPixel(0, 0);
        EXPECT_EQ(CountColour(*sheet, all, key, 96), CountColour(*sheet, all, key)) << name << ": pixels near the key";
    }
}

}  // namespace
}  // namespace dexlora::test
