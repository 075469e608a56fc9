// frmSkinDir: the skin folder chooser shown at start, worked until it closes.
#include "skin/chooser/frm_skin_dir.h"

#include "platform/core/files.h"
#include "platform/core/folders.h"
#include "platform/dialog_window.h"
#include "settings/ini.h"
#include "settings/user_settings.h"
#include "skin/chooser/skin_dir_layout.h"
#include "skin/chooser/skin_dir_state.h"
#include "skin/chooser/skin_dir_view.h"

namespace dexlora {

namespace {

// The root, the home folder and every mounted file system, each once.
std::vector<SkinDrive> MakeDrives() {
    std::vector<SkinDrive> drives{{"/  (ルート)", "/"}};
    if (const std::string home = HomeFolder(); !home.empty() && home != "/") {
        drives.push_back({"ホーム  (" + home + ")", home});
    }
    for (const std::string& mount : MountedFolders()) {
        const std::string top = NormalizeFolderPath(mount, "/");
        bool known = false;
        for (const SkinDrive& drive : drives) known = known || drive.Path == top;
        if (!known) drives.push_back({top, top});
    }
    return drives;
}

}  // namespace

std::string ShowSkinDirDialog() {
    SkinDirState state(MakeDrives());
    state.Start(RememberedSkinFolder(ProgramFolder()), CurrentFolder());
    DialogWindow window("Skinディレクトリ選択", skin_dir_layout::Width, skin_dir_layout::Height);
    bool redraw = true;
    for (;;) {
        if (redraw) {
            DrawSkinDir(window.Surface(), state);
            window.Present();
        }
        const std::optional<DialogEvent> event = window.NextEvent();
        redraw = event.has_value();
        if (event && state.Handle(*event)) break;
    }
    return state.Folder();
}

}  // namespace dexlora
