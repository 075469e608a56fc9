// Private to platform/: owners of SDL objects, the error raised when SDL
// refuses, and a window showing game frames (its renderer and one streaming
// texture), shared by the main window and the dialog windows.
#pragma once

#include <SDL.h>

#include <memory>
#include <string>

#include "platform/core/error.h"

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

// A window that shows frames of width x height: a renderer waiting for the
// display's refresh where it can (software otherwise) and a streaming texture
// in the game's pixel format. Failing steps raise RuntimeError ErrDirectX.
struct FrameWindow {
    WindowOwner window;
    RendererOwner renderer;
    TextureOwner texture;

    FrameWindow(const char* caption, int width, int height, Uint32 windowFlags, Uint32 pixelFormat) : frameWidth(width) {
        window.reset(SDL_CreateWindow(caption, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                                      windowFlags));
        if (!window) FailSdl("SDL_CreateWindow");
        renderer.reset(SDL_CreateRenderer(window.get(), -1, SDL_RENDERER_PRESENTVSYNC));
        if (!renderer) renderer.reset(SDL_CreateRenderer(window.get(), -1, SDL_RENDERER_SOFTWARE));
        if (!renderer) FailSdl("SDL_CreateRenderer");
        texture.reset(SDL_CreateTexture(renderer.get(), pixelFormat, SDL_TEXTUREACCESS_STREAMING, width, height));
        if (!texture) FailSdl("SDL_CreateTexture");
    }

    int frameWidth = 0;  // of the frames the window was made for

    // Copies a frame into the texture, which takes the frame's size.
    void Upload(const SDL_Surface& frame) {
        int w = 0, h = 0;
        SDL_QueryTexture(texture.get(), nullptr, nullptr, &w, &h);
        if (w != frame.w || h != frame.h) {
            texture.reset(SDL_CreateTexture(renderer.get(), frame.format->format, SDL_TEXTUREACCESS_STREAMING,
                                            frame.w, frame.h));
            if (!texture) FailSdl("SDL_CreateTexture");
            // A frame composed at the output's own size is shown pixel for
            // pixel: nothing to filter.
            if (frame.w != frameWidth) SDL_SetTextureScaleMode(texture.get(), SDL_ScaleModeNearest);
        }
        if (SDL_UpdateTexture(texture.get(), nullptr, frame.pixels, frame.pitch) != 0) FailSdl("SDL_UpdateTexture");
    }

    // Shows the texture on black (the bars around a scaled frame), waiting for
    // the display where the renderer does.
    void Show() {
        if (SDL_SetRenderDrawColor(renderer.get(), 0, 0, 0, SDL_ALPHA_OPAQUE) != 0 ||
            SDL_RenderClear(renderer.get()) != 0) {
            FailSdl("SDL_RenderClear");
        }
        if (SDL_RenderCopy(renderer.get(), texture.get(), nullptr, nullptr) != 0) FailSdl("SDL_RenderCopy");
        SDL_RenderPresent(renderer.get());
    }
};

}  // namespace dexlora::platform_detail
