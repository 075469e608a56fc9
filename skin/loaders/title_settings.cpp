// title.ini and keyconf.ini: the title's wipe, four texts, options line and background; the
// key configuration's font, colour and background.
#include <string>

#include "drawing/display.h"
#include "settings/ini.h"
#include "settings/shared.h"
#include "skin/loaders/loader_support.h"
#include "skin/loaders/loaders.h"

namespace dexlora {

TitleSettings TitleIni;
KeyConfSettings KeyConfIni;

using namespace loader_detail;

namespace {

constexpr std::string_view TitleWarning = "Title.iniでエラーの可能性があったので、デフォルト値で設定しました";
constexpr std::string_view KeyConfWarning =
    "KeyConf.iniでエラーの可能性があったので、デフォルト値で設定しました";

}  // namespace

void LoadTitleSettings(std::string_view skinFolder) {
    const SettingsFile ini{std::string(skinFolder), "title.ini"};
    const std::string file = ini.Path();
    try {
        ReadWipe(file, "In", TitleIni.TitleWipeIn);
        for (int n = 1; n <= 4; ++n) {
            TextItem& text = TitleIni.TitleTexts[static_cast<size_t>(n - 1)];
            const std::string key = "TitleText" + std::to_string(n);
            text.Font.Name = ReadIniString(file, "TitleText", key + "_FontName", "MS UI Gothic");
            text.Text = ReadIniString(file, "TitleText", key + "_Text", "@");
            SetFontSize(text.Font, ReadIniInt(file, "TitleText", key + "_FontSize", 10));
            text.X = ReadIniInt(file, "TitleText", key + "_X", 300);
            text.Y = ReadIniInt(file, "TitleText", key + "_Y", 200 + 20 * n);
            text.Color = ReadIniColor(file, "TitleText", key + "_FontColor");
        }
        TextItem& line = TitleIni.OptionsLine;
        TitleIni.OptionsLinePlaced = !ReadIniString(file, "OptionsLine", "Y", "").empty();
        line.Font.Name = ReadIniString(file, "OptionsLine", "FontName", "MS UI Gothic");
        SetFontSize(line.Font, ReadIniInt(file, "OptionsLine", "FontSize", 10));
        line.X = ReadIniInt(file, "OptionsLine", "X", line.X);
        line.Y = ReadIniInt(file, "OptionsLine", "Y", line.Y);
        line.Color = ReadIniColor(file, "OptionsLine", "FontColor");
    } catch (const RuntimeError&) {
        // The title cannot be shown without its background: it is loaded
        // even after a warning.
        AppendErrLog(TitleWarning);
    }
    LoadBackground(ini, "Title.bmp", Backgrounds.TitleDesc, Backgrounds.DDSurfTitle);
}

void LoadKeyConfSettings(std::string_view skinFolder) {
    const SettingsFile ini{std::string(skinFolder), "keyconf.ini"};
    const std::string file = ini.Path();
    try {
        KeyConfIni.KeyConfFont.Name = ReadIniString(file, "TitleText", "KeyConfFontName", "MS UI Gothic");
        SetFontSize(KeyConfIni.KeyConfFont, ReadIniInt(file, "TitleText", "KeyConfFontSize", 14));
        KeyConfIni.KeyConfFontColor = ReadStrictColor(file, "TitleText", "KeyConfFontColor");
    } catch (const RuntimeError&) {
        // As for the title: the scene needs its background whatever the
        // warning was about.
        AppendErrLog(KeyConfWarning);
    }
    LoadBackground(ini, "KeyConf.bmp", Backgrounds.KeyConfDesc, Backgrounds.DDSurfKeyConf);
}

}  // namespace dexlora
