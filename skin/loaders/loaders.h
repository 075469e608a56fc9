// The skin loaders: each reads one settings file of the skin folder into its
// record, which the scenes draw and play from. A new setting is a field of its
// file's record, with its default, and one line in that file's loader. A loader
// that meets trouble appends its fixed message to ErrLog, stops and keeps its
// defaults for the rest, but still loads its scene's background, without which
// the scene could not be entered. A picture that cannot be loaded is reported
// (ReportPictureFailure: its message, the main window closed) and the loader
// returns at once. File names inside settings files are relative to the skin
// folder (any letter case, backslashes and sub-folders); a name that is
// absolute, starts with a drive letter or climbs out with ".." fails as a
// missing file does.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "drawing/anime_character.h"
#include "drawing/wipes.h"
#include "platform/surface.h"
#include "skin/loaders/items.h"

namespace dexlora {

// ---- Animation definition files -------------------------------------------

// An ordered list of sprites: the first added is drawn first.
using AnimeList = std::vector<clsAnimeCharacter>;

// The scenes' animation lists, each with the flag saying it is in use.
struct AnimeLists {
    AnimeList GameFrontAnime, GameBackAnime;
    AnimeList TitleFrontAnime, TitleBackAnime;
    AnimeList ResultFrontAnime, ResultBackAnime;
    bool UseGameFrontAnime = false, UseGameBackAnime = false;
    bool UseTitleFrontAnime = false, UseTitleBackAnime = false;
    bool UseResultFrontAnime = false, UseResultBackAnime = false;
};
extern AnimeLists Anime;

// The warning each animation file appends to ErrLog when it fails.
inline constexpr std::string_view GameFrontAnimeWarning =
    "Game_Anime.iniにエラーの可能性があったので、デフォルト値で設定しました";
inline constexpr std::string_view GameBackAnimeWarning =
    "GameAnimeBack.iniにエラーの可能性があったので、デフォルト値で設定しました";
inline constexpr std::string_view TitleFrontAnimeWarning =
    "Title_Anime.iniにエラーの可能性があったので、デフォルト値で設定しました";
inline constexpr std::string_view TitleBackAnimeWarning =
    "TitleAnimeBack.iniにエラーの可能性があったので、デフォルト値で設定しました";
inline constexpr std::string_view ResultFrontAnimeWarning =
    "ResultAnime.iniにエラーの可能性があったので、デフォルト値で設定しました";
inline constexpr std::string_view ResultBackAnimeWarning =
    "ResultAnimeBack.iniにエラーの可能性があったので、デフォルト値で設定しました";

// What a file is for: the result files replace their list and may bring the
// result sound (the back file empties every result sound slot first).
enum class AnimeFileKind { Scene, ResultBack, ResultFront };

// Reads skinFolder + fileName into list. Answers true when the file names at
// least one animation and all of them were set up; the caller keeps the
// answer in the list's flag.
bool LoadAnimeList(std::string_view skinFolder, std::string_view fileName, AnimeList& list,
                   std::string_view warning, AnimeFileKind kind = AnimeFileKind::Scene);

// The animation file the result scene loads for rank position rank (0 for
// the first threshold reached, Points.size() when none is): the rank's name
// from FileNameBack or FileNameFront followed by ".ini", or
// "Result_BackAnime.ini" / "Result_FrontAnime.ini" when the list is not in
// use, has no entry at that position, or the entry is empty.
std::string ResultAnimeFile(bool back, int32_t rank);

// The result sound an animation file of skinFolder names (key First of
// section Sound); "" when it names none or is not read (a name outside the
// skin folder included).
std::string ResultSoundNamed(std::string_view skinFolder, std::string_view fileName);

// ---- Game.ini ----------------------------------------------------------------

struct GameSettings {
    WipeSettings GameWipeIn, GameWipeOut;
    clsAnimeCharacter TextWindowAnime;
    bool UseTextWindow = false;
    StdFont QuestionFont;
    int32_t QuestionX = 0, QuestionY = 0;
    int32_t QuestionFontColor1 = 0;  // the question line
    int32_t RomeX = 0, RomeY = 0;
    int32_t QuestionFontColor2 = 0;  // romaji still to type
    int32_t QuestionFontColor3 = 0;  // romaji already typed
    StdFont TimeFont;
    int32_t TimeFontColor = 0;
    int32_t TimeX = 0, TimeY = 0;
    SoundSlots GameSounds;  // 0 key, 1 question completed, 2 miss
    // A wrong key shown for MissTime ms (0 to 5000): with MissFlash, the
    // character to type next in MissColor; with MissShake (0 to 16 pixels),
    // the text window and the question moved sideways, right and left in turn.
    bool MissFlash = false;
    int32_t MissColor = 0;
    int32_t MissTime = 0;
    int32_t MissShake = 0;
};
extern GameSettings GameIni;

void LoadGameSettings(std::string_view skinFolder);

// ---- result.ini --------------------------------------------------------------

// A figure the result screen adds when the skin asks for it (its text key
// is in result.ini): the text, the figure, then the suffix.
struct ResultExtraItem {
    TextItem Item;
    std::string Suffix;
    bool Use = false;
};

struct ResultSettings {
    WipeSettings ResultWipeIn;
    clsAnimeCharacter ResultWindowAnime;
    bool UseResultWindow = false;
    TextItem EnterItem, MaxComboItem, MissItem, ClearItem, RateItem;
    std::string RateSuffix;
    std::vector<int32_t> Points;
    std::vector<std::string> FileNameBack, FileNameFront;
    bool UseFileNameBack = false, UseFileNameFront = false;
    SoundSlots ResultSounds;  // 0: played when the result is shown
    // Keys per minute, accuracy, a personal best (its text alone, shown only
    // then) and the game's weakest kana, from the section ResultExtra.
    ResultExtraItem SpeedItem, AccuracyItem, BestItem, WeakItem;
};
extern ResultSettings ResultIni;

void LoadResultSettings(std::string_view skinFolder);

// ---- title.ini and keyconf.ini ----------------------------------------------

struct TitleSettings {
    WipeSettings TitleWipeIn;
    std::array<TextItem, 4> TitleTexts;  // texts 1 to 4 at indices 0 to 3
    // The line naming the player's options and their keys, from the section
    // [OptionsLine] (FontName, FontSize, X, Y, FontColor). A skin that places
    // it (gives Y) shows it always; elsewhere it is drawn at the foot of the
    // screen only while an option is away from its default.
    TextItem OptionsLine{8, 462, {}, {}, 0xFFFFFF};
    bool OptionsLinePlaced = false;
};
extern TitleSettings TitleIni;

struct KeyConfSettings {
    StdFont KeyConfFont;
    int32_t KeyConfFontColor = 0;
};
extern KeyConfSettings KeyConfIni;

void LoadTitleSettings(std::string_view skinFolder);
void LoadKeyConfSettings(std::string_view skinFolder);

// ---- records.ini (optional) ----------------------------------------------------

// The records scene's look. Without records.ini (or a key of it) the scene
// is drawn in these plain colours on a filled background.
struct RecordsSettings {
    StdFont RecordsFont{"MS UI Gothic", 9.0f, false};
    int32_t TextColor = 0xE6E6E6;      // packed red + 256 green + 65536 blue
    int32_t HeadColor = 0x7FD4FF;      // the headings
    int32_t BackColor = 0x281C18;      // the background without a picture
    int32_t PanelColor = 0x3A2A24;     // behind the bests, the chart and the heat map
    int32_t PanelOpacity = 100;        // percent of PanelColor over the background
    int32_t LineColor = 0x806A60;      // frames, axes and cell boxes
    int32_t SpeedColor = 0x4FC8FF;     // keys per minute in the chart
    int32_t AccuracyColor = 0x9CE27A;  // accuracy in the chart
    int32_t ColdColor = 0x6A4A2E;      // a kana typed without misses
    int32_t HotColor = 0x3A3AF0;       // a kana missed often
};
extern RecordsSettings RecordsIni;

// Reads skinFolder + "records.ini" when it exists: [RecordsText] font and
// colours, [Chart] colours and PanelOpacity (0 to 100), [HeatMap] colours,
// [BackGround] FileName (a picture drawn instead of BackColor). A key that is
// absent keeps its default.
void LoadRecordsSettings(std::string_view skinFolder);

// ---- The large character (chara.bmp) ------------------------------------------

struct BigCharaSettings {
    clsAnimeCharacter clsBigChara;
    bool UseBigChara = false;
};
extern BigCharaSettings BigChara;

// Sets up clsBigChara from skinFolder + "chara.bmp" when that file exists.
void LoadBigChara(std::string_view skinFolder);

// ---- All of it ------------------------------------------------------------------

// Start-up's skin loading, in its fixed order: Game_FrontAnime.ini,
// Game_BackAnime.ini, Game.ini, result.ini, the large character, title.ini,
// Title_FrontAnime.ini, Title_BackAnime.ini, keyconf.ini, records.ini, each from
// skinFolder. The four start-up lists are emptied first and their flags set
// from the answers. Stops after a picture that could not be loaded: the main
// window has been closed by then.
void LoadSkin(std::string_view skinFolder);

// A picture that could not be loaded, with the settings file, section and
// key that named it (all three empty for the large character, which no
// settings file names).
struct PictureFailure {
    std::string Path;          // as handed to LoadImageSurface
    std::string SettingsFile;  // e.g. "Game.ini"
    std::string Section;
    std::string Key;
};

// The picture failure that stopped the last loader, if any, since the last
// LoadSkin or ResetSkinGlobals.
const std::optional<PictureFailure>& SkinPictureFailure();

// Every record above back to its state before any loader ran (empty lists,
// false flags, zero values, no sounds), and the scene backgrounds released.
void ResetSkinGlobals();

}  // namespace dexlora
