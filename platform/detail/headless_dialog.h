// Private to platform/: what a dialog window needs of the headless display.
#pragma once

#include <optional>
#include <string_view>

#include "platform/headless.h"
#include "platform/window.h"

namespace dexlora::platform_detail {

// The first scripted event if its time has come (taken off the script).
std::optional<headless::ScriptedEvent> TakeDueScriptedEvent();
// Moves the virtual clock on by one refresh, as waiting for input does.
void WaitOneRefresh();
// Hands a dialog frame to headless::OnDialogFrame; takes one refresh.
void ShowHeadlessDialogFrame(const DirectDrawSurface7& frame, std::string_view caption);

}  // namespace dexlora::platform_detail
