// The options line: one part per option the title switches.
#include "scenes/options_line.h"

#include <array>
#include <string_view>

#include "settings/player_options.h"

namespace dexlora {

namespace {

struct OptionsLinePart {
    Option Id;
    std::string_view Key;    // the title's function key that switches it
    std::string_view Label;
    // A word for each value, in the order of the option's values.
    std::array<std::string_view, 3> Words;
};

// Adding an option to the line is a row here.
constexpr OptionsLinePart Parts[] = {
    {Option::FlexibleRomaji, "F2", "ローマ字", {"キー設定どおり (fixed)", "自由 (any spelling)"}},
    {Option::SharpText, "F4", "文字", {"くっきり (sharp)", "拡大 (scaled up)"}},
    {Option::Present, "F5", "描画", {"自動 (auto)", "CPU (software)", "GPU (accelerated)"}},
};

size_t ValueIndex(Option id) {
    const OptionRow& row = OptionTable()[size_t(id)];
    for (size_t i = 0; i < row.Values.size(); ++i)
        if (row.Values[i] == OptionValue(id)) return i;
    return 0;
}

}  // namespace

std::string OptionsLineText() {
    std::string line;
    for (const OptionsLinePart& part : Parts) {
        if (!line.empty()) line += "\u3000\u3000";
        line += std::string(part.Key) + " " + std::string(part.Label) + ": " +
                std::string(part.Words[ValueIndex(part.Id)]);
    }
    return line;
}

bool OptionsAwayFromDefault() {
    for (const OptionsLinePart& part : Parts)
        if (ValueIndex(part.Id) != 0) return true;
    return false;
}

}  // namespace dexlora
