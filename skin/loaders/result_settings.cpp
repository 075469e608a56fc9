// result.ini: the result scene's wipe, window, texts, ranks, background and
// sound.
#include "drawing/display.h"
#include "settings/ini.h"
#include "settings/shared.h"
#include "skin/loaders/loader_support.h"
#include "skin/loaders/loaders.h"

namespace dexlora {

WipeSettings ResultWipeIn;
clsAnimeCharacter ResultWindowAnime;
bool UseResultWindow = false;
TextItem EnterItem, MaxComboItem, MissItem, ClearItem, RateItem;
std::string RateSuffix;
std::vector<int32_t> Points;
std::vector<std::string> FileNameBack, FileNameFront;
bool UseFileNameBack = false, UseFileNameFront = false;
SoundSlots ResultSounds;

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

// A list of rank names must cover every threshold but the last, which the
// scene's default file may stand for.
void ReadRankNames(const std::string& file, std::string_view key, std::vector<std::string>& names, bool& use) {
    std::vector<std::string> list = SplitList(ReadIniString(file, "Rank", key, ""));
    if (list.empty()) return;
    if (static_cast<int64_t>(list.size()) < static_cast<int64_t>(Points.size()) - 1)
        throw RuntimeError(ErrSubscript, "fewer rank names than thresholds");
    names = std::move(list);
    use = true;
}

}  // namespace

void LoadResultSettings(std::string_view skinFolder) {
    const SettingsFile ini{std::string(skinFolder), "result.ini"};
    const std::string file = ini.Path();
    bool backgroundDone = false;
    auto loadBackground = [&] {
        LoadPicture(ini, "BackGround", "FileName", ReadIniString(file, "BackGround", "FileName", "Result.bmp"),
                    ResultDesc, DDSurfResult);
        backgroundDone = true;
    };
    try {
        ResultWipeIn.Kind = ReadIniString(file, "Wipe", "In", "");
        if (!ResultWipeIn.Kind.empty()) ResultWipeIn.Enabled = -1;

        if (!ReadIniString(file, "ResultWindow", "FileName", "").empty()) {
            SpriteKeys keys = ReadSpriteKeys(file, "ResultWindow", 0, 0);
            ResultWindowAnime = MakeSprite(ini, "ResultWindow", keys, true);
            UseResultWindow = true;
        }

        const ResultTextKeys texts[] = {
            {EnterItem, "EnterText", "Press Any Key", "EnterX", 300, "EnterY", 190},
            {MaxComboItem, "MaxComboText", "MaxCombo", "MaxComboX", 300, "MaxComboY", 210},
            {MissItem, "MissText", "Miss", "MissX", 300, "MissY", 230},
            {ClearItem, "ClearText", "Clear", "ClearX", 300, "ClearY", 250},
            {RateItem, "ResultText1", "タイプ極め度は", "Text1X", 300, "Text1Y", 290},
        };
        for (const ResultTextKeys& keys : texts) ReadResultText(file, keys);
        RateSuffix = ReadIniString(file, "ResultText", "ResultText2", "％です");

        UseFileNameBack = false;
        UseFileNameFront = false;
        std::vector<std::string> pointTexts = SplitList(ReadIniString(file, "Rank", "Point", ""));
        if (!pointTexts.empty()) {
            // A list with a bad item is not used at all: half a list would
            // give ranks the skin never asked for.
            std::vector<int32_t> points;
            for (const std::string& text : pointTexts) points.push_back(CLng(text));
            Points = std::move(points);
            ReadRankNames(file, "FileNameBack", FileNameBack, UseFileNameBack);
            ReadRankNames(file, "FileNameFront", FileNameFront, UseFileNameFront);
        }

        loadBackground();

        ClearSoundSlots(ResultSounds);
        std::string sound = ReadIniString(file, "Sound", "First", "");
        if (!sound.empty()) {
            ResultSounds[0].Buffer = LoadSound(ini.Folder, sound, DSBCAPS_STATIC | DSBCAPS_CTRLVOLUME);
            ResultSounds[0].Buffer->SetVolume(0);
            ResultSounds[0].Loaded = true;
        }
    } catch (const RuntimeError&) {
        AppendErrLog(ResultWarning);
        // The scene cannot be entered without a background: a warning before
        // it still loads it (the sound stays unloaded).
        try {
            if (!backgroundDone) loadBackground();
        } catch (const PictureFailed&) {
        }
    } catch (const PictureFailed&) {
    }
}

}  // namespace dexlora
