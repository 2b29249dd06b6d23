// The widening tolerance search: the pass and group at which it ends, and the sizes it gives
// before the reduction acts on them.
#include <gtest/gtest.h>

#include <ostream>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <stdexcept>
#include <vector>

#include "SolverFixtures.h"
#include "TestSupport.h"
#include "solver/ToleranceSearch.h"

namespace korvan {
namespace {

struct SearchCase {
    const char* name;
    std::vector<double> demands;
    int pass;
    std::int32_t group;
    std::vector<double> sizes;
};

// Names the case in test listings, rather than its bytes.
void PrintTo(const SearchCase& example, std::ostream* out) {
    *out << example.name;
}

class SearchExamples : public testing::TestWithParam<SearchCase> {};

TEST_P(SearchExamples, EndAtTheirPassAndGroup) {
    const SearchCase& example = GetParam();
    const ValveRatioTable table = RatioTable();
    SolutionVector solution = PreparedEntries(example.demands);
    const double pass = example.pass;
    std::int32_t group = -1;
    if (example.pass > 0) {
        EXPECT_EQ(MatchWithinTolerance(Entries(solution), table, pass - 1, -(pass - 1), group),
                  kNoGroupFits);
        EXPECT_EQ(group, -1);
    }
    ASSERT_EQ(MatchWithinTolerance(Entries(solution), table, pass, -pass, group), kSuccess);
    EXPECT_EQ(group, example.group);

    SolutionVector searched = PreparedEntries(example.demands);
    SearchWithinTolerance(Entries(searched), table);
    EXPECT_EQ(SizesOf(searched), example.sizes);
    for (const SolutionEntry& entry : searched) {
        EXPECT_EQ(entry.ratioMax, (pass / 100.0 + 1.0) * entry.ratio);
        EXPECT_EQ(entry.ratioMin, (-pass / 100.0 + 1.0) * entry.ratio);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Passes, SearchExamples,
    testing::Values(
        SearchCase{"SinglePoint", {5.0}, 0, 0, {0.5}},
        SearchCase{"SevenEqual", std::vector<double>(7, 1.0), 0, 0, std::vector<double>(7, 0.5)},
        SearchCase{"FourTwo", {4.0, 2.0}, 0, 2, {0.2, 0.1}},
        SearchCase{"ThreeOne", {3.0, 1.0}, 1, 1, {0.3, 0.1}},
        SearchCase{"TenSixThree", {10.0, 6.0, 3.0}, 0, 4, {0.1, 0.06, 0.03}},
        SearchCase{"TenSixThreeThree", {10.0, 6.0, 3.0, 3.0}, 7, 0, {0.5, 0.3, 0.16, 0.16}},
        SearchCase{"TwelveNineSeven", {12.0, 9.0, 7.0}, 13, 1, {0.3, 0.2, 0.2}},
        SearchCase{"SeventeenFifteenSix", {17.0, 15.0, 6.0}, 12, 0, {0.5, 0.5, 0.2}},
        SearchCase{"SixSevensAndOne",
                   {7.0, 7.0, 7.0, 7.0, 7.0, 7.0, 1.0},
                   20,
                   0,
                   {0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.06}},
        SearchCase{"ThousandToOne", {1000.0, 1.0}, 99, 0, {0.5, 0.03}},
        SearchCase{"SeventeenHundredToOne", {1700.0, 1.0}, 100, 0, {0.5, 0.5}}),
    testsupport::CaseName());

TEST(MatchWithinTolerance, LeavesTheWindowsOfThePass) {
    const ValveRatioTable table = RatioTable();
    SolutionVector solution = PreparedEntries({12.0, 9.0, 7.0});
    std::int32_t group = 0;
    ASSERT_EQ(MatchWithinTolerance(Entries(solution), table, 13.0, -13.0, group), kSuccess);
    EXPECT_EQ(solution[0].ratioMin, 0.87);
    EXPECT_EQ(solution[0].ratioMax, 1.13);
    EXPECT_EQ(solution[1].ratioMin, 1.16);
    EXPECT_EQ(solution[1].ratioMax, 1.5066666666666664);
    EXPECT_EQ(solution[2].ratioMin, 1.4914285714285713);
    EXPECT_EQ(solution[2].ratioMax, 1.9371428571428568);

    SolutionVector threeOne = PreparedEntries({3.0, 1.0});
    ASSERT_EQ(MatchWithinTolerance(Entries(threeOne), table, 1.0, -1.0, group), kSuccess);
    EXPECT_EQ(threeOne[1].ratioMin, 2.9699999999999998);
    EXPECT_EQ(threeOne[1].ratioMax, 3.0300000000000002);
}

// The search alone, on ratios no call hands it any more (such demands are refused before):
// an infinite ratio fits nothing until pass 101.
TEST(MatchWithinTolerance, InfiniteRatioFitsOnlyOncePassOneHundredIsBehind) {
    const ValveRatioTable table = RatioTable();
    SolutionVector solution = PreparedEntries({1e300, 1e-300});
    ASSERT_TRUE(std::isinf(solution[1].ratio));
    std::int32_t group = -1;
    EXPECT_EQ(MatchWithinTolerance(Entries(solution), table, 100.0, -100.0, group), kNoGroupFits);
    EXPECT_EQ(MatchWithinTolerance(Entries(solution), table, 101.0, -101.0, group), kSuccess);
    AssignFromGroup(Entries(solution), table, group);
    EXPECT_EQ(SizesOf(solution), (std::vector<double>{0.5, 0.5}));
}

TEST(MatchWithinTolerance, EmptySolutionRaises) {
    const ValveRatioTable table = RatioTable();
    SolutionVector solution;
    std::int32_t group = 0;
    EXPECT_THROW(MatchWithinTolerance(Entries(solution), table, 0.0, 0.0, group),
                 std::out_of_range);
}

TEST(AssignFromGroup, KeepsTheSizeOfAPointNoEntryFits) {
    const ValveRatioTable table = RatioTable();
    SolutionVector solution = PreparedEntries({4.0, 2.0});
    std::int32_t group = 0;
    ASSERT_EQ(MatchWithinTolerance(Entries(solution), table, 0.0, 0.0, group), kSuccess);
    solution[1].valveSize = 0.777;
    solution[1].ratioMin = solution[1].ratioMax = 100.0;
    AssignFromGroup(Entries(solution), table, group);
    EXPECT_EQ(SizesOf(solution), (std::vector<double>{0.2, 0.777}));
}

}  // namespace
}  // namespace korvan

namespace korvan {
namespace {

// The ratio table with every group's entries in reverse order: the search must still find the
// same pass and group, and the assignment must take the first fitting entry in table order.
ValveRatioTable GroupsReversed() {
    ValveRatioTable table = RatioTable();
    for (std::size_t group = 0; group < kGroupCount; ++group) {
        const auto first = table.begin() + static_cast<std::ptrdiff_t>(GroupOffset(group));
        std::reverse(first, first + static_cast<std::ptrdiff_t>(GroupLength(group)));
    }
    return table;
}

TEST(ToleranceSearchOnAnyTable, TakesTheFirstFittingEntryInTableOrder) {
    const ValveRatioTable table = GroupsReversed();
    SolutionVector solution = PreparedEntries({12.0, 9.0, 7.0});
    SearchWithinTolerance(Entries(solution), table);
    // The third point's window holds 1.4999999999999998 and 1.875; reversed, 1.875 comes first.
    EXPECT_EQ(SizesOf(solution), (std::vector<double>{0.3, 0.2, 0.16}));
    EXPECT_EQ(solution[2].ratioMin, 1.4914285714285713);

    std::int32_t group = -1;
    SolutionVector fourTwo = PreparedEntries({4.0, 2.0});
    EXPECT_EQ(MatchWithinTolerance(Entries(fourTwo), table, 0.0, 0.0, group), kSuccess);
    EXPECT_EQ(group, 2);
    AssignFromGroup(Entries(fourTwo), table, group);
    EXPECT_EQ(SizesOf(fourTwo), (std::vector<double>{0.2, 0.1}));

    SolutionVector sixSevens = PreparedEntries({7.0, 7.0, 7.0, 7.0, 7.0, 7.0, 1.0});
    EXPECT_EQ(MatchWithinTolerance(Entries(sixSevens), table, 19.0, -19.0, group), kNoGroupFits);
    SearchWithinTolerance(Entries(sixSevens), table);
    EXPECT_EQ(sixSevens[6].valveSize, 0.06);
    EXPECT_EQ(sixSevens[6].ratioMax, 1.2 * 7.0);
}

}  // namespace
}  // namespace korvan
