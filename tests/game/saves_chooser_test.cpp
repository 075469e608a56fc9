// The skin chooser opens on the folder the player's own System.ini names, before the installed one's.
#include <filesystem>

#include "platform/core/folders.h"
#include "settings/user_settings.h"
#include "skin/chooser/frm_skin_dir.h"
#include "tests/support/fixture.h"

namespace dexlora::test {
namespace {

class SavesChooser : public DexloraTest {};

TEST_F(SavesChooser, OpensOnThePlayersFolderWhenTheyHaveOne) {
    const std::string top = NormalizeFolderPath(std::filesystem::canonical(root.Path()).string(), "/");
    for (const char* folder : {"/installed", "/mine", "/user"}) std::filesystem::create_directories(top + folder);
    root.Write("system/System.ini", SystemIni(top + "/installed"));
    UserSettingsPath = top + "/user/";
    for (const std::string own : {"/installed", "/mine"}) {  // no copy of the player's yet, then one
        if (own == "/mine") root.Write("user/System.ini", SystemIni(top + own));
        headless::Script({{.Type = Kind::Close}});
        EXPECT_EQ(ShowSkinDirDialog(), top + own);
    }
    UserSettingsPath.clear();
}

}  // namespace
}  // namespace dexlora::test
