// The dialog window on the real display under SDL's dummy driver: SDL input
// pushed at it comes back as dialog events, and what it leaves behind when it
// closes never reaches the main window, except a request to end the program.
#include "platform/dialog_window.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/window.h"
#include "tests/platform/sdl_events.h"

namespace dexlora {
namespace {

using test::Button;
using test::KeyDown;
using test::Text;

// The dialog is the newest window: SDL numbers windows in order of making.
Uint32 NewestWindowId() {
    Uint32 newest = 0;
    for (Uint32 id = 1; id < 64; ++id) {
        if (SDL_GetWindowFromID(id) != nullptr) newest = id;
    }
    return newest;
}

SDL_Event WindowClose(Uint32 window) {
    SDL_Event e{};
    e.window.type = SDL_WINDOWEVENT;
    e.window.windowID = window;
    e.window.event = SDL_WINDOWEVENT_CLOSE;
    return e;
}

// An event as a short text, to compare whole sequences.
std::string Describe(const DialogEvent& e) {
    using K = DialogEvent::Kind;
    switch (e.Type) {
    case K::Key: return "key " + std::to_string(int(e.Code)) + (e.Shift ? " shift" : "");
    case K::Character: return "char " + std::to_string(uint32_t(e.Character));
    case K::MouseDown: return "down " + std::to_string(e.X) + "," + std::to_string(e.Y) + " x" + std::to_string(e.Clicks);
    case K::Wheel: return "wheel " + std::to_string(e.WheelLines);
    case K::Close: return "close";
    }
    return "?";
}

TEST(DialogWindowReal, TurnsSdlInputIntoDialogEvents) {
    PlatformSession session(DisplayKind::Window);
    DialogWindow dialog("Skinディレクトリ選択", 480, 360);
    dialog.Surface().FillRect({0, 0, 480, 360}, 0x336699);
    dialog.Present();
    const Uint32 id = NewestWindowId();
    ASSERT_NE(id, 0u);
    EXPECT_STREQ(SDL_GetWindowTitle(SDL_GetWindowFromID(id)), "Skinディレクトリ選択");

    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    std::vector<SDL_Event> pushed = {
        KeyDown(id, SDLK_DOWN),
        KeyDown(id, SDLK_TAB, KMOD_LSHIFT),
        KeyDown(id, SDLK_KP_ENTER),
        KeyDown(id, SDLK_a),        // typed letters come as text
        Text(id, "o\x01\xFF"),      // a control character and a malformed byte are no characters
        Text(id, "桜"),
        Button(id, SDL_BUTTON_LEFT, 30, 40, 2),
        Button(id, SDL_BUTTON_RIGHT, 30, 40, 1),
        KeyDown(id + 100, SDLK_ESCAPE),  // another window's key
        WindowClose(id),
    };
    for (SDL_Event& e : pushed) ASSERT_EQ(SDL_PushEvent(&e), 1);
    std::vector<std::string> got;
    for (int i = 0; i < 40 && (got.empty() || got.back() != "close"); ++i) {
        if (auto e = dialog.NextEvent()) got.push_back(Describe(*e));
    }
    const std::vector<std::string> expected = {
        "key " + std::to_string(int(KeyCode::Down)),
        "key " + std::to_string(int(KeyCode::Tab)) + " shift",
        "key " + std::to_string(int(KeyCode::Enter)),
        "char 111",
        "char 26716",
        "down 30,40 x2",
        "close",
    };
    EXPECT_EQ(got, expected);
}

TEST(DialogWindowReal, LeavesNoInputForTheMainWindow) {
    PlatformSession session(DisplayKind::Window);
    std::vector<char32_t> keys;
    SetMainWindowEvents({.KeyPress = [&](char32_t& key) { keys.push_back(key); }, .MouseDown = nullptr,
                         .DblClick = nullptr});
    {
        DialogWindow dialog("chooser", 200, 100);
        const Uint32 id = NewestWindowId();
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        // The key that closed it, then its text and more keys for the dialog
        // still queued; a key for the main window stays.
        for (SDL_Event e : {KeyDown(id, SDLK_o), Text(id, "o"), KeyDown(id, SDLK_RETURN), Text(id, "x"),
                            KeyDown(id - 1, SDLK_ESCAPE)}) {
            ASSERT_EQ(SDL_PushEvent(&e), 1);
        }
    }
    DoEvents();
    EXPECT_EQ(keys, std::vector<char32_t>{27});

    // A request to end the program closes the dialog and still reaches the
    // main window, as Esc.
    keys.clear();
    {
        DialogWindow dialog("chooser", 200, 100);
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        SDL_Event quit{.type = SDL_QUIT};
        ASSERT_EQ(SDL_PushEvent(&quit), 1);
        std::optional<DialogEvent> event;
        for (int i = 0; i < 10 && !event; ++i) event = dialog.NextEvent();
        ASSERT_TRUE(event);
        EXPECT_EQ(event->Type, DialogEvent::Kind::Close);
    }
    DoEvents();
    EXPECT_EQ(keys, std::vector<char32_t>{27});
}

}  // namespace
}  // namespace dexlora
