// How frames reach the screen: the environment's choice over the player's, and software rasterisers by name.
#include <gtest/gtest.h>

#include "platform/core/present_choice.h"

namespace dexlora {
namespace {

TEST(PresentChoiceTest, TheEnvironmentWinsWhenItNamesAChoice) {
    using C = PresentChoice;
    const struct { const char* environment; C player, expected; } rows[] = {
        {nullptr, C::Software, C::Software}, {"accelerated", C::Software, C::Accelerated},
        {"SOFTWARE", C::Auto, C::Software},  {"auto", C::Accelerated, C::Auto},
        {"fast", C::Accelerated, C::Accelerated}, {"", C::Software, C::Software},
        {"software ", C::Auto, C::Auto},
    };
    for (const auto& r : rows)
        EXPECT_EQ(EffectivePresentChoice(r.environment, r.player), r.expected) << (r.environment ? r.environment : "unset");
    for (C c : {C::Auto, C::Software, C::Accelerated}) EXPECT_EQ(ParsePresentChoice(PresentChoiceName(c)), c);
}

TEST(PresentChoiceTest, SoftwareRasterisersAreToldByTheirRendererName) {
    const struct { const char* renderer; bool software; } rows[] = {
        {"llvmpipe (LLVM 15.0.6, 256 bits)", true},
        {"softpipe", true},
        {"Software Rasterizer", true},
        {"SWR (LLVM 7.0.1, 256 bits)", true},
        {"zink (lavapipe)", true},
        {"Microsoft Basic Render Driver", true},
        {"AMD Radeon RX 6600 (navi23, LLVM 15.0.6, DRM 3.49, 6.1.0-13-amd64)", false},
        {"Mesa Intel(R) UHD Graphics 620 (KBL GT2)", false},
        {"NVIDIA GeForce RTX 3060/PCIe/SSE2", false},
        {"virgl (Mesa Intel(R) Iris Xe Graphics)", false},
        {"", false},
    };
    for (const auto& r : rows) EXPECT_EQ(IsSoftwareRasteriser(r.renderer), r.software) << r.renderer;
}

}  // namespace
}  // namespace dexlora
