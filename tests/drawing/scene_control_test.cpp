// The next-scene record and the helpers every scene shares: the blinking
// colour, animation ticks across the counter's wrap, WaitTime and a wipe
// ending as soon as a handler records a change, with later input held back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "drawing/scene_control.h"
#include "drawing/wipes.h"
#include "drawing_fixture.h"

namespace dexlora::test {
namespace {

using Kind = headless::ScriptedEvent::Kind;

TEST(SceneControlTest, PulseColorSwingsBetweenItsBounds) {
    struct Case {
        int32_t color;
        bool direction;
        int32_t expected;
        bool expectedDirection;
    };
    auto rgb = [](int32_t r, int32_t g, int32_t b) { return r | g << 8 | b << 16; };
    const std::vector<Case> cases = {
        {rgb(250, 0, 0), false, rgb(255, 10, 10), true},
        {rgb(5, 100, 200), true, rgb(0, 90, 190), false},
        {rgb(0, 0, 0), false, rgb(10, 10, 10), false},
        {rgb(255, 255, 255), true, rgb(245, 245, 245), true},
        {rgb(100, 100, 100), true, rgb(90, 90, 90), true},
        {rgb(0, 0, 0), true, rgb(0, 0, 0), false},  // floored, turns
    };
    for (const Case& c : cases) {
        bool direction = c.direction;
        EXPECT_EQ(PulseColor(c.color, direction), c.expected) << std::hex << c.color << " " << c.direction;
        EXPECT_EQ(direction, c.expectedDirection) << std::hex << c.color << " " << c.direction;
    }
}

TEST(SceneControlTest, AnimationClockCarriesTheRemainderAcrossTheWrap) {
    struct Case {
        const char* name;
        uint32_t start;
        std::vector<uint32_t> frames;  // counter values of successive frames
        std::vector<uint32_t> ticks;
        uint32_t carried;
    };
    const std::vector<Case> cases = {
        {"47 ms: 3 ticks, 2 carried", 1000, {1047}, {3}, 2},
        {"remainders add up", 0, {10, 20, 30}, {0, 1, 1}, 0},
        {"counter wraps", 0xFFFFFFFFu, {0, 14}, {0, 1}, 0},
        {"wrap within a long frame", 0xFFFFFFF0u, {30}, {3}, 1},
    };
    for (const Case& c : cases) {
        AnimationClock clock(c.start);
        std::vector<uint32_t> ticks;
        for (uint32_t now : c.frames) ticks.push_back(clock.Advance(now));
        EXPECT_EQ(ticks, c.ticks) << c.name;
        EXPECT_EQ(clock.Carried(), c.carried) << c.name;
    }
}

TEST(SceneControlTest, EndingRequestsAreNeverSoftened) {
    struct Case {
        std::vector<NextScene> requests;
        NextScene recorded;
    };
    using N = NextScene;
    const std::vector<Case> cases = {
        {{}, N::None},
        {{N::Title, N::Game}, N::Game},
        {{N::Shutdown, N::Title}, N::Shutdown},
        {{N::Game, N::Shutdown}, N::Shutdown},
        {{N::EndNow, N::Shutdown, N::Result}, N::EndNow},
        {{N::Shutdown, N::EndNow}, N::EndNow},
        {{N::KeyConf, N::None}, N::KeyConf},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        ResetSceneControl();
        for (NextScene n : cases[i].requests) RequestScene(n);
        EXPECT_EQ(PendingScene(), cases[i].recorded) << "row " << i;
        EXPECT_EQ(EventsHeld(), cases[i].recorded != N::None) << "row " << i;
        EXPECT_EQ(TakeSceneRequest(), cases[i].recorded) << "row " << i;
        EXPECT_FALSE(SceneChangePending()) << "row " << i;
        EXPECT_FALSE(EventsHeld()) << "row " << i;
    }
}

class SceneWaitTest : public DrawingTest {
protected:
    std::vector<std::string> keys;
    void SetUp() override {
        DrawingTest::SetUp();
        ResetSceneControl();
        // "N" records the next scene, as a title key does.
        SetMainWindowEvents({.KeyPress =
                                 [this](char32_t& key) {
                                     keys.push_back(std::string(1, char(key)));
                                     if (key == U'N') RequestScene(NextScene::Game);
                                 },
                             .MouseDown = nullptr,
                             .DblClick = nullptr});
    }
};

TEST_F(SceneWaitTest, WaitsAndWipesEndOnARecordedChangeLeavingLaterInputQueued) {
    struct Case {
        const char* name;
        bool wipe;
        uint32_t keyAt;        // after the start
        uint32_t expectedEnd;  // after the start
    };
    const std::vector<Case> cases = {
        {"a wait runs its whole time", false, 1000, 600},
        {"a key ends the wait", false, 100, 100},
        {"a key ends the wipe after its pass", true, 100, 100},
    };
    WipeSettings wipe{-1, "BoxIn"};
    SurfacePtr oldPicture = MakeSurface(640, 480, 0), newPicture = MakeSurface(640, 480, 1);
    for (const Case& c : cases) {
        ResetSceneControl();
        keys.clear();
        headless::SetClock(5000);
        headless::Script({{5000 + c.keyAt, Kind::Key, U'N'},
                          {5000 + c.keyAt, Kind::Key, U'x'},
                          {5000 + c.keyAt, Kind::DblClick, 0, 10, 10}});
        const bool waited = c.wipe ? (ScreenWipe(wipe, oldPicture, newPicture), !SceneChangePending())
                                   : WaitTime(600);
        const uint32_t end = GetTickCount() - 5000;
        EXPECT_EQ(waited, c.keyAt > 600) << c.name;
        // A wipe's pass may end up to one refresh after the key.
        EXPECT_GE(end, c.expectedEnd) << c.name;
        EXPECT_LE(end, c.expectedEnd + (c.wipe ? 17 : 0)) << c.name;
        if (c.keyAt < 600) {
            EXPECT_EQ(keys, std::vector<std::string>{"N"}) << c.name;
            // The rest waits for the next scene, which gets it in order.
            EXPECT_EQ(TakeSceneRequest(), NextScene::Game);
            keys.clear();
            DoEvents();
            EXPECT_EQ(keys, std::vector<std::string>{"x"}) << c.name;
        }
        while (headless::PendingEvents() > 0) {
            DoEvents();
            TakeSceneRequest();
        }
    }
}

}  // namespace
}  // namespace dexlora::test
