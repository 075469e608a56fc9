// The drawing tests' fixture and picture helpers.
#include "drawing_fixture.h"

#include <fstream>

#include "bmp_writer.h"
#include "drawing/display.h"
#include "drawing/main_window.h"
#include "skin/shared.h"

namespace dexlora::test {

void DrawingTest::SetUp() {
    session_ = std::make_unique<PlatformSession>(DisplayKind::Headless);
    ErrLog.clear();
    ResetMainWindowUnloadRequest();
    SetUnloadMainWindowHandler({});
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    scratch_ = std::filesystem::temp_directory_path() /
               ("dexlora-drawing-" + std::string(info->test_suite_name()) + "-" + info->name());
    std::filesystem::remove_all(scratch_);
    std::filesystem::create_directories(scratch_);

    DX = std::make_shared<DirectX7>();
    DDraw = DX->DirectDrawCreate("");
    ASSERT_TRUE(InitDisplay(MainWindowHandle(), DDraw, DDSurfPrimary, DDSurfBack, PrimaryDesc, BackBufferDesc));
}

void DrawingTest::TearDown() {
    headless::OnFlip({});
    SetMainWindowEvents({});
    SetUnloadMainWindowHandler({});
    // Every surface goes before the session that made it.
    for (SurfacePtr* surf : {&DDSurfPrimary, &DDSurfBack, &DDSurfSnapshot, &DDSurfTitle, &DDSurfGame,
                             &DDSurfResult, &DDSurfKeyConf})
        surf->reset();
    DDraw.reset();
    DX.reset();
    session_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(scratch_, ignored);
}

SurfacePtr DrawingTest::MakeSurface(int32_t width, int32_t height, int32_t color) {
    SurfaceDesc desc;
    desc.lFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    desc.lCaps = DDSCAPS_OFFSCREENPLAIN;
    desc.lWidth = width;
    desc.lHeight = height;
    SurfacePtr surf = DDraw->CreateSurface(desc);
    surf->FillRect(RECT{0, 0, width, height}, color);
    return surf;
}

std::string DrawingTest::ScratchPath(const std::string& name) const {
    return (scratch_ / name).string();
}

int32_t Pattern(int32_t x, int32_t y, int32_t tag) {
    int32_t blue = (tag << 6) | (x >> 8) | ((y >> 8) << 2);
    return (x & 0xFF) | ((y & 0xFF) << 8) | (blue << 16);
}

void FillPattern(DirectDrawSurface7& surf, int32_t tag) {
    for (int32_t y = 0; y < surf.Height(); ++y)
        for (int32_t x = 0; x < surf.Width(); ++x) surf.SetPixel(x, y, Pattern(x, y, tag));
}

bool HasTag(int32_t color, int32_t tag) {
    return color >= 0 && ((color >> 22) & 3) == tag;
}

void SaveBmp(const DirectDrawSurface7& surf, const std::string& path) {
    ASSERT_TRUE(WriteBmp(surf, path)) << path;
}

void WriteBytes(const std::string& path, const void* data, size_t size) {
    std::ofstream out(path, std::ios::binary);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
    ASSERT_TRUE(out.good()) << path;
}

}  // namespace dexlora::test
