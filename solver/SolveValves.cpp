#include "solver/SolveValves.h"

#include <algorithm>
#include <array>
#include <cstddef>

#include "interface/ResultCodes.h"
#include "solver/DeviationEvaluation.h"
#include "solver/NearestRatio.h"
#include "solver/SmallestPossibleValves.h"
#include "solver/ToleranceSearch.h"
#include "tables/CheckedVector.h"
#include "tables/EntryPreparation.h"

namespace korvan {
namespace {

// Series index of `size`; a size outside the series raises std::out_of_range, as a checked scan
// running past the last size would.
std::size_t SeriesIndexOf(double size) {
    const std::size_t index = FindInSeries(size);
    if (index == kSeriesLength) {
        ThrowSubscriptOutOfRange();
    }
    return index;
}

std::size_t NextChosenIndex(const std::array<std::size_t, kSeriesLength>& counts,
                            std::size_t index) {
    while (index < kSeriesLength && counts[index] == 0) {
        ++index;
    }
    return index;
}

// The chosen sizes are values of the series, so sorted largest first they form one run per
// series size, in series order; counting the entries per size describes them completely.
struct ChosenSizes {
    std::array<std::size_t, kSeriesLength> counts;
    std::array<double, kSeriesLength> distinct;  // the sizes chosen at all, largest first
    std::size_t distinctCount;
    std::array<std::size_t, kSeriesLength> distinctPosition;  // by series index
};

ChosenSizes ChosenSizesFromCounts(const std::array<std::size_t, kSeriesLength>& counts) {
    ChosenSizes chosen{};
    chosen.counts = counts;
    for (std::size_t index = 0; index < kSeriesLength; ++index) {
        if (chosen.counts[index] != 0) {
            chosen.distinctPosition[index] = chosen.distinctCount;
            chosen.distinct[chosen.distinctCount++] = kValveSizeSeries[index];
        }
    }
    return chosen;
}

ChosenSizes CountChosenSizes(const SolutionVector& solution) {
    std::array<std::size_t, kSeriesLength> counts{};
    for (const SolutionEntry& entry : solution) {
        ++counts[SeriesIndexOf(entry.valveSize)];
    }
    return ChosenSizesFromCounts(counts);
}

// Equal sizes reduce to equal values, so the reduced distinct sizes give every entry its own.
// Each entry takes the next unused chosen size equal to its own, scanning forward only: the scan
// stands in run `current`, of which `taken` sizes are used. Sizes that grow along the entries
// would send the scan past the end. Returns the sum of demand / valveSize over the entries, in
// entry order, which the scale factor needs.
double MapToReducedSizes(SolutionVector& solution, const ChosenSizes& chosen, const double* reduced,
                         std::size_t reducedCount) {
    double sum = 0.0;
    std::size_t current = NextChosenIndex(chosen.counts, 0);
    std::size_t taken = 0;
    for (SolutionEntry& entry : solution) {
        const std::size_t index = SeriesIndexOf(entry.valveSize);
        if (index < current) {
            ThrowSubscriptOutOfRange();
        }
        if (index > current) {
            current = index;
            taken = 0;
        }
        const std::size_t position = chosen.distinctPosition[index];
        if (position >= reducedCount) {
            ThrowSubscriptOutOfRange();
        }
        entry.valveSize = reduced[position];
        sum += entry.demand / entry.valveSize;
        if (++taken == chosen.counts[current]) {
            current = NextChosenIndex(chosen.counts, current + 1);
            taken = 0;
        }
    }
    return sum;
}

// The reduced sizes, and the sum of demand / valveSize after mapping them.
struct Reduction {
    std::array<double, kSeriesLength> sizes;
    std::size_t count;
    double sum;
};

// Reduces the distinct chosen sizes into `reduction`; 0, or the reduction's code.
std::int32_t ReduceDistinct(const ChosenSizes& chosen, const ValveRatioTable& table,
                            Reduction& reduction) {
    reduction.count = chosen.distinctCount;
    return ReduceDistinctSizes(chosen.distinct.data(), chosen.distinctCount, table,
                               reduction.sizes.data());
}

std::int32_t ReduceCounted(SolutionVector& solution, const ChosenSizes& chosen,
                           const ValveRatioTable& table, Reduction& reduction) {
    const std::int32_t result = ReduceDistinct(chosen, table, reduction);
    if (result != kSuccess) {
        return result;
    }
    reduction.sum = MapToReducedSizes(solution, chosen, reduction.sizes.data(), reduction.count);
    return kSuccess;
}

// What the nearest-ratio path gathers while the ordered stretches go by.
struct NearestPath {
    const SolutionEntry* front;
    double largest;
    CandidateList candidates;
    std::array<std::size_t, kSeriesLength> seriesIndex;  // of each candidate's size
    std::array<std::size_t, kSeriesLength> counts;       // entries per series index
    // Whether the series indices never fall along the entries, and the last of them: the
    // mapping onto reduced sizes succeeds exactly when they never fall.
    bool indicesRise;
    std::size_t lastIndex;
    double sum;  // of demand / valveSize in entry order, for a reduction that changes nothing
};

// For one ordered stretch, what SetRatios, AssignNearestRatio and the counting of the reduction
// do to it, in one visit while it is in cache. The first stretch begins with the entry of
// largest demand, final by then.
void ChooseNearestInStretch(void* context, SolutionEntry* first, std::size_t count) {
    NearestPath& path = *static_cast<NearestPath*>(context);
    if (first == path.front) {
        path.largest = first->demand;
    }
    for (SolutionEntry* entry = first; entry != first + count; ++entry) {
        entry->ratio = path.largest / entry->demand;
        const std::size_t candidate = NearestCandidate(path.candidates, entry->ratio);
        entry->valveSize = path.candidates.sizes[candidate];
        const std::size_t index = path.seriesIndex[candidate];
        ++path.counts[index];
        path.indicesRise = path.indicesRise && index >= path.lastIndex;
        path.lastIndex = index;
        path.sum += entry->demand / entry->valveSize;
    }
}

// Whether the nearest-ratio path can run in one visit per stretch: group zero is whole and its
// sizes are the series', so that neither reading it nor counting its sizes can fail half way.
bool PrepareNearestPath(const SolutionVector& solution, const ValveRatioTable& table,
                        NearestPath& path) {
    // Group zero has GroupLength(0) entries: up to that many points take the tolerance search.
    if (solution.size() <= GroupLength(0) || table.size() < GroupLength(0) ||
        !CopyCandidates(GroupOf(table, 0), path.candidates)) {
        return false;
    }
    for (std::size_t k = 0; k < path.candidates.count; ++k) {
        path.seriesIndex[k] = FindInSeries(path.candidates.sizes[k]);
        if (path.seriesIndex[k] == kSeriesLength) {
            return false;
        }
    }
    path.front = solution.data();
    path.indicesRise = true;
    return solution.size() > path.candidates.count;
}

// A batch of all seven sizes, as most large batches are, keeps its sizes: when the reduction
// changes no size and the mapping cannot fail, mapping would rewrite every size with itself, and
// the sum the visits took is the one it would take.
std::int32_t ReduceNearestChoice(SolutionVector& solution, const NearestPath& path,
                                 const ValveRatioTable& table, Reduction& reduction) {
    const ChosenSizes chosen = ChosenSizesFromCounts(path.counts);
    const std::int32_t result = ReduceDistinct(chosen, table, reduction);
    if (result != kSuccess) {
        return result;
    }
    const bool unchanged =
        std::equal(chosen.distinct.begin(), chosen.distinct.begin() + chosen.distinctCount,
                   reduction.sizes.begin());
    reduction.sum =
        path.indicesRise && unchanged
            ? path.sum
            : MapToReducedSizes(solution, chosen, reduction.sizes.data(), reduction.count);
    return kSuccess;
}

// The solver, for entries whose demands are set or, with `factors`, still to be recomputed.
std::int32_t Solve(SolutionVector& solution, const ValveRatioTable& table,
                   const TypeFactorTable* factors, double* deviationMax, double* deviationMin,
                   double* scaleFactor, double* reducedScaleFactor) {
    NearestPath path{};
    Reduction reduction{};
    if (PrepareNearestPath(solution, table, path)) {
        const OrderedStretchVisitor visitor{ChooseNearestInStretch, &path};
        if (factors != nullptr) {
            RecomputeAndOrderByDemand(solution, *factors, visitor);
        } else {
            OrderByDemand(solution, visitor);
        }
        const std::int32_t result = ReduceNearestChoice(solution, path, table, reduction);
        if (result != kSuccess) {
            return result;
        }
    } else {
        if (factors != nullptr) {
            RecomputeDemands(solution, *factors);
        }
        OrderByDemand(solution);
        SetRatios(solution);
        const ValveGroup groupZero = GroupOf(table, 0);
        if (solution.size() > groupZero.size()) {
            AssignNearestRatio(solution, groupZero);
        } else {
            ChooseSizesWithinTolerance(solution, table);
        }
        const std::int32_t result =
            ReduceCounted(solution, CountChosenSizes(solution), table, reduction);
        if (result != kSuccess) {
            return result;
        }
    }
    return EvaluateAndRefineWithSum(solution, table, reduction.sum, reduction.sizes.data(),
                                    reduction.count, deviationMax, deviationMin, scaleFactor,
                                    reducedScaleFactor);
}

}  // namespace

void SetRatios(SolutionVector& solution) {
    if (solution.empty()) {
        return;
    }
    const double largest = solution.front().demand;
    for (SolutionEntry& entry : solution) {
        entry.ratio = largest / entry.demand;
    }
}

std::int32_t ReduceChosenSizes(SolutionVector& solution, const ValveRatioTable& table) {
    Reduction reduction{};
    return ReduceCounted(solution, CountChosenSizes(solution), table, reduction);
}

std::int32_t SolveValves(SolutionVector& solution, const ValveRatioTable& table,
                         double* deviationMax, double* deviationMin, double* scaleFactor,
                         double* reducedScaleFactor) {
    return Solve(solution, table, nullptr, deviationMax, deviationMin, scaleFactor,
                 reducedScaleFactor);
}

std::int32_t SolveValvesRecomputing(SolutionVector& solution, const ValveRatioTable& table,
                                    const TypeFactorTable& factors, double* deviationMax,
                                    double* deviationMin, double* scaleFactor,
                                    double* reducedScaleFactor) {
    return Solve(solution, table, &factors, deviationMax, deviationMin, scaleFactor,
                 reducedScaleFactor);
}

}  // namespace korvan
