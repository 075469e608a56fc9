// Stands in for the skin loaders until they are built: the globals they fill
// at their defaults, and a LoadSkin that only loads the default backgrounds.
#include "drawing/display.h"
#include "skin/loaders/loaders.h"
#include "skin/settings/shared.h"

namespace dexlora {

AnimeList GameFrontAnime, GameBackAnime;
AnimeList TitleFrontAnime, TitleBackAnime;
AnimeList ResultFrontAnime, ResultBackAnime;
bool UseGameFrontAnime = false, UseGameBackAnime = false;
bool UseTitleFrontAnime = false, UseTitleBackAnime = false;
bool UseResultFrontAnime = false, UseResultBackAnime = false;

bool LoadAnimeList(std::string_view, AnimeList& list, std::string_view, AnimeFileKind) {
    list.clear();
    return false;
}

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

void LoadGameSettings(std::string_view) { LoadImageSurface(DDraw, SkinPath + "Game.bmp", GameDesc, DDSurfGame); }

WipeSettings ResultWipeIn;
clsAnimeCharacter ResultWindowAnime;
bool UseResultWindow = false;
TextItem EnterItem, MaxComboItem, MissItem, ClearItem, RateItem;
std::string RateSuffix;
std::vector<int32_t> Points;
std::vector<std::string> FileNameBack, FileNameFront;
bool UseFileNameBack = false, UseFileNameFront = false;
SoundSlots ResultSounds;

void LoadResultSettings(std::string_view) {
    LoadImageSurface(DDraw, SkinPath + "Result.bmp", ResultDesc, DDSurfResult);
}

WipeSettings TitleWipeIn;
std::array<TextItem, 4> TitleTexts;
StdFont KeyConfFont;
int32_t KeyConfFontColor = 0;

void LoadTitleSettings(std::string_view) { LoadImageSurface(DDraw, SkinPath + "Title.bmp", TitleDesc, DDSurfTitle); }

void LoadKeyConfSettings(std::string_view) {
    LoadImageSurface(DDraw, SkinPath + "KeyConf.bmp", KeyConfDesc, DDSurfKeyConf);
}

clsAnimeCharacter clsBigChara;
bool UseBigChara = false;

void LoadBigChara() {}

void LoadSkin() {
    LoadGameSettings(SkinPath);
    LoadResultSettings(SkinPath);
    LoadTitleSettings(SkinPath);
    LoadKeyConfSettings(SkinPath);
}

void ResetSkinGlobals() {
    GameFrontAnime.clear();
    GameBackAnime.clear();
    TitleFrontAnime.clear();
    TitleBackAnime.clear();
    ResultFrontAnime.clear();
    ResultBackAnime.clear();
    UseGameFrontAnime = UseGameBackAnime = UseTitleFrontAnime = UseTitleBackAnime = false;
    UseResultFrontAnime = UseResultBackAnime = UseTextWindow = UseResultWindow = UseBigChara = false;
    GameWipeIn = GameWipeOut = ResultWipeIn = TitleWipeIn = WipeSettings{};
    TextWindowAnime = clsAnimeCharacter{};
    ResultWindowAnime = clsAnimeCharacter{};
    clsBigChara = clsAnimeCharacter{};
    QuestionFont = TimeFont = KeyConfFont = StdFont{};
    QuestionX = QuestionY = RomeX = RomeY = TimeX = TimeY = 0;
    QuestionFontColor1 = QuestionFontColor2 = QuestionFontColor3 = TimeFontColor = KeyConfFontColor = 0;
    ClearSoundSlots(GameSounds);
    ClearSoundSlots(ResultSounds);
    EnterItem = MaxComboItem = MissItem = ClearItem = RateItem = TextItem{};
    TitleTexts = {};
    RateSuffix.clear();
    Points.clear();
    FileNameBack.clear();
    FileNameFront.clear();
    UseFileNameBack = UseFileNameFront = false;
    DDSurfTitle = DDSurfGame = DDSurfResult = DDSurfKeyConf = nullptr;
}

}  // namespace dexlora
