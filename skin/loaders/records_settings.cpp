// records.ini: the records scene's font, colours and background, all optional.
#include <algorithm>
#include <string>
#include <tuple>

#include "drawing/display.h"
#include "settings/ini.h"
#include "settings/shared.h"
#include "skin/loaders/loader_support.h"
#include "skin/loaders/loaders.h"

namespace dexlora {

RecordsSettings RecordsIni;

using namespace loader_detail;

namespace {

constexpr std::string_view RecordsWarning =
    "records.iniでエラーの可能性があったので、デフォルト値で設定しました";

// A colour key as ReadIniColor reads it, or the colour it had when absent.
void ReadColorKey(const std::string& file, std::string_view section, std::string_view key, int32_t& color) {
    if (ReadIniString(file, section, key, "\x01") != "\x01") color = ReadIniColor(file, section, key);
}

}  // namespace

void LoadRecordsSettings(std::string_view skinFolder) {
    const SettingsFile ini{std::string(skinFolder), "records.ini"};
    const std::string file = ini.Path();
    RecordsSettings& r = RecordsIni;
    try {
        r.RecordsFont.Name = ReadIniString(file, "RecordsText", "RecordsFontName", r.RecordsFont.Name);
        SetFontSize(r.RecordsFont, ReadIniInt(file, "RecordsText", "RecordsFontSize", 9));
        const std::tuple<const char*, const char*, int32_t&> colors[] = {
            {"RecordsText", "RecordsFontColor", r.TextColor}, {"RecordsText", "HeadFontColor", r.HeadColor},
            {"BackGround", "BackColor", r.BackColor},          {"Chart", "PanelColor", r.PanelColor},
            {"Chart", "LineColor", r.LineColor},               {"Chart", "SpeedColor", r.SpeedColor},
            {"Chart", "AccuracyColor", r.AccuracyColor},       {"HeatMap", "ColdColor", r.ColdColor},
            {"HeatMap", "HotColor", r.HotColor},
        };
        for (const auto& [section, key, color] : colors) ReadColorKey(file, section, key, color);
        r.PanelOpacity = std::clamp(ReadIniInt(file, "Chart", "PanelOpacity", r.PanelOpacity), 0, 100);
    } catch (const RuntimeError&) {
        AppendErrLog(RecordsWarning);
    }
    try {
        const std::string picture = ReadIniString(file, "BackGround", "FileName", "");
        if (!picture.empty())
            LoadPicture(ini, "BackGround", "FileName", picture, Backgrounds.RecordsDesc, Backgrounds.DDSurfRecords);
    } catch (const RuntimeError&) {
        AppendErrLog(RecordsWarning);
    } catch (const PictureFailed&) {
    }
}

}  // namespace dexlora
