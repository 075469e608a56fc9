// result.ini through its loader, with the pictures, sounds and rank files it
// names taken from the input: the loader completes or leaves its one
// warning, its rank lists are as long as written, and neither it nor the rank
// animation files it leads to open anything outside the skin folder.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/skin_fuzz.h"

using namespace dexlora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto& devices = fuzz::SkinDevices::Get();
    auto& sandbox = fuzz::SkinSandbox::Get();
    devices.Fresh();
    sandbox.Fill(fuzz::SplitSkinInput({reinterpret_cast<const char*>(data), size}), "result.ini");
    SkinPath = sandbox.Skin();
    const std::string file = SkinPath + "result.ini";

    LoadResultSettings(SkinPath);
    sandbox.Check("LoadResultSettings");
    fuzz::CheckLoaderLog("LoadResultSettings", "Result.iniにエラーの可能性があったので、デフォルト値で設定しました");
    for (const TextItem* item : {&EnterItem, &MaxComboItem, &MissItem, &ClearItem, &RateItem})
        fuzz::CheckText(*item, "result text " + item->Text);
    fuzz::CheckSounds(ResultSounds, "result.ini");
    FUZZ_CHECK(!UseResultWindow || ResultWindowAnime.HasSheet(), "a result window without its picture");
    fuzz::CheckBackground(DDSurfResult, ResultDesc, "result.ini");

    // A threshold list is used whole or not at all; a rank list in use covers
    // every threshold but the last and holds what was written.
    if (!Points.empty())
        FUZZ_CHECK(Points.size() == fuzz::ListItems(file, "Rank", "Point"),
                   std::to_string(Points.size()) + " thresholds");
    for (bool back : {true, false}) {
        const auto& names = back ? FileNameBack : FileNameFront;
        const bool use = back ? UseFileNameBack : UseFileNameFront;
        FUZZ_CHECK(use == !names.empty(), "rank names kept but not used, or used but empty");
        if (!use) continue;
        FUZZ_CHECK(names.size() + 1 >= Points.size(), std::to_string(names.size()) + " rank names for " +
                                                          std::to_string(Points.size()) + " thresholds");
        FUZZ_CHECK(names.size() == fuzz::ListItems(file, "Rank", back ? "FileNameBack" : "FileNameFront"),
                   std::to_string(names.size()) + " rank names");
    }

    // The rank animation files the scene would load, as far as the list
    // goes and one past it; a stopped loader leaves nothing to show.
    if (!SkinPictureFailure()) {
        const int32_t ranks = static_cast<int32_t>(std::min<size_t>(Points.size(), 4));
        for (int32_t rank = 0; rank <= ranks; ++rank) {
            for (bool back : {true, false}) {
                AnimeList& list = back ? ResultBackAnime : ResultFrontAnime;
                fuzz::CheckAnimeList(ResultAnimeFile(back, rank), list,
                                     back ? AnimeFileKind::ResultBack : AnimeFileKind::ResultFront);
                fuzz::CheckSounds(ResultSounds, "rank file");
                if (SkinPictureFailure()) break;
            }
            if (SkinPictureFailure()) break;
        }
    }
    devices.Fresh();
    return 0;
}
