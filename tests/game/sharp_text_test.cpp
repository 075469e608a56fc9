// Composing at the output's scale: the question as sharp as the font drawn at that size, and
// copies, fills and keys that keep their 640x480 units on scaled pixels.
#include <algorithm>
#include <cmath>
#include <filesystem>

#include "tests/support/fixture.h"

namespace dexlora::test {
namespace {

using SharpTextTest = DexloraTest;
constexpr int32_t Magenta = 0xFF00FF;

// A 640x480 unit's edge in scaled pixels.
int32_t ScaledEdge(int32_t v, double s) { return int32_t(std::floor(v * s + 0.5)); }

// The device pixels of a rectangle of a surface.
std::vector<int32_t> DevicePixels(const DirectDrawSurface7& s, const RECT& r) {
    std::vector<int32_t> out;
    for (int32_t y = r.Top; y < r.Bottom; ++y)
        for (int32_t x = r.Left; x < r.Right; ++x) out.push_back(s.GetDevicePixel(x, y));
    return out;
}

TEST_F(SharpTextTest, TheQuestionIsTheFontDrawnAtTheOutputsSize) {
    const struct { const char* name; double output; bool sharp; double scale; } rows[] = {
        {"1440x1080", 2.25, true, 2.25}, {"1024x768", 1.6, true, 1.6}, {"sharp text off", 2.25, false, 1.0}};
    for (const auto& row : rows) {
        Tables(false), Questions({{"お腹がぺこぺこだ", "おなかがぺこぺこだ"}});
        for (const char* name : {"Title", "Game", "Result", "KeyConf"})
            Bmp("skin/" + std::string(name) + ".bmp", 640, 480, Black);
        Ini("Game.ini",
            "[QuestionText]\nQuestionX=21\nQuestionY=61\nQuestionFontSize=14\nQuestionFontColor1=255,255,255\n");
        const double s = row.scale;
        const RECT crop{ScaledEdge(16, s), ScaledEdge(56, s), ScaledEdge(240, s), ScaledEdge(90, s)};
        std::vector<int32_t> shown;
        onFrame = [&](const DirectDrawSurface7& frame, const FrameRecord& r) {
            if (r.Number == 1) SetSharpComposition(row.sharp), headless::SetOutputScale(row.output), Key(U's');
            if (r.State == Scene::Game && r.Question == 1 && shown.empty())
                shown = DevicePixels(frame, crop), Key(27);
        };
        EXPECT_EQ(Run(), 0) << row.name;
        // The font at the scaled size drawn on a surface of the scaled size, unscaled.
        headless::SetOutputScale(1);
        SurfacePtr direct = Surface(ScaledEdge(640, s), ScaledEdge(480, s));
        direct->SetFont(StdFont{"MS UI Gothic", float(14 * s)}), direct->SetForeColor(White);
        direct->DrawText(ScaledEdge(21, s), ScaledEdge(61, s), "お腹がぺこぺこだ", false);
        EXPECT_GT(CountColour(*direct, crop, White), 50) << row.name;
        EXPECT_EQ(shown, DevicePixels(*direct, crop)) << row.name;
    }
    SetSharpComposition(true);
}

TEST_F(SharpTextTest, CopiesFillsAndKeysKeepTheirUnits) {
    // A 7x7 picture (red, a magenta-keyed corner, green 3,3 to 4,4) copied at 2.25 onto black,
    // whole or unit by unit, keyed or not: each unit where it belongs, no gap between units, no
    // key colour left around the keyed corner, and copies and fills at the rounded scaled edges.
    Bmp("skin/p.bmp", 7, 7, Red, Magenta);
    SurfaceDesc desc;
    SurfacePtr picture = DDraw->CreateSurfaceFromFile(skin + "p.bmp", desc);
    for (auto [x, y] : {std::pair{3, 3}, {4, 3}, {3, 4}, {4, 4}}) picture->SetPixel(x, y, Green);
    headless::SetOutputScale(2.25);
    picture->SetColorKey(DDCKEY_SRCBLT, DDCOLORKEY{Magenta, Magenta});
    const struct { const char* name; int32_t flags; bool tiles; int32_t corner; } rows[] = {
        {"whole, plain", 16, false, Magenta}, {"unit by unit, plain", 16, true, Magenta},
        {"whole, keyed", 17, false, Black}, {"unit by unit, keyed", 17, true, Black}};
    for (const auto& row : rows) {
        SurfacePtr dst = Surface(20, 20);
        dst->FillRect(RECT{1, 1, 3, 3}, Blue);
        for (int32_t y = 0; y < 7; ++y)
            for (int32_t x = 0; x < 7; ++x)
                if (row.tiles) dst->BltFast(3 + x, 3 + y, *picture, RECT{x, y, x + 1, y + 1}, row.flags);
        if (!row.tiles) dst->BltFast(3, 3, *picture, RECT{0, 0, 7, 7}, row.flags);
        EXPECT_EQ(std::tuple(dst->Width(), dst->Scale(), dst->GetPixel(3, 3), dst->GetPixel(7, 7), dst->GetPixel(9, 9)),
                  std::tuple(20, 2.25, row.corner, Green, Red)) << row.name;
        // Edges: 3 -> 6.75 -> 7, 10 -> 22.5 -> 23 (copy); 1 -> 2, 3 -> 7 (fill).
        EXPECT_EQ(std::vector<int32_t>({dst->GetDevicePixel(1, 1), dst->GetDevicePixel(2, 2), dst->GetDevicePixel(6, 6),
                                        dst->GetDevicePixel(22, 22), dst->GetDevicePixel(23, 23)}),
                  std::vector<int32_t>({Black, Blue, Blue, Red, Black})) << row.name;
        // No gap between units, no key-coloured fringe: only the corner unit is black or magenta.
        const std::vector<int32_t> copy = DevicePixels(*dst, RECT{7, 7, 23, 23});
        const auto near = [](int32_t c, int32_t to) {
            return std::abs((c & 0xFF) - (to & 0xFF)) + std::abs((c >> 8 & 0xFF) - (to >> 8 & 0xFF)) +
                       std::abs((c >> 16 & 0xFF) - (to >> 16 & 0xFF)) < 90;
        };
        const auto count = [&](int32_t to) {
            return std::ranges::count_if(copy, [&](int32_t c) { return near(c, to); });
        };
        EXPECT_EQ(std::pair(count(Black), count(Magenta)), row.flags == 17 ? std::pair(4l, 0l) : std::pair(0l, 4l))
            << row.name;
    }
    // A new key after the picture was scaled and drawn: scaled again, so no red blends with its
    // neighbours and every pixel copied is one of the picture's own colours or the blue under it.
    picture->SetColorKey(DDCKEY_SRCBLT, DDCOLORKEY{Red, Red});
    SurfacePtr over = Surface(7, 7, Blue);
    over->BltFast(0, 0, *picture, RECT{0, 0, 7, 7}, 17);
    EXPECT_TRUE(std::ranges::all_of(DevicePixels(*over, RECT{0, 0, 16, 16}), [](int32_t c) {
        return c == Blue || c == Green || c == Magenta;
    })) << "keyed as it was scaled";
    EXPECT_EQ(std::pair(picture->GetPixel(0, 0), picture->GetPixel(3, 3)), std::pair(Magenta, Green))
        << "a picture answers with its own pixels";
    // An untouched picture keeps its file, not its pixels, and is decoded from it again at every
    // scale, the file gone meanwhile.
    SurfacePtr untouched = DDraw->CreateSurfaceFromFile(skin + "p.bmp", desc);
    std::filesystem::remove(skin + "p.bmp");
    for (const double scale : {1.6, 1.0, 2.25}) {
        headless::SetOutputScale(scale);
        SurfacePtr dst = Surface(7, 7);
        dst->BltFast(0, 0, *untouched, RECT{0, 0, 7, 7}, 16);
        EXPECT_EQ(std::tuple(untouched->GetPixel(0, 0), untouched->GetPixel(3, 3), dst->GetPixel(5, 5)),
                  std::tuple(Magenta, Red, Red)) << scale;
    }
}

}  // namespace
}  // namespace dexlora::test
