// The player's own options: switches beyond the skin's settings, each off
// (its first value) until the player turns it on. They are kept per user in
// Options.ini of the player's settings folder, switched in the game, and may
// be given for one run on the command line (`dexlora --help` lists them).
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace dexlora {

// One value per option; adding an option is a value here and a row in
// player_options.cpp.
enum class Option {
    FlexibleRomaji,  // every input-method spelling of a reading accepted
    SharpText,       // text drawn at the window's own resolution
    Present,         // how frames reach the screen
    Count
};

struct OptionRow {
    Option Id;
    std::string_view Name;  // the key in Options.ini and the command line's --Name
    // The values it takes, its default first; "off" and "on" for a switch.
    std::span<const std::string_view> Values;
    std::string_view Help;  // one line for --help
};

std::span<const OptionRow> OptionTable();
const OptionRow* FindOption(std::string_view name);

// The option's value now: the command line's for this run when it gave one,
// else the remembered one, else the default.
std::string_view OptionValue(Option id);
// Whether a switch is "on".
bool OptionOn(Option id);

// Reads the remembered values from Options.ini in UserSettingsPath (in
// SystemPath when there is none); a missing or damaged file, or a value the
// option does not take, leaves the default.
void LoadPlayerOptions();

// Gives the option a value for this run only (the command line); answers
// false, changing nothing, for a value the option does not take.
bool SetOptionForRun(Option id, std::string_view value);

// Moves the option to its next value (after the last, its first), for this
// run and remembered for the next ones. Answers whether it was remembered
// (a settings folder that cannot be written keeps it for this run only).
bool CycleOption(Option id);

// Every option back to its default, nothing given for the run.
void ResetPlayerOptions();

}  // namespace dexlora
