// Deviation evaluation and refinement: the common scale factor, every point's percent deviation,
// a one-step move of single points along the series where that brings them nearer their demand,
// and the four numbers the host reads. The rules for one point are inline: a solve applies them
// to every point.
#ifndef KORVAN_SOLVER_DEVIATION_EVALUATION_H
#define KORVAN_SOLVER_DEVIATION_EVALUATION_H

#include <cmath>
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
inline double ScaleFactorOf(double sumOfQuotients, std::size_t pointCount) {
    return sumOfQuotients / static_cast<double>(pointCount);
}

// A point's demand with 100 / demand, the first operation of the deviation formula, which every
// size tried for the point shares.
struct PointDemand {
    double demand;
    double percentPerUnit;
};

inline PointDemand DemandOf(const SolutionEntry& point) {
    return PointDemand{point.demand, 100.0 / point.demand};
}

// Percent by which `valveSize` × `scaleFactor` differs from the demand, unrounded. The order of
// the operations is fixed, since it decides results at the borders between hundredths:
//   q = 100 / demand;  t = valveSize × scaleFactor;  t = t − demand;  r = t × q.
inline double RawDeviation(const PointDemand& point, double valveSize, double scaleFactor) {
    double difference = valveSize * scaleFactor;
    difference = difference - point.demand;
    return difference * point.percentPerUnit;
}

// floor(value × 100) / 100: rounds down, towards minus infinity, so -6.666… becomes -6.67.
inline double RoundDownToHundredths(double value) {
    return std::floor(value * 100.0) / 100.0;
}

// The largest raw deviation of 0 or more (0 if none) and the smallest negative one (0 if none),
// unrounded. A deviation that is not a number enters neither.
struct Extremes {
    double largest = 0.0;
    double smallest = 0.0;

    void Include(double raw) {
        if (raw >= 0.0) {
            if (raw > largest) {
                largest = raw;
            }
        } else if (raw < smallest) {
            smallest = raw;
        }
    }
};

// Stores the point's rounded deviation at its own size and returns the raw one.
inline double EvaluateDeviation(SolutionEntry& point, const PointDemand& demand,
                                double scaleFactor) {
    const double raw = RawDeviation(demand, point.valveSize, scaleFactor);
    point.deviation = RoundDownToHundredths(raw);
    return raw;
}

// The refinement's decision: a candidate size is taken when its rounded deviation is strictly
// smaller in magnitude than the point's current one. A deviation that is not a number on either
// side is never an improvement.
inline bool IsNearer(double candidateRounded, double currentRounded) {
    return std::fabs(candidateRounded) < std::fabs(currentRounded);
}

// Tries `candidateSize` for the point and takes it when IsNearer; `raw` then becomes the
// candidate's raw deviation.
inline bool MoveIfNearer(SolutionEntry& point, const PointDemand& demand, double candidateSize,
                         double scaleFactor, double& raw) {
    const double candidateRaw = RawDeviation(demand, candidateSize, scaleFactor);
    const double candidateRounded = RoundDownToHundredths(candidateRaw);
    if (!IsNearer(candidateRounded, point.deviation)) {
        return false;
    }
    point.valveSize = candidateSize;
    point.deviation = candidateRounded;
    raw = candidateRaw;
    return true;
}

// Moves the point by at most one size of `groupZero` where that is nearer its demand: first the
// larger neighbour (never for a point whose ratio is exactly 1), then, if that was not taken, the
// smaller one. `currentRaw` is the raw deviation at its size, whose rounding it stores. Returns
// the raw deviation at the size it ends on. std::out_of_range for a valveSize outside the series.
inline double RefineValve(SolutionEntry& point, const PointDemand& demand, double currentRaw,
                          const GroupZero& groupZero, double scaleFactor) {
    // Group zero holds the series in order, so the series index is the position in it.
    const std::size_t position = SeriesIndexOf(point.valveSize);
    double raw = currentRaw;
    if (point.ratio != 1.0 && position > 0 &&
        MoveIfNearer(point, demand, groupZero[position - 1].size, scaleFactor, raw)) {
        return raw;
    }
    if (position + 1 < groupZero.size()) {
        MoveIfNearer(point, demand, groupZero[position + 1].size, scaleFactor, raw);
    }
    return raw;
}

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
