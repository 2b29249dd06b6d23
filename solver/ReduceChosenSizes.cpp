#include "solver/ReduceChosenSizes.h"

#include <algorithm>

#include "solver/DeviationEvaluation.h"
#include "solver/SmallestPossibleValves.h"
#include "tables/ResultCodes.h"

namespace korvan {
namespace {

// The distinct chosen sizes, largest first, and each series index's place among them.
struct DistinctChosen {
    std::array<double, kSeriesLength> sizes;
    std::size_t count;
    std::array<std::size_t, kSeriesLength> positionOf;  // by series index
};

DistinctChosen DistinctChosenSizes(const ChosenSizes& chosen) {
    DistinctChosen distinct{};
    for (std::size_t index = 0; index < kSeriesLength; ++index) {
        if (chosen.counts[index] != 0) {
            distinct.positionOf[index] = distinct.count;
            distinct.sizes[distinct.count++] = kValveSizeSeries[index];
        }
    }
    return distinct;
}

std::size_t NextChosenIndex(const ChosenSizes& chosen, std::size_t index) {
    while (index < kSeriesLength && chosen.counts[index] == 0) {
        ++index;
    }
    return index;
}

// Equal sizes reduce to equal values, so the reduced distinct sizes give every entry its own.
// Each entry takes the next unused chosen size equal to its own, scanning forward only: the scan
// stands in run `current`, of which `taken` sizes are used. Returns the sum of demand / valveSize
// over the reduced sizes, in entry order.
double MapToReducedSizes(EntryRange entries, const ChosenSizes& chosen,
                         const DistinctChosen& distinct, const double* reduced) {
    double sum = 0.0;
    std::size_t current = NextChosenIndex(chosen, 0);
    std::size_t taken = 0;
    for (SolutionEntry& entry : entries) {
        const std::size_t index = SeriesIndexOf(entry.valveSize);
        if (index < current) {
            ThrowSubscriptOutOfRange();
        }
        if (index > current) {
            current = index;
            taken = 0;
        }
        const std::size_t position = distinct.positionOf[index];
        if (position >= distinct.count) {
            ThrowSubscriptOutOfRange();
        }
        entry.valveSize = reduced[position];
        sum = AddQuotient(sum, entry);
        if (++taken == chosen.counts[current]) {
            current = NextChosenIndex(chosen, current + 1);
            taken = 0;
        }
    }
    return sum;
}

}  // namespace

ChosenSizes TallyChosenSizes(EntryRange entries) {
    ChosenSizes chosen;
    for (const SolutionEntry& entry : entries) {
        chosen.Tally(entry, SeriesIndexOf(entry.valveSize));
    }
    return chosen;
}

std::int32_t ReduceChosenSizes(EntryRange entries, const ChosenSizes& chosen,
                               const ValveRatioTable& table, double& sumOfQuotients) {
    const DistinctChosen distinct = DistinctChosenSizes(chosen);
    std::array<double, kSeriesLength> reduced{};
    const std::int32_t result =
        ReduceDistinctSizes(distinct.sizes.data(), distinct.count, table, reduced.data());
    if (result != kSuccess) {
        return result;
    }
    // A batch of all seven sizes, as most large batches are, keeps its sizes: then mapping would
    // rewrite every size with itself and take the sum the tally took.
    const bool unchanged = std::equal(
        distinct.sizes.begin(),
        distinct.sizes.begin() + static_cast<std::ptrdiff_t>(distinct.count), reduced.begin());
    sumOfQuotients = unchanged && chosen.indicesNeverFall
                         ? chosen.sumOfQuotients
                         : MapToReducedSizes(entries, chosen, distinct, reduced.data());
    return kSuccess;
}

}  // namespace korvan
