// The media tests' fixture: a headless session with display, sound device and
// a scratch folder, and the little helpers the tests share.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/sound.h"
#include "platform/surface.h"
#include "platform/window.h"
#include "tests/platform_core/temp_folder.h"

namespace dexlora::test {

constexpr int32_t Red = 0x0000FF, Green = 0x00FF00, Blue = 0xFF0000, White = 0xFFFFFF, Black = 0;

// Little-endian fields.
inline std::string Le16(uint32_t v) { return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)}; }
inline std::string Le32(uint32_t v) { return Le16(v & 0xFFFF) + Le16(v >> 16); }

// The error number an operation raises, 0 when it raises none.
inline int32_t ErrorOf(const std::function<void()>& operation) {
    try {
        operation();
        return 0;
    } catch (const RuntimeError& e) {
        return e.Number;
    }
}

class MediaTest : public ::testing::Test {
protected:
    std::unique_ptr<PlatformSession> session = std::make_unique<PlatformSession>(DisplayKind::Headless);
    DirectDrawPtr ddraw = DirectDrawCreate("");
    DirectSoundPtr dsound = DirectSoundCreate("");
    testing_support::TempFolder folder;
};

}  // namespace dexlora::test
