// title.ini and keyconf.ini: the title's wipe, four texts and background; the
// key configuration's font, colour and background.
#include <string>

#include "drawing/display.h"
#include "settings/ini.h"
#include "settings/shared.h"
#include "skin/loaders/loader_support.h"
#include "skin/loaders/loaders.h"

namespace dexlora {

WipeSettings TitleWipeIn;
std::array<TextItem, 4> TitleTexts;
StdFont KeyConfFont;
int32_t KeyConfFontColor = 0;

using namespace loader_detail;

namespace {

constexpr std::string_view TitleWarning = "Title.iniでエラーの可能性があったので、デフォルト値で設定しました";
constexpr std::string_view KeyConfWarning =
    "KeyConf.iniでエラーの可能性があったので、デフォルト値で設定しました";

// Loads the background named in section "BackGround"; a picture failure has
// already run its error exit, so there is nothing left to do.
void LoadBackground(const SettingsFile& ini, std::string_view defaultName, SurfaceDesc& desc, SurfacePtr& surf) {
    try {
        LoadPicture(ini, "BackGround", "FileName", ReadIniString(ini.Path(), "BackGround", "FileName", defaultName),
                    desc, surf);
    } catch (const PictureFailed&) {
    }
}

}  // namespace

void LoadTitleSettings(std::string_view skinFolder) {
    const SettingsFile ini{std::string(skinFolder), "title.ini"};
    const std::string file = ini.Path();
    try {
        TitleWipeIn.Kind = ReadIniString(file, "Wipe", "In", "");
        if (!TitleWipeIn.Kind.empty()) TitleWipeIn.Enabled = -1;
        for (int n = 1; n <= 4; ++n) {
            TextItem& text = TitleTexts[static_cast<size_t>(n - 1)];
            const std::string key = "TitleText" + std::to_string(n);
            text.Font.Name = ReadIniString(file, "TitleText", key + "_FontName", "MS UI Gothic");
            text.Text = ReadIniString(file, "TitleText", key + "_Text", "@");
            SetFontSize(text.Font, ReadIniInt(file, "TitleText", key + "_FontSize", 10));
            text.X = ReadIniInt(file, "TitleText", key + "_X", 300);
            text.Y = ReadIniInt(file, "TitleText", key + "_Y", 200 + 20 * n);
            text.Color = ReadIniColor(file, "TitleText", key + "_FontColor");
        }
    } catch (const RuntimeError&) {
        // The title cannot be shown without its background: it is loaded
        // even after a warning.
        AppendErrLog(TitleWarning);
    }
    LoadBackground(ini, "Title.bmp", TitleDesc, DDSurfTitle);
}

void LoadKeyConfSettings(std::string_view skinFolder) {
    const SettingsFile ini{std::string(skinFolder), "keyconf.ini"};
    const std::string file = ini.Path();
    try {
        KeyConfFont.Name = ReadIniString(file, "TitleText", "KeyConfFontName", "MS UI Gothic");
        SetFontSize(KeyConfFont, ReadIniInt(file, "TitleText", "KeyConfFontSize", 14));
        KeyConfFontColor = ReadStrictColor(file, "TitleText", "KeyConfFontColor");
    } catch (const RuntimeError&) {
        // As for the title: the scene needs its background whatever the
        // warning was about.
        AppendErrLog(KeyConfWarning);
    }
    LoadBackground(ini, "KeyConf.bmp", KeyConfDesc, DDSurfKeyConf);
}

}  // namespace dexlora
