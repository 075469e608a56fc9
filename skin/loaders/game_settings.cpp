// Game.ini: the typing scene's wipes, text window, question and time texts,
// sounds and background.
#include "drawing/display.h"
#include "settings/ini.h"
#include "settings/shared.h"
#include "skin/loaders/loader_support.h"
#include "skin/loaders/loaders.h"

namespace dexlora {

WipeSettings GameWipeIn, GameWipeOut;
clsAnimeCharacter TextWindowAnime;
bool UseTextWindow = false;
StdFont QuestionFont;
int32_t QuestionX = 0, QuestionY = 0;
int32_t QuestionFontColor1 = 0;
int32_t RomeX = 0, RomeY = 0;
int32_t QuestionFontColor2 = 0;
int32_t QuestionFontColor3 = 0;
StdFont TimeFont;
int32_t TimeFontColor = 0;
int32_t TimeX = 0, TimeY = 0;
SoundSlots GameSounds;

using namespace loader_detail;

namespace {

constexpr std::string_view GameWarning = "game.iniでエラーの可能性があったので、デフォルト値で設定しました";

// An enabled wipe is never disabled again by an empty value.
void ReadWipe(const std::string& file, std::string_view key, WipeSettings& wipe) {
    wipe.Kind = ReadIniString(file, "Wipe", key, "");
    if (!wipe.Kind.empty()) wipe.Enabled = -1;
}

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
        ReadWipe(file, "In", GameWipeIn);
        ReadWipe(file, "Out", GameWipeOut);

        if (!ReadIniString(file, "TextWindow", "FileName", "").empty()) {
            SpriteKeys keys = ReadSpriteKeys(file, "TextWindow", 0, 0);
            TextWindowAnime = MakeSprite(ini, "TextWindow", keys, true);
            UseTextWindow = true;
        }

        QuestionFont.Name = ReadIniString(file, "QuestionText", "QuestionFontName", "MS UI Gothic");
        SetFontSize(QuestionFont, ReadIniInt(file, "QuestionText", "QuestionFontSize", 10));
        QuestionX = ReadIniInt(file, "QuestionText", "QuestionX", 0);
        QuestionY = ReadIniInt(file, "QuestionText", "QuestionY", 0);
        QuestionFontColor1 = ReadStrictColor(file, "QuestionText", "QuestionFontColor1");
        RomeX = ReadIniInt(file, "QuestionText", "RomeX", 0);
        RomeY = ReadIniInt(file, "QuestionText", "RomeY", 20);
        QuestionFontColor2 = ReadStrictColor(file, "QuestionText", "QuestionFontColor2");
        QuestionFontColor3 = ReadStrictColor(file, "QuestionText", "QuestionFontColor3");

        TimeFont.Name = ReadIniString(file, "Time", "TimeFontName", "MS UI Gothic");
        PassOver([&] { SetFontSize(TimeFont, ReadIniInt(file, "Time", "TimeFontSize", 20)); });
        TimeFontColor = ReadIniColor(file, "Time", "TimeFontColor");
        TimeX = ReadIniInt(file, "Time", "TimeX", 300);
        TimeY = ReadIniInt(file, "Time", "TimeY", 200);

        ClearSoundSlots(GameSounds);
        const char* soundKeys[] = {"Type", "Complete", "Miss"};
        for (size_t slot = 0; slot < GameSounds.size(); ++slot) {
            std::string sound = ReadIniString(file, "Sound", soundKeys[slot], "");
            if (sound.empty()) continue;
            GameSounds[slot].Buffer = LoadSound(ini.Folder, sound, DSBCAPS_STATIC);
            GameSounds[slot].Loaded = true;
        }
    } catch (const RuntimeError&) {
        // The scene cannot be entered without a background: it is loaded
        // even after a warning, everything else keeps its default.
        AppendErrLog(GameWarning);
    } catch (const PictureFailed&) {
        return;
    }
    try {
        LoadPicture(ini, "BackGround", "FileName", ReadIniString(file, "BackGround", "FileName", "Game.bmp"),
                    GameDesc, DDSurfGame);
    } catch (const PictureFailed&) {
    }
}

}  // namespace dexlora
