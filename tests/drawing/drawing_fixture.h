// Shared set-up of the drawing tests: a headless display taken through
// InitDisplay, a scratch folder, and pictures made and saved by the tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/surface.h"
#include "platform/window.h"

namespace dexlora::test {

class DrawingTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A plain off-screen surface of the given size, filled with colour.
    SurfacePtr MakeSurface(int32_t width, int32_t height, int32_t color = 0);
    // A path in this test's scratch folder.
    std::string ScratchPath(const std::string& name) const;

    std::filesystem::path scratch_;

private:
    std::unique_ptr<PlatformSession> session_;
};

// A colour that tells the pixel's own position and which picture it belongs
// to (tag 0-3), so a copy from the wrong place or picture shows.
int32_t Pattern(int32_t x, int32_t y, int32_t tag);
void FillPattern(DirectDrawSurface7& surf, int32_t tag);
// Whether a colour made by Pattern carries this tag.
bool HasTag(int32_t color, int32_t tag);

// Writes the surface as an uncompressed 24-bit bitmap file.
void SaveBmp(const DirectDrawSurface7& surf, const std::string& path);
// Writes raw bytes to a file.
void WriteBytes(const std::string& path, const void* data, size_t size);

}  // namespace dexlora::test
