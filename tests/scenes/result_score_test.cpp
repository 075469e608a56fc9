// Scoring a finished game: score, mastery text and rank.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "scenes/result_score.h"

namespace dexlora {
namespace {

constexpr int32_t Max32 = std::numeric_limits<int32_t>::max();
constexpr int32_t Min32 = std::numeric_limits<int32_t>::min();

TEST(ResultScoreTest, ScoreAndMasteryText) {
    struct Row {
        const char* name;
        int32_t maxCombo, clearCount, missCount;
        int32_t score;
        const char* text;
    };
    const Row rows[] = {
        {"a good game", 25, 10, 7, 5046, "5.046"},
        {"nothing cleared, no miss", 30, 0, 0, 0, "0"},
        {"nothing cleared, two misses", 30, 0, 2, -4, "-0.004"},
        {"half a percent", 2, 11, 3, 500, "0.5"},
        {"a whole value", 0, 2000, 0, 12000, "12"},
        {"tens of thousandths", 1, 5, 20, 90, "0.09"},
        {"the product leaves 32 bits: held at the top", Max32, Max32, 0, Max32, "2147483.647"},
        {"just above the top", 107374182, 2, 0, Max32, "2147483.647"},
        {"just below the top", 107374182, 1, 0, 2147483646, "2147483.646"},
        {"misses beyond the bottom: held there", 0, 0, Max32, Min32, "-2147483.648"},
        {"a negative product beyond the bottom", Max32, Min32, 0, Min32, "-2147483.648"},
    };
    for (const Row& row : rows) {
        const int32_t score = ResultScore(row.maxCombo, row.clearCount, row.missCount);
        EXPECT_EQ(score, row.score) << row.name;
        EXPECT_EQ(MasteryText(MasteryOfScore(score)), row.text) << row.name;
    }
}

TEST(ResultScoreTest, RankIsTheFirstThresholdReached) {
    struct Row {
        const char* name;
        std::vector<int32_t> points;
        double mastery;
        int32_t rank;
    };
    const std::vector<int32_t> three{90, 70, 50};
    const std::vector<int32_t> four{90, 70, 50, 0};
    const Row rows[] = {
        {"exactly a threshold", three, 70, 1},
        {"above the first", three, 95, 0},
        {"just below a threshold", three, 69.999, 2},
        {"nothing cleared, no miss", four, 0, 3},
        {"nothing cleared, one miss", four, -0.002, 4},
        {"no thresholds", {}, 50, 0},
        {"a list out of order: first match in list order", {10, 90, 50}, 60, 0},
        {"negative thresholds", {-1, -5}, -3, 1},
    };
    for (const Row& row : rows) EXPECT_EQ(ResultRank(row.points, row.mastery), row.rank) << row.name;
}

}  // namespace
}  // namespace dexlora
