// The drawing layer on the headless screen: picture loading by extension,
// the box wipes, sprites tick by tick and the sheets they share, and the
// scene-control helpers every scene shares.
#include <chrono>
#include <thread>

#include "drawing/anime_character.h"
#include "drawing/display_mode.h"
#include "drawing/wipes.h"
#include "tests/support/fixture.h"

namespace dexlora::test {
namespace {

// A colour that tells a pixel's own position (x, y below 1024) and its
// picture (tag 0-3), so that a copy from the wrong place or picture shows.
int32_t Pattern(int32_t x, int32_t y, int32_t tag) {
    return (x & 0xFF) | ((y & 0xFF) << 8) | (((tag << 6) | (x >> 8) | ((y >> 8) << 2)) << 16);
}

class DrawingTest : public DexloraTest {
protected:
    DrawingTest() { Screen(); }
    static SurfacePtr Patterned(int32_t width, int32_t height, int32_t tag) {
        SurfacePtr surf = Surface(width, height);
        for (int32_t i = 0; i < width * height; ++i) surf->SetPixel(i % width, i / width, Pattern(i % width, i / width, tag));
        return surf;
    }
    // Saves a patterned picture (tag 1) below the scratch folder; answers its path.
    std::string PatternedBmp(const std::string& name, int32_t width, int32_t height) const {
        return WriteBmp(*Patterned(width, height, 1), root.Write(name, "")) ? root.Path() + name : "";
    }
};

// (Windows paths and failures, reported and closing the main window, are the skin loader tests'.)
TEST(ImageKindTest, PicturesLoadByTheEndOfTheirPath) {
    // ".bmp" or ".jpg" in the last five characters, ".jpeg" in the last six, in any case.
    using K = ImageKind;
    for (auto [path, kind] : {std::pair{"caps.BMP", K::Bitmap}, {"stray.bmpx", K::Bitmap}, {"Title.bmpあ", K::Bitmap},
                              {"double.bmp.txt", K::Unreadable}, {"a.jpg", K::Jpeg}, {"写真.JpEgx", K::Jpeg}, {".bmp", K::Unreadable}})
        EXPECT_EQ(ImageKindOfPath(path), kind) << path;
}

class WipeTest : public DrawingTest {
protected:
    // Runs a wipe, answering for every flip the size of the centred box: the
    // pixels of the middle row and column that are the centre picture's own
    // at their place, negative for the old picture.
    std::vector<std::pair<int32_t, int32_t>> RunWipe(int16_t enabled, const char* kind) {
        std::vector<std::pair<int32_t, int32_t>> shown;
        headless::OnFlip([&](const DirectDrawSurface7& frame, uint64_t) {
            const int32_t tag = frame.GetPixel(320, 240) >> 22, sign = tag == 2 ? 1 : -1;
            int32_t width = 0, height = 0;
            for (int32_t x = 0; x < 640; ++x) width += frame.GetPixel(x, 240) == Pattern(x, 240, tag);
            for (int32_t y = 0; y < 480; ++y) height += frame.GetPixel(320, y) == Pattern(320, y, tag);
            shown.push_back({sign * width, sign * height});
        });
        EXPECT_TRUE(ScreenWipe(WipeSettings{enabled, kind}, old_, new_));
        headless::OnFlip({});
        return shown;
    }
    SurfacePtr old_ = Patterned(640, 480, 1), new_ = Patterned(640, 480, 2);  // tags 1 and 2
};

TEST_F(WipeTest, AWipeShowsEachStepOnceUnlessDisabled) {
    // Only exactly -1 runs a wipe, and only exactly "BoxIn" grows the new
    // picture; the others (as no name) shrink the old. Boxes at flips 1, 15, 28 and 29:
    // the last step shows the whole new picture.
    using Box = std::pair<int32_t, int32_t>;
    const std::tuple<int16_t, const char*, std::vector<Box>> rows[] = {
        {-1, "BoxIn", {{22, 16}, {320, 240}, {598, 448}, {640, 480}}},
        {-1, "boxin", {{-618, -464}, {-320, -240}, {-42, -32}, {640, 480}}}, {0, "BoxIn", {}}, {1, "BoxIn", {}}};
    for (const auto& [enabled, kind, boxes] : rows) {
        DDSurfBack->FillRect(ScreenRect, 0x0A0B0C);
        headless::SetClock(0);
        const std::vector<Box> shown = RunWipe(enabled, kind);
        std::vector<Box> at;
        for (size_t flip : {1, 15, 28, 29}) flip < shown.size() ? at.push_back(shown[flip]) : void();
        EXPECT_EQ(at, boxes) << enabled << " " << kind;
        EXPECT_EQ(shown.size(), enabled == -1 ? 31u : 0u) << "steps 0 to 29, and the last pass's step past them";
        EXPECT_EQ(Pixels(*DDSurfBack, ScreenRect) == Pixels(*new_, ScreenRect), enabled == -1) << "else nothing drawn";
    }
    DDSurfPrimary.reset();
    EXPECT_FALSE(ScreenWipe(WipeSettings{-1, "BoxIn"}, old_, new_)) << "a failing flip ends it";
}

class SpriteTest : public DrawingTest {
protected:
    // Set up in the order the loaders use, with the top-left colour left out.
    void Prepare(clsAnimeCharacter& sprite, const std::string& path, int32_t x, int32_t y, float dx, float dy,
               int32_t changeTime, int32_t mode, int32_t wait, int32_t cols, int32_t rows, bool visibleAfterEnd, int32_t max) {
        sprite.InitFromFile(DDraw, path), sprite.InitPosition(x, y, dx, dy);
        sprite.InitAnimeData(changeTime, mode, wait, cols, rows, visibleAfterEnd, max);
        sprite.AutoSetRegionColor(), sprite.InitFirstValue();
    }
    // Draws the sprite on a cleared back buffer; answers the cell (10 row +
    // column) seen two pixels inside its position.
    static int32_t ShownCell(clsAnimeCharacter& sprite) {
        DDSurfBack->FillRect(ScreenRect, Black);
        EXPECT_NO_THROW(sprite.PrintCharacter(DDSurfBack));
        const int32_t color = DDSurfBack->GetPixel(sprite.GetPosition().Left + 2, sprite.GetPosition().Top + 2);
        return color >> 22 != 1 ? -1
                                : (color & 0xFF) / std::max(1, sprite.GetWidth()) +
                                      10 * ((color >> 8 & 0xFF) / std::max(1, sprite.GetHeight()));
    }
};

TEST_F(SpriteTest, ASpriteHidesThroughItsWaitThenMakesMaxPlusOneMoves) {
    // wait, max, dx, dy, moves, final x and y: a step of -0.5 floors to -1;
    // ten single-precision steps of 0.1 reach 1.
    const std::tuple<int32_t, int32_t, float, float, int32_t, int32_t, int32_t> rows[] = {
        {0, 5, 2.0f, 1.0f, 6, 12, 6}, {3, 5, 2.0f, 0.0f, 6, 12, 0}, {0, 59, 1.0f, 0.5f, 60, 60, 30},
        {0, -1, 1.0f, 3.0f, 1, 1, 3}, {0, 0, -0.5f, 0.0f, 1, -1, 0}, {0, 9, 0.1f, 0.1f, 10, 1, 1}};
    for (const auto& [wait, max, dx, dy, moves, finalX, finalY] : rows) {
        SCOPED_TRACE(::testing::Message() << "wait " << wait << ", max " << max << ", dx " << dx << ", dy " << dy);
        clsAnimeCharacter sprite;
        Prepare(sprite, PatternedBmp("sheet.bmp", 20, 20), 0, 0, dx, dy, 0, 0, wait, 1, 1, false, max);
        for (int run = 0; run < 2; ++run, sprite.InitFirstValue()) {  // which starts it all over
            for (int32_t tick = 1; tick <= wait + moves + 3; ++tick) {
                sprite.AddTC();
                ASSERT_EQ(sprite.MoveCount(), std::clamp(tick - 1 - wait, 0, moves)) << "tick " << tick;
                ASSERT_EQ(ShownCell(sprite) != -1, tick > wait && tick <= wait + moves) << "tick " << tick;
            }
            EXPECT_EQ(std::pair(sprite.GetPosition().Left, sprite.GetPosition().Top), std::pair(finalX, finalY));
            EXPECT_TRUE(sprite.GetMoveEnd());
        }
    }
}

TEST_F(SpriteTest, FramesAndCellsFollowTheirPaceAndOrder) {
    // name, change time, mode, columns, rows, cells shown (10 row + column)
    // at the start and after each moving tick.
    const std::tuple<const char*, int32_t, int32_t, int32_t, int32_t, std::vector<int32_t>> table[] = {
        {"change time 3: 4th moving tick, then every 3rd", 3, 0, 3, 1, {0, 0, 0, 0, 1, 1, 1, 2, 2, 2, 0}},
        {"back and forth: end frames twice", 0, 1, 3, 1, {0, 1, 2, 2, 1, 0, 0, 1, 2, 2}},
        {"mode 2 is refused: still looping", 0, 2, 3, 1, {0, 1, 2, 0, 1}},
        {"3 x 2: column and row remainders", 0, 0, 3, 2, {0, 11, 2, 10, 1, 12, 0}},
    };
    for (const auto& [name, changeTime, mode, cols, rows, cells] : table) {
        clsAnimeCharacter sprite;
        Prepare(sprite, PatternedBmp("sheet.bmp", 30 * cols, 20 * rows), 100, 100, 0, 0, changeTime, mode, 0, cols, rows,
              true, 1000);
        for (size_t i = 0; i < cells.size(); ++i) {
            sprite.AddTC();  // the first starts
            EXPECT_EQ(ShownCell(sprite), cells[i]) << name << ", after moving tick " << i;
            EXPECT_NE(DDSurfBack->GetPixel(100, 100), Pattern(0, 0, 1)) << name << ": the top-left colour is left out";
        }
    }
}

TEST_F(SpriteTest, SpritesAreClippedToTheScreen) {
    PatternedBmp("cell.bmp", 50, 40);
    PatternedBmp("wide.bmp", 700, 40);
    // Probes: a screen pixel and the cell pixel expected there (-1: the
    // background). None: wholly off the screen or no picture, nothing drawn.
    const std::tuple<const char*, int32_t, int32_t, std::vector<std::array<int32_t, 4>>> rows[] = {
        {"cell.bmp", -10, -5, {{0, 0, 10, 5}, {39, 34, 49, 39}, {40, 34, -1, -1}, {39, 35, -1, -1}}},
        {"cell.bmp", 620, 470, {{619, 471, -1, -1}, {621, 471, 1, 1}, {639, 479, 19, 9}, {620, 469, -1, -1}}},
        {"wide.bmp", -10, 100, {{0, 101, 10, 1}, {639, 101, 649, 1}}},
        {"cell.bmp", -50, 100, {}}, {"cell.bmp", 100, 480, {}}, {"missing.bmp", 100, 100, {}},
    };
    for (const auto& [file, x, y, probes] : rows) {
        SCOPED_TRACE(::testing::Message() << file << " at " << x << "," << y);
        clsAnimeCharacter sprite;
        Prepare(sprite, root.Path() + file, x, y, 0, 0, 0, 0, 0, 1, 1, true, 10);
        sprite.AddTC();
        ShownCell(sprite);
        EXPECT_EQ(CountColour(*DDSurfBack, ScreenRect, Black) == 640 * 480, probes.empty());
        for (const auto& [screenX, screenY, cellX, cellY] : probes)
            EXPECT_EQ(DDSurfBack->GetPixel(screenX, screenY), cellX < 0 ? Black : Pattern(cellX, cellY, 1))
                << screenX << "," << screenY;
    }
}

TEST_F(SpriteTest, SpritesNamingOneUnchangedFileShareItsSheet) {
    const std::string a = PatternedBmp("a.bmp", 20, 20), b = PatternedBmp("b.bmp", 30, 20);
    std::this_thread::sleep_for(std::chrono::milliseconds(150));  // past the step of the files' change stamps
    // Each row loads a sprite (after rewriting its file at another width, or with the earlier sprites
    // released): the earlier row whose sheet it shares (-1: none), and its sheet's width.
    const struct { const char* name; const std::string& file; bool rewrite, release; int shares, width; } rows[] = {
        {"the first", a, false, false, -1, 20},
        {"the same file", a, false, false, 0, 20},
        {"another file", b, false, false, -1, 30},
        {"rewritten a moment ago: read again", a, true, false, -1, 40},
        {"again, still that recent: read again", a, false, false, -1, 40},
        {"once every sprite of it is gone", b, false, true, -1, 30},
    };
    std::vector<clsAnimeCharacter> sprites;
    sprites.reserve(std::size(rows));
    for (const auto& row : rows) {
        if (row.rewrite) PatternedBmp("a.bmp", 40, 20);
        if (row.release) std::for_each(sprites.begin(), sprites.end(), [](auto& s) { s = clsAnimeCharacter{}; });
        const DirectDrawSurface7* before = row.shares >= 0 ? sprites[size_t(row.shares)].Sheet() : nullptr;
        sprites.emplace_back().InitFromFile(DDraw, row.file);
        const clsAnimeCharacter& sprite = sprites.back();
        EXPECT_EQ(sprite.GetSurfWidth(), row.width) << row.name;
        for (size_t i = 0; i + 1 < sprites.size(); ++i)
            EXPECT_EQ(sprites[i].Sheet() == sprite.Sheet(), int(i) == row.shares && before) << row.name << ", row " << i;
    }
}

TEST(SceneControlTest, TheAnimationClockAndSceneRequests) {
    // Counter values of successive frames, the ticks of each and the milliseconds carried.
    for (const auto& [start, times, ticks, carried] :
         {std::tuple{1000u, std::vector<uint32_t>{1047}, std::vector<uint32_t>{3}, 2u},
          {0u, {10, 20, 30}, {0, 1, 1}, 0u}, {0xFFFFFFFFu, {0, 14}, {0, 1}, 0u}, {0xFFFFFFF0u, {30}, {3}, 1u}}) {
        AnimationClock clock(start);
        std::vector<uint32_t> got;
        for (uint32_t now : times) got.push_back(clock.Advance(now));
        EXPECT_EQ(std::pair(got, clock.Carried()), std::pair(ticks, carried)) << start;
    }
    // A request never softens one recorded before it.
    using N = NextScene;
    for (const auto& [requests, recorded] :
         {std::pair{std::vector<N>{}, N::None}, {{N::Title, N::Game}, N::Game}, {{N::Shutdown, N::Title}, N::Shutdown},
          {{N::Game, N::Shutdown}, N::Shutdown}, {{N::EndNow, N::Shutdown, N::Result}, N::EndNow},
          {{N::Shutdown, N::EndNow}, N::EndNow}, {{N::KeyConf, N::None}, N::KeyConf}}) {
        ResetSceneControl();
        for (N n : requests) RequestScene(n);
        EXPECT_EQ(std::pair(PendingScene(), EventsHeld()), std::pair(recorded, recorded != N::None)) << requests.size();
        EXPECT_EQ(TakeSceneRequest(), recorded);
        EXPECT_FALSE(SceneChangePending() || EventsHeld());
    }
}

}  // namespace
}  // namespace dexlora::test
