// Game.ini: the typing scene's wipes, text window, question and time texts,
// sounds, the look of a wrong key, and background.
#include <algorithm>

#include "drawing/display.h"
#include "settings/ini.h"
#include "settings/shared.h"
#include "skin/loaders/loader_support.h"
#include "skin/loaders/loaders.h"

namespace dexlora {

GameSettings GameIni;

using namespace loader_detail;

namespace {

constexpr std::string_view GameWarning = "game.iniでエラーの可能性があったので、デフォルト値で設定しました";

// The time display's items are independent: one that fails keeps its value
// and the next is read.
template <typename Step>
void PassOver(Step step) {
    try {
        step();
    } catch (const RuntimeError&) {
    }
}

}  // namespace

void LoadGameSettings(std::string_view skinFolder) {
    const SettingsFile ini{std::string(skinFolder), "Game.ini"};
    const std::string file = ini.Path();
    try {
        ReadWipe(file, "In", GameIni.GameWipeIn);
        ReadWipe(file, "Out", GameIni.GameWipeOut);

        if (!ReadIniString(file, "TextWindow", "FileName", "").empty()) {
            SpriteKeys keys = ReadSpriteKeys(file, "TextWindow", 0, 0);
            GameIni.TextWindowAnime = MakeSprite(ini, "TextWindow", keys, true);
            GameIni.UseTextWindow = true;
        }

        GameIni.QuestionFont.Name = ReadIniString(file, "QuestionText", "QuestionFontName", "MS UI Gothic");
        SetFontSize(GameIni.QuestionFont, ReadIniInt(file, "QuestionText", "QuestionFontSize", 10));
        GameIni.QuestionX = ReadIniInt(file, "QuestionText", "QuestionX", 0);
        GameIni.QuestionY = ReadIniInt(file, "QuestionText", "QuestionY", 0);
        GameIni.QuestionFontColor1 = ReadStrictColor(file, "QuestionText", "QuestionFontColor1");
        GameIni.RomeX = ReadIniInt(file, "QuestionText", "RomeX", 0);
        GameIni.RomeY = ReadIniInt(file, "QuestionText", "RomeY", 20);
        GameIni.QuestionFontColor2 = ReadStrictColor(file, "QuestionText", "QuestionFontColor2");
        GameIni.QuestionFontColor3 = ReadStrictColor(file, "QuestionText", "QuestionFontColor3");

        GameIni.TimeFont.Name = ReadIniString(file, "Time", "TimeFontName", "MS UI Gothic");
        PassOver([&] { SetFontSize(GameIni.TimeFont, ReadIniInt(file, "Time", "TimeFontSize", 20)); });
        GameIni.TimeFontColor = ReadIniColor(file, "Time", "TimeFontColor");
        GameIni.TimeX = ReadIniInt(file, "Time", "TimeX", 300);
        GameIni.TimeY = ReadIniInt(file, "Time", "TimeY", 200);

        ClearSoundSlots(GameIni.GameSounds);
        const char* soundKeys[] = {"Type", "Complete", "Miss"};
        for (size_t slot = 0; slot < GameIni.GameSounds.size(); ++slot) {
            std::string sound = ReadIniString(file, "Sound", soundKeys[slot], "");
            if (sound.empty()) continue;
            GameIni.GameSounds[slot].Buffer = LoadSound(ini.Folder, sound, DSBCAPS_STATIC);
            GameIni.GameSounds[slot].Loaded = true;
        }

        // Read last, so that a mistake here changes nothing read before.
        GameIni.MissTime = std::clamp(ReadIniInt(file, "Miss", "MissTime", 250), 0, 5000);
        GameIni.MissColor = ReadStrictColor(file, "Miss", "MissColor", "255,48,48");
        GameIni.MissShake = std::clamp(ReadIniInt(file, "Miss", "MissShake", 0), 0, 16);
        GameIni.MissFlash = ReadIniInt(file, "Miss", "MissFlash", 0) != 0;
    } catch (const RuntimeError&) {
        // The scene cannot be entered without a background: it is loaded
        // even after a warning, everything else keeps its default.
        AppendErrLog(GameWarning);
    } catch (const PictureFailed&) {
        return;
    }
    LoadBackground(ini, "Game.bmp", Backgrounds.GameDesc, Backgrounds.DDSurfGame);
}

}  // namespace dexlora
