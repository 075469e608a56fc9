// Presenting frames: Flip showing the back buffer, and the real window's software path (scaled
// frame, black bars, mouse points mapped back to the frame) on SDL's dummy driver.
#include <SDL.h>

#include <cstdlib>

#include "scenes/frame.h"
#include "tests/support/fixture.h"

namespace dexlora::test {
namespace {

using FlipTest = DexloraTest;

TEST_F(FlipTest, FlipShowsTheBackBufferWhichStillReadsAsTheFrameJustShown) {
    Screen();
    const SurfacePtr red = Surface(640, 480, Red), blue = Surface(640, 480, Blue);
    const SurfacePtr keyed = Surface(640, 480, Green);
    keyed->SetColorKey(DDCKEY_SRCBLT, DDCOLORKEY{Green, Green}), keyed->FillRect(RECT{0, 0, 8, 8}, White);
    auto whole = [](const SurfacePtr& from, int32_t flags = DDBLTFAST_WAIT) {
        return [from, flags] { DDSurfBack->BltFast(0, 0, *from, ScreenRect, flags); };
    };
    int32_t shown = -1;
    headless::OnFlip([&](const DirectDrawSurface7& frame, uint64_t) { shown = frame.GetPixel(1, 1); });
    auto flip = [] { DDSurfPrimary->Flip(nullptr, DDFLIP_WAIT); };
    // Steps, then the corner of the frame last shown, and the back buffer's corner and middle.
    const struct { const char* name; std::function<void()> step; int32_t shown, corner, middle; } steps[] = {
        {"a frame composed and shown", [&] { whole(red)(), flip(); }, Red, Red, Red},
        {"drawn over in part and shown", [&] { DDSurfBack->FillRect(RECT{0, 0, 8, 8}, White), flip(); }, White, White, Red},
        {"a whole new frame, not shown", whole(blue), White, Blue, Blue},
        {"a keyed copy over it, shown twice", [&] { whole(keyed, 17)(), flip(), flip(); }, White, White, Blue},
        {"copied to the snapshot", [&] { TakeSnapshot(640, 480); }, White, White, Blue},
        {"the primary released", [&] { DDSurfPrimary.reset(); }, White, White, Blue},
    };
    for (const auto& s : steps) {
        s.step();
        EXPECT_EQ(shown, s.shown) << s.name;
        EXPECT_EQ(DDSurfBack->GetPixel(1, 1), s.corner) << s.name;
        EXPECT_EQ(DDSurfBack->GetPixel(320, 240), s.middle) << s.name;
    }
    EXPECT_EQ(DDSurfSnapshot->GetPixel(1, 1), White) << "the snapshot holds the last frame";
    headless::OnFlip({});
}

// The main window on the dummy driver, forced to the software path by the environment.
class SoftwarePathTest : public ::testing::Test {
protected:
    SoftwarePathTest() {
        setenv("SDL_VIDEODRIVER", "dummy", 1), setenv(PresentVariable, "software", 1);
        session_ = std::make_unique<PlatformSession>(DisplayKind::Window);
        DDraw = DirectDrawCreate("");
        EXPECT_TRUE(InitDisplay(MainWindowHandle(), DDraw, DDSurfPrimary, DDSurfBack, PrimaryDesc, BackBufferDesc));
    }
    ~SoftwarePathTest() override { ReleaseGameObjects(), session_.reset(), unsetenv(PresentVariable); }
    static SDL_Window* Window() { return SDL_GetWindowFromID(Uint32(MainWindowHandle())); }
    // The window's pixel at (x, y), packed as the game packs colours.
    static int32_t WindowPixel(int x, int y) {
        SDL_Surface* s = SDL_GetWindowSurface(Window());
        Uint8 r = 0, g = 0, b = 0;
        SDL_GetRGB(static_cast<const Uint32*>(s->pixels)[y * s->pitch / 4 + x], s->format, &r, &g, &b);
        return r | g << 8 | b << 16;
    }

private:
    std::unique_ptr<PlatformSession> session_;
};

TEST_F(SoftwarePathTest, FramesFillTheWindowWithTheirAspectKeptAndClicksComeBackInFramePixels) {
    // Left half red, right half blue, white corners: scaled, each half stays its exact colour away from
    // the seam, the corners land on the window's frame corners, the bars are black.
    DDSurfBack->FillRect(RECT{0, 0, 320, 480}, Red), DDSurfBack->FillRect(RECT{320, 0, 640, 480}, Blue);
    for (const auto& [x, y] : {std::pair{0, 0}, {639, 479}}) DDSurfBack->SetPixel(x, y, White);
    std::vector<std::string> clicks;
    SetMainWindowEvents({.MouseDown = [&](auto, auto, float x, float y) { clicks.push_back(Words(int(x), int(y))); }});
    // Window size, the frame's place in it, and clicks at window points with where they land (none on a bar).
    const struct { int w, h; SDL_Rect area; std::vector<std::pair<int, int>> at; std::vector<std::string> got; } rows[] = {
        {640, 480, {0, 0, 640, 480}, {{0, 0}, {639, 479}}, {"0 0", "639 479"}},
        {1024, 768, {0, 0, 1024, 768}, {{512, 384}, {1023, 767}}, {"320 240", "639 479"}},
        {1280, 720, {160, 0, 960, 720}, {{159, 10}, {160, 0}, {1119, 719}, {1120, 5}, {640, 360}}, {"0 0", "639 479", "320 240"}},
        {800, 900, {0, 150, 800, 600}, {{5, 149}, {5, 150}, {799, 749}, {799, 750}}, {"4 0", "639 479"}},
    };
    for (const auto& row : rows) {
        const std::string name = Words(row.w, row.h);
        SDL_SetWindowSize(Window(), row.w, row.h);
        DDSurfPrimary->Flip(nullptr, DDFLIP_WAIT);
        const SDL_Rect& a = row.area;
        EXPECT_EQ(WindowPixel(a.x, a.y), White) << name;
        EXPECT_EQ(WindowPixel(a.x + a.w - 1, a.y + a.h - 1), White) << name;
        EXPECT_EQ(WindowPixel(a.x + a.w / 4, a.y + a.h / 2), Red) << name;
        EXPECT_EQ(WindowPixel(a.x + a.w * 3 / 4, a.y + a.h / 2), Blue) << name;
        if (a.x > 0) EXPECT_EQ(WindowPixel(a.x - 1, a.y + 1), Black) << name << ": left bar";
        if (a.y > 0) EXPECT_EQ(WindowPixel(a.x + 1, a.y - 1), Black) << name << ": top bar";
        clicks.clear();
        const auto id = Uint32(MainWindowHandle());
        for (const auto& [x, y] : row.at) {
            SDL_Event e{.button = {SDL_MOUSEBUTTONDOWN, 0, id, 0, SDL_BUTTON_LEFT, SDL_PRESSED, 1, 0, x, y}};
            SDL_PushEvent(&e);
        }
        DoEvents();
        EXPECT_EQ(clicks, row.got) << name;
    }
    SetMainWindowEvents({});
}

}  // namespace
}  // namespace dexlora::test
