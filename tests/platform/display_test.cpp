// The headless display as the game sees it: surfaces (BltFast plain and keyed
// and its failures, boxes), the virtual clock and scripted input through Flip,
// DoEvents and GetTickCount, and the primary/back-buffer pair on both displays.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/surface.h"
#include "platform/window.h"

namespace dexlora {
namespace {

constexpr int32_t Red = 0x0000FF, Green = 0x00FF00, Blue = 0xFF0000, White = 0xFFFFFF, Black = 0;
constexpr int32_t Magenta = 0xFF00FF;
using Kind = headless::ScriptedEvent::Kind;

struct Px {
    int x, y;
    int32_t colour;
};

class HeadlessTest : public ::testing::Test {
protected:
    PlatformSession session{DisplayKind::Headless};
    DirectDrawPtr ddraw = DirectDrawCreate("");
    DDSURFACEDESC2 desc{33, 0, 0, 1, 536};
    SurfacePtr primary = ddraw->CreateSurface(desc);
    std::vector<std::string> log;
    int loop = 0;  // loops that took over from the one a key handler stopped

    void SetUp() override {
        SetMainWindowEvents({
            .KeyPress =
                [this](char32_t& key) {
                    Log("key", uint32_t(key));
                    if (key == U'S') HoldEvents(true);  // a key that starts the next scene
                },
            .MouseDown = [this](int16_t button, int16_t shift, float x, float y) {
                Log("down", button, shift, int(x), int(y));
            },
            .DblClick = [this] { Log("dblclick"); },
        });
    }

    // "time what ...", one '>' in front per loop that took over.
    template <typename... Parts>
    void Log(const Parts&... parts) {
        std::ostringstream line;
        line << std::string(loop, '>') << GetTickCount();
        ((line << ' ' << parts), ...);
        log.push_back(line.str());
    }
    // One frame of a game loop: present, then let events run (no extra time).
    void Frame() {
        primary->Flip(nullptr, DDFLIP_WAIT);
        DoEvents();
    }
    // WaitTime as the game writes it: events run until ms have passed. When
    // a handler held the events, the next loop releases them and goes on.
    void WaitTime(uint32_t ms) {
        const uint32_t start = GetTickCount();
        while (GetTickCount() - start < ms) {
            DoEvents();
            if (EventsHeld()) {
                ++loop;
                HoldEvents(false);
            }
        }
    }

    SurfacePtr Make(int32_t w, int32_t h) {
        DDSURFACEDESC2 plain{DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT, h, w, 0, DDSCAPS_OFFSCREENPLAIN};
        return ddraw->CreateSurface(plain);
    }

    // A 4x4 sprite: a border in the key colour around red, green / blue, white.
    SurfacePtr Sprite(int32_t key = Magenta) {
        SurfacePtr s = Make(4, 4);
        s->FillRect(RECT{0, 0, 4, 4}, Magenta);
        for (Px p : {Px{1, 1, Red}, Px{2, 1, Green}, Px{1, 2, Blue}, Px{2, 2, White}}) s->SetPixel(p.x, p.y, p.colour);
        s->SetColorKey(DDCKEY_SRCBLT, DDCOLORKEY{key, key});
        return s;
    }

    static void Expect(const DirectDrawSurface7& s, const std::vector<Px>& pixels, const char* name) {
        for (Px p : pixels) EXPECT_EQ(s.GetPixel(p.x, p.y), p.colour) << name << " at (" << p.x << ", " << p.y << ")";
    }

    // The error number an operation raises, 0 when it raises none.
    static int32_t ErrorOf(const std::function<void()>& operation) {
        try {
            operation();
            return 0;
        } catch (const RuntimeError& e) {
            return e.Number;
        }
    }
};

TEST_F(HeadlessTest, BltFastCopiesPlainAndKeyed) {
    struct Case {
        const char* name;
        int32_t flags, key;
        RECT rect;
        int32_t x, y;
        std::vector<Px> expect;
    };
    const std::vector<Case> cases = {
        {"plain copy keeps the key colour", 16, Magenta, {0, 0, 4, 4}, 10, 20,
         {{10, 20, Magenta}, {11, 21, Red}, {12, 21, Green}, {11, 22, Blue}, {12, 22, White}, {13, 23, Magenta},
          {14, 24, Black}, {9, 20, Black}}},
        {"keyed copy skips the key colour", 17, Magenta, {0, 0, 4, 4}, 10, 20,
         {{10, 20, Black}, {11, 21, Red}, {12, 21, Green}, {11, 22, Blue}, {12, 22, White}, {13, 23, Black}}},
        {"a near key matches nothing", 17, Magenta - 1, {0, 0, 4, 4}, 10, 20, {{10, 20, Magenta}, {11, 21, Red}}},
        {"key bits above RGB are ignored", 17, Magenta | 0x7F000000, {0, 0, 4, 4}, 10, 20, {{10, 20, Black}}},
        {"part of the source", 16, Magenta, {2, 1, 3, 3}, 0, 0, {{0, 0, Green}, {0, 1, White}, {1, 0, Black}}},
        {"to the bottom-right corner", 17, Magenta, {1, 1, 3, 3}, 30, 30, {{30, 30, Red}, {31, 31, White}}},
    };
    for (const Case& c : cases) {
        SurfacePtr sprite = Sprite(c.key);
        SurfacePtr dst = Make(32, 32);
        dst->BltFast(c.x, c.y, *sprite, c.rect, c.flags);
        Expect(*dst, c.expect, c.name);
    }
}

TEST_F(HeadlessTest, BltFastFailuresAndEmptyRectanglesWriteNothing) {
    struct Case {
        const char* name;
        RECT rect;
        int32_t x, y, flags;
        bool fails;
    };
    // Source 4x4, destination 8x8.
    const std::vector<Case> cases = {
        {"right past the source", {0, 0, 5, 4}, 0, 0, 16, true}, {"below the source", {0, 0, 4, 5}, 0, 0, 17, true},
        {"left of the source", {-1, 0, 4, 4}, 0, 0, 16, true}, {"above the source", {0, -1, 4, 4}, 0, 0, 17, true},
        {"right of the destination", {0, 0, 4, 4}, 5, 0, 16, true}, {"below it", {0, 0, 4, 4}, 0, 5, 17, true},
        {"left of the destination", {0, 0, 4, 4}, -1, 0, 16, true}, {"above it", {0, 0, 4, 4}, 0, -1, 17, true},
        {"reversed rectangle", {3, 0, 1, 4}, 0, 0, 16, true}, {"unknown flag", {0, 0, 4, 4}, 0, 0, 16 | 2, true},
        {"empty width", {2, 0, 2, 4}, 0, 0, 16, false}, {"empty height", {0, 2, 4, 2}, 0, 0, 17, false},
        {"empty, outside everything", {50, 50, 50, 60}, -20, 900, 17, false},
    };
    for (const Case& c : cases) {
        SurfacePtr sprite = Sprite();
        SurfacePtr dst = Make(8, 8);
        EXPECT_EQ(ErrorOf([&] { dst->BltFast(c.x, c.y, *sprite, c.rect, c.flags); }), c.fails ? ErrDirectX : 0)
            << c.name;
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) ASSERT_EQ(dst->GetPixel(x, y), Black) << c.name << " wrote (" << x << ", " << y << ")";
    }
}

TEST_F(HeadlessTest, DrawBoxOutlinesRightAndBottomOutside) {
    constexpr int32_t G = Green, K = Black;  // drawn, left alone
    const std::pair<RECT, std::vector<Px>> cases[] = {
        {{2, 3, 7, 9}, {{2, 3, G}, {6, 8, G}, {4, 3, G}, {2, 5, G}, {6, 5, G}, {4, 8, G}, {7, 3, K}, {2, 9, K},
                        {4, 5, K}, {1, 3, K}, {2, 2, K}}},
        {{7, 9, 2, 3}, {{2, 3, G}, {6, 8, G}, {7, 9, K}, {4, 5, K}}},               // corners reversed
        {{-5, -5, 5, 5}, {{4, 0, G}, {0, 4, G}, {4, 4, G}, {0, 0, K}, {3, 3, K}}},  // clipped
        {{3, 3, 3, 6}, {{3, 3, K}, {3, 4, K}}},                                     // empty
    };
    for (const auto& [box, expect] : cases) {
        SurfacePtr s = Make(10, 10);
        s->SetForeColor(Green);
        s->DrawBox(box.Left, box.Top, box.Right, box.Bottom);
        Expect(*s, expect, ("box " + std::to_string(box.Left) + "," + std::to_string(box.Top)).c_str());
    }
}

TEST_F(HeadlessTest, ClockFollowsFlipsAndBusyWaits) {
    struct Case {
        const char* name;
        uint32_t start;
        int frames;
        uint32_t busyWaitMs, elapsed;  // GetTickCount difference, modulo 2^32
    };
    const std::vector<Case> cases = {
        {"three refreshes round to 50", 0, 3, 0, 50},
        {"600 refreshes are ten seconds exactly", 1234, 600, 0, 10000},
        {"busy wait, a millisecond per DoEvents", 0, 0, 200, 200},
        {"wrap of the counter", 0xFFFFFFFFu - 5, 1, 0, 16},
        {"wrap inside a wait", 0xFFFFFFFFu - 100, 0, 600, 600},
    };
    for (const Case& c : cases) {
        headless::SetClock(c.start);
        for (int i = 0; i < c.frames; ++i) Frame();
        WaitTime(c.busyWaitMs);
        EXPECT_EQ(GetTickCount() - c.start, c.elapsed) << c.name;
    }
}

TEST_F(HeadlessTest, ScriptedEventsArriveAtTheirTimesInOrder) {
    headless::SetClock(1000);
    headless::Script({
        {1030, Kind::MouseDown, 0, 100, 200},
        {1010, Kind::Key, U'a'},
        {1010, Kind::Key, U'ぁ'},
        {1040, Kind::DblClick, 0, 5.4f, 6.6f},
        {1050, Kind::MouseDown, 0, -1, 10},   // left letterbox bar
        {1050, Kind::MouseDown, 0, 640, 10},  // right bar
        {1050, Kind::DblClick, 0, 10, 480},   // below the screen
        {1050, Kind::MouseDown, 0, 639, 479, 2, 1},
        {1060, Kind::Close},
    });
    WaitTime(100);
    EXPECT_EQ(headless::PendingEvents(), 0u);
    EXPECT_EQ(log, (std::vector<std::string>{"1010 key 97", "1010 key 12353", "1030 down 1 0 100 200",
                                             "1040 down 1 0 5 6", "1040 dblclick", "1050 down 2 1 639 479",
                                             "1060 key 27"}));
}

TEST_F(HeadlessTest, HeldEventsAndTheWrapGetEachEventOnceInOrder) {
    headless::SetClock(0xFFFFFFFFu - 9);
    headless::Script({{2, Kind::Key, U'x'},
                      {0xFFFFFFFFu - 9, Kind::Key, U'S'},
                      {0xFFFFFFFFu - 9, Kind::Key, U'y'},
                      {900, Kind::Key, U'z'}});
    WaitTime(1000);
    EXPECT_EQ(log, (std::vector<std::string>{"4294967287 key 83", ">4294967288 key 121", ">2 key 120", ">900 key 122"}));
}

TEST(DisplayTest, BothDisplaysSetUpAndFlipKeepingTheBackBuffer) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);  // the real window needs no screen
    for (DisplayKind kind : {DisplayKind::Headless, DisplayKind::Window}) {
        SCOPED_TRACE(kind == DisplayKind::Window ? "real window" : "headless");
        PlatformSession session(kind);
        DirectDrawPtr ddraw = DirectDrawCreate("");
        ShowMainWindow();
        ddraw->SetCooperativeLevel(MainWindowHandle(), 83);
        EXPECT_THROW(ddraw->SetDisplayMode(640, 480, 8, 0, 0), RuntimeError);
        ddraw->SetDisplayMode(640, 480, 16, 0, 0);
        DDSURFACEDESC2 desc{33, 0, 0, 1, 536};
        SurfacePtr primary = ddraw->CreateSurface(desc);
        SurfacePtr back = primary->GetAttachedSurface(DDSCAPS_BACKBUFFER);
        ASSERT_TRUE(back);
        EXPECT_EQ(back, primary->GetAttachedSurface(DDSCAPS_BACKBUFFER));
        EXPECT_EQ(back->Width(), 640);
        EXPECT_EQ(back->Height(), 480);
        EXPECT_THROW(back->Flip(nullptr, DDFLIP_WAIT), RuntimeError);
        for (int32_t colour : {Blue, Red}) {
            back->SetPixel(639, 479, colour);
            primary->Flip(colour == Blue ? nullptr : back.get(), DDFLIP_WAIT);
            DoEvents();
            EXPECT_EQ(back->GetPixel(639, 479), colour) << "the back buffer keeps the frame after Flip";
            EXPECT_EQ(primary->GetPixel(639, 479), colour) << "the front shows the frame";
        }
        EXPECT_EQ(headless::FrameCount(), kind == DisplayKind::Headless ? 2u : 0u);
        ddraw->RestoreDisplayMode();
        ddraw->SetCooperativeLevel(MainWindowHandle(), 8);
        HideMainWindow();
    }
}

}  // namespace
}  // namespace dexlora
