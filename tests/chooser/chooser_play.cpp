// Opens the skin folder chooser on the real display, as start-up does, and
// prints the folder it answers: for playing it by hand or by xdotool.
#include <cstdio>
#include <exception>

#include "platform/core/files.h"
#include "platform/window.h"
#include "settings/shared.h"
#include "skin/chooser/frm_skin_dir.h"

int main() {
    try {
        dexlora::PlatformSession session(dexlora::DisplayKind::Window);
        dexlora::SystemPath = dexlora::ProgramFolder() + "system/";
        std::printf("%s\n", dexlora::ShowSkinDirDialog().c_str());
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "chooser_play: %s\n", e.what());
        return 1;
    }
}
