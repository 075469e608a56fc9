// Reading and checking wave files: RIFF/WAVE with 8- or 16-bit PCM in one or
// two channels. Private to platform/; no SDL.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/sound.h"

namespace dexlora::platform_detail {

struct WaveData {
    WAVEFORMATEX Format;          // format tag 1 (PCM)
    int32_t BlockAlign = 0;       // bytes per sample frame
    std::string_view Samples;     // whole frames only, viewing the file's bytes
};

// The most bytes a sound may take once converted to the mixer's format:
// about six minutes of CD-quality stereo, far beyond any sound effect. A
// tiny file at an extreme rate would otherwise grow by a factor of 44100.
inline constexpr uint64_t MaxConvertedSoundBytes = 64u * 1024 * 1024;

// An upper bound of the frames a sound of the given frames becomes when
// resampled from fromRate to toRate (both above 0): the exact ratio rounded
// up, and one frame for the resampler's rounding.
uint64_t ConvertedFramesBound(uint64_t frames, uint32_t fromRate, uint32_t toRate);

// Parses the bytes of a wave file. A file that is not RIFF/WAVE, has no fmt
// or data chunk, holds another encoding (compressed, float, 24-bit, more than
// two channels), a rate outside 1..384000 Hz, no whole sample frame, or a
// data chunk reaching past the end of the file raises RuntimeError ErrDirectX.
WaveData ParseWave(std::string_view bytes, std::string_view fileName);

}  // namespace dexlora::platform_detail
