// Player options: the command line, Options.ini and switching one in the game.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "app/command_line.h"
#include "settings/player_options.h"
#include "settings/shared.h"
#include "settings/user_settings.h"
#include "tests/support/temp_folder.h"

namespace dexlora {
namespace {

std::string Values() {
    std::string all;
    for (const OptionRow& row : OptionTable()) all += std::string(all.empty() ? "" : " ") + std::string(OptionValue(row.Id));
    return all;
}

TEST(PlayerOptions, CommandLineAndOptionsFileGiveTheValuesOrTheDefaults) {
    test::TempFolder temp;
    SystemPath = temp.Path() + "system/", UserSettingsPath = temp.Path() + "user/";
    const struct { const char* options; std::vector<std::string_view> args; int status; const char* values; } rows[] = {
        {"", {}, -1, "off on auto"},
        {"[Options]\r\nflexible-romaji=ON\r\npresent=software\r\n", {}, -1, "on on software"},
        {"[Options]\r\nflexible-romaji=yes\r\nsharp-text=\r\npresent=soft\r\n", {}, -1, "off on auto"},
        {"\xff\xfe[Opt\0ions]\nflexible-romaji=on", {}, -1, "off on auto"},
        {"[Options]\nflexible-romaji=on\n", {"--no-flexible-romaji", "--no-sharp-text"}, -1, "off off auto"},
        {"", {"--flexible-romaji", "--present=accelerated"}, -1, "on on accelerated"},
        {"", {"--present=fast"}, 2, "off on auto"},
        {"", {"--no-present"}, 2, "off on auto"},
        {"", {"--flexible-romaji", "flexible-romaji"}, 2, "on on auto"},
        {"", {"--bogus", "--help"}, 0, "off on auto"},
    };
    for (const auto& row : rows) {
        ResetPlayerOptions();
        temp.Write("user/Options.ini", row.options);
        std::ostringstream out, err;
        const auto status = ReadCommandLine(row.args, out, err);
        LoadPlayerOptions();
        EXPECT_EQ(status.value_or(-1), row.status) << row.options << " " << err.str();
        EXPECT_EQ(Values(), row.values) << row.options;
        EXPECT_EQ(err.str().empty(), row.status != 2) << row.options;
        for (const OptionRow& option : OptionTable())
            EXPECT_EQ(out.str().find("--" + std::string(option.Name)) != std::string::npos, row.status == 0) << option.Name;
    }
    // Switching in the game outlasts the run and overrides the command line's value for it; it goes
    // to the player's own folder even beside a writable system folder.
    ResetPlayerOptions();
    temp.Write("system/System.ini", "");
    std::filesystem::remove(UserSettingsPath + "Options.ini");
    const std::vector<std::string_view> args{"--flexible-romaji"};
    std::ostringstream out, err;
    ReadCommandLine(args, out, err), LoadPlayerOptions();
    EXPECT_TRUE(CycleOption(Option::FlexibleRomaji) && CycleOption(Option::Present));
    EXPECT_EQ(Values(), "off on software");
    ResetPlayerOptions(), LoadPlayerOptions();
    EXPECT_EQ(Values(), "off on software");
    EXPECT_EQ(test::TempFolder::Read(UserSettingsPath + "Options.ini"),
              "[Options]\r\nflexible-romaji=off\r\npresent=software\r\n");
    ResetPlayerOptions();
    SystemPath.clear(), UserSettingsPath.clear();
}

}  // namespace
}  // namespace dexlora
