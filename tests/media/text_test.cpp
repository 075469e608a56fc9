// Text on surfaces: Japanese faces found for Windows face names, kana really
// drawn, colour, placement, clipping and the rendered-text cache.
#include <algorithm>
#include <climits>
#include <string>
#include <tuple>
#include <vector>

#include "tests/media/media_fixture.h"

namespace dexlora::test {
namespace {

StdFont Font(const char* name) { return StdFont{name, 20.0f, false}; }
const StdFont Gothic = Font("MS UI Gothic");

class TextTest : public MediaTest {
protected:
    // A fresh surface of the back colour with text drawn transparent at (x, y).
    SurfacePtr Draw(int32_t w, int32_t h, int32_t back, const StdFont& font, int32_t fore, int x, int y,
                    const std::string& text) {
        DDSURFACEDESC2 desc{DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT, h, w, 0, DDSCAPS_OFFSCREENPLAIN};
        SurfacePtr s = ddraw->CreateSurface(desc);
        s->FillRect(RECT{0, 0, w, h}, back);
        s->SetFont(font);
        s->SetForeColor(fore);
        s->SetFontTransparency(true);
        s->DrawText(x, y, text, false);
        return s;
    }
    static std::vector<int32_t> Pixels(const DirectDrawSurface7& s) {
        std::vector<int32_t> pixels;
        for (int y = 0; y < s.Height(); ++y)
            for (int x = 0; x < s.Width(); ++x) pixels.push_back(s.GetPixel(x, y));
        return pixels;
    }
    // The pixels of black text at (2, 2) of a white 80x60 surface.
    std::vector<int32_t> Render(const StdFont& font, const std::string& text) {
        return Pixels(*Draw(80, 60, White, font, Black, 2, 2, text));
    }
    static int64_t Inked(const std::vector<int32_t>& pixels) {
        return std::count_if(pixels.begin(), pixels.end(), [](int32_t p) { return p != White; });
    }
};

TEST_F(TextTest, KanaAreDrawnNotBoxesInEveryJapaneseFaceName) {
    // One name of each of the two Japanese faces; then a face without kana,
    // which must borrow them, and no face at all.
    for (const char* name : {"MS UI Gothic", "ＭＳ ゴシック", "DejaVu Sans", "No Such Face", ""}) {
        const auto a = Render(Font(name), "あ"), i = Render(Font(name), "い");
        // A private-use code point no font here has: the missing-glyph box.
        const auto missing = Render(Font(name), "\xEE\x80\x80");
        EXPECT_GT(Inked(a), 20) << name;
        EXPECT_NE(a, i) << name << ": あ and い look the same";
        EXPECT_NE(a, missing) << name << ": あ drawn as the missing-glyph box";
        EXPECT_NE(i, missing) << name << ": い drawn as the missing-glyph box";
    }
}

TEST_F(TextTest, TextInTheForeColourWithItsTopLeftAtXYBlendedOverTheBackground) {
    SurfacePtr s = Draw(200, 80, Blue, Gothic, White, 30, 20, "Key 1");
    int32_t w = 0, h = 0;
    s->MeasureText("Key 1", w, h);
    ASSERT_TRUE(w > 20 && h > 15) << w << "x" << h;
    int exact = 0, partial = 0, top = 80, left = 200;
    for (int y = 0; y < 80; ++y) {
        for (int x = 0; x < 200; ++x) {
            const int32_t p = s->GetPixel(x, y);
            // White over blue: every pixel keeps full blue and equal red and green.
            ASSERT_TRUE((p >> 16) == 255 && (p & 0xFF) == ((p >> 8) & 0xFF)) << "at " << x << "," << y;
            if (p == Blue) continue;
            EXPECT_TRUE(x >= 30 && x < 30 + w && y >= 20 && y < 20 + h) << "ink outside the text at " << x << "," << y;
            (p == White ? exact : partial) += 1;
            top = std::min(top, y);
            left = std::min(left, x);
        }
    }
    EXPECT_GT(exact, 10) << "glyph cores carry the exact fore colour";
    EXPECT_GT(partial, 10) << "anti-aliased edges";
    EXPECT_LE(left, 30 + 3) << "text starts at x";
    EXPECT_LE(top, 20 + h / 3) << "text starts at y";
    // Clipped at every edge, however far out.
    for (auto [x, y, visible] : std::initializer_list<std::tuple<int32_t, int32_t, bool>>{
             {-12, -10, true}, {50, 5, true}, {5, 30, true}, {-1000, 5, false}, {INT32_MIN / 2, INT32_MAX / 2, false}})
        EXPECT_EQ(Inked(Pixels(*Draw(64, 40, White, Gothic, Black, x, y, "WWWWWWWW"))) > 0, visible) << x << ", " << y;
}

TEST_F(TextTest, CachedTextsKeepTheirColourAndSurviveEviction) {
    // The same text in two colours: the second draw must not reuse the first colour.
    for (int32_t colour : {Red, Blue}) {
        const auto pixels = Pixels(*Draw(100, 40, Black, Gothic, colour, 0, 0, "Combo"));
        EXPECT_GT(std::count(pixels.begin(), pixels.end(), colour), 0) << std::hex << colour;
        EXPECT_EQ(std::count(pixels.begin(), pixels.end(), colour == Red ? Blue : Red), 0) << std::hex << colour;
    }
    // Far more distinct texts than the cache holds, then the first again.
    const auto first = Render(Gothic, "問題 0");
    SurfacePtr s = Draw(100, 40, Black, Gothic, White, 0, 0, "");
    for (int i = 0; i < 1500; ++i) s->DrawText(0, 0, "問題 " + std::to_string(i), false);
    EXPECT_EQ(Render(Gothic, "問題 0"), first);
}

}  // namespace
}  // namespace dexlora::test
