// Surfaces on the headless display: BltFast plain and keyed, its failures,
// pixels, boxes, surface creation and the primary/back-buffer pair.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/surface.h"
#include "platform/window.h"

namespace dexlora {
namespace {

constexpr int32_t Red = 0x0000FF, Green = 0x00FF00, Blue = 0xFF0000, White = 0xFFFFFF, Black = 0;
constexpr int32_t Magenta = 0xFF00FF;

class SurfaceTest : public ::testing::Test {
protected:
    PlatformSession session{DisplayKind::Headless};
    DirectDrawPtr ddraw = DirectDrawCreate("");

    SurfacePtr Make(int32_t w, int32_t h) {
        DDSURFACEDESC2 desc;
        desc.lFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
        desc.lCaps = DDSCAPS_OFFSCREENPLAIN;
        desc.lWidth = w;
        desc.lHeight = h;
        return ddraw->CreateSurface(desc);
    }

    // A 4x4 sprite: magenta (the key) border around a 2x2 centre of red,
    // green, blue, white.
    SurfacePtr Sprite() {
        SurfacePtr s = Make(4, 4);
        s->FillRect(RECT{0, 0, 4, 4}, Magenta);
        s->SetPixel(1, 1, Red);
        s->SetPixel(2, 1, Green);
        s->SetPixel(1, 2, Blue);
        s->SetPixel(2, 2, White);
        s->SetColorKey(DDCKEY_SRCBLT, DDCOLORKEY{Magenta, Magenta});
        return s;
    }
};

TEST_F(SurfaceTest, BltFastCopiesPlainAndKeyed) {
    struct Case {
        const char* name;
        int32_t flags;
        RECT rect;
        int32_t x, y;
        std::vector<std::pair<std::pair<int, int>, int32_t>> expect;  // destination pixel -> colour
    };
    const std::vector<Case> cases = {
        {"plain copy keeps the key colour", DDBLTFAST_WAIT, {0, 0, 4, 4}, 10, 20,
         {{{10, 20}, Magenta}, {{11, 21}, Red}, {{12, 21}, Green}, {{11, 22}, Blue}, {{12, 22}, White},
          {{13, 23}, Magenta}, {{14, 24}, Black}, {{9, 20}, Black}}},
        {"keyed copy skips the key colour", DDBLTFAST_WAIT | DDBLTFAST_SRCCOLORKEY, {0, 0, 4, 4}, 10, 20,
         {{{10, 20}, Black}, {{11, 21}, Red}, {{12, 21}, Green}, {{11, 22}, Blue}, {{12, 22}, White},
          {{13, 23}, Black}}},
        {"part of the source", DDBLTFAST_WAIT, {2, 1, 3, 3}, 0, 0,
         {{{0, 0}, Green}, {{0, 1}, White}, {{1, 0}, Black}, {{0, 2}, Black}}},
        {"to the bottom-right corner", DDBLTFAST_WAIT | DDBLTFAST_SRCCOLORKEY, {1, 1, 3, 3}, 30, 30,
         {{{30, 30}, Red}, {{31, 31}, White}}},
    };
    for (const Case& c : cases) {
        SurfacePtr sprite = Sprite();
        SurfacePtr dst = Make(32, 32);
        dst->BltFast(c.x, c.y, *sprite, c.rect, c.flags);
        for (const auto& [at, colour] : c.expect) {
            EXPECT_EQ(dst->GetPixel(at.first, at.second), colour)
                << c.name << " at (" << at.first << ", " << at.second << ")";
        }
    }
}

TEST_F(SurfaceTest, KeyedCopyComparesRgbOnly) {
    // A key of near-magenta must not match magenta: the comparison is exact.
    SurfacePtr sprite = Sprite();
    sprite->SetColorKey(DDCKEY_SRCBLT, DDCOLORKEY{Magenta - 1, Magenta - 1});
    SurfacePtr dst = Make(4, 4);
    dst->BltFast(0, 0, *sprite, RECT{0, 0, 4, 4}, 17);
    EXPECT_EQ(dst->GetPixel(0, 0), Magenta);
    // Bits above the 24 RGB bits of a key are ignored.
    sprite->SetColorKey(DDCKEY_SRCBLT, DDCOLORKEY{Magenta | 0x7F000000, Magenta | 0x7F000000});
    SurfacePtr dst2 = Make(4, 4);
    dst2->BltFast(0, 0, *sprite, RECT{0, 0, 4, 4}, 17);
    EXPECT_EQ(dst2->GetPixel(0, 0), Black);
    EXPECT_EQ(dst2->GetPixel(1, 1), Red);
}

TEST_F(SurfaceTest, BltFastFailuresAndEmptyRectangles) {
    struct Case {
        const char* name;
        RECT rect;
        int32_t x, y;
        int32_t flags;
        bool fails;
    };
    // Source 4x4, destination 8x8.
    const std::vector<Case> cases = {
        {"whole source", {0, 0, 4, 4}, 4, 4, 16, false},
        {"right edge past the source", {0, 0, 5, 4}, 0, 0, 16, true},
        {"bottom edge past the source", {0, 0, 4, 5}, 0, 0, 17, true},
        {"negative left", {-1, 0, 4, 4}, 0, 0, 16, true},
        {"negative top", {0, -1, 4, 4}, 0, 0, 17, true},
        {"copy past the right of the destination", {0, 0, 4, 4}, 5, 0, 16, true},
        {"copy past the bottom of the destination", {0, 0, 4, 4}, 0, 5, 17, true},
        {"negative x", {0, 0, 4, 4}, -1, 0, 16, true},
        {"negative y", {0, 0, 4, 4}, 0, -1, 17, true},
        {"reversed rectangle", {3, 0, 1, 4}, 0, 0, 16, true},
        {"empty width copies nothing", {2, 0, 2, 4}, 0, 0, 16, false},
        {"empty height copies nothing", {0, 2, 4, 2}, 0, 0, 17, false},
        {"empty rectangle outside everything", {50, 50, 50, 60}, -20, 900, 17, false},
        {"unknown flag", {0, 0, 4, 4}, 0, 0, 16 | 2, true},
    };
    for (const Case& c : cases) {
        SurfacePtr sprite = Sprite();
        SurfacePtr dst = Make(8, 8);
        try {
            dst->BltFast(c.x, c.y, *sprite, c.rect, c.flags);
            EXPECT_FALSE(c.fails) << c.name << ": no error raised";
        } catch (const RuntimeError& e) {
            EXPECT_TRUE(c.fails) << c.name << ": unexpected error " << e.what();
            EXPECT_EQ(e.Number, ErrDirectX) << c.name;
        }
        if (c.fails || c.rect.Left == c.rect.Right || c.rect.Top == c.rect.Bottom) {
            // Nothing at all may have been written.
            for (int y = 0; y < 8; ++y)
                for (int x = 0; x < 8; ++x) ASSERT_EQ(dst->GetPixel(x, y), Black) << c.name << " wrote (" << x << ", " << y << ")";
        }
    }
}

TEST_F(SurfaceTest, BltFastWithinOneSurfaceOverlapping) {
    // Copies onto the same surface read the source as it was before the copy,
    // whichever way they overlap.
    struct Case {
        const char* name;
        RECT rect;
        int32_t x, y;
    };
    const std::vector<Case> cases = {
        {"right", {0, 0, 6, 8}, 2, 0}, {"left", {2, 0, 8, 8}, 0, 0},
        {"down", {0, 0, 8, 6}, 0, 2},  {"up", {0, 2, 8, 8}, 0, 0},
        {"down-right", {0, 0, 5, 5}, 3, 3}, {"up-left", {3, 3, 8, 8}, 0, 0},
    };
    for (const Case& c : cases) {
        for (int32_t flags : {16, 17}) {
            SurfacePtr s = Make(8, 8);
            SurfacePtr before = Make(8, 8);
            for (int y = 0; y < 8; ++y)
                for (int x = 0; x < 8; ++x) s->SetPixel(x, y, 1 + x + 16 * y);
            s->SetColorKey(DDCKEY_SRCBLT, DDCOLORKEY{White, White});
            before->BltFast(0, 0, *s, RECT{0, 0, 8, 8}, 16);
            s->BltFast(c.x, c.y, *s, c.rect, flags);
            for (int j = 0; j < c.rect.Bottom - c.rect.Top; ++j)
                for (int i = 0; i < c.rect.Right - c.rect.Left; ++i)
                    ASSERT_EQ(s->GetPixel(c.x + i, c.y + j), before->GetPixel(c.rect.Left + i, c.rect.Top + j))
                        << c.name << " flags " << flags << " at (" << i << ", " << j << ")";
        }
    }
}

TEST_F(SurfaceTest, PixelsAreExactAndOutsideIsMinusOne) {
    SurfacePtr s = Make(3, 2);
    const std::vector<int32_t> colours = {0x000001, 0x010000, 0x000100, 0x123456, 0xFEFDFC, White};
    for (size_t i = 0; i < colours.size(); ++i) s->SetPixel(int(i % 3), int(i / 3), colours[i]);
    for (size_t i = 0; i < colours.size(); ++i) EXPECT_EQ(s->GetPixel(int(i % 3), int(i / 3)), colours[i]) << "pixel " << i;
    for (auto [x, y] : std::vector<std::pair<int, int>>{{-1, 0}, {3, 0}, {0, 2}, {0, -1}}) {
        EXPECT_EQ(s->GetPixel(x, y), -1) << "(" << x << ", " << y << ")";
        s->SetPixel(x, y, Red);  // ignored, never a crash
    }
}

TEST_F(SurfaceTest, DrawBoxOutlinesRightAndBottomOutside) {
    struct Case {
        const char* name;
        int x1, y1, x2, y2;
        std::vector<std::pair<int, int>> drawn, untouched;
    };
    const std::vector<Case> cases = {
        {"box 2,3-7,9", 2, 3, 7, 9,
         {{2, 3}, {6, 3}, {2, 8}, {6, 8}, {4, 3}, {2, 5}, {6, 5}, {4, 8}},
         {{7, 3}, {2, 9}, {7, 9}, {3, 4}, {5, 7}, {4, 5}, {1, 3}, {2, 2}}},
        {"corners given reversed", 7, 9, 2, 3, {{2, 3}, {6, 8}}, {{7, 9}, {4, 5}}},
        {"clipped at the surface", -5, -5, 5, 5, {{4, 0}, {0, 4}, {4, 4}}, {{0, 0}, {3, 3}}},
        {"one pixel wide", 3, 3, 4, 6, {{3, 3}, {3, 4}, {3, 5}}, {{3, 6}, {4, 4}}},
        {"empty", 3, 3, 3, 6, {}, {{3, 3}, {3, 4}}},
        {"entirely outside", 20, 20, 30, 30, {}, {{9, 9}}},
    };
    for (const Case& c : cases) {
        SurfacePtr s = Make(10, 10);
        s->SetForeColor(Green);
        s->DrawBox(c.x1, c.y1, c.x2, c.y2);
        for (auto [x, y] : c.drawn) EXPECT_EQ(s->GetPixel(x, y), Green) << c.name << " (" << x << ", " << y << ")";
        for (auto [x, y] : c.untouched) EXPECT_EQ(s->GetPixel(x, y), Black) << c.name << " (" << x << ", " << y << ")";
    }
}

TEST_F(SurfaceTest, CreateSurfaceChecksItsDescription) {
    struct Case {
        const char* name;
        DDSURFACEDESC2 desc;
        bool fails;
    };
    const std::vector<Case> cases = {
        {"off-screen 320x240", {7, 240, 320, 0, 64}, false},
        {"zero width", {7, 240, 0, 0, 64}, true},
        {"negative height", {7, -1, 320, 0, 64}, true},
        {"huge", {7, 100000, 100000, 0, 64}, true},
        {"no size given", {1, 0, 0, 0, 64}, true},
        {"primary without back buffer count", {1, 0, 0, 0, 536}, true},
        {"primary with two back buffers", {33, 0, 0, 2, 536}, true},
    };
    for (Case c : cases) {
        try {
            SurfacePtr s = ddraw->CreateSurface(c.desc);
            EXPECT_FALSE(c.fails) << c.name;
            DDSURFACEDESC2 got;
            s->GetSurfaceDesc(got);
            EXPECT_EQ(got.lWidth, c.desc.lWidth) << c.name;
            EXPECT_EQ(got.lHeight, c.desc.lHeight) << c.name;
            EXPECT_EQ(got.lCaps, DDSCAPS_OFFSCREENPLAIN) << c.name;
        } catch (const RuntimeError& e) {
            EXPECT_TRUE(c.fails) << c.name << ": " << e.what();
            EXPECT_EQ(e.Number, ErrDirectX) << c.name;
        }
    }
}

TEST_F(SurfaceTest, DisplaySetUpAndFlipKeepsTheBackBuffer) {
    ddraw->SetCooperativeLevel(MainWindowHandle(), 83);
    for (int32_t bpp : {32, 24, 16}) EXPECT_NO_THROW(ddraw->SetDisplayMode(640, 480, bpp, 0, 0)) << bpp;
    EXPECT_THROW(ddraw->SetDisplayMode(640, 480, 8, 0, 0), RuntimeError);

    DDSURFACEDESC2 desc{33, 0, 0, 1, 536};
    SurfacePtr primary = ddraw->CreateSurface(desc);
    SurfacePtr back = primary->GetAttachedSurface(DDSCAPS_BACKBUFFER);
    ASSERT_TRUE(back);
    EXPECT_EQ(back, primary->GetAttachedSurface(DDSCAPS_BACKBUFFER));
    DDSURFACEDESC2 backDesc;
    back->GetSurfaceDesc(backDesc);
    EXPECT_EQ(backDesc.lWidth, 640);
    EXPECT_EQ(backDesc.lHeight, 480);
    EXPECT_THROW(back->GetAttachedSurface(DDSCAPS_BACKBUFFER), RuntimeError);
    EXPECT_THROW(back->Flip(nullptr, DDFLIP_WAIT), RuntimeError);

    std::vector<int32_t> seen;
    headless::OnFlip([&](const DirectDrawSurface7& frame, uint64_t n) {
        EXPECT_EQ(&frame, back.get());
        seen.push_back(frame.GetPixel(639, 479) + int32_t(n) * 0x1000000);
    });
    back->SetPixel(639, 479, Blue);
    primary->Flip(nullptr, DDFLIP_WAIT);
    EXPECT_EQ(back->GetPixel(639, 479), Blue) << "the back buffer keeps the frame after Flip";
    EXPECT_EQ(primary->GetPixel(639, 479), Blue) << "the front shows the frame";
    back->SetPixel(639, 479, Red);
    primary->Flip(back.get(), DDFLIP_WAIT);
    EXPECT_EQ(seen, (std::vector<int32_t>{Blue + 0x1000000, Red + 0x2000000}));
    EXPECT_EQ(headless::FrameCount(), 2u);

    ddraw->RestoreDisplayMode();
    ddraw->SetCooperativeLevel(MainWindowHandle(), 8);
    EXPECT_THROW(ddraw->SetCooperativeLevel(MainWindowHandle() + 1, 83), RuntimeError);
}

TEST_F(SurfaceTest, SavesPng) {
    SurfacePtr s = Sprite();
    const std::string path = ::testing::TempDir() + "dexlora_sprite.png";
    EXPECT_TRUE(s->SavePng(path));
    EXPECT_FALSE(s->SavePng("/nonexistent-folder/x.png"));
}

}  // namespace
}  // namespace dexlora
