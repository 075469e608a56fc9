// The order in which the screen is taken: the cooperative level, then the
// display depths in turn, with errors left standing between the calls.
#pragma once

#include <cstdint>
#include <exception>

#include "platform/core/error.h"
#include "platform/surface.h"

namespace dexlora {

// The error number a call leaves behind: 0 when it succeeded.
template <class Call>
int32_t ErrorNumberOfCall(Call&& call) {
    try {
        call();
        return 0;
    } catch (const RuntimeError& e) {
        return e.Number != 0 ? e.Number : ErrDirectX;
    } catch (const std::exception&) {
        return ErrDirectX;
    }
}

// Sets the cooperative level (full screen, exclusive, as the game always
// asks for it) and then the first of the depths that the
// display accepts. A failing cooperative level leaves its error standing, so
// the first depth counts as refused even when it was set, and the next is
// tried. Answers the depth in use, or 0 when the last depth was refused too.
template <class Device, class Depths>
int32_t TakeDisplayMode(Device& dd, int64_t hWnd, const Depths& depths) {
    int32_t err = ErrorNumberOfCall([&] { dd.SetCooperativeLevel(hWnd, DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_EXCLUSIVE | DDSCL_ALLOWMODEX); });
    for (int32_t depth : depths) {
        int32_t modeErr = ErrorNumberOfCall([&] { dd.SetDisplayMode(ScreenWidth, ScreenHeight, depth, 0, 0); });
        if (modeErr != 0) err = modeErr;
        if (err == 0) return depth;
        err = 0;
    }
    return 0;
}

}  // namespace dexlora
