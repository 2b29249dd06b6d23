// The worked examples of the sizing rules, end to end through the exported functions, with
// doubles compared exactly.
#include <gtest/gtest.h>

#include <ostream>

#include <cmath>
#include <cstdint>
#include <vector>

#include "KorvanCalcValueProvider.h"
#include "TestSupport.h"

namespace {

struct Outputs {
    double deviationMax = -1.0;
    double deviationMin = -1.0;
    double scaleFactor = -1.0;
    double reducedScaleFactor = -1.0;
};

double RecomputedDemandOfType0(double inputValue) {
    return ((inputValue * 2.25) * 0.001) * 2.0;
}

// An input value of type 0 whose recomputed demand is exactly `demand`, found by walking the
// doubles around the exact quotient; every demand the examples use has one.
double InputForDemand(double demand) {
    double below = demand / (2.25 * 0.002);
    double above = below;
    for (int step = 0; step < 4000; ++step) {
        if (RecomputedDemandOfType0(below) == demand) {
            return below;
        }
        if (RecomputedDemandOfType0(above) == demand) {
            return above;
        }
        below = std::nextafter(below, 0.0);
        above = std::nextafter(above, HUGE_VAL);
    }
    ADD_FAILURE() << "no input value gives the demand " << demand;
    return 0.0;
}

// Entries whose demands, once FillSolutionVector recomputes them, are exactly `demands`.
SolutionVector EntriesWithDemands(const std::vector<double>& demands) {
    SolutionVector solution;
    std::uint64_t tag = 1;
    for (const double demand : demands) {
        SolutionEntry entry{};
        entry.type = 0;
        entry.inputValue = InputForDemand(demand);
        entry.callerData = tag++;
        solution.push_back(entry);
    }
    return solution;
}

std::int32_t Fill(SolutionVector& solution, Outputs& out) {
    return FillSolutionVector(&solution, &out.deviationMax, &out.deviationMin, &out.scaleFactor,
                              &out.reducedScaleFactor);
}

std::vector<double> SizesOf(const SolutionVector& solution) {
    std::vector<double> sizes;
    for (const SolutionEntry& entry : solution) {
        sizes.push_back(entry.valveSize);
    }
    return sizes;
}

std::vector<double> DeviationsOf(const SolutionVector& solution) {
    std::vector<double> deviations;
    for (const SolutionEntry& entry : solution) {
        deviations.push_back(entry.deviation);
    }
    return deviations;
}

TEST(WorkedExamples, RoadOfOneRequest) {
    const std::uint32_t types[] = {1, 0, 3};
    const double values[] = {50.0, 100.0, 80.0};
    SolutionVector solution;
    Outputs out;
    ASSERT_EQ(GenerateSolutionVector(3, types, values, &out.deviationMax, &out.deviationMin,
                                     &out.scaleFactor, &out.reducedScaleFactor, &solution),
              0);
    EXPECT_EQ(out.deviationMax, 11.42);
    EXPECT_EQ(out.deviationMin, -4.92);
    EXPECT_EQ(out.scaleFactor, 5.348333333333334);
    EXPECT_EQ(out.reducedScaleFactor, 0.0026741666666666667);
    ASSERT_EQ(solution.size(), 3u);
    EXPECT_EQ(SizesOf(solution), (std::vector<double>{0.2, 0.16, 0.1}));
    EXPECT_EQ(DeviationsOf(solution), (std::vector<double>{-4.84, -4.92, 11.42}));
    const double demands[] = {1.124, 0.9, 0.48};
    const double ratios[] = {1.0, 1.248888888888889, 2.341666666666667};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(solution[i].type, static_cast<std::int32_t>(types[i]));
        EXPECT_EQ(solution[i].demand, demands[i]);
        EXPECT_EQ(solution[i].ratio, ratios[i]);
        // The windows of pass 15, where group 2 first fits.
        EXPECT_EQ(solution[i].ratioMax, (15.0 / 100.0 + 1.0) * ratios[i]);
        EXPECT_EQ(solution[i].ratioMin, (-15.0 / 100.0 + 1.0) * ratios[i]);
        EXPECT_EQ(solution[i].callerData, 0u);
    }
}

struct SolveCase {
    const char* name;
    std::vector<double> demands;
    std::vector<double> sizes;
    std::vector<double> deviations;
    double deviationMax;
    double deviationMin;
    double scaleFactor;
    double reducedScaleFactor;
};

// Names the case in test listings, rather than its bytes.
void PrintTo(const SolveCase& example, std::ostream* out) {
    *out << example.name;
}

class SolveExamples : public testing::TestWithParam<SolveCase> {};

TEST_P(SolveExamples, GiveTheirSizesDeviationsAndOutputs) {
    const SolveCase& example = GetParam();
    SolutionVector solution = EntriesWithDemands(example.demands);
    Outputs out;
    ASSERT_EQ(Fill(solution, out), 0);
    EXPECT_EQ(SizesOf(solution), example.sizes);
    EXPECT_EQ(DeviationsOf(solution), example.deviations);
    EXPECT_EQ(out.deviationMax, example.deviationMax);
    EXPECT_EQ(out.deviationMin, example.deviationMin);
    EXPECT_EQ(out.scaleFactor, example.scaleFactor);
    EXPECT_EQ(out.reducedScaleFactor, example.reducedScaleFactor);
}

INSTANTIATE_TEST_SUITE_P(
    Driver, SolveExamples,
    testing::Values(
        // 5 / 3 equals 0.5 / 0.3 exactly; the pair reduces to 0.1 and 0.06.
        SolveCase{"TwoPointsReduced", {5.0, 3.0}, {0.1, 0.06}, {0.0, 0.0}, 0.0, 0.0, 50.0, 0.025},
        // Eight points take the nearest-ratio path; the reduction keeps the sizes.
        SolveCase{"EightPointsNearestRatio",
                  {8.0, 7.0, 6.0, 5.0, 4.0, 3.0, 2.0, 1.0},
                  {0.5, 0.5, 0.5, 0.3, 0.3, 0.2, 0.16, 0.06},
                  {-9.25, 3.72, 21.0, -12.88, 8.9, -3.2, 16.16, -12.88},
                  21.0,
                  -12.88,
                  14.520833333333334,
                  0.007260416666666667}),
    testsupport::CaseName());

struct ToleranceCase {
    const char* name;
    std::vector<double> demands;
    int pass;
    std::vector<double> finalSizes;
};

// Names the case in test listings, rather than its bytes.
void PrintTo(const ToleranceCase& example, std::ostream* out) {
    *out << example.name;
}

class ToleranceExamples : public testing::TestWithParam<ToleranceCase> {};

// The pass that ended the search shows in the windows every entry keeps; the sizes are those the
// host finally reads, after the reduction and refinement.
TEST_P(ToleranceExamples, EndAtTheirPassWithTheirSizes) {
    const ToleranceCase& example = GetParam();
    SolutionVector solution = EntriesWithDemands(example.demands);
    Outputs out;
    ASSERT_EQ(Fill(solution, out), 0);
    const double pass = example.pass;
    for (const SolutionEntry& entry : solution) {
        EXPECT_EQ(entry.ratioMax, (pass / 100.0 + 1.0) * entry.ratio);
        EXPECT_EQ(entry.ratioMin, (-pass / 100.0 + 1.0) * entry.ratio);
    }
    EXPECT_EQ(SizesOf(solution), example.finalSizes);
}

INSTANTIATE_TEST_SUITE_P(
    Search, ToleranceExamples,
    testing::Values(
        ToleranceCase{"SinglePoint", {5.0}, 0, {0.03}},
        ToleranceCase{"SevenEqual", std::vector<double>(7, 1.0), 0, std::vector<double>(7, 0.03)},
        ToleranceCase{"FourTwo", {4.0, 2.0}, 0, {0.06, 0.03}},
        ToleranceCase{"ThreeOne", {3.0, 1.0}, 1, {0.3, 0.1}},
        ToleranceCase{"TenSixThree", {10.0, 6.0, 3.0}, 0, {0.1, 0.06, 0.03}},
        ToleranceCase{"TenSixThreeThree", {10.0, 6.0, 3.0, 3.0}, 7, {0.5, 0.3, 0.16, 0.16}},
        // The search leaves 0.3, 0.2, 0.2; refinement moves the third point down to 0.16.
        ToleranceCase{"TwelveNineSeven", {12.0, 9.0, 7.0}, 13, {0.3, 0.2, 0.16}},
        ToleranceCase{"SeventeenFifteenSix", {17.0, 15.0, 6.0}, 12, {0.5, 0.5, 0.2}},
        ToleranceCase{"SixSevensAndOne",
                      {7.0, 7.0, 7.0, 7.0, 7.0, 7.0, 1.0},
                      20,
                      {0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.06}},
        ToleranceCase{"ThousandToOne", {1000.0, 1.0}, 99, {0.5, 0.03}},
        ToleranceCase{"SeventeenHundredToOne", {1700.0, 1.0}, 100, {0.03, 0.03}}),
    testsupport::CaseName());

}  // namespace
