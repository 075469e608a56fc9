// Animation definition files through LoadAnimeList, with the sprite sheets
// (and the result sound) they name taken from the input; every sprite of a
// list is then run a few hundred ticks and drawn onto the 640x480 screen.
// Loading raises nothing, ticking nothing, and drawing onto a surface that
// exists nothing either: a copy reaching outside a surface would raise.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/skin_fuzz.h"
#include "platform/core/error.h"

using namespace dexlora;

namespace {

constexpr int Ticks = 240;
constexpr int DrawEvery = 4;

SurfacePtr& Screen() {
    static SurfacePtr screen = [] {
        SurfaceDesc desc{DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH, 480, 640, 0, DDSCAPS_OFFSCREENPLAIN};
        return DDraw->CreateSurface(desc);
    }();
    return screen;
}

void Run(AnimeList& list) {
    for (size_t i = 0; i < list.size(); ++i) {
        clsAnimeCharacter& sprite = list[i];
        try {
            for (int tick = 1; tick <= Ticks; ++tick) {
                sprite.AddTC();
                if (tick % DrawEvery == 0 || tick <= 2) sprite.PrintCharacter(Screen());
            }
            // Back to the start, as a scene entered again does.
            sprite.InitFirstValue();
            sprite.AddTC();
            sprite.PrintCharacter(Screen());
        } catch (const RuntimeError& e) {
            fuzz::Fail(__FILE__, __LINE__, "a sprite raised while running",
                       "sprite " + std::to_string(i) + ": " + e.what());
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto& devices = fuzz::SkinDevices::Get();
    auto& sandbox = fuzz::SkinSandbox::Get();
    devices.Fresh();
    Screen();
    sandbox.Fill(fuzz::SplitSkinInput({reinterpret_cast<const char*>(data), size}), "Anime.ini");
    SkinPath = sandbox.Skin();

    // A file bringing a sound is read as a result file too.
    const bool result = !ReadIniString(SkinPath + "Anime.ini", "Sound", "First", "").empty();
    const AnimeFileKind kind = !result ? AnimeFileKind::Scene
                                       : (size % 2 ? AnimeFileKind::ResultBack : AnimeFileKind::ResultFront);
    AnimeList& list = kind == AnimeFileKind::Scene ? GameFrontAnime : ResultBackAnime;
    fuzz::CheckAnimeList("Anime.ini", list, kind);
    if (kind != AnimeFileKind::Scene) fuzz::CheckSounds(ResultSounds, "Anime.ini");
    Run(list);
    devices.Fresh();
    return 0;
}
