// The headless display's virtual clock and scripted input, as the game's frame
// loops and busy waits see them through Flip, DoEvents and GetTickCount.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/surface.h"
#include "platform/window.h"

namespace dexlora {
namespace {

using Event = headless::ScriptedEvent;
using Kind = Event::Kind;

class HeadlessTest : public ::testing::Test {
protected:
    PlatformSession session{DisplayKind::Headless};
    DirectDrawPtr ddraw = DirectDrawCreate("");
    SurfacePtr primary;
    std::vector<std::string> log;

    void SetUp() override {
        DDSURFACEDESC2 desc{33, 0, 0, 1, 536};
        primary = ddraw->CreateSurface(desc);
        MainWindowEvents events;
        events.KeyPress = [this](char32_t& key) { Log("key " + std::to_string(uint32_t(key))); };
        events.MouseDown = [this](int16_t button, int16_t shift, float x, float y) {
            Log("down " + std::to_string(button) + " " + std::to_string(shift) + " " + std::to_string(int(x)) + "," +
                std::to_string(int(y)));
        };
        events.DblClick = [this] { Log("dblclick"); };
        SetMainWindowEvents(events);
    }

    void Log(const std::string& what) { log.push_back(std::to_string(GetTickCount()) + " " + what); }
    void Flip() { primary->Flip(nullptr, DDFLIP_WAIT); }

    // WaitTime as the game writes it: events run until ms have passed.
    void WaitTime(uint32_t ms) {
        const uint32_t start = GetTickCount();
        while (GetTickCount() - start < ms) DoEvents();
    }
};

TEST_F(HeadlessTest, ClockFollowsFlipsAndBusyWaits) {
    struct Case {
        const char* name;
        uint32_t start;
        int flips;
        uint32_t busyWaitMs;
        uint32_t elapsed;  // GetTickCount difference, modulo 2^32
    };
    const std::vector<Case> cases = {
        {"one refresh", 0, 1, 0, 16},
        {"three refreshes", 0, 3, 0, 50},
        {"60 refreshes are one second exactly", 0, 60, 0, 1000},
        {"600 refreshes are ten seconds exactly", 1234, 600, 0, 10000},
        {"busy wait", 0, 0, 200, 200},
        {"frames and a wait", 0, 6, 40, 140},
        {"wrap of the counter", 0xFFFFFFFFu - 5, 1, 0, 16},
        {"wrap inside a wait", 0xFFFFFFFFu - 100, 0, 600, 600},
    };
    for (const Case& c : cases) {
        headless::SetClock(c.start);
        const uint32_t before = GetTickCount();
        EXPECT_EQ(before, c.start) << c.name;
        for (int i = 0; i < c.flips; ++i) {
            Flip();
            DoEvents();  // a frame loop's event step: no extra time
        }
        WaitTime(c.busyWaitMs);
        EXPECT_EQ(GetTickCount() - before, c.elapsed) << c.name;
    }
}

TEST_F(HeadlessTest, OnlyADoEventsWithoutFlipIsABusyWait) {
    headless::SetClock(500);
    DoEvents();
    EXPECT_EQ(GetTickCount(), 501u);
    DoEvents();
    EXPECT_EQ(GetTickCount(), 502u);
    Flip();  // 502 + 16.667
    DoEvents();
    EXPECT_EQ(GetTickCount(), 518u);
    DoEvents();
    EXPECT_EQ(GetTickCount(), 519u);
    headless::AdvanceClock(81);
    EXPECT_EQ(GetTickCount(), 600u);
}

TEST_F(HeadlessTest, ScriptedEventsArriveAtTheirTimesInOrder) {
    headless::SetClock(1000);
    headless::Script({
        {1030, Kind::MouseDown, 0, 100, 200},
        {1010, Kind::Key, U'a'},
        {1010, Kind::Key, U'ぁ'},
        {1040, Kind::DblClick, 0, 5.4f, 6.6f},
        {1050, Kind::MouseDown, 0, -1, 10},       // left letterbox bar
        {1050, Kind::MouseDown, 0, 640, 10},      // right bar
        {1050, Kind::DblClick, 0, 10, 480},       // below the screen
        {1050, Kind::MouseDown, 0, 639, 479, 2, 1},
        {1060, Kind::Close},
    });
    EXPECT_EQ(headless::PendingEvents(), 9u);
    WaitTime(100);
    EXPECT_EQ(headless::PendingEvents(), 0u);
    const std::vector<std::string> expected = {
        "1010 key 97", "1010 key 12353", "1030 down 1 0 100,200", "1040 down 1 0 5,6", "1040 dblclick",
        "1050 down 2 1 639,479", "1060 key 27",
    };
    EXPECT_EQ(log, expected);
}

TEST_F(HeadlessTest, HandlersMayRunNestedEventLoops) {
    // A key that starts a scene runs that scene's loop inside the handler;
    // the rest of the script reaches it there, each event exactly once.
    MainWindowEvents events;
    int depth = 0;
    events.KeyPress = [&](char32_t& key) {
        log.push_back(std::to_string(depth) + " " + std::to_string(uint32_t(key)));
        if (key == U'S') {
            ++depth;
            for (int frame = 0; frame < 10; ++frame) {
                Flip();
                DoEvents();
            }
            --depth;
        }
    };
    SetMainWindowEvents(events);
    headless::SetClock(0);
    headless::Script({{0, Kind::Key, U'S'}, {0, Kind::Key, U'x'}, {50, Kind::Key, U'y'}, {500, Kind::Key, U'z'}});
    WaitTime(1000);
    EXPECT_EQ(log, (std::vector<std::string>{"0 83", "1 120", "1 121", "0 122"}));
}

TEST_F(HeadlessTest, ScriptAcrossTheWrapStaysInOrder) {
    headless::SetClock(0xFFFFFFFFu - 9);
    headless::Script({{5, Kind::Key, U'b'}, {0xFFFFFFFFu - 4, Kind::Key, U'a'}});
    WaitTime(30);
    EXPECT_EQ(log, (std::vector<std::string>{"4294967291 key 97", "5 key 98"}));
}

TEST(HeadlessSession, OneAtATimeAndCleanAfterwards) {
    {
        PlatformSession session(DisplayKind::Headless);
        EXPECT_EQ(CurrentDisplayKind(), DisplayKind::Headless);
        EXPECT_NE(MainWindowHandle(), 0);
        EXPECT_THROW(PlatformSession{DisplayKind::Headless}, std::logic_error);
        int keys = 0;
        MainWindowEvents events;
        events.KeyPress = [&](char32_t&) { ++keys; };
        SetMainWindowEvents(events);
        ShowMousePointer(false);
        EXPECT_FALSE(MousePointerShown());
        headless::Script({{0, Kind::Key, U'a'}});
        DoEvents();
        EXPECT_EQ(keys, 1);
    }
    EXPECT_EQ(MainWindowHandle(), 0);
    EXPECT_THROW(DirectDrawCreate(""), RuntimeError);
    PlatformSession next(DisplayKind::Headless);
    EXPECT_TRUE(MousePointerShown());
    EXPECT_EQ(GetTickCount(), 0u);
    EXPECT_EQ(headless::FrameCount(), 0u);
    headless::Script({{0, Kind::Key, U'a'}});
    DoEvents();  // the previous session's handler is gone: nothing runs
}

}  // namespace
}  // namespace dexlora
