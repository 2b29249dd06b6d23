// The exported functions as a host meets them: result codes, refused input, and what a refused or
// failed call leaves of the host's vector and outputs.
#include <gtest/gtest.h>

#include <ostream>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "KorvanCalcValueProvider.h"
#include "TestSupport.h"

namespace {

constexpr double kUntouched = -12345.0;
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct Outputs {
    double deviationMax = kUntouched;
    double deviationMin = kUntouched;
    double scaleFactor = kUntouched;
    double reducedScaleFactor = kUntouched;

    bool Untouched() const {
        return deviationMax == kUntouched && deviationMin == kUntouched &&
               scaleFactor == kUntouched && reducedScaleFactor == kUntouched;
    }
};

std::int32_t Generate(const std::vector<std::uint32_t>& types, const std::vector<double>& values,
                      SolutionVector& solution, Outputs& out) {
    return GenerateSolutionVector(static_cast<std::int32_t>(types.size()), types.data(),
                                  values.data(), &out.deviationMax, &out.deviationMin,
                                  &out.scaleFactor, &out.reducedScaleFactor, &solution);
}

std::int32_t Fill(SolutionVector& solution, Outputs& out) {
    return FillSolutionVector(&solution, &out.deviationMax, &out.deviationMin, &out.scaleFactor,
                              &out.reducedScaleFactor);
}

bool SameBytes(const SolutionVector& left, const SolutionVector& right) {
    return left.size() == right.size() &&
           (left.empty() ||
            std::memcmp(left.data(), right.data(), left.size() * sizeof(SolutionEntry)) == 0);
}

// A solved vector whose entries carry the host's own tags.
SolutionVector SolvedAndTagged() {
    SolutionVector solution;
    Outputs out;
    EXPECT_EQ(Generate({1, 0, 3}, {50.0, 100.0, 80.0}, solution, out), 0);
    std::uint64_t tag = 0xC0FFEE00;
    for (SolutionEntry& entry : solution) {
        entry.callerData = tag++;
    }
    return solution;
}

template <typename Call>
void ExpectSubscriptError(Call call) {
    try {
        call();
        ADD_FAILURE() << "no exception";
    } catch (const std::out_of_range& error) {
        EXPECT_EQ(std::string(error.what()), "invalid vector<T> subscript");
    }
}

TEST(Version, IsExactlyOne) {
    EXPECT_EQ(GetCurrentVersion(), 1.0);
}

TEST(Generate, RefusesEveryMissingPointerWithoutWriting) {
    const std::uint32_t types[] = {1};
    const double values[] = {50.0};
    SolutionVector solution = SolvedAndTagged();
    const SolutionVector before = solution;
    Outputs out;
    double* const outputs[] = {&out.deviationMax, &out.deviationMin, &out.scaleFactor,
                               &out.reducedScaleFactor};
    for (int missing = 0; missing < 7; ++missing) {
        double* o[4] = {outputs[0], outputs[1], outputs[2], outputs[3]};
        if (missing < 4) {
            o[missing] = nullptr;
        }
        EXPECT_EQ(GenerateSolutionVector(1, missing == 4 ? nullptr : types,
                                         missing == 5 ? nullptr : values, o[0], o[1], o[2], o[3],
                                         missing == 6 ? nullptr : &solution),
                  160)
            << "missing " << missing;
    }
    EXPECT_TRUE(out.Untouched());
    EXPECT_TRUE(SameBytes(solution, before));
}

TEST(Generate, AcceptsMissingArraysWhenThereAreNoNewPoints) {
    SolutionVector solution = SolvedAndTagged();
    Outputs out;
    EXPECT_EQ(GenerateSolutionVector(0, nullptr, nullptr, &out.deviationMax, &out.deviationMin,
                                     &out.scaleFactor, &out.reducedScaleFactor, &solution),
              0);
    EXPECT_EQ(out.scaleFactor, 5.348333333333334);
}

TEST(Generate, RefusesNegativeCount) {
    const std::uint32_t types[] = {1};
    const double values[] = {50.0};
    SolutionVector solution = SolvedAndTagged();
    const SolutionVector before = solution;
    Outputs out;
    for (const std::int32_t count : {-1, std::numeric_limits<std::int32_t>::min()}) {
        EXPECT_EQ(GenerateSolutionVector(count, types, values, &out.deviationMax, &out.deviationMin,
                                         &out.scaleFactor, &out.reducedScaleFactor, &solution),
                  160);
    }
    EXPECT_TRUE(out.Untouched());
    EXPECT_TRUE(SameBytes(solution, before));
}

TEST(Generate, NoPointsOnEmptyVectorIsEmptySolution) {
    SolutionVector solution;
    Outputs out;
    EXPECT_EQ(Generate({}, {}, solution, out), 11);
    EXPECT_TRUE(solution.empty());
    EXPECT_TRUE(out.Untouched());
}

TEST(Generate, NewDemandIsFourThousandthsOfFactorTimesValue) {
    SolutionVector solution;
    Outputs out;
    ASSERT_EQ(Generate({1}, {100.0}, solution, out), 0);
    EXPECT_EQ(solution[0].demand, ((5.62 * 100.0) * 0.001) * 4.0);
    EXPECT_EQ(solution[0].demand, 2.248);
    // A recomputation halves it.
    ASSERT_EQ(Fill(solution, out), 0);
    EXPECT_EQ(solution[0].demand, 1.124);
}

TEST(Generate, AppendsAfterExistingEntriesAndSolvesThemAll) {
    SolutionVector solution = SolvedAndTagged();
    Outputs out;
    ASSERT_EQ(Generate({2, 3}, {300.0, 10.0}, solution, out), 0);
    ASSERT_EQ(solution.size(), 5u);
    for (std::size_t i = 1; i < solution.size(); ++i) {
        EXPECT_GE(solution[i - 1].demand, solution[i].demand);
    }
    EXPECT_EQ(solution[0].demand, ((2.25 * 300.0) * 0.001) * 4.0);
    EXPECT_EQ(solution[0].callerData, 0u);
    EXPECT_EQ(solution[4].demand, ((1.5 * 10.0) * 0.001) * 4.0);
}

TEST(Generate, BadTypeRaisesBeforeAnythingIsAppended) {
    SolutionVector solution = SolvedAndTagged();
    const SolutionVector before = solution;
    Outputs out;
    ExpectSubscriptError([&] { Generate({1, 0, 7}, {50.0, 100.0, 80.0}, solution, out); });
    // Types are checked before demands: a bad type beside a bad value still raises.
    ExpectSubscriptError([&] { Generate({4, 0}, {kNaN, 0.0}, solution, out); });
    EXPECT_TRUE(SameBytes(solution, before));
    EXPECT_TRUE(out.Untouched());
}

struct UnsolvableCase {
    const char* name;
    std::uint32_t type;
    double value;
};

// Names the case in test listings, rather than its bytes.
void PrintTo(const UnsolvableCase& example, std::ostream* out) {
    *out << example.name;
}

class UnsolvableValues : public testing::TestWithParam<UnsolvableCase> {};

// Without this refusal the widening search never ends, or a zero demand reports an infinite
// deviation as success.
TEST_P(UnsolvableValues, AreRefusedByGenerateWithNothingChanged) {
    SolutionVector solution = SolvedAndTagged();
    const SolutionVector before = solution;
    Outputs out;
    EXPECT_EQ(Generate({1, GetParam().type}, {50.0, GetParam().value}, solution, out), 13);
    EXPECT_TRUE(SameBytes(solution, before));
    EXPECT_TRUE(out.Untouched());
}

TEST_P(UnsolvableValues, AreRefusedByFillWithNothingChanged) {
    SolutionVector solution = SolvedAndTagged();
    solution[1].type = static_cast<std::int32_t>(GetParam().type);
    solution[1].inputValue = GetParam().value;
    const SolutionVector before = solution;
    Outputs out;
    EXPECT_EQ(Fill(solution, out), 13);
    EXPECT_TRUE(SameBytes(solution, before));
    EXPECT_TRUE(out.Untouched());
}

INSTANTIATE_TEST_SUITE_P(Demands, UnsolvableValues,
                         testing::Values(UnsolvableCase{"Zero", 0, 0.0},
                                         UnsolvableCase{"NegativeZero", 1, -0.0},
                                         UnsolvableCase{"Negative", 2, -5.0},
                                         UnsolvableCase{"NotANumber", 3, kNaN},
                                         UnsolvableCase{"PlusInfinity", 0, kInf},
                                         UnsolvableCase{"MinusInfinity", 1, -kInf},
                                         UnsolvableCase{"OverflowsToInfinity", 1, 1e308},
                                         UnsolvableCase{"UnderflowsToZero", 3, 1e-322}),
                         testsupport::CaseName());

TEST(Generate, RefusesExistingEntryWithUnsolvableDemand) {
    SolutionVector solution = SolvedAndTagged();
    solution[2].demand = 0.0;
    const SolutionVector before = solution;
    Outputs out;
    EXPECT_EQ(Generate({1}, {50.0}, solution, out), 13);
    EXPECT_TRUE(SameBytes(solution, before));
    EXPECT_TRUE(out.Untouched());
}

TEST(Fill, EmptyVectorIsEmptySolution) {
    SolutionVector solution;
    Outputs out;
    EXPECT_EQ(Fill(solution, out), 11);
    EXPECT_TRUE(out.Untouched());
}

TEST(Fill, RefusesEveryMissingPointerWithoutWriting) {
    SolutionVector solution = SolvedAndTagged();
    const SolutionVector before = solution;
    Outputs out;
    double* const outputs[] = {&out.deviationMax, &out.deviationMin, &out.scaleFactor,
                               &out.reducedScaleFactor};
    EXPECT_EQ(FillSolutionVector(nullptr, outputs[0], outputs[1], outputs[2], outputs[3]), 160);
    for (int missing = 0; missing < 4; ++missing) {
        double* o[4] = {outputs[0], outputs[1], outputs[2], outputs[3]};
        o[missing] = nullptr;
        EXPECT_EQ(FillSolutionVector(&solution, o[0], o[1], o[2], o[3]), 160);
    }
    EXPECT_TRUE(out.Untouched());
    EXPECT_TRUE(SameBytes(solution, before));
}

TEST(Fill, BadTypeRaisesBeforeAnyDemandIsRecomputed) {
    for (const std::int32_t type : {4, -1}) {
        SolutionVector solution = SolvedAndTagged();
        solution[0].inputValue = 999.0;  // would change the first demand if it were recomputed
        solution[2].type = type;
        const SolutionVector before = solution;
        Outputs out;
        ExpectSubscriptError([&] { Fill(solution, out); });
        EXPECT_TRUE(SameBytes(solution, before)) << "type " << type;
        EXPECT_TRUE(out.Untouched());
    }
}

TEST(Fill, CallerDataTravelsWithItsEntry) {
    SolutionVector solution = SolvedAndTagged();
    // The host raises the last point's value so that it becomes the largest demand.
    solution[2].inputValue = 10000.0;
    const std::uint64_t tag = solution[2].callerData;
    Outputs out;
    ASSERT_EQ(Fill(solution, out), 0);
    EXPECT_EQ(solution[0].callerData, tag);
    EXPECT_EQ(solution[0].inputValue, 10000.0);
    EXPECT_EQ(solution[1].callerData, 0xC0FFEE00u);
    EXPECT_EQ(solution[2].callerData, 0xC0FFEE01u);
}

TEST(Fill, RecomputesTheSameDemandsTwice) {
    SolutionVector solution = SolvedAndTagged();
    Outputs first;
    Outputs second;
    ASSERT_EQ(Fill(solution, first), 0);
    const SolutionVector once = solution;
    ASSERT_EQ(Fill(solution, second), 0);
    EXPECT_TRUE(SameBytes(solution, once));
    EXPECT_EQ(first.scaleFactor, second.scaleFactor);
}

struct ReductionCase {
    const char* name;
    std::vector<double> sizes;
    int code;
    std::vector<double> sorted;
};

// Names the case in test listings, rather than its bytes.
void PrintTo(const ReductionCase& example, std::ostream* out) {
    *out << example.name;
}

class ReductionFailures : public testing::TestWithParam<ReductionCase> {};

TEST_P(ReductionFailures, LeaveSizesSortedAndAppendNothing) {
    std::vector<double> sizes = GetParam().sizes;
    std::vector<double> smallest{9.0};
    EXPECT_EQ(GetSmallestPossibleValves(&sizes, &smallest), GetParam().code);
    EXPECT_EQ(smallest, std::vector<double>{9.0});
    ASSERT_EQ(sizes.size(), GetParam().sorted.size());
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        EXPECT_TRUE(sizes[i] == GetParam().sorted[i] ||
                    (std::isnan(sizes[i]) && std::isnan(GetParam().sorted[i])))
            << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Reduce, ReductionFailures,
    testing::Values(ReductionCase{"Zero", {0.0, 0.3}, 160, {0.3, 0.0}},
                    ReductionCase{"Negative", {-0.1, 0.3}, 160, {0.3, -0.1}},
                    ReductionCase{"ZeroBeforeNaN", {kNaN, 0.0, 0.5}, 160, {0.5, 0.0, kNaN}},
                    ReductionCase{"RatioNoGroupHolds", {0.2, 0.7}, 13, {0.7, 0.2}},
                    ReductionCase{"NotANumber", {0.1, kNaN, 0.5, kNaN}, 13, {0.5, 0.1, kNaN, kNaN}},
                    ReductionCase{"Infinite", {0.5, kInf}, 13, {kInf, 0.5}},
                    ReductionCase{"EightDistinct",
                                  {0.5, 0.3, 0.2, 0.16, 0.1, 0.06, 0.03, 0.01},
                                  13,
                                  {0.5, 0.3, 0.2, 0.16, 0.1, 0.06, 0.03, 0.01}},
                    ReductionCase{"EightDistinctAndZero",
                                  {0.0, 0.5, 0.3, 0.2, 0.16, 0.1, 0.06, 0.03, 0.01},
                                  160,
                                  {0.5, 0.3, 0.2, 0.16, 0.1, 0.06, 0.03, 0.01, 0.0}}),
    testsupport::CaseName());

TEST(Reduce, RefusesMissingPointers) {
    std::vector<double> sizes{0.5};
    std::vector<double> smallest;
    EXPECT_EQ(GetSmallestPossibleValves(nullptr, &smallest), 160);
    EXPECT_EQ(GetSmallestPossibleValves(&sizes, nullptr), 160);
    EXPECT_TRUE(smallest.empty());
}

TEST(Reduce, EmptySizesRaise) {
    std::vector<double> sizes;
    std::vector<double> smallest{9.0};
    ExpectSubscriptError([&] { GetSmallestPossibleValves(&sizes, &smallest); });
    EXPECT_EQ(smallest, std::vector<double>{9.0});
}

}  // namespace
