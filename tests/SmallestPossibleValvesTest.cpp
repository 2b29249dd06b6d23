// The reduction to the smallest valves: its worked table, the sets of series sizes it changes,
// and the order it leaves the input in.
#include <gtest/gtest.h>

#include <ostream>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "TestSupport.h"
#include "solver/SmallestPossibleValves.h"
#include "tables/ResultCodes.h"

namespace korvan {
namespace {

const std::vector<double> kSeries = {0.5, 0.3, 0.2, 0.16, 0.1, 0.06, 0.03};

struct ReductionCase {
    const char* name;
    std::vector<double> given;
    std::vector<double> sorted;
    std::vector<double> appended;
};

// Names the case in test listings, rather than its bytes.
void PrintTo(const ReductionCase& example, std::ostream* out) {
    *out << example.name;
}

class Reductions : public testing::TestWithParam<ReductionCase> {};

TEST_P(Reductions, SortTheSizesAndAppendTheSmallest) {
    std::vector<double> sizes = GetParam().given;
    std::vector<double> smallest{9.0};
    ASSERT_EQ(GetSmallestPossibleValves(sizes, smallest), kSuccess);
    EXPECT_EQ(sizes, GetParam().sorted);
    std::vector<double> expected{9.0};
    expected.insert(expected.end(), GetParam().appended.begin(), GetParam().appended.end());
    EXPECT_EQ(smallest, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Reductions,
    testing::Values(
        ReductionCase{
            "OnlyGroupOneHoldsTheRatio", {0.3, 0.2, 0.2}, {0.3, 0.2, 0.2}, {0.3, 0.2, 0.2}},
        ReductionCase{"UnsortedInput", {0.2, 0.3, 0.2}, {0.3, 0.2, 0.2}, {0.3, 0.2, 0.2}},
        ReductionCase{"HighestGroupWins", {0.5, 0.1}, {0.5, 0.1}, {0.3, 0.06}},
        ReductionCase{"FiveThree", {0.5, 0.3}, {0.5, 0.3}, {0.1, 0.06}},
        ReductionCase{
            "GroupZero", {0.1, 0.5, 0.1, 0.03}, {0.5, 0.1, 0.1, 0.03}, {0.5, 0.1, 0.1, 0.03}},
        ReductionCase{"TwoOne", {0.2, 0.1}, {0.2, 0.1}, {0.06, 0.03}},
        ReductionCase{"OutsideTheSeries", {0.4, 0.2}, {0.4, 0.2}, {0.06, 0.03}},
        ReductionCase{"Single", {0.5}, {0.5}, {0.03}},
        ReductionCase{"Equal", {0.2, 0.2}, {0.2, 0.2}, {0.03, 0.03}},
        ReductionCase{"WholeSeries", {0.03, 0.16, 0.5, 0.06, 0.2, 0.1, 0.3}, kSeries, kSeries}),
    testsupport::CaseName());

// Of the 127 sets of distinct series sizes only five come back changed.
TEST(GetSmallestPossibleValves, ChangesOnlyFiveKindsOfSeriesSets) {
    int changed = 0;
    for (std::uint32_t mask = 1; mask < 128; ++mask) {
        std::vector<double> sizes;
        for (std::size_t i = 0; i < kSeries.size(); ++i) {
            if ((mask & (1u << i)) != 0) {
                sizes.push_back(kSeries[i]);
            }
        }
        const std::vector<double> given = sizes;
        std::vector<double> smallest;
        ASSERT_EQ(GetSmallestPossibleValves(sizes, smallest), kSuccess);
        if (smallest == given) {
            continue;
        }
        ++changed;
        const bool expectedChange = given.size() == 1 || given == std::vector<double>{0.5, 0.3} ||
                                    given == std::vector<double>{0.5, 0.1} ||
                                    given == std::vector<double>{0.2, 0.1} ||
                                    given == std::vector<double>{0.2, 0.06};
        EXPECT_TRUE(expectedChange) << "mask " << mask;
        if (given.size() == 1) {
            EXPECT_EQ(smallest, std::vector<double>{0.03});
        }
    }
    EXPECT_EQ(changed, 6 + 4);  // 0.03 alone is already the smallest
    std::vector<double> sizes{0.2, 0.06, 0.06};
    std::vector<double> smallest;
    ASSERT_EQ(GetSmallestPossibleValves(sizes, smallest), kSuccess);
    EXPECT_EQ(smallest, (std::vector<double>{0.1, 0.03, 0.03}));
}

TEST(SortLargestFirst, PutsNotANumberLast) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    std::vector<double> values{nan, 0.1, -1.0, nan, std::numeric_limits<double>::infinity(), 0.5};
    SortLargestFirst(SpanOf(values));
    EXPECT_EQ(values[0], std::numeric_limits<double>::infinity());
    EXPECT_EQ(values[1], 0.5);
    EXPECT_EQ(values[2], 0.1);
    EXPECT_EQ(values[3], -1.0);
    EXPECT_TRUE(std::isnan(values[4]) && std::isnan(values[5]));
}

}  // namespace
}  // namespace korvan
