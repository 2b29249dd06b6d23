// Input that the widening tolerance search, or the reduction's scan, would never finish with (or
// only after a very long time) is answered at once: refused with its code before any search. CTest
// gives these tests a time limit, so a hang fails them.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "HardeningSupport.h"

namespace {

using korvan_test::CallInput;
using korvan_test::CallOutcome;
using korvan_test::HostEntry;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kDenormal = std::numeric_limits<double>::denorm_min();

struct Refusal {
    const char* name;
    CallInput input;
    std::int32_t result;
};

void PrintTo(const Refusal& refusal, std::ostream* out) {
    *out << refusal.name;
}

SolutionVector Edited(double inputValue) {
    return {HostEntry(0, 100.0, 0.9, 1), HostEntry(3, inputValue, 0.9, 2),
            HostEntry(1, 50.0, 0.9, 3)};
}

SolutionVector Holding(double demand) {
    return {HostEntry(0, 100.0, 0.9, 1), HostEntry(3, 5.0, demand, 2)};
}

std::vector<Refusal> Refusals() {
    using korvan_test::FillCall;
    using korvan_test::GenerateCall;
    using korvan_test::SmallestCall;
    std::vector<double> eightSizes = {0.5, 0.3, 0.2, 0.16, 0.1, 0.06, 0.03, 0.4};
    std::vector<double> eightWithZero = eightSizes;
    eightWithZero.back() = 0.0;
    return {
        // New points whose demand is zero, negative, infinite or not a number.
        {"GenerateAllZero", GenerateCall({0, 1, 3}, {0.0, 0.0, 0.0}), 13},
        {"GenerateOneZero", GenerateCall({0, 1, 3}, {100.0, 0.0, 80.0}), 13},
        {"GenerateNaN", GenerateCall({0, 1}, {100.0, kNaN}), 13},
        {"GeneratePlusInfinity", GenerateCall({0, 1}, {kInf, 100.0}), 13},
        {"GenerateMinusInfinity", GenerateCall({0, 1}, {100.0, -kInf}), 13},
        {"GenerateAllNegative", GenerateCall({0, 0}, {-1.0, -1000.0}), 13},
        {"GenerateOneNegative", GenerateCall({0, 0, 0}, {5.0, -1.0, 3.0}), 13},
        {"GenerateLargestOverflows", GenerateCall({1, 0}, {1e308, 1.0}), 13},
        {"GenerateUnderflowsToZero", GenerateCall({0, 0}, {1.0, kDenormal}), 13},
        {"GenerateEightAllNegative",
         GenerateCall({0, 0, 0, 0, 0, 0, 0, 0}, {-1, -2, -3, -4, -5, -6, -7, -8}), 13},
        // Positive and finite, but so far apart that their ratio is infinite: once the search
        // would only have ended at pass 101, and on the nearest-ratio path the mapping onto the
        // reduced sizes would have run off the chosen sizes after reordering the vector.
        {"GenerateRatioOverflows", GenerateCall({0, 0}, {1e300, 1e-300}), 13},
        {"GenerateEightRatioOverflows",
         GenerateCall({0, 0, 0, 0, 0, 0, 0, 0},
                      {1e300, 2e299, 1e-300, 1e-300, 1e-300, 1e-300, 1e-300, 1e-300}),
         13},
        // Entries the host already holds, with a stored demand the solver cannot work with.
        {"GenerateOntoZeroDemand", GenerateCall({}, {}, Holding(0.0)), 13},
        {"GenerateOntoNaNDemand", GenerateCall({0}, {100.0}, Holding(kNaN)), 13},
        {"GenerateOntoInfiniteDemand", GenerateCall({}, {}, Holding(kInf)), 13},
        {"GenerateOntoNegativeDemand", GenerateCall({}, {}, Holding(-0.5)), 13},
        // Entries whose edited input value recomputes to such a demand.
        {"FillZero", FillCall(Edited(0.0)), 13},
        {"FillNaN", FillCall(Edited(kNaN)), 13},
        {"FillPlusInfinity", FillCall(Edited(kInf)), 13},
        {"FillMinusInfinity", FillCall(Edited(-kInf)), 13},
        {"FillNegative", FillCall(Edited(-80.0)), 13},
        {"FillOverflows", FillCall(Edited(1.7e308)), 13},
        // Sizes whose ratios no group holds, or that are no sizes at all.
        {"SmallestInfinite", SmallestCall({kInf, 0.5}, {9.0}), 13},
        {"SmallestNaN", SmallestCall({0.5, kNaN, 0.3}, {9.0}), 13},
        {"SmallestRatioOverflows", SmallestCall({1e308, 1e-308}, {9.0}), 13},
        {"SmallestDenormal", SmallestCall({0.5, kDenormal}, {9.0}), 13},
        {"SmallestEightDistinct", SmallestCall(eightSizes, {9.0}), 13},
        {"SmallestZero", SmallestCall({0.5, 0.0}, {9.0}), 160},
        {"SmallestMinusInfinity", SmallestCall({0.5, -kInf}, {9.0}), 160},
        {"SmallestEightDistinctWithZero", SmallestCall(eightWithZero, {9.0}), 160},
    };
}

class NoHangRefusalTest : public testing::TestWithParam<Refusal> {};

TEST_P(NoHangRefusalTest, RefusedWithNothingWritten) {
    const CallInput& input = GetParam().input;
    const CallOutcome outcome = korvan_test::Run(input);
    EXPECT_EQ(outcome.result, GetParam().result) << korvan_test::Describe(outcome);
    EXPECT_TRUE(korvan_test::SameEntries(outcome.solution, input.solution));
    EXPECT_TRUE(korvan_test::SameValues(outcome.smallest, input.smallest));
    for (const double output : outcome.outputs) {
        EXPECT_TRUE(korvan_test::SameBits(output, korvan_test::Untouched()));
    }
}

INSTANTIATE_TEST_SUITE_P(UnsolvableInput, NoHangRefusalTest, testing::ValuesIn(Refusals()),
                         [](const testing::TestParamInfo<Refusal>& refusal) {
                             return std::string(refusal.param.name);
                         });

}  // namespace
