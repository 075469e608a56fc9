// The whole skin: start-up's loading order, the large character and the way
// back to a state before any loader ran.
#include "drawing/display.h"
#include "platform/core/files.h"
#include "skin/loaders/loader_support.h"
#include "skin/loaders/loaders.h"

namespace dexlora {

BigCharaSettings BigChara;

using namespace loader_detail;

void LoadBigChara(std::string_view skinFolder) {
    const std::string path = std::string(skinFolder) + "chara.bmp";
    if (!FileExists(path)) return;
    clsAnimeCharacter& chara = BigChara.clsBigChara;
    chara = clsAnimeCharacter{};
    chara.InitFromFile(DDraw, path);
    if (!chara.HasSheet()) {
        NotePictureFailure({path, "", "", ""});
        return;
    }
    // One frame entering from the left edge with its bottom on the screen's,
    // a twentieth of its width per move.
    const int32_t w = chara.GetWidth();
    const int32_t h = chara.GetHeight();
    chara.InitPosition(-w, 480 - h, static_cast<float>(w) / 20.0f, 0.0f);
    chara.InitAnimeData(1, 0, 0, 1, 1, true, 20);
    chara.AutoSetRegionColor();
    BigChara.UseBigChara = true;
}

void LoadSkin(std::string_view skinFolder) {
    ClearPictureFailure();
    Anime.GameFrontAnime.clear();
    Anime.GameBackAnime.clear();
    Anime.TitleFrontAnime.clear();
    Anime.TitleBackAnime.clear();

    // Once a picture has failed the main window is closed: nothing more loads.
    auto ended = [] { return SkinPictureFailure().has_value(); };
    Anime.UseGameFrontAnime =
        LoadAnimeList(skinFolder, "Game_FrontAnime.ini", Anime.GameFrontAnime, GameFrontAnimeWarning);
    if (ended()) return;
    Anime.UseGameBackAnime =
        LoadAnimeList(skinFolder, "Game_BackAnime.ini", Anime.GameBackAnime, GameBackAnimeWarning);
    if (ended()) return;
    LoadGameSettings(skinFolder);
    if (ended()) return;
    LoadResultSettings(skinFolder);
    if (ended()) return;
    LoadBigChara(skinFolder);
    if (ended()) return;
    LoadTitleSettings(skinFolder);
    if (ended()) return;
    Anime.UseTitleFrontAnime =
        LoadAnimeList(skinFolder, "Title_FrontAnime.ini", Anime.TitleFrontAnime, TitleFrontAnimeWarning);
    if (ended()) return;
    Anime.UseTitleBackAnime =
        LoadAnimeList(skinFolder, "Title_BackAnime.ini", Anime.TitleBackAnime, TitleBackAnimeWarning);
    if (ended()) return;
    LoadKeyConfSettings(skinFolder);
    if (ended()) return;
    LoadRecordsSettings(skinFolder);
}

void ResetSkinGlobals() {
    ClearPictureFailure();
    Anime = AnimeLists{};
    GameIni = GameSettings{};
    ResultIni = ResultSettings{};
    TitleIni = TitleSettings{};
    KeyConfIni = KeyConfSettings{};
    RecordsIni = RecordsSettings{};
    BigChara = BigCharaSettings{};
    Backgrounds = SceneBackgrounds{};
}

}  // namespace dexlora
