// Whole games on the headless display, in virtual time: a one-second game
// with correct, wrong and finishing keys, the frame that shows a key, the last
// frame's "0", the title's texts, slow frames, and a long run of scene changes
// keeping the stack and the heap flat.
#include <gtest/gtest.h>

#include <malloc.h>

#include <algorithm>

#include "game_fixture.h"

namespace dexlora::test {
namespace {

// What a text looks like drawn alone on the game background.
std::vector<int32_t> Expected(const StdFont& font, int32_t colour, int32_t x, int32_t y, const std::string& text,
                              RECT& area) {
    SurfaceDesc desc{DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH, ScreenHeight, ScreenWidth, 0, DDSCAPS_OFFSCREENPLAIN};
    SurfacePtr surf = DDraw->CreateSurface(desc);
    surf->FillRect(ScreenRect, GameColour);
    surf->SetFontTransparency(true);
    surf->SetFont(font);
    surf->SetForeColor(colour);
    surf->DrawText(x, y, text, false);
    int32_t w = 0, h = 0;
    surf->MeasureText(text, w, h);
    area = RECT{x, y, std::min(x + w, ScreenWidth), std::min(y + h, ScreenHeight)};
    return Pixels(*surf, area);
}

TEST_F(GameTest, OneSecondGameCountsKeysAndEndsWithAZero) {
    bool started = false, typed = false, ended = false;
    std::vector<int32_t> lastGameFrame, expectedZero;
    RECT timeArea;
    onFrame = [&](const DirectDrawSurface7& frame, const FrameRecord& r) {
        if (r.State == 0 && !started) {
            started = true;
            Key(U's');
        }
        if (r.State == 1 && r.Question == 1 && !typed) {
            typed = true;
            // Romaji "AIU": right, wrong, right, right (finished), right, right.
            const std::u32string keys = U"axiuai";
            for (size_t i = 0; i < keys.size(); ++i) Key(keys[i], 20 + 40 * uint32_t(i));
        }
        if (r.State == 1) {
            if (expectedZero.empty()) expectedZero = Expected(TestTimeFont, Blue, TestTimeX, TestTimeY, "0", timeArea);
            lastGameFrame = Pixels(frame, timeArea);
        }
        if (r.State == 1 && r.TimeLeft == 0 && !ended) {
            ended = true;
            Key(U'z', 300);   // during the closing wait: ignored
            Key(U'q', 4000);  // the result is on the screen: back to the title
        }
        if (r.State == 0 && ended) Key(27);
    };
    EXPECT_EQ(Run(), 0);
    ASSERT_TRUE(ended);

    const std::vector<FrameRecord> game = FramesIn(1);
    ASSERT_FALSE(game.empty());
    // "1" on every frame but the last, which shows "0".
    std::vector<int32_t> timeLefts;
    for (const FrameRecord& r : game)
        if (r.Question != 0 && (timeLefts.empty() || timeLefts.back() != r.TimeLeft)) timeLefts.push_back(r.TimeLeft);
    EXPECT_EQ(timeLefts, (std::vector<int32_t>{1, 0}));
    EXPECT_EQ(game.back().TimeLeft, 0);
    EXPECT_EQ(std::count_if(game.begin(), game.end(), [](const FrameRecord& r) { return r.TimeLeft == 0; }), 1);
    EXPECT_EQ(lastGameFrame, expectedZero) << "the last frame of the game shows 0";

    // The counters the result scene reads; the run still going counts.
    EXPECT_EQ(ClearCount, 1);
    EXPECT_EQ(MissCount, 1) << "the key during the closing wait is not judged";
    EXPECT_EQ(MaxCombo, 4);
    EXPECT_FALSE(FramesIn(0).empty());
    EXPECT_EQ(frames.back().State, 0) << "back on the title after the result";
}

TEST_F(GameTest, AKeyBetweenTwoFlipsShowsInTheVeryNextFrame) {
    bool started = false;
    uint64_t keyAfterFrame = 0;
    struct Seen {
        uint64_t number;
        int32_t typed;
        int red, greenInTyped, greenInRest, redInRest;
    };
    std::vector<Seen> seen;
    RECT typedArea{}, restArea{};
    onFrame = [&](const DirectDrawSurface7& frame, const FrameRecord& r) {
        if (r.State == 0 && !started) {
            started = true;
            Key(U'd');
        }
        if (r.State != 1 || r.Question != 1) return;
        if (keyAfterFrame == 0 && r.TimeLeft == 29) {
            keyAfterFrame = r.Number;
            Key(U'a', 5);  // between this flip and the next
            SurfaceDesc desc{DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH, 8, 8, 0, DDSCAPS_OFFSCREENPLAIN};
            SurfacePtr scratch = DDraw->CreateSurface(desc);
            scratch->SetFont(TestQuestionFont);
            int32_t wA = 0, wAll = 0, h = 0;
            scratch->MeasureText("A", wA, h);
            scratch->MeasureText("AIU", wAll, h);
            typedArea = RECT{TestRomeX, TestRomeY, TestRomeX + wA, TestRomeY + h};
            restArea = RECT{TestRomeX + wA + 1, TestRomeY, TestRomeX + wAll, TestRomeY + h};
        }
        if (keyAfterFrame != 0 && r.Number <= keyAfterFrame + 3) {
            seen.push_back({r.Number, r.Typed, CountColour(frame, typedArea, Red), CountColour(frame, typedArea, Green),
                            CountColour(frame, restArea, Green), CountColour(frame, restArea, Red)});
        }
        if (keyAfterFrame != 0 && r.Number == keyAfterFrame + 3) Key(27);
        // Frame k+1 was composed before the key came; k+2 is the first
        // composed after it.
    };
    EXPECT_EQ(Run(), 0);
    ASSERT_EQ(seen.size(), 4u);
    for (const Seen& s : seen) {
        SCOPED_TRACE(s.number - keyAfterFrame);
        const bool shown = s.number >= keyAfterFrame + 2;
        EXPECT_EQ(s.typed, shown ? 1 : 0);
        EXPECT_EQ(s.red > 0, shown) << "the typed part in the third colour";
        EXPECT_EQ(s.greenInTyped > 0, !shown) << "drawn over the romaji";
        EXPECT_GT(s.greenInRest, 0) << "the rest in the second colour";
        EXPECT_EQ(s.redInRest, 0);
    }
}

TEST_F(GameTest, TenThousandSceneChangesKeepStackAndHeapFlat) {
    constexpr int kCycles = 5000;  // title -> key configuration -> title: two changes each
    int titles = 0;
    FrameRecord last;
    last.State = -1;
    uintptr_t lowest = UINTPTR_MAX, highest = 0;
    size_t heapAfterFirstGame = 0, heapMax = 0;
    onFrame = [&](const DirectDrawSurface7&, const FrameRecord& r) {
        // The frame's own address on the machine stack: a local's address
        // would not do, since AddressSanitizer may keep locals elsewhere.
        const auto here = reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
        // Each title opens with a 200 ms wait before its first frame.
        if (r.State == 0 && (last.State != 0 || r.Time - last.Time > 150)) {
            ++titles;
            lowest = std::min(lowest, here);
            highest = std::max(highest, here);
            const size_t heap = mallinfo2().uordblks;
            // The first game fills the font caches once.
            if (titles == 600) heapAfterFirstGame = heap;
            if (titles > 600) heapMax = std::max(heapMax, heap);
            if (titles % 500 == 0) {
                Key(U's');  // now and then a whole game
            } else if (titles <= kCycles) {
                Key(U'k');
                headless::Script({{GetTickCount() + 1, Kind::DblClick, 0, 570, 445}});  // "Exit Configure"
            } else {
                Key(27);
            }
        }
        if (r.State == 1 && r.TimeLeft == 0) Key(U'q', 4000);
        last = r;
    };
    frameLimit = 100000;
    frames.reserve(frameLimit);  // the record itself must not count as growth
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(titles, kCycles + 1);
    EXPECT_EQ(highest - lowest, 0u) << "every title runs at the same stack depth";
    EXPECT_LT(heapMax - std::min(heapMax, heapAfterFirstGame), size_t{256 * 1024}) << "the heap does not grow with the run";
}

TEST_F(GameTest, TheTitleDrawsItsFourTextsInOrderEveryFrame) {
    int titleFrames = 0;
    std::vector<std::vector<int32_t>> centres;  // of texts 1 and 2, text 3, and where text 4 would be
    onFrame = [&](const DirectDrawSurface7& frame, const FrameRecord& r) {
        if (r.State != 0) return;
        // The glyph's middle, 40 points high from y 100.
        centres.push_back({frame.GetPixel(126, 126), frame.GetPixel(326, 126), frame.GetPixel(426, 126)});
        if (++titleFrames == 3) Key(27);
    };
    EXPECT_EQ(Run(), 0);
    ASSERT_EQ(centres.size(), 3u);
    for (const auto& c : centres)
        EXPECT_EQ(c, (std::vector<int32_t>{Green, Blue, TitleColour})) << "text 2 over text 1; text 4 draws nothing";
}

TEST_F(GameTest, SlowFramesCountAtMostOneSecondEach) {
    // Frames stalled by 2500 ms: each lowers the time by one second only; the
    // rest carries, so the next short frame lowers it again.
    struct Case {
        const char* name;
        uint32_t stall;
        std::vector<int32_t> next;  // TimeLeft of the frames after the stalled one
    };
    const std::vector<Case> cases = {
        {"2500 ms", 2500, {28, 27, 27}},
        {"5000 ms", 5000, {28, 27, 26, 25, 24, 24}},
    };
    for (const Case& c : cases) {
        bool started = false;
        uint64_t stalledAfter = 0;
        std::vector<int32_t> next;
        onFrame = [&](const DirectDrawSurface7&, const FrameRecord& r) {
            if (r.State == 0 && !started) {
                started = true;
                Key(U'd');
            }
            if (r.State != 1 || r.Question == 0) return;
            if (stalledAfter == 0 && r.TimeLeft == 29) {
                stalledAfter = r.Number;
                headless::AdvanceClock(c.stall);
            } else if (stalledAfter != 0 && next.size() < c.next.size()) {
                next.push_back(r.TimeLeft);
                if (next.size() == c.next.size()) Key(27);
            }
        };
        EXPECT_EQ(Run(), 0) << c.name;
        EXPECT_EQ(next, c.next) << c.name;
        EndSession();
    }
}

}  // namespace
}  // namespace dexlora::test
