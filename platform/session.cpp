// The platform session: SDL from start to end, and the display behind it.
#include <malloc.h>

#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/core/profile.h"
#include "platform/detail/display_backend.h"
#include "platform/detail/display_factory.h"
#include "platform/detail/sdl_internal.h"

namespace dexlora {

namespace {

struct Session {
    DisplayKind kind = DisplayKind::Headless;
    std::unique_ptr<DisplayBackend> display;
    std::vector<std::function<void()>> teardowns;
};

// The one running session; PlatformSession owns it for its lifetime.
std::unique_ptr<Session> g_session;

// Why no window can be shown: no display named, or the one named cannot be
// opened (a display server that is not running, or refuses this user).
std::string NoDisplayMessage() {
    std::string named;
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0') named += (named.empty() ? "" : ", ") + std::string(variable) + "=" + value;
    }
    if (named.empty()) return "no display to open the game window on (DISPLAY is not set)";
    return "the display cannot be opened (" + named + ")";
}

}  // namespace

namespace platform_detail {

DisplayBackend* CurrentBackend() { return g_session ? g_session->display.get() : nullptr; }

void AtSessionEnd(std::function<void()> teardown) {
    if (g_session) g_session->teardowns.push_back(std::move(teardown));
}

}  // namespace platform_detail

PlatformSession::PlatformSession(DisplayKind kind) {
    if (g_session) throw std::logic_error("a platform session is already running");
    // Pixels come and go in blocks of hundreds of kilobytes (a picture decoded
    // for scaling, then freed). A fixed threshold keeps every such block in
    // its own mapping, returned when freed; the allocator would otherwise
    // raise it after the first free and keep the freed pixels resident.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    if (kind == DisplayKind::Headless) {
        // Set for SDL_Init and for the audio subsystem that the sound code
        // opens later; the environment also reaches SDL_mixer.
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
        SDL_SetHint(SDL_HINT_AUDIODRIVER, "dummy");
        // A test that hangs must stay killable by its runner's timeout: leave
        // SIGINT and SIGTERM alone instead of turning them into a quit event.
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
    }
    // Asked before SDL starts here: the question is put to a child process,
    // unless the environment has settled it.
    std::unique_ptr<platform_detail::PresentChooser> chooser;
    if (kind == DisplayKind::Window) {
        chooser = std::make_unique<platform_detail::PresentChooser>(
            EffectivePresentChoice(std::getenv(PresentVariable), PresentChoice::Auto) == PresentChoice::Auto);
    }
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER) != 0) {
        throw RuntimeError(ErrDirectX, std::string("SDL_Init: ") + SDL_GetError());
    }
    if (kind == DisplayKind::Window && std::getenv("SDL_VIDEODRIVER") == nullptr) {
        // Without a display SDL falls back to drivers that show nothing: the
        // game would run unseen. Tests ask for those drivers by name.
        const std::string driver = SDL_GetCurrentVideoDriver() ? SDL_GetCurrentVideoDriver() : "";
        if (driver.empty() || driver == "offscreen" || driver == "dummy") {
            SDL_Quit();
            throw RuntimeError(ErrDirectX, NoDisplayMessage());
        }
    }
    auto session = std::make_unique<Session>();
    session->kind = kind;
    try {
        session->display = kind == DisplayKind::Headless ? platform_detail::MakeHeadlessDisplay()
                                                         : platform_detail::MakeWindowDisplay(std::move(chooser));
    } catch (...) {
        SDL_Quit();
        throw;
    }
    g_session = std::move(session);
}

PlatformSession::~PlatformSession() {
    // Fonts, rendered texts and audio close before the display, the display
    // before SDL; the settings files read go too.
    auto& teardowns = g_session->teardowns;
    while (!teardowns.empty()) {
        auto teardown = std::move(teardowns.back());
        teardowns.pop_back();
        teardown();
    }
    g_session->display.reset();
    g_session.reset();
    platform_detail::ResetWindowState();
    ForgetProfiles();
    SDL_Quit();
}

DisplayKind CurrentDisplayKind() { return g_session ? g_session->kind : DisplayKind::Headless; }

}  // namespace dexlora
