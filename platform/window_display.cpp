// The real window: one SDL window showing 640x480 frames scaled and
// letterboxed, by the software or the accelerated path, and SDL events
// turned into the main window's key and mouse events.
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>

#include "platform/core/encoding.h"
#include "platform/detail/display_factory.h"
#include "platform/detail/sdl_internal.h"

namespace dexlora {

namespace {

using platform_detail::FailSdl;

// A display that shows a frame far quicker than any refresh is not waiting
// for it (vsync refused, window hidden); frames are then paced at 60 Hz so
// that the game never spins at thousands of frames a second.
constexpr Uint64 NoWaitMs = 4;
constexpr Uint64 PacedFrameMs = 16;
// The refresh assumed where the display reports none (a virtual one).
constexpr int DefaultRefreshHz = 60;

using Clock = std::chrono::steady_clock;

// The player's choice, for the main window of this session and the next.
PresentChoice g_playerChoice = PresentChoice::Auto;

int16_t ShiftOf(Uint16 mod) {
    return int16_t(((mod & KMOD_SHIFT) ? 1 : 0) | ((mod & KMOD_CTRL) ? 2 : 0) | ((mod & KMOD_ALT) ? 4 : 0));
}

int16_t ShiftState() { return ShiftOf(SDL_GetModState()); }

int16_t ButtonCode(Uint8 sdlButton) {
    switch (sdlButton) {
    case SDL_BUTTON_LEFT: return 1;
    case SDL_BUTTON_RIGHT: return 2;
    case SDL_BUTTON_MIDDLE: return 4;
    default: return 0;
    }
}

class WindowDisplay final : public DisplayBackend {
public:
    explicit WindowDisplay(std::unique_ptr<platform_detail::PresentChooser> chooser)
        : frames_(MakeFrameWindow()), chooser_(std::move(chooser)) {
        if (const char* forced = std::getenv(PresentVariable)) forced_ = forced;
        SDL_StartTextInput();
    }

    ~WindowDisplay() override {
        SDL_StopTextInput();
        SDL_ShowCursor(SDL_ENABLE);
    }

    DisplayKind Kind() const override { return DisplayKind::Window; }
    int64_t WindowHandle() const override { return SDL_GetWindowID(Window()); }

    void TakeScreen() override {
        ChoosePath();
        fullScreen_ = true;
        ApplyScreenMode();
        SDL_ShowWindow(Window());
        SDL_RaiseWindow(Window());
    }

    void GiveScreenBack() override {
        // The main window is on its way out: leave full screen and let the
        // desktop show, without a windowed frame flashing by.
        if (fullScreen_) {
            fullScreen_ = false;
            ApplyScreenMode();
        }
        SDL_HideWindow(Window());
    }

    // Frames are scaled by the renderer, so any desktop depth of 16 bits and
    // more presents them; 8-bit palettes are not offered.
    bool CanPresentDepth(int32_t bpp) const override { return bpp == 32 || bpp == 24 || bpp == 16; }

    void ShowWindow(bool show) override {
        if (show) {
            ChoosePath();
            SDL_ShowWindow(Window());
        } else {
            SDL_HideWindow(Window());
        }
    }

    void Focus() override { SDL_RaiseWindow(Window()); }
    void ShowPointer(bool show) override { SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE); }

    // A frame that cannot be shown raises RuntimeError ErrDirectX, as a
    // failing Flip does.
    void Present(const DirectDrawSurface7& frame) override {
        ChoosePath();
        frames_.Upload(*frame.impl().surface);
        frames_.Show();
        if (frames_.Path() == PresentPath::Software) {
            PaceToRefresh();
            return;
        }
        Uint64 now = SDL_GetTicks64();
        if (now - lastPresent_ < NoWaitMs) {
            SDL_Delay(Uint32(PacedFrameMs - (now - lastPresent_)));
            now = SDL_GetTicks64();
        }
        lastPresent_ = now;
    }

    void PumpEvents(bool busyWait) override {
        // A busy wait gives the processor away for a moment; its end is still
        // decided by the millisecond counter.
        if (busyWait) SDL_Delay(1);
        SDL_Event event;
        // One event at a time: once a handler holds the events, the rest stay
        // in SDL's queue for the next scene.
        while (platform_detail::MayDeliver() && SDL_PollEvent(&event)) Handle(event);
    }

    uint32_t Ticks() override { return uint32_t(SDL_GetTicks64()); }

    // The letterboxed 640x480 area of the window, as the renderer scales it.
    double OutputScale() const override {
        return std::min(double(outputWidth_) / ScreenWidth, double(outputHeight_) / ScreenHeight);
    }

private:
    static platform_detail::FrameWindow MakeFrameWindow() {
        // Losing the focus must not minimise the game, and a scaled frame
        // reads better filtered than with doubled pixels here and there.
        SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
        SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
        return {"DexloraSoftware", ScreenWidth, ScreenHeight, SDL_WINDOW_HIDDEN, platform_detail::GamePixelFormat};
    }

    SDL_Window* Window() const { return frames_.window.get(); }

    // The path is settled when the window first has to show something, so
    // that the chooser's child has the start-up's time to answer, and again
    // whenever the player's choice has changed since.
    void ChoosePath() {
        const PresentChoice choice =
            EffectivePresentChoice(forced_ ? forced_->c_str() : nullptr, g_playerChoice);
        if (frames_.Chosen() && choice == choice_) return;
        choice_ = choice;
        const bool switching = frames_.Chosen();
        frames_.Choose(chooser_->Path(choice));
        // A renderer for OpenGL makes the window anew, at SDL's idea of its
        // place: the screen mode is put back.
        if (switching) ApplyScreenMode();
        NoteRefresh();
    }

    void NoteRefresh() {
        SDL_DisplayMode mode{};
        const int hz = SDL_GetWindowDisplayMode(Window(), &mode) == 0 && mode.refresh_rate > 0 ? mode.refresh_rate
                                                                                                : DefaultRefreshHz;
        refresh_ = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / hz));
    }

    // The software path waits for nothing: a frame is shown at most once a
    // refresh, by the clock. A late frame starts the count afresh rather than
    // hurrying the next ones.
    void PaceToRefresh() {
        const Clock::time_point now = Clock::now();
        if (nextFrame_ > now) std::this_thread::sleep_until(nextFrame_);
        nextFrame_ = std::max(nextFrame_, now) + refresh_;
    }

    void Handle(const SDL_Event& event) {
        switch (event.type) {
        case SDL_QUIT:
            // Closing the window from outside ends the game the way Esc does.
            platform_detail::DeliverKey(27);
            break;
        case SDL_KEYDOWN: HandleKey(event.key); break;
        case SDL_TEXTINPUT:
            for (char32_t code : Utf8ToU32(event.text.text)) {
                // Esc, Enter and Backspace come from SDL_KEYDOWN only, so that
                // none arrives twice; malformed bytes are not characters.
                if (code >= 0x20 && code != 0x7F && code != 0xFFFD) platform_detail::DeliverKey(code);
            }
            break;
        case SDL_MOUSEBUTTONDOWN: {
            const int16_t button = ButtonCode(event.button.button);
            if (button != 0) {
                int x = event.button.x, y = event.button.y;
                frames_.ToFrame(x, y);
                platform_detail::DeliverMouseDown(button, ShiftState(), float(x), float(y), event.button.clicks);
            }
            break;
        }
        default: break;
        }
    }

    void HandleKey(const SDL_KeyboardEvent& key) {
        const SDL_Keycode sym = key.keysym.sym;
        const bool enter = sym == SDLK_RETURN || sym == SDLK_KP_ENTER;
        if (enter && (key.keysym.mod & KMOD_ALT)) {
            if (!key.repeat) {
                fullScreen_ = !fullScreen_;
                ApplyScreenMode();
            }
            return;
        }
        if (sym == SDLK_ESCAPE) platform_detail::DeliverKey(27);
        if (enter) platform_detail::DeliverKey(13);
        if (sym == SDLK_BACKSPACE) platform_detail::DeliverKey(8);
        if (sym >= SDLK_F1 && sym <= SDLK_F12 && !key.repeat) {
            const auto code = KeyCode(int(KeyCode::F1) + (sym - SDLK_F1));
            platform_detail::DeliverKeyDown(code, ShiftOf(key.keysym.mod));
        }
    }

    void ApplyScreenMode() {
        SDL_Window* w = Window();
        int display = SDL_GetWindowDisplayIndex(w);
        if (display < 0) display = 0;
        SDL_Rect bounds{0, 0, ScreenWidth, ScreenHeight};
        SDL_GetDisplayBounds(display, &bounds);
        if (fullScreen_) {
            // A borderless window covering the desktop: no mode change, and
            // it also works on a screen without a window manager, where
            // SDL's own full-screen-desktop mode gets the size wrong.
            SDL_SetWindowBordered(w, SDL_FALSE);
            SDL_SetWindowPosition(w, bounds.x, bounds.y);
            SDL_SetWindowSize(w, bounds.w, bounds.h);
            outputWidth_ = bounds.w;
            outputHeight_ = bounds.h;
        } else {
            // 640x480, scaled down with its aspect kept on a smaller desktop.
            int width = ScreenWidth, height = ScreenHeight;
            if (bounds.w < width || bounds.h < height) {
                const double scale = std::min(double(bounds.w) / width, double(bounds.h) / height);
                width = int(width * scale);
                height = int(height * scale);
            }
            SDL_SetWindowBordered(w, SDL_TRUE);
            SDL_SetWindowSize(w, width, height);
            outputWidth_ = width;
            outputHeight_ = height;
            SDL_SetWindowPosition(w, SDL_WINDOWPOS_CENTERED_DISPLAY(display), SDL_WINDOWPOS_CENTERED_DISPLAY(display));
        }
        NoteRefresh();
    }

    platform_detail::FrameWindow frames_;
    std::unique_ptr<platform_detail::PresentChooser> chooser_;
    std::optional<std::string> forced_;  // DEXLORA_PRESENT as the session found it
    PresentChoice choice_ = PresentChoice::Auto;
    bool fullScreen_ = false;
    int outputWidth_ = ScreenWidth, outputHeight_ = ScreenHeight;
    Uint64 lastPresent_ = 0;
    Clock::duration refresh_{};
    Clock::time_point nextFrame_{};
};

}  // namespace

void SetPresentChoice(PresentChoice choice) { g_playerChoice = choice; }

std::unique_ptr<DisplayBackend> platform_detail::MakeWindowDisplay(std::unique_ptr<PresentChooser> chooser) {
    return std::make_unique<WindowDisplay>(std::move(chooser));
}

}  // namespace dexlora
