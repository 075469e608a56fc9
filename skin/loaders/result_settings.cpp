// result.ini: the result scene's wipe, window, texts, ranks, background and
// sound.
#include "drawing/display.h"
#include "settings/ini.h"
#include "settings/shared.h"
#include "skin/loaders/loader_support.h"
#include "skin/loaders/loaders.h"

namespace dexlora {

ResultSettings ResultIni;

using namespace loader_detail;

namespace {

constexpr std::string_view ResultWarning =
    "Result.iniにエラーの可能性があったので、デフォルト値で設定しました";

struct ResultTextKeys {
    TextItem& Item;
    const char* TextKey;
    const char* DefaultText;
    const char* XKey;
    int32_t DefaultX;
    const char* YKey;
    int32_t DefaultY;
};

void ReadResultText(const std::string& file, const ResultTextKeys& keys) {
    TextItem& item = keys.Item;
    item.Font.Name = ReadIniString(file, "ResultText", "ResultFontName", "MS UI Gothic");
    SetFontSize(item.Font, ReadIniInt(file, "ResultText", "ResultFontSize", 10));
    item.Color = ReadIniColor(file, "ResultText", "ResultFontColor");
    item.Text = ReadIniString(file, "ResultText", keys.TextKey, keys.DefaultText);
    item.X = ReadIniInt(file, "ResultText", keys.XKey, keys.DefaultX);
    item.Y = ReadIniInt(file, "ResultText", keys.YKey, keys.DefaultY);
}

// The figures beyond the four: each shown only when its text key is there,
// in the section's own font, size and colour (by default the four's).
void ReadResultExtras(const std::string& file) {
    const std::string name =
        ReadIniString(file, "ResultExtra", "FontName", ReadIniString(file, "ResultText", "ResultFontName", "MS UI Gothic"));
    const int32_t size =
        ReadIniInt(file, "ResultExtra", "FontSize", ReadIniInt(file, "ResultText", "ResultFontSize", 10));
    const bool ownColor = !ReadIniString(file, "ResultExtra", "FontColor", "").empty();
    const int32_t color = ReadIniColor(file, ownColor ? "ResultExtra" : "ResultText", ownColor ? "FontColor" : "ResultFontColor");
    const std::tuple<ResultExtraItem&, const char*, int32_t, const char*> items[] = {
        {ResultIni.SpeedItem, "Speed", 310, ""}, {ResultIni.AccuracyItem, "Accuracy", 330, "%"},
        {ResultIni.BestItem, "Best", 350, ""}, {ResultIni.WeakItem, "Weak", 370, ""},
    };
    constexpr std::string_view Absent = "\x01";
    for (const auto& [extra, key, y, suffix] : items) {
        const std::string k = key;
        extra.Item.Text = ReadIniString(file, "ResultExtra", k + "Text", Absent);
        if (extra.Item.Text == Absent) continue;
        extra.Item.Font.Name = name;
        SetFontSize(extra.Item.Font, size);
        extra.Item.Color = color;
        extra.Item.X = ReadIniInt(file, "ResultExtra", k + "X", 300);
        extra.Item.Y = ReadIniInt(file, "ResultExtra", k + "Y", y);
        extra.Suffix = ReadIniString(file, "ResultExtra", k + "Suffix", suffix);
        extra.Use = true;
    }
}

// A list of rank names must cover every threshold but the last, which the
// scene's default file may stand for.
void ReadRankNames(const std::string& file, std::string_view key, std::vector<std::string>& names, bool& use) {
    std::vector<std::string> list = SplitList(ReadIniString(file, "Rank", key, ""));
    if (list.empty()) return;
    if (static_cast<int64_t>(list.size()) < static_cast<int64_t>(ResultIni.Points.size()) - 1)
        throw RuntimeError(ErrSubscript, "fewer rank names than thresholds");
    names = std::move(list);
    use = true;
}

}  // namespace

void LoadResultSettings(std::string_view skinFolder) {
    const SettingsFile ini{std::string(skinFolder), "result.ini"};
    const std::string file = ini.Path();
    bool backgroundDone = false;
    for (ResultExtraItem* extra : {&ResultIni.SpeedItem, &ResultIni.AccuracyItem, &ResultIni.BestItem, &ResultIni.WeakItem})
        *extra = ResultExtraItem{};
    try {
        ReadWipe(file, "In", ResultIni.ResultWipeIn);

        if (!ReadIniString(file, "ResultWindow", "FileName", "").empty()) {
            SpriteKeys keys = ReadSpriteKeys(file, "ResultWindow", 0, 0);
            ResultIni.ResultWindowAnime = MakeSprite(ini, "ResultWindow", keys, true);
            ResultIni.UseResultWindow = true;
        }

        const ResultTextKeys texts[] = {
            {ResultIni.EnterItem, "EnterText", "Press Any Key", "EnterX", 300, "EnterY", 190},
            {ResultIni.MaxComboItem, "MaxComboText", "MaxCombo", "MaxComboX", 300, "MaxComboY", 210},
            {ResultIni.MissItem, "MissText", "Miss", "MissX", 300, "MissY", 230},
            {ResultIni.ClearItem, "ClearText", "Clear", "ClearX", 300, "ClearY", 250},
            {ResultIni.RateItem, "ResultText1", "タイプ極め度は", "Text1X", 300, "Text1Y", 290},
        };
        for (const ResultTextKeys& keys : texts) ReadResultText(file, keys);
        ResultIni.RateSuffix = ReadIniString(file, "ResultText", "ResultText2", "％です");
        ReadResultExtras(file);

        ResultIni.UseFileNameBack = false;
        ResultIni.UseFileNameFront = false;
        std::vector<std::string> pointTexts = SplitList(ReadIniString(file, "Rank", "Point", ""));
        if (!pointTexts.empty()) {
            // A list with a bad item is not used at all: half a list would
            // give ranks the skin never asked for.
            std::vector<int32_t> points;
            for (const std::string& text : pointTexts) points.push_back(CLng(text));
            ResultIni.Points = std::move(points);
            ReadRankNames(file, "FileNameBack", ResultIni.FileNameBack, ResultIni.UseFileNameBack);
            ReadRankNames(file, "FileNameFront", ResultIni.FileNameFront, ResultIni.UseFileNameFront);
        }

        if (!LoadBackground(ini, "Result.bmp", Backgrounds.ResultDesc, Backgrounds.DDSurfResult)) return;
        backgroundDone = true;

        SoundSlots& sounds = ResultIni.ResultSounds;
        ClearSoundSlots(sounds);
        std::string sound = ReadIniString(file, "Sound", "First", "");
        if (!sound.empty()) {
            sounds[0].Buffer = LoadSound(ini.Folder, sound, DSBCAPS_STATIC | DSBCAPS_CTRLVOLUME);
            sounds[0].Buffer->SetVolume(0);
            sounds[0].Loaded = true;
        }
    } catch (const RuntimeError&) {
        AppendErrLog(ResultWarning);
        // The scene cannot be entered without a background: a warning before
        // it still loads it (the sound stays unloaded).
        if (!backgroundDone) LoadBackground(ini, "Result.bmp", Backgrounds.ResultDesc, Backgrounds.DDSurfResult);
    } catch (const PictureFailed&) {
    }
}

}  // namespace dexlora
