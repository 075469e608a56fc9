// title.ini and keyconf.ini through their loaders (the same text as both, as
// both read section "TitleText"), with the pictures they name taken from the
// input: each completes or leaves its one warning, keeps its fonts drawable
// and colours colours, always has its background unless a picture failed,
// and opens nothing outside the skin folder.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/skin_fuzz.h"

using namespace dexlora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto& devices = fuzz::SkinDevices::Get();
    auto& sandbox = fuzz::SkinSandbox::Get();
    const fuzz::SkinInput input = fuzz::SplitSkinInput({reinterpret_cast<const char*>(data), size});

    devices.Fresh();
    sandbox.Fill(input, "title.ini");
    SkinPath = sandbox.Skin();
    LoadTitleSettings(SkinPath);
    sandbox.Check("LoadTitleSettings");
    fuzz::CheckLoaderLog("LoadTitleSettings", "Title.iniでエラーの可能性があったので、デフォルト値で設定しました");
    for (size_t i = 0; i < TitleTexts.size(); ++i) fuzz::CheckText(TitleTexts[i], "title text " + std::to_string(i + 1));
    fuzz::CheckBackground(DDSurfTitle, TitleDesc, "title.ini");

    devices.Fresh();
    sandbox.Fill(input, "keyconf.ini");
    LoadKeyConfSettings(SkinPath);
    sandbox.Check("LoadKeyConfSettings");
    fuzz::CheckLoaderLog("LoadKeyConfSettings", "KeyConf.iniでエラーの可能性があったので、デフォルト値で設定しました");
    fuzz::CheckFont(KeyConfFont, "KeyConfFont");
    fuzz::CheckColor(KeyConfFontColor, "KeyConfFontColor");
    fuzz::CheckBackground(DDSurfKeyConf, KeyConfDesc, "keyconf.ini");
    devices.Fresh();
    return 0;
}
