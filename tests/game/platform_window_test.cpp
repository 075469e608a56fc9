// The platform's display and input: BltFast on the headless display, SDL input on the real window
// and on a dialog window, and what a closing dialog leaves for the main window. (The headless
// driver's scripted events are every game test's input: their faults show there.)
#include <SDL.h>

#include "platform/dialog_window.h"
#include "tests/support/fixture.h"

namespace dexlora::test {
namespace {

// Main-window handlers noting each event ("key 97", "down 1 0 10 20", "dblclick"); the key hold holds
// the events, as a scene change does.
struct Recorder {
    std::vector<std::string> got{};
    char32_t hold = 0;
    void Install() {
        SetMainWindowEvents({
            .KeyPress = [this](char32_t& key) { got.push_back(Words("key", uint32_t(key))), HoldEvents(key == hold); },
            .MouseDown = [this](auto b, auto s, auto x, auto y) { got.push_back(Words("down", b, s, int(x), int(y))); },
            .DblClick = [this] { got.push_back("dblclick"); },
            .KeyDown = [this](KeyCode code, int16_t shift) { got.push_back(Words("fkey", int(code), shift)); },
        });
    }
};

using HeadlessDisplayTest = DexloraTest;
constexpr int32_t Magenta = 0xFF00FF;

TEST_F(HeadlessDisplayTest, BltFastCopiesPlainOrKeyedAndRefusesWhatLeavesEitherSurface) {
    // A 4x4 sprite, a key-colour border around red, green / blue, white, onto 32x32 black: the error
    // raised, the pixels written and one of them.
    const struct { const char* name; int32_t flags, key; RECT rect; int32_t x, y, error, inked, spotX, spotY, spot; }
    cases[] = {
        {"plain copy keeps the key colour", 16, Magenta, {0, 0, 4, 4}, 10, 20, 0, 16, 12, 21, Green},
        {"keyed copy skips the key colour", 17, Magenta, {0, 0, 4, 4}, 10, 20, 0, 4, 11, 22, Blue},
        {"key bits above RGB are ignored", 17, Magenta | 0x7F000000, {0, 0, 4, 4}, 10, 20, 0, 4, 12, 22, White},
        {"part of the source to the corner", 16, Magenta, {2, 1, 3, 3}, 31, 30, 0, 2, 31, 31, White},
        {"right past the source", 16, Magenta, {0, 0, 5, 4}, 0, 0, ErrDirectX, 0, 0, 0, Black},
        {"right of the destination", 16, Magenta, {0, 0, 4, 4}, 29, 0, ErrDirectX, 0, 31, 1, Black},
        {"reversed rectangle", 16, Magenta, {3, 0, 1, 4}, 0, 0, ErrDirectX, 0, 0, 0, Black},
        {"empty, outside everything", 17, Magenta, {50, 50, 50, 60}, -20, 900, 0, 0, 0, 0, Black},
    };
    for (const auto& c : cases) {
        SurfacePtr sprite = Surface(4, 4, Magenta), dst = Surface(32, 32);
        for (auto [x, y, colour] : {std::tuple{1, 1, Red}, {2, 1, Green}, {1, 2, Blue}, {2, 2, White}})
            sprite->SetPixel(x, y, colour);
        sprite->SetColorKey(DDCKEY_SRCBLT, DDCOLORKEY{c.key, c.key});
        EXPECT_EQ(ErrorOf([&] { dst->BltFast(c.x, c.y, *sprite, c.rect, c.flags); }), c.error) << c.name;
        EXPECT_EQ(32 * 32 - CountColour(*dst, {0, 0, 32, 32}, Black), c.inked) << c.name;
        EXPECT_EQ(dst->GetPixel(c.spotX, c.spotY), c.spot) << c.name;
    }
}

// SDL input for a window as the dummy video driver delivers it.
SDL_Event KeyDown(Uint32 window, SDL_Keycode sym, Uint16 mod = KMOD_NONE, Uint8 repeat = 0) {
    return {.key = {SDL_KEYDOWN, 0, window, SDL_PRESSED, repeat, 0, 0, {SDL_SCANCODE_UNKNOWN, sym, mod, 0}}};
}
SDL_Event Text(Uint32 window, const char* utf8) {
    SDL_Event e{.text = {SDL_TEXTINPUT, 0, window, {}}};
    SDL_strlcpy(e.text.text, utf8, sizeof e.text.text);
    return e;
}
SDL_Event Button(Uint32 window, int x, int y, Uint8 clicks, Uint8 button = SDL_BUTTON_LEFT) {
    return {.button = {SDL_MOUSEBUTTONDOWN, 0, window, 0, button, SDL_PRESSED, clicks, 0, x, y}};
}
SDL_Event Other(Uint32 type, Uint32 id = 0) { return {.window = {type, 0, id, SDL_WINDOWEVENT_CLOSE, 0, 0, 0, 0, 0}}; }
void Push(std::vector<SDL_Event> events) { for (SDL_Event& e : events) ASSERT_EQ(SDL_PushEvent(&e), 1); }

TEST(WindowInputTest, OnlyCharactersAndTheThreeNamedKeysReachTheGameOnceEach) {
    PlatformSession session(DisplayKind::Window);
    ShowMainWindow();
    Recorder r{.hold = U'b'};
    r.Install();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    const auto w = Uint32(MainWindowHandle());
    const struct { const char* name; std::vector<SDL_Event> events; std::vector<std::string> expected; } cases[] = {
        {"a typed letter arrives once, from its text", {KeyDown(w, SDLK_a), Text(w, "a")}, {"key 97"}},
        {"Esc, Enter and Backspace once each",
         {KeyDown(w, SDLK_ESCAPE), KeyDown(w, SDLK_RETURN), KeyDown(w, SDLK_KP_ENTER), KeyDown(w, SDLK_BACKSPACE)},
         {"key 27", "key 13", "key 13", "key 8"}},
        {"Alt+Enter switches the screen, reaching no handler, nor do presses off the screen",
         {KeyDown(w, SDLK_RETURN, KMOD_LALT), KeyDown(w, SDLK_RETURN, KMOD_LALT, 1), KeyDown(w, SDLK_RETURN, KMOD_LALT),
          Button(w, -3, 20, 1), Button(w, 640, 20, 2), Button(w, 5, 480, 1)}, {}},
        {"control characters and malformed text are no characters; characters of two, three and four bytes",
         {Text(w, "\t"), Text(w, "\x7f"), Text(w, "\x01x"), Text(w, "\xff"), Text(w, "\xe3\x81"), Text(w, "éあ𠮷")},
         {"key 120", "key 233", "key 12354", "key 134071"}},
        {"closing the window arrives as Esc", {Other(SDL_QUIT)}, {"key 27"}},
        {"function keys as KeyDown once, with shift; their repeats nothing",
         {KeyDown(w, SDLK_F1), KeyDown(w, SDLK_F12, KMOD_LSHIFT), KeyDown(w, SDLK_F3, KMOD_NONE, 1)},
         {Words("fkey", int(KeyCode::F1), 0), Words("fkey", int(KeyCode::F12), 1)}},
        {"a press and a double click", {Button(w, 10, 20, 1), Button(w, 10, 20, 2)},
         {"down 1 0 10 20", "down 1 0 10 20", "dblclick"}},
        {"nothing after a key that holds the events", {Text(w, "abc"), Button(w, 1, 2, 2), KeyDown(w, SDLK_F2)},
         {"key 97", "key 98"}},
        {"while held, nothing", {}, {}},
    };
    for (const auto& c : cases) {
        r.got.clear(), Push(c.events), DoEvents();
        EXPECT_EQ(r.got, c.expected) << c.name;
    }
    HoldEvents(false), DoEvents();
    EXPECT_EQ(r.got, (std::vector<std::string>{"key 99", "down 1 0 1 2", "dblclick", Words("fkey", int(KeyCode::F2), 0)}))
        << "the held events, in order";
    SetMainWindowEvents({});
}

TEST(DialogWindowTest, TurnsSdlInputIntoDialogEventsAndLeavesTheMainWindowItsOwnAndTheEndRequest) {
    PlatformSession session(DisplayKind::Window);
    Recorder r;
    r.Install();
    {
        DialogWindow dialog("Skinディレクトリ選択", 480, 360);
        dialog.Present();
        const Uint32 id = Uint32(MainWindowHandle()) + 1;  // SDL numbers windows in order of making
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        Push({KeyDown(id, SDLK_DOWN), KeyDown(id, SDLK_TAB, KMOD_LSHIFT), KeyDown(id, SDLK_KP_ENTER), KeyDown(id, SDLK_a),
              Text(id, "o\x01\xFF"), Text(id, "桜"), Button(id, 30, 40, 2), Button(id, 30, 40, 1, SDL_BUTTON_RIGHT),
              KeyDown(id + 100, SDLK_ESCAPE), Other(SDL_WINDOWEVENT, id)});
        std::vector<std::string> got;
        for (int i = 0; i < 40 && (got.empty() || got.back()[0] != '4'); ++i)
            if (auto e = dialog.NextEvent())
                got.push_back(Words(int(e->Type), int(e->Code), e->Shift, uint32_t(e->Character), e->X, e->Y, e->Clicks));
        // Kind (Key 0, Character 1, MouseDown 2, Close 4), code (Down 2, Tab 9, Enter 10), Shift, character, x, y, clicks.
        EXPECT_EQ(got, (std::vector<std::string>{"0 2 0 0 0 0 1", "0 9 1 0 0 0 1", "0 10 0 0 0 0 1", "1 0 0 111 0 0 1",
                                                 "1 0 0 26716 0 0 1", "2 0 0 0 30 40 2", "4 0 0 0 0 0 1"}));
        // Its input still queued when it closes, and the main window's.
        Push({KeyDown(id, SDLK_RETURN), Text(id, "x"), Button(id, 5, 5, 1), KeyDown(id - 1, SDLK_ESCAPE),
              Button(id - 1, 7, 8, 1)});
    }
    DoEvents();
    EXPECT_EQ(r.got, (std::vector<std::string>{"key 27", "down 1 0 7 8"}));
    r.got.clear();
    {
        DialogWindow dialog("chooser", 200, 100);
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        Push({Other(SDL_QUIT)});
        std::optional<DialogEvent> event;
        for (int i = 0; i < 10 && !event; ++i) event = dialog.NextEvent();
        ASSERT_TRUE(event && event->Type == DialogEvent::Kind::Close);
    }
    DoEvents();
    EXPECT_EQ(r.got, std::vector<std::string>{"key 27"}) << "the request to end reaches the main window as Esc";
    SetMainWindowEvents({});
}

}  // namespace
}  // namespace dexlora::test
