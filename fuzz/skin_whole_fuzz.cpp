// A whole skin through LoadSkin, as start-up loads it: the input's settings
// text stands for every settings and animation file of the skin at once, and
// its files (chara.bmp among them) follow. The messages are the loaders'
// warnings in loading order, each at most once, and at most one picture
// failure, last, after which nothing more is loaded; nothing outside the skin
// folder is opened.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/skin_fuzz.h"

using namespace dexlora;

namespace {

// In LoadSkin's order.
const char* const SettingsFiles[] = {"Game_FrontAnime.ini", "Game_BackAnime.ini", "Game.ini",
                                     "result.ini",          "title.ini",          "Title_FrontAnime.ini",
                                     "Title_BackAnime.ini", "keyconf.ini"};
const std::string_view Warnings[] = {
    GameFrontAnimeWarning,
    GameBackAnimeWarning,
    "game.iniでエラーの可能性があったので、デフォルト値で設定しました",
    "Result.iniにエラーの可能性があったので、デフォルト値で設定しました",
    "Title.iniでエラーの可能性があったので、デフォルト値で設定しました",
    TitleFrontAnimeWarning,
    TitleBackAnimeWarning,
    "KeyConf.iniでエラーの可能性があったので、デフォルト値で設定しました",
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto& devices = fuzz::SkinDevices::Get();
    auto& sandbox = fuzz::SkinSandbox::Get();
    devices.Fresh();
    fuzz::SkinInput input = fuzz::SplitSkinInput({reinterpret_cast<const char*>(data), size});
    for (const char* name : SettingsFiles) input.Files.push_back({name, input.Settings});
    sandbox.Fill(input, "skin.ini");
    SkinPath = sandbox.Skin();

    LoadSkin();
    sandbox.Check("LoadSkin");

    std::vector<std::string> lines;
    for (size_t start = 0; start < ErrLog.size();) {
        const size_t end = ErrLog.find("\r\n", start);
        FUZZ_CHECK(end != std::string::npos, "a message without its line end: " + fuzz::Escaped(ErrLog));
        lines.push_back(ErrLog.substr(start, end - start));
        start = end + 2;
    }
    const auto& failure = SkinPictureFailure();
    if (failure) {
        FUZZ_CHECK(!lines.empty() && lines.back() == failure->Path + "が読みこめなかった可能性があります" &&
                       fuzz::SkinDevices::Unloads() == 1,
                   "picture failure of " + fuzz::Escaped(failure->Path) + " with \"" + fuzz::Escaped(ErrLog) +
                       "\" and " + std::to_string(fuzz::SkinDevices::Unloads()) + " closes");
        lines.pop_back();
    } else {
        FUZZ_CHECK(fuzz::SkinDevices::Unloads() == 0,
                   std::to_string(fuzz::SkinDevices::Unloads()) + " closes without a picture failure");
    }
    size_t next = 0;
    for (const std::string& line : lines) {
        while (next < std::size(Warnings) && Warnings[next] != line) ++next;
        FUZZ_CHECK(next < std::size(Warnings), "message out of order or unknown: \"" + fuzz::Escaped(ErrLog) + "\"");
        ++next;
    }

    // Nothing loads after a failed picture: the key configuration comes last.
    if (failure && failure->SettingsFile != "keyconf.ini") {
        FUZZ_CHECK(!DDSurfKeyConf && !UseTitleBackAnime && TitleBackAnime.empty(),
                   "loading went on after " + fuzz::Escaped(failure->Path));
    }
    if (!failure) {
        for (const SurfacePtr* surf : {&DDSurfGame, &DDSurfResult, &DDSurfTitle, &DDSurfKeyConf})
            FUZZ_CHECK(*surf != nullptr, "a scene without its background and no picture failure");
    }
    FUZZ_CHECK(!UseBigChara || clsBigChara.HasSheet(), "the large character without its picture");
    for (const AnimeList* list : {&GameFrontAnime, &GameBackAnime, &TitleFrontAnime, &TitleBackAnime})
        for (const clsAnimeCharacter& sprite : *list) FUZZ_CHECK(sprite.HasSheet(), "a sprite without its sheet");
    devices.Fresh();
    return 0;
}
