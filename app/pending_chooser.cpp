// Stands in for the skin chooser until it is built: the folder System.ini
// remembers, or the program's own folder.
#include <string>

#include "platform/files.h"
#include "skin/chooser/frm_skin_dir.h"
#include "skin/settings/ini.h"
#include "skin/settings/shared.h"

namespace dexlora {

std::string ShowSkinDirDialog() {
    std::string folder = ReadIniString(SystemPath + "System.ini", "System", "SkinPath", "");
    if (folder.empty()) folder = ProgramFolder();
    if (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder;
}

}  // namespace dexlora
