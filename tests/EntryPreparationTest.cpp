// Demands of new and recomputed entries, and the checks that refuse input before anything changes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <utility>
#include <vector>

#include "interface/KorvanCalcValueProvider.h"
#include "tables/EntryPreparation.h"
#include "tables/ResultCodes.h"

namespace korvan {
namespace {

TypeFactorTable Factors() {
    TypeFactorTable factors;
    EXPECT_EQ(BuildTypeFactorTable(factors), kSuccess);
    return factors;
}

std::int32_t Append(SolutionVector& solution, const TypeFactorTable& factors, std::size_t count,
                    const std::uint32_t* types, const double* values,
                    const std::uint64_t* tags = nullptr) {
    return MakeNewEntries(factors, count, types, values, tags,
                          [&](const SolutionEntry& entry) { solution.push_back(entry); });
}

TEST(MakeNewEntries, MakesZeroedEntriesWithTheirDemandsAndTags) {
    const TypeFactorTable factors = Factors();
    SolutionVector solution(1);
    solution[0].callerData = 77;
    const std::uint32_t types[] = {1, 2};
    const double values[] = {100.0, 8.0};
    ASSERT_EQ(Append(solution, factors, 2, types, values), kSuccess);
    ASSERT_EQ(solution.size(), 3u);
    EXPECT_EQ(solution[0].callerData, 77u);
    EXPECT_EQ(solution[1].demand, 2.248);
    EXPECT_EQ(solution[2].type, 2);
    EXPECT_EQ(solution[2].inputValue, 8.0);
    EXPECT_EQ(solution[2].demand, ((2.25 * 8.0) * 0.001) * 4.0);
    EXPECT_EQ(solution[2].ratio, 0.0);
    EXPECT_EQ(solution[2].valveSize, 0.0);
    EXPECT_EQ(solution[2].callerData, 0u);
    EXPECT_EQ(Append(solution, factors, 0, nullptr, nullptr), kSuccess);
    EXPECT_EQ(solution.size(), 3u);
    const std::uint64_t tags[] = {0xFEED, 9};
    ASSERT_EQ(Append(solution, factors, 2, types, values, tags), kSuccess);
    EXPECT_EQ(solution[3].callerData, 0xFEEDu);
    EXPECT_EQ(solution[4].callerData, 9u);
}

TEST(RecomputeDemand, ClearsWorkFieldsButKeepsDeviationAndCallerData) {
    const TypeFactorTable factors = Factors();
    SolutionEntry entry{1, 100.0, 9.0, 2.0, 3.0, 4.0, 0.3, -7.5, 42};
    SolutionVector solution{entry};
    RecomputeDemand(solution[0], factors);
    EXPECT_EQ(solution[0].demand, 1.124);
    EXPECT_EQ(solution[0].ratio, 0.0);
    EXPECT_EQ(solution[0].ratioMax, 0.0);
    EXPECT_EQ(solution[0].ratioMin, 0.0);
    EXPECT_EQ(solution[0].valveSize, 0.0);
    EXPECT_EQ(solution[0].deviation, -7.5);
    EXPECT_EQ(solution[0].callerData, 42u);
}

TEST(NewDemands, NumberHeldEntriesFirstAndStopAtTheFirstUnknownType) {
    const TypeFactorTable factors = Factors();
    SolutionEntry held[1] = {};
    held[0].demand = 0.5;
    const std::uint32_t types[] = {0, 3, 4, 1};
    const double values[] = {100.0, 10.0, 1.0, 1.0};
    std::vector<std::pair<std::size_t, double>> seen;
    const auto record = [&](std::size_t point, double demand) { seen.emplace_back(point, demand); };
    EXPECT_EQ((NewDemands{{held, 1}, &factors, types, values, 4}.ForEach(record)), 3u);
    EXPECT_EQ(seen,
              (std::vector<std::pair<std::size_t, double>>{
                  {0, 0.5}, {1, NewEntryDemand(2.25, 100.0)}, {2, NewEntryDemand(1.5, 10.0)}}));
    seen.clear();
    EXPECT_EQ((NewDemands{{held, 1}, &factors, types, values, 2}.ForEach(record)), kNoPoint);
    EXPECT_EQ(seen.size(), 3u);

    SolutionEntry entries[2] = {};
    entries[0].inputValue = 100.0;
    entries[1].type = -1;  // read as unsigned: far beyond the table
    seen.clear();
    EXPECT_EQ((RecomputedDemands{{entries, 2}, &factors}.ForEach(record)), 1u);
    EXPECT_EQ(seen,
              (std::vector<std::pair<std::size_t, double>>{{0, RecomputedDemand(100.0, 2.25)}}));
}

TEST(RuleForInputValue, TellsNotPositiveFromNotANumberFromOutOfRange) {
    constexpr double kInf = std::numeric_limits<double>::infinity();
    const std::pair<double, std::int32_t> cases[] = {
        {0.0, KORVAN_RULE_INPUT_NOT_POSITIVE},
        {-0.0, KORVAN_RULE_INPUT_NOT_POSITIVE},
        {-50.0, KORVAN_RULE_INPUT_NOT_POSITIVE},
        {-kInf, KORVAN_RULE_INPUT_NOT_POSITIVE},
        {std::numeric_limits<double>::quiet_NaN(), KORVAN_RULE_INPUT_NOT_A_NUMBER},
        {kInf, KORVAN_RULE_DEMAND_OUT_OF_RANGE},
        {1e300, KORVAN_RULE_DEMAND_OUT_OF_RANGE},
        {1e-300, KORVAN_RULE_DEMAND_OUT_OF_RANGE},
    };
    for (const auto& [value, rule] : cases) {
        EXPECT_EQ(RuleForInputValue(value), rule) << value;
    }
}

TEST(IsSolvableDemand, AcceptsTheRangeThatKeepsEveryFigureFinite) {
    constexpr double kInf = std::numeric_limits<double>::infinity();
    EXPECT_TRUE(IsSolvableDemand(1e-150));
    EXPECT_TRUE(IsSolvableDemand(1e150));
    EXPECT_TRUE(IsSolvableDemand(1.0));
    EXPECT_FALSE(IsSolvableDemand(std::nextafter(1e-150, 0.0)));
    EXPECT_FALSE(IsSolvableDemand(std::nextafter(1e150, kInf)));
    EXPECT_FALSE(IsSolvableDemand(std::numeric_limits<double>::denorm_min()));
    EXPECT_FALSE(IsSolvableDemand(std::numeric_limits<double>::max()));
    EXPECT_FALSE(IsSolvableDemand(0.0));
    EXPECT_FALSE(IsSolvableDemand(-1.0));
    EXPECT_FALSE(IsSolvableDemand(kInf));
    EXPECT_FALSE(IsSolvableDemand(std::numeric_limits<double>::quiet_NaN()));
}

}  // namespace
}  // namespace korvan
