// Deviation evaluation and refinement: the common scale factor, every point's percent deviation,
// a one-step move of single points along the series where that brings them nearer their demand,
// and the four numbers the host reads.
#ifndef KORVAN_SOLVER_DEVIATION_EVALUATION_H
#define KORVAN_SOLVER_DEVIATION_EVALUATION_H

#include <cstddef>
#include <cstdint>

#include "tables/SolutionEntries.h"
#include "tables/ValveTables.h"

namespace korvan {

// The sum behind the scale factor: `sum` plus the point's demand / valveSize. Summed over the
// points in entry order, from 0.0.
inline double AddQuotient(double sum, const SolutionEntry& point) {
    return sum + point.demand / point.valveSize;
}

// The scale factor: the mean of demand / valveSize, that sum divided by the number of points.
double ScaleFactorOf(double sumOfQuotients, std::size_t pointCount);

// A point's demand with 100 / demand, the first operation of the deviation formula, which every
// size tried for the point shares.
struct PointDemand {
    double demand;
    double percentPerUnit;
};
PointDemand DemandOf(const SolutionEntry& point);

// Percent by which `valveSize` × `scaleFactor` differs from the demand, unrounded. The order of
// the operations is fixed, since it decides results at the borders between hundredths:
//   q = 100 / demand;  t = valveSize × scaleFactor;  t = t − demand;  r = t × q.
double RawDeviation(const PointDemand& point, double valveSize, double scaleFactor);

// floor(value × 100) / 100: rounds down, towards minus infinity, so -6.666… becomes -6.67.
double RoundDownToHundredths(double value);

// The largest raw deviation of 0 or more (0 if none) and the smallest negative one (0 if none),
// unrounded. A deviation that is not a number enters neither.
struct Extremes {
    double largest = 0.0;
    double smallest = 0.0;

    void Include(double raw);
};

// Stores the point's rounded deviation at its own size and returns the raw one.
double EvaluateDeviation(SolutionEntry& point, const PointDemand& demand, double scaleFactor);

// Moves the point by at most one size of `groupZero` where the neighbour's rounded deviation is
// strictly smaller in magnitude than the point's current one (`currentRaw` is its raw deviation,
// the stored one its rounding): first the larger neighbour (never for a point whose ratio is
// exactly 1), then, if that was not taken, the smaller one. Returns the raw deviation at the size
// it ends on. std::out_of_range for a valveSize outside the series.
double RefineValve(SolutionEntry& point, const PointDemand& demand, double currentRaw,
                   const GroupZero& groupZero, double scaleFactor);

// The final stage of a solve, for points whose sizes are all sizes of the series and whose
// demand / valveSize sum in entry order is `sumOfQuotients`: writes the scale factor (taken
// before refinement), evaluates, refines, evaluates again, writes the extremes rounded down to
// hundredths and reducedScaleFactor = scaleFactor / 2000. Returns 0.
//
// The three passes over the points are fused into one visit per point (evaluation, refinement,
// second evaluation): each point's outcome depends on nothing but its own fields, group zero and
// the scale factor, and its second evaluation repeats the formula its final size was tried with,
// so every value comes out as three passes would leave it.
std::int32_t EvaluateAndRefine(EntryRange entries, const GroupZero& groupZero,
                               double sumOfQuotients, SolutionTotals& totals);

}  // namespace korvan

#endif  // KORVAN_SOLVER_DEVIATION_EVALUATION_H
