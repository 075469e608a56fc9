// Loading pictures into game surfaces: bitmaps of every depth, JPEG files,
// and every kind of bad file, each raising rather than half-loading.
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_image.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/surface.h"
#include "platform/window.h"
#include "tests/media/media_files.h"
#include "tests/platform_core/temp_folder.h"

namespace dexlora {
namespace {

constexpr uint32_t Red = 0x0000FF, Green = 0x00FF00, Blue = 0xFF0000, White = 0xFFFFFF, Black = 0;

class ImageTest : public ::testing::Test {
protected:
    PlatformSession session{DisplayKind::Headless};
    DirectDrawPtr ddraw = DirectDrawCreate("");
    testing_support::TempFolder folder;

    SurfacePtr LoadBitmap(const std::string& path, DDSURFACEDESC2& desc) {
        desc.lFlags = DDSD_CAPS;
        desc.lCaps = DDSCAPS_OFFSCREENPLAIN;
        return ddraw->CreateSurfaceFromFile(path, desc);
    }

    // A JPEG of four flat colour blocks side by side, each 16x16.
    std::string MakeJpeg() {
        SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, 64, 16, 24, SDL_PIXELFORMAT_RGB24);
        const uint32_t colors[] = {Red, Green, Blue, White};
        for (int i = 0; i < 4; ++i) {
            SDL_Rect r{i * 16, 0, 16, 16};
            const uint32_t c = colors[i];
            SDL_FillRect(s, &r, SDL_MapRGB(s->format, c & 0xFF, (c >> 8) & 0xFF, c >> 16));
        }
        const std::string path = folder.Path() + "made.jpg";
        EXPECT_EQ(IMG_SaveJPG(s, path.c_str(), 95), 0) << IMG_GetError();
        SDL_FreeSurface(s);
        return testing_support::TempFolder::Read(path);
    }
};

int Distance(int32_t a, int32_t b) {
    int worst = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        worst = std::max(worst, std::abs(((a >> shift) & 0xFF) - ((b >> shift) & 0xFF)));
    }
    return worst;
}

TEST_F(ImageTest, BitmapsOfEveryDepthLoadWithExactPixels) {
    // 5 pixels wide, so that rows of every depth need padding.
    const int w = 5, h = 3;
    const std::vector<uint32_t> colors{Red, Green, Blue, White, Black, 0x808080, 0x00FFFF, 0x123456};
    auto index = [](int x, int y) { return static_cast<uint32_t>(x + 2 * y); };
    struct Case {
        const char* name;
        int bpp;
        bool topDown;
        bool rle;
        uint32_t paletteSize;  // 0: direct colour
        // Colours that survive the depth exactly (5 bits per channel at 16).
        std::vector<uint32_t> usable;
    };
    const std::vector<uint32_t> five{Red, Green, Blue, White, Black};
    const Case cases[] = {
        {"1-bit", 1, false, false, 2, {Black, White}},
        {"4-bit", 4, false, false, 16, colors},
        {"8-bit", 8, false, false, 256, colors},
        {"8-bit run-length", 8, false, true, 256, colors},
        {"16-bit", 16, false, false, 0, five},
        {"24-bit", 24, false, false, 0, colors},
        {"24-bit top-down", 24, true, false, 0, colors},
        {"32-bit", 32, false, false, 0, colors},
    };
    for (const Case& c : cases) {
        auto expected = [&](int x, int y) { return c.usable[index(x, y) % c.usable.size()]; };
        std::string bytes;
        if (c.paletteSize > 0) {
            std::vector<uint32_t> palette(c.usable);
            palette.resize(std::min<size_t>(c.paletteSize, 16), 0x0F0F0F);
            auto value = [&](int x, int y) { return index(x, y) % static_cast<uint32_t>(c.usable.size()); };
            bytes = c.rle ? test::MakeRle8Bitmap(w, h, palette, value)
                          : test::MakeBitmap(w, h, c.bpp, palette, value, c.topDown);
        } else {
            bytes = test::MakeBitmap(w, h, c.bpp, {}, expected, c.topDown);
        }
        DDSURFACEDESC2 desc;
        SurfacePtr surface = LoadBitmap(folder.Write(std::string(c.name) + ".bmp", bytes), desc);
        ASSERT_TRUE(surface) << c.name;
        EXPECT_EQ(desc.lWidth, w) << c.name;
        EXPECT_EQ(desc.lHeight, h) << c.name;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                EXPECT_EQ(surface->GetPixel(x, y), static_cast<int32_t>(expected(x, y)))
                    << c.name << " at " << x << "," << y;
            }
        }
    }
}

TEST_F(ImageTest, SkinPathsInAnyCaseWithBackslashesLoad) {
    folder.Write("Skin/Pics/Back.BMP", test::MakeBitmap(320, 240, 24, {}, [](int, int) { return Green; }));
    DDSURFACEDESC2 desc;
    SurfacePtr surface = LoadBitmap(folder.Path() + "SKIN\\pics\\back.bmp", desc);
    EXPECT_EQ(desc.lWidth, 320);
    EXPECT_EQ(desc.lHeight, 240);
    EXPECT_EQ(surface->GetPixel(319, 239), static_cast<int32_t>(Green));
}

TEST_F(ImageTest, JpegLoadsAtItsOwnSizeWithinTolerance) {
    const std::string path = folder.Write("Title.JPG", MakeJpeg());
    DDSURFACEDESC2 desc;
    SurfacePtr surface = ddraw->CreateSurfaceFromJpeg(folder.Path() + "title.jpg", desc);
    EXPECT_EQ(desc.lWidth, 64);
    EXPECT_EQ(desc.lHeight, 16);
    const uint32_t colors[] = {Red, Green, Blue, White};
    for (int i = 0; i < 4; ++i) {
        const int32_t got = surface->GetPixel(i * 16 + 8, 8);
        EXPECT_LE(Distance(got, static_cast<int32_t>(colors[i])), 12) << "block " << i << " got " << std::hex << got;
    }
}

TEST_F(ImageTest, JpegNameHoldingABitmapLoadsByContent) {
    const std::string path = folder.Write("odd.jpg", test::MakeBitmap(4, 4, 24, {}, [](int, int) { return Blue; }));
    DDSURFACEDESC2 desc;
    SurfacePtr surface = ddraw->CreateSurfaceFromJpeg(path, desc);
    EXPECT_EQ(desc.lWidth, 4);
    EXPECT_EQ(surface->GetPixel(3, 3), static_cast<int32_t>(Blue));
}

TEST_F(ImageTest, BadPictureFilesRaise) {
    const std::string jpeg = MakeJpeg();
    const std::string bitmap = test::MakeBitmap(40, 30, 24, {}, [](int, int) { return Red; });
    std::string noise(4096, '\0');
    srand(7);
    for (char& c : noise) c = static_cast<char>(rand());
    struct Case {
        const char* name;
        bool jpegLoader;
        std::string bytes;
        bool exists;
        int32_t error;
    };
    const Case cases[] = {
        {"missing bitmap", false, "", false, ErrFileNotFound},
        {"missing JPEG", true, "", false, ErrFileNotFound},
        {"empty bitmap", false, "", true, ErrDirectX},
        {"empty JPEG", true, "", true, ErrDirectX},
        {"noise as bitmap", false, noise, true, ErrDirectX},
        {"noise as JPEG", true, noise, true, ErrDirectX},
        {"bitmap cut in half", false, bitmap.substr(0, bitmap.size() / 2), true, ErrDirectX},
        {"bitmap announcing a huge size", false,
         bitmap.substr(0, 18) + test::Le32(50000) + test::Le32(50000) + bitmap.substr(26), true, ErrDirectX},
        {"JPEG cut in half", true, jpeg.substr(0, jpeg.size() / 2), true, ErrDirectX},
        {"JPEG missing its last byte", true, jpeg.substr(0, jpeg.size() - 1), true, ErrDirectX},
        {"JPEG as bitmap", false, jpeg, true, ErrDirectX},
    };
    for (const Case& c : cases) {
        const std::string path = c.exists ? folder.Write(std::string(c.name), c.bytes) : folder.Path() + "none";
        DDSURFACEDESC2 desc;
        try {
            if (c.jpegLoader) {
                ddraw->CreateSurfaceFromJpeg(path, desc);
            } else {
                LoadBitmap(path, desc);
            }
            ADD_FAILURE() << c.name << ": loaded";
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.Number, c.error) << c.name << ": " << e.what();
        }
    }
}

}  // namespace
}  // namespace dexlora
