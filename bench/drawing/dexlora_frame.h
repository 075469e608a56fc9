// The typing-scene frame composed through the game's drawing layer: the
// background copy, ten keyed 128x128 sprites, a keyed 400x60 text window,
// four 30-character Japanese texts, then Flip.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

#include "drawing/anime_character.h"
#include "platform/window.h"

namespace dexlora::bench {

// How the frame is shown. Headless: the test display, Flip only counts.
// DummyWindow: the real window display on SDL's dummy video driver, windowed
// at 640x480: the upload and present run as in a window shown nowhere.
// Desktop: the real window display as the game takes the screen, a
// borderless window covering the desktop with the frame scaled. Window640:
// the real window display windowed at 640x480 on the display there is.
enum class Shown { Headless, DummyWindow, Desktop, Window640 };

// The display, pictures and sprites of one run. Owns the platform session.
class TypingFrame {
public:
    explicit TypingFrame(Shown shown);
    ~TypingFrame();
    TypingFrame(const TypingFrame&) = delete;
    TypingFrame& operator=(const TypingFrame&) = delete;

    // Advances the sprites one tick, composes the frame on the back buffer
    // and flips. marker colours a square in the corner, as the plain-SDL
    // frame does, so that a frame showing a new input differs.
    void ComposeFrame(int32_t marker = 0);
    // The background copy and Flip alone.
    void CopyAndFlip();

private:
    PlatformSession session_;
    SurfacePtr background_, window_;
    std::vector<std::unique_ptr<clsAnimeCharacter>> sprites_;
    StdFont font_;
    std::filesystem::path folder_;
};

}  // namespace dexlora::bench
