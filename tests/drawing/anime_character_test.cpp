// The sprite class: waiting and moving tick by tick, frame sequences, the
// order of cells on a sheet, clipping at the screen edges, and sprites whose
// picture or layout is unusable.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "drawing/anime_character.h"
#include "drawing/display.h"
#include "drawing/main_window.h"
#include "drawing_fixture.h"
#include "skin/shared.h"

namespace dexlora::test {
namespace {

constexpr int32_t kKey = 0xFF00FF;         // transparent colour, the sheets' top-left pixel
constexpr int32_t kBackground = 0x203040;

int32_t CellColor(int32_t c, int32_t r) { return 0x800000 | ((40 + 40 * r) << 8) | (40 + 40 * c); }

class SpriteTest : public DrawingTest {
protected:
    // A sheet of cols x rows cells of cellW x cellH, each of its own colour,
    // saved as a bitmap; answers the file's path.
    std::string MakeSheet(int32_t cols, int32_t rows, int32_t cellW, int32_t cellH, const std::string& name) {
        SurfacePtr sheet = MakeSurface(cols * cellW, rows * cellH);
        for (int32_t r = 0; r < rows; ++r)
            for (int32_t c = 0; c < cols; ++c)
                sheet->FillRect(RECT{c * cellW, r * cellH, (c + 1) * cellW, (r + 1) * cellH}, CellColor(c, r));
        sheet->SetPixel(0, 0, kKey);
        std::string path = ScratchPath(name);
        SaveBmp(*sheet, path);
        return path;
    }

    // Set up in the order the loaders use.
    void SetUpSprite(clsAnimeCharacter& sprite, const std::string& path, int32_t x, int32_t y, float dx, float dy,
                     int32_t changeTime, int32_t mode, int32_t wait, int32_t cols, int32_t rows, bool visibleAfterEnd,
                     int32_t max) {
        sprite.InitFromFile(DDraw, path);
        sprite.InitPosition(x, y, dx, dy);
        sprite.InitAnimeData(changeTime, mode, wait, cols, rows, visibleAfterEnd, max);
        sprite.AutoSetRegionColor();
        sprite.InitFirstValue();
    }

    // Draws the sprite on a cleared back buffer and answers the cell seen two
    // pixels inside its position, or (-1, -1) when nothing was drawn there.
    std::pair<int32_t, int32_t> ShownCell(clsAnimeCharacter& sprite) {
        DDSurfBack->FillRect(RECT{0, 0, 640, 480}, kBackground);
        sprite.PrintCharacter(DDSurfBack);
        RECT pos = sprite.GetPosition();
        int32_t color = DDSurfBack->GetPixel(pos.Left + 2, pos.Top + 2);
        for (int32_t r = 0; r < 8; ++r)
            for (int32_t c = 0; c < 8; ++c)
                if (color == CellColor(c, r)) return {c, r};
        return {-1, -1};
    }

    bool BackBufferUntouched() {
        for (int32_t y = 0; y < 480; ++y)
            for (int32_t x = 0; x < 640; ++x)
                if (DDSurfBack->GetPixel(x, y) != kBackground) return false;
        return true;
    }
};

TEST_F(SpriteTest, MotionWaitsThenMakesMaxPlusOneMoves) {
    struct Case {
        const char* name;
        int32_t wait, max;
        float dx;
        int32_t startTick;  // the tick that starts the sprite
        int32_t moves;
        int32_t finalX;
    };
    const Case cases[] = {
        {"wait 0: the first tick only starts", 0, 5, 2.0f, 1, 6, 12},
        {"wait 3", 3, 5, 2.0f, 4, 6, 12},
        {"max 59: 60 moves", 0, 59, 1.0f, 1, 60, 60},
        {"max 0: one move", 0, 0, 1.0f, 1, 1, 1},
        {"max -1: one move", 0, -1, 1.0f, 1, 1, 1},
        {"a step of -0.5 floors to -1", 0, 0, -0.5f, 1, 1, -1},
        {"ten steps of 0.1 in single precision reach 1", 0, 9, 0.1f, 1, 10, 1},
    };
    std::string path = MakeSheet(1, 1, 20, 20, "one.bmp");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        clsAnimeCharacter sprite;
        SetUpSprite(sprite, path, 0, 0, c.dx, 0.0f, 0, 0, c.wait, 1, 1, false, c.max);
        int32_t startTick = 0, moves = 0, x = 0;
        for (int32_t tick = 1; tick <= 200; ++tick) {
            sprite.AddTC();
            if (!startTick && sprite.Started()) {
                startTick = tick;
                EXPECT_EQ(sprite.GetPosition().Left, 0) << "no move on the starting tick";
            }
            if (sprite.MoveCount() != moves) {
                EXPECT_EQ(tick, startTick + 1 + moves) << "one move per tick after the start";
                moves = sprite.MoveCount();
            }
            x = sprite.GetPosition().Left;
        }
        EXPECT_EQ(startTick, c.startTick);
        EXPECT_EQ(moves, c.moves);
        EXPECT_EQ(x, c.finalX);
        EXPECT_TRUE(sprite.GetMoveEnd());
        EXPECT_EQ(ShownCell(sprite).first, -1) << "not visible after the end";
    }
}

TEST_F(SpriteTest, FramesStepAtTheirOwnPace) {
    struct Case {
        const char* name;
        int32_t changeTime, mode, frames;
        std::vector<int32_t> sequence;  // at the start, then after each moving tick
    };
    const Case cases[] = {
        {"loop, every tick", 0, 0, 3, {0, 1, 2, 0, 1, 2, 0}},
        {"change time 1: 2nd moving tick, then every tick", 1, 0, 3, {0, 0, 1, 2, 0, 1}},
        {"change time 3: 4th moving tick, then every 3rd", 3, 0, 3, {0, 0, 0, 0, 1, 1, 1, 2, 2, 2, 0}},
        {"back and forth: end frames twice", 0, 1, 3, {0, 1, 2, 2, 1, 0, 0, 1, 2, 2}},
        {"back and forth of one frame", 0, 1, 1, {0, 0, 0, 0}},
        {"mode 2 is refused: still looping", 0, 2, 3, {0, 1, 2, 0, 1, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        clsAnimeCharacter sprite;
        SetUpSprite(sprite, MakeSheet(c.frames, 1, 10, 10, "strip.bmp"), 0, 0, 1.0f, 0.0f, c.changeTime, c.mode, 0,
                    c.frames, 1, true, 1000);
        sprite.AddTC();  // starts
        std::vector<int32_t> seen{sprite.Frame()};
        while (seen.size() < c.sequence.size()) {
            sprite.AddTC();
            seen.push_back(sprite.Frame());
        }
        EXPECT_EQ(seen, c.sequence);
    }
}

TEST_F(SpriteTest, CellsAreWalkedByColumnAndRowRemainders) {
    using Cell = std::pair<int32_t, int32_t>;
    struct Case {
        const char* name;
        int32_t cols, rows;
        std::vector<Cell> cells;
    };
    const Case cases[] = {
        {"1 row of 4", 4, 1, {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {0, 0}}},
        {"1 column of 4", 1, 4, {{0, 0}, {0, 1}, {0, 2}, {0, 3}, {0, 0}}},
        {"3 x 2", 3, 2, {{0, 0}, {1, 1}, {2, 0}, {0, 1}, {1, 0}, {2, 1}, {0, 0}}},
        {"2 x 2 shows only the diagonal", 2, 2, {{0, 0}, {1, 1}, {0, 0}, {1, 1}, {0, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        clsAnimeCharacter sprite;
        SetUpSprite(sprite, MakeSheet(c.cols, c.rows, 30, 20, "sheet.bmp"), 100, 100, 0.0f, 0.0f, 0, 0, 0, c.cols,
                    c.rows, true, 1000);
        EXPECT_EQ(sprite.GetWidth(), 30);
        EXPECT_EQ(sprite.GetHeight(), 20);
        EXPECT_EQ(sprite.GetSurfWidth(), 30 * c.cols);
        EXPECT_EQ(sprite.GetSurfHeight(), 20 * c.rows);
        EXPECT_EQ(sprite.RegionColorValue(), kKey);
        sprite.AddTC();
        for (size_t i = 0; i < c.cells.size(); ++i) {
            EXPECT_EQ(ShownCell(sprite), c.cells[i]) << "frame " << i;
            if (i == 0) {
                EXPECT_EQ(DDSurfBack->GetPixel(100, 100), kBackground) << "the transparent colour is left out";
            }
            sprite.AddTC();
        }
    }
}

TEST_F(SpriteTest, SpritesAreClippedToTheScreen) {
    // A cell whose pixels tell their own position in it.
    SurfacePtr sheet = MakeSurface(50, 40);
    FillPattern(*sheet, 3);
    SaveBmp(*sheet, ScratchPath("cell.bmp"));
    SurfacePtr wide = MakeSurface(700, 40);
    FillPattern(*wide, 3);
    SaveBmp(*wide, ScratchPath("wide.bmp"));

    struct Probe {
        int32_t screenX, screenY;
        int32_t cellX, cellY;  // -1: the background
    };
    struct Case {
        const char* name;
        const char* file;
        int32_t x, y;
        std::vector<Probe> probes;
    };
    const Case cases[] = {
        {"x -10: the right 40 columns at 0", "cell.bmp", -10, 100, {{0, 101, 10, 1}, {39, 101, 49, 1}, {40, 101, -1, -1}}},
        {"x 620: the left 20 columns", "cell.bmp", 620, 100, {{619, 101, -1, -1}, {620, 101, 0, 1}, {639, 101, 19, 1}}},
        {"y -5", "cell.bmp", 100, -5, {{101, 0, 1, 5}, {101, 34, 1, 39}, {101, 35, -1, -1}}},
        {"y 470", "cell.bmp", 100, 470, {{101, 469, -1, -1}, {101, 470, 1, 0}, {101, 479, 1, 9}}},
        {"corner -10, -5", "cell.bmp", -10, -5, {{0, 0, 10, 5}, {39, 34, 49, 39}}},
        {"wider than the screen at x -10", "wide.bmp", -10, 100, {{0, 101, 10, 1}, {639, 101, 649, 1}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        clsAnimeCharacter sprite;
        SetUpSprite(sprite, ScratchPath(c.file), c.x, c.y, 0.0f, 0.0f, 0, 0, 0, 1, 1, true, 10);
        sprite.AddTC();
        DDSurfBack->FillRect(RECT{0, 0, 640, 480}, kBackground);
        ASSERT_NO_THROW(sprite.PrintCharacter(DDSurfBack));
        for (const Probe& p : c.probes) {
            int32_t expected = p.cellX < 0 ? kBackground : Pattern(p.cellX, p.cellY, 3);
            EXPECT_EQ(DDSurfBack->GetPixel(p.screenX, p.screenY), expected) << p.screenX << "," << p.screenY;
        }
    }
}

TEST_F(SpriteTest, ASpriteWhollyOffTheScreenIsLeftUndrawn) {
    std::string path = MakeSheet(1, 1, 50, 40, "cell.bmp");
    const std::pair<int32_t, int32_t> places[] = {{-60, 100}, {-50, 100}, {640, 100}, {700, 100},
                                                  {100, 480}, {100, -40}, {100, -100}, {-1000, -1000}};
    for (auto [x, y] : places) {
        SCOPED_TRACE(::testing::Message() << x << "," << y);
        clsAnimeCharacter sprite;
        SetUpSprite(sprite, path, x, y, 0.0f, 0.0f, 0, 0, 0, 1, 1, true, 10);
        sprite.AddTC();
        DDSurfBack->FillRect(RECT{0, 0, 640, 480}, kBackground);
        ASSERT_NO_THROW(sprite.PrintCharacter(DDSurfBack));
        EXPECT_TRUE(BackBufferUntouched());
    }
}

TEST_F(SpriteTest, InitFirstValueHidesTheSpriteUntilItsWaitIsOver) {
    clsAnimeCharacter sprite;
    SetUpSprite(sprite, MakeSheet(1, 1, 20, 20, "one.bmp"), 50, 60, 3.0f, 0.0f, 0, 0, 3, 1, 1, true, 100);
    for (int i = 0; i < 10; ++i) sprite.AddTC();
    EXPECT_NE(ShownCell(sprite).first, -1);
    EXPECT_EQ(sprite.GetPosition().Left, 50 + 3 * 6);

    sprite.InitFirstValue();
    EXPECT_EQ(sprite.GetPosition().Left, 50);
    EXPECT_EQ(sprite.GetPosition().Top, 60);
    for (int tick = 1; tick <= 3; ++tick) {
        sprite.AddTC();
        EXPECT_EQ(ShownCell(sprite).first, -1) << "tick " << tick;
    }
    sprite.AddTC();
    EXPECT_EQ(ShownCell(sprite), std::make_pair(0, 0));
    EXPECT_EQ(sprite.GetPosition().Left, 50);
}

TEST_F(SpriteTest, TheLargeCharacterSlidesInAndStopsAtTen) {
    clsAnimeCharacter sprite;
    sprite.InitFromFile(DDraw, MakeSheet(1, 1, 200, 150, "chara.bmp"));
    int32_t w = sprite.GetWidth(), h = sprite.GetHeight();
    ASSERT_EQ(w, 200);
    ASSERT_EQ(h, 150);
    sprite.InitPosition(-w, 480 - h, static_cast<float>(w) / 20, 0.0f);
    sprite.InitAnimeData(1, 0, 0, 1, 1, true, 20);
    sprite.AutoSetRegionColor();
    sprite.InitFirstValue();
    EXPECT_EQ(sprite.GetPosition().Left, -200);
    EXPECT_EQ(sprite.GetPosition().Top, 330);
    for (int i = 0; i < 100; ++i) sprite.AddTC();
    EXPECT_EQ(sprite.MoveCount(), 21);
    EXPECT_EQ(sprite.GetPosition().Left, 10);
    EXPECT_EQ(ShownCell(sprite), std::make_pair(0, 0)) << "visible after the end";

    // A new budget moves on from where it stopped.
    sprite.SetMoveCountCheck(1);
    for (int i = 0; i < 10; ++i) sprite.AddTC();
    EXPECT_EQ(sprite.GetPosition().Left, 30);
    sprite.SetPosition(7, 9);
    EXPECT_EQ(sprite.GetPosition().Left, 7);
    EXPECT_EQ(sprite.GetPosition().Top, 9);
}

TEST_F(SpriteTest, CellWidthFromTheFileRoundsHalvesToEven) {
    struct Case {
        int32_t sheetWidth, width;
    };
    const Case cases[] = {{10, 2}, {14, 4}, {12, 3}, {13, 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sheetWidth);
        clsAnimeCharacter sprite;
        sprite.InitFromFile(DDraw, MakeSheet(1, 1, 40, 10, "first.bmp"));
        EXPECT_EQ(sprite.GetWidth(), 40) << "one frame at first";
        sprite.InitAnimeData(0, 0, 0, 4, 1, true, 0);  // four frames
        sprite.InitFromFile(DDraw, MakeSheet(1, 1, c.sheetWidth, 10, "second.bmp"));
        EXPECT_EQ(sprite.GetWidth(), c.width);
    }
}

TEST_F(SpriteTest, UnusableSpritesRaiseOrDrawNothing) {
    std::string path = MakeSheet(2, 2, 10, 10, "sheet.bmp");
    for (auto [cols, rows] : {std::pair{0, 2}, {2, 0}}) {
        SCOPED_TRACE(::testing::Message() << cols << " x " << rows);
        clsAnimeCharacter sprite;
        sprite.InitFromFile(DDraw, path);
        sprite.InitPosition(10, 10, 1.0f, 0.0f);
        try {
            sprite.InitAnimeData(0, 0, 0, cols, rows, true, 10);
            ADD_FAILURE() << "no error";
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.Number, 11);
        }
        sprite.InitFirstValue();
        sprite.AddTC();
        sprite.AddTC();
        EXPECT_EQ(ShownCell(sprite).first, -1);
        EXPECT_TRUE(BackBufferUntouched());
    }

    // A picture that failed to load: reported once, then a sprite of 0 x 0
    // that moves but shows nothing.
    ErrLog.clear();
    ResetMainWindowUnloadRequest();
    clsAnimeCharacter missing;
    std::string missingPath = ScratchPath("missing.bmp");
    missing.InitFromFile(DDraw, missingPath);
    EXPECT_EQ(ErrLog, missingPath + "が読みこめなかった可能性があります\r\n");
    EXPECT_TRUE(MainWindowUnloadRequested());
    EXPECT_FALSE(missing.HasSheet());
    EXPECT_EQ(missing.GetWidth(), 0);
    EXPECT_EQ(missing.GetHeight(), 0);
    missing.InitPosition(10, 10, 1.0f, 0.0f);
    missing.InitAnimeData(0, 0, 0, 1, 1, true, 10);
    missing.AutoSetRegionColor();
    missing.InitFirstValue();
    missing.AddTC();
    missing.AddTC();
    EXPECT_EQ(missing.GetPosition().Left, 11);
    DDSurfBack->FillRect(RECT{0, 0, 640, 480}, kBackground);
    EXPECT_NO_THROW(missing.PrintCharacter(DDSurfBack));
    EXPECT_TRUE(BackBufferUntouched());
}

}  // namespace
}  // namespace dexlora::test
