// DirectSound volumes (hundredths of a decibel) on the mixer's linear scale.
// Private to platform/; no SDL.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace dexlora::platform_detail {

inline constexpr int MixerFullVolume = 128;

// 0 is full volume, -10000 silence; gains above full are not possible.
inline int MixerVolume(int32_t hundredthsOfDecibel) {
    const double decibels = std::min(hundredthsOfDecibel, 0) / 100.0;
    const long level = std::lround(MixerFullVolume * std::pow(10.0, decibels / 20.0));
    return static_cast<int>(std::clamp(level, 0L, static_cast<long>(MixerFullVolume)));
}

}  // namespace dexlora::platform_detail
