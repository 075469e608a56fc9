// Dialog windows: an SDL window shown through its own window surface (or a
// renderer where there is none) on the real display, a scripted stand-in on
// the headless one. Both compose on a game surface.
#include "platform/dialog_window.h"

#include <deque>

#include "platform/core/encoding.h"
#include "platform/detail/display_backend.h"
#include "platform/detail/headless_dialog.h"
#include "platform/detail/sdl_internal.h"

namespace dexlora {

namespace {

// How long NextEvent waits for input before it lets the caller redraw, and
// how often it looks meanwhile.
constexpr Uint64 WaitMs = 100;
constexpr Uint32 PollMs = 5;

KeyCode KeyCodeOf(SDL_Keycode sym) {
    switch (sym) {
    case SDLK_UP: return KeyCode::Up;
    case SDLK_DOWN: return KeyCode::Down;
    case SDLK_LEFT: return KeyCode::Left;
    case SDLK_RIGHT: return KeyCode::Right;
    case SDLK_PAGEUP: return KeyCode::PageUp;
    case SDLK_PAGEDOWN: return KeyCode::PageDown;
    case SDLK_HOME: return KeyCode::Home;
    case SDLK_END: return KeyCode::End;
    case SDLK_TAB: return KeyCode::Tab;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return KeyCode::Enter;
    case SDLK_ESCAPE: return KeyCode::Escape;
    case SDLK_BACKSPACE: return KeyCode::Backspace;
    case SDLK_SPACE: return KeyCode::Space;
    case SDLK_F10: return KeyCode::F10;
    default: return KeyCode::None;
    }
}

// Control characters come as keys; malformed bytes are no characters.
bool IsTypedCharacter(char32_t code) { return code >= 0x20 && code != 0x7F && code != 0xFFFD; }

}  // namespace

struct DialogWindow::Impl {
    std::string caption;
    SurfacePtr surface;
    std::deque<DialogEvent> pending;
    bool headless = true;
    bool quitRequested = false;
    bool shown = false;
    // The real display only: the window shown through its own surface, or,
    // where the video driver offers no window surface, through a renderer.
    platform_detail::WindowOwner window;
    std::optional<platform_detail::FrameWindow> frames;

    void OpenWindow(int width, int height) {
        // The dialog is shown unscaled, so the window's own surface (shared
        // memory on X11) does: no renderer, and no OpenGL context made and
        // its shaders compiled for one small window. SDL would otherwise back
        // the window surface with a texture of an accelerated renderer; a
        // user's own setting of the hint still wins.
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        window.reset(SDL_CreateWindow(caption.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                                      SDL_WINDOW_SHOWN));
        if (!window) platform_detail::FailSdl("SDL_CreateWindow");
        if (SDL_GetWindowSurface(window.get()) == nullptr) {
            window.reset();
            frames.emplace(caption.c_str(), width, height, SDL_WINDOW_SHOWN, platform_detail::GamePixelFormat);
        }
        SDL_RaiseWindow(Window());
        SDL_StartTextInput();
    }

    SDL_Window* Window() const { return frames ? frames->window.get() : window.get(); }

    // Shows the picture: copied onto the window's surface (made again after
    // the window changed), or uploaded for the renderer.
    void Show() {
        if (frames) {
            frames->Upload(*surface->impl().surface);
            frames->Show();
            return;
        }
        SDL_Surface* shown = SDL_GetWindowSurface(window.get());
        if (shown == nullptr) platform_detail::FailSdl("SDL_GetWindowSurface");
        if (SDL_BlitSurface(surface->impl().surface.get(), nullptr, shown, nullptr) != 0) {
            platform_detail::FailSdl("SDL_BlitSurface");
        }
        if (SDL_UpdateWindowSurface(window.get()) != 0) platform_detail::FailSdl("SDL_UpdateWindowSurface");
    }

    bool Ours(Uint32 windowId) const { return windowId == 0 || windowId == SDL_GetWindowID(Window()); }

    void Translate(const SDL_Event& event) {
        switch (event.type) {
        case SDL_QUIT:
            // The program is asked to end: the dialog closes, and the main
            // window is asked again once it runs.
            quitRequested = true;
            pending.push_back({.Type = DialogEvent::Kind::Close});
            break;
        case SDL_WINDOWEVENT:
            if (!Ours(event.window.windowID)) break;
            if (event.window.event == SDL_WINDOWEVENT_CLOSE) pending.push_back({.Type = DialogEvent::Kind::Close});
            if (event.window.event == SDL_WINDOWEVENT_EXPOSED) Show();
            break;
        case SDL_KEYDOWN:
            if (Ours(event.key.windowID)) {
                const KeyCode code = KeyCodeOf(event.key.keysym.sym);
                if (code != KeyCode::None) {
                    pending.push_back({.Type = DialogEvent::Kind::Key,
                                       .Code = code,
                                       .Shift = (event.key.keysym.mod & KMOD_SHIFT) != 0});
                }
            }
            break;
        case SDL_TEXTINPUT:
            if (!Ours(event.text.windowID)) break;
            for (char32_t code : Utf8ToU32(event.text.text)) {
                if (IsTypedCharacter(code)) pending.push_back({.Type = DialogEvent::Kind::Character, .Character = code});
            }
            break;
        case SDL_MOUSEBUTTONDOWN:
            if (Ours(event.button.windowID) && event.button.button == SDL_BUTTON_LEFT) {
                pending.push_back({.Type = DialogEvent::Kind::MouseDown,
                                   .X = event.button.x,
                                   .Y = event.button.y,
                                   .Clicks = event.button.clicks});
            }
            break;
        case SDL_MOUSEWHEEL:
            if (Ours(event.wheel.windowID) && event.wheel.y != 0) {
                int x = 0, y = 0;
                SDL_GetMouseState(&x, &y);
                const int lines = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y;
                pending.push_back({.Type = DialogEvent::Kind::Wheel, .X = x, .Y = y, .WheelLines = lines});
            }
            break;
        default: break;
        }
    }

    void TranslateScripted(const headless::ScriptedEvent& e) {
        using Kind = headless::ScriptedEvent::Kind;
        switch (e.Type) {
        case Kind::Key:
            switch (e.Key) {
            case 27: pending.push_back({.Type = DialogEvent::Kind::Key, .Code = KeyCode::Escape}); break;
            case 13: pending.push_back({.Type = DialogEvent::Kind::Key, .Code = KeyCode::Enter}); break;
            case 9: pending.push_back({.Type = DialogEvent::Kind::Key, .Code = KeyCode::Tab}); break;
            case 8: pending.push_back({.Type = DialogEvent::Kind::Key, .Code = KeyCode::Backspace}); break;
            default:
                if (IsTypedCharacter(e.Key)) pending.push_back({.Type = DialogEvent::Kind::Character, .Character = e.Key});
                break;
            }
            break;
        case Kind::KeyDown:
            if (e.Code != KeyCode::None) {
                pending.push_back({.Type = DialogEvent::Kind::Key, .Code = e.Code, .Shift = (e.Shift & 1) != 0});
            }
            break;
        case Kind::MouseDown:
        case Kind::DblClick:
            if (e.Button == 1) {
                pending.push_back({.Type = DialogEvent::Kind::MouseDown,
                                   .X = int(e.X),
                                   .Y = int(e.Y),
                                   .Clicks = e.Type == Kind::DblClick ? 2 : 1});
            }
            break;
        case Kind::Close: pending.push_back({.Type = DialogEvent::Kind::Close}); break;
        }
    }
};

DialogWindow::DialogWindow(std::string_view caption, int width, int height) : impl_(std::make_unique<Impl>()) {
    DisplayBackend* display = platform_detail::CurrentBackend();
    if (display == nullptr) throw RuntimeError(ErrDirectX, "no display: the platform session has ended");
    auto pixels = platform_detail::NewGameSurface(width, height);
    if (!pixels) throw RuntimeError(ErrDirectX, "DialogWindow: cannot make a surface of that size");
    impl_->caption = caption;
    impl_->surface = MakeSurface(std::move(pixels));
    impl_->headless = display->Kind() == DisplayKind::Headless;
    if (!impl_->headless) impl_->OpenWindow(width, height);
}

DialogWindow::~DialogWindow() {
    if (impl_->headless) return;
    const Uint32 id = SDL_GetWindowID(impl_->Window());
    impl_->window.reset();
    impl_->frames.reset();
    // A request to end the program that closed the dialog still ends it.
    if (impl_->quitRequested) {
        SDL_Event quit{};
        quit.type = SDL_QUIT;
        SDL_PushEvent(&quit);
    }
    // Input typed into the dialog must not reach the main window, which
    // reads the same queue once it is shown.
    SDL_PumpEvents();
    SDL_FilterEvents(
        [](void* data, SDL_Event* event) -> int {
            const Uint32 dialog = *static_cast<const Uint32*>(data);
            switch (event->type) {
            case SDL_KEYDOWN:
            case SDL_KEYUP: return event->key.windowID != dialog;
            case SDL_TEXTINPUT: return event->text.windowID != dialog;
            case SDL_TEXTEDITING: return event->edit.windowID != dialog;
            case SDL_MOUSEBUTTONDOWN:
            case SDL_MOUSEBUTTONUP: return event->button.windowID != dialog;
            case SDL_MOUSEMOTION: return event->motion.windowID != dialog;
            case SDL_MOUSEWHEEL: return event->wheel.windowID != dialog;
            case SDL_WINDOWEVENT: return event->window.windowID != dialog;
            default: return 1;
            }
        },
        const_cast<Uint32*>(&id));
    // The dialog's polls leave marks that end a poll cycle early; the main
    // window's first DoEvents must see everything left for it.
    SDL_FlushEvent(SDL_POLLSENTINEL);
}

DirectDrawSurface7& DialogWindow::Surface() { return *impl_->surface; }

void DialogWindow::Present() {
    impl_->shown = true;
    if (impl_->headless) {
        platform_detail::ShowHeadlessDialogFrame(*impl_->surface, impl_->caption);
        return;
    }
    impl_->Show();
}

std::optional<DialogEvent> DialogWindow::NextEvent() {
    if (impl_->pending.empty() && impl_->shown && platform_detail::ExitAfterFirstFrame()) {
        impl_->pending.push_back({.Type = DialogEvent::Kind::Close});
    }
    if (impl_->pending.empty()) {
        if (impl_->headless) {
            if (auto scripted = platform_detail::TakeDueScriptedEvent()) {
                impl_->TranslateScripted(*scripted);
            } else if (headless::PendingEvents() == 0) {
                // Nothing can ever arrive: close as the close control would.
                impl_->pending.push_back({.Type = DialogEvent::Kind::Close});
            } else {
                platform_detail::WaitOneRefresh();
            }
        } else {
            // Polled, never waited for: SDL 2.26 on X11 ends a wait by sending
            // the waiting window a message over a second connection, also for
            // the very event that ends the wait. A dialog that closes on that
            // event destroys its window before the X server may have read the
            // message, which then fails against a window that is gone; the
            // failure is read when SDL closes that connection at the end of
            // the session, and Xlib ends the program there with status 1.
            const Uint64 until = SDL_GetTicks64() + WaitMs;
            SDL_Event event;
            for (;;) {
                if (SDL_PollEvent(&event) != 0) {
                    impl_->Translate(event);
                    break;
                }
                if (SDL_GetTicks64() >= until) break;
                SDL_Delay(PollMs);
            }
        }
    }
    if (impl_->pending.empty()) return std::nullopt;
    DialogEvent next = impl_->pending.front();
    impl_->pending.pop_front();
    return next;
}

}  // namespace dexlora
