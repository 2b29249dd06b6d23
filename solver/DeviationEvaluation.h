// Deviation evaluation and refinement: the common scale factor, every point's percent deviation,
// a one-step move of single points along the series where that brings them nearer their demand,
// and the four numbers the host reads.
#ifndef KORVAN_SOLVER_DEVIATION_EVALUATION_H
#define KORVAN_SOLVER_DEVIATION_EVALUATION_H

#include <cstddef>
#include <cstdint>

#include "interface/KorvanCalcValueProvider.h"
#include "tables/ValveTables.h"

namespace korvan {

// Percent by which `valveSize` × `scaleFactor` differs from `demand`, unrounded. The order of the
// operations is fixed, since it decides results at the borders between hundredths:
//   q = 100 / demand;  t = valveSize × scaleFactor;  t = t − demand;  r = t × q.
double RawDeviation(double demand, double valveSize, double scaleFactor);

// floor(value × 100) / 100: rounds down, towards minus infinity, so -6.666… becomes -6.67.
double RoundDownToHundredths(double value);

// Stores every point's rounded deviation and sets `deviationMax` to the largest raw deviation of
// 0 or more (0 if none) and `deviationMin` to the smallest negative one (0 if none), both
// unrounded. A deviation that is not a number enters neither extreme.
void EvaluateDeviations(SolutionVector& solution, double scaleFactor, double& deviationMax,
                        double& deviationMin);

// Moves each point by at most one size of `groupZero` (the series, largest first) where the
// neighbour's rounded deviation is strictly smaller in magnitude than the point's current one:
// first the larger neighbour (never for a point whose ratio is exactly 1), then, if that was not
// taken, the smaller one. Returns 0; std::out_of_range for a valveSize outside the series.
std::int32_t RefineValves(SolutionVector& solution, const ValveGroup& groupZero,
                          double scaleFactor);

// The final stage of a solve: writes scaleFactor (the mean of demand / valveSize in entry order,
// taken before refinement), evaluates, refines, evaluates again, rounds the extremes down to
// hundredths and writes reducedScaleFactor = scaleFactor / 2000. Returns RefineValves' result.
// When every size is one of the series, each point is evaluated, refined and evaluated again in
// one visit, with the same results; otherwise it runs as EvaluateAndRefineInPasses.
std::int32_t EvaluateAndRefine(SolutionVector& solution, const ValveRatioTable& table,
                               double* deviationMax, double* deviationMin, double* scaleFactor,
                               double* reducedScaleFactor);

// EvaluateAndRefine for a caller that summed demand / valveSize in entry order into `sum` while it
// set the sizes, every one of which is among the `sizeCount` values of `sizes`. When those are
// all sizes of the series, the pass that sums them is saved; otherwise it runs as
// EvaluateAndRefine.
std::int32_t EvaluateAndRefineWithSum(SolutionVector& solution, const ValveRatioTable& table,
                                      double sum, const double* sizes, std::size_t sizeCount,
                                      double* deviationMax, double* deviationMin,
                                      double* scaleFactor, double* reducedScaleFactor);

// The same stage as three passes over the points, in the order of the rules: for sizes outside
// the series it leaves the state in which RefineValves raises std::out_of_range (scaleFactor
// written, the extremes of the first evaluation unrounded, points before the failing one moved).
std::int32_t EvaluateAndRefineInPasses(SolutionVector& solution, const ValveRatioTable& table,
                                       double* deviationMax, double* deviationMin,
                                       double* scaleFactor, double* reducedScaleFactor);

}  // namespace korvan

#endif  // KORVAN_SOLVER_DEVIATION_EVALUATION_H
