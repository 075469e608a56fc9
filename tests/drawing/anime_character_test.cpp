// The sprite class: waiting and moving tick by tick, frame sequences, the
// order of cells on a sheet, clipping at the screen edges, and the large
// character's slide.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <tuple>
#include <vector>

#include "drawing/anime_character.h"
#include "drawing_fixture.h"

namespace dexlora::test {

constexpr int32_t kBackground = 0x203040;
constexpr int32_t kNothing = -1;

class SpriteTest : public DrawingTest {
protected:
    // A sheet of width x height whose pixels tell their own place (Pattern tag 1).
    std::string Sheet(int32_t width, int32_t height) { return SaveBmp(MakeSurface(width, height, 1), "sheet.bmp"); }
    // Set up in the order the loaders use.
    void SetUpSprite(clsAnimeCharacter& sprite, const std::string& path, int32_t x, int32_t y, float dx,
                     int32_t changeTime, int32_t mode, int32_t wait, int32_t cols, int32_t rows, bool visibleAfterEnd,
                     int32_t max) {
        sprite.InitFromFile(DDraw, path);
        sprite.InitPosition(x, y, dx, 0.0f);
        sprite.InitAnimeData(changeTime, mode, wait, cols, rows, visibleAfterEnd, max);
        sprite.AutoSetRegionColor();
        sprite.InitFirstValue();
    }
    // Draws the sprite on a cleared back buffer and answers the cell (10 row +
    // column) whose pixel is seen two pixels inside its position.
    int32_t ShownCell(clsAnimeCharacter& sprite) {
        DDSurfBack->FillRect(RECT{0, 0, 640, 480}, kBackground);
        EXPECT_NO_THROW(sprite.PrintCharacter(DDSurfBack));
        const int32_t color = DDSurfBack->GetPixel(sprite.GetPosition().Left + 2, sprite.GetPosition().Top + 2);
        if (color >> 22 != 1) return kNothing;
        const int32_t w = std::max(1, sprite.GetWidth()), h = std::max(1, sprite.GetHeight());
        return (color & 0xFF) / w + 10 * ((color >> 8 & 0xFF) / h);
    }
};

TEST_F(SpriteTest, ASpriteHidesThroughItsWaitThenMakesMaxPlusOneMoves) {
    // Rows: wait 0 (the first tick only starts), wait 3, max 59, max -1, a step
    // of -0.5 floored to -1, ten single-precision steps of 0.1 reaching 1.
    const std::tuple<int32_t, int32_t, float, int32_t, int32_t> cases[] = {  // wait, max, dx, moves, final x
        {0, 5, 2.0f, 6, 12}, {3, 5, 2.0f, 6, 12}, {0, 59, 1.0f, 60, 60},
        {0, -1, 1.0f, 1, 1}, {0, 0, -0.5f, 1, -1}, {0, 9, 0.1f, 10, 1}};
    for (const auto& [wait, max, dx, moves, finalX] : cases) {
        SCOPED_TRACE(::testing::Message() << "wait " << wait << ", max " << max << ", dx " << dx);
        clsAnimeCharacter sprite;
        SetUpSprite(sprite, Sheet(20, 20), 0, 0, dx, 0, 0, wait, 1, 1, false, max);
        for (int run = 0; run < 2; ++run, sprite.InitFirstValue()) {  // which starts it all over
            for (int32_t tick = 1; tick <= wait + moves + 3; ++tick) {
                sprite.AddTC();
                ASSERT_EQ(sprite.MoveCount(), std::clamp(tick - 1 - wait, 0, moves)) << "tick " << tick;
                ASSERT_EQ(ShownCell(sprite) != kNothing, tick > wait && tick <= wait + moves) << "tick " << tick;
            }
            EXPECT_EQ(sprite.GetPosition().Left, finalX);
            EXPECT_TRUE(sprite.GetMoveEnd());
        }
    }
}

TEST_F(SpriteTest, FramesAndCellsFollowTheirPaceAndOrder) {
    // Cells shown (10 row + column) at the start and after each moving tick.
    const std::tuple<const char*, int32_t, int32_t, int32_t, int32_t, std::vector<int32_t>> cases[] = {
        // name, change time, mode, columns, rows, cells
        {"loop", 0, 0, 3, 1, {0, 1, 2, 0}},
        {"change time 3: 4th moving tick, then every 3rd", 3, 0, 3, 1, {0, 0, 0, 0, 1, 1, 1, 2, 2, 2, 0}},
        {"back and forth: end frames twice", 0, 1, 3, 1, {0, 1, 2, 2, 1, 0, 0, 1, 2, 2}},
        {"back and forth of one frame", 0, 1, 1, 1, {0, 0, 0}},
        {"mode 2 is refused: still looping", 0, 2, 3, 1, {0, 1, 2, 0, 1}},
        {"1 column of 3", 0, 0, 1, 3, {0, 10, 20, 0}},
        {"3 x 2: column and row remainders", 0, 0, 3, 2, {0, 11, 2, 10, 1, 12, 0}},
        {"2 x 2 shows only the diagonal", 0, 0, 2, 2, {0, 11, 0, 11}},
    };
    for (const auto& [name, changeTime, mode, cols, rows, cells] : cases) {
        SCOPED_TRACE(name);
        clsAnimeCharacter sprite;
        SetUpSprite(sprite, Sheet(30 * cols, 20 * rows), 100, 100, 0.0f, changeTime, mode, 0, cols, rows, true, 1000);
        for (size_t i = 0; i < cells.size(); ++i) {
            sprite.AddTC();  // the first starts
            EXPECT_EQ(ShownCell(sprite), cells[i]) << "after moving tick " << i;
            EXPECT_NE(DDSurfBack->GetPixel(100, 100), Pattern(0, 0, 1)) << "the top-left colour is transparent";
        }
    }
}

TEST_F(SpriteTest, SpritesAreClippedToTheScreen) {
    SaveBmp(MakeSurface(50, 40, 1), "cell.bmp");
    SaveBmp(MakeSurface(700, 40, 1), "wide.bmp");
    // Probes: a screen pixel and the cell pixel expected there (-1: the
    // background). No probes: wholly off the screen or no picture, so nothing is drawn.
    const std::tuple<const char*, int32_t, int32_t, std::vector<std::array<int32_t, 4>>> cases[] = {
        {"cell.bmp", -10, 100, {{0, 101, 10, 1}, {39, 101, 49, 1}, {40, 101, -1, -1}}},
        {"cell.bmp", 620, 100, {{619, 101, -1, -1}, {620, 101, 0, 1}, {639, 101, 19, 1}}},
        {"cell.bmp", 100, -5, {{101, 0, 1, 5}, {101, 34, 1, 39}, {101, 35, -1, -1}}},
        {"cell.bmp", 100, 470, {{101, 469, -1, -1}, {101, 470, 1, 0}, {101, 479, 1, 9}}},
        {"cell.bmp", -10, -5, {{0, 0, 10, 5}, {39, 34, 49, 39}}},
        {"wide.bmp", -10, 100, {{0, 101, 10, 1}, {639, 101, 649, 1}}},
        {"cell.bmp", -50, 100, {}}, {"cell.bmp", 640, 100, {}}, {"cell.bmp", 100, 480, {}},
        {"cell.bmp", 100, -40, {}}, {"cell.bmp", -1000, -1000, {}}, {"missing.bmp", 100, 100, {}},
    };
    for (const auto& [file, x, y, probes] : cases) {
        SCOPED_TRACE(::testing::Message() << file << " at " << x << "," << y);
        clsAnimeCharacter sprite;
        SetUpSprite(sprite, ScratchPath(file), x, y, 0.0f, 0, 0, 0, 1, 1, true, 10);
        sprite.AddTC();
        ShownCell(sprite);
        int32_t drawn = 0;
        for (int32_t i = 0; i < 640 * 480; ++i) drawn += DDSurfBack->GetPixel(i % 640, i / 640) != kBackground;
        EXPECT_EQ(drawn == 0, probes.empty()) << drawn << " pixels drawn";
        for (const auto& [screenX, screenY, cellX, cellY] : probes)
            EXPECT_EQ(DDSurfBack->GetPixel(screenX, screenY), cellX < 0 ? kBackground : Pattern(cellX, cellY, 1))
                << screenX << "," << screenY;
    }
}

TEST_F(SpriteTest, TheLargeCharacterSlidesInAndStopsAtTen) {
    // As the game places it: from just off the left edge, one twentieth of its
    // width a tick, along the bottom.
    clsAnimeCharacter sprite;
    SetUpSprite(sprite, Sheet(200, 150), -200, 480 - 150, 200 / 20.0f, 1, 0, 0, 1, 1, true, 20);
    ASSERT_EQ(std::pair(sprite.GetWidth(), sprite.GetHeight()), std::pair(200, 150));
    for (int i = 0; i < 100; ++i) sprite.AddTC();
    EXPECT_EQ(sprite.MoveCount(), 21);
    EXPECT_EQ(sprite.GetPosition().Left, 10);
    EXPECT_EQ(ShownCell(sprite), 0) << "visible after the end";
}

}  // namespace dexlora::test
