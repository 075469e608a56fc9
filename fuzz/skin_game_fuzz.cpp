// Game.ini through its loader, with the pictures and sounds it names taken
// from the input: the loader completes or leaves its one warning, keeps its
// fonts drawable and its colours colours, and opens nothing outside the skin
// folder.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/skin_fuzz.h"

using namespace dexlora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto& devices = fuzz::SkinDevices::Get();
    auto& sandbox = fuzz::SkinSandbox::Get();
    devices.Fresh();
    sandbox.Fill(fuzz::SplitSkinInput({reinterpret_cast<const char*>(data), size}), "Game.ini");
    SkinPath = sandbox.Skin();

    LoadGameSettings(SkinPath);
    sandbox.Check("LoadGameSettings");
    fuzz::CheckLoaderLog("LoadGameSettings", "game.iniでエラーの可能性があったので、デフォルト値で設定しました");
    fuzz::CheckFont(QuestionFont, "QuestionFont");
    fuzz::CheckFont(TimeFont, "TimeFont");
    for (int32_t color : {QuestionFontColor1, QuestionFontColor2, QuestionFontColor3, TimeFontColor})
        fuzz::CheckColor(color, "question or time");
    fuzz::CheckSounds(GameSounds, "Game.ini");
    FUZZ_CHECK(!UseTextWindow || TextWindowAnime.HasSheet(), "a text window without its picture");
    fuzz::CheckBackground(DDSurfGame, GameDesc, "Game.ini");
    devices.Fresh();
    return 0;
}
