// How finished frames reach the screen, as the player or the environment
// asks for it, and how a software rasteriser is told by its name.
#pragma once

#include <optional>
#include <string_view>

namespace dexlora {

// Software: SDL's software path, the frame scaled into the window's own
// surface (shared memory with the display server), paced by the clock.
// Accelerated: a renderer that waits for the display's refresh (OpenGL).
// Auto: accelerated, unless that renderer would only be a software
// rasteriser itself (or none can be made).
enum class PresentChoice { Auto, Software, Accelerated };
enum class PresentPath { Software, Accelerated };

// The environment variable that forces a choice over the player's.
inline constexpr const char* PresentVariable = "DEXLORA_PRESENT";

// "auto", "software" or "accelerated", letter case aside; nothing else.
std::optional<PresentChoice> ParsePresentChoice(std::string_view text);
std::string_view PresentChoiceName(PresentChoice choice);

// The choice in force: the environment's value when it names one (null or
// anything else is ignored), otherwise the player's.
PresentChoice EffectivePresentChoice(const char* environment, PresentChoice player);

// Whether an OpenGL renderer string (GL_RENDERER) names a rasteriser that
// runs on the processor: llvmpipe, softpipe, swrast, "Software Rasterizer"...
bool IsSoftwareRasteriser(std::string_view glRenderer);

}  // namespace dexlora
