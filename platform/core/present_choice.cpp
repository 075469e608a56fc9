// The player's or the environment's present choice, and software rasterisers by name.
#include "platform/core/present_choice.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string>

namespace dexlora {

namespace {

constexpr std::array<std::string_view, 3> ChoiceNames{"auto", "software", "accelerated"};

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return lower;
}

}  // namespace

std::optional<PresentChoice> ParsePresentChoice(std::string_view text) {
    const std::string lower = Lower(text);
    for (size_t i = 0; i < ChoiceNames.size(); ++i)
        if (lower == ChoiceNames[i]) return PresentChoice(i);
    return std::nullopt;
}

std::string_view PresentChoiceName(PresentChoice choice) { return ChoiceNames[size_t(choice)]; }

PresentChoice EffectivePresentChoice(const char* environment, PresentChoice player) {
    if (environment == nullptr) return player;
    return ParsePresentChoice(environment).value_or(player);
}

bool IsSoftwareRasteriser(std::string_view glRenderer) {
    // Mesa's llvmpipe, softpipe and swrast (classic and gallium, "Software
    // Rasterizer"), OpenSWR, the Vulkan lavapipe behind Zink, and Windows'
    // and Apple's own.
    const std::string name = Lower(glRenderer);
    for (std::string_view soft : {"llvmpipe", "softpipe", "swrast", "software", "swr (", "lavapipe",
                                  "basic render driver"}) {
        if (name.find(soft) != std::string::npos) return true;
    }
    return false;
}

}  // namespace dexlora
