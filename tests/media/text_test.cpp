// Text on surfaces: Japanese faces found for Windows face names, kana really
// drawn, colours, placement, clipping, measuring and the rendered-text cache.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "platform/surface.h"
#include "platform/window.h"

namespace dexlora {
namespace {

constexpr int32_t Black = 0, White = 0xFFFFFF, Red = 0x0000FF, Blue = 0xFF0000, Grey = 0x808080;

class TextTest : public ::testing::Test {
protected:
    PlatformSession session{DisplayKind::Headless};
    DirectDrawPtr ddraw = DirectDrawCreate("");

    SurfacePtr Make(int32_t w, int32_t h, int32_t color) {
        DDSURFACEDESC2 desc;
        desc.lFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
        desc.lCaps = DDSCAPS_OFFSCREENPLAIN;
        desc.lWidth = w;
        desc.lHeight = h;
        SurfacePtr s = ddraw->CreateSurface(desc);
        s->FillRect(RECT{0, 0, w, h}, color);
        return s;
    }

    // The pixels of text drawn in black on white at (2, 2) of a fresh surface.
    std::vector<int32_t> Render(const StdFont& font, const std::string& text) {
        SurfacePtr s = Make(80, 60, White);
        s->SetFont(font);
        s->SetForeColor(Black);
        s->SetFontTransparency(true);
        s->DrawText(2, 2, text, false);
        std::vector<int32_t> pixels;
        for (int y = 0; y < 60; ++y) {
            for (int x = 0; x < 80; ++x) pixels.push_back(s->GetPixel(x, y));
        }
        return pixels;
    }

    static int Inked(const std::vector<int32_t>& pixels) {
        int n = 0;
        for (int32_t p : pixels) n += p != White;
        return n;
    }

    int32_t Width(const StdFont& font, const std::string& text) {
        SurfacePtr s = Make(1, 1, Black);
        s->SetFont(font);
        int32_t w = 0, h = 0;
        s->MeasureText(text, w, h);
        return w;
    }
};

StdFont Font(const char* name, float size = 20.0f, bool bold = false) { return StdFont{name, size, bold}; }

TEST_F(TextTest, KanaAreDrawnNotBoxesInEveryJapaneseFaceName) {
    const char* names[] = {"MS UI Gothic", "ＭＳ Ｐゴシック", "ＭＳ ゴシック", "MS Gothic", "No Such Face 42", ""};
    for (const char* name : names) {
        const auto a = Render(Font(name), "あ");
        const auto i = Render(Font(name), "い");
        // A private-use code point no font here has: the missing-glyph box.
        const auto missing = Render(Font(name), "\xEE\x80\x80");
        EXPECT_GT(Inked(a), 20) << name;
        EXPECT_NE(a, i) << name << ": あ and い look the same";
        EXPECT_NE(a, missing) << name << ": あ drawn as the missing-glyph box";
        EXPECT_NE(i, missing) << name << ": い drawn as the missing-glyph box";
    }
}

TEST_F(TextTest, LatinTextInTheForeColourWithItsTopLeftAtXY) {
    SurfacePtr s = Make(200, 80, Black);
    s->SetFont(Font("MS UI Gothic", 20.0f));
    s->SetForeColor(Red);
    s->SetFontTransparency(true);
    int32_t w = 0, h = 0;
    s->MeasureText("Key 1", w, h);
    ASSERT_GT(w, 20);
    ASSERT_GT(h, 15);
    s->DrawText(30, 20, "Key 1", false);
    int exact = 0, top = 80, left = 200;
    for (int y = 0; y < 80; ++y) {
        for (int x = 0; x < 200; ++x) {
            const int32_t p = s->GetPixel(x, y);
            if (p == Black) continue;
            EXPECT_EQ(p & 0xFFFF00, 0) << "not a shade of red at " << x << "," << y;
            EXPECT_TRUE(x >= 30 && x < 30 + w && y >= 20 && y < 20 + h) << "ink outside the text at " << x << "," << y;
            exact += p == Red;
            top = std::min(top, y);
            left = std::min(left, x);
        }
    }
    EXPECT_GT(exact, 10) << "glyph cores carry the exact fore colour";
    EXPECT_LE(left, 30 + 3) << "text starts at x";
    EXPECT_LE(top, 20 + h / 3) << "text starts at y";
}

TEST_F(TextTest, EdgesBlendBetweenBackgroundAndForeColour) {
    // White over blue: every pixel keeps full blue and equal red and green.
    SurfacePtr s = Make(120, 40, Blue);
    s->SetFont(Font("MS UI Gothic", 20.0f));
    s->SetForeColor(White);
    s->DrawText(4, 4, "Rank あ", false);
    int partial = 0;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 120; ++x) {
            const int32_t p = s->GetPixel(x, y);
            const int r = p & 0xFF, g = (p >> 8) & 0xFF, b = (p >> 16) & 0xFF;
            ASSERT_EQ(b, 255) << x << "," << y;
            ASSERT_EQ(r, g) << x << "," << y;
            partial += r > 0 && r < 255;
        }
    }
    EXPECT_GT(partial, 10) << "anti-aliased edges";
}

TEST_F(TextTest, OpaqueTextFillsItsBoxWithTheBackColour) {
    struct Case {
        const char* name;
        bool transparent;
        int32_t corner;  // the box's top-left pixel afterwards
    };
    const Case cases[] = {{"transparent", true, Grey}, {"opaque", false, Blue}};
    for (const Case& c : cases) {
        SurfacePtr s = Make(120, 50, Grey);
        s->SetFont(Font("MS UI Gothic", 12.0f));
        s->SetForeColor(White);
        s->SetFontBackColor(Blue);
        s->SetFontTransparency(c.transparent);
        int32_t w = 0, h = 0;
        s->MeasureText("_x_", w, h);
        s->DrawText(10, 10, "_x_", false);
        EXPECT_EQ(s->GetPixel(10, 10), c.corner) << c.name;
        EXPECT_EQ(s->GetPixel(10 + w - 1, 10), c.corner) << c.name;
        EXPECT_EQ(s->GetPixel(9, 10), Grey) << c.name << ": left of the box";
        EXPECT_EQ(s->GetPixel(10 + w, 10 + h), Grey) << c.name << ": past the box";
    }
}

TEST_F(TextTest, TextIsClippedAtEveryEdge) {
    struct Case {
        const char* name;
        int32_t x, y;
        bool visible;
    };
    const Case cases[] = {
        {"above left", -12, -10, true}, {"right edge", 50, 5, true},  {"bottom edge", 5, 30, true},
        {"far left", -1000, 5, false},  {"far below", 5, 10000, false}, {"extreme", INT32_MIN / 2, INT32_MAX / 2, false},
    };
    for (const Case& c : cases) {
        SurfacePtr s = Make(64, 40, White);
        s->SetFont(Font("MS UI Gothic", 20.0f));
        s->SetForeColor(Black);
        s->DrawText(c.x, c.y, "WWWWWWWW", false);
        int inked = 0;
        for (int y = 0; y < 40; ++y) {
            for (int x = 0; x < 64; ++x) inked += s->GetPixel(x, y) != White;
        }
        EXPECT_EQ(inked > 0, c.visible) << c.name;
    }
}

TEST_F(TextTest, EmptyTextDrawsNothingAndMeasuresNoWidth) {
    EXPECT_EQ(Inked(Render(Font("MS UI Gothic"), "")), 0);
    EXPECT_EQ(Width(Font("MS UI Gothic"), ""), 0);
}

TEST_F(TextTest, SizesBoldAndProportionalFaces) {
    // Sizes round to whole pixels: 9 and 9.2 points are both 12 pixels.
    EXPECT_EQ(Width(Font("MS UI Gothic", 9.0f), "Typing"), Width(Font("MS UI Gothic", 9.2f), "Typing"));
    EXPECT_LT(Width(Font("MS UI Gothic", 9.0f), "Typing"), Width(Font("MS UI Gothic", 12.0f), "Typing"));
    EXPECT_LT(Width(Font("MS UI Gothic", 12.0f), "Typing"), Width(Font("MS UI Gothic", 36.0f), "Typing"));
    // Sizes that are not sizes fall back to the default rather than failing.
    EXPECT_EQ(Width(Font("MS UI Gothic", 0.0f), "Typing"), Width(Font("MS UI Gothic", 9.0f), "Typing"));
    EXPECT_EQ(Width(Font("MS UI Gothic", -3.0f), "Typing"), Width(Font("MS UI Gothic", 9.0f), "Typing"));

    EXPECT_NE(Render(Font("MS UI Gothic", 20.0f, true), "Bold"), Render(Font("MS UI Gothic", 20.0f), "Bold"));

    // The proportional Windows faces keep proportional widths; the fixed one not.
    EXPECT_LT(Width(Font("ＭＳ Ｐゴシック"), "iiii"), Width(Font("ＭＳ Ｐゴシック"), "WWWW"));
    EXPECT_LT(Width(Font("MS UI Gothic"), "iiii"), Width(Font("MS UI Gothic"), "WWWW"));
    EXPECT_EQ(Width(Font("ＭＳ ゴシック"), "iiii"), Width(Font("ＭＳ ゴシック"), "WWWW"));
}

TEST_F(TextTest, AFaceWithoutKanaHandsJapaneseTextToAJapaneseFace) {
    // Only meaningful where a Latin-only face is installed under its own name.
    if (Width(Font("DejaVu Sans"), "iiii") == Width(Font("MS UI Gothic"), "iiii")) {
        GTEST_SKIP() << "DejaVu Sans is not installed";
    }
    // The text comes out exactly as the Japanese gothic face draws it.
    const auto borrowed = Render(Font("DejaVu Sans"), "あい");
    EXPECT_GT(Inked(borrowed), 20);
    EXPECT_EQ(borrowed, Render(Font("MS UI Gothic"), "あい"));
    EXPECT_EQ(Width(Font("DejaVu Sans"), "あい"), Width(Font("MS UI Gothic"), "あい"));
    // Latin text stays in the face asked for.
    EXPECT_NE(Render(Font("DejaVu Sans"), "Key"), Render(Font("MS UI Gothic"), "Key"));
}

TEST_F(TextTest, CachedTextsKeepTheirColourAndSurviveEviction) {
    SurfacePtr s = Make(300, 40, Black);
    s->SetFont(Font("MS UI Gothic", 20.0f));
    // The same text in two colours: the second draw must not reuse the first colour.
    const int32_t colors[] = {Red, Blue};
    for (int32_t color : colors) {
        s->FillRect(RECT{0, 0, 300, 40}, Black);
        s->SetForeColor(color);
        s->DrawText(0, 0, "Combo", false);
        std::set<int32_t> seen;
        for (int y = 0; y < 40; ++y) {
            for (int x = 0; x < 300; ++x) seen.insert(s->GetPixel(x, y));
        }
        EXPECT_TRUE(seen.count(color)) << std::hex << color;
        EXPECT_FALSE(seen.count(color == Red ? Blue : Red)) << std::hex << color;
    }
    // Far more distinct texts than the cache holds, then the first again.
    s->SetForeColor(White);
    const auto first = Render(Font("MS UI Gothic"), "問題 0");
    for (int i = 0; i < 1500; ++i) s->DrawText(0, 0, "問題 " + std::to_string(i), false);
    EXPECT_EQ(Render(Font("MS UI Gothic"), "問題 0"), first);
}

}  // namespace
}  // namespace dexlora
