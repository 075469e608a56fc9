// Private to platform/: owners of SDL objects, the error raised when SDL
// refuses, and a window showing game frames, shared by the main window and
// the dialog windows.
#pragma once

#include <SDL.h>

#include <memory>
#include <string>

#include "platform/core/error.h"
#include "platform/core/present_choice.h"
#include "platform/detail/frame_scale.h"

namespace dexlora::platform_detail {

// Releases an SDL object with the function SDL gives for it.
template <auto Release>
struct SdlRelease {
    template <typename T>
    void operator()(T* object) const {
        Release(object);
    }
};

using WindowOwner = std::unique_ptr<SDL_Window, SdlRelease<SDL_DestroyWindow>>;
using RendererOwner = std::unique_ptr<SDL_Renderer, SdlRelease<SDL_DestroyRenderer>>;
using TextureOwner = std::unique_ptr<SDL_Texture, SdlRelease<SDL_DestroyTexture>>;
using SurfaceOwner = std::unique_ptr<SDL_Surface, SdlRelease<SDL_FreeSurface>>;
using StreamOwner = std::unique_ptr<SDL_RWops, SdlRelease<SDL_RWclose>>;
using AudioStreamOwner = std::unique_ptr<SDL_AudioStream, SdlRelease<SDL_FreeAudioStream>>;

// Raises RuntimeError ErrDirectX naming the SDL call that failed and SDL's reason.
[[noreturn]] inline void FailSdl(const std::string& call) {
    throw RuntimeError(ErrDirectX, call + ": " + SDL_GetError());
}

// A window that shows frames of width x height, scaled to the window with
// their aspect kept, by one of two paths (Software until one is chosen).
// Software: the frame is scaled into the window's own surface, which the
// display server reads from shared memory. Accelerated: the frame goes to a
// streaming texture in the game's pixel format, drawn by a renderer that
// waits for the display's refresh (SDL's software renderer where none can be
// made). Failing steps raise RuntimeError ErrDirectX.
struct FrameWindow {
    WindowOwner window;
    RendererOwner renderer;  // Accelerated only
    TextureOwner texture;    // Accelerated only

    FrameWindow(const char* caption, int width, int height, Uint32 windowFlags, Uint32 pixelFormat);

    // Sets the path, from the next frame on.
    void Choose(PresentPath path);
    bool Chosen() const { return chosen_; }
    PresentPath Path() const { return path_; }

    // Puts a frame where the next Show shows it: of the window's frame size,
    // or composed at the output's own scale (shown pixel for pixel).
    void Upload(const SDL_Surface& frame);
    // Shows the last frame uploaded, waiting for the display where the
    // renderer does. Bars around a scaled frame are black.
    void Show();
    // A point of the window in frame pixels (beyond the frame's edges on a
    // bar), for the software path; the accelerated one maps events itself.
    void ToFrame(int& x, int& y) const;

private:
    // The window's surface, made anew (black) after a change of size.
    SDL_Surface& Target();

    int width_, height_;
    Uint32 pixelFormat_;
    bool chosen_ = false;
    PresentPath path_ = PresentPath::Software;
    SDL_Surface* target_ = nullptr;  // the window surface the area was set for, and its size
    int targetW_ = 0, targetH_ = 0;
    SDL_Rect area_{0, 0, 0, 0};      // the frame's place in it
    FrameScaler scaler_;
};

}  // namespace dexlora::platform_detail
