// What the solver can size, told from the demands a call would solve before any entry changes:
// the verdict on every point, with the first rule broken and the point that breaks it.
#ifndef KORVAN_SOLVER_SOLVABLE_DEMANDS_H
#define KORVAN_SOLVER_SOLVABLE_DEMANDS_H

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>

#include "solver/NearestRatio.h"
#include "tables/EntryPreparation.h"
#include "tables/ResultCodes.h"
#include "tables/ValveTables.h"

namespace korvan {

// Up to this ratio of the largest demand to the smallest, the nearest candidate never falls as a
// point's ratio grows. Each rounded distance moves monotonically with the ratio, so between two
// candidates the choice passes once from the first to the second; beyond the last candidate it
// stays there while the distances to the last two, 8.33 apart, round to different doubles, that
// is for ratios below 2^55 (about 3.6e16). Above that they can round alike, and the tie goes to
// an earlier candidate: a larger size than a smaller ratio got.
constexpr double kSpreadNearestSizesFollow = 1e15;

namespace detail {

struct VisitNothing {
    void operator()(std::size_t /*point*/, double /*demand*/) const {}
};

// The points that take one candidate: the lowest and highest ratio among them, each with the
// first point that has it.
struct CandidateTakers {
    double lowest = std::numeric_limits<double>::infinity();
    double highest = -std::numeric_limits<double>::infinity();
    std::size_t lowestPoint = kNoPoint;
    std::size_t highestPoint = kNoPoint;

    void Add(double ratio, std::size_t point) {
        if (ratio < lowest) {
            lowest = ratio;
            lowestPoint = point;
        }
        if (ratio > highest) {
            highest = ratio;
            highestPoint = point;
        }
    }
    [[nodiscard]] bool Any() const { return lowestPoint != kNoPoint; }
};

// Whether the nearest-ratio sizes of the demands, each from its ratio to `largest`, never rise
// along the order of decreasing demand: taken per candidate, the ratios that chose an earlier
// candidate must all lie below those that chose a later one. Where they do not, the verdict names
// the point of smaller demand that takes the larger size, and the point of larger demand it
// outgrows.
template <typename Demands>
Diagnosis JudgeNearestSizes(const Demands& demands, double largest, const GroupZero& groupZero) {
    std::array<CandidateTakers, kSeriesLength> takers{};
    static_cast<void>(demands.ForEach([&](std::size_t point, double demand) {
        const double ratio = largest / demand;
        takers[NearestCandidate(groupZero, ratio)].Add(ratio, point);
    }));
    const CandidateTakers* previous = nullptr;
    for (const CandidateTakers& candidate : takers) {
        if (!candidate.Any()) {
            continue;
        }
        if (previous != nullptr && !(previous->highest < candidate.lowest)) {
            return Refused(kUnsolvableInput, KORVAN_RULE_DEMANDS_TOO_FAR_APART,
                           previous->highestPoint, candidate.lowestPoint);
        }
        previous = &candidate;
    }
    return Accepted();
}

}  // namespace detail

// Judges the points of a solve of `pointCount` points before anything changes, in one pass over
// what `demands` yields (NewDemands or RecomputedDemands), and names the first point that breaks
// the first rule broken: 12 when a point's type is not one of the table's, whatever the demands;
// 13 when a demand lies outside kSmallestDemand to kLargestDemand, or, with more points than group
// zero has sizes, when the nearest-ratio sizes would rise along the order of decreasing demand
// (which only demands more than kSpreadNearestSizesFollow apart can make them do); else success.
// `alsoVisit(point, demand)` sees every demand the pass tells, so that a caller can plan its work
// in the same pass.
template <typename Demands, typename AlsoVisit = detail::VisitNothing>
Diagnosis JudgePoints(const Demands& demands, std::size_t pointCount, const ValveRatioTable& table,
                      const AlsoVisit& alsoVisit = {}) {
    std::size_t firstRefused = kNoPoint;
    double largest = kSmallestDemand;
    double smallest = kLargestDemand;
    const std::size_t unknownType = demands.ForEach([&](std::size_t point, double demand) {
        firstRefused = firstRefused == kNoPoint && !IsSolvableDemand(demand) ? point : firstRefused;
        alsoVisit(point, demand);
        largest = std::max(largest, demand);
        smallest = std::min(smallest, demand);
    });
    if (unknownType != kNoPoint) {
        return Refused(kInvalidType, KORVAN_RULE_TYPE_UNKNOWN, unknownType);
    }
    if (firstRefused != kNoPoint) {
        return Refused(kUnsolvableInput, demands.RuleOfRefusedDemand(firstRefused), firstRefused);
    }
    if (pointCount > kSeriesLength && largest / smallest > kSpreadNearestSizesFollow) {
        return detail::JudgeNearestSizes(demands, largest, CollectGroupZero(table));
    }
    return Accepted();
}

}  // namespace korvan

#endif  // KORVAN_SOLVER_SOLVABLE_DEMANDS_H
