// Dexlora: a typing-practice game for Japanese text.
#include <cstdio>
#include <exception>

#include "app/startup.h"
#include "platform/core/files.h"
#include "platform/window.h"

int main() {
    try {
        dexlora::PlatformSession session(dexlora::DisplayKind::Window);
        return dexlora::RunDexlora(dexlora::ProgramFolder());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "dexlora: %s\n", e.what());
    } catch (...) {
        std::fprintf(stderr, "dexlora: an unexpected error ended the game\n");
    }
    return 1;
}
