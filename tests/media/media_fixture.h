// The media tests' fixture: a headless session with display, sound device and
// a scratch folder, and the little helpers the tests share.
#pragma once

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
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

// While alive, records the largest single block SDL and its image decoders ask
// for (in Largest), and refuses blocks of a gigabyte or more instead of
// handing them out. The functions forward to the C library's, which SDL uses
// by default, so blocks may cross from before to after its lifetime.
class LargestAllocation {
public:
    LargestAllocation() {
        SDL_GetMemoryFunctions(&malloc_, &calloc_, &realloc_, &free_);
        Largest = 0;
        SDL_SetMemoryFunctions(
            [](size_t size) { return Note(size) ? std::malloc(size) : nullptr; },
            [](size_t count, size_t size) {
                return Note(count > 0 && size > SIZE_MAX / count ? SIZE_MAX : count * size) ? std::calloc(count, size)
                                                                                              : nullptr;
            },
            [](void* block, size_t size) { return Note(size) ? std::realloc(block, size) : nullptr; },
            [](void* block) { std::free(block); });
    }
    ~LargestAllocation() { SDL_SetMemoryFunctions(malloc_, calloc_, realloc_, free_); }
    LargestAllocation(const LargestAllocation&) = delete;
    LargestAllocation& operator=(const LargestAllocation&) = delete;

    static inline size_t Largest = 0;

private:
    static bool Note(size_t size) {
        Largest = std::max(Largest, size);
        return size < (size_t{1} << 30);
    }
    SDL_malloc_func malloc_ = nullptr;
    SDL_calloc_func calloc_ = nullptr;
    SDL_realloc_func realloc_ = nullptr;
    SDL_free_func free_ = nullptr;
};

class MediaTest : public ::testing::Test {
protected:
    std::unique_ptr<PlatformSession> session = std::make_unique<PlatformSession>(DisplayKind::Headless);
    DirectDrawPtr ddraw = DirectDrawCreate("");
    DirectSoundPtr dsound = DirectSoundCreate("");
    testing_support::TempFolder folder;
};

}  // namespace dexlora::test
