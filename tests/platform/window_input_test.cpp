// The real window's input under SDL's dummy video driver, from pushed SDL
// events to the main window's handlers: what reaches the game, how often, and
// what stays queued once a handler holds the events.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/window.h"
#include "tests/platform/sdl_events.h"

namespace dexlora {
namespace {

// The main window's events, and closing the program as the desktop asks.
SDL_Event KeyDown(SDL_Keycode sym, Uint16 mod = KMOD_NONE, Uint8 repeat = 0) {
    return test::KeyDown(Uint32(MainWindowHandle()), sym, mod, repeat);
}
SDL_Event Text(const char* utf8) { return test::Text(Uint32(MainWindowHandle()), utf8); }
SDL_Event Button(int x, int y, Uint8 clicks) {
    return test::Button(Uint32(MainWindowHandle()), SDL_BUTTON_LEFT, x, y, clicks);
}
SDL_Event Quit() { return SDL_Event{.type = SDL_QUIT}; }

class WindowInputTest : public ::testing::Test {
protected:
    WindowInputTest() { setenv("SDL_VIDEODRIVER", "dummy", 1); }
    PlatformSession session{DisplayKind::Window};
    std::vector<std::string> got;
    char32_t holdOn = 0;  // a key whose handler holds the events, as a scene change does

    void SetUp() override {
        ShowMainWindow();
        SetMainWindowEvents({
            .KeyPress =
                [this](char32_t& key) {
                    got.push_back("key " + std::to_string(uint32_t(key)));
                    if (key == holdOn) HoldEvents(true);
                },
            .MouseDown = [this](int16_t button, int16_t, float x, float y) {
                got.push_back("down " + std::to_string(button) + " " + std::to_string(int(x)) + "," +
                              std::to_string(int(y)));
            },
            .DblClick = [this] { got.push_back("dblclick"); },
        });
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    }
    void TearDown() override {
        HoldEvents(false);
        SetMainWindowEvents({});
    }
};

TEST_F(WindowInputTest, OnlyCharactersAndTheThreeNamedKeysReachTheGameOnceEach) {
    struct Case {
        const char* name;
        std::vector<SDL_Event> events;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases = {
        {"a typed letter arrives once, from its text", {KeyDown(SDLK_a), Text("a")}, {"key 97"}},
        {"Esc, Enter and Backspace once each",
         {KeyDown(SDLK_ESCAPE), KeyDown(SDLK_RETURN), KeyDown(SDLK_KP_ENTER), KeyDown(SDLK_BACKSPACE)},
         {"key 27", "key 13", "key 13", "key 8"}},
        {"Alt+Enter switches the screen and reaches no handler",
         {KeyDown(SDLK_RETURN, KMOD_LALT), KeyDown(SDLK_RETURN, KMOD_LALT, 1), KeyDown(SDLK_RETURN, KMOD_LALT)},
         {}},
        {"control characters in text are filtered", {Text("\t"), Text("\x7f"), Text("\x01x")}, {"key 120"}},
        {"malformed text is no character", {Text("\xff"), Text("\xe3\x81")}, {}},
        {"Japanese text, each character", {Text("あ･")}, {"key 12354", "key 65381"}},
        {"closing the window arrives as Esc", {Quit()}, {"key 27"}},
        {"a press and a double click", {Button(10, 20, 1), Button(10, 20, 2)},
         {"down 1 10,20", "down 1 10,20", "dblclick"}},
        {"presses off the screen are dropped", {Button(-3, 20, 1), Button(640, 20, 2), Button(5, 480, 1)}, {}},
    };
    for (const Case& c : cases) {
        got.clear();
        for (SDL_Event e : c.events) SDL_PushEvent(&e);
        DoEvents();
        EXPECT_EQ(got, c.expected) << c.name;
    }
}

TEST_F(WindowInputTest, HeldEventsWaitInOrderForTheNextLoop) {
    holdOn = U'b';
    std::vector<SDL_Event> events = {Text("abc"), KeyDown(SDLK_ESCAPE), Button(1, 2, 2), Text("d")};
    for (SDL_Event& e : events) SDL_PushEvent(&e);
    DoEvents();
    EXPECT_EQ(got, (std::vector<std::string>{"key 97", "key 98"})) << "nothing after the holding key";
    DoEvents();
    EXPECT_EQ(got.size(), 2u) << "nothing while held";
    HoldEvents(false);
    holdOn = 0;
    DoEvents();
    EXPECT_EQ(got, (std::vector<std::string>{"key 97", "key 98", "key 99", "key 27", "down 1 1,2", "dblclick",
                                             "key 100"}));
}

}  // namespace
}  // namespace dexlora
