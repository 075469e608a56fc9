// SDL input events as the dummy video driver would deliver them, for pushing
// at a window in the real-window tests.
#pragma once

#include <SDL.h>

namespace dexlora::test {

inline SDL_Event KeyDown(Uint32 window, SDL_Keycode sym, Uint16 mod = KMOD_NONE, Uint8 repeat = 0) {
    SDL_Event e{};
    e.key.type = SDL_KEYDOWN;
    e.key.windowID = window;
    e.key.state = SDL_PRESSED;
    e.key.repeat = repeat;
    e.key.keysym.sym = sym;
    e.key.keysym.mod = mod;
    return e;
}

inline SDL_Event Text(Uint32 window, const char* utf8) {
    SDL_Event e{};
    e.text.type = SDL_TEXTINPUT;
    e.text.windowID = window;
    SDL_strlcpy(e.text.text, utf8, sizeof e.text.text);
    return e;
}

inline SDL_Event Button(Uint32 window, Uint8 button, int x, int y, Uint8 clicks) {
    SDL_Event e{};
    e.button.type = SDL_MOUSEBUTTONDOWN;
    e.button.windowID = window;
    e.button.button = button;
    e.button.state = SDL_PRESSED;
    e.button.clicks = clicks;
    e.button.x = x;
    e.button.y = y;
    return e;
}

}  // namespace dexlora::test
