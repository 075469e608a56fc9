// Shared set-up of the drawing tests: a headless display taken through
// InitDisplay, a scratch folder, and pictures made and saved by the tests.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>

#include "bmp_writer.h"
#include "drawing/display.h"
#include "drawing/scene_control.h"
#include "platform/window.h"
#include "settings/shared.h"

namespace dexlora::test {

// A colour that tells the pixel's own position and which picture it belongs
// to (tag 0-3), so a copy from the wrong place or picture shows.
inline int32_t Pattern(int32_t x, int32_t y, int32_t tag) {
    return (x & 0xFF) | ((y & 0xFF) << 8) | (((tag << 6) | (x >> 8) | ((y >> 8) << 2)) << 16);
}

class DrawingTest : public ::testing::Test {
protected:
    DrawingTest() { DDraw = DirectDrawCreate(""); }
    void SetUp() override {
        ErrLog.clear();
        ResetSceneControl();
        std::filesystem::create_directories(scratch_);
        // Every test starts from the headless screen taken as the game takes it.
        ASSERT_TRUE(InitDisplay(MainWindowHandle(), DDraw, DDSurfPrimary, DDSurfBack, PrimaryDesc, BackBufferDesc));
        ASSERT_EQ(std::pair(BackBufferDesc.lWidth, BackBufferDesc.lHeight), std::pair(640, 480));
        ASSERT_EQ(std::pair(DDSurfBack->Width(), DDSurfBack->Height()), std::pair(640, 480));
        ASSERT_TRUE(ErrLog.empty() && !SceneChangePending()) << ErrLog;
    }
    // Runs before the members go, the session last of all: every surface goes
    // before the session that made it.
    ~DrawingTest() override {
        SetMainWindowEvents({});
        DDSurfPrimary = DDSurfBack = nullptr;
        DDraw = nullptr;
        std::filesystem::remove_all(scratch_);
    }
    // An off-screen surface, black or filled with Pattern of tag when tag >= 0.
    SurfacePtr MakeSurface(int32_t width, int32_t height, int32_t tag = -1) {
        SurfaceDesc desc{DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH, height, width, 0, DDSCAPS_OFFSCREENPLAIN};
        SurfacePtr surf = DDraw->CreateSurface(desc);
        surf->FillRect(RECT{0, 0, width, height}, 0);
        for (int32_t i = 0; tag >= 0 && i < width * height; ++i)
            surf->SetPixel(i % width, i / width, Pattern(i % width, i / width, tag));
        return surf;
    }
    std::string ScratchPath(const std::string& name) const { return (scratch_ / name).string(); }
    // Saves the surface as a bitmap in the scratch folder; answers its path.
    std::string SaveBmp(const SurfacePtr& surf, const std::string& name) {
        EXPECT_TRUE(WriteBmp(*surf, ScratchPath(name))) << name;
        return ScratchPath(name);
    }

    PlatformSession session_{DisplayKind::Headless};
    const std::filesystem::path scratch_ = std::filesystem::temp_directory_path() /
        ("dexlora-drawing-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
};

}  // namespace dexlora::test
