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
    // The chosen sizes are values of the series, so sorted largest first they form one run per
    // series size, in series order; counting the entries per size describes them completely.
    std::array<std::size_t, kSeriesLength> counts{};
    for (const SolutionEntry& entry : solution) {
        ++counts[SeriesIndexOf(entry.valveSize)];
    }
    // Equal sizes reduce to equal values, so reducing the distinct sizes reduces them all.
    std::vector<double> distinct;
    std::array<std::size_t, kSeriesLength> reducedPosition{};
    ReserveAdditional(distinct, kSeriesLength);
    for (std::size_t index = 0; index < kSeriesLength; ++index) {
        if (counts[index] != 0) {
            reducedPosition[index] = distinct.size();
            distinct.push_back(kValveSizeSeries[index]);
        }
    }
    std::vector<double> reduced;
    const std::int32_t result = GetSmallestPossibleValves(distinct, reduced);
    if (result != kSuccess) {
        return result;
    }

    // Each entry takes the next unused chosen size equal to its own, scanning forward only: the
    // scan stands in run `current`, of which `taken` sizes are used. Sizes that grow along the
    // entries would send the scan past the end.
    std::size_t current = NextChosenIndex(counts, 0);
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
        entry.valveSize = At(reduced, reducedPosition[index]);
        if (++taken == counts[current]) {
            current = NextChosenIndex(counts, current + 1);
            taken = 0;
        }
    }
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
    const std::int32_t result = ReduceChosenSizes(solution);
    if (result != kSuccess) {
        return result;
    }
    return EvaluateAndRefine(solution, table, deviationMax, deviationMin, scaleFactor,
                             reducedScaleFactor);
}

}  // namespace korvan
