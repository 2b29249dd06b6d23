#include "solver/SolveValves.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <vector>

#include "interface/ResultCodes.h"
#include "solver/DeviationEvaluation.h"
#include "solver/NearestRatio.h"
#include "solver/SmallestPossibleValves.h"
#include "solver/ToleranceSearch.h"
#include "tables/CheckedVector.h"

namespace korvan {
namespace {

// Series index of `size`; a size outside the series raises std::out_of_range, as a checked scan
// running past the last size would. The series falls strictly, so a size of the series has as
// many sizes above it as its index, and the equality check catches every other value.
std::size_t SeriesIndexOf(double size) {
    std::size_t index = 0;
    for (const double seriesSize : kValveSizeSeries) {
        index += seriesSize > size ? 1 : 0;
    }
    if (index == kSeriesLength || !(kValveSizeSeries[index] == size)) {
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

ChosenSizes CountChosenSizes(const SolutionVector& solution) {
    ChosenSizes chosen{};
    for (const SolutionEntry& entry : solution) {
        ++chosen.counts[SeriesIndexOf(entry.valveSize)];
    }
    for (std::size_t index = 0; index < kSeriesLength; ++index) {
        if (chosen.counts[index] != 0) {
            chosen.distinctPosition[index] = chosen.distinctCount;
            chosen.distinct[chosen.distinctCount++] = kValveSizeSeries[index];
        }
    }
    return chosen;
}

// Equal sizes reduce to equal values, so the reduced distinct sizes give every entry its own.
// Each entry takes the next unused chosen size equal to its own, scanning forward only: the scan
// stands in run `current`, of which `taken` sizes are used. Sizes that grow along the entries
// would send the scan past the end.
void MapToReducedSizes(SolutionVector& solution, const ChosenSizes& chosen, const double* reduced,
                       std::size_t reducedCount) {
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
        if (++taken == chosen.counts[current]) {
            current = NextChosenIndex(chosen.counts, current + 1);
            taken = 0;
        }
    }
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

std::int32_t ReduceChosenSizes(SolutionVector& solution) {
    const ChosenSizes chosen = CountChosenSizes(solution);
    std::vector<double> distinct;
    ReserveAdditional(distinct, kSeriesLength);
    for (std::size_t i = 0; i < chosen.distinctCount; ++i) {
        distinct.push_back(chosen.distinct[i]);
    }
    std::vector<double> reduced;
    const std::int32_t result = GetSmallestPossibleValves(distinct, reduced);
    if (result != kSuccess) {
        return result;
    }
    MapToReducedSizes(solution, chosen, reduced.data(), reduced.size());
    return kSuccess;
}

std::int32_t ReduceChosenSizes(SolutionVector& solution, const ValveRatioTable& table) {
    const ChosenSizes chosen = CountChosenSizes(solution);
    std::array<double, kSeriesLength> reduced{};
    const std::int32_t result =
        ReduceDistinctSizes(chosen.distinct.data(), chosen.distinctCount, table, reduced.data());
    if (result != kSuccess) {
        return result;
    }
    MapToReducedSizes(solution, chosen, reduced.data(), chosen.distinctCount);
    return kSuccess;
}

std::int32_t SolveValves(SolutionVector& solution, const ValveRatioTable& table,
                         double* deviationMax, double* deviationMin, double* scaleFactor,
                         double* reducedScaleFactor) {
    OrderByDemand(solution);
    SetRatios(solution);
    const ValveGroup groupZero = GroupOf(table, 0);
    if (solution.size() > groupZero.size()) {
        AssignNearestRatio(solution, groupZero);
    } else {
        ChooseSizesWithinTolerance(solution, table);
    }
    const std::int32_t result = ReduceChosenSizes(solution, table);
    if (result != kSuccess) {
        return result;
    }
    return EvaluateAndRefine(solution, table, deviationMax, deviationMin, scaleFactor,
                             reducedScaleFactor);
}

}  // namespace korvan
