// The drawing layer on the headless screen: picture loading by extension,
// the display depths, the box wipes and their runner, sprites tick by tick,
// and the scene-control helpers every scene shares.
#include "drawing/anime_character.h"
#include "drawing/display_mode.h"
#include "drawing/wipes.h"
#include "tests/support/fixture.h"

namespace dexlora::test {
namespace {

class DrawingTest : public DexloraTest {
protected:
    DrawingTest() { Screen(); }
    // Saves a patterned picture (tag 1) below the scratch folder; answers its path.
    std::string PatternedBmp(const std::string& name, int32_t width, int32_t height) const {
        root.Write(name, "");
        EXPECT_TRUE(WriteBmp(*Patterned(width, height, 1), root.Path() + name));
        return root.Path() + name;
    }
};

TEST_F(DrawingTest, PicturesLoadByTheEndOfTheirPathAndFailuresAreReported) {
    // ".bmp" or ".jpg" in the last five characters, ".jpeg" in the last six, in any case.
    using K = ImageKind;
    for (auto [path, kind] : {std::pair{"a.bmp", K::Bitmap}, {"caps.BMP", K::Bitmap}, {"stray.bmpx", K::Bitmap},
                              {"Title.bmpあ", K::Bitmap}, {"double.bmp.txt", K::Unreadable}, {"a.jpg", K::Jpeg},
                              {"写真.JpEgx", K::Jpeg}, {"a.jpeg", K::Jpeg}, {"a.png", K::Unreadable}, {".bmp", K::Unreadable}})
        EXPECT_EQ(ImageKindOfPath(path), kind) << path;
    // A path written on Windows is found; a failure is reported, closes the
    // main window and leaves the surface as it stood.
    PatternedBmp("sub/pic.bmp", 32, 24);
    root.Write("noise.bmp", "not a picture");
    const std::string dir = root.Path().substr(0, root.Path().size() - 1);
    for (auto [path, width] : {std::pair{dir + "/sub/pic.bmp", 32}, {dir + "\\SUB\\Pic.bmp", 32},
                               {dir + "/noise.bmp", 0}, {dir + "/missing.jpg", 0}, {dir + "/sub/pic.png", 0}}) {
        ErrLog.clear();
        ResetSceneControl();
        SurfacePtr before = Surface(2, 2), surf = before;
        SurfaceDesc desc;
        LoadImageSurface(DDraw, path, desc, surf);
        EXPECT_EQ(std::pair(desc.lWidth, surf->Width()), width ? std::pair(32, 32) : std::pair(0, 2)) << path;
        EXPECT_EQ(ErrLog, width ? "" : path + "が読みこめなかった可能性があります\r\n");
        EXPECT_EQ(PendingScene() == NextScene::Shutdown, width == 0) << path;
    }
}

// A display device that refuses some depths, and perhaps the cooperative level.
struct FakeDevice {
    bool levelFails;
    std::vector<int32_t> refused;
    void SetCooperativeLevel(int64_t, int32_t) const { if (levelFails) throw RuntimeError(ErrDirectX, "level"); }
    void SetDisplayMode(int32_t, int32_t, int32_t bpp, int32_t, int32_t) const {
        if (std::count(refused.begin(), refused.end(), bpp)) throw RuntimeError(ErrDirectX, "mode");
    }
};

TEST(DisplayModeTest, DepthsAreTriedInOrderAndAFailedLevelSpoilsTheFirst) {
    for (const auto& [levelFails, refused, depth] : {std::tuple{false, std::vector<int32_t>{}, 32}, {false, {32, 24}, 16},
                                                     {true, {}, 24}, {true, {24}, 16}, {false, {32, 24, 16, 8}, 0}}) {
        FakeDevice device{levelFails, refused};
        EXPECT_EQ(TakeDisplayMode(device, 1, DisplayDepths), depth) << "level fails: " << levelFails;
    }
}

constexpr int32_t Old = 1, New = 2;  // tags of a wipe's two pictures

class WipeTest : public DrawingTest {
protected:
    // Runs a wipe, answering for every flip the size of the centred box: the
    // pixels of the middle row and column that are the centre picture's own
    // at their place, negative for the old picture.
    std::vector<std::pair<int32_t, int32_t>> RunWipe(int16_t enabled, const char* kind) {
        std::vector<std::pair<int32_t, int32_t>> shown;
        headless::OnFlip([&](const DirectDrawSurface7& frame, uint64_t) {
            const int32_t tag = frame.GetPixel(320, 240) >> 22, sign = tag == New ? 1 : -1;
            int32_t width = 0, height = 0;
            for (int32_t x = 0; x < 640; ++x) width += frame.GetPixel(x, 240) == Pattern(x, 240, tag);
            for (int32_t y = 0; y < 480; ++y) height += frame.GetPixel(320, y) == Pattern(320, y, tag);
            shown.push_back({sign * width, sign * height});
        });
        EXPECT_TRUE(ScreenWipe(WipeSettings{enabled, kind}, old_, new_));
        headless::OnFlip({});
        return shown;
    }
    SurfacePtr old_ = Patterned(640, 480, Old), new_ = Patterned(640, 480, New);
};

TEST_F(WipeTest, AWipeShowsEachStepOnceUnlessDisabled) {
    // Only exactly -1 runs a wipe, and only exactly "BoxIn" grows the new
    // picture; the others shrink the old. Boxes at flips 1, 15, 28 and 29:
    // the last step shows the whole new picture.
    using Box = std::pair<int32_t, int32_t>;
    const std::tuple<int16_t, const char*, std::vector<Box>> rows[] = {
        {-1, "BoxIn", {{22, 16}, {320, 240}, {598, 448}, {640, 480}}},
        {-1, "boxin", {{-618, -464}, {-320, -240}, {-42, -32}, {640, 480}}},
        {-1, "", {{-618, -464}, {-320, -240}, {-42, -32}, {640, 480}}}, {0, "BoxIn", {}}, {1, "BoxIn", {}}};
    for (const auto& [enabled, kind, boxes] : rows) {
        DDSurfBack->FillRect(ScreenRect, 0x0A0B0C);
        headless::SetClock(0);
        const std::vector<Box> shown = RunWipe(enabled, kind);
        std::vector<Box> at;
        for (size_t flip : {1, 15, 28, 29})
            if (flip < shown.size()) at.push_back(shown[flip]);
        EXPECT_EQ(at, boxes) << enabled << " " << kind;
        EXPECT_EQ(shown.size(), enabled == -1 ? 31u : 0u) << "steps 0 to 29, and the last pass's step past them";
        EXPECT_EQ(Pixels(*DDSurfBack, ScreenRect) == Pixels(*new_, ScreenRect), enabled == -1) << "else nothing drawn";
    }
    DDSurfPrimary.reset();
    EXPECT_FALSE(ScreenWipe(WipeSettings{-1, "BoxIn"}, old_, new_)) << "a failing flip ends it";
}

TEST_F(WipeTest, AStallMakesTheNextPassCatchUpAndTheLastStepEndsTheWipe) {
    // A stall in the first pass; the flips of the pass after it, and in all:
    // a pass that reaches the last step ends the wipe there, one with time
    // for more flips the step past the last too, and no more.
    for (auto [stall, flips, total] : {std::tuple{140u, 9u, 30u}, {150u, 10u, 31u}, {10000u, 31u, 31u}}) {
        // A second key, due after the stall, tells how many frames that pass flipped.
        headless::SetClock(0);
        const uint64_t before = headless::FrameCount();
        uint64_t pass = 0;
        headless::Script({{0, Kind::Key, U's'}, {stall + 5, Kind::Key, U'r'}});
        SetMainWindowEvents({.KeyPress = [&, stall](char32_t& key) {
            if (key == U's') headless::AdvanceClock(stall);
            else pass = headless::FrameCount() - before;
        }, .MouseDown = {}, .DblClick = {}});
        const size_t shown = RunWipe(-1, "BoxIn").size();
        EXPECT_EQ(std::pair(pass, shown), std::pair(uint64_t{flips}, size_t{total})) << stall;
    }
}

constexpr int32_t Nothing = -1;

class SpriteTest : public DrawingTest {
protected:
    // Set up in the order the loaders use, with the top-left colour left out.
    void Prepare(clsAnimeCharacter& sprite, const std::string& path, int32_t x, int32_t y, float dx, float dy,
               int32_t changeTime, int32_t mode, int32_t wait, int32_t cols, int32_t rows, bool visibleAfterEnd, int32_t max) {
        sprite.InitFromFile(DDraw, path);
        sprite.InitPosition(x, y, dx, dy);
        sprite.InitAnimeData(changeTime, mode, wait, cols, rows, visibleAfterEnd, max);
        sprite.AutoSetRegionColor();
        sprite.InitFirstValue();
    }
    // Draws the sprite on a cleared back buffer; answers the cell (10 row +
    // column) seen two pixels inside its position.
    static int32_t ShownCell(clsAnimeCharacter& sprite) {
        DDSurfBack->FillRect(ScreenRect, Black);
        EXPECT_NO_THROW(sprite.PrintCharacter(DDSurfBack));
        const int32_t color = DDSurfBack->GetPixel(sprite.GetPosition().Left + 2, sprite.GetPosition().Top + 2);
        if (color >> 22 != 1) return Nothing;
        return (color & 0xFF) / std::max(1, sprite.GetWidth()) + 10 * ((color >> 8 & 0xFF) / std::max(1, sprite.GetHeight()));
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
                ASSERT_EQ(ShownCell(sprite) != Nothing, tick > wait && tick <= wait + moves) << "tick " << tick;
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
        {"loop", 0, 0, 3, 1, {0, 1, 2, 0}},
        {"change time 3: 4th moving tick, then every 3rd", 3, 0, 3, 1, {0, 0, 0, 0, 1, 1, 1, 2, 2, 2, 0}},
        {"back and forth: end frames twice", 0, 1, 3, 1, {0, 1, 2, 2, 1, 0, 0, 1, 2, 2}},
        {"mode 2 is refused: still looping", 0, 2, 3, 1, {0, 1, 2, 0, 1}},
        {"1 column of 3", 0, 0, 1, 3, {0, 10, 20, 0}},
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
        {"cell.bmp", -50, 100, {}}, {"cell.bmp", 640, 100, {}}, {"cell.bmp", 100, 480, {}},
        {"cell.bmp", 100, -40, {}}, {"missing.bmp", 100, 100, {}},
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
