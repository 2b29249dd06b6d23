// The driver: which path it takes, and how chosen sizes are mapped onto reduced ones.
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "SolverFixtures.h"
#include "solver/ReduceChosenSizes.h"
#include "solver/SolveValves.h"

namespace korvan {
namespace {

using Outputs = SolutionTotals;

std::int32_t Solve(SolutionVector& solution, Outputs& out) {
    const ValveRatioTable table = RatioTable();
    return SolveValves(Entries(solution), table, out);
}

// The chosen sizes of `solution`, tallied, reduced and mapped; the sum of the quotients after.
std::int32_t Reduce(SolutionVector& solution, double& sum) {
    return ReduceChosenSizes(Entries(solution), TallyChosenSizes(Entries(solution)), RatioTable(),
                             sum);
}

SolutionVector Unsolved(const std::vector<double>& demands) {
    SolutionVector solution;
    for (const double demand : demands) {
        SolutionEntry entry{};
        entry.demand = demand;
        solution.push_back(entry);
    }
    return solution;
}

TEST(SolveValves, SevenPointsSearchAndEightTakeNearestRatio) {
    // The search leaves its windows in the entries; nearest ratio leaves them as they were.
    SolutionVector seven = Unsolved({7.0, 6.0, 5.0, 4.0, 3.0, 2.0, 1.0});
    Outputs out;
    ASSERT_EQ(Solve(seven, out), 0);
    EXPECT_NE(seven[6].ratioMax, 0.0);

    SolutionVector eight = Unsolved({1.0, 2.0, 3.0, 4.0, 5.0, 6.0, 7.0, 8.0});
    ASSERT_EQ(Solve(eight, out), 0);
    for (const SolutionEntry& entry : eight) {
        EXPECT_EQ(entry.ratioMax, 0.0);
        EXPECT_EQ(entry.ratioMin, 0.0);
    }
    EXPECT_EQ(eight[0].demand, 8.0);
    EXPECT_EQ(out.scaleFactor, 14.520833333333334);
}

TEST(SolveValves, EqualDemandsGetEqualSizesAndSinglePointsTheSmallest) {
    Outputs out;
    SolutionVector pair = Unsolved({2.0, 2.0});
    ASSERT_EQ(Solve(pair, out), 0);
    EXPECT_EQ(SizesOf(pair), (std::vector<double>{0.03, 0.03}));
    SolutionVector single = Unsolved({123.0});
    ASSERT_EQ(Solve(single, out), 0);
    EXPECT_EQ(SizesOf(single), std::vector<double>{0.03});
    EXPECT_EQ(single[0].deviation, 0.0);
}

TEST(ReduceChosenSizes, MapsEveryEntryOntoItsReducedSize) {
    SolutionVector solution = Unsolved({5.0, 4.0, 3.0});
    const double chosen[] = {0.5, 0.5, 0.3};
    for (std::size_t i = 0; i < 3; ++i) {
        solution[i].valveSize = chosen[i];
    }
    double sum = 0.0;
    ASSERT_EQ(Reduce(solution, sum), 0);
    EXPECT_EQ(SizesOf(solution), (std::vector<double>{0.1, 0.1, 0.06}));
    EXPECT_EQ(sum, ((0.0 + 5.0 / 0.1) + 4.0 / 0.1) + 3.0 / 0.06);

    // A set the reduction keeps is left as it was, with the sum the tally took.
    const double kept[] = {0.5, 0.2, 0.1};
    for (std::size_t i = 0; i < 3; ++i) {
        solution[i].valveSize = kept[i];
    }
    ASSERT_EQ(Reduce(solution, sum), 0);
    EXPECT_EQ(SizesOf(solution), (std::vector<double>{0.5, 0.2, 0.1}));
    EXPECT_EQ(sum, ((0.0 + 5.0 / 0.5) + 4.0 / 0.2) + 3.0 / 0.1);
}

TEST(ReduceChosenSizes, SizesThatGrowAlongTheEntriesRaise) {
    // Only the nearest-ratio path can produce this, for ratios beyond the reach of doubles'
    // precision; the forward-only mapping then runs out of chosen sizes.
    SolutionVector solution = Unsolved({5.0, 4.0, 3.0});
    const double chosen[] = {0.3, 0.03, 0.5};
    for (std::size_t i = 0; i < 3; ++i) {
        solution[i].valveSize = chosen[i];
    }
    double sum = 0.0;
    EXPECT_THROW(Reduce(solution, sum), std::out_of_range);
    solution[2].valveSize = 0.25;
    EXPECT_THROW(Reduce(solution, sum), std::out_of_range);
}

TEST(SolveValves, EmptySolutionRaises) {
    SolutionVector solution;
    Outputs out;
    EXPECT_THROW(Solve(solution, out), std::out_of_range);
}

}  // namespace
}  // namespace korvan
