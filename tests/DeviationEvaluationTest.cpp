// Deviations, their rounding, the refinement of single points and the four outputs.
#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <vector>

#include "SolverFixtures.h"
#include "solver/DeviationEvaluation.h"

namespace korvan {
namespace {

double Raw(double demand, double valveSize, double scaleFactor) {
    return RawDeviation(PointDemand{demand, 100.0 / demand}, valveSize, scaleFactor);
}

// The two evaluations around a refinement, point by point, as a solve runs them.
Extremes Evaluate(SolutionVector& solution, double scaleFactor) {
    Extremes extremes;
    for (SolutionEntry& point : solution) {
        extremes.Include(EvaluateDeviation(point, DemandOf(point), scaleFactor));
    }
    return extremes;
}

void Refine(SolutionVector& solution, const GroupZero& groupZero, double scaleFactor) {
    for (SolutionEntry& point : solution) {
        const PointDemand demand = DemandOf(point);
        RefineValve(point, demand, RawDeviation(demand, point.valveSize, scaleFactor), groupZero,
                    scaleFactor);
    }
}

SolutionEntry Point(double demand, double ratio, double valveSize) {
    SolutionEntry entry{};
    entry.demand = demand;
    entry.ratio = ratio;
    entry.valveSize = valveSize;
    return entry;
}

TEST(RawDeviation, KeepsItsOrderOfOperations) {
    // (received - demand) / demand × 100 would give -86.0 here.
    EXPECT_EQ(Raw(3.0, 0.06, 7.0), -86.00000000000001);
    EXPECT_EQ(RoundDownToHundredths(Raw(3.0, 0.06, 7.0)), -86.01);
}

TEST(RoundDownToHundredths, RoundsTowardsMinusInfinity) {
    const struct {
        double raw;
        double rounded;
    } cases[] = {{16.666666666666668, 16.66},
                 {-6.666666666666673, -6.67},
                 {0.009, 0.0},
                 {-0.004, -0.01},
                 {11.42, 11.42},
                 {-4.92, -4.92}};
    for (const auto& example : cases) {
        EXPECT_EQ(RoundDownToHundredths(example.raw), example.rounded) << example.raw;
    }
}

TEST(EvaluateDeviation, ExtremesAreRawAndZeroWhenOneSideIsEmpty) {
    SolutionVector below{Point(4.0, 1.0, 0.1), Point(2.0, 2.0, 0.06)};
    const Extremes fromBelow = Evaluate(below, 25.0);
    EXPECT_EQ(fromBelow.largest, 0.0);
    EXPECT_EQ(fromBelow.smallest, Raw(4.0, 0.1, 25.0));
    EXPECT_EQ(below[0].deviation, -37.5);

    SolutionVector above{Point(4.0, 1.0, 0.2)};
    const Extremes fromAbove = Evaluate(above, 25.0);
    EXPECT_EQ(fromAbove.largest, 25.0);
    EXPECT_EQ(fromAbove.smallest, 0.0);

    Extremes notANumber;
    notANumber.Include(std::nan(""));
    EXPECT_EQ(notANumber.largest, 0.0);
    EXPECT_EQ(notANumber.smallest, 0.0);
}

TEST(RefineValve, MovesOnlyWhenTheNeighbourIsStrictlyNearer) {
    const GroupZero groupZero = CollectGroupZero(RatioTable());
    const double scale = 25.0;
    const struct {
        SolutionEntry point;
        double size;
    } cases[] = {
        {Point(4.0, 2.0, 0.1), 0.16},    // -37.5 moves up to an exact 0.0
        {Point(4.0, 2.0, 0.2), 0.16},    // 25.0 moves down to 0.0
        {Point(4.0, 1.0, 0.1), 0.1},     // ratio 1: never to the larger size; smaller is worse
        {Point(4.0, 1.0, 0.2), 0.16},    // ratio 1 may still move down
        {Point(4.0, 2.0, 0.16), 0.16},   // already exact: never moves
        {Point(12.5, 2.0, 0.5), 0.5},    // no larger neighbour, smaller is worse
        {Point(0.75, 2.0, 0.03), 0.03},  // no smaller neighbour, larger is worse
    };
    for (const auto& example : cases) {
        SolutionEntry point = example.point;
        const PointDemand demand = DemandOf(point);
        const double raw = EvaluateDeviation(point, demand, scale);
        const double final = RefineValve(point, demand, raw, groupZero, scale);
        EXPECT_EQ(point.valveSize, example.size)
            << example.point.demand << " at " << example.point.valveSize;
        EXPECT_EQ(final, Raw(example.point.demand, point.valveSize, scale));
        EXPECT_EQ(point.deviation, RoundDownToHundredths(final));
    }
}

TEST(RefineValve, EqualMagnitudesStay) {
    SolutionVector solution{Point(1.0, 2.0, 0.2)};
    // The current deviation is set to the exact opposite of what the larger neighbour gives.
    const double scale = 1.3 / 0.3;
    const double up = RoundDownToHundredths(Raw(1.0, 0.3, scale));
    solution[0].deviation = -up;
    const double down = RoundDownToHundredths(Raw(1.0, 0.16, scale));
    ASSERT_GT(std::fabs(down), up);
    const PointDemand demand = DemandOf(solution[0]);
    RefineValve(solution[0], demand, -up, CollectGroupZero(RatioTable()), scale);
    EXPECT_EQ(solution[0].valveSize, 0.2);
}

TEST(RefineValve, SizeOutsideTheSeriesRaises) {
    SolutionVector solution{Point(1.0, 2.0, 0.25)};
    EXPECT_THROW(Refine(solution, CollectGroupZero(RatioTable()), 4.0), std::out_of_range);
}

TEST(EvaluateAndRefine, ReproducesTheRefinementExample) {
    const ValveRatioTable table = RatioTable();
    SolutionVector solution{Point(3.0, 1.0, 0.5), Point(1.8, 1.6666666666666665, 0.2),
                            Point(1.1, 2.727272727272727, 0.2),
                            Point(0.45, 6.666666666666666, 0.06)};
    double sum = 0.0;
    for (const SolutionEntry& point : solution) {
        sum = AddQuotient(sum, point);
    }
    EXPECT_EQ(sum, 28.0);
    SolutionTotals totals{};
    ASSERT_EQ(EvaluateAndRefine(Entries(solution), CollectGroupZero(table), sum, totals), 0);
    EXPECT_EQ(totals.scaleFactor, 7.0);
    EXPECT_EQ(SizesOf(solution), (std::vector<double>{0.5, 0.3, 0.16, 0.06}));
    const double deviations[] = {16.66, 16.66, 1.81, -6.67};
    for (std::size_t i = 0; i < solution.size(); ++i) {
        EXPECT_EQ(solution[i].deviation, deviations[i]) << i;
    }
    EXPECT_EQ(totals.deviationMax, 16.66);
    EXPECT_EQ(totals.deviationMin, -6.67);
    EXPECT_EQ(totals.reducedScaleFactor, 0.0035);
}

}  // namespace
}  // namespace korvan
