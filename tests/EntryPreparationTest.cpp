// Demands of new and recomputed entries, and the checks that refuse input before anything changes.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <stdexcept>

#include "interface/ResultCodes.h"
#include "tables/EntryPreparation.h"

namespace korvan {
namespace {

TypeFactorTable Factors() {
    TypeFactorTable factors;
    EXPECT_EQ(BuildTypeFactorTable(factors), kSuccess);
    return factors;
}

TEST(AppendEntries, AppendsZeroedEntriesWithTheirDemands) {
    const TypeFactorTable factors = Factors();
    SolutionVector solution(1);
    solution[0].callerData = 77;
    const std::uint32_t types[] = {1, 2};
    const double values[] = {100.0, 8.0};
    ASSERT_EQ(AppendEntries(solution, factors, 2, types, values), kSuccess);
    ASSERT_EQ(solution.size(), 3u);
    EXPECT_EQ(solution[0].callerData, 77u);
    EXPECT_EQ(solution[1].demand, 2.248);
    EXPECT_EQ(solution[2].type, 2);
    EXPECT_EQ(solution[2].inputValue, 8.0);
    EXPECT_EQ(solution[2].demand, ((2.25 * 8.0) * 0.001) * 4.0);
    EXPECT_EQ(solution[2].ratio, 0.0);
    EXPECT_EQ(solution[2].valveSize, 0.0);
    EXPECT_EQ(solution[2].callerData, 0u);
    EXPECT_EQ(AppendEntries(solution, factors, 0, nullptr, nullptr), kSuccess);
    EXPECT_EQ(solution.size(), 3u);
}

TEST(RecomputeDemands, ClearsWorkFieldsButKeepsDeviationAndCallerData) {
    const TypeFactorTable factors = Factors();
    SolutionEntry entry{1, 100.0, 9.0, 2.0, 3.0, 4.0, 0.3, -7.5, 42};
    SolutionVector solution{entry};
    ASSERT_EQ(RecomputeDemands(solution, factors), kSuccess);
    EXPECT_EQ(solution[0].demand, 1.124);
    EXPECT_EQ(solution[0].ratio, 0.0);
    EXPECT_EQ(solution[0].ratioMax, 0.0);
    EXPECT_EQ(solution[0].ratioMin, 0.0);
    EXPECT_EQ(solution[0].valveSize, 0.0);
    EXPECT_EQ(solution[0].deviation, -7.5);
    EXPECT_EQ(solution[0].callerData, 42u);
}

TEST(CheckNewPoints, ChecksTypesBeforeDemands) {
    const TypeFactorTable factors = Factors();
    const SolutionVector solution;
    const std::uint32_t types[] = {0, 4};
    const double values[] = {0.0, 1.0};
    EXPECT_THROW(CheckNewPoints(solution, factors, 2, types, values), std::out_of_range);
    const std::uint32_t goodTypes[] = {0, 3};
    EXPECT_EQ(CheckNewPoints(solution, factors, 2, goodTypes, values), kUnsolvableInput);
}

TEST(IsSolvableDemand, AcceptsOnlyPositiveFiniteDemands) {
    constexpr double kMax = std::numeric_limits<double>::max();
    constexpr double kTiny = std::numeric_limits<double>::denorm_min();
    EXPECT_TRUE(IsSolvableDemand(kTiny));
    EXPECT_TRUE(IsSolvableDemand(kMax));
    EXPECT_FALSE(IsSolvableDemand(0.0));
    EXPECT_FALSE(IsSolvableDemand(-kTiny));
    EXPECT_FALSE(IsSolvableDemand(std::numeric_limits<double>::infinity()));
    EXPECT_FALSE(IsSolvableDemand(std::numeric_limits<double>::quiet_NaN()));
}

}  // namespace
}  // namespace korvan
