// The box wipes step by step, and the runner on the headless clock: its
// pacing, catching up after a stall, the choice of effect and a disabled wipe.
#include <gtest/gtest.h>

#include <cstdlib>
#include <tuple>
#include <vector>

#include "drawing/wipes.h"
#include "drawing_fixture.h"

namespace dexlora::test {

constexpr int32_t kOld = 1, kNew = 2;  // tags of the two pictures

class WipeTest : public DrawingTest {
protected:
    // Counts the back buffer's pixels that are not the right picture's own
    // pixel at their place: boxTag's inside the centred box, the other's outside.
    int32_t WrongPixels(int32_t width, int32_t height, int32_t boxTag) {
        int32_t wrong = 0;
        for (int32_t y = 0; y < 480; ++y)
            for (int32_t x = 0; x < 640; ++x) {
                bool inside = std::abs(2 * x + 1 - 640) < width && std::abs(2 * y + 1 - 480) < height;
                wrong += DDSurfBack->GetPixel(x, y) != Pattern(x, y, inside ? boxTag : kOld + kNew - boxTag);
            }
        return wrong;
    }
    // Runs a wipe, answering for every flip the width of the centred box: the
    // pixels of the centre row from the picture at the centre, counted positive
    // for the new picture and negative for the old.
    std::vector<int32_t> RunWipe(int16_t enabled, const char* kind) {
        std::vector<int32_t> shown;
        headless::OnFlip([&](const DirectDrawSurface7& frame, uint64_t) {
            int32_t width = 0, centre = frame.GetPixel(320, 240);
            for (int32_t x = 0; x < 640; ++x) width += (frame.GetPixel(x, 240) ^ centre) >> 22 == 0;
            shown.push_back(centre >> 22 == kNew ? width : -width);
        });
        EXPECT_TRUE(ScreenWipe(WipeSettings{enabled, kind}, old_, new_));
        headless::OnFlip({});
        return shown;
    }
    SurfacePtr old_ = MakeSurface(640, 480, kOld), new_ = MakeSurface(640, 480, kNew);
};

TEST_F(WipeTest, EachStepShowsItsBox) {
    // Step 29 shows the whole new picture: a full box of it, or none of the old.
    const std::tuple<bool, int32_t, int32_t, int32_t> cases[] = {  // BoxIn, step, box width and height
        {true, 0, 0, 0},      {true, 1, 22, 16},    {true, 15, 320, 240}, {true, 29, 640, 480},
        {false, 0, 640, 480}, {false, 28, 42, 32},  {false, 29, 0, 0}};
    for (const auto& [boxIn, step, width, height] : cases) {
        DDSurfBack->FillRect(RECT{0, 0, 640, 480}, 0);
        (boxIn ? WipeBoxIn : WipeBoxOut)(DDSurfBack, old_, new_, step, WipeStepCount);
        EXPECT_EQ(WrongPixels(width, height, boxIn ? kNew : kOld), 0) << (boxIn ? "BoxIn " : "BoxOut ") << step;
    }
}

TEST_F(WipeTest, AWholeWipeTakesAboutThirtyFlipsUnlessDisabled) {
    // Only exactly -1 runs a wipe, and only exactly "BoxIn" grows the new picture.
    const std::tuple<int16_t, const char*, int32_t> cases[] = {  // enabled, kind, box at the second flip
        {-1, "BoxIn", 22}, {-1, "boxin", -618}, {-1, "", -618}, {0, "BoxIn", 0}, {1, "BoxIn", 0}};
    for (const auto& [enabled, kind, second] : cases) {
        SCOPED_TRACE(::testing::Message() << enabled << " " << kind);
        DDSurfBack->FillRect(RECT{0, 0, 640, 480}, 0x0A0B0C);
        const uint64_t before = headless::FrameCount();
        std::vector<int32_t> shown = RunWipe(enabled, kind);
        EXPECT_EQ(headless::FrameCount() - before, shown.size());
        EXPECT_TRUE(enabled == -1 ? shown.size() == 30 || shown.size() == 31 : shown.empty()) << shown.size();
        EXPECT_EQ(shown.size() > 1 ? shown[1] : 0, second);
        EXPECT_EQ(DDSurfBack->GetPixel(320, 240) == 0x0A0B0C, enabled != -1) << "a disabled wipe draws nothing";
        EXPECT_EQ(WrongPixels(640, 480, kNew) == 0, enabled == -1) << "a wipe ends on the whole new picture";
    }
    DDSurfPrimary.reset();
    EXPECT_FALSE(ScreenWipe(WipeSettings{-1, "BoxIn"}, old_, new_)) << "a failing flip ends it";
}

TEST_F(WipeTest, AStallMakesTheNextPassCatchUp) {
    // After a long stall the pass stops at the step past the last instead of
    // flipping on for as long as the stall lasted.
    for (auto [stallMs, flips, lastWidth] : {std::tuple{150u, 10u, 192}, {10000u, 31u, 640}}) {
        SCOPED_TRACE(stallMs);
        // The first pass lets a key stall; a second key, due only later, tells
        // how many frames the next pass flipped.
        const uint64_t before = headless::FrameCount();
        uint64_t pass = 0;
        headless::Script({{GetTickCount(), headless::ScriptedEvent::Kind::Key, U's'},
                          {GetTickCount() + stallMs + 5, headless::ScriptedEvent::Kind::Key, U'r'}});
        MainWindowEvents handlers;
        handlers.KeyPress = [&, stall = stallMs](char32_t& key) {
            if (key == U's') headless::AdvanceClock(stall);
            else pass = headless::FrameCount() - before;
        };
        SetMainWindowEvents(handlers);
        std::vector<int32_t> shown = RunWipe(-1, "BoxIn");
        ASSERT_EQ(pass, flips);
        EXPECT_EQ(shown[pass - 1], lastWidth);
        EXPECT_EQ(WrongPixels(640, 480, kNew), 0);
    }
}

}  // namespace dexlora::test
