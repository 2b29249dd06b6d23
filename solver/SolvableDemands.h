// What the solver can size, told from the demands a call would solve before any entry changes.
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

// Whether the nearest-ratio sizes of the demands, each from its ratio to `largest`, never rise
// along the order of decreasing demand: taken per candidate, the ratios that chose an earlier
// candidate all lie below those that chose a later one.
template <typename Demands>
bool NearestSizesFollowDemands(const Demands& demands, double largest, const GroupZero& groupZero) {
    constexpr double kInfinity = std::numeric_limits<double>::infinity();
    std::array<double, kSeriesLength> lowest;
    std::array<double, kSeriesLength> highest;
    lowest.fill(kInfinity);
    highest.fill(-kInfinity);
    static_cast<void>(demands.ForEach([&](double demand) {
        const double ratio = largest / demand;
        const std::size_t candidate = NearestCandidate(groupZero, ratio);
        lowest[candidate] = std::min(lowest[candidate], ratio);
        highest[candidate] = std::max(highest[candidate], ratio);
    }));
    double below = -kInfinity;
    for (std::size_t candidate = 0; candidate < kSeriesLength; ++candidate) {
        if (lowest[candidate] <= highest[candidate]) {
            if (!(below < lowest[candidate])) {
                return false;
            }
            below = highest[candidate];
        }
    }
    return true;
}

}  // namespace detail

// Checks the points of a solve of `pointCount` points before anything changes, in one pass over
// what `demands` yields (NewDemands or RecomputedDemands). Returns 12 when a point's type is not
// one of the table's, whatever the demands; 13 when a demand lies outside kSmallestDemand to
// kLargestDemand, or, with more points than group zero has sizes, when the nearest-ratio sizes
// would rise along the order of decreasing demand (which only demands more than
// kSpreadNearestSizesFollow apart can make them do); else 0.
template <typename Demands>
std::int32_t CheckSolvable(const Demands& demands, std::size_t pointCount,
                           const ValveRatioTable& table) {
    bool inRange = true;
    double largest = kSmallestDemand;
    double smallest = kLargestDemand;
    const bool typesKnown = demands.ForEach([&](double demand) {
        inRange = inRange && IsSolvableDemand(demand);
        largest = std::max(largest, demand);
        smallest = std::min(smallest, demand);
    });
    if (!typesKnown) {
        return kInvalidType;
    }
    if (!inRange) {
        return kUnsolvableInput;
    }
    if (pointCount > kSeriesLength && largest / smallest > kSpreadNearestSizesFollow &&
        !detail::NearestSizesFollowDemands(demands, largest, CollectGroupZero(table))) {
        return kUnsolvableInput;
    }
    return kSuccess;
}

}  // namespace korvan

#endif  // KORVAN_SOLVER_SOLVABLE_DEMANDS_H
