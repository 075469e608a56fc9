// A whole skin through LoadSkin, as start-up loads it, then the result scene's
// rank animation files, and every sprite run a while on the screen. The input
// is one settings text, standing for every settings and animation file at
// once, followed by the files it names, each after a line "@@NAME" (NAME as a
// settings file spells it, backslashes and ".." included):
//
//     [BackGround]
//     FileName=back.bmp
//     @@back.bmp
//     BM...
//
// The skin folder lies three levels below ROOT, and a name that climbs out of
// it plants its file there: opening one is a finding. LoadSkin's messages are
// the loaders' warnings in loading order, then at most one picture failure,
// after which nothing more loads.
#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "app/startup.h"
#include "drawing/display.h"
#include "drawing/scene_control.h"
#include "fuzz/fuzz_support.h"
#include "platform/window.h"
#include "settings/shared.h"
#include "skin/loaders/loaders.h"

using namespace dexlora;
using dexlora::fuzz::Escaped;
namespace fs = std::filesystem;

namespace {

// The settings text's names: LoadSkin's files and the result scene's defaults.
const char* const SettingsFiles[] = {"Game_FrontAnime.ini", "Game_BackAnime.ini", "Game.ini", "result.ini", "title.ini",
                                     "Title_FrontAnime.ini", "Title_BackAnime.ini", "keyconf.ini", "records.ini",
                                     "Result_BackAnime.ini", "Result_FrontAnime.ini"};
// In LoadSkin's order.
const std::string_view Warnings[] = {GameFrontAnimeWarning, GameBackAnimeWarning,
    "game.iniでエラーの可能性があったので、デフォルト値で設定しました", "Result.iniにエラーの可能性があったので、デフォルト値で設定しました",
    "Title.iniでエラーの可能性があったので、デフォルト値で設定しました", TitleFrontAnimeWarning, TitleBackAnimeWarning,
    "KeyConf.iniでエラーの可能性があったので、デフォルト値で設定しました",
    "records.iniでエラーの可能性があったので、デフォルト値で設定しました"};

// The headless devices, a 640x480 screen and the watched way down to the skin
// folder: ROOT, ROOT/up1, ROOT/up1/up2 and the skin folder, made once.
struct Sandbox {
    PlatformSession session{DisplayKind::Headless};
    const std::string levels[4] = {fuzz::Scratch() + "root", levels[0] + "/up1", levels[1] + "/up2", levels[2] + "/skin"};
    int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    int watches[3] = {};
    SurfacePtr screen;

    Sandbox() {
        DDraw = DirectDrawCreate(""), DSound = DirectSoundCreate("");
        SurfaceDesc desc = OffscreenDesc(640, 480);
        screen = DDraw->CreateSurface(desc);
        fs::create_directories(levels[3]);
        for (int i = 0; i < 3; ++i) watches[i] = inotify_add_watch(watch, levels[i].c_str(), IN_OPEN);
        FUZZ_CHECK(watch >= 0 && watches[2] >= 0, "inotify watches on " + levels[0]);
    }
    ~Sandbox() { screen = nullptr, ReleaseGameObjects(); }

    // Everything but the way down goes. Each file of the input comes where its
    // name leads, while that stays inside ROOT; the settings text comes last.
    void Fill(std::string_view input) {
        std::error_code ignored;
        for (int i = 0; i < 4; ++i)
            for (const auto& entry : fs::directory_iterator(levels[i], ignored))
                if (i == 3 || entry.path() != levels[i + 1]) fs::remove_all(entry.path(), ignored);
        auto place = [&](std::string_view name, std::string_view bytes) {
            std::string path = levels[3] + "/" + std::string(name.substr(0, name.find_last_not_of('\r') + 1));
            std::replace(path.begin(), path.end(), '\\', '/');
            path = fs::path(path).lexically_normal().string();
            if (!path.starts_with(levels[0] + "/")) return;
            fs::create_directories(fs::path(path).parent_path(), ignored);
            std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        };
        constexpr std::string_view Marker = "\n@@";
        size_t at = input.find(Marker);
        for (int files = 0; at != std::string_view::npos && files < 12; ++files) {
            const size_t name = at + Marker.size(), line = input.find('\n', name);
            if (line == std::string_view::npos) break;
            at = input.find(Marker, line);
            place(input.substr(name, line - name), input.substr(line + 1, std::min(at, input.size()) - line - 1));
        }
        for (const char* name : SettingsFiles) place(name, input.substr(0, input.find(Marker)));
        CheckOpens("");
    }

    // Fails on an open of an entry beside the way down to the skin folder since
    // the last call, unless what is empty.
    void CheckOpens(const std::string& what) {
        alignas(inotify_event) char buffer[16384];
        for (ssize_t got; (got = read(watch, buffer, sizeof buffer)) > 0;)
            for (ssize_t at = 0; at < got;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
                const std::string name = event->len ? event->name : "(a watched folder, or too many events)";
                FUZZ_CHECK(what.empty() || (event->wd == watches[2] && name == "skin"),
                           what + " opened " + Escaped(name) + " outside the skin folder");
            }
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Sandbox sandbox;
    ResetSkinGlobals(), ErrLog.clear(), ResetSceneControl();
    sandbox.Fill({reinterpret_cast<const char*>(data), size});
    const std::string skinFolder = sandbox.levels[3] + "/";
    LoadSkin(skinFolder);
    sandbox.CheckOpens("LoadSkin");

    // At most one picture failure, last, and before it the loaders' warnings
    // in loading order, each ending its line.
    const auto& failure = SkinPictureFailure();
    std::string_view rest = ErrLog;
    const std::string failed = failure ? failure->Path + "が読みこめなかった可能性があります\r\n" : "";
    FUZZ_CHECK(rest.ends_with(failed) && (PendingScene() == NextScene::Shutdown) == failure.has_value(),
               "\"" + Escaped(ErrLog) + "\" after a picture failure or main window closed alone");
    rest.remove_suffix(failed.size());
    for (std::string_view warning : Warnings)
        if (rest.starts_with(warning) && rest.substr(warning.size()).starts_with("\r\n"))
            rest.remove_prefix(warning.size() + 2);
    FUZZ_CHECK(rest.empty(), "messages out of order or unknown: \"" + Escaped(ErrLog) + "\"");
    // Nothing loads after a failed picture (the key configuration and the
    // optional records come last);
    // without one, every scene has its background and the large character its picture.
    const SceneBackgrounds& shown = Backgrounds;
    FUZZ_CHECK(failure ? failure->SettingsFile == "records.ini" || failure->SettingsFile == "keyconf.ini" ||
                             (!shown.DDSurfKeyConf && Anime.TitleBackAnime.empty())
                       : shown.DDSurfGame && shown.DDSurfResult && shown.DDSurfTitle && shown.DDSurfKeyConf &&
                             (!BigChara.UseBigChara || BigChara.clsBigChara.HasSheet()),
               failure ? "loading went on after " + Escaped(failure->Path) : "a picture missing without a failure");

    // The rank files as the result scene loads them, for one past the ranks
    // written, then each rank up to the first, until a picture fails.
    const int32_t lastRank = static_cast<int32_t>(std::min<size_t>(ResultIni.Points.size(), 4));
    for (int32_t rank = lastRank; rank >= 0 && !failure; --rank)
        for (bool back : {true, false})
            LoadAnimeList(skinFolder, ResultAnimeFile(back, rank), back ? Anime.ResultBackAnime : Anime.ResultFrontAnime,
                          back ? ResultBackAnimeWarning : ResultFrontAnimeWarning,
                          back ? AnimeFileKind::ResultBack : AnimeFileKind::ResultFront);
    sandbox.CheckOpens("a rank animation file");
    // Every sprite has its sheet and runs a few hundred ticks on the screen
    // without raising (a copy reaching outside a surface would).
    for (AnimeList* list : {&Anime.GameFrontAnime, &Anime.GameBackAnime, &Anime.TitleFrontAnime,
                            &Anime.TitleBackAnime, &Anime.ResultBackAnime, &Anime.ResultFrontAnime})
        for (clsAnimeCharacter& sprite : *list) {
            FUZZ_CHECK(sprite.HasSheet(), "a sprite without its sheet");
            for (int tick = 1; tick <= 240; ++tick)
                if (sprite.AddTC(), tick % 4 == 0 || tick <= 2) sprite.PrintCharacter(sandbox.screen);
        }
    return 0;
}
