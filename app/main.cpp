// Dexlora: a typing-practice game for Japanese text.
#include <cstdio>
#include <exception>
#include <iostream>
#include <string_view>
#include <vector>

#include "app/command_line.h"
#include "app/startup.h"
#include "platform/core/files.h"
#include "platform/window.h"

namespace {

// Everything the game holds goes before the session that made it.
struct ReleaseAtEnd {
    ~ReleaseAtEnd() { dexlora::ReleaseGameObjects(); }
};

}  // namespace

int main(int argc, char** argv) {
    try {
        const std::vector<std::string_view> args(argv + (argc > 0 ? 1 : 0), argv + argc);
        if (const auto status = dexlora::ReadCommandLine(args, std::cout, std::cerr)) return *status;
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
