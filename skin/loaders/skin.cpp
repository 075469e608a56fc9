// The whole skin: start-up's loading order, the large character and the way
// back to a state before any loader ran.
#include "drawing/display.h"
#include "platform/core/files.h"
#include "settings/shared.h"
#include "skin/loaders/loader_support.h"
#include "skin/loaders/loaders.h"

namespace dexlora {

clsAnimeCharacter clsBigChara;
bool UseBigChara = false;

using namespace loader_detail;

void LoadBigChara() {
    const std::string path = SkinPath + "chara.bmp";
    if (!FileExists(path)) return;
    clsBigChara = clsAnimeCharacter{};
    clsBigChara.InitFromFile(DDraw, path);
    if (!clsBigChara.HasSheet()) {
        NotePictureFailure({path, "", "", ""});
        return;
    }
    // One frame entering from the left edge with its bottom on the screen's,
    // a twentieth of its width per move.
    const int32_t w = clsBigChara.GetWidth();
    const int32_t h = clsBigChara.GetHeight();
    clsBigChara.InitPosition(-w, 480 - h, static_cast<float>(w) / 20.0f, 0.0f);
    clsBigChara.InitAnimeData(1, 0, 0, 1, 1, true, 20);
    clsBigChara.AutoSetRegionColor();
    UseBigChara = true;
}

void LoadSkin() {
    ClearPictureFailure();
    GameFrontAnime.clear();
    GameBackAnime.clear();
    TitleFrontAnime.clear();
    TitleBackAnime.clear();

    // Once a picture has failed the main window is closed: nothing more loads.
    auto ended = [] { return SkinPictureFailure().has_value(); };
    UseGameFrontAnime = LoadAnimeList("Game_FrontAnime.ini", GameFrontAnime, GameFrontAnimeWarning);
    if (ended()) return;
    UseGameBackAnime = LoadAnimeList("Game_BackAnime.ini", GameBackAnime, GameBackAnimeWarning);
    if (ended()) return;
    LoadGameSettings(SkinPath);
    if (ended()) return;
    LoadResultSettings(SkinPath);
    if (ended()) return;
    LoadBigChara();
    if (ended()) return;
    LoadTitleSettings(SkinPath);
    if (ended()) return;
    UseTitleFrontAnime = LoadAnimeList("Title_FrontAnime.ini", TitleFrontAnime, TitleFrontAnimeWarning);
    if (ended()) return;
    UseTitleBackAnime = LoadAnimeList("Title_BackAnime.ini", TitleBackAnime, TitleBackAnimeWarning);
    if (ended()) return;
    LoadKeyConfSettings(SkinPath);
}

void ResetSkinGlobals() {
    ClearPictureFailure();
    for (AnimeList* list : {&GameFrontAnime, &GameBackAnime, &TitleFrontAnime, &TitleBackAnime, &ResultFrontAnime,
                            &ResultBackAnime})
        *list = AnimeList{};
    for (bool* flag : {&UseGameFrontAnime, &UseGameBackAnime, &UseTitleFrontAnime, &UseTitleBackAnime,
                       &UseResultFrontAnime, &UseResultBackAnime, &UseTextWindow, &UseResultWindow,
                       &UseFileNameBack, &UseFileNameFront, &UseBigChara})
        *flag = false;

    GameWipeIn = GameWipeOut = ResultWipeIn = TitleWipeIn = WipeSettings{};
    TextWindowAnime = clsAnimeCharacter{};
    ResultWindowAnime = clsAnimeCharacter{};
    clsBigChara = clsAnimeCharacter{};
    QuestionFont = TimeFont = KeyConfFont = StdFont{};
    for (int32_t* value : {&QuestionX, &QuestionY, &QuestionFontColor1, &RomeX, &RomeY, &QuestionFontColor2,
                           &QuestionFontColor3, &TimeFontColor, &TimeX, &TimeY, &KeyConfFontColor})
        *value = 0;
    ClearSoundSlots(GameSounds);
    ClearSoundSlots(ResultSounds);

    EnterItem = MaxComboItem = MissItem = ClearItem = RateItem = TextItem{};
    TitleTexts = {};
    RateSuffix.clear();
    Points.clear();
    FileNameBack.clear();
    FileNameFront.clear();

    for (SurfacePtr* surf : {&DDSurfTitle, &DDSurfGame, &DDSurfResult, &DDSurfKeyConf}) *surf = nullptr;
    for (SurfaceDesc* desc : {&TitleDesc, &GameDesc, &ResultDesc, &KeyConfDesc}) *desc = SurfaceDesc{};
}

}  // namespace dexlora
