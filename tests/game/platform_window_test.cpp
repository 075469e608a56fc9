// The platform's display and input: BltFast on the headless display, its
// scripted events across held loops and the clock's wrap, SDL input on the real window and on a
// dialog window, and what a closing dialog leaves for the main window.
#include <SDL.h>

#include "platform/dialog_window.h"
#include "tests/support/fixture.h"

namespace dexlora::test {
namespace {

// Main-window handlers noting each event ("key 97", "down 1 0 10 20", "dblclick"), stamped with the
// virtual time and a '>' per loop that took over; the key hold holds the events, as a scene change does.
struct Recorder {
    std::vector<std::string> got{};
    char32_t hold = 0;
    bool stamp = false;
    int loops = 0;
    void Note(const std::string& what) {
        got.push_back(stamp ? std::string(loops, '>') + Words(GetTickCount(), what) : what);
    }
    void Install() {
        SetMainWindowEvents({
            .KeyPress = [this](char32_t& key) { Note(Words("key", uint32_t(key))), HoldEvents(key == hold); },
            .MouseDown = [this](int16_t b, int16_t s, float x, float y) { Note(Words("down", b, s, int(x), int(y))); },
            .DblClick = [this] { Note("dblclick"); },
        });
    }
    // As the game waits: events run until ms have passed; a loop takes over from one a handler held.
    void WaitTime(uint32_t ms) {
        for (const uint32_t start = GetTickCount(); GetTickCount() - start < ms;)
            if (DoEvents(), EventsHeld()) ++loops, HoldEvents(false);
    }
};

using HeadlessDisplayTest = DexloraTest;
constexpr int32_t Magenta = 0xFF00FF;

TEST_F(HeadlessDisplayTest, BltFastCopiesPlainOrKeyedAndRefusesWhatLeavesEitherSurface) {
    // A 4x4 sprite, a key-colour border around red, green / blue, white, onto 32x32 black: the error
    // raised, the pixels written and one of them.
    const struct {
        const char* name;
        int32_t flags, key;
        RECT rect;
        int32_t x, y, error, inked, spotX, spotY, spot;
    } cases[] = {
        {"plain copy keeps the key colour", 16, Magenta, {0, 0, 4, 4}, 10, 20, 0, 16, 12, 21, Green},
        {"keyed copy skips the key colour", 17, Magenta, {0, 0, 4, 4}, 10, 20, 0, 4, 11, 22, Blue},
        {"a near key matches nothing", 17, Magenta - 1, {0, 0, 4, 4}, 10, 20, 0, 16, 10, 20, Magenta},
        {"key bits above RGB are ignored", 17, Magenta | 0x7F000000, {0, 0, 4, 4}, 10, 20, 0, 4, 12, 22, White},
        {"part of the source to the corner", 16, Magenta, {2, 1, 3, 3}, 31, 30, 0, 2, 31, 31, White},
        {"right past the source", 16, Magenta, {0, 0, 5, 4}, 0, 0, ErrDirectX, 0, 0, 0, Black},
        {"above the source", 17, Magenta, {0, -1, 4, 4}, 0, 0, ErrDirectX, 0, 0, 0, Black},
        {"right of the destination", 16, Magenta, {0, 0, 4, 4}, 29, 0, ErrDirectX, 0, 31, 1, Black},
        {"left of the destination", 17, Magenta, {0, 0, 4, 4}, -1, 0, ErrDirectX, 0, 0, 1, Black},
        {"reversed rectangle", 16, Magenta, {3, 0, 1, 4}, 0, 0, ErrDirectX, 0, 0, 0, Black},
        {"unknown flag", 18, Magenta, {0, 0, 4, 4}, 0, 0, ErrDirectX, 0, 1, 1, Black},
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

TEST_F(HeadlessDisplayTest, ScriptedEventsArriveOnceInTimeOrderAcrossHeldLoopsAndTheWrap) {
    Recorder r{.hold = U'S', .stamp = true};
    r.Install();
    headless::SetClock(1000);
    headless::Script({{1030, Kind::MouseDown, 0, 100, 200}, {1010, Kind::Key, U'a'}, {1010, Kind::Key, U'ぁ'},
                      {1040, Kind::DblClick, 0, 5.4f, 6.6f},
                      {1050, Kind::MouseDown, 0, -1, 10}, {1050, Kind::MouseDown, 0, 640, 10},  // letterbox bars
                      {1050, Kind::DblClick, 0, 10, 480}, {1050, Kind::MouseDown, 0, 639, 479, 2, 1},
                      {1060, Kind::Close}});
    r.WaitTime(100);
    EXPECT_EQ(r.got, (std::vector<std::string>{"1010 key 97", "1010 key 12353", "1030 down 1 0 100 200", "1040 down 1 0 5 6",
                                               "1040 dblclick", "1050 down 2 1 639 479", "1060 key 27"}));
    r.got.clear();
    headless::SetClock(0xFFFFFFFFu - 9);
    headless::Script({{2, Kind::Key, U'x'}, {0xFFFFFFFFu - 9, Kind::Key, U'S'}, {0xFFFFFFFFu - 9, Kind::Key, U'y'},
                      {900, Kind::Key, U'z'}});
    r.WaitTime(1000);
    EXPECT_EQ(r.got,
              (std::vector<std::string>{"4294967287 key 83", ">4294967288 key 121", ">2 key 120", ">900 key 122"}));
    EXPECT_EQ(headless::PendingEvents(), 0u);
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
SDL_Event Other(Uint32 type, Uint32 window = 0) {
    return {.window = {type, 0, window, SDL_WINDOWEVENT_CLOSE, 0, 0, 0, 0, 0}};
}
void Push(std::vector<SDL_Event> events) {
    for (SDL_Event& e : events) ASSERT_EQ(SDL_PushEvent(&e), 1);
}

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
        {"Alt+Enter switches the screen and reaches no handler",
         {KeyDown(w, SDLK_RETURN, KMOD_LALT), KeyDown(w, SDLK_RETURN, KMOD_LALT, 1), KeyDown(w, SDLK_RETURN, KMOD_LALT)},
         {}},
        {"control characters in text are filtered", {Text(w, "\t"), Text(w, "\x7f"), Text(w, "\x01x")}, {"key 120"}},
        {"malformed text is no character", {Text(w, "\xff"), Text(w, "\xe3\x81")}, {}},
        {"characters of two, three and four bytes", {Text(w, "éあ𠮷")}, {"key 233", "key 12354", "key 134071"}},
        {"closing the window arrives as Esc", {Other(SDL_QUIT)}, {"key 27"}},
        {"a press and a double click", {Button(w, 10, 20, 1), Button(w, 10, 20, 2)},
         {"down 1 0 10 20", "down 1 0 10 20", "dblclick"}},
        {"presses off the screen are dropped", {Button(w, -3, 20, 1), Button(w, 640, 20, 2), Button(w, 5, 480, 1)}, {}},
        {"nothing after a key that holds the events", {Text(w, "abc"), Button(w, 1, 2, 2)}, {"key 97", "key 98"}},
        {"while held, nothing", {}, {}},
    };
    for (const auto& c : cases) {
        r.got.clear();
        Push(c.events);
        DoEvents();
        EXPECT_EQ(r.got, c.expected) << c.name;
    }
    HoldEvents(false);
    DoEvents();
    EXPECT_EQ(r.got, (std::vector<std::string>{"key 99", "down 1 0 1 2", "dblclick"})) << "the held events, in order";
    SetMainWindowEvents({});
}

// The dialog is the newest window: SDL numbers windows in order of making.
Uint32 NewestWindowId() {
    Uint32 newest = 0;
    for (Uint32 id = 1; id < 64; ++id) newest = SDL_GetWindowFromID(id) ? id : newest;
    return newest;
}

TEST(DialogWindowTest, TurnsSdlInputIntoDialogEvents) {
    PlatformSession session(DisplayKind::Window);
    DialogWindow dialog("Skinディレクトリ選択", 480, 360);
    dialog.Present();
    const Uint32 id = NewestWindowId();
    ASSERT_STREQ(SDL_GetWindowTitle(SDL_GetWindowFromID(id)), "Skinディレクトリ選択");
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    Push({KeyDown(id, SDLK_DOWN), KeyDown(id, SDLK_TAB, KMOD_LSHIFT), KeyDown(id, SDLK_KP_ENTER), KeyDown(id, SDLK_a),
          Text(id, "o\x01\xFF"), Text(id, "桜"), Button(id, 30, 40, 2), Button(id, 30, 40, 1, SDL_BUTTON_RIGHT),
          KeyDown(id + 100, SDLK_ESCAPE), Other(SDL_WINDOWEVENT, id)});
    std::vector<std::string> got;
    for (int i = 0; i < 40 && (got.empty() || got.back()[0] != '4'); ++i) {
        if (auto e = dialog.NextEvent())
            got.push_back(Words(int(e->Type), int(e->Code), e->Shift, uint32_t(e->Character), e->X, e->Y, e->Clicks));
    }
    // Kind (Key 0, Character 1, MouseDown 2, Close 4), code (Down 2, Tab 9, Enter 10), Shift, character, x, y, clicks.
    EXPECT_EQ(got, (std::vector<std::string>{"0 2 0 0 0 0 1", "0 9 1 0 0 0 1", "0 10 0 0 0 0 1", "1 0 0 111 0 0 1",
                                             "1 0 0 26716 0 0 1", "2 0 0 0 30 40 2", "4 0 0 0 0 0 1"}));
}

TEST(DialogWindowTest, ClosingLeavesNoInputForTheMainWindowButAnEndRequest) {
    PlatformSession session(DisplayKind::Window);
    Recorder r;
    r.Install();
    {
        DialogWindow dialog("chooser", 200, 100);
        const Uint32 id = NewestWindowId();
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        Push({KeyDown(id, SDLK_o), Text(id, "o")});
        while (dialog.NextEvent()) {}  // the dialog has waited for input
        // Its input still queued, and the main window's.
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
