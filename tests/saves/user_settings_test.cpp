// The player's System.ini and KeyConf.txt: read from the per-user folder
// before the system folder, saved where the next start finds them, and kept
// across a reinstall of a copy the player cannot write.
#include "settings/user_settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

#include "engine/keyconf_file.h"
#include "settings/ini.h"
#include "settings/shared.h"
#include "tests/platform_core/temp_folder.h"
#include "tests/saves/child_process.h"
#include "tests/saves/choices.h"

namespace dexlora {
namespace {

using testing_support::ChildEnd;
using testing_support::RunInChild;
using testing_support::TempFolder;
namespace fs = std::filesystem;

TEST(UserSettings, FolderFromXdgConfigHomeThenHomeThenPasswordEntry) {
    struct Case {
        const char* xdg;
        const char* home;
        const char* passwordHome;
        const char* folder;
    };
    const Case cases[] = {
        {"/cfg", "/home/a", "/home/p", "/cfg/dexlora/"},
        {"/cfg/", "", "", "/cfg/dexlora/"},
        {"", "/home/a", "/home/p", "/home/a/.config/dexlora/"},
        {"cfg", "/home/a/", "/home/p", "/home/a/.config/dexlora/"},  // a relative XDG path is no path
        {"", "", "/home/p", "/home/p/.config/dexlora/"},
        {"", "home/a", "/home/p", "/home/p/.config/dexlora/"},
        {"", "", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(UserSettingsFolderFrom(c.xdg, c.home, c.passwordHome), c.folder)
            << "XDG_CONFIG_HOME=\"" << c.xdg << "\" HOME=\"" << c.home << "\" password entry \"" << c.passwordHome
            << "\"";
    }
}

// The choices as one digit each.
std::string Choices() {
    std::string digits;
    for (const RomeEntries* table : {&RomeTable, &Rome2Table}) {
        for (int32_t i = 0; i < RomeEntryCount(*table); ++i) digits += std::to_string((*table)[size_t(i)].Selected);
    }
    return digits;
}

const std::string InstalledIni = "[System]\r\nSkinPath=/skins/installed\r\n\r\n[Install]\r\nEdition=7\r\n";
const std::string InstalledKeyConf = testing_support::OldKeyConf;
const std::string PlayersIni = "[System]\r\nSkinPath=/skins/mine\r\n";
const std::string PlayersKeyConf = "1\r\n1\r\n1\r\n1\r\n1\r\n";

// One start of the game as the unprivileged player: what it reads, then (when
// asked) the player's new choices saved as leaving the key configuration and
// the shutdown save them. Answers "skin choices", then " saved" or why not.
std::string PlayerStarts(const std::string& system, const char* xdg, const std::string& home, bool save) {
    if (!testing_support::DropRootRights()) return "cannot become user nobody";
    if (xdg) {
        setenv("XDG_CONFIG_HOME", xdg, 1);
    } else {
        unsetenv("XDG_CONFIG_HOME");
    }
    setenv("HOME", home.c_str(), 1);
    SystemPath = system;
    UserSettingsPath = UserSettingsFolder();

    std::string facts = ReadIniString(SettingsFileToRead("System.ini"), "System", "SkinPath", "") + " ";
    testing_support::SetChoices(false);
    LoadKeyConf("KeyConf.txt");
    facts += Choices();
    if (!save) return facts;
    testing_support::SetChoices(true);
    if (!SaveKeyConf("KeyConf.txt")) return facts + " KeyConf.txt not saved";
    if (!WriteIniString(SettingsFileToWrite("System.ini"), "System", "SkinPath", "/skins/chosen")) {
        return facts + " System.ini not saved";
    }
    return facts + " saved";
}

void Install(const std::string& system, bool writable) {
    fs::remove_all(system);
    fs::create_directories(system);
    const std::pair<const char*, std::string> files[] = {{"System.ini", InstalledIni},
                                                         {"KeyConf.txt", InstalledKeyConf}};
    for (const auto& [name, bytes] : files) {
        FILE* out = std::fopen((system + name).c_str(), "wb");
        ASSERT_NE(out, nullptr);
        std::fwrite(bytes.data(), 1, bytes.size(), out);
        std::fclose(out);
    }
    fs::permissions(system, fs::perms(0755));
    if (writable) {
        testing_support::GiveToChild(system);
    } else {
        testing_support::CloseToChild(system);
    }
}

TEST(UserSettings, ReadUserCopyFirstAndSaveWhereTheNextStartReads) {
    struct Case {
        bool systemWritable;
        bool userCopy;
        bool xdgSet;
    };
    for (const Case c : {Case{true, false, false}, Case{true, false, true}, Case{true, true, false},
                         Case{true, true, true}, Case{false, false, false}, Case{false, false, true},
                         Case{false, true, false}, Case{false, true, true}}) {
        const std::string row = std::string(c.systemWritable ? "writable" : "read-only") + " system folder, " +
                                (c.userCopy ? "with" : "without") + " a user copy, XDG_CONFIG_HOME " +
                                (c.xdgSet ? "set" : "unset");
        TempFolder temp;
        fs::permissions(temp.Path(), fs::perms(0755));
        const std::string system = temp.Path() + "install/system/";
        const std::string home = temp.Path() + "home";
        const std::string xdg = temp.Path() + "xdg";
        const std::string user = c.xdgSet ? xdg + "/dexlora/" : home + "/.config/dexlora/";
        fs::create_directories(home);
        fs::create_directories(xdg);
        if (c.userCopy) {
            temp.Write(user.substr(temp.Path().size()) + "System.ini", PlayersIni);
            temp.Write(user.substr(temp.Path().size()) + "KeyConf.txt", PlayersKeyConf);
        }
        testing_support::GiveToChild(home);
        testing_support::GiveToChild(xdg);
        Install(temp.Path() + "install/system/", c.systemWritable);
        const char* xdgValue = c.xdgSet ? xdg.c_str() : nullptr;

        ChildEnd first = RunInChild([&] { return PlayerStarts(system, xdgValue, home, true); });
        fs::permissions(system, fs::perms(0755));
        const std::string read = c.userCopy ? "/skins/mine 11111" : "/skins/installed 00000";
        EXPECT_EQ(first.report, read + " saved") << row;

        const bool toUser = c.userCopy || !c.systemWritable;
        const std::string target = toUser ? user : system;
        EXPECT_EQ(TempFolder::Read(target + "KeyConf.txt"), testing_support::NewerKeyConf) << row;
        const std::string ini = TempFolder::Read(target + "System.ini");
        EXPECT_NE(ini.find("SkinPath=/skins/chosen\r\n"), std::string::npos) << row << ": " << ini;
        if (toUser) {
            EXPECT_EQ(TempFolder::Read(system + "KeyConf.txt"), InstalledKeyConf) << row;
            EXPECT_EQ(TempFolder::Read(system + "System.ini"), InstalledIni) << row;
        } else {
            EXPECT_FALSE(fs::exists(user)) << row << ": nothing belongs in the user folder";
        }
        if (toUser && !c.userCopy) {
            struct stat st {};
            ASSERT_EQ(stat(user.c_str(), &st), 0) << row;
            EXPECT_EQ(st.st_mode & 0777, 0700u) << row << ": the settings folder is the player's alone";
            EXPECT_NE(ini.find("[Install]\r\nEdition=7\r\n"), std::string::npos)
                << row << ": the first user copy starts from the installed one: " << ini;
        }

        // A reinstall replaces the system folder and never touches the user's.
        Install(system, c.systemWritable);
        ChildEnd second = RunInChild([&] { return PlayerStarts(system, xdgValue, home, false); });
        fs::permissions(system, fs::perms(0755));
        EXPECT_EQ(second.report, toUser ? "/skins/chosen 20101" : "/skins/installed 00000") << row;
    }
}

TEST(UserSettings, AReadOnlySystemCopySendsTheSaveToTheUserFolder) {
    // Root writes any folder, but a file without its write bit is read-only
    // to every save, as on Windows: the choice goes to the player's folder.
    TempFolder temp;
    SystemPath = temp.Path() + "system/";
    UserSettingsPath = temp.Path() + "user/dexlora/";
    const std::string installed = temp.Write("system/System.ini", InstalledIni);
    fs::permissions(installed, fs::perms(0444));
    EXPECT_EQ(SettingsFileToRead("System.ini"), installed);
    ASSERT_TRUE(WriteIniString(SettingsFileToWrite("System.ini"), "System", "SkinPath", "/skins/chosen"));
    EXPECT_EQ(SettingsFileToRead("System.ini"), UserSettingsPath + "System.ini");
    EXPECT_EQ(ReadIniString(SettingsFileToRead("System.ini"), "System", "SkinPath", ""), "/skins/chosen");
    EXPECT_EQ(TempFolder::Read(installed), InstalledIni);
    UserSettingsPath.clear();
}

}  // namespace
}  // namespace dexlora
