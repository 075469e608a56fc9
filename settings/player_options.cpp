// The player's options: the table, the values of this run and Options.ini.
#include "settings/player_options.h"

#include <algorithm>
#include <optional>

#include "platform/core/profile.h"
#include "settings/user_settings.h"

namespace dexlora {

namespace {

constexpr std::string_view OptionsFile = "Options.ini";
constexpr std::string_view OptionsSection = "Options";
constexpr std::array<std::string_view, 2> Switch{"off", "on"};
constexpr std::array<std::string_view, 2> SwitchOnFirst{"on", "off"};
constexpr std::array<std::string_view, 3> PresentPaths{"auto", "software", "accelerated"};

constexpr std::array<OptionRow, size_t(Option::Count)> Rows{{
    {Option::FlexibleRomaji, "flexible-romaji", Switch,
     "accept every spelling an input method takes (si/shi/ci, nn/n', xtu...), not only the key configuration's"},
    {Option::SharpText, "sharp-text", SwitchOnFirst,
     "draw text at the window's own resolution when it is larger than 640x480 (off: scale the 640x480 picture)"},
    {Option::Present, "present", PresentPaths,
     "how frames reach the screen: auto chooses the cheaper path; software or accelerated forces one"},
}};

constexpr bool RowsInOrder() {
    for (size_t i = 0; i < Rows.size(); ++i)
        if (Rows[i].Id != Option(i) || Rows[i].Values.empty()) return false;
    return true;
}
static_assert(RowsInOrder(), "one row per option, in the order of Option");

struct OptionState {
    size_t remembered = 0;           // index into the row's values
    std::optional<size_t> forRun;    // the command line's, for this run only
};

std::array<OptionState, size_t(Option::Count)> g_states{};

const OptionRow& RowOf(Option id) { return Rows[size_t(id)]; }

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return (x >= 'A' && x <= 'Z' ? x - 'A' + 'a' : x) == (y >= 'A' && y <= 'Z' ? y - 'A' + 'a' : y);
    });
}

// Values match regardless of ASCII case, as the settings files' names do.
std::optional<size_t> IndexOf(const OptionRow& row, std::string_view value) {
    const auto v = std::find_if(row.Values.begin(), row.Values.end(),
                                [value](std::string_view known) { return SameIgnoringCase(known, value); });
    if (v == row.Values.end()) return std::nullopt;
    return size_t(v - row.Values.begin());
}

size_t CurrentIndex(Option id) {
    const OptionState& state = g_states[size_t(id)];
    return state.forRun.value_or(state.remembered);
}

}  // namespace

std::span<const OptionRow> OptionTable() { return Rows; }

const OptionRow* FindOption(std::string_view name) {
    const auto row = std::find_if(Rows.begin(), Rows.end(), [name](const OptionRow& r) { return r.Name == name; });
    return row == Rows.end() ? nullptr : &*row;
}

std::string_view OptionValue(Option id) { return RowOf(id).Values[CurrentIndex(id)]; }

bool OptionOn(Option id) { return OptionValue(id) == "on"; }

void LoadPlayerOptions() {
    const std::string file = PlayerFileToRead(OptionsFile);
    for (const OptionRow& row : Rows) {
        const std::string value = GetPrivateProfileString(OptionsSection, row.Name, "", file);
        g_states[size_t(row.Id)].remembered = IndexOf(row, value).value_or(0);
    }
}

bool SetOptionForRun(Option id, std::string_view value) {
    const auto index = IndexOf(RowOf(id), value);
    if (!index) return false;
    g_states[size_t(id)].forRun = index;
    return true;
}

bool CycleOption(Option id) {
    const OptionRow& row = RowOf(id);
    OptionState& state = g_states[size_t(id)];
    const size_t next = (CurrentIndex(id) + 1) % row.Values.size();
    state.remembered = next;
    state.forRun.reset();
    return WritePrivateProfileString(OptionsSection, row.Name, row.Values[next], PlayerFileToWrite(OptionsFile));
}

void ResetPlayerOptions() { g_states = {}; }

}  // namespace dexlora
