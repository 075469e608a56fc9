// The command line: --help and the player's options for one run.
#include "app/command_line.h"

#include <ostream>
#include <string>

#include "settings/player_options.h"

namespace dexlora {

namespace {

bool IsSwitch(const OptionRow& row) {
    return row.Values.size() == 2 && (row.Values[0] == "on" || row.Values[0] == "off") &&
           (row.Values[1] == "on" || row.Values[1] == "off");
}

void PrintHelp(std::ostream& out) {
    out << "Usage: dexlora [OPTION]...\n"
           "A typing-practice game for Japanese text.\n\n"
           "  --help  show this help and exit\n\n"
           "Player options (the game remembers what you switch on the title, in\n"
           "Options.ini of your settings folder; given here, they count for this run only):\n";
    for (const OptionRow& row : OptionTable()) {
        std::string values;
        for (const std::string_view v : row.Values) values += (values.empty() ? "" : "|") + std::string(v);
        out << "  --" << row.Name << "=" << values << "  (default " << row.Values[0] << ")\n      " << row.Help
            << "\n";
        if (IsSwitch(row)) out << "      --" << row.Name << " and --no-" << row.Name << " switch it on and off\n";
    }
}

// Applies one "--..." argument; false when it is not one we know.
bool ApplyOption(std::string_view arg) {
    if (!arg.starts_with("--")) return false;
    arg.remove_prefix(2);
    const size_t eq = arg.find('=');
    if (eq != std::string_view::npos) {
        const OptionRow* row = FindOption(arg.substr(0, eq));
        return row && SetOptionForRun(row->Id, arg.substr(eq + 1));
    }
    if (const OptionRow* row = FindOption(arg); row && IsSwitch(*row)) return SetOptionForRun(row->Id, "on");
    if (arg.starts_with("no-")) {
        const OptionRow* row = FindOption(arg.substr(3));
        return row && IsSwitch(*row) && SetOptionForRun(row->Id, "off");
    }
    return false;
}

}  // namespace

std::optional<int> ReadCommandLine(std::span<const std::string_view> args, std::ostream& out, std::ostream& err) {
    for (const std::string_view arg : args) {
        if (arg == "--help" || arg == "-h") {
            PrintHelp(out);
            return 0;
        }
    }
    for (const std::string_view arg : args) {
        if (!ApplyOption(arg)) {
            err << "dexlora: unknown option or value '" << arg << "' (dexlora --help lists them)\n";
            return 2;
        }
    }
    return std::nullopt;
}

}  // namespace dexlora
