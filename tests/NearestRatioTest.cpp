// Nearest-ratio assignment over the series: exact hits, ties, near-ties and ratios off the ends.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "SolverFixtures.h"
#include "solver/NearestRatio.h"

namespace korvan {
namespace {

void AssignNearestRatios(SolutionVector& solution, const GroupZero& groupZero) {
    for (SolutionEntry& point : solution) {
        const std::size_t candidate = AssignNearestRatio(point, groupZero);
        EXPECT_EQ(FindInSeries(point.valveSize), candidate);
    }
}

double SizeForRatio(double ratio) {
    const ValveRatioTable table = RatioTable();
    SolutionVector solution(1);
    solution[0].ratio = ratio;
    AssignNearestRatios(solution, CollectGroupZero(table));
    return solution[0].valveSize;
}

TEST(AssignNearestRatio, PicksTheFirstNearestCandidate) {
    const struct {
        double ratio;
        double size;
    } cases[] = {
        {1.0, 0.5},
        {5.0, 0.1},
        {2.8125, 0.2},   // halfway between 2.5 and 3.125: the earlier candidate
        {4.0625, 0.16},  // halfway between 3.125 and 5.0
        {1.3333333333333333, 0.5},
        {1.3333333333333335, 0.3},  // the next double up is nearer to 1.6666666666666667
        {20.0, 0.03},
        {8.0, 0.06},
        {std::numeric_limits<double>::infinity(), 0.5},
        {std::numeric_limits<double>::quiet_NaN(), 0.5},
    };
    for (const auto& example : cases) {
        EXPECT_EQ(SizeForRatio(example.ratio), example.size) << example.ratio;
    }
}

TEST(AssignNearestRatio, GivesTheEightPointExampleItsSizes) {
    const ValveRatioTable table = RatioTable();
    SolutionVector solution = PreparedEntries({8.0, 7.0, 6.0, 5.0, 4.0, 3.0, 2.0, 1.0});
    solution[2].ratioMax = 9.0;
    AssignNearestRatios(solution, CollectGroupZero(table));
    EXPECT_EQ(SizesOf(solution), (std::vector<double>{0.5, 0.5, 0.5, 0.3, 0.3, 0.2, 0.16, 0.06}));
    EXPECT_EQ(solution[2].ratioMax, 9.0);  // windows are the search's, not touched here
}

}  // namespace
}  // namespace korvan
