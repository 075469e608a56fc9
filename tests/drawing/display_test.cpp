// Display set-up, off-screen surfaces, picture loading and the failure report
// (ErrLog line, main window closed).
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "drawing/display.h"
#include "drawing/display_mode.h"
#include "drawing/main_window.h"
#include "drawing_fixture.h"
#include "sample_jpeg.h"
#include "skin/shared.h"

namespace dexlora::test {
namespace {

const std::string kLoadFailed = "が読みこめなかった可能性があります";

// A display device that refuses the depths it is told to and records what it
// was asked for.
struct FakeDevice {
    bool coopFails = false;
    std::set<int32_t> refused;
    std::vector<int32_t> asked;
    void SetCooperativeLevel(int64_t, int32_t flags) {
        EXPECT_EQ(flags, 83);
        if (coopFails) throw RuntimeError(ErrDirectX, "cooperative level");
    }
    void SetDisplayMode(int32_t w, int32_t h, int32_t bpp, int32_t, int32_t) {
        EXPECT_EQ(w, 640);
        EXPECT_EQ(h, 480);
        asked.push_back(bpp);
        if (refused.count(bpp)) throw RuntimeError(ErrDirectX, "depth");
    }
};

TEST(DisplayModeTest, DepthsAreTriedInTurnAndAFailedCooperativeLevelSpoilsTheFirst) {
    struct Case {
        const char* name;
        bool coopFails;
        std::set<int32_t> refused;
        int32_t depth;
        std::vector<int32_t> asked;
    };
    const Case cases[] = {
        {"all accepted", false, {}, 32, {32}},
        {"16 after 32 and 24 refused", false, {32, 24}, 16, {32, 24, 16}},
        {"cooperative level failed: 32 counts as refused", true, {}, 24, {32, 24}},
        {"cooperative level failed and 24 refused", true, {24}, 16, {32, 24, 16}},
        {"only 8", false, {32, 24, 16}, 8, {32, 24, 16, 8}},
        {"nothing accepted", false, {32, 24, 16, 8}, 0, {32, 24, 16, 8}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeDevice device{c.coopFails, c.refused, {}};
        EXPECT_EQ(TakeDisplayMode(device, 1, DisplayDepths), c.depth);
        EXPECT_EQ(device.asked, c.asked);
    }
}

TEST(ImageKindTest, TheEndOfThePathChoosesTheLoader) {
    struct Case {
        const char* path;
        ImageKind kind;
    };
    // What the loading test below cannot easily make as files.
    const Case cases[] = {
        {"skin/Title.bmpあ", ImageKind::Bitmap},  // a character is not a byte
        {"skin/写真.JpEg", ImageKind::Jpeg},
        {"x.jpg", ImageKind::Jpeg},
        {".jpeg", ImageKind::Unreadable},  // too short for its own search
        {".bmp", ImageKind::Unreadable},   // four characters or fewer
        {"", ImageKind::Unreadable},
    };
    for (const Case& c : cases) EXPECT_EQ(ImageKindOfPath(c.path), c.kind) << c.path;
}

using DisplayTest = DrawingTest;

TEST_F(DisplayTest, InitDisplayTakesTheHeadlessScreen) {
    ASSERT_TRUE(DDSurfPrimary);
    ASSERT_TRUE(DDSurfBack);
    EXPECT_EQ(BackBufferDesc.lWidth, 640);
    EXPECT_EQ(BackBufferDesc.lHeight, 480);
    EXPECT_EQ(PrimaryDesc.lFlags, 33);
    EXPECT_EQ(PrimaryDesc.lCaps, 536);
    EXPECT_EQ(PrimaryDesc.lBackBufferCount, 1);
    EXPECT_EQ(ErrLog, "");
    EXPECT_FALSE(MainWindowUnloadRequested());

    CreateWorkSurface(640, 480, DDraw, SnapshotDesc, DDSurfSnapshot);
    ASSERT_TRUE(DDSurfSnapshot);
    EXPECT_EQ(DDSurfSnapshot->Width(), 640);
    EXPECT_EQ(DDSurfSnapshot->Height(), 480);
    EXPECT_EQ(SnapshotDesc.lFlags, 7);
    EXPECT_EQ(SnapshotDesc.lCaps, 64);
    EXPECT_EQ(ErrLog, "");
    EXPECT_NO_THROW(ReleaseDisplay(MainWindowHandle()));
}

TEST_F(DisplayTest, SetUpFailuresAppendTheirLineAndCloseTheMainWindow) {
    int closes = 0;
    SetUnloadMainWindowHandler([&] { ++closes; });
    DirectDrawPtr none;
    SurfacePtr primary, back;
    SurfaceDesc primaryDesc, backDesc;
    EXPECT_FALSE(InitDisplay(MainWindowHandle(), none, primary, back, primaryDesc, backDesc));
    EXPECT_EQ(ErrLog, "DirectXの初期化に失敗した可能性があります\r\n");
    EXPECT_EQ(closes, 1);
    EXPECT_TRUE(MainWindowUnloadRequested());

    ErrLog.clear();
    SurfacePtr work;
    SurfaceDesc desc;
    CreateWorkSurface(640, 480, none, desc, work);
    EXPECT_EQ(ErrLog, "サーフェイスの製作に失敗した可能性があります\r\n");
    EXPECT_EQ(closes, 2);
    EXPECT_FALSE(work);
}

TEST_F(DisplayTest, LoadImageSurfaceFollowsTheExtensionRulesAndReportsFailures) {
    SurfacePtr picture = MakeSurface(320, 240);
    FillPattern(*picture, 1);
    SaveBmp(*picture, ScratchPath("pic.bmp"));
    SaveBmp(*picture, ScratchPath("caps.BMP"));
    SaveBmp(*picture, ScratchPath("stray.bmpx"));
    SaveBmp(*picture, ScratchPath("double.bmp.txt"));
    std::filesystem::create_directories(scratch_ / "sub");
    SaveBmp(*MakeSurface(40, 30, 0x123456), ScratchPath("sub/win.bmp"));
    WriteBytes(ScratchPath("photo.jpg"), kSampleJpeg, sizeof kSampleJpeg);
    WriteBytes(ScratchPath("photo.JPEG"), kSampleJpeg, sizeof kSampleJpeg);
    WriteBytes(ScratchPath("half.jpg"), kSampleJpeg, 3);
    WriteBytes(ScratchPath("noise.bmp"), "not a picture at all", 20);
    WriteBytes(ScratchPath("empty.bmp"), "", 0);

    struct Case {
        std::string path;
        bool loads;
        int32_t width, height;
    };
    const Case cases[] = {
        {ScratchPath("pic.bmp"), true, 320, 240},
        {ScratchPath("caps.BMP"), true, 320, 240},
        {ScratchPath("stray.bmpx"), true, 320, 240},
        {ScratchPath("double.bmp.txt"), false, 0, 0},
        {scratch_.string() + "\\SUB\\Win.bmp", true, 40, 30},  // written on Windows
        {ScratchPath("photo.jpg"), true, 16, 8},
        {ScratchPath("photo.JPEG"), true, 16, 8},
        {ScratchPath("half.jpg"), false, 0, 0},
        {ScratchPath("noise.bmp"), false, 0, 0},
        {ScratchPath("empty.bmp"), false, 0, 0},
        {ScratchPath("missing.bmp"), false, 0, 0},
        {ScratchPath("missing.jpg"), false, 0, 0},
        {ScratchPath("pic.png"), false, 0, 0},
        {".bmp", false, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        ErrLog.clear();
        ResetMainWindowUnloadRequest();
        SurfacePtr before = MakeSurface(2, 2);
        SurfacePtr surf = before;
        SurfaceDesc desc;
        LoadImageSurface(DDraw, c.path, desc, surf);
        if (c.loads) {
            ASSERT_TRUE(surf);
            EXPECT_NE(surf, before);
            EXPECT_EQ(desc.lWidth, c.width);
            EXPECT_EQ(desc.lHeight, c.height);
            EXPECT_EQ(surf->Width(), c.width);
            EXPECT_EQ(surf->Height(), c.height);
            EXPECT_EQ(ErrLog, "");
            EXPECT_FALSE(MainWindowUnloadRequested());
        } else {
            EXPECT_EQ(surf, before) << "a failed load leaves the surface as it stood";
            EXPECT_EQ(ErrLog, c.path + kLoadFailed + "\r\n");
            EXPECT_TRUE(MainWindowUnloadRequested());
        }
    }
}

}  // namespace
}  // namespace dexlora::test
