// Closing the main window from inside the drawing code: a failed display
// set-up or picture load asks for the shutdown, which the application runs.
#pragma once

#include <functional>

namespace dexlora {

// Installs what closing the main window does (the application's shutdown
// sequence). An empty handler restores the default, which only records the
// request.
void SetUnloadMainWindowHandler(std::function<void()> handler);

// Asks for the main window to be closed: records the request, then runs the
// installed handler, if any, and returns to the caller.
void UnloadMainWindow();

// Whether a close has been asked for since the last reset.
bool MainWindowUnloadRequested();
void ResetMainWindowUnloadRequest();

}  // namespace dexlora
