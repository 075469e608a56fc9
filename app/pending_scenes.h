// The result and key-configuration scenes as the dispatcher and the mouse
// handler call them.
#pragma once

namespace dexlora {

// The result scene; GameState is already 2 and ResultReady false.
bool PrintResult();
// The key configuration; the pointer is shown and GameState is 3.
void KeyConfStart();
// A double click in the key configuration, at MouseX, MouseY.
void KeyConfDblClick();

}  // namespace dexlora
