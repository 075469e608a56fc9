// The skin loaders: each reads one settings file of the skin folder into the
// globals the scenes draw and play from. A loader that meets trouble appends
// its fixed message to ErrLog, stops and keeps its defaults for the rest, but
// still loads its scene's background, without which the scene could not be
// entered. A picture that cannot be loaded goes through LoadImageSurface's
// error exit (the main window closes) and the loader returns at once.
// File names inside settings files are relative to the skin folder (any
// letter case, backslashes and sub-folders); a name that is absolute, starts
// with a drive letter or climbs out with ".." fails as a missing file does.
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

extern AnimeList GameFrontAnime, GameBackAnime;
extern AnimeList TitleFrontAnime, TitleBackAnime;
extern AnimeList ResultFrontAnime, ResultBackAnime;
extern bool UseGameFrontAnime, UseGameBackAnime;
extern bool UseTitleFrontAnime, UseTitleBackAnime;
extern bool UseResultFrontAnime, UseResultBackAnime;

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

// Reads SkinPath + fileName into list. Answers true when the file names at
// least one animation and all of them were set up; the caller keeps the
// answer in the list's flag.
bool LoadAnimeList(std::string_view fileName, AnimeList& list, std::string_view warning,
                   AnimeFileKind kind = AnimeFileKind::Scene);

// The animation file the result scene loads for rank position rank (0 for
// the first threshold reached, Points.size() when none is): the rank's name
// from FileNameBack or FileNameFront followed by ".ini", or
// "Result_BackAnime.ini" / "Result_FrontAnime.ini" when the list is not in
// use, has no entry at that position, or the entry is empty.
std::string ResultAnimeFile(bool back, int32_t rank);

// ---- Game.ini ----------------------------------------------------------------

extern WipeSettings GameWipeIn, GameWipeOut;
extern clsAnimeCharacter TextWindowAnime;
extern bool UseTextWindow;
extern StdFont QuestionFont;
extern int32_t QuestionX, QuestionY;
extern int32_t QuestionFontColor1;  // the question line
extern int32_t RomeX, RomeY;
extern int32_t QuestionFontColor2;  // romaji still to type
extern int32_t QuestionFontColor3;  // romaji already typed
extern StdFont TimeFont;
extern int32_t TimeFontColor;
extern int32_t TimeX, TimeY;
extern SoundSlots GameSounds;  // 0 key, 1 question completed, 2 miss

void LoadGameSettings(std::string_view skinFolder);

// ---- result.ini --------------------------------------------------------------

extern WipeSettings ResultWipeIn;
extern clsAnimeCharacter ResultWindowAnime;
extern bool UseResultWindow;
extern TextItem EnterItem, MaxComboItem, MissItem, ClearItem, RateItem;
extern std::string RateSuffix;
extern std::vector<int32_t> Points;
extern std::vector<std::string> FileNameBack, FileNameFront;
extern bool UseFileNameBack, UseFileNameFront;
extern SoundSlots ResultSounds;  // 0: played when the result is shown

void LoadResultSettings(std::string_view skinFolder);

// ---- title.ini and keyconf.ini ----------------------------------------------

extern WipeSettings TitleWipeIn;
extern std::array<TextItem, 4> TitleTexts;  // texts 1 to 4 at indices 0 to 3
extern StdFont KeyConfFont;
extern int32_t KeyConfFontColor;

void LoadTitleSettings(std::string_view skinFolder);
void LoadKeyConfSettings(std::string_view skinFolder);

// ---- The large character (chara.bmp) ------------------------------------------

extern clsAnimeCharacter clsBigChara;
extern bool UseBigChara;

// Sets up clsBigChara from SkinPath + "chara.bmp" when that file exists.
void LoadBigChara();

// ---- All of it ------------------------------------------------------------------

// Start-up's skin loading, in its fixed order: Game_FrontAnime.ini,
// Game_BackAnime.ini, Game.ini, result.ini, the large character, title.ini,
// Title_FrontAnime.ini, Title_BackAnime.ini, keyconf.ini, each from SkinPath.
// The four start-up lists are emptied first and their flags set from the
// answers. Stops after a picture that could not be loaded: the main window
// has been closed by then.
void LoadSkin();

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

// Every global above back to its state before any loader ran (empty lists,
// false flags, zero values, no sounds), and the scene backgrounds released.
void ResetSkinGlobals();

}  // namespace dexlora
