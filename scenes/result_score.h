// Scoring a finished game: the score, the mastery shown for it, and the rank
// that picks the result screen's animation files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace dexlora {

// (20 × maxCombo + 6) × clearCount − 2 × missCount, worked out in 64 bits and
// held to the 32-bit range: only an absurdly long game could reach a bound,
// and it then keeps the highest (or lowest) score instead of wrapping round.
int32_t ResultScore(int32_t maxCombo, int32_t clearCount, int32_t missCount);

// The mastery percentage of a score: score / 1000.
double MasteryOfScore(int32_t score);

// The mastery in plain decimal: no exponent, no trailing zeros, no point for
// whole values, a 0 before the point below 1 (5.046, 0.5, 12, -0.004).
std::string MasteryText(double mastery);

// Index of the first threshold, in list order, that is at most mastery; the
// number of thresholds when none is.
int32_t ResultRank(const std::vector<int32_t>& points, double mastery);

}  // namespace dexlora
