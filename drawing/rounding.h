// Conversions of computed values to 32-bit whole numbers, as the game's
// arithmetic makes them: nearest with halves to even, or the next whole
// number downwards.
#pragma once

#include <cmath>
#include <cstdint>

#include "platform/core/error.h"

namespace dexlora {

// x to the nearest whole number, halves to the even neighbour (2.5 -> 2,
// 3.5 -> 4, -2.5 -> -2). Raises ErrOverflow when the result does not fit.
inline int32_t RoundHalfEven(double x) {
    double whole = std::floor(x);
    double fraction = x - whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0)) whole += 1.0;
    if (!(whole >= INT32_MIN && whole <= INT32_MAX))
        throw RuntimeError(ErrOverflow, "number out of range");
    return static_cast<int32_t>(whole);
}

// The next whole number downwards (-0.5 -> -1). Raises ErrOverflow when the
// result does not fit.
inline int32_t FloorToLong(double x) {
    double whole = std::floor(x);
    if (!(whole >= INT32_MIN && whole <= INT32_MAX))
        throw RuntimeError(ErrOverflow, "number out of range");
    return static_cast<int32_t>(whole);
}

// The next whole number downwards, saturated to the 32-bit range
// so that a far-flown position stays far away instead of wrapping round.
inline int32_t FloorSaturated(double x) {
    double whole = std::floor(x);
    if (std::isnan(whole)) return 0;
    if (whole <= INT32_MIN) return INT32_MIN;
    if (whole >= INT32_MAX) return INT32_MAX;
    return static_cast<int32_t>(whole);
}

}  // namespace dexlora
