// The floor of start-up from exec: SDL and SDL_ttf started, the typing
// frame's pictures made, its font matched and texts rendered, a window
// covering the desktop with its renderer, one frame composed and presented,
// and the program ends there, as the game does when measured.
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "plain_sdl/plain_frame.h"

int main() {
    try {
        plain_sdl::Session session;
        plain_sdl::Frame frame(plain_sdl::Placement::Desktop, true);
        frame.Compose();
        frame.Present();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_plain_first_frame: %s\n", e.what());
        return 1;
    }
    std::fflush(nullptr);
    std::_Exit(0);
}
