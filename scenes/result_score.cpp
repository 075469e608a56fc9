// Scoring a finished game.
#include "scenes/result_score.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace dexlora {

int32_t ResultScore(int32_t maxCombo, int32_t clearCount, int32_t missCount) {
    constexpr int64_t low = std::numeric_limits<int32_t>::min();
    constexpr int64_t high = std::numeric_limits<int32_t>::max();
    const int64_t perClear = 20 * int64_t{maxCombo} + 6;
    // A rough value first: far outside the 32-bit range the exact product
    // could leave even 64 bits; near it the exact one always fits.
    const double rough = static_cast<double>(perClear) * clearCount - 2.0 * missCount;
    if (rough > 4e9) return static_cast<int32_t>(high);
    if (rough < -4e9) return static_cast<int32_t>(low);
    return static_cast<int32_t>(std::clamp(perClear * clearCount - 2 * int64_t{missCount}, low, high));
}

double MasteryOfScore(int32_t score) { return score / 1000.0; }

std::string MasteryText(double mastery) {
    if (!std::isfinite(mastery)) return "0";
    if (mastery == 0) return "0";  // no "-0"
    // The shortest fixed form that reads back as the same double: 5.046
    // rather than 5.0460000000000003.
    char text[400];
    const auto result = std::to_chars(text, text + sizeof text, mastery, std::chars_format::fixed);
    if (result.ec != std::errc{}) return "0";
    return std::string(text, result.ptr);
}

int32_t ResultRank(const std::vector<int32_t>& points, double mastery) {
    for (size_t i = 0; i < points.size(); ++i) {
        if (points[i] <= mastery) return static_cast<int32_t>(i);
    }
    return static_cast<int32_t>(std::min<size_t>(points.size(), std::numeric_limits<int32_t>::max()));
}

}  // namespace dexlora
