// The box wipes step by step, and the runner on the headless clock: its
// pacing, catching up after a stall, the choice of effect and a disabled wipe.
#include <gtest/gtest.h>

#include <vector>

#include "drawing/display.h"
#include "drawing/wipes.h"
#include "drawing_fixture.h"

namespace dexlora::test {
namespace {

constexpr int32_t kOld = 1;  // tags of the two pictures
constexpr int32_t kNew = 2;

struct Box {
    int32_t width = 0, height = 0;
    int32_t tag = -1;  // the picture inside the box
    // Width of the new picture while it grows out of the centre.
    int32_t GrownWidth() const { return tag == kNew ? width : 0; }
};

// The centred box of one picture over the other, read along the centre row
// and column: the box tag is the one found at the centre.
Box MeasureBox(const DirectDrawSurface7& frame) {
    Box box;
    int32_t centre = frame.GetPixel(320, 240);
    box.tag = HasTag(centre, kOld) ? kOld : kNew;
    for (int32_t x = 0; x < 640; ++x) box.width += HasTag(frame.GetPixel(x, 240), box.tag);
    for (int32_t y = 0; y < 480; ++y) box.height += HasTag(frame.GetPixel(320, y), box.tag);
    return box;
}

// Every pixel is the right picture's own pixel at that place: inside the
// centred box of width x height boxTag, elsewhere the other picture.
void ExpectFrame(const DirectDrawSurface7& frame, int32_t width, int32_t height, int32_t boxTag) {
    const int32_t outerTag = boxTag == kOld ? kNew : kOld;
    const int32_t left = 320 - width / 2, top = 240 - height / 2;
    int32_t wrong = 0;
    for (int32_t y = 0; y < 480; ++y)
        for (int32_t x = 0; x < 640; ++x) {
            bool inside = x >= left && x < left + width && y >= top && y < top + height;
            if (frame.GetPixel(x, y) != Pattern(x, y, inside ? boxTag : outerTag) && wrong++ < 3)
                ADD_FAILURE() << "pixel " << x << "," << y;
        }
    EXPECT_EQ(wrong, 0);
}

class WipeTest : public DrawingTest {
protected:
    void SetUp() override {
        DrawingTest::SetUp();
        oldPicture_ = MakeSurface(640, 480);
        newPicture_ = MakeSurface(640, 480);
        FillPattern(*oldPicture_, kOld);
        FillPattern(*newPicture_, kNew);
    }

    // Runs a wipe, reading the box shown at every flip.
    std::vector<Box> RunWipe(const WipeSettings& settings, bool* result = nullptr) {
        std::vector<Box> shown;
        headless::OnFlip([&](const DirectDrawSurface7& frame, uint64_t) { shown.push_back(MeasureBox(frame)); });
        bool ok = ScreenWipe(settings, oldPicture_, newPicture_);
        headless::OnFlip({});
        if (result) *result = ok;
        return shown;
    }

    SurfacePtr oldPicture_, newPicture_;
};

TEST_F(WipeTest, EachStepShowsItsBox) {
    using Effect = bool (*)(const SurfacePtr&, const SurfacePtr&, const SurfacePtr&, int32_t, int32_t);
    struct Case {
        const char* name;
        Effect effect;
        int32_t step;
        int32_t width, height, boxTag;
    };
    const Case cases[] = {
        {"BoxIn 0: the old picture alone", WipeBoxIn, 0, 0, 0, kNew},
        {"BoxIn 1", WipeBoxIn, 1, 22, 16, kNew},
        {"BoxIn 15", WipeBoxIn, 15, 320, 240, kNew},
        {"BoxIn 28", WipeBoxIn, 28, 598, 448, kNew},
        {"BoxIn 29: the whole new picture", WipeBoxIn, 29, 640, 480, kNew},
        {"BoxIn 30: still the whole new picture", WipeBoxIn, 30, 640, 480, kNew},
        {"BoxOut 0: the old picture covers all", WipeBoxOut, 0, 640, 480, kOld},
        {"BoxOut 1", WipeBoxOut, 1, 618, 464, kOld},
        {"BoxOut 15", WipeBoxOut, 15, 320, 240, kOld},
        {"BoxOut 28", WipeBoxOut, 28, 42, 32, kOld},
        {"BoxOut 29: the whole new picture", WipeBoxOut, 29, 0, 0, kOld},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DDSurfBack->FillRect(RECT{0, 0, 640, 480}, 0);
        c.effect(DDSurfBack, oldPicture_, newPicture_, c.step, WipeStepCount);
        ExpectFrame(*DDSurfBack, c.width, c.height, c.boxTag);
    }
}

TEST_F(WipeTest, StepsPastTheCountDrawNothing) {
    for (auto effect : {WipeBoxIn, WipeBoxOut}) {
        DDSurfBack->FillRect(RECT{0, 0, 640, 480}, 0x010203);
        EXPECT_TRUE(effect(DDSurfBack, oldPicture_, newPicture_, 31, WipeStepCount));
        EXPECT_EQ(DDSurfBack->GetPixel(320, 240), 0x010203);
        EXPECT_FALSE(effect(DDSurfBack, nullptr, newPicture_, 5, WipeStepCount)) << "a missing picture";
    }
}

TEST_F(WipeTest, TheKindChoosesTheEffectExactly) {
    struct Case {
        const char* kind;
        Box second;  // step 1 of the chosen effect
    };
    const Case cases[] = {
        {"BoxIn", {22, 16, kNew}},
        {"boxin", {618, 464, kOld}},
        {"BOXIN", {618, 464, kOld}},
        {"BoxOut", {618, 464, kOld}},
        {"", {618, 464, kOld}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        bool ok = false;
        std::vector<Box> shown = RunWipe(WipeSettings{-1, c.kind}, &ok);
        EXPECT_TRUE(ok);
        ASSERT_GE(shown.size(), 30u);
        EXPECT_EQ(shown[1].width, c.second.width);
        EXPECT_EQ(shown[1].height, c.second.height);
        EXPECT_EQ(shown[1].tag, c.second.tag);
    }
}

TEST_F(WipeTest, AWholeWipeTakesAboutThirtyFlipsAndEndsOnTheNewPicture) {
    uint64_t before = headless::FrameCount();
    uint32_t start = GetTickCount();
    std::vector<Box> shown = RunWipe(WipeSettings{-1, "BoxIn"});
    EXPECT_GE(shown.size(), 30u);
    EXPECT_LE(shown.size(), 31u);
    EXPECT_EQ(headless::FrameCount() - before, shown.size());
    uint32_t spent = GetTickCount() - start;
    EXPECT_GE(spent, 480u);  // about half a second of display time
    EXPECT_LE(spent, 560u);
    for (size_t i = 1; i < shown.size(); ++i)
        EXPECT_GE(shown[i].GrownWidth(), shown[i - 1].GrownWidth()) << "flip " << i;
    ExpectFrame(*DDSurfBack, 640, 480, kNew);
}

TEST_F(WipeTest, AStallMakesTheNextPassCatchUp) {
    struct Case {
        uint32_t stallMs;
        uint64_t flipsInNextPass;
        uint64_t totalFlips;
    };
    // After a long stall the pass stops at the step past the last instead of
    // flipping on for as long as the stall lasted.
    const Case cases[] = {{150, 10, 0}, {10000, 31, 31}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stallMs);
        DoEvents();
        uint32_t t0 = GetTickCount();
        // The first event stalls; every later one records how many frames
        // were flipped by the time window events ran.
        std::vector<headless::ScriptedEvent> events;
        for (uint32_t t = 0; t <= c.stallMs + 1000; ++t) events.push_back({t0 + t, headless::ScriptedEvent::Kind::Key, U'a'});
        headless::Script(events);
        bool stalled = false;
        std::vector<uint64_t> framesAtEvents;
        MainWindowEvents handlers;
        handlers.KeyPress = [&](char32_t&) {
            if (!stalled) {
                stalled = true;
                headless::AdvanceClock(c.stallMs);
            }
            framesAtEvents.push_back(headless::FrameCount());
        };
        SetMainWindowEvents(handlers);

        uint64_t before = headless::FrameCount();
        std::vector<Box> shown = RunWipe(WipeSettings{-1, "BoxIn"});
        SetMainWindowEvents({});
        headless::AdvanceClock(c.stallMs + 2000);
        DoEvents();

        uint64_t firstPass = 0;
        for (uint64_t frames : framesAtEvents)
            if (frames > before) {
                firstPass = frames - before;
                break;
            }
        EXPECT_EQ(firstPass, c.flipsInNextPass);
        ASSERT_GT(firstPass, 0u);
        ASSERT_GE(shown.size(), firstPass);
        EXPECT_EQ(shown[firstPass - 1].width, firstPass == 10 ? 192 : 640) << "the last step of the pass";
        if (c.totalFlips) {
            EXPECT_EQ(shown.size(), c.totalFlips);
        }
        ExpectFrame(*DDSurfBack, 640, 480, kNew);
    }
}

TEST_F(WipeTest, ADisabledWipeLeavesEverythingUntouched) {
    for (int16_t enabled : {int16_t{0}, int16_t{1}}) {
        SCOPED_TRACE(enabled);
        DDSurfBack->FillRect(RECT{0, 0, 640, 480}, 0x0A0B0C);
        uint64_t before = headless::FrameCount();
        uint32_t start = GetTickCount();
        EXPECT_TRUE(ScreenWipe(WipeSettings{enabled, "BoxIn"}, oldPicture_, newPicture_));
        EXPECT_EQ(headless::FrameCount(), before);
        EXPECT_EQ(GetTickCount(), start);
        EXPECT_EQ(DDSurfBack->GetPixel(0, 0), 0x0A0B0C);
        EXPECT_EQ(DDSurfBack->GetPixel(320, 240), 0x0A0B0C);
    }
}

TEST_F(WipeTest, AFailingFlipEndsTheWipeWithFalse) {
    DDSurfPrimary.reset();
    EXPECT_FALSE(ScreenWipe(WipeSettings{-1, "BoxIn"}, oldPicture_, newPicture_));
}

}  // namespace
}  // namespace dexlora::test
