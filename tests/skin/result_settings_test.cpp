// result.ini: every outcome of the loader as one table.
#include <optional>
#include <sstream>

#include "tests/skin/loader_fixture.h"

namespace dexlora::test {
namespace {

constexpr char ResultWarning[] = "Result.iniにエラーの可能性があったので、デフォルト値で設定しました\r\n";

struct ResultOutcome {
    std::string errLog{};
    bool ended = false;
    bool background = true;
    bool window = false;
    std::string texts = "Press Any Key@300,190|MaxCombo@300,210|Miss@300,230|Clear@300,250|タイプ極め度は@300,290|％です";
    float fontSize = 10;
    int32_t color = White;  // of the four coloured texts
    std::string points{};    // "90,70," ...
    std::string back{}, front{};  // the lists in use, "-" when not
    bool sound = false;

};

std::string Describe(const ResultOutcome& o) {
    std::ostringstream s;
    s << "errLog=[" << o.errLog << "] ended=" << o.ended << " background=" << o.background << " window=" << o.window
      << " texts=" << o.texts << " size=" << o.fontSize << " color=" << std::hex << o.color << std::dec
      << " points=" << o.points << " back=" << o.back << " front=" << o.front << " sound=" << o.sound;
    return s.str();
}

std::string Joined(const std::vector<std::string>& names, bool use) {
    if (!use) return "-";
    std::string s;
    for (const std::string& name : names) s += name + ",";
    return s;
}

ResultOutcome Observe() {
    ResultOutcome o;
    o.errLog = ErrLog;
    o.ended = (PendingScene() == NextScene::Shutdown);
    o.background = DDSurfResult != nullptr;
    o.window = UseResultWindow;
    o.texts.clear();
    for (const TextItem* item : {&EnterItem, &MaxComboItem, &MissItem, &ClearItem, &RateItem})
        o.texts += item->Text + "@" + std::to_string(item->X) + "," + std::to_string(item->Y) + "|";
    o.texts += RateSuffix;
    o.fontSize = RateItem.Font.Size;
    o.color = MaxComboItem.Color;
    for (const TextItem* item : {&MissItem, &ClearItem, &RateItem})
        if (item->Color != o.color) o.color = -1;  // the four must agree
    for (int32_t point : Points) o.points += std::to_string(point) + ",";
    o.back = Joined(FileNameBack, UseFileNameBack);
    o.front = Joined(FileNameFront, UseFileNameFront);
    o.sound = ResultSounds[0].Loaded && ResultSounds[0].Buffer;
    return o;
}

// A stop before the texts: every text still empty.
constexpr char NoTexts[] = "@0,0|@0,0|@0,0|@0,0|@0,0|";

struct ResultCase {
    const char* name;
    std::optional<std::string> ini;
    ResultOutcome expected;
};

TEST_F(LoaderTest, ResultSettingsTable) {
    Bmp("skin/Result.bmp", 640, 480);
    Bmp("skin/window.bmp", 40, 20);
    Wave("skin/Sounds/Fanfare.wav");
    const std::string points4 = "[Rank]\nPoint=90,70,50,0\n";
    const std::string sound = "[Sound]\nFirst=sounds\\fanfare.WAV\n";
    const ResultCase cases[] = {
        {"file absent", std::nullopt, {.back = "-", .front = "-"}},
        {"texts, colour and sound",
         "[ResultText]\nResultFontSize=12\nResultFontColor=0,0,255\nEnterText=Go\nEnterX=1\nMaxComboText=C:\n"
         "Text1Y=5\nResultText2=%\n" + sound,
         {.texts = "Go@1,190|C:@300,210|Miss@300,230|Clear@300,250|タイプ極め度は@300,5|%", .fontSize = 12,
          .color = 0xFF0000, .back = "-", .front = "-", .sound = true}},
        {"malformed colour is black", "[ResultText]\nResultFontColor=0,0\n", {.color = 0, .back = "-", .front = "-"}},
        {"four points, three back names", points4 + "FileNameBack=a,b,c\nFileNameFront=w,x,y,z\n",
         {.points = "90,70,50,0,", .back = "a,b,c,", .front = "w,x,y,z,"}},
        {"four points, two back names stops; background still loaded", points4 + "FileNameBack=a,b\n" + sound,
         {.errLog = ResultWarning, .points = "90,70,50,0,", .back = "-", .front = "-"}},
        {"front names short after a good back list", points4 + "FileNameBack=a,b,c\nFileNameFront=x\n",
         {.errLog = ResultWarning, .points = "90,70,50,0,", .back = "a,b,c,", .front = "-"}},
        {"names without points are not read", "[Rank]\nFileNameBack=a,b\n", {.back = "-", .front = "-"}},
        {"a point that is not a number leaves no ranks", "[Rank]\nPoint=90,x,50\n" + sound,
         {.errLog = ResultWarning, .back = "-", .front = "-"}},
        {"font size 0 stops before the texts", "[ResultText]\nResultFontSize=0\n",
         {.errLog = ResultWarning, .texts = NoTexts, .fontSize = 9, .color = 0, .back = "-", .front = "-"}},
        {"window", "[ResultWindow]\nFileName=window.bmp\nDY=-2.5\n", {.window = true, .back = "-", .front = "-"}},
        {"window DX not a number", "[ResultWindow]\nFileName=window.bmp\nDX=x\n",
         {.errLog = ResultWarning, .texts = NoTexts, .fontSize = 9, .color = 0, .back = "-", .front = "-"}},
        {"window picture missing ends the program", "[ResultWindow]\nFileName=gone.bmp\n",
         {.errLog = PictureLine(Skin() + "gone.bmp"), .ended = true, .background = false, .texts = NoTexts,
          .fontSize = 9, .color = 0, .back = "-", .front = "-"}},
        {"sound missing", "[Sound]\nFirst=none.wav\n", {.errLog = ResultWarning, .back = "-", .front = "-"}},
        {"background missing", "[BackGround]\nFileName=none.bmp\n" + sound,
         {.errLog = PictureLine(Skin() + "none.bmp"), .ended = true, .background = false, .back = "-", .front = "-"}},
    };
    for (const ResultCase& c : cases) {
        Fresh();
        std::filesystem::remove(Skin() + "result.ini");
        if (c.ini) Ini("result.ini", *c.ini);
        LoadResultSettings(SkinPath);
        EXPECT_EQ(Describe(Observe()), Describe(c.expected)) << c.name;
    }
}

}  // namespace
}  // namespace dexlora::test
