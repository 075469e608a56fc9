// Dexlora: a typing-practice game for Japanese text.
#include <cstdio>
#include <exception>

#include "app/startup.h"
#include "platform/core/files.h"
#include "platform/window.h"

namespace {

// Everything the game holds goes before the session that made it.
struct ReleaseAtEnd {
    ~ReleaseAtEnd() { dexlora::ReleaseGameObjects(); }
};

}  // namespace

int main() {
    try {
        dexlora::PlatformSession session(dexlora::DisplayKind::Window);
        ReleaseAtEnd release;
        return dexlora::RunDexlora(dexlora::ProgramFolder());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "dexlora: %s\n", e.what());
    } catch (...) {
        std::fprintf(stderr, "dexlora: an unexpected error ended the game\n");
    }
    return 1;
}
