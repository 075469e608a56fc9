// Private to platform/: makes the display a platform session runs on.
#pragma once

#include <memory>

#include "platform/detail/display_backend.h"
#include "platform/detail/present_chooser.h"

namespace dexlora::platform_detail {

// The real window (hidden until shown), presenting by the path the chooser
// gives when it is first shown; raises ErrDirectX when SDL cannot make a
// window or a renderer.
std::unique_ptr<DisplayBackend> MakeWindowDisplay(std::unique_ptr<PresentChooser> chooser);
// The headless display with its virtual clock and scripted input.
std::unique_ptr<DisplayBackend> MakeHeadlessDisplay();

}  // namespace dexlora::platform_detail
