// Loading pictures into game surfaces: bitmaps and JPEG files with their
// sizes and colours, and bad files raising rather than half-loading.
#include <SDL.h>
#include <SDL_image.h>

#include <string>
#include <vector>

#include "tests/media/media_fixture.h"

namespace dexlora::test {
namespace {

// The test picture: 63x32 (rows that need padding at every depth), in blocks
// of 16x16 whose colours differ across and down.
constexpr int W = 63, H = 32;
const std::vector<uint32_t> Colours{Red, Green, Blue, White, 0x123456};
uint32_t Block(int x, int y) { return static_cast<uint32_t>((x / 16 + y / 16 * 3) % 5); }

// The test picture as an uncompressed bitmap (BITMAPINFOHEADER, BI_RGB); at
// 8 bits through a palette. Rows go bottom-up unless topDown.
std::string MakeBitmap(int bpp, bool topDown = false) {
    auto bgr0 = [](uint32_t c) { return std::string{char(c >> 16), char(c >> 8), char(c), 0}; };
    std::string pixels, palette;
    for (int row = 0; row < H; ++row) {
        for (int x = 0; x < W; ++x) {
            const uint32_t i = Block(x, topDown ? row : H - 1 - row);
            pixels += bpp == 8 ? std::string(1, char(i)) : bgr0(Colours[i]).substr(0, bpp / 8);
        }
        pixels.resize((pixels.size() + 3) / 4 * 4, '\0');  // rows end on four-byte bounds
    }
    for (uint32_t c : Colours) palette += bpp == 8 ? bgr0(c) : "";
    const auto offset = static_cast<uint32_t>(54 + palette.size()), size = static_cast<uint32_t>(pixels.size());
    std::string file = "BM";
    for (uint32_t field : {offset + size, 0u, offset, 40u, uint32_t(W), uint32_t(topDown ? -H : H),
                           1u | uint32_t(bpp) << 16, 0u, size, 2835u, 2835u, uint32_t(palette.size() / 4), 0u})
        file += Le32(field);
    return file + palette + pixels;
}

// An EXIF block holding a whole thumbnail JPEG, end marker included.
const std::string Thumbnail = std::string("\xFF\xE1\x00\x0F" "Exif\0\0" "\xFF\xD8\1\2\3\xFF\xD9", 17);

class ImageTest : public MediaTest {
protected:
    SurfacePtr Load(bool jpeg, const std::string& path, DDSURFACEDESC2& desc) {
        desc = DDSURFACEDESC2{DDSD_CAPS, 0, 0, 0, DDSCAPS_OFFSCREENPLAIN};  // as the game asks
        return jpeg ? ddraw->CreateSurfaceFromJpeg(path, desc) : ddraw->CreateSurfaceFromFile(path, desc);
    }

    // The test picture as a JPEG file, made with the library's encoder.
    std::string MakeJpeg() {
        const std::string bitmap = MakeBitmap(24);
        SDL_Surface* s = SDL_LoadBMP_RW(SDL_RWFromConstMem(bitmap.data(), static_cast<int>(bitmap.size())), 1);
        const std::string path = folder.Path() + "made.jpg";
        EXPECT_EQ(IMG_SaveJPG(s, path.c_str(), 95), 0) << IMG_GetError();
        SDL_FreeSurface(s);
        return testing_support::TempFolder::Read(path);
    }
};

TEST_F(ImageTest, PicturesLoadWithTheirSizesAndColours) {
    const std::string jpeg = MakeJpeg();
    const struct {
        bool jpegLoader;
        std::string bytes;
        const char *written, *loaded;
        int tolerance;  // per channel: JPEG is lossy, and only block centres are compared
    } cases[] = {
        {false, MakeBitmap(8), "8.bmp", "8.bmp", 0},
        {false, MakeBitmap(24, true), "top-down.bmp", "top-down.bmp", 0},
        {false, MakeBitmap(32), "32.bmp", "32.bmp", 0},
        {false, MakeBitmap(24), "Skin/Pics/Back.BMP", "SKIN\\pics\\back.bmp", 0},
        {true, jpeg, "Title.JPG", "title.jpg", 12},
        {true, jpeg.substr(0, 2) + Thumbnail + jpeg.substr(2) + "camera trailer", "thumbnail.jpg", "thumbnail.jpg", 12},
        // The Windows picture loader goes by content: a bitmap under a JPEG name loads too.
        {true, MakeBitmap(24), "bitmap.jpg", "bitmap.jpg", 0},
    };
    for (const auto& c : cases) {
        folder.Write(c.written, c.bytes);
        DDSURFACEDESC2 desc;
        SurfacePtr surface = Load(c.jpegLoader, folder.Path() + c.loaded, desc);
        EXPECT_TRUE(desc.lWidth == W && desc.lHeight == H) << c.loaded << ": " << desc.lWidth << "x" << desc.lHeight;
        for (int y = 0; y < H; ++y) {
            for (int x = 0; x < W; ++x) {
                if (c.tolerance > 0 && (x % 16 != 8 || y % 16 != 8)) continue;
                const int32_t got = surface->GetPixel(x, y), want = static_cast<int32_t>(Colours[Block(x, y)]);
                for (int shift = 0; shift < 24; shift += 8)
                    ASSERT_NEAR((got >> shift) & 0xFF, (want >> shift) & 0xFF, c.tolerance)
                        << c.loaded << " at " << x << "," << y << " got " << std::hex << got;
            }
        }
    }
}

TEST_F(ImageTest, BadPictureFilesRaise) {
    const std::string jpeg = MakeJpeg();
    const std::string bitmap = MakeBitmap(24);
    std::string noise(4096, '\0');
    for (size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<char>(i * 2654435761u >> 13);
    const struct {
        const char* name;
        bool jpegLoader;
        std::string bytes;
        int32_t error;
    } cases[] = {
        {"missing JPEG", true, "", ErrFileNotFound},
        {"empty bitmap", false, "", ErrDirectX},
        {"noise as bitmap", false, noise, ErrDirectX},
        {"noise as JPEG", true, noise, ErrDirectX},
        {"bitmap cut in half", false, bitmap.substr(0, bitmap.size() / 2), ErrDirectX},
        {"JPEG missing its last byte", true, jpeg.substr(0, jpeg.size() - 1), ErrDirectX},
        {"JPEG cut, a thumbnail's end only", true, jpeg.substr(0, 2) + Thumbnail + jpeg.substr(2, jpeg.size() - 4),
         ErrDirectX},
    };
    for (const auto& c : cases) {
        const std::string path = c.error == ErrFileNotFound ? folder.Path() + "none" : folder.Write(c.name, c.bytes);
        DDSURFACEDESC2 desc;
        EXPECT_EQ(ErrorOf([&] { Load(c.jpegLoader, path, desc); }), c.error) << c.name;
    }
}

// Replaces bytes at a position of a copy.
std::string Patched(std::string bytes, size_t at, std::string_view with) {
    return bytes.replace(at, with.size(), with);
}

std::string Be16(uint32_t v) { return {static_cast<char>((v >> 8) & 0xFF), static_cast<char>(v & 0xFF)}; }

// Small files whose headers announce what would take gigabytes or hours to
// decode, or that no picture decoder of ours should see at all.
TEST_F(ImageTest, HostilePictureFilesAreRefusedBeforeDecoding) {
    const std::string jpeg = MakeJpeg();
    const std::string bitmap = MakeBitmap(8);
    const size_t sof = jpeg.find("\xFF\xC0");
    const size_t sos = jpeg.find("\xFF\xDA");
    ASSERT_NE(sof, std::string::npos);
    ASSERT_NE(sos, std::string::npos);
    const std::string sofSegment = jpeg.substr(sof, 2 + ((uint8_t(jpeg[sof + 2]) << 8) | uint8_t(jpeg[sof + 3])));
    const std::string sosHeader = jpeg.substr(sos, 2 + ((uint8_t(jpeg[sos + 2]) << 8) | uint8_t(jpeg[sos + 3])));
    std::string manyScans = jpeg.substr(0, sos);
    for (int i = 0; i < 200; ++i) manyScans += sosHeader;
    manyScans += jpeg.substr(sos);

    const std::string gif = std::string("GIF89a", 6) + Le16(65535) + Le16(65535) + std::string("\x80\0\0", 3) +
                            std::string(6, '\0') + "," + std::string(4, '\0') + Le16(65535) + Le16(65535) +
                            std::string("\0\x02\x02\x44\x01\0;", 7);
    const std::string png = std::string("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR", 16) + Be16(1) + Be16(0) + Be16(1) +
                            Be16(0) + std::string("\x08\x02\0\0\0\0\0\0\0", 9);
    const std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"2000000000\" height=\"2000000000\">"
                            "<rect width=\"100%\" height=\"100%\"/></svg>";
    const struct {
        const char* name;
        bool jpegLoader;
        std::string bytes;
    } cases[] = {
        {"GIF of 65535x65535 under a JPEG name", true, gif},
        {"PNG of 65536x65536 under a JPEG name", true, png},
        {"vector picture under a JPEG name", true, svg},
        {"PNG as bitmap", false, png},
        {"huge bitmap under a JPEG name", true, Patched(bitmap, 18, Le32(50000) + Le32(50000))},
        {"bitmap of negative width", false, Patched(bitmap, 18, Le32(uint32_t(-63)))},
        {"bitmap of zero height", false, Patched(bitmap, 22, Le32(0))},
        {"bitmap of the most negative height", false, Patched(bitmap, 22, Le32(0x80000000u))},
        {"bitmap with two billion palette colours", false, Patched(bitmap, 46, Le32(0x7FFFFFFF))},
        {"bitmap with pixels far past its end", false, Patched(bitmap, 10, Le32(0x7FFFFFF0))},
        {"bitmap with a 2 GB header", false, Patched(bitmap, 14, Le32(0x7FFFFFFF))},
        {"bitmap of 64 bits per pixel", false, Patched(bitmap, 28, Le16(64))},
        {"JPEG of 65535x65535", true, Patched(jpeg, sof + 5, Be16(65535) + Be16(65535))},
        {"JPEG of zero width", true, Patched(jpeg, sof + 7, Be16(0))},
        {"JPEG of 255 components", true, Patched(jpeg, sof + 9, "\xFF")},
        {"JPEG with two frames", true, jpeg.substr(0, sof) + sofSegment + jpeg.substr(sof)},
        {"JPEG segment longer than the file", true, Patched(jpeg, 4, Be16(0xFFFF))},
        {"JPEG segment shorter than its length field", true, Patched(jpeg, 4, Be16(1))},
        {"JPEG of 200 scans", true, manyScans},
    };
    LargestAllocation counting;
    for (const auto& c : cases) {
        const std::string path = folder.Write(std::string(c.name) + (c.jpegLoader ? ".jpg" : ".bmp"), c.bytes);
        DDSURFACEDESC2 desc;
        LargestAllocation::Largest = 0;
        EXPECT_EQ(ErrorOf([&] { Load(c.jpegLoader, path, desc); }), ErrDirectX) << c.name;
        EXPECT_LT(LargestAllocation::Largest, size_t{16} << 20) << c.name << ": decoded before its size was checked";
    }
}

}  // namespace
}  // namespace dexlora::test
