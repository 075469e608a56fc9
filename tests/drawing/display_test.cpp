// Picture loading: the extension rules and the failure report (ErrLog line,
// main window closed). The fixture takes the headless screen for every test.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <vector>
#include <tuple>

#include "drawing/display_mode.h"
#include "drawing_fixture.h"

namespace dexlora::test {

using DisplayTest = DrawingTest;

TEST_F(DisplayTest, LoadImageSurfaceFollowsTheExtensionRulesAndReportsFailures) {
    // A 16x8 grey baseline JPEG without Huffman tables, so the standard ones
    // apply: each 8x8 block codes a DC difference of 0 and an end of block.
    using namespace std::string_literals;
    const std::string jpeg = "\xFF\xD8\xFF\xDB\x00\x43\x00"s + std::string(64, '\x01') +
                             "\xFF\xC0\x00\x0B\x08\x00\x08\x00\x10\x01\x01\x11\x00"s +  // frame
                             "\xFF\xDA\x00\x08\x01\x01\x00\x00\x3F\x00\x28\xAF\xFF\xD9"s;  // scan and end
    for (const auto& [name, bytes] : {std::pair{"photo.jpg", jpeg}, {"写真.JpEgx", jpeg}, {"empty.bmp", ""s},
                                      {"cut.jpg", jpeg.substr(0, jpeg.size() - 2)}, {"noise.bmp", "not a picture"s}})
        std::ofstream(ScratchPath(name), std::ios::binary) << bytes;
    for (const char* name : {"pic.bmp", "caps.BMP", "stray.bmpx", "Title.bmpあ", "double.bmp.txt"})
        SaveBmp(MakeSurface(32, 24), name);
    std::filesystem::create_directories(scratch_ / "sub");
    SaveBmp(MakeSurface(40, 30), "sub/win.bmp");

    // ".bmp" or ".jpg" is searched for in the last five characters of the
    // path, ".jpeg" in the last six, in any case. Width 0: the load fails.
    const std::tuple<std::string, int32_t, int32_t> cases[] = {
        {ScratchPath("pic.bmp"), 32, 24}, {ScratchPath("caps.BMP"), 32, 24}, {ScratchPath("stray.bmpx"), 32, 24},
        {ScratchPath("Title.bmpあ"), 32, 24}, {ScratchPath("double.bmp.txt"), 0, 0},
        {scratch_.string() + "\\SUB\\Win.bmp", 40, 30},  // a path written on Windows
        {ScratchPath("photo.jpg"), 16, 8}, {ScratchPath("写真.JpEgx"), 16, 8}, {ScratchPath("cut.jpg"), 0, 0},
        {ScratchPath("noise.bmp"), 0, 0}, {ScratchPath("empty.bmp"), 0, 0}, {ScratchPath("missing.jpg"), 0, 0},
        {ScratchPath("pic.png"), 0, 0}, {".bmp", 0, 0},
    };
    for (const auto& [path, width, height] : cases) {
        SCOPED_TRACE(path);
        ErrLog.clear();
        ResetSceneControl();
        SurfacePtr before = MakeSurface(2, 2), surf = before;
        SurfaceDesc desc;
        LoadImageSurface(DDraw, path, desc, surf);
        EXPECT_EQ(surf == before, width == 0) << "a failed load leaves the surface as it stood";
        EXPECT_EQ(std::pair(desc.lWidth, desc.lHeight), std::pair(width, height));
        EXPECT_EQ(std::pair(surf->Width(), surf->Height()), width ? std::pair(width, height) : std::pair(2, 2));
        EXPECT_EQ(ErrLog, width ? "" : path + "が読みこめなかった可能性があります\r\n");
        EXPECT_EQ(PendingScene() == NextScene::Shutdown, width == 0);
    }
}

// A display device that refuses some depths and perhaps the cooperative level.
struct FakeDevice {
    bool levelFails;
    std::vector<int32_t> refused;
    void SetCooperativeLevel(int64_t, int32_t) {
        if (levelFails) throw RuntimeError(ErrDirectX, "level");
    }
    void SetDisplayMode(int32_t, int32_t, int32_t bpp, int32_t, int32_t) {
        if (std::find(refused.begin(), refused.end(), bpp) != refused.end()) throw RuntimeError(ErrDirectX, "mode");
    }
};

TEST(DisplayModeTest, DepthsAreTriedInOrderAndAFailedLevelSpoilsTheFirst) {
    const std::tuple<bool, std::vector<int32_t>, int32_t> cases[] = {
        {false, {}, 32}, {false, {32, 24}, 16}, {true, {}, 24}, {true, {24}, 16}, {false, {32, 24, 16, 8}, 0}};
    for (const auto& [levelFails, refused, expected] : cases) {
        FakeDevice device{levelFails, refused};
        EXPECT_EQ(TakeDisplayMode(device, 1, DisplayDepths), expected) << "level fails: " << levelFails;
    }
}

}  // namespace dexlora::test
