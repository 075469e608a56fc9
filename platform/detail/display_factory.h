// Private to platform/: makes the display a platform session runs on.
#pragma once

#include <memory>

#include "platform/detail/display_backend.h"

namespace dexlora::platform_detail {

// The real window (hidden until shown); raises ErrDirectX when SDL cannot
// make a window or a renderer.
std::unique_ptr<DisplayBackend> MakeWindowDisplay();
// The headless display with its virtual clock and scripted input.
std::unique_ptr<DisplayBackend> MakeHeadlessDisplay();

}  // namespace dexlora::platform_detail
