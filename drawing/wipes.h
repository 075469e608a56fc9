// Screen wipes between scenes: a runner paced at 15 ms a step and two box
// effects, the new picture growing out of the centre or the old one shrinking
// into it.
#pragma once

#include <cstdint>
#include <string>

#include "platform/surface.h"

namespace dexlora {

struct WipeSettings {
    int16_t Enabled = 0;  // 16-bit flag: only exactly -1 (true) runs the wipe
    std::string Kind;     // "BoxIn" (exactly, with case) or anything else for BoxOut
};

inline constexpr int32_t WipeStepCount = 30;
inline constexpr uint32_t WipeStepMs = 15;

// Runs a wipe of 30 steps from oldPicture to newPicture, drawing each step on
// DDSurfBack and flipping DDSurfPrimary, with window events let run between
// passes. When flips take longer than a step, one pass draws several steps to
// catch up. A handler recording the next scene ends the wipe after that pass.
// Answers true when it finished, was disabled or was ended so, false when a
// flip failed.
bool ScreenWipe(const WipeSettings& settings, const SurfacePtr& oldPicture, const SurfacePtr& newPicture);

// One step of an effect onto dest; a failing copy ends the step. Answer: true
// when step is past stepCount.
bool WipeBoxIn(const SurfacePtr& dest, const SurfacePtr& oldPicture, const SurfacePtr& newPicture,
               int32_t step, int32_t stepCount);
bool WipeBoxOut(const SurfacePtr& dest, const SurfacePtr& oldPicture, const SurfacePtr& newPicture,
                int32_t step, int32_t stepCount);

}  // namespace dexlora
