// The skin chooser opens where the player's own System.ini says, before the
// installed one.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/core/folders.h"
#include "platform/window.h"
#include "settings/shared.h"
#include "settings/user_settings.h"
#include "skin/chooser/frm_skin_dir.h"
#include "tests/platform_core/temp_folder.h"

namespace dexlora {
namespace {

using testing_support::TempFolder;

TEST(ChooserUserCopy, OpensOnThePlayersFolderWhenTheyHaveOne) {
    PlatformSession session{DisplayKind::Headless};
    TempFolder temp;
    const std::string root = NormalizeFolderPath(std::filesystem::canonical(temp.Path()).string(), "/");
    for (const char* folder : {"skins/installed", "skins/mine", "system", "user"}) {
        std::filesystem::create_directories(root + "/" + folder);
    }
    temp.Write("system/System.ini", "[System]\r\nSkinPath=" + root + "/skins/installed\r\n");
    SystemPath = root + "/system/";
    struct Case {
        const char* name;
        const char* userFolder;  // UserSettingsPath below the temporary folder; nullptr for none
        const char* userIni;     // the player's System.ini; nullptr for none
        const char* opensOn;
    };
    const Case cases[] = {
        {"no user folder", nullptr, nullptr, "/skins/installed"},
        {"a user folder without System.ini", "/user/", nullptr, "/skins/installed"},
        {"the player's copy", "/user/", "/skins/mine", "/skins/mine"},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(root + "/user/System.ini");
        if (c.userIni) temp.Write("user/System.ini", std::string("[System]\r\nSkinPath=") + root + c.userIni + "\r\n");
        UserSettingsPath = c.userFolder ? root + c.userFolder : std::string();
        headless::Script({{.Type = headless::ScriptedEvent::Kind::Close}});
        EXPECT_EQ(ShowSkinDirDialog(), root + c.opensOn) << c.name;
    }
    UserSettingsPath.clear();
}

}  // namespace
}  // namespace dexlora
